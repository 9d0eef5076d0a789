// The row formats of the text file (parameter file, alert list, trigger),
// the wrapped-unit test, and reading an edited file back into lines.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>

#include "operations/text_editing.h"
#include "operations/text_file.h"
#include "platform/platform.h"

namespace {

using namespace operations;

FieldReader Row(std::map<std::string, std::string> values) {
  return [values](const std::string& column) {
    auto it = values.find(column);
    return it == values.end() ? std::string() : it->second;
  };
}

TEST(TextFile, ParameterBlockKeepsOnlyTheFilledCommentLines) {
  std::string full = FormatParameterBlock(Row({{"DESCRIPTION", "number of processes"},
                                               {"TYPE_NAME", "INT"},
                                               {"DEFAULT_NAME", "Yes"},
                                               {"ISSES", "Yes"},
                                               {"ISSYS", "IMMEDIATE"},
                                               {"ISMODIFIED_NAME", "Yes"},
                                               {"ISADJUSTED_NAME", "Yes"},
                                               {"NAME", "processes"},
                                               {"VALUE", "150"}}));
  EXPECT_EQ(full,
            "# number of processes\r\n"
            "# type: INT\r\n"
            "# Whether the parameter value is the default: Yes\r\n"
            "# the parameter can be changed with ALTER SESSION: Yes\r\n"
            "# the parameter can be changed with ALTER SYSTEM: IMMEDIATE\r\n"
            "# Indicates how the parameter was modified: Yes\r\n"
            "# Indicates that the rdbms adjusted the input value to a more suitable value: Yes\r\n"
            "processes = 150\r\n"
            "\r\n");
  // Empty columns drop their lines; description, type and the value line stay.
  std::string bare = FormatParameterBlock(Row({{"NAME", "db_name"}, {"VALUE", ""}}));
  EXPECT_EQ(bare, "# \r\n# type: \r\ndb_name = \r\n\r\n");
}

TEST(TextFile, ShortParameterAndAlertBlocks) {
  EXPECT_EQ(FormatShortParameterBlock(Row({{"DESCRIPTION", "hidden"},
                                           {"TYPE", "BOOL"},
                                           {"ISDEFAULT", "TRUE"},
                                           {"NAME", "_trace"},
                                           {"VALUE", "FALSE"}})),
            "# hidden\r\n# type: BOOL\r\n# Whether the parameter value is the default: TRUE\r\n_trace = FALSE\r\n\r\n");
  EXPECT_EQ(FormatShortParameterBlock(Row({{"NAME", "_x"}, {"VALUE", "1"}, {"TYPE", "INT"}})),
            "# \r\n# type: INT\r\n_x = 1\r\n\r\n");
  EXPECT_EQ(FormatAlertBlock(Row({{"NAME", "STOCK"}, {"SID", "12"}, {"CHANGED", "Y"}, {"MESSAGE", "up"}})),
            "[STOCK] SID [12] Changed [Y]\r\nup\r\n\r\n");
}

TEST(TextFile, TriggerTextKeepsItsConditionAndCountsItsHead) {
  EXPECT_EQ(FormatTriggerText("SCOTT.T\nBEFORE INSERT ON EMP\n", "", "BEGIN NULL; END;"),
            "CREATE OR REPLACE TRIGGER SCOTT.T\nBEFORE INSERT ON EMP\n\r\nBEGIN NULL; END;");
  EXPECT_EQ(TriggerBodyOffset("SCOTT.T\nBEFORE INSERT ON EMP\n", ""), 3);
  // The row condition goes back between the description and the body.
  EXPECT_EQ(FormatTriggerText("T\nBEFORE UPDATE ON EMP\nFOR EACH ROW\n", "NEW.SAL > 0", "BEGIN NULL; END;"),
            "CREATE OR REPLACE TRIGGER T\nBEFORE UPDATE ON EMP\nFOR EACH ROW\nWHEN (NEW.SAL > 0)\r\nBEGIN NULL; END;");
  EXPECT_EQ(TriggerBodyOffset("T\nBEFORE UPDATE ON EMP\nFOR EACH ROW\n", "NEW.SAL > 0"), 4);
}

TEST(TextFile, WrappedIsTheSeparateWordAfterTheUnitName) {
  EXPECT_TRUE(IsWrappedSource("PROCEDURE SECRET_PROC wrapped\n", "SECRET_PROC"));
  EXPECT_TRUE(IsWrappedSource("PROCEDURE SCOTT.SECRET_PROC wrapped \na000000\nb2\n", "SECRET_PROC"));
  EXPECT_TRUE(IsWrappedSource("package body \"Pkg\" WRAPPED  ", "Pkg"));
  // Names that end in WRAPPED, and a unit called WRAPPED, are plain source.
  EXPECT_FALSE(IsWrappedSource("PROCEDURE LOG_UNWRAPPED\n", "LOG_UNWRAPPED"));
  EXPECT_FALSE(IsWrappedSource("PROCEDURE SET_WRAPPED", "SET_WRAPPED"));
  EXPECT_FALSE(IsWrappedSource("PROCEDURE WRAPPED IS\n", "WRAPPED"));
  EXPECT_FALSE(IsWrappedSource("PROCEDURE P (A NUMBER) IS -- not wrapped\n", "P"));
  // A quoted name with a blank; the word in a comment after the name.
  EXPECT_TRUE(IsWrappedSource("procedure \"W P\" wrapped\na000000\n", "W P"));
  EXPECT_TRUE(IsWrappedSource("CREATE OR REPLACE PACKAGE BODY SCOTT.PKG wrapped", "PKG"));
  EXPECT_FALSE(IsWrappedSource("procedure show_it is -- show_it wrapped\n", "SHOW_IT"));
  EXPECT_FALSE(IsWrappedSource("procedure show_it -- show_it wrapped\n", "SHOW_IT"));
  EXPECT_FALSE(IsWrappedSource("", "P"));
}

TEST(TextFile, EditedFileReadsBackLineByLine) {
  std::string path = platform::CreateTempFile("SQL", ".sql");
  ASSERT_FALSE(path.empty());
  std::vector<std::string> lines;
  ASSERT_TRUE(ReadTextLines(path, lines));
  EXPECT_TRUE(lines.empty());
  ASSERT_TRUE(platform::WriteFileAtomic(path, "CREATE OR REPLACE\r\nPROCEDURE P IS\nBEGIN\r\n\r\n  NULL;\nEND;"));
  ASSERT_TRUE(ReadTextLines(path, lines));
  EXPECT_EQ(lines, (std::vector<std::string>{"CREATE OR REPLACE", "PROCEDURE P IS", "BEGIN", "", "  NULL;", "END;"}));
  // A final line break adds no empty statement line.
  ASSERT_TRUE(platform::WriteFileAtomic(path, "SELECT 1 FROM DUAL\n"));
  ASSERT_TRUE(ReadTextLines(path, lines));
  EXPECT_EQ(lines, std::vector<std::string>{"SELECT 1 FROM DUAL"});
  platform::RemoveFile(path);
  EXPECT_FALSE(ReadTextLines(path, lines));
}

}  // namespace
