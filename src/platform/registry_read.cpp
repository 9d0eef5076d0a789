// registry_read.cpp — the registry helpers both registries share: reading a
// setting with its default (the one way the plugin reads settings), and the
// rules for key paths and names (backslash separators, no letter case).
//
// Booleans: a DWORD reads as true when non-zero.  A string value is accepted
// too, for hand-edited settings: a decimal number ("1", "0", "-1" as Delphi's
// BoolToStr writes) is true when non-zero, "true"/"false" in any letter case
// read as such; any other text takes the default.
#include <cstdlib>

#include "platform/internal.h"
#include "platform/platform.h"

namespace platform {

namespace internal {

std::vector<std::string> SplitKeyPath(const std::string& path) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t end = path.find('\\', start);
    if (end == std::string::npos) end = path.size();
    if (end > start) parts.push_back(path.substr(start, end - start));
    start = end + 1;
  }
  return parts;
}

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

}  // namespace internal

std::string ReadString(const RegistryKey* key, const std::string& name, const std::string& def) {
  std::string value;
  if (key && key->QueryString(name, value)) return value;
  return def;
}

std::uint32_t ReadDword(const RegistryKey* key, const std::string& name, std::uint32_t def) {
  std::uint32_t value = 0;
  if (key && key->QueryDword(name, value)) return value;
  return def;
}

bool ReadBool(const RegistryKey* key, const std::string& name, bool def) {
  if (!key) return def;
  std::uint32_t number = 0;
  if (key->QueryDword(name, number)) return number != 0;
  std::string text;
  if (!key->QueryString(name, text)) return def;
  if (internal::SameName(text, "true")) return true;
  if (internal::SameName(text, "false")) return false;
  if (text.empty() || text.size() > 11) return def;
  char* end = nullptr;
  long long n = std::strtoll(text.c_str(), &end, 10);
  bool numeric = text[0] == '-' || (text[0] >= '0' && text[0] <= '9');
  if (!numeric || end != text.c_str() + text.size()) return def;
  return n != 0;
}

}  // namespace platform
