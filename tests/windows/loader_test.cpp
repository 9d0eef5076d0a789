// loader_test.cpp — finding and loading the Oracle client on Windows: the
// home the PATH order picks, ora*.dll versions under a decimal-comma locale,
// libraries loaded by full path with their own folder first and never from
// the current folder, a leftover home falling through to the bare name, and
// tnsnames.ora beside the library really loaded.
#include <gtest/gtest.h>
#include <windows.h>

#include <clocale>
#include <cstring>
#include <stdexcept>

#include "oracle/client_library.h"
#include "oracle/library_search.h"
#include "test_support.h"
#include "wine_support.h"

namespace {

using testing_support::ScopedEnv;
using wine_test::RegisteredHomes;
using wine_test::ScratchDir;

std::wstring Probe(const wchar_t* name) { return wine_test::ProgramFolderW() + L"\\" + name; }

// A client folder: the stand-in oci.dll and the library it depends on.
void InstallClient(const std::string& dir) {
  ASSERT_TRUE(wine_test::CopyInto(Probe(L"probe_oci.dll"), platform::JoinPath(dir, "oci.dll")));
  ASSERT_TRUE(wine_test::CopyInto(Probe(L"probe_dep.dll"), platform::JoinPath(dir, "probe_dep.dll")));
}

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

oracle::ClientEnvironment Env(std::vector<std::string> args = {"far"}) {
  return oracle::ClientEnvironment{oracle::WindowsLayout(), [args] { return args; }};
}

// Runs in a folder of its own and returns to the old one at the end.
class InFolder {
 public:
  explicit InFolder(const std::string& dir) : old_(platform::CurrentDirectory()) { platform::ChangeDirectory(dir); }
  ~InFolder() { platform::ChangeDirectory(old_); }

