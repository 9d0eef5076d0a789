// The export's object line, completed file names and parameter lines.
#include <gtest/gtest.h>

#include "operations/export_params.h"

namespace operations {
namespace {

TEST(ExportObjectLine, UsersQuotedAndJoined) {
  EXPECT_EQ(ExportObjectLine({"USERS"}, {"SCOTT", "Mixed Case"}), "OWNER=(\"SCOTT\",\"Mixed Case\")");
  EXPECT_EQ(ExportObjectLine({".CATALOG BY USER"}, {"HR"}), "OWNER=(\"HR\")");
  // ".." and the detail directories stand for no user.
  EXPECT_EQ(ExportObjectLine({"USERS"}, {"..", ".ROLES"}), "");
  EXPECT_EQ(ExportObjectLine({"USERS"}, {}), "");
}

TEST(ExportObjectLine, TablesQuoteOwnerAndTableApart) {
  EXPECT_EQ(ExportObjectLine({"TABLES", "SCOTT"}, {"EMP", "DEPT"}), "TABLES=(\"SCOTT\".\"EMP\",\"SCOTT\".\"DEPT\")");
  // A dot inside a name stays inside its quotes; a quote is doubled.
  EXPECT_EQ(ExportObjectLine({"TABLES", "Odd.Owner"}, {"A.B", "q\"t"}),
            "TABLES=(\"Odd.Owner\".\"A.B\",\"Odd.Owner\".\"q\"\"t\")");
}

TEST(ExportObjectLine, NothingOutsideUsersAndOneOwnersTables) {
  EXPECT_EQ(ExportObjectLine({"TABLES"}, {"SCOTT"}), "");
  EXPECT_EQ(ExportObjectLine({"TABLES", ".ALL LOBS"}, {"X"}), "");
  EXPECT_EQ(ExportObjectLine({"TABLES", "SCOTT", "EMP"}, {".COLUMNS"}), "");
  EXPECT_EQ(ExportObjectLine({"USERS", "SCOTT"}, {"TABLE"}), "");
  EXPECT_EQ(ExportObjectLine({"VIEWS", "SCOTT"}, {"V"}), "");
  EXPECT_EQ(ExportObjectLine({}, {"TABLES"}), "");
}

TEST(ExportPaths, BaseFolderAndDefaultExtensions) {
  ExportOptions o;
  o.file = "scott";
  CompleteExportPaths(o, "/data/");
  EXPECT_EQ(o.file, "/data/scott.DAT");
  EXPECT_EQ(o.log, "/data/scott.LOG");

  o = {};
  o.file = "scott.dmp";
  o.log = "run";
  CompleteExportPaths(o, "/data/");
  EXPECT_EQ(o.file, "/data/scott.dmp");
  EXPECT_EQ(o.log, "/data/run.LOG");

  o = {};
  o.file = "/elsewhere/x.y/dump";
  o.log = "/logs/e.txt";
  CompleteExportPaths(o, "/data/");
  EXPECT_EQ(o.file, "/elsewhere/x.y/dump.DAT");
  EXPECT_EQ(o.log, "/logs/e.txt");

  o = {};
  o.file = "/elsewhere/exp.dmp";
  CompleteExportPaths(o, "");  // no file panel on the other side
  EXPECT_EQ(o.log, "exp.LOG");
}

TEST(ExportParameterLines, InOrderWithOptionalLinesAndNoPointInTimeRecover) {
  ExportOptions o;
  o.file = "/d/x.DAT";
  o.log = "/d/x.LOG";
  const auto plain = ExportParameterLines(o, "OWNER=(\"SCOTT\")");
  const std::vector<std::string> expected{
      "COMPRESS=Y", "CONSISTENT=N", "CONSTRAINTS=Y", "DIRECT=N", "FULL=N", "GRANTS=Y", "INDEXES=Y", "RECORD=Y",
      "ROWS=Y", "STATISTICS=ESTIMATE", "FILE=/d/x.DAT", "LOG=/d/x.LOG", "OWNER=(\"SCOTT\")"};
  EXPECT_EQ(plain, expected);

  o.triggers = false;
  o.rows = false;
  o.size = "2g";
  o.buffer = "65536";
  o.feedback = "100";
  const auto full = ExportParameterLines(o, "TABLES=(\"A\".\"B\")");
  EXPECT_EQ(full.front(), "TRIGGERS=N");
  EXPECT_EQ(full[9], "ROWS=N");
  EXPECT_EQ(full[10], "FILESIZE=2G");
  EXPECT_EQ(full[11], "STATISTICS=ESTIMATE");
  EXPECT_EQ(full[14], "BUFFER=65536");
  EXPECT_EQ(full[15], "FEEDBACK=100");
  EXPECT_EQ(full.back(), "TABLES=(\"A\".\"B\")");
  for (const auto& line : full) EXPECT_EQ(line.find("POINT_IN_TIME_RECOVER"), std::string::npos);
}

}  // namespace
}  // namespace operations
