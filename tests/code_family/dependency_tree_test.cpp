// The dependency walk on made-up graphs: order and indentation of the lines,
// each object expanded once (cycles and shared dependencies), the depth
// guard, and a reader that fails half-way.
#include <gtest/gtest.h>

#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "catalog/dependency_tree.h"

namespace {

using catalog::DependencyKey;
using catalog::DependencyLine;

// A graph keyed by object name; every object is SCOTT's and a PACKAGE.
struct Graph {
  std::map<std::string, std::vector<std::string>> edges;
  int reads = 0;

  std::vector<DependencyKey> Read(const DependencyKey& k) {
    ++reads;
    std::vector<DependencyKey> out;
    auto it = edges.find(k.name);
    if (it != edges.end())
      for (const std::string& n : it->second) out.push_back({"SCOTT", n, "PACKAGE"});
    return out;
  }
};

std::vector<DependencyLine> Walk(Graph& g, const std::string& root) {
  std::vector<DependencyLine> lines;
  catalog::WalkDependencyTree(
      {"SCOTT", root, "PACKAGE"}, [&](const DependencyKey& k) { return g.Read(k); },
      [&](const DependencyLine& l) { lines.push_back(l); });
  return lines;
}

std::vector<std::string> Trees(const std::vector<DependencyLine>& lines) {
  std::vector<std::string> out;
  for (const auto& l : lines) out.push_back(l.tree);
  return out;
}

TEST(DependencyTree, DepthFirstWithTwoDotsPerLevelAndNumbersThatSortAsText) {
  Graph g;
  g.edges = {{"A", {"B", "E"}}, {"B", {"C"}}, {"C", {"D"}}};
  auto lines = Walk(g, "A");
  EXPECT_EQ(Trees(lines), (std::vector<std::string>{"SCOTT.B", "..SCOTT.C", "....SCOTT.D", "SCOTT.E"}));
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0].number, "         1");
  EXPECT_EQ(lines[3].number, "         4");
  EXPECT_EQ(lines[0].type, "PACKAGE");
  // Line 10 must sort after line 9 by name, as the panel sorts.
  EXPECT_LT(catalog::TreeLineName(9), catalog::TreeLineName(10));
  EXPECT_EQ(catalog::TreeLineName(1234567890), "1234567890");
}

TEST(DependencyTree, AnObjectAlreadyShownIsARepeatedLeafNotWalkedAgain) {
  Graph g;
  // A -> B -> A (cycle), B -> C; A and B reached again through C.
  g.edges = {{"A", {"B"}}, {"B", {"A", "C"}}, {"C", {"A", "B"}}};
  auto lines = Walk(g, "A");
  EXPECT_EQ(Trees(lines), (std::vector<std::string>{"SCOTT.B", "..SCOTT.A (repeated: the object of this tree)",
                                                   "..SCOTT.C", "....SCOTT.A (repeated: the object of this tree)",
                                                   "....SCOTT.B (repeated, see line 1)"}));
  EXPECT_EQ(g.reads, 3);
}

TEST(DependencyTree, ASharedDependencyIsExpandedOnceAndRepeatedAsALeaf) {
  Graph g;
  // D is shared by B and C: its children are shown under its first line only.
  g.edges = {{"A", {"B", "C"}}, {"B", {"D"}}, {"C", {"D"}}, {"D", {"E"}}};
  EXPECT_EQ(Trees(Walk(g, "A")), (std::vector<std::string>{"SCOTT.B", "..SCOTT.D", "....SCOTT.E", "SCOTT.C",
                                                           "..SCOTT.D (repeated, see line 2)"}));
}

TEST(DependencyTree, ADiamondLatticeCostsOneReadPerObjectAndOneLinePerEdge) {
  // 41 objects: the root and 20 layers of two, each object of a layer using
  // both of the next.  Walked per path this is 2^20 expansions; the reader
  // gives up long before that, so a walk that repeats work fails fast.
  Graph g;
  const int layers = 20;
  auto node = [](int layer, char side) { return "L" + std::to_string(layer) + side; };
  g.edges["R"] = {node(1, 'a'), node(1, 'b')};
  for (int i = 1; i < layers; ++i)
    for (char side : {'a', 'b'}) g.edges[node(i, side)] = {node(i + 1, 'a'), node(i + 1, 'b')};
  std::vector<DependencyLine> lines;
  auto read = [&](const DependencyKey& k) {
    if (g.reads >= 1000) throw std::runtime_error("too many dependency queries");
    return g.Read(k);
  };
  catalog::WalkDependencyTree({"SCOTT", "R", "PACKAGE"}, read,
                              [&](const DependencyLine& l) { lines.push_back(l); });
  EXPECT_EQ(g.reads, 1 + 2 * layers);
  EXPECT_EQ(lines.size(), static_cast<std::size_t>(2 + (layers - 1) * 4));
  // The deepest layer is reached along the first path and shown once there.
  int shown = 0;
  for (const auto& l : lines)
    if (l.tree.find("SCOTT.L20a") != std::string::npos && l.tree.find("repeated") == std::string::npos) ++shown;
  EXPECT_EQ(shown, 1);
}

TEST(DependencyTree, AChainLongerThanTheLimitStopsAtTheDepthLimit) {
  Graph g;
  for (int i = 0; i < 200; ++i) g.edges["N" + std::to_string(i)] = {"N" + std::to_string(i + 1)};
  auto lines = Walk(g, "N0");
  ASSERT_EQ(lines.size(), static_cast<std::size_t>(catalog::kMaxDependencyDepth));
  EXPECT_EQ(lines.back().tree, std::string(2 * (catalog::kMaxDependencyDepth - 1), '.') + "SCOTT.N64");
  EXPECT_EQ(g.reads, catalog::kMaxDependencyDepth);
}

TEST(DependencyTree, AFailingReadEndsTheWalkAndKeepsTheLinesSoFar) {
  Graph g;
  g.edges = {{"A", {"B", "C"}}, {"B", {"X"}}};
  std::vector<DependencyLine> lines;
  auto read = [&](const DependencyKey& k) {
    if (k.name == "X") throw std::runtime_error("ORA-03113: end-of-file on communication channel");
    return g.Read(k);
  };
  EXPECT_THROW(catalog::WalkDependencyTree({"SCOTT", "A", "PACKAGE"}, read,
                                           [&](const DependencyLine& l) { lines.push_back(l); }),
               std::runtime_error);
  EXPECT_EQ(Trees(lines), (std::vector<std::string>{"SCOTT.B", "..SCOTT.X"}));
}

TEST(DependencyTree, KeysDifferingOnlyInOwnerOrTypeAreDifferentObjects) {
  // A package and its body share a name; the body depending on the package
  // is no cycle.
  std::vector<DependencyLine> lines;
  auto read = [](const DependencyKey& k) -> std::vector<DependencyKey> {
    if (k.type == "PACKAGE BODY") return {{"SCOTT", "P", "PACKAGE"}};
    if (k.type == "PACKAGE") return {{"SYS", "P", "PACKAGE"}};
    return {};
  };
  catalog::WalkDependencyTree({"SCOTT", "P", "PACKAGE BODY"}, read,
                              [&](const DependencyLine& l) { lines.push_back(l); });
  EXPECT_EQ(Trees(lines), (std::vector<std::string>{"SCOTT.P", "..SYS.P", "....SYS.P (repeated, see line 2)"}));
}

}  // namespace
