// oem_files_test.cpp — the platform layer's file names are ANSI whatever the
// process's file-API mode, and text handed to the host in OEM opens there.
#include <gtest/gtest.h>
#include <windows.h>
// winuser.h maps this old name onto CharToOemA; ours is a function.
#undef AnsiToOem

#include <algorithm>
#include <cstdio>
#include <optional>

#include "platform/console.h"
#include "platform/console_input.h"
#include "test_support.h"
#include "wine_support.h"

namespace {

using wine_test::Ansi;
using wine_test::FromAnsi;
using wine_test::ScratchDir;

// What FAR does with a name Quarry hands it: CreateFileA in OEM mode.
bool HostOpens(const std::string& oemPath) {
  HANDLE file = CreateFileA(oemPath.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  CloseHandle(file);
  return true;
}

TEST(OemFileApis, TheProcessRunsAsUnderFar) {
  EXPECT_FALSE(AreFileApisANSI());
  EXPECT_NE(wine_test::SystemTempW().find(wine_test::kCyrillic), std::wstring::npos);
}

// F3/F4/Shift+F4 and the command results: a temporary file's name goes to
// the host through ToOem (AnsiToOem) and must open there.
TEST(OemFileApis, TemporaryFilesAreAnsiAndOpenInTheHostAfterOneConversion) {
  const std::string dir = platform::TempDirectory();
  EXPECT_EQ(dir, Ansi(wine_test::SystemTempW()) + "Quarry\\");
  const std::string path = platform::CreateTempFile("SQL", ".sql");
  ASSERT_FALSE(path.empty());
  EXPECT_EQ(path.rfind(dir, 0), 0u) << path;
  ASSERT_TRUE(platform::WriteFileAtomic(path, "select 1 from dual;\r\n"));
  EXPECT_TRUE(HostOpens(platform::AnsiToOem(path))) << path;
  std::string back;
  ASSERT_TRUE(platform::ReadWholeFile(path, back));
  EXPECT_EQ(back, "select 1 from dual;\r\n");
  // Plain stdio through the platform layer (the result and script writers).
  std::FILE* f = platform::OpenFile(path, "ab");
  ASSERT_NE(f, nullptr);
  std::fputs("-- more\r\n", f);
  std::fclose(f);
  ASSERT_TRUE(platform::ReadWholeFile(path, back));
  EXPECT_EQ(back, "select 1 from dual;\r\n-- more\r\n");
  // The script writer's rename into place, to a name that is not ASCII.
  const std::string renamed = dir + "\xD2\xE0\xE1\xEB.sql";  // "Табл" in 1251
  ASSERT_TRUE(platform::RenameFile(path, renamed));
  EXPECT_FALSE(platform::FileExists(path));
  EXPECT_TRUE(HostOpens(platform::AnsiToOem(renamed)));
  EXPECT_TRUE(platform::RemoveFile(renamed));
  EXPECT_FALSE(platform::FileExists(renamed));
}

// ORACLE_HOME, TNS_ADMIN, PATH entries and OCIDLL come from the environment
// and the registry in ANSI and are used as file names as they are.
TEST(OemFileApis, AnsiNamesFromEnvironmentAndRegistryAreFound) {
  ScratchDir scratch;
  const std::string home = scratch.Mkdir(std::wstring(wine_test::kCyrillic) + L"Home\\bin");
  ASSERT_TRUE(platform::DirectoryExists(home));
  ASSERT_TRUE(platform::WriteFileAtomic(platform::JoinPath(home, "ora805.dll"), "x"));
  ASSERT_TRUE(platform::WriteFileAtomic(platform::JoinPath(home, std::string("\xC4\xE0.txt")), "y"));  // "Да" in 1251

  SetEnvironmentVariableW(L"QUARRY_TEST_HOME", FromAnsi(home).c_str());
  const std::string fromEnv = platform::GetEnv("QUARRY_TEST_HOME").value_or("");
  SetEnvironmentVariableW(L"QUARRY_TEST_HOME", nullptr);
  EXPECT_EQ(fromEnv, home);
  EXPECT_TRUE(platform::DirectoryExists(fromEnv));
  EXPECT_TRUE(platform::FileExists(platform::JoinPath(fromEnv, "ora805.dll")));

  {
    auto key = platform::RegistryKey::Open(platform::Hive::CurrentUser, "Software\\QuarryWineTest", true);
    ASSERT_TRUE(key);
    ASSERT_TRUE(key->SetString("ORACLE_HOME", home));
  }
  auto key = platform::RegistryKey::Open(platform::Hive::CurrentUser, "Software\\QuarryWineTest", false);
  const std::string fromRegistry = platform::ReadString(key.get(), "ORACLE_HOME", "");
  key.reset();
  platform::DeleteKeyTree(platform::Hive::CurrentUser, "Software\\QuarryWineTest");
  EXPECT_EQ(fromRegistry, home);

  std::vector<std::string> names = platform::ListFiles(fromRegistry, "*");
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"ora805.dll", std::string("\xC4\xE0.txt")}));
  std::string content;
  EXPECT_TRUE(platform::ReadWholeFile(platform::JoinPath(fromRegistry, std::string("\xC4\xE0.txt")), content));
  EXPECT_EQ(content, "y");

  // The current folder round-trips in ANSI too.
  const std::string before = platform::CurrentDirectory();
  ASSERT_TRUE(platform::ChangeDirectory(home));
  EXPECT_EQ(platform::CurrentDirectory(), home);
  EXPECT_TRUE(platform::FileExists("ora805.dll"));
  ASSERT_TRUE(platform::ChangeDirectory(before));
}

