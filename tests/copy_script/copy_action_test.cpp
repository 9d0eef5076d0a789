// The Shift+F5 action's own rules: which item is a table, and the dialog;
// where the panel finds SQL*Plus.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>

#include "fake_host.h"
#include "operations/copy_script.h"
#include "panel/controller.h"
#include "platform/platform.h"

namespace {

using operations::TableAtItem;

TEST(CopyAction, TablesAreFoundInTheTablesTreeAndTheCatalogByUser) {
  std::string owner, table;
  EXPECT_TRUE(TableAtItem("\\Tables\\SCOTT", "EMP", owner, table));
  EXPECT_EQ(owner, "SCOTT");
  EXPECT_EQ(table, "EMP");
  // Names keep their case as written: the rule for names decides later.
  EXPECT_TRUE(TableAtItem("\\TABLES\\Mixed", "lower t", owner, table));
  EXPECT_EQ(owner, "Mixed");
  EXPECT_EQ(table, "lower t");
  EXPECT_TRUE(TableAtItem("\\.Catalog by user\\SCOTT", "EMP.TABLE", owner, table));
  EXPECT_EQ(table, "EMP");
  EXPECT_TRUE(TableAtItem("\\.CATALOG BY USER\\SCOTT", "A.B.table", owner, table));
  EXPECT_EQ(table, "A.B");
  // Not tables: the up item, views, other kinds in the catalog, detail
  // directories, the tables root and a table's own directory.
  EXPECT_FALSE(TableAtItem("\\Tables\\SCOTT", "..", owner, table));
  EXPECT_FALSE(TableAtItem("\\Views\\SCOTT", "EMP_VIEW", owner, table));
  EXPECT_FALSE(TableAtItem("\\.Catalog by user\\SCOTT", "EMP_VIEW.VIEW", owner, table));
  EXPECT_FALSE(TableAtItem("\\.Catalog by user\\SCOTT", "NOEXTENSION", owner, table));
  EXPECT_FALSE(TableAtItem("\\Tables\\.PARTITIONED TABLES", "X", owner, table));
  EXPECT_FALSE(TableAtItem("\\Tables", "SCOTT", owner, table));
  EXPECT_FALSE(TableAtItem("\\Tables\\SCOTT\\EMP", ".COLUMNS", owner, table));
}

TEST(CopyAction, TheDialogCutsItsTitleAndStartsWithEveryOptionOn) {
  fakehost::Install();
  auto& host = fakehost::Current();
  host.dialogAnswers.push_back([](std::vector<far::FarDialogItem>& items) {
    std::strcpy(items[2].Data.Data, "OTHER.sql");
    items[4].Param.Selected = 0;  // error handling off
    return 10;                    // &Save
  });
  std::string file = "A_TABLE_NAME_OF_THIRTY_CHARS_X.sql";
  operations::ScriptOptions o;
  o.countRecords = false;  // what was chosen last time does not carry over
  ASSERT_TRUE(operations::CopyTableDialog("SOME_LONG_OWNER.A_TABLE_NAME_OF_THIRTY_CHARS_X", file, o));
  ASSERT_EQ(host.dialogs.size(), 1u);
  const auto& d = host.dialogs[0];
  EXPECT_STREQ(d.items[0].Data.Data, "&Copy table SOME_LONG_OWNER.A_TABLE_NAME_OF_TH");
  EXPECT_EQ(std::strlen(d.items[0].Data.Data), 46u);
  EXPECT_EQ(d.histories[2], "CopyTableNamesHistory");
  for (int i = 3; i <= 8; ++i) EXPECT_EQ(d.items[i].Param.Selected, 1) << i;
  EXPECT_EQ(file, "OTHER.sql");
  EXPECT_TRUE(o.countRecords);
  EXPECT_FALSE(o.errorHandling);
  EXPECT_TRUE(o.hideOutput);
  // Cancel leaves the name as it was.
  host.dialogAnswers.push_back([](std::vector<far::FarDialogItem>& items) {
    std::strcpy(items[2].Data.Data, "CHANGED.sql");
    return 11;
  });
  EXPECT_FALSE(operations::CopyTableDialog("SCOTT.EMP", file, o));
  EXPECT_EQ(file, "OTHER.sql");
}

}  // namespace

namespace {

// SQL*Plus is found in the home, in its bin/ folder and along PATH.
TEST(SqlPlusLocation, HomeItsBinFolderThenPath) {
  namespace fs = std::filesystem;
  const fs::path dir = fs::temp_directory_path() / ("quarry-sqlplus-home-" + std::to_string(std::random_device{}()));
  fs::create_directories(dir / "reg");
  fs::create_directories(dir / "home" / "bin");
  fs::create_directories(dir / "instant");
  fs::create_directories(dir / "onpath");
  auto program = [](const fs::path& p) {
    std::ofstream(p) << "#!/bin/sh\n";
    fs::permissions(p, fs::perms::owner_all);
  };
  program(dir / "home" / "bin" / "sqlplus");
  program(dir / "instant" / "sqlplus");
  program(dir / "onpath" / "sqlplus");
  const auto savedPath = platform::GetEnv("PATH");
  platform::SetEnv("QUARRY_REGISTRY_DIR", (dir / "reg").string());
  platform::SetEnv("PATH", (dir / "onpath").string());
  platform::SetEnv("ORACLE_HOME", (dir / "home").string());
  EXPECT_EQ(panel::TOracleController().SqlPlusPath(), (dir / "home" / "bin" / "sqlplus").string());
  platform::SetEnv("ORACLE_HOME", (dir / "instant").string());
  EXPECT_EQ(panel::TOracleController().SqlPlusPath(), (dir / "instant" / "sqlplus").string());
  platform::UnsetEnv("ORACLE_HOME");
  EXPECT_EQ(panel::TOracleController().SqlPlusPath(), (dir / "onpath" / "sqlplus").string());
  if (savedPath) platform::SetEnv("PATH", *savedPath);
  platform::UnsetEnv("QUARRY_REGISTRY_DIR");
  std::error_code ec;
  fs::remove_all(dir, ec);
}

}  // namespace
