// client_library.cpp — see client_library.h.
#include "oracle/client_library.h"

#include <stdexcept>

#include "oracle/library_search.h"
#include "oracle/text_util.h"

namespace oracle {
namespace {

constexpr std::size_t kMaxEnvironmentText = 1000;

class CriticalSectionGuard {
 public:
  explicit CriticalSectionGuard(TOracleCriticalSection& section) : section_(section) { section_.Enter(); }
  ~CriticalSectionGuard() { section_.Leave(); }
  CriticalSectionGuard(const CriticalSectionGuard&) = delete;
  CriticalSectionGuard& operator=(const CriticalSectionGuard&) = delete;

 private:
  TOracleCriticalSection& section_;
};

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

}  // namespace

// ---- critical section -------------------------------------------------------

void TOracleCriticalSection::Enter() {
  section_.Enter();
  ++count_;
}

void TOracleCriticalSection::Leave() {
  if (count_ == 0) return;
  --count_;
  section_.Leave();
}

TOracleCriticalSection& OracleCriticalSection() {
  static TOracleCriticalSection section;
  return section;
}

ClientEnvironment NativeClientEnvironment() {
  return ClientEnvironment{NativeLayout(), [] { return platform::ProcessCommandLine(); }};
}

// ---- client library -----------------------------------------------------------

TOracleClient::TOracleClient(ClientEnvironment environment) : environment_(std::move(environment)) {}

TOracleClient::~TOracleClient() { Free(); }

std::string TOracleClient::LoadLog() const {
  std::string text;
  for (std::size_t i = 0; i < log_.size(); ++i) {
    if (i) text += "\r\n";
    text += log_[i];
  }
  return text;
}

std::string TOracleClient::OracleHomeKey() {
  if (!homeKeyKnown_) {
    homes_ = ReadOracleHomeList();
    std::optional<std::string> wanted;
    if (!homes_.empty()) {
      wanted = LoaderParameter("ORACLEHOME", environment_.commandLine(),
                               environment_.layout.parametersFromEnvironment);
    }
    homeKey_ = ChooseOracleHomeKey(homes_, wanted, PathForHomeSearch(), selection_);
    homeKeyKnown_ = true;
  }
  return homeKey_;
}

std::string TOracleClient::OracleHomeDirectory() {
  if (!homeDirKnown_) {
    homeDir_ = ReadMachineString(OracleHomeKey(), "ORACLE_HOME");
    if (homeDir_.empty() && environment_.layout.homeFromEnvironment) {
      homeDir_ = platform::GetEnv("ORACLE_HOME").value_or("");
      if (!homeDir_.empty()) log_.push_back("ORACLE_HOME environment variable: " + homeDir_);
    }
    homeDirKnown_ = true;
  }
  return homeDir_;
}

std::string TOracleClient::OracleHomeName() {
  const std::string key = OracleHomeKey();
  return ReadMachineString(key, "ORACLE_HOME_NAME");
}

void TOracleClient::ForgetHomeChoiceUnlessLoaded() {
  if (Loaded()) return;
  homeKeyKnown_ = false;
  homeDirKnown_ = false;
  if (selection_.chosenAutomatically) selection_ = HomeSelection{};
}

int TOracleClient::FindLibrary() {
  log_.clear();
  if (auto forced = LoaderParameter("OCIDLL", environment_.commandLine(),
                                    environment_.layout.parametersFromEnvironment)) {
    ociDll_ = *forced;
    ociDllFoundBySearch_ = false;
  }
  if (!ociDll_.empty()) {
    log_.push_back("OCIDLL forced to " + ociDll_);
    return kLoadOk;
  }
  const std::string key = OracleHomeKey();
  const std::string dir = OracleHomeDirectory();
  log_.push_back("OracleHomeKey: " + key);
  log_.push_back("OracleHomeDir: " + dir);
  if (dir.empty()) return kLoadNoHome;
  auto path = FindLibraryInHome(dir, environment_.layout, log_);
  if (!path) return kLoadNotFound;
  log_.push_back("Using: " + *path);
  ociDll_ = *path;
  ociDllFoundBySearch_ = true;
  return kLoadOk;
}

// Instant Client installations have no Oracle home, and a registered home
// may have lost its library: the library is then found by its bare name
// through the system's own search path (never the current folder).
int TOracleClient::LoadBySystemName() {
  const std::string& name = environment_.layout.systemLibraryName;
  log_.push_back("Trying " + name + " on the system library path");
  std::string error;
  library_ = platform::OpenLibrary(name, &error);
  if (!library_) {
    log_.push_back("Not found: " + name + (error.empty() ? "" : " (" + error + ")"));
    return kLoadNoHome;
  }
  log_.push_back("Using: " + name);
  ociDll_ = name;
  ociDllFoundBySearch_ = true;
  return kLoadOk;
}

int TOracleClient::LoadLibraryAndResolve() {
  int code = FindLibrary();
  if (code == kLoadNoHome) {
    code = LoadBySystemName();
  } else if (code == kLoadNotFound && ociDll_.empty()) {
    // A leftover home without its library: try the next way before giving up.
    if (LoadBySystemName() == kLoadOk) code = kLoadOk;
  } else if (code == kLoadOk) {
    std::string error;
    library_ = platform::OpenLibrary(ociDll_, &error);
    if (!library_) {
      log_.push_back("LoadLibrary(" + ociDll_ + ") returned 0");
      if (!error.empty()) log_.push_back(error);
      return kLoadNotFound;
    }
  }
  if (code != kLoadOk) return code;

  groups_ = ResolveEntryPoints(
      [this](const char* name) { return platform::FindSymbol(library_, name); }, api_);
  oci8Mode_ = groups_.oci8Calls && !forceOci7_;
  if (!groups_.oci7Calls && !oci8Mode_) return kLoadNoEntryPoints;

  if (groups_.oci7ProcessInit && !oci8Mode_) {
    if (api_.opinit(0) != 0) {
      log_.push_back("opinit failed");
      return kLoadNoEntryPoints;
    }
  } else if (oci8Mode_ && !groups_.oci81Calls) {
    if (api_.OCIInitialize(oci::OCI_THREADED | oci::OCI_OBJECT, nullptr, nullptr, nullptr, nullptr) !=
        oci::OCI_SUCCESS) {
      log_.push_back("OCIInitialize failed");
      return kLoadNoEntryPoints;
    }
  }
  return kLoadOk;
}

std::string TOracleClient::MessageFor(int code) const {
  switch (code) {
    case kLoadNotFound:
      return ociDll_.empty() ? "Could not locate OCI dll" : "Could not load " + Quoted(ociDll_);
    case kLoadNoEntryPoints:
      return "Could not initialize " + Quoted(ociDll_);
    case kLoadNoHome:
      return "SQL*Net not properly installed";
    default:
      return "";
  }
}

void TOracleClient::Initialize() {
  CriticalSectionGuard guard(OracleCriticalSection());
  if (Loaded()) return;
  const int code = LoadLibraryAndResolve();
  if (code == kLoadOk) return;
  const std::string message =
      "Initialization error\r\n" + MessageFor(code) + "\r\n\r\n" + LoadLog();
  Free();
  throw std::runtime_error(message);
}

void TOracleClient::Free() {
  if (library_) platform::CloseLibrary(library_);
  library_ = nullptr;
  api_ = oci::OciApi{};
  groups_ = EntryPointGroups{};
  oci8Mode_ = false;
  homeKeyKnown_ = false;
  homeKey_.clear();
  homeDirKnown_ = false;
  homeDir_.clear();
  if (ociDllFoundBySearch_) {
    ociDll_.clear();
    ociDllFoundBySearch_ = false;
  }
  if (selection_.chosenAutomatically) selection_ = HomeSelection{};
}

void TOracleClient::RestoreCurrentDirectory() {
  if (!rememberedDirectory_.empty() && platform::CurrentDirectory() == libraryDirectory_) {
    platform::ChangeDirectory(rememberedDirectory_);
  }
  rememberedDirectory_.clear();
  libraryDirectory_.clear();
}

std::string TOracleClient::TnsNamesPath() {
  if (!tnsNamesPath_.empty()) return tnsNamesPath_;
  Initialize();
  const ClientLayout& layout = environment_.layout;
  const char sep = platform::PathSeparator();
  std::string dir = platform::GetEnv("TNS_ADMIN").value_or("").substr(0, kMaxEnvironmentText);
  const std::string key = OracleHomeKey();
  if (dir.empty()) dir = ReadMachineString(key, "TNS_ADMIN");
  if (dir.empty() && !EqualsNoCase(key, kOracleRootKey)) dir = ReadMachineString(kOracleRootKey, "TNS_ADMIN");
  const std::string home = OracleHomeDirectory();
  if (!dir.empty()) {
    // named above
  } else if (home.empty()) {
    // Instant Client: network/admin beside the library really loaded (the
    // name it was asked for may be a bare one), never the current folder.
    const std::string libraryDir = platform::DirectoryOf(platform::LibraryPath(library_));
    if (!libraryDir.empty()) dir = AppendPath(libraryDir, layout.tnsAdminSubdir, sep);
  } else if (layout.netDirsInRegistry) {
    dir = ReadMachineString(key, groups_.oci8Calls ? "NET80" : "NET20");
    if (!dir.empty()) {
      dir = AppendPath(dir, "Admin", sep);
    } else {
      const bool net80 = groups_.oci8Calls && !groups_.oci81Calls;
      dir = AppendPath(AppendPath(home, net80 ? "Net80" : "Network", sep), "Admin", sep);
    }
  } else {
    dir = AppendPath(home, layout.tnsAdminSubdir, sep);
  }
  if (dir.empty()) return "";
  tnsNamesPath_ = AppendPath(dir, "tnsnames.ora", sep);
  return tnsNamesPath_;
}

std::vector<std::string> TOracleClient::ListTnsAliases() {
  aliases_.clear();
  ReadTnsAliases(TnsNamesPath(), aliases_);
  return std::vector<std::string>(aliases_.begin(), aliases_.end());
}

TOracleClient& OracleClient() {
  static TOracleClient client;
  return client;
}

}  // namespace oracle
