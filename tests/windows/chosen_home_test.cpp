// chosen_home_test.cpp — the panel on a multi-home install: the info panel's
// "Oracle Home:" and SQL*Plus come from the home the client search chose
// (8.0.4+ installers keep no ORACLE_HOME directly below SOFTWARE\ORACLE),
// SQL*Plus from that home's bin folder.  Which home PATH picks is
// loader_test's.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "panel/controller.h"
#include "test_support.h"

// windows.h and the host's declarations do not mix (its macros name host
// structures); the calls this test needs are declared here.
extern "C" __declspec(dllimport) int __stdcall CreateDirectoryW(const wchar_t* path, void* security);
extern "C" __declspec(dllimport) int __stdcall RemoveDirectoryW(const wchar_t* path);
extern "C" __declspec(dllimport) int __stdcall MultiByteToWideChar(unsigned codePage, unsigned long flags,
                                                                   const char* text, int size, wchar_t* out,
                                                                   int outSize);

namespace {

using testing_support::ScopedEnv;

std::wstring FromAnsi(const std::string& ansi) {
  const int n = MultiByteToWideChar(0 /* CP_ACP */, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
  std::wstring out(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(0, 0, ansi.data(), static_cast<int>(ansi.size()), out.data(), n);
  return out;
}

// Folders (ANSI paths) made below the temporary folder, removed at the end
// with the files the test names.
class Folders {
 public:
  std::string Make(const std::string& path) {
    CreateDirectoryW(FromAnsi(path).c_str(), nullptr);
    made_.push_back(path);
    return path;
  }
  void File(const std::string& path) {
    ASSERT_TRUE(platform::WriteFileAtomic(path, "MZ"));
    files_.push_back(path);
  }
  ~Folders() {
    for (const std::string& f : files_) platform::RemoveFile(f);
    for (auto it = made_.rbegin(); it != made_.rend(); ++it) RemoveDirectoryW(FromAnsi(*it).c_str());
  }

 private:
  std::vector<std::string> made_, files_;
};

// HKLM\SOFTWARE\ORACLE as an 8i/9i installer leaves it with two homes.
void RegisterHomes(const std::vector<std::pair<std::string, std::string>>& homes) {
  platform::DeleteKeyTree(platform::Hive::LocalMachine, "SOFTWARE\\ORACLE");
  for (std::size_t i = 0; i < homes.size(); ++i) {
    const std::string key = "SOFTWARE\\ORACLE\\HOME" + std::to_string(i);
    auto home = platform::RegistryKey::Open(platform::Hive::LocalMachine, key, true);
    ASSERT_TRUE(home);
    home->SetString("ORACLE_HOME", homes[i].second);
    home->SetString("ORACLE_HOME_NAME", homes[i].first);
    home->SetString("ORACLE_HOME_KEY", key);
  }
  auto all = platform::RegistryKey::Open(platform::Hive::LocalMachine, "SOFTWARE\\ORACLE\\ALL_HOMES", true);
  ASSERT_TRUE(all);
  all->SetString("HOME_COUNTER", std::to_string(homes.size()));
}

// Never connected: the panel is only asked about the client.
class OfflineDataModule : public connection::TPluginDataModule {
 public:
  bool Connected() const override { return false; }
  bool LogOn() override { return false; }
};

TEST(ChosenHome, InfoPanelAndSqlPlusFollowTheChosenHome) {
  Folders folders;
  const std::string base = folders.Make(platform::TempDirectory() + "\xCA\xE2\xE0\xF0\xE8-homes");  // Cyrillic in 1251
  const std::string ora8 = folders.Make(base + "\\ora8"), ora9 = folders.Make(base + "\\ora9");
  const std::string ora8bin = folders.Make(ora8 + "\\bin"), ora9bin = folders.Make(ora9 + "\\bin");
  RegisterHomes({{"OraHome8", ora8}, {"OraHome9", ora9}});
  folders.File(platform::JoinPath(ora8bin, "SQLPLUS.EXE"));
  const std::string sqlplus = platform::JoinPath(ora9bin, "SQLPLUS.EXE");
  folders.File(sqlplus);
  // Neither bin folder on PATH: the last home is taken, and SQL*Plus is
  // found only through the chosen home itself.
  ScopedEnv env("PATH", "C:\\windows\\system32");
  ScopedEnv home("ORACLE_HOME", std::nullopt);

  panel::TOracleController c(std::make_unique<OfflineDataModule>());
  EXPECT_EQ(c.OracleHomeName(), "OraHome9");
  EXPECT_EQ(c.OracleHome(), ora9 + "\\");
  far::OpenPluginInfo info{};
  c.GetOpenPluginInfo(info);
  ASSERT_GT(info.InfoLinesNumber, 5);
  EXPECT_STREQ(info.InfoLines[5].Text, "Oracle Home:");
  EXPECT_STREQ(info.InfoLines[5].Data, "OraHome9");
  EXPECT_EQ(c.SqlPlusPath(), platform::ShortPathName(sqlplus));
  platform::DeleteKeyTree(platform::Hive::LocalMachine, "SOFTWARE\\ORACLE");
}

}  // namespace