 private:
  std::string old_;
};

TEST(WindowsLoader, PathOf1500CharactersIsSearchedWhole) {
  ScratchDir scratch;
  RegisteredHomes homes;
  const std::string ora8 = scratch.Mkdir(L"ora8");
  const std::string ora9 = scratch.Mkdir(L"ora9");
  homes.Add("OraHome8", ora8);
  homes.Add("OraHome9", ora9);
  std::string path = "C:\\windows\\system32;";
  while (path.size() < 1200) path += "C:\\Program Files\\Some Vendor\\Tool " + std::to_string(path.size()) + ";";
  path += ora8 + "\\bin;" + ora9 + "\\bin;";
  while (path.size() < 1500) path += "C:\\more;";
  ASSERT_GE(path.size(), 1500u);
  ScopedEnv env("PATH", path);
  oracle::TOracleClient client(Env());
  EXPECT_EQ(client.OracleHomeKey(), "SOFTWARE\\ORACLE\\HOME0");
  EXPECT_EQ(client.OracleHomeName(), "OraHome8");
  EXPECT_EQ(client.OracleHomeDirectory(), ora8);
}

TEST(WindowsLoader, OraDllVersionsParseUnderADecimalCommaLocale) {
  const std::string saved = std::setlocale(LC_ALL, nullptr);
  ASSERT_NE(std::setlocale(LC_ALL, "Russian_Russia.1251"), nullptr);
  ASSERT_EQ(std::strcmp(std::localeconv()->decimal_point, ","), 0);
  const auto v73 = oracle::OraDllVersion("ora73.dll");
  const auto v805 = oracle::OraDllVersion("ORA805.DLL");
  ScratchDir scratch;
  const std::string bin = scratch.Mkdir(L"bin");
  for (const char* name : {"ora73.dll", "ora805.dll", "oraclient.dll"})
    ASSERT_TRUE(platform::WriteFileAtomic(platform::JoinPath(bin, name), "x"));
  std::vector<std::string> log;
  const auto found = oracle::FindLibraryInHome(scratch.path(), oracle::WindowsLayout(), log);
  std::setlocale(LC_ALL, saved.c_str());
  ASSERT_TRUE(v73);
  EXPECT_DOUBLE_EQ(*v73, 0.73);
  ASSERT_TRUE(v805);
  EXPECT_DOUBLE_EQ(*v805, 0.805);
  ASSERT_TRUE(found);
  EXPECT_EQ(*found, platform::JoinPath(bin, "ora805.dll"));
}

// The library named by its full path takes its dependencies from its own
// folder, not from the current one where a stray copy lies.
TEST(WindowsLoader, DependenciesComeFromTheLibrarysFolderNotTheCurrentOne) {
  ScratchDir scratch;
  const std::string bin = scratch.Mkdir(L"home\\bin");
  InstallClient(bin);
  const std::string planted = scratch.Mkdir(L"panel");
  ASSERT_TRUE(wine_test::CopyInto(Probe(L"probe_dep.dll"), platform::JoinPath(planted, "probe_dep.dll")));
  InFolder cd(planted);
  std::string error;
  platform::LibraryHandle lib = platform::OpenLibrary(platform::JoinPath(bin, "oci.dll"), &error);
  ASSERT_NE(lib, nullptr) << error;
  auto dependency = reinterpret_cast<const char* (*)()>(platform::FindSymbol(lib, "ProbeOciDependency"));
  ASSERT_NE(dependency, nullptr);
  EXPECT_EQ(Lower(dependency()), Lower(platform::JoinPath(bin, "probe_dep.dll")));
  EXPECT_EQ(Lower(platform::LibraryPath(lib)), Lower(platform::JoinPath(bin, "oci.dll")));
  platform::CloseLibrary(lib);
}

// A dependency the client's folder lacks is looked for as the system looks
// for it, but not in the current folder, where a planted copy lies.
TEST(WindowsLoader, DependenciesOutsideTheLibrarysFolderNeverComeFromTheCurrentOne) {
  ScratchDir scratch;
  const std::string bin = scratch.Mkdir(L"home\\bin");
  ASSERT_TRUE(wine_test::CopyInto(Probe(L"probe_oci.dll"), platform::JoinPath(bin, "oci.dll")));
  const std::string shared = scratch.Mkdir(L"shared");
  ASSERT_TRUE(wine_test::CopyInto(Probe(L"probe_dep.dll"), platform::JoinPath(shared, "probe_dep.dll")));
  const std::string planted = scratch.Mkdir(L"panel");
  ASSERT_TRUE(wine_test::CopyInto(Probe(L"probe_dep.dll"), platform::JoinPath(planted, "probe_dep.dll")));
  InFolder cd(planted);
  ScopedEnv env("PATH", shared + ";" + platform::GetEnv("PATH").value_or(""));
  std::string error;
  platform::LibraryHandle lib = platform::OpenLibrary(platform::JoinPath(bin, "oci.dll"), &error);
  ASSERT_NE(lib, nullptr) << error;
  auto dependency = reinterpret_cast<const char* (*)()>(platform::FindSymbol(lib, "ProbeOciDependency"));
  ASSERT_NE(dependency, nullptr);
  EXPECT_EQ(Lower(dependency()), Lower(platform::JoinPath(shared, "probe_dep.dll")));
  platform::CloseLibrary(lib);
}

// The bare name goes through the system's search without the current
// folder: a planted oci.dll there never wins over the client on PATH.
TEST(WindowsLoader, BareNameSkipsTheCurrentFolder) {
  ScratchDir scratch;
  const std::string client = scratch.Mkdir(L"instantclient");
  InstallClient(client);
  const std::string planted = scratch.Mkdir(L"panel");
  InstallClient(planted);
  InFolder cd(planted);
  ScopedEnv env("PATH", client + ";" + platform::GetEnv("PATH").value_or(""));
  EXPECT_EQ(Lower(platform::FindSystemLibrary("oci.dll")), Lower(platform::JoinPath(client, "oci.dll")));
  platform::LibraryHandle lib = platform::OpenLibrary("oci.dll");
  ASSERT_NE(lib, nullptr);
  EXPECT_EQ(Lower(platform::LibraryPath(lib)), Lower(platform::JoinPath(client, "oci.dll")));
  platform::CloseLibrary(lib);

  ScopedEnv noClient("PATH", "C:\\windows\\system32");
  EXPECT_EQ(platform::FindSystemLibrary("oci.dll"), "");  // the planted one is not taken
  std::string error;
  EXPECT_EQ(platform::OpenLibrary("oci.dll", &error), nullptr);
  EXPECT_FALSE(error.empty());
}

// A registered home that lost its library (a deinstalled client) does not
// end the search: the Instant Client on PATH is used, and tnsnames.ora is
// looked for beside it.
TEST(WindowsLoader, LeftoverHomeFallsThroughToTheBareName) {
  ScratchDir scratch;
  RegisteredHomes homes;
  const std::string leftover = scratch.Mkdir(L"oldhome");
  scratch.Mkdir(L"oldhome\\bin");
  homes.Add("OraHome81", leftover);
  const std::string client = scratch.Mkdir(L"instantclient");
  InstallClient(client);
  const std::string panel = scratch.Mkdir(L"panel");
  InFolder cd(panel);
  ScopedEnv env("PATH", client + ";" + platform::GetEnv("PATH").value_or(""));
  ScopedEnv tns("TNS_ADMIN", std::nullopt);
  oracle::TOracleClient oci(Env());
  try {
    oci.Initialize();
  } catch (const std::runtime_error& e) {
    FAIL() << e.what();
  }
  EXPECT_TRUE(oci.Loaded());
  EXPECT_NE(oci.LoadLog().find("Trying oci.dll on the system library path"), std::string::npos) << oci.LoadLog();
  // The home has no library, so network\admin is below the home's own folder.
  EXPECT_EQ(oci.TnsNamesPath(), platform::JoinPath(leftover, "Network\\Admin\\tnsnames.ora"));
}

TEST(WindowsLoader, TnsNamesWithoutAHomeIsBesideTheLoadedLibrary) {
  ScratchDir scratch;
  RegisteredHomes none;
  const std::string client = scratch.Mkdir(L"instantclient");
  InstallClient(client);
  const std::string admin = scratch.Mkdir(L"instantclient\\Network\\Admin");
  ASSERT_TRUE(platform::WriteFileAtomic(platform::JoinPath(admin, "tnsnames.ora"), "PROD.WORLD = (DESCRIPTION = )\n"));
  const std::string panel = scratch.Mkdir(L"panel");
  InFolder cd(panel);
  ScopedEnv env("PATH", client + ";" + platform::GetEnv("PATH").value_or(""));
  ScopedEnv tns("TNS_ADMIN", std::nullopt);
  ScopedEnv home("ORACLE_HOME", std::nullopt);
  oracle::TOracleClient oci(Env());
  EXPECT_EQ(oci.TnsNamesPath(), platform::JoinPath(admin, "tnsnames.ora"));
  EXPECT_EQ(oci.ListTnsAliases(), std::vector<std::string>{"PROD"});
}

// Multi-home installs keep no ORACLE_HOME directly below SOFTWARE\ORACLE:
// the home's name and folder are those of the home the search chose.
TEST(WindowsLoader, ChosenHomeOfAMultiHomeInstall) {
  ScratchDir scratch;
  RegisteredHomes homes;
  const std::string ora8 = scratch.Mkdir(L"ora8");
  const std::string ora9 = scratch.Mkdir(L"ora9");
  homes.Add("OraHome8", ora8);
  homes.Add("OraHome9", ora9);
  ScopedEnv env("PATH", ora9 + "\\bin;" + ora8 + "\\bin;C:\\windows\\system32");
  oracle::TOracleClient oci(Env());
  EXPECT_EQ(oci.OracleHomeName(), "OraHome9");
  EXPECT_EQ(oci.OracleHomeDirectory(), ora9);
  oracle::TOracleClient named(Env({"far.exe", "ORACLEHOME=OraHome8"}));
  EXPECT_EQ(named.OracleHomeName(), "OraHome8");
  EXPECT_EQ(named.OracleHomeDirectory(), ora8);
}

}  // namespace
