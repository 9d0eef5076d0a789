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

// Where the reader finds files: the real file system for the logon dialog,
// files held in memory for tests that must not touch the disk.
class TnsFileSource {
 public:
  virtual ~TnsFileSource() = default;
  // False when `path` names no readable regular file.
  virtual bool Exists(const std::string& path) const = 0;
  virtual bool Read(const std::string& path, std::string& content) const = 0;
  // The folder a relative path is taken from.
  virtual std::string CurrentDirectory() const = 0;
};

// Adds the aliases of `fileName` (and of the files it includes) to `aliases`.
// A missing file adds nothing.
void ReadTnsAliases(const std::string& fileName, TnsAliasSet& aliases);
void ReadTnsAliases(const std::string& fileName, TnsAliasSet& aliases, const TnsFileSource& files);

}  // namespace oracle
