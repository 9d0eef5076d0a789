// The dependency walk on made-up graphs: order and indentation of the lines,
// the cycle guard, the depth guard, and a reader that fails half-way.
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

TEST(DependencyTree, AnObjectOnThePathIsShownOnceAndNotWalkedAgain) {
  Graph g;
  // A -> B -> A (cycle), B -> C; A also reached again through C.
  g.edges = {{"A", {"B"}}, {"B", {"A", "C"}}, {"C", {"A", "B"}}};
  auto lines = Walk(g, "A");
  EXPECT_EQ(Trees(lines),
            (std::vector<std::string>{"SCOTT.B", "..SCOTT.A", "..SCOTT.C", "....SCOTT.A", "....SCOTT.B"}));
}

TEST(DependencyTree, AnObjectReachedTwiceOffThePathIsWalkedBothTimes) {
  Graph g;
  // D is shared by B and C but is no cycle: both branches show its child.
  g.edges = {{"A", {"B", "C"}}, {"B", {"D"}}, {"C", {"D"}}, {"D", {"E"}}};
  EXPECT_EQ(Trees(Walk(g, "A")), (std::vector<std::string>{"SCOTT.B", "..SCOTT.D", "....SCOTT.E", "SCOTT.C",
                                                           "..SCOTT.D", "....SCOTT.E"}));
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
  EXPECT_EQ(Trees(lines), (std::vector<std::string>{"SCOTT.P", "..SYS.P", "....SYS.P"}));
}

}  // namespace
