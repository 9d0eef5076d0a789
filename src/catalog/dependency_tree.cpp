// dependency_tree.cpp — the depth-first dependency walk: each object is
// expanded once per tree, and nothing below the depth limit is walked.
#include "catalog/dependency_tree.h"

#include <map>
#include <tuple>

namespace catalog {
namespace {

struct KeyLess {
  bool operator()(const DependencyKey& a, const DependencyKey& b) const {
    return std::tie(a.owner, a.name, a.type) < std::tie(b.owner, b.name, b.type);
  }
};

struct Walk {
  const DependencyReader& read;
  const DependencySink& emit;
  // Every object already shown (the root counts as line 0), with the line
  // that shows it first.  Shared dependencies (a diamond of packages all
  // using one another) would otherwise be expanded once per path, which
  // grows exponentially with the depth of the graph.
  std::map<DependencyKey, int, KeyLess> seen;
  int counter = 0;

  void From(const DependencyKey& object, int depth) {
    for (const DependencyKey& ref : read(object)) {
      ++counter;
      std::string tree = std::string(static_cast<std::size_t>(depth) * 2, '.') + ref.owner + "." + ref.name;
      auto [it, first] = seen.emplace(ref, counter);
      if (!first) {
        emit({TreeLineName(counter), tree + RepeatedNote(it->second), ref.type});
        continue;
      }
      emit({TreeLineName(counter), tree, ref.type});
      if (depth + 1 < kMaxDependencyDepth) From(ref, depth + 1);
    }
  }
};

}  // namespace

std::string TreeLineName(int number) {
  std::string digits = std::to_string(number);
  return digits.size() >= 10 ? digits : std::string(10 - digits.size(), ' ') + digits;
}

std::string RepeatedNote(int firstLine) {
  return firstLine == 0 ? " (repeated: the object of this tree)"
                        : " (repeated, see line " + std::to_string(firstLine) + ")";
}

void WalkDependencyTree(const DependencyKey& root, const DependencyReader& read, const DependencySink& emit) {
  Walk walk{read, emit, {}, 0};
  walk.seen.emplace(root, 0);
  walk.From(root, 0);
}

}  // namespace catalog