// A program in a non-ASCII folder starts, with a non-ASCII working folder.
TEST(OemFileApis, ProgramsStartFromAnsiPaths) {
  ScratchDir scratch;
  const std::string bin = scratch.Mkdir(L"bin");
  std::wstring child = wine_test::ProgramFolderW() + L"\\..\\platform\\platform_test_child.exe";
  const std::string program = platform::JoinPath(bin, "child.exe");
  ASSERT_TRUE(wine_test::CopyInto(child, program));
  const std::string report = platform::JoinPath(scratch.path(), "report.txt");
  platform::ProcessResult r = platform::RunProcess(program, {"7", report}, bin, true);
  EXPECT_TRUE(r.started) << r.error;
  EXPECT_EQ(r.exitCode, 7);
  std::string got;
  ASSERT_TRUE(platform::ReadWholeFile(report, got));
  EXPECT_EQ(got.rfind(std::to_string(bin.size()) + ":" + bin + "\n", 0), 0u) << got;
}

// The files behind Shift+F4, Shift+F5 and the tools menu, in a folder and
// under a name that are not ASCII: the scratch script made when missing, the
// copy's part file made exclusively beside its target, the folder a script
// may spool into, one file under two spellings (the spool file must never
// be the script), and the stamp that tells whether the export wrote its log.
TEST(OemFileApis, ScratchPartSpoolAndLogFilesTakeAnsiNames) {
  ScratchDir scratch;
  const std::wstring leaf = L"\u0421\u043a\u0440\u0438\u043f\u0442\u044b";  // "Скрипты"
  const std::string dir = scratch.Mkdir(std::wstring(wine_test::kCyrillic) + L"\\" + leaf);
  ASSERT_TRUE(platform::DirectoryExists(dir));

  const std::string scratchScript = platform::JoinPath(dir, "far_user_sql.sql");
  ASSERT_TRUE(platform::EnsurePrivateFile(scratchScript));
  EXPECT_TRUE(platform::FileExists(scratchScript));
  EXPECT_TRUE(HostOpens(platform::AnsiToOem(scratchScript)));

  const std::string part = platform::JoinPath(dir, "\xD2\xE0\xE1\xEB.sql.0.part");  // "Табл" in 1251
  EXPECT_TRUE(platform::CreateNewFile(part));
  EXPECT_TRUE(platform::FileExists(part));
  EXPECT_FALSE(platform::CreateNewFile(part));  // never an existing file

  EXPECT_TRUE(platform::CanWriteIn(dir));

  const std::string otherSpelling = dir + "\\..\\" + Ansi(leaf) + "\\.\\far_user_sql.sql";
  EXPECT_TRUE(platform::SameFile(scratchScript, otherSpelling)) << otherSpelling;
  EXPECT_FALSE(platform::SameFile(scratchScript, part));

  ASSERT_TRUE(platform::WriteFileAtomic(part, "12345"));
  const auto stamp = platform::StampOf(part);
  ASSERT_TRUE(stamp.has_value());
  EXPECT_EQ(stamp->size, 5);
}

// SQL*Plus from the tools menu: a console program in a folder that is not
// ASCII, handed a script path that is not ASCII, gets both as written.
TEST(OemFileApis, ConsoleProgramsStartFromAnsiCommandLines) {
  struct QuietHost : platform::ConsoleHost {
    void SaveScreen() override {}
    void ClearScreen(int, int) override {}
    void RestoreScreen() override {}
    std::optional<int> Execute(const std::string&, bool) override { return std::nullopt; }
  } host;
  ScratchDir scratch;
  const std::string bin = scratch.Mkdir(L"\u0411\u0438\u043d");  // "Бин"
  std::wstring child = wine_test::ProgramFolderW() + L"\\..\\platform\\platform_test_child.exe";
  const std::string program = platform::JoinPath(bin, "SQLPLUS.EXE");
  ASSERT_TRUE(wine_test::CopyInto(child, program));
  const std::string report = platform::JoinPath(scratch.path(), "\xD2\xE0\xE1\xEB.txt");  // "Табл" in 1251
  std::string error;
  const int code = platform::RunConsoleProgram(platform::ConsoleCommandLine({program, "9", report}), false, true,
                                               host, &error);
  EXPECT_EQ(code, 9) << error;
  std::string got;
  ASSERT_TRUE(platform::ReadWholeFile(report, got));
  EXPECT_NE(got.find(std::to_string(report.size()) + ":" + report + "\n"), std::string::npos) << got;
}

TEST(OemFileApis, ModuleFileNameIsAnsi) {
  wchar_t buf[MAX_PATH];
  DWORD n = GetModuleFileNameW(nullptr, buf, MAX_PATH);
  EXPECT_EQ(platform::ModuleFileName(), Ansi(std::wstring(buf, n)));
}

}  // namespace
