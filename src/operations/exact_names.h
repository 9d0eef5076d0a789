// exact_names.h — path levels in the letter case the user sees them.  The
// name rule itself (which case reaches the server) is
// connection/exact_names.h.
#pragma once

#include <string>
#include <vector>

namespace operations {

// The levels of a path (ANSI) in their own letter case; the first entry is
// L2 (the top directory), as the actions number them.
std::vector<std::string> ExactPathLevels(const std::string& path);

}  // namespace operations
