// Path grammar and the jump-back stack.
#include <gtest/gtest.h>

#include "panel/directory_stack.h"
#include "panel/path_levels.h"

namespace {

using Levels = std::vector<std::string>;

TEST(PathLevels, SplitsAndUppercases) {
  EXPECT_EQ(panel::SplitPathLevels("\\"), Levels{""});
  EXPECT_EQ(panel::SplitPathLevels("\\Tables\\scott\\Emp"), (Levels{"", "TABLES", "SCOTT", "EMP"}));
  EXPECT_EQ(panel::SplitPathLevels("\\.Catalog by User"), (Levels{"", ".CATALOG BY USER"}));
  // A doubled backslash ends the level list there.
  EXPECT_EQ(panel::SplitPathLevels("\\TABLES\\\\SCOTT"), (Levels{"", "TABLES"}));
}

TEST(PathLevels, ParentAndDescend) {
  EXPECT_EQ(panel::ParentPath("\\TABLES"), "\\");
  EXPECT_EQ(panel::ParentPath("\\"), "\\");
  EXPECT_EQ(panel::ParentPath("\\TABLES\\SCOTT\\EMP"), "\\TABLES\\SCOTT");
  EXPECT_EQ(panel::DescendPath("\\", "Tables"), "\\Tables");
  EXPECT_EQ(panel::DescendPath("\\Tables", "SCOTT"), "\\Tables\\SCOTT");
  EXPECT_EQ(panel::DescendPath("\\Tables\\SCOTT", "\\X"), "\\X");  // a full path replaces
}

TEST(DirectoryStack, KeepsReturnPointsInOrder) {
  panel::TDirectoryStack s;
  EXPECT_EQ(s.TopPath(), "");
  EXPECT_EQ(s.TopCursor(), 0);
  s.Pop();  // popping an empty stack is harmless
  s.Push("", 0);
  s.Push("\\A", 3);
  s.Push("\\B", 7);
  EXPECT_EQ(s.TopPath(), "\\B");
  EXPECT_EQ(s.TopCursor(), 7);
  s.Pop();
  EXPECT_EQ(s.TopPath(), "\\A");
  EXPECT_EQ(s.TopCursor(), 3);
  s.Clear();
  EXPECT_EQ(s.Size(), 0u);
}

}  // namespace
