// dependency_tree.cpp — the depth-first dependency walk with its cycle and
// depth guards.
#include "catalog/dependency_tree.h"

#include <algorithm>

namespace catalog {
namespace {

struct Walk {
  const DependencyReader& read;
  const DependencySink& emit;
  std::vector<DependencyKey> path;  // the objects from the root to the current one
  int counter = 0;

  void From(const DependencyKey& object, int depth) {
    path.push_back(object);
    for (const DependencyKey& ref : read(object)) {
      ++counter;
      emit({TreeLineName(counter), std::string(static_cast<std::size_t>(depth) * 2, '.') + ref.owner + "." + ref.name,
            ref.type});
      bool onPath = std::find(path.begin(), path.end(), ref) != path.end();
      if (!onPath && depth + 1 < kMaxDependencyDepth) From(ref, depth + 1);
    }
    path.pop_back();
  }
};

}  // namespace

std::string TreeLineName(int number) {
  std::string digits = std::to_string(number);
  return digits.size() >= 10 ? digits : std::string(10 - digits.size(), ' ') + digits;
}

void WalkDependencyTree(const DependencyKey& root, const DependencyReader& read, const DependencySink& emit) {
  Walk walk{read, emit, {}, 0};
  walk.From(root, 0);
}

}  // namespace catalog
