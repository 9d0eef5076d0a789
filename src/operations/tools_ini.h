// tools_ini.h — reading the tools menu's INI files as the Windows profile
// functions read them: sections in file order, keys and section names
// compared without regard to case, values trimmed, ';' comment lines.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace operations {

struct IniSection {
  std::string name;
  std::vector<std::pair<std::string, std::string>> keys;  // in file order
  // The value of a key, "" when it is missing.
  std::string Value(const std::string& key) const;
};

// A section named twice is one section (its keys in order, the first value
// of a key winning); lines before the first section are ignored.
std::vector<IniSection> ParseIni(const std::string& text);

}  // namespace operations
