// round_trips.h — the stand-in's count of server round trips, for tests and
// benchmarks (the real client has nothing like it).  The library counts each
// call that would cross the network with a real client and can sleep a fixed
// time per round trip, so a benchmark sees what a LAN or a VPN would add.
//
// Reach the functions with dlsym on the loaded library (the plugin loads it
// at run time, so nothing links against them):
//   auto get = reinterpret_cast<OcisimRoundTripsFn>(dlsym(lib, "ocisim_round_trips"));
// Environment: OCISIM_ROUND_TRIP_DELAY_US (microseconds per round trip,
// default 0) and OCISIM_ROUND_TRIPS_FILE (the counters are written to this
// file when the library is unloaded or the process ends).
#pragma once

#ifdef __cplusplus
extern "C" {
#endif

struct OcisimRoundTrips {
  unsigned long long total;        // every round trip below
  unsigned long long executes;     // statements executed (a query's first rows come with it)
  unsigned long long fetches;      // fetch calls the client's row cache could not answer
  unsigned long long long_pieces;  // pieces of a LONG after the first
  unsigned long long commits;
  unsigned long long rollbacks;
  unsigned long long describes;    // describe-only executes, OCI7 odescr before an execute
  unsigned long long sessions;     // attach, session begin and end, logon, logoff
  unsigned long long other;        // server version, ping, break, cancel
  unsigned long long prepares;     // statement texts prepared (no round trip: counted to find repeats)
};

// The counters so far; zeroes them; the delay per round trip from now on.
void ocisim_round_trips(struct OcisimRoundTrips* out);
void ocisim_reset_round_trips(void);
void ocisim_set_round_trip_delay_us(unsigned long microseconds);

typedef void (*OcisimRoundTripsFn)(struct OcisimRoundTrips* out);
typedef void (*OcisimResetRoundTripsFn)(void);
typedef void (*OcisimSetRoundTripDelayFn)(unsigned long microseconds);

#ifdef __cplusplus
}
#endif
