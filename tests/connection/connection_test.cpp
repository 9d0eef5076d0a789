// The data module against the client stand-in and a fresh demo database:
// what the probes find for a DBA and for a user without the catalog role,
// the statements the factory makes from them, the command runner's result
// file, and explain plan with and without PLAN_TABLE.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "catalog/listing_context.h"
#include "catalog/plan_listing.h"
#include "connection/command_runner.h"
#include "connection/data_module.h"
#include "connection/statement_catalogue.h"
#include "fake_host.h"
#include "host/host_services.h"
#include "panel/controller.h"
#include "platform/platform.h"

namespace {

namespace fs = std::filesystem;

// Records the text the editor was opened with (the runner deletes the file
// right after the editor returns).
std::vector<std::string> g_editorTexts;

int Editor(const char* file, const char*, int, int, int, int, far::DWORD, int, int) {
  std::string text;
  platform::ReadWholeFile(file, text);
  g_editorTexts.push_back(text);
  return 1;
}

class Connected : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("quarry-conn-" + std::to_string(std::random_device{}()));
    fs::create_directories(dir_ / "db");
    fs::create_directories(dir_ / "reg");
    platform::SetEnv("OCISIM_DATA_DIR", (dir_ / "db").string());
    platform::SetEnv("QUARRY_REGISTRY_DIR", (dir_ / "reg").string());
    fakehost::Install();
    auto& info = const_cast<far::PluginStartupInfo&>(host::Host());
    info.Editor = Editor;
    g_editorTexts.clear();
  }
  void TearDown() override {
    controller_.reset();
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }
  connection::TPluginDataModule& LogOn(const std::string& user, const std::string& password) {
    NewPanel();
    auto& s = module_->OracleSession();
    s.LogonUsername = user;
    s.LogonPassword = password;
    s.LogonDatabase = "";
    s.SetConnected(true);
    return *module_;
  }
  std::string Run(const std::string& command) {
    EXPECT_TRUE(connection::RunCommandLine(*module_, command));
    return g_editorTexts.empty() ? std::string() : g_editorTexts.back();
  }

  void NewPanel() {
    controller_.reset();
    controller_ = std::make_unique<panel::TOracleController>();
    module_ = &controller_->DataModule();
  }

  fs::path dir_;
  std::unique_ptr<panel::TOracleController> controller_;
  connection::TPluginDataModule* module_ = nullptr;
};

TEST_F(Connected, ProbesForADbaAndForAUserWithoutTheCatalogRole) {
  auto& dba = LogOn("system", "manager");
  EXPECT_EQ(dba.Caps().prefix, "DBA_");
  EXPECT_EQ(dba.Caps().tablesView, "DBA_ALL_TABLES");
  EXPECT_NE(dba.Caps().versionText, "N/A");
  EXPECT_NE(dba.Caps().globalName, "N/A");
  EXPECT_EQ(dba.Caps().indexType, "I.INDEX_TYPE ");
  auto q = dba.CreateOracleQueryByKind(connection::kStmtDirectoriesOwners);
  ASSERT_TRUE(q);
  EXPECT_NE(q->Text().find("DBA_DIRECTORIES"), std::string::npos);

  auto& scott = LogOn("scott", "tiger");
  EXPECT_EQ(scott.Caps().prefix, "ALL_");
  EXPECT_EQ(scott.Caps().tablesView, "ALL_ALL_TABLES");
  q = scott.CreateOracleQueryByKind(connection::kStmtDirectoriesOwners);
  ASSERT_TRUE(q);
  EXPECT_NE(q->Text().find("ALL_DIRECTORIES"), std::string::npos);
  EXPECT_EQ(scott.CreateOracleQueryByKind(264), nullptr);
  // Helper arguments are reduced like item names: "emp.table" is EMP.
  EXPECT_EQ(scott.CountSynonymsFor("scott", "emp.table"), scott.CountSynonymsFor("SCOTT", "EMP"));
}

TEST_F(Connected, CommandRunnerWritesRowsCountsOutputAndErrors) {
  LogOn("scott", "tiger");
  EXPECT_EQ(Run("select * from dual;"), "DUMMY \r\n----- \r\nX \r\n\r\n1 rows fetched\r\n");
  EXPECT_EQ(Run("select * from dual where 1 = 0"), "The command is successfully executed\r\n");
  EXPECT_EQ(Run("update emp set sal = sal where deptno = 10"),
            "The command is successfully executed\r\n\r\n3 rows processed\r\n");
  EXPECT_EQ(Run("begin dbms_output.put_line('first'); dbms_output.put_line('second'); end;"),
            "The command is successfully executed\r\nfirst\r\nsecond\r\n");
  std::string error = Run("selct * from dual");
  EXPECT_EQ(error.find("successfully"), std::string::npos);
  EXPECT_EQ(error.rfind("\r\nORA-", 0), 0u) << error;
  EXPECT_TRUE(module_->OracleSession().Connected());
}

TEST_F(Connected, RunnerRefusesWithoutASessionAndDropAsksFirst) {
  NewPanel();
  EXPECT_FALSE(connection::RunCommandLine(*module_, "select * from dual"));
  EXPECT_EQ(fakehost::Current().messages.back().items.at(1), "Not logged on!");
  EXPECT_FALSE(connection::RunCommandLine(*module_, "   "));

  LogOn("scott", "tiger");
  fakehost::Current().messageAnswers.push_back(1);  // Cancel
  EXPECT_FALSE(connection::RunCommandLine(*module_, "DrOp table bonus"));
  EXPECT_EQ(fakehost::Current().messages.back().items.at(0), "Drop Command");
  EXPECT_TRUE(g_editorTexts.empty());
  EXPECT_TRUE(module_->UserTableExists("bonus"));
}

TEST_F(Connected, ExplainPlanCreatesThePlanTableOnlyWhenAllowed) {
  auto& scott = LogOn("scott", "tiger");
  ASSERT_FALSE(scott.UserTableExists("PLAN_TABLE"));
  fakehost::Current().messageAnswers.push_back(1);  // "[ Don't create ]"
  EXPECT_FALSE(connection::ExplainPlan(scott, {"SELECT * FROM EMP"}));
  const auto& question = fakehost::Current().messages.back();
  EXPECT_EQ(question.items.at(0), "Explain plan");
  EXPECT_FALSE(scott.UserTableExists("PLAN_TABLE"));

  fakehost::Current().messageAnswers.push_back(0);  // "[ Create! ]"
  ASSERT_TRUE(connection::ExplainPlan(scott, {"SELECT * FROM EMP", "WHERE DEPTNO = 10"}));
  EXPECT_TRUE(scott.UserTableExists("PLAN_TABLE"));

  // The plan lines as items, numbered and indented by level.
  far::PluginPanelItem* items = nullptr;
  int count = 0;
  panel::FindDataRequest request{&items, &count, far::OPM_FIND};
  catalog::Listing listing{*controller_, request};
  catalog::ShowPlan(listing, "far sql plan");
  ASSERT_GE(count, 2);
  EXPECT_STREQ(items[0].FindData.cFileName, "00001");
  ASSERT_GE(items[1].CustomColumnNumber, 1);
  EXPECT_EQ(std::string(items[1].CustomColumnData[0]).rfind("..", 0), 0u);  // one level down
  panel::FreeItems(items, count);
}

}  // namespace
