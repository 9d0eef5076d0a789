// No work lost under faults: the settings store and far2l's history file
// keep their last good content when the writing process dies at any step of
// a write (a child process, stopped there and killed by its PID), and the
// table script writer leaves no file when the connection drops while it
// fetches rows.
#include <gtest/gtest.h>
#include <link.h>
#include <dlfcn.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <random>

#include "connection/data_module.h"
#include "fake_host.h"
#include "host/dialog_history.h"
#include "operations/table_script.h"
#include "oracle/oracle_query.h"
#include "oracle/oracle_session.h"
#include "platform/platform.h"

namespace {

namespace fs = std::filesystem;

// The step of a file replacement at which the child stops itself.
int g_stopAt = 0;

}  // namespace

// Called by the platform layer at each step of an atomic file replacement.
extern "C" void quarry_replace_file_step(int step) {
  if (step == g_stopAt) raise(SIGSTOP);
}

namespace {

fs::path FreshDir(const std::string& what) {
  fs::path dir = fs::temp_directory_path() / ("quarry-" + what + "-" + std::to_string(std::random_device{}()));
  fs::create_directories(dir);
  return dir;
}

std::string Slurp(const fs::path& f) {
  std::ifstream in(f, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Runs `write` in a child process that stops itself at `step` (0: never)
// and is then killed; true when it was stopped there (or, without a step,
// finished on its own).
bool WriteInChildKilledAt(int step, const std::function<void()>& write) {
  g_stopAt = step;
  const pid_t pid = fork();
  if (pid == 0) {
    write();
    _exit(0);
  }
  g_stopAt = 0;
  if (pid < 0) return false;
  int status = 0;
  if (waitpid(pid, &status, WUNTRACED) != pid) return false;
  if (step == 0) return WIFEXITED(status) && WEXITSTATUS(status) == 0;
  const bool stopped = WIFSTOPPED(status);
  kill(pid, SIGKILL);
  waitpid(pid, &status, 0);
  return stopped;
}

constexpr int kSteps[] = {1, 2, 3};  // made, half written, written and not renamed

TEST(LostWork, TheSettingsStoreKeepsItsValuesWhenAWriterDiesAtAnyStep) {
  const fs::path dir = FreshDir("store");
  platform::SetEnv("QUARRY_REGISTRY_DIR", dir.string());
  const std::string key = "Software\\Far2\\Plugins\\Quarry\\Settings";
  {
    auto k = platform::RegistryKey::Open(platform::Hive::CurrentUser, key, true);
    ASSERT_TRUE(k);
    ASSERT_TRUE(k->SetString("TnsName", "PROD"));
    ASSERT_TRUE(k->SetDword("ConnectAs", 1));
  }
  for (int step : kSteps) {
    ASSERT_TRUE(WriteInChildKilledAt(step, [&] {
      auto k = platform::RegistryKey::Open(platform::Hive::CurrentUser, key, true);
      k->SetString("TnsName", std::string(5000, 'x'));  // long enough to be cut in half
    })) << "step " << step;
    auto k = platform::RegistryKey::Open(platform::Hive::CurrentUser, key, false);
    ASSERT_TRUE(k) << "step " << step;
    EXPECT_EQ(platform::ReadString(k.get(), "TnsName", "?"), "PROD") << "step " << step;
    EXPECT_EQ(platform::ReadDword(k.get(), "ConnectAs", 9), 1u) << "step " << step;
    EXPECT_EQ(k->ValueNames(), (std::vector<std::string>{"TnsName", "ConnectAs"})) << "step " << step;
  }
  // The store takes writes afterwards, from this process and from another.
  {
    auto k = platform::RegistryKey::Open(platform::Hive::CurrentUser, key, true);
    ASSERT_TRUE(k->SetString("TnsName", "TEST"));
  }
  ASSERT_TRUE(WriteInChildKilledAt(0, [&] {
    platform::RegistryKey::Open(platform::Hive::CurrentUser, key, true)->SetDword("ConnectAs", 2);
  }));
  auto k = platform::RegistryKey::Open(platform::Hive::CurrentUser, key, false);
  EXPECT_EQ(platform::ReadString(k.get(), "TnsName", "?"), "TEST");
  EXPECT_EQ(platform::ReadDword(k.get(), "ConnectAs", 9), 2u);
  fs::remove_all(dir);
}

TEST(LostWork, Far2lsHistoryFileKeepsItsContentWhenAWriterDiesAtAnyStep) {
  const fs::path dir = FreshDir("history");
  const fs::path file = dir / "dialogs.hst";
  // far2l's own sections around ours must survive as they are.
  const std::string before =
      "[SavedDialogHistory/Copy]\nLines=/home/me\nLocks=0\nPosition=-1\nTimes=01D9C2A35E000000\n\n"
      "[SavedDialogHistory/TnsNamesHistory]\nLines=DEMO\nLocks=0\nPosition=-1\nTimes=01D9C2A35E000000\n";
  std::ofstream(file, std::ios::binary) << before;
  for (int step : kSteps) {
    ASSERT_TRUE(WriteInChildKilledAt(step, [&] { host::AddToHistoryFile(file.string(), "TnsNamesHistory", "PROD"); }))
        << "step " << step;
    EXPECT_EQ(Slurp(file), before) << "step " << step;
  }
  ASSERT_TRUE(WriteInChildKilledAt(0, [&] { host::AddToHistoryFile(file.string(), "TnsNamesHistory", "PROD"); }));
  const std::string after = Slurp(file);
  EXPECT_NE(after.find("Lines=\"DEMO\\nPROD\"\n"), std::string::npos) << after;
  EXPECT_EQ(after.rfind("[SavedDialogHistory/Copy]\nLines=/home/me\n", 0), 0u) << after;
  fs::remove_all(dir);
}

// The OCI stand-in the plugin loaded: its fault plan, armed from here.
int ArmFault(const char* plan) {
  using SetFault = int (*)(const char*);
  SetFault set = nullptr;
  dl_iterate_phdr(
      [](dl_phdr_info* info, size_t, void* data) -> int {
        if (!info->dlpi_name || !*info->dlpi_name) return 0;
        void* lib = dlopen(info->dlpi_name, RTLD_NOLOAD | RTLD_LAZY);
        if (!lib) return 0;
        void* fn = dlsym(lib, "ocisim_set_fault");
        dlclose(lib);
        if (!fn) return 0;
        *static_cast<SetFault*>(data) = reinterpret_cast<SetFault>(fn);
        return 1;
      },
      &set);
  return set ? set(plan) : -2;
}

TEST(LostWork, ATableScriptWhoseConnectionDropsLeavesNoFile) {
  const fs::path dir = FreshDir("script");
  fs::create_directories(dir / "db");
  platform::SetEnv("OCISIM_DATA_DIR", (dir / "db").string());
  platform::SetEnv("QUARRY_REGISTRY_DIR", (dir / "reg").string());
  fakehost::Install();
  connection::TPluginDataModule module;
  auto& session = module.OracleSession();
  session.LogonUsername = "scott";
  session.LogonPassword = "tiger";
  session.SetConnected(true);
  ASSERT_TRUE(session.Connected());
  auto run = [&](const std::string& sql) {
    oracle::TOracleQuery q(&session);
    q.SetSQL(sql);
    q.Execute();
  };
  // Enough rows for several fetch round trips.
  run("CREATE TABLE MANY (ID NUMBER, NAME VARCHAR2(30))");
  run("INSERT INTO MANY SELECT EMPNO, ENAME FROM EMP");
  for (int i = 0; i < 7; ++i) run("INSERT INTO MANY SELECT ID + 1, NAME FROM MANY");
  run("COMMIT");
  const fs::path target = dir / "MANY.sql";
  std::ofstream(target) << "the user's older script";
  // Rows are being written (the file is open) when the connection drops at
  // the next round trip.
  bool armed = false;
  auto dropWhileWriting = [&](std::int64_t, std::int64_t) {
    if (!armed) armed = ArmFault("drop@1") == 0;
    return true;
  };
  try {
    operations::WriteTableScript(session, "SCOTT", "MANY", target.string(), operations::ScriptOptions{},
                                 dropWhileWriting);
    ADD_FAILURE() << "the script was written although the connection dropped";
  } catch (const std::exception& e) {
    EXPECT_NE(std::string(e.what()).find("ORA-03113"), std::string::npos) << e.what();
  }
  ArmFault("");
  EXPECT_TRUE(armed);
  EXPECT_EQ(Slurp(target), "the user's older script");
  for (const auto& entry : fs::directory_iterator(dir))
    EXPECT_NE(entry.path().extension(), ".part") << entry.path();
  session.SetConnected(false);
  fs::remove_all(dir);
}

}  // namespace
