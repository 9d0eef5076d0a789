// exact_names.cpp — path levels in their letter case.
#include "operations/exact_names.h"

#include "panel/path_levels.h"

namespace operations {

std::vector<std::string> ExactPathLevels(const std::string& path) {
  std::vector<std::string> levels = panel::SplitPathLevelsAsWritten(path);
  levels.erase(levels.begin());  // the root
  return levels;
}

}  // namespace operations
