// module_probe.cpp — platform_test_module, a shared library the module tests
// load.  It answers platform::ModuleFileName() from inside a library, which
// is how the plugin finds its own directory (help files, sqlnet.log).
#include <cstring>
#include <string>

#include "platform/platform.h"

extern "C" int QuarryProbeModuleFileName(char* buffer, int size) {
  std::string name = platform::ModuleFileName();
  if (size <= 0 || name.size() >= static_cast<std::size_t>(size)) return -1;
  std::memcpy(buffer, name.c_str(), name.size() + 1);
  return static_cast<int>(name.size());
}
