// client_layout.h — where an Oracle client keeps its library, per platform.
//
// The home-selection and library-search logic is the same everywhere; what
// differs is the layout of an Oracle home (bin\oci.dll and ora*.dll on
// Windows, lib/libclntsh.so[.N.M] on POSIX) and a few POSIX conveniences
// (ORACLE_HOME, and the two loader parameters from the environment).  The
// loader takes the layout and the command-line source as an injectable
// environment, so tests can run the Windows logic on Linux and never depend
// on the test runner's own command line.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace oracle {

enum class VersionedLibraryStyle {
  OraDll,        // ora73.dll, ora805.dll, oraNT71.dll: version "0." + digits
  SharedObject,  // libclntsh.so.19.1: version N.M compared number by number
};

struct ClientLayout {
  std::string libraryDir;          // directory of the library inside a home
  std::string mainLibrary;         // taken at once when present
  std::string versionedPattern;    // further candidates
  VersionedLibraryStyle versionedStyle = VersionedLibraryStyle::OraDll;
  bool homeFromEnvironment = false;        // ORACLE_HOME when the registry has no home
  bool parametersFromEnvironment = false;  // ORACLEHOME / OCIDLL env vars
  std::string systemLibraryName;   // Instant Client: bare name on the loader's path
  std::string tnsAdminSubdir;      // below ORACLE_HOME when nothing else names it
  bool netDirsInRegistry = false;  // NET80 / NET20 values and Net80\Admin (Windows)
};

ClientLayout WindowsLayout();
ClientLayout PosixLayout();
// The layout of the platform we run on.
ClientLayout NativeLayout();

using CommandLineSource = std::function<std::vector<std::string>()>;

// The value of a "NAME=value" argument (argv[0] excluded; NAME compared
// without regard to case; the value cut to 255 characters), else, when the
// layout allows it, the environment variable NAME.  nullopt when neither.
std::optional<std::string> LoaderParameter(const std::string& name,
                                           const std::vector<std::string>& args,
                                           bool fromEnvironment);

}  // namespace oracle
