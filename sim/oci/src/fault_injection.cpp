// fault_injection.cpp — see fault_injection.h.
#include "fault_injection.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <mutex>

#include "exports.h"
#include "ocisim/fault_injection.h"

namespace ocisim {
namespace {

bool ParseCount(const std::string& text, unsigned long long max, unsigned long long* out) {
  if (text.empty() || text.size() > 20) return false;
  for (char c : text)
    if (c < '0' || c > '9') return false;
  errno = 0;
  unsigned long long v = std::strtoull(text.c_str(), nullptr, 10);
  if (errno == ERANGE || v > max) return false;
  *out = v;
  return true;
}

bool ParseWhat(const std::string& what, FaultPlan* plan) {
  if (what == "drop") {
    plan->kind = FaultKind::kDrop;
    return true;
  }
  unsigned long long n = 0;
  if (what.size() > 4 && (what.compare(0, 4, "ORA-") == 0 || what.compare(0, 4, "ora-") == 0)) {
    if (!ParseCount(what.substr(4), 99999, &n) || n == 0) return false;
    plan->kind = FaultKind::kError;
    plan->error = static_cast<int>(n);
    return true;
  }
  if (what.compare(0, 6, "stall=") == 0) {
    // Ten minutes at most: a longer stall is a typo, not a test.
    if (!ParseCount(what.substr(6), 600000, &n)) return false;
    plan->kind = FaultKind::kStall;
    plan->stall_ms = static_cast<unsigned>(n);
    return true;
  }
  return false;
}

// "p=0.05" or "p=0.05,seed=7".
bool ParseChance(const std::string& when, FaultPlan* plan) {
  std::string p = when.substr(2), seed;
  if (auto comma = p.find(','); comma != std::string::npos) {
    seed = p.substr(comma + 1);
    p.resize(comma);
    if (seed.compare(0, 5, "seed=") != 0) return false;
    unsigned long long s = 0;
    if (!ParseCount(seed.substr(5), ~0ull, &s)) return false;
    plan->seed = s;
  }
  if (p.empty() || p.find_first_not_of("0123456789.") != std::string::npos) return false;
  char* end = nullptr;
  errno = 0;
  double v = std::strtod(p.c_str(), &end);
  if (errno != 0 || !end || *end != 0 || !(v > 0.0) || v > 1.0) return false;
  plan->probability = v;
  plan->nth = 0;
  return true;
}

// splitmix64: a short, well-mixed sequence that any platform repeats alike.
std::uint64_t NextRandom(std::uint64_t* state) {
  std::uint64_t z = (*state += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

struct Injector {
  std::mutex mutex;
  std::optional<FaultPlan> plan;
  unsigned long long trips = 0;
  unsigned long long injected = 0;
  std::uint64_t random = 0;

  void Reset(std::optional<FaultPlan> p) {
    plan = p;
    trips = 0;
    random = p ? p->seed : 0;
  }
};

// Made on first use (reading OCISIM_FAULT once) and freed by
// ReleaseFaultInjector, when the library goes.
Injector*& InjectorSlot() {
  static Injector* injector = nullptr;
  return injector;
}

std::mutex& InjectorSlotMutex() {
  static std::mutex m;
  return m;
}

Injector& TheInjector() {
  std::lock_guard<std::mutex> lock(InjectorSlotMutex());
  Injector*& slot = InjectorSlot();
  if (!slot) {
    slot = new Injector();
    if (const char* text = std::getenv("OCISIM_FAULT"); text && *text) {
      std::string error;
      auto plan = ParseFaultPlan(text, &error);
      if (!plan) std::fprintf(stderr, "ocisim: OCISIM_FAULT ignored: %s\n", error.c_str());
      slot->Reset(plan);
      ::unsetenv("OCISIM_FAULT");
    }
  }
  return *slot;
}

void LogFault(unsigned long long trip, const char* kind, const Fault& f) {
  const char* path = std::getenv("OCISIM_FAULT_LOG");
  if (!path || !*path) return;
  if (std::FILE* out = std::fopen(path, "a")) {
    if (f.kind == FaultKind::kStall)
      std::fprintf(out, "round trip %llu (%s): stalled %u ms\n", trip, kind, f.stall_ms);
    else
      std::fprintf(out, "round trip %llu (%s): ORA-%05d%s\n", trip, kind, f.error,
                   f.kind == FaultKind::kDrop ? " (connection dropped)" : "");
    std::fclose(out);
  }
}

}  // namespace

std::optional<FaultPlan> ParseFaultPlan(const std::string& text, std::string* error) {
  auto fail = [&](const std::string& why) -> std::optional<FaultPlan> {
    if (error) *error = why + ": \"" + text + "\"";
    return std::nullopt;
  };
  const std::size_t at = text.find('@');
  if (at == std::string::npos) return fail("expected WHAT@WHEN");
  FaultPlan plan;
  if (!ParseWhat(text.substr(0, at), &plan)) return fail("WHAT is drop, ORA-nnnnn or stall=MS");
  const std::string when = text.substr(at + 1);
  if (when.compare(0, 2, "p=") == 0) {
    if (!ParseChance(when, &plan)) return fail("WHEN is p=P[,seed=S] with 0 < P <= 1");
    return plan;
  }
  if (!ParseCount(when, ~0ull, &plan.nth) || plan.nth == 0) return fail("WHEN is a round trip number from 1");
  return plan;
}

std::optional<Fault> FaultAt(const char* trip_kind) {
  Injector& in = TheInjector();
  std::lock_guard<std::mutex> lock(in.mutex);
  if (!in.plan) return std::nullopt;
  const unsigned long long trip = ++in.trips;
  bool hit;
  if (in.plan->nth) {
    hit = trip == in.plan->nth;
  } else {
    // 53 bits of the next number as a fraction in [0, 1).
    const double u = static_cast<double>(NextRandom(&in.random) >> 11) * 0x1.0p-53;
    hit = u < in.plan->probability;
  }
  if (!hit) return std::nullopt;
  Fault f{in.plan->kind, in.plan->kind == FaultKind::kDrop ? 3113 : in.plan->error, in.plan->stall_ms};
  ++in.injected;
  LogFault(trip, trip_kind, f);
  return f;
}

bool SetFaultPlan(const char* text) {
  Injector& in = TheInjector();
  std::optional<FaultPlan> plan;
  if (text && *text) {
    std::string error;
    plan = ParseFaultPlan(text, &error);
    if (!plan) return false;
  }
  std::lock_guard<std::mutex> lock(in.mutex);
  in.Reset(plan);
  return true;
}

void ReleaseFaultInjector() {
  std::lock_guard<std::mutex> lock(InjectorSlotMutex());
  delete InjectorSlot();
  InjectorSlot() = nullptr;
}

unsigned long long FaultsInjected() {
  Injector& in = TheInjector();
  std::lock_guard<std::mutex> lock(in.mutex);
  return in.injected;
}

}  // namespace ocisim

extern "C" OCISIM_VISIBLE int ocisim_set_fault(const char* plan) { return ocisim::SetFaultPlan(plan) ? 0 : -1; }

extern "C" OCISIM_VISIBLE unsigned long long ocisim_faults_injected() { return ocisim::FaultsInjected(); }
