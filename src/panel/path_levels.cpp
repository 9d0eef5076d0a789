// path_levels.cpp — path grammar of the panel.
#include "panel/path_levels.h"

#include <cctype>

#include "host/far_abi.h"

namespace panel {

std::string UpperAnsi(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

std::vector<std::string> SplitPathLevels(const std::string& ansiPath) {
  return SplitPathLevelsAsWritten(UpperAnsi(ansiPath));
}

std::vector<std::string> SplitPathLevelsAsWritten(const std::string& path) {
  std::vector<std::string> levels{std::string()};
  // Field 1 is the text before the first backslash; levels start at field 2.
  std::size_t start = path.find('\\');
  if (start == std::string::npos) return levels;
  ++start;
  while (start <= path.size()) {
    std::size_t end = path.find('\\', start);
    std::string field = path.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (field.empty()) break;
    levels.push_back(field);
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return levels;
}

std::string ParentPath(const std::string& path) {
  std::size_t slash = path.rfind('\\');
  if (slash == std::string::npos || slash == 0) return "\\";
  return path.substr(0, slash);
}

std::string DescendPath(const std::string& current, const std::string& name) {
  if (name.size() >= 2 && name[0] == '\\') return name;
  if (current == "\\") return "\\" + name;
  return current + "\\" + name;
}

std::string HostPathToPanelPath(const std::string& text, bool searching) {
  if (far::kHostPathSeparator == '\\') return text;
  if (!searching && (text.empty() || text[0] != far::kHostPathSeparator)) return text;
  std::string path = text;
  for (char& c : path)
    if (c == far::kHostPathSeparator) c = '\\';
  while (path.size() > 1 && path.back() == '\\') path.pop_back();
  return path;
}

std::string LastLevelName(const std::string& path) {
  std::size_t slash = path.rfind('\\');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string LevelNameAt(const std::string& path, std::size_t n) {
  // Field 1 is the text before the first backslash (empty for a rooted path).
  std::size_t start = 0;
  for (std::size_t field = 1; field < n; ++field) {
    std::size_t slash = path.find('\\', start);
    if (slash == std::string::npos) return "";
    start = slash + 1;
  }
  std::size_t end = path.find('\\', start);
  return path.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

}  // namespace panel
