// process_tables.cpp — see process_tables.h.
#include "process_tables.h"

#ifndef _WIN32
#include <unistd.h>
#endif

#include "fault_injection.h"
#include "handles.h"

namespace ocisim {

void ReleaseProcessTables() {
  ReleaseOci7Areas();
  ReleaseHandles();
  ReleaseFaultInjector();
}

namespace {

#ifndef _WIN32
// A child forked by the client shares the tables' memory but not their
// sessions: ending them there would roll back the parent's work.
const pid_t kLoadedBy = ::getpid();
bool InLoadingProcess() { return ::getpid() == kLoadedBy; }
#else
bool InLoadingProcess() { return true; }
#endif

// A library destructor rather than a static object's: it runs at dlclose
// before the library's static objects go, and at exit only after every
// static object of the process is gone, so a client's own exit-time
// clean-up still finds its handles (a handle freed after this is simply
// unknown: OCI_INVALID_HANDLE).
__attribute__((destructor)) void ReleaseAtUnload() {
  if (InLoadingProcess()) ReleaseProcessTables();
}

}  // namespace
}  // namespace ocisim
