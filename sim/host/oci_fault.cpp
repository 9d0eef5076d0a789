// oci_fault.cpp — see oci_fault.h.  The plugin loads the client library
// itself (RTLD_LOCAL), so its symbols are found by asking each loaded
// object in turn.
#include "oci_fault.h"

#include <dlfcn.h>
#include <link.h>

namespace hostsim {
namespace {

using SetFaultFn = int (*)(const char*);

int FindSetFault(struct dl_phdr_info* info, size_t, void* data) {
  if (!info->dlpi_name || !*info->dlpi_name) return 0;
  void* handle = dlopen(info->dlpi_name, RTLD_NOLOAD | RTLD_LAZY);
  if (!handle) return 0;
  void* fn = dlsym(handle, "ocisim_set_fault");
  dlclose(handle);  // drops only the reference RTLD_NOLOAD added
  if (!fn) return 0;
  *static_cast<SetFaultFn*>(data) = reinterpret_cast<SetFaultFn>(fn);
  return 1;
}

}  // namespace

bool ArmOciFault(const std::string& plan, std::string& error) {
  SetFaultFn setFault = nullptr;
  dl_iterate_phdr(FindSetFault, &setFault);
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
