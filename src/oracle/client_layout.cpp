// client_layout.cpp — the two Oracle-home layouts and the loader parameters.
#include "oracle/client_layout.h"

#include "oracle/text_util.h"
#include "platform/platform.h"

namespace oracle {

ClientLayout WindowsLayout() {
  ClientLayout layout;
  layout.libraryDir = "bin";
  layout.mainLibrary = "oci.dll";
  layout.versionedPattern = "ora*.dll";
  layout.versionedStyle = VersionedLibraryStyle::OraDll;
  layout.systemLibraryName = "oci.dll";
  layout.tnsAdminSubdir = "Network\\Admin";
  layout.netDirsInRegistry = true;
  return layout;
}

ClientLayout PosixLayout() {
  ClientLayout layout;
  layout.libraryDir = "lib";
  layout.mainLibrary = "libclntsh.so";
  layout.versionedPattern = "libclntsh.so.*";
  layout.versionedStyle = VersionedLibraryStyle::SharedObject;
  layout.homeFromEnvironment = true;
  layout.parametersFromEnvironment = true;
  layout.systemLibraryName = "libclntsh.so";
  layout.tnsAdminSubdir = "network/admin";
  return layout;
}

ClientLayout NativeLayout() {
  // The platform layer is the only place that knows the OS; its path
  // separator tells us which layout the installed client has.
  return platform::PathSeparator() == '\\' ? WindowsLayout() : PosixLayout();
}

std::optional<std::string> LoaderParameter(const std::string& name,
                                           const std::vector<std::string>& args,
                                           bool fromEnvironment) {
  const std::string prefix = UpperCase(name) + "=";
  for (std::size_t i = 1; i < args.size(); ++i) {
    if (UpperCase(args[i].substr(0, prefix.size())) == prefix) {
      return args[i].substr(prefix.size(), 255);
    }
  }
  if (fromEnvironment) {
    if (auto value = platform::GetEnv(name); value && !value->empty()) return value->substr(0, 255);
  }
  return std::nullopt;
}

}  // namespace oracle
