// The command line against the client stand-in: what counts as a PL/SQL
// block when comments come first, a command that holds no statement, and a
// result file that cannot be written.
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <random>
#include <sys/resource.h>

#include "connection/command_runner.h"
#include "connection/data_module.h"
#include "fake_host.h"
#include "host/host_services.h"
#include "panel/controller.h"
#include "platform/platform.h"

namespace {

namespace fs = std::filesystem;

std::vector<std::string> g_editorTexts;

int Editor(const char* file, const char*, int, int, int, int, far::DWORD, int, int) {
  std::string text;
  platform::ReadWholeFile(file, text);
  g_editorTexts.push_back(text);
  return 1;
}

class CommandLine : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("quarry-cmdline-" + std::to_string(std::random_device{}()));
    fs::create_directories(dir_ / "db");
    fs::create_directories(dir_ / "reg");
    platform::SetEnv("OCISIM_DATA_DIR", (dir_ / "db").string());
    platform::SetEnv("QUARRY_REGISTRY_DIR", (dir_ / "reg").string());
    fakehost::Install();
    auto& info = const_cast<far::PluginStartupInfo&>(host::Host());
    info.Editor = Editor;
    g_editorTexts.clear();
    controller_ = std::make_unique<panel::TOracleController>();
    auto& s = module().OracleSession();
    s.LogonUsername = "scott";
    s.LogonPassword = "tiger";
    s.SetConnected(true);
  }
  void TearDown() override {
    controller_.reset();
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }
  connection::TPluginDataModule& module() { return controller_->DataModule(); }
  std::string Run(const std::string& command) {
    g_editorTexts.clear();
    EXPECT_TRUE(connection::RunCommandLine(module(), command)) << command;
    return g_editorTexts.empty() ? std::string() : g_editorTexts.back();
  }
  std::string LastMessageText() const {
    const auto& m = fakehost::Current().messages;
    std::string text;
    if (m.empty()) return text;
    for (std::size_t i = 1; i < m.back().items.size(); ++i) text += m.back().items[i];
    return text;
  }

  fs::path dir_;
  std::unique_ptr<panel::TOracleController> controller_;
};

TEST_F(CommandLine, BlocksBehindCommentsKeepTheirFinalSemicolon) {
  const std::string expected = "The command is successfully executed\r\nhello\r\n";
  EXPECT_EQ(Run("/* greet */ begin dbms_output.put_line('hello'); end;"), expected);
  EXPECT_EQ(Run("  /* one */ /* two */begin dbms_output.put_line('hello'); end;"), expected);
  // Plain SQL behind a comment still loses its ';'.
  EXPECT_EQ(Run("/* c */ select * from dual;"), "DUMMY \r\n----- \r\nX \r\n\r\n1 rows fetched\r\n");
}

TEST_F(CommandLine, ASemicolonAloneRunsNothing) {
  for (const char* command : {";", "   ;  ", "/* nothing */ ;", ";;", "; ;"}) {
    g_editorTexts.clear();
    std::size_t shown = fakehost::Current().messages.size();
    EXPECT_FALSE(connection::RunCommandLine(module(), command)) << command;
    EXPECT_TRUE(g_editorTexts.empty()) << command;
    EXPECT_EQ(fakehost::Current().messages.size(), shown) << command;
  }
}

TEST_F(CommandLine, ADropBehindACommentIsAskedFirst) {
  fakehost::Current().messageAnswers.push_back(1);  // Cancel
  EXPECT_FALSE(connection::RunCommandLine(module(), "/* tidy up */ drop table bonus"));
  EXPECT_EQ(fakehost::Current().messages.back().items.at(0), "Drop Command");
  EXPECT_TRUE(module().UserTableExists("bonus"));
}

// A result file that the system refuses to fill (here: the file size limit)
// is reported; no short file is shown as the whole result.
TEST_F(CommandLine, AResultFileThatCannotBeWrittenIsReported) {
  struct rlimit old {};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
  auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit tiny = old;
  tiny.rlim_cur = 16;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &tiny), 0);
  g_editorTexts.clear();
  bool ran = connection::RunCommandLine(module(), "select ename from emp order by ename");
  setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, oldHandler);
  EXPECT_TRUE(ran);
  EXPECT_TRUE(g_editorTexts.empty());
  EXPECT_EQ(fakehost::Current().messages.back().items.at(0), "Error");
  EXPECT_NE(LastMessageText().find("could not be written"), std::string::npos) << LastMessageText();
  EXPECT_NE(LastMessageText().find("executed"), std::string::npos) << LastMessageText();

  // A statement that failed is never reported as executed: the box names
  // the server's error, which the unwritable file would have held.
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &tiny), 0);
  oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  bool notRun = true;
  ran = connection::RunCommandLine(module(), "select * from no_such_table", &notRun);
  setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, oldHandler);
  EXPECT_TRUE(ran);
  EXPECT_FALSE(notRun);
  EXPECT_EQ(LastMessageText().find("executed"), std::string::npos) << LastMessageText();
  EXPECT_NE(LastMessageText().find("failed"), std::string::npos) << LastMessageText();
  EXPECT_NE(LastMessageText().find("ORA-00942"), std::string::npos) << LastMessageText();
}

}  // namespace
