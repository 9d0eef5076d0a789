// library_search.h — finding the client library file inside an Oracle home.
//
// The home's main library (oci.dll / libclntsh.so) wins at once; otherwise
// the highest-versioned library (ora73.dll < ora805.dll; libclntsh.so.9.0 <
// libclntsh.so.19.1).  Each candidate is written to the load log.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "oracle/client_layout.h"

namespace oracle {

// Version of an ora*.dll name: "0." + the digits after "ora" (or "oraNT")
// up to the first dot, so ora73.dll is 0.73 and oraNT71.dll 0.71.
// nullopt when the digits do not make a number greater than 0.
std::optional<double> OraDllVersion(const std::string& fileName);

// Version of a libclntsh.so.N.M name as numbers, {19, 1}; nullopt when the
// suffix is not dot-separated numbers.
std::optional<std::vector<long>> SharedObjectVersion(const std::string& fileName,
                                                     const std::string& baseName);

// Full path of the library to load from `homeDir`, or nullopt.  Appends
// "Found: " lines to `log`.
std::optional<std::string> FindLibraryInHome(const std::string& homeDir, const ClientLayout& layout,
                                             std::vector<std::string>& log);

}  // namespace oracle
