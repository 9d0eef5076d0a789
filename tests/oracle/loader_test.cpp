// Tests of the client-library loader that need no Oracle client: the home
// choice against registry fixtures, the library search in real (dummy) files,
// the loader parameters, the failure messages with their load log, and the
// entry-point groups.
#include <gtest/gtest.h>

#include <set>
#include <stdexcept>

#include "oracle/client_library.h"
#include "oracle/library_search.h"
#include "oracle/oci_entry_points.h"
#include "test_support.h"

namespace oracle_test {
namespace {

using oracle::ClientEnvironment;
using oracle::TOracleClient;

ClientEnvironment Env(oracle::ClientLayout layout, std::vector<std::string> args = {"far"}) {
  return ClientEnvironment{std::move(layout), [args] { return args; }};
}

// A layout whose Instant Client fallback cannot find anything.
oracle::ClientLayout WindowsNoSystemLibrary() {
  auto layout = oracle::WindowsLayout();
  layout.systemLibraryName = "quarry-no-such-oci-library.so";
  return layout;
}

std::string InitializationMessage(TOracleClient& client) {
  try {
    client.Initialize();
  } catch (const std::runtime_error& e) {
    return e.what();
  }
  return "";
}

class OracleHomeTest : public TempDirFixture {
 protected:
  // Two homes: HOME0 "OraHome8" and HOME1 "OraHome9".
  void TwoHomes() {
    SetMachineValue("SOFTWARE\\ORACLE\\ALL_HOMES", "HOME_COUNTER", "2");
    SetMachineValue("SOFTWARE\\ORACLE\\HOME0", "ORACLE_HOME_NAME", "OraHome8");
    SetMachineValue("SOFTWARE\\ORACLE\\HOME0", "ORACLE_HOME", Path("ora8"));
    SetMachineValue("SOFTWARE\\ORACLE\\HOME1", "ORACLE_HOME_NAME", "OraHome9");
    SetMachineValue("SOFTWARE\\ORACLE\\HOME1", "ORACLE_HOME", Path("ora9"));
  }
};

TEST_F(OracleHomeTest, HomeWhoseBinStandsFirstInPathWinsUnlessOracleHomeNamesAnother) {
  TwoHomes();
  env_.Set("PATH", "/usr/bin:" + Path("ora9") + "/bin:" + Path("ora8") + "/bin");
  TOracleClient automatic(Env(oracle::WindowsLayout()));
  EXPECT_EQ(automatic.OracleHomeKey(), "SOFTWARE\\ORACLE\\HOME1");
  EXPECT_EQ(automatic.OracleHomeDirectory(), Path("ora9"));

  TOracleClient named(Env(oracle::WindowsLayout(), {"far", "/p", "oraclehome=orahome8"}));
  EXPECT_EQ(named.OracleHomeKey(), "SOFTWARE\\ORACLE\\HOME0");

  // Neither bin directory on PATH: the last home examined.
  env_.Set("PATH", "/usr/bin");
  TOracleClient last(Env(oracle::WindowsLayout()));
  EXPECT_EQ(last.OracleHomeKey(), "SOFTWARE\\ORACLE\\HOME1");
}

TEST_F(OracleHomeTest, LongPathIsSearchedWhole) {
  // 1,500 characters, the first home's bin near the end: it still wins over
  // the last home.
  TwoHomes();
  std::string path = std::string(1400, 'x') + ":" + Path("ora8") + "/bin:";
  path += std::string(1500 - path.size(), 'y');
  env_.Set("PATH", path);
  TOracleClient client(Env(oracle::WindowsLayout()));
  EXPECT_EQ(client.OracleHomeKey(), "SOFTWARE\\ORACLE\\HOME0");
}

TEST_F(OracleHomeTest, MissingAllHomesOrBadCounterUsesTheRootKey) {
  SetMachineValue("SOFTWARE\\ORACLE", "ORACLE_HOME", Path("ora73"));
  TOracleClient client(Env(oracle::WindowsLayout()));
  EXPECT_EQ(client.OracleHomeKey(), "SOFTWARE\\ORACLE");
  EXPECT_EQ(client.OracleHomeDirectory(), Path("ora73"));

  SetMachineValue("SOFTWARE\\ORACLE\\ALL_HOMES", "HOME_COUNTER", "two");
  SetMachineValue("SOFTWARE\\ORACLE\\HOME0", "ORACLE_HOME_NAME", "OraHome8");
  SetMachineValue("SOFTWARE\\ORACLE\\HOME0", "ORACLE_HOME", Path("ora8"));
  TOracleClient badCounter(Env(oracle::WindowsLayout()));
  EXPECT_EQ(badCounter.OracleHomeKey(), "SOFTWARE\\ORACLE");
}

TEST_F(OracleHomeTest, CounterZeroExaminesOneHomeAndHomeWithoutDirectoryFallsBack) {
  SetMachineValue("SOFTWARE\\ORACLE\\ALL_HOMES", "HOME_COUNTER", "0");
  SetMachineValue("SOFTWARE\\ORACLE\\HOME0", "ORACLE_HOME_NAME", "OraHome8");
  SetMachineValue("SOFTWARE\\ORACLE\\HOME0", "ORACLE_HOME", Path("ora8"));
  TOracleClient one(Env(oracle::WindowsLayout()));
  EXPECT_EQ(one.OracleHomeKey(), "SOFTWARE\\ORACLE\\HOME0");

  SetMachineValue("SOFTWARE\\ORACLE\\HOME0", "ORACLE_HOME", "");
  TOracleClient empty(Env(oracle::WindowsLayout()));
  EXPECT_EQ(empty.OracleHomeKey(), "SOFTWARE\\ORACLE");
}

class LibrarySearchTest : public TempDirFixture {};

TEST_F(LibrarySearchTest, OciDllFirstElseHighestOraDllVersion) {
  std::vector<std::string> log;
  MakeFile("home/bin/ora73.dll");
  MakeFile("home/bin/ora805.dll");
  MakeFile("home/bin/oracle.dll");  // no version: skipped
  EXPECT_EQ(oracle::FindLibraryInHome(Path("home"), oracle::WindowsLayout(), log), Path("home/bin/ora805.dll"));
  EXPECT_EQ(std::set<std::string>(log.begin(), log.end()),
            (std::set<std::string>{"Found: ora73.dll", "Found: ora805.dll"}));

  MakeFile("home/bin/oci.dll");
  log.clear();
  EXPECT_EQ(oracle::FindLibraryInHome(Path("home"), oracle::WindowsLayout(), log), Path("home/bin/oci.dll"));
  EXPECT_EQ(log.front(), "Found: oci.dll");

  MakeFile("nt/bin/oraNT71.dll");
  MakeFile("nt/bin/ora7.dll");  // 0.7 < 0.71
  EXPECT_EQ(oracle::FindLibraryInHome(Path("nt"), oracle::WindowsLayout(), log), Path("nt/bin/oraNT71.dll"));
  EXPECT_DOUBLE_EQ(*oracle::OraDllVersion("oraNT71.dll"), 0.71);
  EXPECT_DOUBLE_EQ(*oracle::OraDllVersion("ORA805.DLL"), 0.805);
  EXPECT_FALSE(oracle::OraDllVersion("ora0.dll"));
  EXPECT_FALSE(oracle::OraDllVersion("oraclient.dll"));
}

TEST_F(LibrarySearchTest, PosixPlainNameFirstElseHighestNumericVersion) {
  std::vector<std::string> log;
  MakeFile("home/lib/libclntsh.so.9.0");
  MakeFile("home/lib/libclntsh.so.19.1");
  MakeFile("home/lib/libclntsh.so.11.1");
  MakeFile("home/lib/libclntsh.so.bak");
  // 19.1 beats 9.0: versions compare as numbers, not as text.
  EXPECT_EQ(oracle::FindLibraryInHome(Path("home"), oracle::PosixLayout(), log), Path("home/lib/libclntsh.so.19.1"));
  MakeFile("home/lib/libclntsh.so");
  EXPECT_EQ(oracle::FindLibraryInHome(Path("home"), oracle::PosixLayout(), log), Path("home/lib/libclntsh.so"));
  EXPECT_FALSE(oracle::FindLibraryInHome(Path("none"), oracle::PosixLayout(), log));
}

class LoaderTest : public TempDirFixture {};

TEST_F(LoaderTest, OcidllParameterForcesThePathWithoutSearching) {
  TOracleClient client(Env(oracle::WindowsLayout(), {"far", "OCIDLL=c:\\x\\oci.dll"}));
  EXPECT_EQ(client.FindLibrary(), oracle::kLoadOk);
  EXPECT_EQ(client.OciDll(), "c:\\x\\oci.dll");
  EXPECT_EQ(client.LoadLog(), "OCIDLL forced to c:\\x\\oci.dll");
}

TEST_F(LoaderTest, PosixTakesParametersFromEnvironmentButCommandLineWins) {
  env_.Set("OCIDLL", "/env/libclntsh.so");
  TOracleClient fromEnv(Env(oracle::PosixLayout()));
  EXPECT_EQ(fromEnv.FindLibrary(), oracle::kLoadOk);
  EXPECT_EQ(fromEnv.OciDll(), "/env/libclntsh.so");

  TOracleClient fromArgs(Env(oracle::PosixLayout(), {"far2l", "ocidll=/arg/libclntsh.so"}));
  fromArgs.FindLibrary();
  EXPECT_EQ(fromArgs.OciDll(), "/arg/libclntsh.so");

  // The Windows logic reads the command line only.
  TOracleClient windows(Env(WindowsNoSystemLibrary()));
  EXPECT_EQ(windows.FindLibrary(), oracle::kLoadNoHome);
}

TEST_F(LoaderTest, PosixUsesOracleHomeVariableWhenRegistryHasNoHome) {
  MakeFile("client/lib/libclntsh.so.12.1");
  env_.Set("ORACLE_HOME", Path("client"));
  TOracleClient client(Env(oracle::PosixLayout()));
  EXPECT_EQ(client.FindLibrary(), oracle::kLoadOk);
  EXPECT_EQ(client.OciDll(), Path("client/lib/libclntsh.so.12.1"));
  const std::string log = client.LoadLog();
  EXPECT_NE(log.find("OracleHomeKey: SOFTWARE\\ORACLE\r\nOracleHomeDir: " + Path("client")), std::string::npos) << log;
  EXPECT_NE(log.find("Using: " + Path("client/lib/libclntsh.so.12.1")), std::string::npos) << log;

  TOracleClient windows(Env(WindowsNoSystemLibrary()));
  EXPECT_EQ(windows.FindLibrary(), oracle::kLoadNoHome);
}

TEST_F(LoaderTest, NoHomeAtAllTriesSystemLibraryThenReportsSqlNet) {
  TOracleClient client(Env(WindowsNoSystemLibrary()));
  const std::string message = InitializationMessage(client);
  EXPECT_EQ(message.rfind(
                "Initialization error\r\nSQL*Net not properly installed\r\n\r\n"
                "OracleHomeKey: SOFTWARE\\ORACLE\r\nOracleHomeDir: \r\n"
                "Trying quarry-no-such-oci-library.so on the system library path\r\n"
                "Not found: quarry-no-such-oci-library.so",
                0),
            0u)
      << message;
  EXPECT_FALSE(client.Loaded());
}

TEST_F(LoaderTest, SystemLibraryWithoutOciEntryPointsCannotBeInitialized) {
  auto layout = oracle::PosixLayout();
  layout.systemLibraryName = "libm.so.6";  // loads, but is no Oracle client
  TOracleClient client(Env(layout));
  const std::string message = InitializationMessage(client);
  EXPECT_EQ(message.rfind("Initialization error\r\nCould not initialize \"libm.so.6\"\r\n\r\n", 0), 0u) << message;
  EXPECT_NE(message.find("Using: libm.so.6"), std::string::npos);
  EXPECT_FALSE(client.Loaded());
  EXPECT_EQ(client.OciDll(), "");  // found by search: forgotten again
}

TEST_F(LoaderTest, LoadFailuresNameTheLibraryAndKeepTheLog) {
  TOracleClient forced(Env(oracle::PosixLayout(), {"far", "OCIDLL=" + Path("missing/libclntsh.so")}));
  std::string message = InitializationMessage(forced);
  EXPECT_EQ(message.rfind("Initialization error\r\nCould not load \"" + Path("missing/libclntsh.so") + "\"\r\n\r\n"
                          "OCIDLL forced to " + Path("missing/libclntsh.so") + "\r\n"
                          "LoadLibrary(" + Path("missing/libclntsh.so") + ") returned 0",
                          0),
            0u)
      << message;

  // A home without any library file.
  SetMachineValue("SOFTWARE\\ORACLE", "ORACLE_HOME", Path("empty"));
  TOracleClient searched(Env(WindowsNoSystemLibrary()));
  message = InitializationMessage(searched);
  // The leftover home falls through to the bare name before giving up.
  EXPECT_EQ(message.rfind("Initialization error\r\nCould not locate OCI dll\r\n\r\nOracleHomeKey: SOFTWARE\\ORACLE\r\n"
                          "OracleHomeDir: " + Path("empty") + "\r\nTrying ",
                          0),
            0u)
      << message;

  // A file that is no library: found, then fails to load; the next attempt
  // repeats the whole search and sees the newly found file.
  MakeFile("empty/bin/ora73.dll", "not a library");
  const std::string before = platform::CurrentDirectory();
  message = InitializationMessage(searched);
  searched.RestoreCurrentDirectory();  // the second attempt ran in the library's directory
  EXPECT_EQ(platform::CurrentDirectory(), before);
  EXPECT_NE(message.find("Could not load \"" + Path("empty/bin/ora73.dll") + "\""), std::string::npos) << message;
  EXPECT_NE(message.find("Found: ora73.dll"), std::string::npos);
  EXPECT_EQ(oracle::OracleCriticalSection().EntryCount(), 0);
}

TEST(EntryPointGroups, OneMissingNameLosesItsGroupOnly) {
  EXPECT_EQ(oracle::Oci8GroupSize(), 114);
  static int anything;
  auto lookupWithout = [](std::set<std::string> missing) {
    return [missing](const char* name) -> void* { return missing.count(name) ? nullptr : &anything; };
  };
  oci::OciApi api{};
  auto groups = oracle::ResolveEntryPoints(lookupWithout({}), api);
  EXPECT_TRUE(groups.oci7Calls && groups.oci7Logon && groups.oci7ProcessInit && groups.oci8Calls &&
              groups.oci8ErrorTexts && groups.oci81Calls);
  EXPECT_NE(api.OCIStmtFetch, nullptr);

  groups = oracle::ResolveEntryPoints(lookupWithout({"OCILobTrim"}), api);
  EXPECT_FALSE(groups.oci8Calls);
  EXPECT_FALSE(groups.oci81Calls);  // depends on the OCI8 group
  EXPECT_TRUE(groups.oci7Calls);
  EXPECT_NE(api.OCIStmtExecute, nullptr);      // before the missing name
  EXPECT_EQ(api.OCIServerVersion, nullptr);    // after it: set to nothing

  groups = oracle::ResolveEntryPoints(lookupWithout({"olog"}), api);
  EXPECT_TRUE(groups.oci7Calls);
  EXPECT_FALSE(groups.oci7Logon);
  EXPECT_FALSE(groups.oci7ProcessInit);
  EXPECT_EQ(api.opinit, nullptr);

  groups = oracle::ResolveEntryPoints(lookupWithout({"orlon"}), api);
  EXPECT_FALSE(groups.oci7Calls || groups.oci7Logon);
  EXPECT_TRUE(groups.oci8Calls);
}

TEST(OracleCriticalSection, LeaveWithoutEnterDoesNothing) {
  oracle::TOracleCriticalSection section;
  section.Leave();
  EXPECT_EQ(section.EntryCount(), 0);
  section.Enter();
  section.Enter();
  EXPECT_EQ(section.EntryCount(), 2);
  section.Leave();
  section.Leave();
  section.Leave();
  EXPECT_EQ(section.EntryCount(), 0);
}

}  // namespace
}  // namespace oracle_test
