// oci_fault.h — arming a fault in the OCI stand-in the plugin has loaded,
// so a script can make the connection drop at a chosen moment ("set
// oci-fault PLAN", or an editor answer with fault=PLAN: the plan takes
// effect when the editor closes).  PLAN is a fault plan of the stand-in
// (sim/oci/include/ocisim/fault_injection.h); its round trips count from
// the next one.
#pragma once

#include <string>

namespace hostsim {

// False with `error` set when no loaded library offers ocisim_set_fault
// (the plugin has not loaded the stand-in yet) or the plan is malformed.
bool ArmOciFault(const std::string& plan, std::string& error);

}  // namespace hostsim
