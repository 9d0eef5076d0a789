// client_library.h — loading and initialising the Oracle client library.
//
// One process-wide `TOracleClient` (OracleClient()) finds the OCI library
// (forced by the OCIDLL parameter, else searched in the chosen Oracle home,
// else — Instant Client — by its bare name on the system's library path),
// loads it, resolves its entry points into one table and initialises it.
// Every step is written to a load log that failures show to the user.  It
// also locates tnsnames.ora and lists its aliases.  Sessions call
// Initialize() at every logon; it does nothing once the library is loaded.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "oracle/client_layout.h"
#include "oracle/oci_api.h"
#include "oracle/oci_entry_points.h"
#include "oracle/oracle_home.h"
#include "oracle/tnsnames.h"
#include "platform/platform.h"

namespace oracle {

// A critical section that counts its entries; Leave without a matching
// Enter does nothing.
class TOracleCriticalSection {
 public:
  void Enter();
  void Leave();
  int EntryCount() const { return count_; }

 private:
  platform::CriticalSection section_;
  int count_ = 0;
};

TOracleCriticalSection& OracleCriticalSection();

// Result codes of finding / loading the library.
enum LoadResult : int {
  kLoadOk = 0,
  kLoadNotFound = 1,       // no library file, or it would not load
  kLoadNoEntryPoints = 2,  // neither OCI7 nor OCI8 usable
  kLoadNoHome = 3,         // no Oracle home at all
};

struct ClientEnvironment {
  ClientLayout layout;
  CommandLineSource commandLine;
};
// The platform's layout and the host process's real command line.
ClientEnvironment NativeClientEnvironment();

class TOracleClient {
 public:
  explicit TOracleClient(ClientEnvironment environment = NativeClientEnvironment());
  ~TOracleClient();
  TOracleClient(const TOracleClient&) = delete;
  TOracleClient& operator=(const TOracleClient&) = delete;

  // Loads and initialises the library unless it is loaded; throws
  // std::runtime_error "Initialization error\r\n<reason>\r\n\r\n<load log>".
  void Initialize();
  // Unloads and forgets what the next search must find again.
  void Free();
  // Undoes the directory change of a second load attempt.
  void RestoreCurrentDirectory();

  // The home the library search chooses (registry key, its ORACLE_HOME,
  // its ORACLE_HOME_NAME); strings in the ANSI code page on Windows.
  std::string OracleHomeKey();
  std::string OracleHomeDirectory();
  std::string OracleHomeName();
  // Before the library is loaded the registry or PATH may have changed since
  // the last look: the next call chooses again.  Once loaded the choice stays.
  void ForgetHomeChoiceUnlessLoaded();
  // Full path of tnsnames.ora (initialises the library first); "" when no
  // folder is known for it.
  std::string TnsNamesPath();
  std::vector<std::string> ListTnsAliases();

  bool Loaded() const { return library_ != nullptr; }
  const oci::OciApi& Api() const { return api_; }
  const EntryPointGroups& Groups() const { return groups_; }
  bool Oci8Mode() const { return oci8Mode_; }
  const std::string& OciDll() const { return ociDll_; }
  // The load log, lines joined by CR LF.
  std::string LoadLog() const;
  // Forces OCI7 calls process-wide (off by default; nothing in the plugin sets it).
  void SetForceOci7(bool force) { forceOci7_ = force; }
  const ClientEnvironment& Environment() const { return environment_; }
  // Replaces the layout and command-line source; takes effect at the next
  // search (tests point the process-wide client at a library this way).
  void SetEnvironment(ClientEnvironment environment) { environment_ = std::move(environment); }

  // The steps of Initialize, for tests: find the file; find, load and resolve.
  int FindLibrary();
  int LoadLibraryAndResolve();

 private:
  int LoadBySystemName();
  std::string MessageFor(int code) const;

  ClientEnvironment environment_;
  platform::LibraryHandle library_ = nullptr;
  oci::OciApi api_{};
  EntryPointGroups groups_;
  bool oci8Mode_ = false;
  bool forceOci7_ = false;

  bool homeKeyKnown_ = false;
  std::string homeKey_;
  bool homeDirKnown_ = false;
  std::string homeDir_;
  HomeSelection selection_;
  std::vector<OracleHomeEntry> homes_;

  std::string ociDll_;
  bool ociDllFoundBySearch_ = false;
  std::vector<std::string> log_;
  std::string rememberedDirectory_;
  std::string libraryDirectory_;

  std::string tnsNamesPath_;
  TnsAliasSet aliases_;
};

// The process-wide client library.
TOracleClient& OracleClient();

}  // namespace oracle
