// derived_file_name.cpp — see derived_file_name.h.
#include "operations/derived_file_name.h"

#include <array>
#include <cctype>
#include <string_view>

namespace operations {
namespace {

// The same set on both systems, so a name gives the same file everywhere.
bool Unsafe(unsigned char c) {
  return c < 0x20 || c == 0x7F || std::string_view("/\\:*?\"<>|").find(static_cast<char>(c)) != std::string_view::npos;
}

constexpr std::array<std::string_view, 22> kDeviceNames = {
    "CON",  "PRN",  "AUX",  "NUL",  "COM1", "COM2", "COM3", "COM4", "COM5", "COM6", "COM7",
    "COM8", "COM9", "LPT1", "LPT2", "LPT3", "LPT4", "LPT5", "LPT6", "LPT7", "LPT8", "LPT9"};

// Windows takes "NUL.sql" and "nul .txt" for the device too: what counts is
// the part before the first dot, trailing blanks dropped.
bool IsDeviceName(const std::string& base) {
  std::string stem = base.substr(0, base.find('.'));
  while (!stem.empty() && stem.back() == ' ') stem.pop_back();
  if (stem.size() < 3 || stem.size() > 4) return false;
  for (auto& ch : stem) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
  for (std::string_view device : kDeviceNames)
    if (stem == device) return true;
  return false;
}

}  // namespace

std::string DerivedFileName(const std::string& name, const std::string& extension) {
  std::string base;
  base.reserve(name.size() + 1);
  for (char c : name) base += Unsafe(static_cast<unsigned char>(c)) ? '_' : c;
  // Dots alone are harmless here: ".." + ".sql" is the plain file "...sql".
  if (IsDeviceName(base)) {
    const std::size_t dot = base.find('.');
    base.insert(dot == std::string::npos ? base.size() : dot, "_");
  }
  return base + extension;
}

}  // namespace operations
