// oci_fault_win32.cpp — see oci_fault.h.  On Windows the client library is
// the loaded module named oci.dll, whichever folder it came from.
#include <windows.h>

#include "oci_fault.h"

namespace hostsim {

bool ArmOciFault(const std::string& plan, std::string& error) {
  using SetFaultFn = int (*)(const char*);
  HMODULE oci = GetModuleHandleA("oci.dll");
  auto setFault = oci ? reinterpret_cast<SetFaultFn>(reinterpret_cast<void*>(GetProcAddress(oci, "ocisim_set_fault")))
                      : nullptr;
  if (!setFault) {
    error = "no OCI stand-in is loaded (log on first)";
    return false;
  }
  if (setFault(plan.c_str()) != 0) {
    error = "not a fault plan: \"" + plan + "\"";
    return false;
  }
  return true;
}

}  // namespace hostsim
