// tnsnames.h — the network aliases of the client's tnsnames.ora.
//
// Only the alias names are read (the logon dialog offers them); text inside
// parentheses is skipped, ".WORLD" suffixes are cut, and IFILE includes are
// followed, with a guard against files that include themselves directly or
// through others.
#pragma once

#include <set>
#include <string>
#include <vector>

namespace oracle {

// Sorted without regard to case; a second spelling of a name is ignored.
struct AliasLess {
  bool operator()(const std::string& a, const std::string& b) const;
};
using TnsAliasSet = std::set<std::string, AliasLess>;

// Adds the aliases of `fileName` (and of the files it includes) to `aliases`.
// A missing file adds nothing.
void ReadTnsAliases(const std::string& fileName, TnsAliasSet& aliases);

}  // namespace oracle
