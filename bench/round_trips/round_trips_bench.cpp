// round_trips_bench.cpp — what a fixed script of user actions costs on a
// network: server round trips, statements and wall time per action, through
// the host stand-in, the plugin and the OCI stand-in, which counts round
// trips the way the real client makes them and sleeps a fixed time for each
// (0, 0.5 ms "as on a LAN" and 20 ms "as over a VPN").
//
// Every pass starts a fresh host and logs on anew, so caches start cold the
// same way.  The figures are written to bench/figures/round_trips.md (or the
// file given with --figures; "-" writes none), so each change shows its
// effect in the diff.  The passes' transcripts are compared: a delay must
// not change what the user sees.
//
// Usage: round_trips_bench [--objects N] [--delays US,US,...] [--figures FILE|-]
#include <dlfcn.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "host.h"
#include "ocisim/round_trips.h"
#include "ocisim/statement_repeats.h"
#include "script.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// One user action: lines that bring the panel where the action starts (not
// measured) and the lines of the action itself.
struct Action {
  std::string label;
  std::vector<std::string> setup;
  std::vector<std::string> steps;
  enum Goal { kNone, kTableDirectory, kDetail, kBigListing } goal = kNone;
};

std::vector<Action> Actions(const std::string& alias, int objects) {
  const std::string logon = "answer dialog 5=\"system\" 6=\"manager\" 7=\"" + alias + "\"";
  return {
      {"log on (Alt+F10)", {"open", logon}, {"key Alt+F10"}},
      {"root", {}, {"cd \\"}},
      {"Tables", {}, {"cd Tables"}},
      {"Tables\\SCOTT", {}, {"cd SCOTT"}},
      {"Tables\\SCOTT\\EMP (table directory)", {}, {"cd EMP"}, Action::kTableDirectory},
      {"EMP\\.COLUMNS", {}, {"cd .COLUMNS"}, Action::kDetail},
      {"back to EMP (..)", {}, {"cd .."}, Action::kTableDirectory},
      {"All objects", {"cd \\"}, {"cd \"All objects\""}},
      {"All objects\\TABLE (" + std::to_string(objects) + " objects)", {}, {"cd TABLE"}, Action::kBigListing},
      {"Packages\\SCOTT", {"cd \\"}, {"cd Packages", "cd SCOTT"}},
      {"EMP_PKG (package directory)", {}, {"cd EMP_PKG"}, Action::kDetail},
      {"EMP_PKG\\count_emps (routine)", {}, {"cd count_emps"}, Action::kDetail},
      {"Users\\SCOTT (user detail)", {"cd \\Users"}, {"cd SCOTT"}, Action::kDetail},
      {".Instance parameters", {"cd \\"}, {"cd \".Instance parameters\""}, Action::kDetail},
      {"F3 on a package body (Alt+F3 on EMP_PKG)", {"cd \\Packages\\SCOTT", "goto EMP_PKG"}, {"key Alt+F3"}},
      {"command line: a query of 1,000 rows",
       {"cd \\", "answer editor keep"},
       {"cmdline select object_name, object_type, created from dba_objects where rownum <= 1000"}},
  };
}

struct Counts {
  unsigned long long trips = 0, statements = 0, fetches = 0, prepares = 0;
  unsigned long long repeats = 0;  // prepares of a text the action had prepared already
  std::string repeated;             // the first such text
};

struct Figures {
  Counts counts;
  std::vector<double> seconds;  // per pass
};

class Library {
 public:
  explicit Library(const std::string& path) : handle_(dlopen(path.c_str(), RTLD_NOW)) {
    if (!handle_) return;
    get_ = reinterpret_cast<OcisimRoundTripsFn>(dlsym(handle_, "ocisim_round_trips"));
    delay_ = reinterpret_cast<OcisimSetRoundTripDelayFn>(dlsym(handle_, "ocisim_set_round_trip_delay_us"));
    mark_ = reinterpret_cast<OcisimMarkStatementsFn>(dlsym(handle_, "ocisim_mark_statements"));
    repeats_ = reinterpret_cast<OcisimStatementRepeatsFn>(dlsym(handle_, "ocisim_statement_repeats"));
  }
  ~Library() {
    if (handle_) dlclose(handle_);
  }
  bool ok() const { return get_ && delay_ && mark_ && repeats_; }
  Counts Now() const {
    OcisimRoundTrips r{};
    get_(&r);
    return {r.total, r.executes + r.describes, r.fetches, r.prepares, 0, {}};
  }
  void SetDelay(unsigned long us) const { delay_(us); }
  // Statement texts prepared again since the last Mark.
  void Mark() const { mark_(); }
  void Repeats(Counts& c) const {
    char first[512];
    c.repeats = repeats_(first, sizeof first);
    c.repeated = c.repeats ? first : "";
  }

 private:
  void* handle_;
  OcisimRoundTripsFn get_ = nullptr;
  OcisimSetRoundTripDelayFn delay_ = nullptr;
  OcisimMarkStatementsFn mark_ = nullptr;
  OcisimStatementRepeatsFn repeats_ = nullptr;
};

