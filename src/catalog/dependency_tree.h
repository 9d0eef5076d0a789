// dependency_tree.h — the walk behind ".DEPENDENCIES TREE": what an object
// depends on, depth first, one numbered line per reference.
//
// The walk is kept apart from the queries so that its two guards can be
// seen and tested on their own: every object is expanded once per tree, and
// a later line naming it again is a leaf that says it is repeated and where
// it was shown first (this also stops dependency cycles, e.g. two packages
// calling each other); nothing below kMaxDependencyDepth is walked.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace catalog {

inline constexpr int kMaxDependencyDepth = 64;

struct DependencyKey {
  std::string owner, name, type;
  bool operator==(const DependencyKey&) const = default;
};

struct DependencyLine {
  std::string number;  // the running line number right-aligned in ten characters
  std::string tree;    // two dots per depth, then OWNER.NAME
  std::string type;    // the referenced object's type
};

// Reads the objects that one object references, in the server's order.
using DependencyReader = std::function<std::vector<DependencyKey>(const DependencyKey&)>;
// Receives each line as soon as it is known.
using DependencySink = std::function<void(const DependencyLine&)>;

// Walks from `root` (depth 0).  Exceptions of the reader end the walk and
// pass to the caller; the lines already given to the sink stay.
void WalkDependencyTree(const DependencyKey& root, const DependencyReader& read, const DependencySink& emit);

// The text a repeated object's line carries after its name; line 0 is the
// object the tree is of.
std::string RepeatedNote(int firstLine);

// A line number as tree listings name their lines.
std::string TreeLineName(int number);

}  // namespace catalog
