// round_trips.h — counting the round trips a real client would make, the
// optional delay per round trip (see include/ocisim/round_trips.h), and the
// faults a test injects into them (fault_injection.h).
#pragma once

#include "fault_injection.h"

namespace ocisim {

class ServerSession;

enum class Trip { kExecute, kFetch, kLongPiece, kCommit, kRollback, kDescribe, kSession, kOther };

// Counts one round trip of `kind` on `link` and sleeps the configured delay.
// Throws the Oracle error of an injected fault, or ORA-03114 without
// counting when the link was dropped before.  A drop rolls back the open
// transaction of `session`, as a server does when its client goes.
void RoundTrip(Trip kind, Link* link = nullptr, ServerSession* session = nullptr);
// Counts a statement text prepared (not a round trip).
void CountPrepare();

}  // namespace ocisim