Counts Minus(const Counts& a, const Counts& b) {
  return {a.trips - b.trips, a.statements - b.statements, a.fetches - b.fetches, a.prepares - b.prepares, 0, {}};
}

bool RunLines(hostsim::Script& script, const std::vector<std::string>& lines, const std::string& label) {
  for (const std::string& line : lines) {
    if (!script.Execute(line)) {
      std::fprintf(stderr, "round_trips_bench: \"%s\" failed at: %s\n", label.c_str(), line.c_str());
      return false;
    }
  }
  return true;
}

// One pass of every action; false when a line failed.
bool Pass(const Library& lib, const std::vector<Action>& actions, std::vector<Figures>& out, bool first,
          std::string& transcript) {
  std::ostringstream text;
  bool ok = true;
  {
    hostsim::Host host(&text);
    hostsim::Script script(host);
    ok = script.Execute(std::string("load \"") + QUARRY_BENCH_PLUGIN + "\"");
    for (std::size_t i = 0; ok && i < actions.size(); ++i) {
      const Action& a = actions[i];
      ok = RunLines(script, a.setup, a.label);
      if (!ok) break;
      const Counts before = lib.Now();
      lib.Mark();
      const auto start = Clock::now();
      ok = RunLines(script, a.steps, a.label);
      const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
      Counts used = Minus(lib.Now(), before);
      lib.Repeats(used);
      if (first) out[i].counts = used;
      else if (used.trips != out[i].counts.trips || used.statements != out[i].counts.statements)
        std::fprintf(stderr, "round_trips_bench: \"%s\" made %llu round trips in one pass, %llu in another\n",
                     a.label.c_str(), used.trips, out[i].counts.trips);
      out[i].seconds.push_back(seconds);
    }
    script.Execute("close");
  }
  // Temporary file names are random: not part of what the user sees.
  transcript = std::regex_replace(text.str(), std::regex("/SQL[0-9a-f]+"), "/SQL*");
  return ok;
}

std::string Milliseconds(double seconds) {
  char b[32];
  std::snprintf(b, sizeof b, seconds < 10 ? "%.1f" : "%.0f", seconds * 1000);
  return b;
}

std::string DelayLabel(unsigned long us) {
  char b[32];
  std::snprintf(b, sizeof b, "%g ms", us / 1000.0);
  return b;
}

}  // namespace

