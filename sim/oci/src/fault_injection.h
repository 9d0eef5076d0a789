// fault_injection.h — making server round trips fail on purpose, so tests
// see what a dropped connection, a server error or a slow network does to a
// client.  The plan comes from OCISIM_FAULT (see the README) or from
// ocisim_set_fault (include/ocisim/fault_injection.h); RoundTrip asks
// FaultAt for every trip it counts.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace ocisim {

enum class FaultKind {
  kDrop,   // the connection goes: ORA-03113 now, ORA-03114 on every later trip
  kError,  // the server answers with a chosen ORA- error; the connection stays
  kStall,  // the trip takes this much longer, then goes on as usual
};

struct FaultPlan {
  FaultKind kind = FaultKind::kDrop;
  int error = 0;                 // kError: the ORA number
  unsigned stall_ms = 0;         // kStall
  unsigned long long nth = 0;    // the one trip hit, counted from 1; 0: by chance
  double probability = 0;        // nth == 0: the chance of each trip
  std::uint64_t seed = 1;        // nth == 0: the sequence of chances
};

// "drop@17", "ORA-00054@3", "stall=2000@5", "drop@p=0.05,seed=7".
// Nothing (and `error` set) when the text is not such a plan.
std::optional<FaultPlan> ParseFaultPlan(const std::string& text, std::string* error);

// The connection a round trip travels on (an OCI8 server handle, an OCI7
// logon).  Once dropped, every trip on it fails until a new logon makes a
// new one.
struct Link {
  bool dropped = false;
};

// What the injector decided for one trip.
struct Fault {
  FaultKind kind;
  int error;          // kDrop: 3113; kError: the chosen number
  unsigned stall_ms;  // kStall
};

// Counts one round trip against the plan; the fault to play, if this trip
// is hit.  Reads OCISIM_FAULT on first use and then takes it out of the
// environment, so the client programs a test starts (sqlplus, exp) run
// without it.  Every fault that fires is written to OCISIM_FAULT_LOG.
std::optional<Fault> FaultAt(const char* trip_kind);

// Replaces the plan ("" or null: none) and starts counting trips afresh;
// false, and the plan unchanged, when the text is malformed.
bool SetFaultPlan(const char* text);
unsigned long long FaultsInjected();
// Frees the plan's state (the library is going); a later trip starts anew.
void ReleaseFaultInjector();

}  // namespace ocisim
