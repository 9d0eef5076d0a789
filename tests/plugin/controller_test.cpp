// The panel controller: root list, navigation through SetDirectory, the
// info panel and title, and the plugin description.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "config/settings.h"
#include "plugin/plugin_entry.h"
#include "panel/controller.h"
#include "test_registry.h"

namespace {

// A data module whose connection state the test controls.
class FakeDataModule : public connection::TPluginDataModule {
 public:
  bool connected = false;
  bool logOnSucceeds = false;
  int logOnCalls = 0;
  connection::ConnectionFacts facts;

  bool Connected() const override { return connected; }
  bool LogOn() override {
    ++logOnCalls;
    connected = logOnSucceeds;
    return connected;
  }
  connection::ConnectionFacts Facts() override { return facts; }
};

struct Panel {
  FakeDataModule* dm;
  std::unique_ptr<panel::TOracleController> c;
  Panel() {
    auto m = std::make_unique<FakeDataModule>();
    dm = m.get();
    c = std::make_unique<panel::TOracleController>(std::move(m));
  }
  std::vector<std::string> List(int opMode = 0) {
    far::PluginPanelItem* items = nullptr;
    int count = 0;
    panel::FindDataRequest r{&items, &count, opMode};
    EXPECT_TRUE(c->GetFindData(r));
    std::vector<std::string> names;
    for (int i = 0; i < count; ++i) names.emplace_back(items[i].FindData.cFileName);
    c->FreeFindData(items, count);
    return names;
  }
  far::OpenPluginInfo Info() {
    far::OpenPluginInfo info{};
    c->GetOpenPluginInfo(info);
    return info;
  }
};

class ControllerTest : public PrivateRegistry {};

TEST_F(ControllerTest, RootListsThe34KindsWithoutUpItem) {
  Panel p;
  p.c->DirectoryStack().Push("\\SOMEWHERE", 4);
  far::PluginPanelItem* items = nullptr;
  int count = 0;
  panel::FindDataRequest r{&items, &count, 0};
  ASSERT_TRUE(p.c->GetFindData(r));
  ASSERT_EQ(count, 34);
  EXPECT_STREQ(items[0].FindData.cFileName, ".Instance parameters");
  EXPECT_STREQ(items[33].FindData.cFileName, "Views");
  for (int i = 0; i < count; ++i) {
    EXPECT_NE(std::string(items[i].FindData.cFileName), "..");
    EXPECT_EQ(items[i].FindData.dwFileAttributes, far::FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(items[i].CustomColumnNumber, 1);
  }
  EXPECT_STREQ(items[2].CustomColumnData[0],
               "All tables, views, synonyms, and sequences accessible to the user");
  EXPECT_STREQ(items[1].CustomColumnData[0], "");  // ".Statistics" has no description
  EXPECT_EQ(p.c->DirectoryStack().Size(), 0u);     // listing the root clears the stack
  p.c->FreeFindData(items, count);
}

TEST_F(ControllerTest, DisconnectedPanelStaysPutWhenLogonFails) {
  Panel p;
  EXPECT_FALSE(p.c->SetDirectory("Tables", 0));
  EXPECT_EQ(p.dm->logOnCalls, 1);
  EXPECT_EQ(p.c->CurrentDirectory(), "\\");
  // While the host searches, a disconnected panel refuses without a prompt.
  EXPECT_FALSE(p.c->SetDirectory("Tables", far::OPM_FIND));
  EXPECT_EQ(p.dm->logOnCalls, 1);
}

TEST_F(ControllerTest, LogonOnFirstEntryThenNavigation) {
  Panel p;
  p.dm->logOnSucceeds = true;
  ASSERT_TRUE(p.c->SetDirectory("Tables", 0));
  EXPECT_EQ(p.c->CurrentDirectory(), "\\Tables");
  EXPECT_EQ(p.c->GetPathLevel(2), "TABLES");
  EXPECT_EQ(p.c->GetPathLevel(9), "");
  EXPECT_EQ(p.List(), std::vector<std::string>{".."});  // nothing below yet but ".."
  ASSERT_TRUE(p.c->SetDirectory("scott", 0));
  EXPECT_EQ(p.c->CurrentDirectory(), "\\Tables\\scott");
  EXPECT_EQ(p.c->GetPathLevel(3), "SCOTT");
  ASSERT_TRUE(p.c->SetDirectory("..", 0));
  EXPECT_EQ(p.c->CurrentDirectory(), "\\Tables");
  ASSERT_TRUE(p.c->SetDirectory("..", 0));
  EXPECT_EQ(p.c->CurrentDirectory(), "\\");
  ASSERT_TRUE(p.c->SetDirectory("..", 0));
  EXPECT_EQ(p.c->CurrentDirectory(), "\\");
}

TEST_F(ControllerTest, FullPathsRootResetAndJumpReturn) {
  Panel p;
  p.dm->connected = true;
  ASSERT_TRUE(p.c->SetDirectory("Tables", 0));
  ASSERT_TRUE(p.c->SetDirectory("\\X", 0));
  EXPECT_EQ(p.c->CurrentDirectory(), "\\X");
  ASSERT_TRUE(p.c->SetDirectory("\\", 0));
  EXPECT_EQ(p.c->CurrentDirectory(), "\\");
  EXPECT_EQ(p.c->DirectoryStack().Size(), 0u);

  // Two jumps, then two ".." climb back through both origins in reverse.
  ASSERT_TRUE(p.c->SetDirectory(".Catalog by User", 0));
  ASSERT_TRUE(p.c->SetDirectory("SCOTT", 0));
  p.c->DirectoryStack().Push(p.c->CurrentDirectory(), 5);
  p.c->SetCurrentDirectory("\\TABLES\\SCOTT\\EMP");
  p.c->DirectoryStack().Push(p.c->CurrentDirectory(), 2);
  p.c->SetCurrentDirectory("\\INDEXES\\SCOTT\\PK_EMP");
  ASSERT_TRUE(p.c->SetDirectory("..", 0));
  EXPECT_EQ(p.c->CurrentDirectory(), "\\TABLES\\SCOTT\\EMP");
  EXPECT_EQ(p.c->PendingCurrentItem, 2);
  ASSERT_TRUE(p.c->SetDirectory("..", 0));
  EXPECT_EQ(p.c->CurrentDirectory(), "\\.Catalog by User\\SCOTT");
  EXPECT_EQ(p.c->PendingCurrentItem, 5);
}

// far2l (this build's host) sends "/" for the root and joins levels with
// "/", as its Find File does; a plain ".." names the level it left so the
// next redraw can put the cursor on it.
TEST_F(ControllerTest, SlashPathsOfFar2lAndTheLevelLeft) {
  Panel p;
  p.dm->connected = true;
  ASSERT_TRUE(p.c->SetDirectory("/", far::OPM_FIND));
  EXPECT_EQ(p.c->CurrentDirectory(), "\\");
  ASSERT_TRUE(p.c->SetDirectory("Contexts/SALES", far::OPM_FIND));
  EXPECT_EQ(p.c->CurrentDirectory(), "\\Contexts\\SALES");
  EXPECT_EQ(p.c->GetPathLevel(3), "SALES");
  ASSERT_TRUE(p.c->SetDirectory("..", far::OPM_FIND));
  EXPECT_EQ(p.c->CurrentDirectory(), "\\Contexts");
  EXPECT_EQ(p.c->PendingCurrentName, "SALES");
  ASSERT_TRUE(p.c->SetDirectory("..", 0));
  EXPECT_EQ(p.c->CurrentDirectory(), "\\");
  EXPECT_EQ(p.c->PendingCurrentName, "Contexts");
  ASSERT_TRUE(p.c->SetDirectory("/Tables/SCOTT/", 0));
  EXPECT_EQ(p.c->CurrentDirectory(), "\\Tables\\SCOTT");
  EXPECT_EQ(p.c->PendingCurrentName, "");
  // Entering an item whose name has a '/' (a Java class) is one level.
  ASSERT_TRUE(p.c->SetDirectory("java/lang/Object", 0));
  EXPECT_EQ(p.c->CurrentDirectory(), "\\Tables\\SCOTT\\java/lang/Object");
  EXPECT_EQ(p.c->GetPathLevel(4), "JAVA/LANG/OBJECT");
}

// A disconnected panel lets the user up without a logon: ".." and the root
// go straight to the root, which needs no server to be listed.
TEST_F(ControllerTest, DisconnectedPanelGoesUpWithoutLogon) {
  Panel p;
  p.dm->connected = true;
  ASSERT_TRUE(p.c->SetDirectory("Tables", 0));
  ASSERT_TRUE(p.c->SetDirectory("SCOTT", 0));
  ASSERT_TRUE(p.c->SetDirectory("EMP", 0));
  p.dm->connected = false;
  ASSERT_TRUE(p.c->SetDirectory("..", 0));
  EXPECT_EQ(p.dm->logOnCalls, 0);
  EXPECT_EQ(p.c->CurrentDirectory(), "\\");
  EXPECT_EQ(p.c->PendingCurrentName, "Tables");
  EXPECT_EQ(p.c->DirectoryStack().Size(), 0u);
  p.dm->connected = true;
  ASSERT_TRUE(p.c->SetDirectory("/Views/SCOTT", 0));
  p.dm->connected = false;
  ASSERT_TRUE(p.c->SetDirectory("\\", 0));
  EXPECT_EQ(p.dm->logOnCalls, 0);
  EXPECT_EQ(p.c->CurrentDirectory(), "\\");
  // Going down still asks for the logon.
  EXPECT_FALSE(p.c->SetDirectory("Views", 0));
  EXPECT_EQ(p.dm->logOnCalls, 1);
}

TEST_F(ControllerTest, TitleAndInfoPanelWhenDisconnected) {
  Panel p;
  far::OpenPluginInfo info = p.Info();
  EXPECT_STREQ(info.PanelTitle, " Oracle ");
  EXPECT_STREQ(info.CurDir, "\\");
  EXPECT_EQ(info.Flags, 0x205u);
  EXPECT_EQ(info.StructSize, far::kOpenPluginInfoSize);
  EXPECT_EQ(info.InfoLinesNumber, 14);
  EXPECT_EQ(info.PanelModesNumber, 10);
  EXPECT_EQ(info.PanelModesArray, panel::DefaultPanelModes().Modes());
  EXPECT_STREQ(info.InfoLines[0].Text, "Oracle SQL-Server Info");
  EXPECT_EQ(info.InfoLines[0].Separator, 1);
  EXPECT_STREQ(info.InfoLines[7].Text, "Version:");
  EXPECT_STREQ(info.InfoLines[7].Data, "Not conected");
  EXPECT_STREQ(info.InfoLines[1].Data, "");
  // No registered Oracle home and no ORACLE_HOME in the environment.
  EXPECT_STREQ(info.InfoLines[5].Data, "Error of getting!");
  EXPECT_EQ(p.c->SqlPlusPath(), "");
  EXPECT_STREQ(info.InfoLines[11].Text, "Plugin info");

  p.dm->connected = true;
  ASSERT_TRUE(p.c->SetDirectory("Tables", 0));
  info = p.Info();
  EXPECT_STREQ(info.PanelTitle, " Oracle\\Tables ");
}

TEST_F(ControllerTest, InfoPanelShowsConnectionAndCutsLongValues) {
  Panel p;
  p.dm->connected = true;
  p.dm->facts.serverName = "DEMO";
  p.dm->facts.userName = "SCOTT";
  p.dm->facts.mode = connection::ConnectMode::SysDba;
  p.dm->facts.inTransaction = true;
  p.dm->facts.version = "9.2.0.1.0";
  p.dm->facts.banner = std::string(120, 'B');
  far::OpenPluginInfo info = p.Info();
  EXPECT_STREQ(info.InfoLines[1].Data, "DEMO");
  EXPECT_STREQ(info.InfoLines[3].Data, "SCOTT");
  EXPECT_STREQ(info.InfoLines[4].Data, "SYSDBA");
  EXPECT_STREQ(info.InfoLines[6].Data, "IN TRANSACTION");
  EXPECT_STREQ(info.InfoLines[7].Data, "9.2.0.1.0");
  EXPECT_EQ(std::string(info.InfoLines[10].Data), std::string(79, 'B'));
}

TEST_F(ControllerTest, RegisteredOracleHomeIsRead) {
  {
    auto key = platform::RegistryKey::Open(platform::Hive::LocalMachine, "SOFTWARE\\ORACLE", true);
    ASSERT_TRUE(key);
    key->SetString("ORACLE_HOME", "/opt/oracle");
    key->SetString("ORACLE_HOME_NAME", "OraHome92");
  }
  Panel p;
  EXPECT_EQ(p.c->OracleHome(), std::string("/opt/oracle") + platform::PathSeparator());
  EXPECT_EQ(p.c->OracleHomeName(), "OraHome92");
  EXPECT_STREQ(p.Info().InfoLines[5].Data, "OraHome92");
}

// An 8i/9i multi-home install keeps no ORACLE_HOME directly below
// SOFTWARE\ORACLE: the info panel and SQL*Plus follow the home the client
// search chooses (here the one whose bin folder comes first in PATH).
TEST_F(ControllerTest, MultiHomeInstallShowsTheChosenHomeAndItsSqlPlus) {
  const std::string ora8 = (dir_ / "ora8").string(), ora9 = (dir_ / "ora9").string();
  std::filesystem::create_directories(ora9 + "/bin");
  const std::string sqlplus = ora9 + "/bin/" + platform::ProgramFileName("SQLPLUS");
  ASSERT_TRUE(platform::WriteFileAtomic(sqlplus, "#!/bin/sh\n"));
  std::filesystem::permissions(sqlplus, std::filesystem::perms::owner_all);
  auto set = [](const std::string& key, const std::string& name, const std::string& value) {
    auto k = platform::RegistryKey::Open(platform::Hive::LocalMachine, key, true);
    ASSERT_TRUE(k);
    k->SetString(name, value);
  };
  set("SOFTWARE\\ORACLE\\ALL_HOMES", "HOME_COUNTER", "2");
  set("SOFTWARE\\ORACLE\\HOME0", "ORACLE_HOME", ora8);
  set("SOFTWARE\\ORACLE\\HOME0", "ORACLE_HOME_NAME", "OraHome8");
  set("SOFTWARE\\ORACLE\\HOME1", "ORACLE_HOME", ora9);
  set("SOFTWARE\\ORACLE\\HOME1", "ORACLE_HOME_NAME", "OraHome9");
  const std::string oldPath = platform::GetEnv("PATH").value_or("");
  platform::SetEnv("PATH", ora9 + "/bin:" + ora8 + "/bin:/usr/bin");
  Panel p;
  platform::SetEnv("PATH", oldPath);
  EXPECT_EQ(p.c->OracleHomeName(), "OraHome9");
  EXPECT_EQ(p.c->OracleHome(), ora9 + platform::PathSeparator());
  EXPECT_STREQ(p.Info().InfoLines[5].Data, "OraHome9");
  EXPECT_EQ(p.c->SqlPlusPath(), sqlplus);
}

TEST_F(ControllerTest, PluginDescriptionFollowsTheSettings) {
  far::PluginInfo info{};
  plugin::FillPluginInfo(info);
  EXPECT_EQ(info.StructSize, far::kPluginInfoSize);
  EXPECT_EQ(info.DiskMenuStringsNumber, 1);  // fresh registry: in the disk menu
  EXPECT_EQ(info.DiskMenuNumbers[0], 0);
  EXPECT_STREQ(info.PluginMenuStrings[0], "Quarry manager");
  {
    auto key = config::OpenSettingsKey();
    ASSERT_TRUE(key);
    key->SetDword("AddToDiskMenu", 0);
    key->SetDword("DiskNumber", 7);
  }
  info = {};
  plugin::FillPluginInfo(info);
  EXPECT_EQ(info.DiskMenuStringsNumber, 0);
  EXPECT_EQ(info.PluginMenuStringsNumber, 1);
  EXPECT_EQ(info.PluginConfigStringsNumber, 1);
  EXPECT_EQ(info.DiskMenuNumbers[0], 7);
}

TEST_F(ControllerTest, SwitchesTakeDefaultsAndStoredValues) {
  config::RefreshSwitches();
  EXPECT_TRUE(config::CurrentSwitches().ignoreOraErrors);
  EXPECT_TRUE(config::CurrentSwitches().sqlCommandLine);
  {
    auto key = config::OpenSettingsKey();
    ASSERT_TRUE(key);
    key->SetDword("IgnoreORAErrors", 0);
    key->SetString("SQLCommandLine", "not a number");  // wrong type: default
  }
  config::RefreshSwitches();
  EXPECT_FALSE(config::CurrentSwitches().ignoreOraErrors);
  EXPECT_TRUE(config::CurrentSwitches().sqlCommandLine);
}

}  // namespace