int main(int argc, char** argv) {
  std::setvbuf(stdout, nullptr, _IOLBF, 0);
  int objects = 100000;
  std::vector<unsigned long> delays{0, 500, 20000};
  std::string figures = QUARRY_BENCH_FIGURES;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--objects" && i + 1 < argc) {
      objects = std::atoi(argv[++i]);
    } else if (arg == "--delays" && i + 1 < argc) {
      delays.clear();
      std::stringstream list(argv[++i]);
      for (std::string us; std::getline(list, us, ',');) delays.push_back(std::stoul(us));
    } else if (arg == "--figures" && i + 1 < argc) {
      figures = argv[++i];
    } else {
      std::fprintf(stderr, "usage: round_trips_bench [--objects N] [--delays US,US,...] [--figures FILE|-]\n");
      return 2;
    }
  }
  if (objects < 1 || objects > 1000000 || delays.empty()) {
    std::fprintf(stderr, "round_trips_bench: objects 1..1000000 and at least one delay\n");
    return 2;
  }
  const fs::path work = fs::temp_directory_path() / ("quarry-rt-bench-" + std::to_string(::getpid()));
  fs::create_directories(work / "db");
  fs::create_directories(work / "reg");
  fs::create_directories(work / "tmp");
  ::setenv("OCISIM_DATA_DIR", (work / "db").c_str(), 1);
  ::setenv("QUARRY_REGISTRY_DIR", (work / "reg").c_str(), 1);
  ::setenv("TMPDIR", (work / "tmp").c_str(), 1);
  ::setenv("ORACLE_HOME", QUARRY_BENCH_ORACLE_HOME, 1);
  ::unsetenv("OCIDLL");
  ::unsetenv("ORACLEHOME");
  ::unsetenv("TNS_ADMIN");
  ::unsetenv("OCISIM_ROUND_TRIP_DELAY_US");

  const std::string alias = "SYNTHOBJ_" + std::to_string(objects);
  const std::vector<Action> actions = Actions(alias, objects);
  std::vector<Figures> figs(actions.size());
  int status = 0;
  {
    // The plugin loads the same file; dlopen hands both the one copy.
    Library lib(std::string(QUARRY_BENCH_ORACLE_HOME) + "/lib/libclntsh.so");
    if (!lib.ok()) {
      std::fprintf(stderr, "round_trips_bench: the client stand-in has no round-trip counters: %s\n", dlerror());
      return 1;
    }
    // The database is built on first use: not part of any figure.
    std::printf("building %s ...\n", alias.c_str());
    {
      std::vector<Figures> scratch(actions.size());
      std::string ignored;
      std::vector<Action> logon(actions.begin(), actions.begin() + 1);
      if (!Pass(lib, logon, scratch, true, ignored)) return 1;
    }
    std::string firstTranscript;
    for (std::size_t p = 0; p < delays.size(); ++p) {
      lib.SetDelay(delays[p]);
      std::printf("pass at %s per round trip ...\n", DelayLabel(delays[p]).c_str());
      std::string transcript;
      if (!Pass(lib, actions, figs, p == 0, transcript)) return 1;
      if (p == 0) {
        firstTranscript = transcript;
      } else if (transcript != firstTranscript) {
        // Both kept in /tmp for a diff (the work folder goes at the end).
        const fs::path a = fs::path("/tmp") / "round_trips_bench-first.txt";
        const fs::path b = fs::path("/tmp") / ("round_trips_bench-" + std::to_string(delays[p]) + ".txt");
        std::ofstream(a) << firstTranscript;
        std::ofstream(b) << transcript;
        std::fprintf(stderr, "round_trips_bench: the transcript at %s differs from the one at %s (%s, %s)\n",
                     DelayLabel(delays[p]).c_str(), DelayLabel(delays[0]).c_str(), a.c_str(), b.c_str());
        status = 1;
      }
    }
    lib.SetDelay(0);
  }

  // The report: a table and the goals.
  std::ostringstream md;
  md << "# Round trips per user action\n\n"
     << "Written by `round_trips_bench` (bench/round_trips): the host stand-in plays each action on a\n"
     << "`SYNTHOBJ_" << objects << "` database as SYSTEM; the OCI stand-in counts round trips as the real\n"
     << "client makes them and sleeps the given time per round trip. Statements: executes (and\n"
     << "describes); fetches: fetch calls that had to ask the server; prepared again: statement\n"
     << "texts the action prepared a second time. Times are wall time in ms.\n\n"
     << "| action | round trips | statements | fetches | prepared again |";
  for (unsigned long d : delays) md << " ms at " << DelayLabel(d) << " |";
  md << "\n|---|---:|---:|---:|---:|";
  for (std::size_t d = 0; d < delays.size(); ++d) md << "---:|";
  md << "\n";
  bool tableOk = true, detailOk = true, bigOk = true, slowOk = true, keptOk = true;
  std::string repeatedText;
  const std::size_t slowPass = delays.size() - 1;
  for (std::size_t i = 0; i < actions.size(); ++i) {
    const Figures& f = figs[i];
    md << "| " << actions[i].label << " | " << f.counts.trips << " | " << f.counts.statements << " | "
       << f.counts.fetches << " | " << f.counts.repeats << " |";
    if (f.counts.repeats && keptOk) repeatedText = actions[i].label + ": " + f.counts.repeated;
    keptOk = keptOk && f.counts.repeats == 0;
    for (double s : f.seconds) md << " " << Milliseconds(s) << " |";
    md << "\n";
    switch (actions[i].goal) {
      case Action::kTableDirectory:
        tableOk = tableOk && f.counts.trips <= 4;
        if (delays[slowPass] >= 20000) slowOk = slowOk && f.seconds[slowPass] < 0.15;
        break;
      case Action::kDetail: detailOk = detailOk && f.counts.trips <= 6; break;
      case Action::kBigListing: bigOk = bigOk && f.counts.fetches <= 500; break;
      case Action::kNone: break;
    }
  }
  auto met = [](bool ok) { return ok ? "met" : "NOT met"; };
  md << "\nGoals:\n\n"
     << "- table directory (EMP, and back to it) in at most 4 round trips: " << met(tableOk) << "\n"
     << "- any detail directory (.COLUMNS, package, routine, user, .Instance parameters) in at most 6: " << met(detailOk) << "\n"
     << "- the " << objects << "-object listing in at most 500 fetch round trips: " << met(bigOk) << "\n";
  if (delays[slowPass] >= 20000)
    md << "- the table directory under 0.15 s at " << DelayLabel(delays[slowPass]) << " per round trip: "
       << met(slowOk) << "\n";
  md << "- no statement prepared twice in one action: " << met(keptOk) << "\n";
  if (!keptOk) std::fprintf(stderr, "round_trips_bench: prepared twice in %s\n", repeatedText.c_str());
  md << "- the transcripts of all passes are the same: " << (status == 0 ? "yes" : "NO") << "\n";
  std::cout << "\n" << md.str();
  if (figures != "-") {
    std::ofstream out(figures, std::ios::trunc);
    out << md.str();
    if (!out) {
      std::fprintf(stderr, "round_trips_bench: cannot write %s\n", figures.c_str());
      status = 1;
    } else {
      std::printf("\nwritten to %s\n", figures.c_str());
    }
  }
  std::error_code ec;
  fs::remove_all(work, ec);
  return status;
}
