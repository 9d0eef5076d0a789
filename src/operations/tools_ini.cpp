// tools_ini.cpp — the INI reader of the tools menu.
#include "operations/tools_ini.h"

#include "host/text_utils.h"

namespace operations {

std::string IniSection::Value(const std::string& key) const {
  const std::string wanted = host::UpperCase(key);
  for (const auto& [k, v] : keys)
    if (host::UpperCase(k) == wanted) return v;
  return "";
}

std::vector<IniSection> ParseIni(const std::string& text) {
  std::vector<IniSection> sections;
  IniSection* current = nullptr;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t nl = text.find('\n', start);
    std::size_t end = nl == std::string::npos ? text.size() : nl;
    std::string line = host::Trim(text.substr(start, end - start));
    start = end + 1;
    if (line.empty() || line[0] == ';') continue;
    if (line[0] == '[') {
      std::size_t close = line.find(']');
      std::string name = host::Trim(line.substr(1, close == std::string::npos ? std::string::npos : close - 1));
      current = nullptr;
      for (IniSection& s : sections)
        if (host::UpperCase(s.name) == host::UpperCase(name)) current = &s;
      if (current == nullptr) {
        sections.push_back({name, {}});
        current = &sections.back();
      }
      continue;
    }
    std::size_t eq = line.find('=');
    if (current == nullptr || eq == std::string::npos) continue;
    std::string key = host::Trim(line.substr(0, eq));
    std::string value = host::Trim(line.substr(eq + 1));
    // As the profile functions: one pair of enclosing quotes is dropped.
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
      value = value.substr(1, value.size() - 2);
    if (key.empty()) continue;
    bool known = false;
    for (const auto& kv : current->keys) known = known || host::UpperCase(kv.first) == host::UpperCase(key);
    if (!known) current->keys.emplace_back(key, value);
  }
  return sections;
}

}  // namespace operations
