// round_trips.h — counting the round trips a real client would make, and the
// optional delay per round trip (see include/ocisim/round_trips.h).
#pragma once

namespace ocisim {

enum class Trip { kExecute, kFetch, kLongPiece, kCommit, kRollback, kDescribe, kSession, kOther };

// Counts one round trip of `kind` and sleeps the configured delay.
void RoundTrip(Trip kind);
// Counts a statement text prepared (not a round trip).
void CountPrepare();

}  // namespace ocisim
