// round_trips.cpp — see round_trips.h.  The counters are process-wide
// atomics: sessions of every thread add to the same figures.
#include "round_trips.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <thread>

#include "exports.h"
#include "ocisim/round_trips.h"
#include "ora_error.h"
#include "server_session.h"

namespace ocisim {
namespace {

struct Counters {
  std::atomic<unsigned long long> total{0}, executes{0}, fetches{0}, long_pieces{0}, commits{0}, rollbacks{0},
      describes{0}, sessions{0}, other{0}, prepares{0};
};

Counters& Count() {
  static Counters c;
  return c;
}

unsigned long DelayFromEnvironment() {
  const char* v = std::getenv("OCISIM_ROUND_TRIP_DELAY_US");
  if (!v || !*v) return 0;
  char* end = nullptr;
  unsigned long us = std::strtoul(v, &end, 10);
  // A value that is not a plain number adds no delay: a typo must not slow
  // every test down by minutes.
  return end && *end == 0 && us <= 10000000 ? us : 0;
}

std::atomic<unsigned long>& Delay() {
  static std::atomic<unsigned long> delay{DelayFromEnvironment()};
  return delay;
}

void Snapshot(OcisimRoundTrips* out) {
  Counters& c = Count();
  out->total = c.total;
  out->executes = c.executes;
  out->fetches = c.fetches;
  out->long_pieces = c.long_pieces;
  out->commits = c.commits;
  out->rollbacks = c.rollbacks;
  out->describes = c.describes;
  out->sessions = c.sessions;
  out->other = c.other;
  out->prepares = c.prepares;
}

// Writes the counters to OCISIM_ROUND_TRIPS_FILE when the library goes away.
struct WriteAtUnload {
  ~WriteAtUnload() {
    const char* path = std::getenv("OCISIM_ROUND_TRIPS_FILE");
    if (!path || !*path) return;
    OcisimRoundTrips r{};
    Snapshot(&r);
    if (std::FILE* f = std::fopen(path, "w")) {
      std::fprintf(f,
                   "round_trips %llu\nexecutes %llu\nfetches %llu\nlong_pieces %llu\ncommits %llu\n"
                   "rollbacks %llu\ndescribes %llu\nsessions %llu\nother %llu\nprepares %llu\n",
                   r.total, r.executes, r.fetches, r.long_pieces, r.commits, r.rollbacks, r.describes, r.sessions,
                   r.other, r.prepares);
      std::fclose(f);
    }
  }
} write_at_unload;

}  // namespace

static const char* TripName(Trip kind) {
  switch (kind) {
    case Trip::kExecute: return "execute";
    case Trip::kFetch: return "fetch";
    case Trip::kLongPiece: return "LONG piece";
    case Trip::kCommit: return "commit";
    case Trip::kRollback: return "rollback";
    case Trip::kDescribe: return "describe";
    case Trip::kSession: return "session";
    case Trip::kOther: return "other";
  }
  return "?";
}

void RoundTrip(Trip kind, Link* link, ServerSession* session) {
  // Nothing travels on a connection that is gone.
  if (link && link->dropped) ThrowOra(3114);
  Counters& c = Count();
  ++c.total;
  switch (kind) {
    case Trip::kExecute: ++c.executes; break;
    case Trip::kFetch: ++c.fetches; break;
    case Trip::kLongPiece: ++c.long_pieces; break;
    case Trip::kCommit: ++c.commits; break;
    case Trip::kRollback: ++c.rollbacks; break;
    case Trip::kDescribe: ++c.describes; break;
    case Trip::kSession: ++c.sessions; break;
    case Trip::kOther: ++c.other; break;
  }
  if (unsigned long us = Delay().load(std::memory_order_relaxed))
    std::this_thread::sleep_for(std::chrono::microseconds(us));
  std::optional<Fault> fault = FaultAt(TripName(kind));
  if (!fault) return;
  switch (fault->kind) {
    case FaultKind::kStall:
      std::this_thread::sleep_for(std::chrono::milliseconds(fault->stall_ms));
      return;
    case FaultKind::kError:
      ThrowOra(fault->error);
    case FaultKind::kDrop:
      if (link) link->dropped = true;
      if (session) {
        try {
          session->Rollback();
        } catch (...) {
          // The client sees the lost connection whatever the server does.
        }
      }
      ThrowOra(3113);
  }
}

void CountPrepare() { ++Count().prepares; }

}  // namespace ocisim

extern "C" OCISIM_VISIBLE void ocisim_round_trips(OcisimRoundTrips* out) {
  if (out) ocisim::Snapshot(out);
}

extern "C" OCISIM_VISIBLE void ocisim_reset_round_trips() {
  ocisim::Counters& c = ocisim::Count();
  for (auto* a : {&c.total, &c.executes, &c.fetches, &c.long_pieces, &c.commits, &c.rollbacks, &c.describes,
                  &c.sessions, &c.other, &c.prepares})
    a->store(0);
}

extern "C" OCISIM_VISIBLE void ocisim_set_round_trip_delay_us(unsigned long microseconds) {
  ocisim::Delay().store(microseconds);
}
