// process_tables.h — the stand-in's process-wide tables (handle registry,
// OCI7 area maps, fault plan) are made on first use and all freed together
// when the library is unloaded or the process ends, so a client that unloads
// it leaves nothing behind (and a leak checker has nothing to count).
#pragma once

namespace ocisim {

// The OCI7 logon and cursor areas' state, their sessions rolled back.
void ReleaseOci7Areas();
// Everything: areas, then every handle a client left, then the fault plan.
void ReleaseProcessTables();

}  // namespace ocisim
