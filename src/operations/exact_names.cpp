// exact_names.cpp — path levels in their letter case.
#include "operations/exact_names.h"

namespace operations {

std::vector<std::string> ExactPathLevels(const std::string& path) {
  std::vector<std::string> levels;
  std::size_t start = path.find('\\');
  if (start == std::string::npos) return levels;
  ++start;
  while (start < path.size()) {
    std::size_t end = path.find('\\', start);
    std::string field = path.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (field.empty()) break;
    levels.push_back(field);
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return levels;
}

}  // namespace operations
