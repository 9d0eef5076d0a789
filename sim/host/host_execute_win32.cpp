// host_execute_win32.cpp — the Execute service on Windows.  FAR 1.70 has no
// such service (its table has no slot for it) and the plugin starts console
// programs itself there, so a call here is a fault of the stand-in's user.
#include "host.h"

namespace hostsim {

int Host::SvcExecute(const char* command, unsigned int flags) {
  Record("execute flags=" + Hex(flags) + " cmd=" + QuoteOrDash(command));
  Record("execute-result not-started");
  return -1;
}

}  // namespace hostsim
