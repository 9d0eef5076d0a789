// oracle_home.h — choosing the Oracle home among those the registry lists.
//
// Reads HKEY_LOCAL_MACHINE\SOFTWARE\ORACLE (ALL_HOMES\HOME_COUNTER and the
// HOMEn keys) through the platform registry, which on POSIX is the
// file-backed store (redirectable with QUARRY_REGISTRY_DIR).  The chosen key
// is cached by the client library (client_library.cpp).
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace oracle {

inline constexpr const char* kOracleRootKey = "SOFTWARE\\ORACLE";

// A registry string value of HKLM; "" when the key or value is missing.
std::string ReadMachineString(const std::string& key, const std::string& value);

struct OracleHomeEntry {
  std::string name;
  int index = 0;
};

// The homes listed by HOME_COUNTER; empty when the counter is missing or not a number.
std::vector<OracleHomeEntry> ReadOracleHomeList();

struct HomeSelection {
  std::string selectedName;          // remembered between computations
  bool chosenAutomatically = false;
};

// Chooses the home key: the home named by `wanted` (else the previously
// selected one), otherwise the home whose bin directory stands earliest in
// `pathVariable`, otherwise the last home.  Falls back to SOFTWARE\ORACLE
// when the list is empty or the chosen home has no ORACLE_HOME value.
std::string ChooseOracleHomeKey(const std::vector<OracleHomeEntry>& homes,
                                const std::optional<std::string>& wanted,
                                const std::string& pathVariable, HomeSelection& selection);

// PATH as the home choice reads it: whole, however long (2,000 characters
// and more are ordinary on current Windows; cutting it would let a later
// home win over one whose bin folder comes first).
std::string PathForHomeSearch();

}  // namespace oracle
