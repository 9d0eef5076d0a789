// controller.cpp — panel lifetime, path handling, listing entry and the
// panel information handed to the host.
#include "panel/controller.h"

#include <cstring>
#include <memory>

#include "catalog/dispatcher.h"
#include "catalog/root_list.h"
#include "host/host_services.h"
#include "host/messages.h"
#include "oracle/client_library.h"
#include "panel/key_bar.h"
#include "panel/path_levels.h"
#include "platform/platform.h"

namespace panel {
namespace {

constexpr int kInfoLineBlock = 16;
constexpr int kInfoLineCount = 14;
constexpr std::size_t kInfoValueChars = 79;

// The console and windowed SQL*Plus programs, in the order they are tried.
constexpr const char* kConsoleSqlPlus[] = {"SQLPLUS", "PLUS80"};
constexpr const char* kWindowedSqlPlus[] = {"SQLPLUSW", "PLUS80W"};

// Copies text into a fixed host field, cut to `maxChars` characters and to
// the field's size.
void CopyField(char* field, std::size_t fieldSize, const std::string& text, std::size_t maxChars) {
  std::size_t n = host::HostTextPrefix(text, maxChars, fieldSize - 1);
  std::memcpy(field, text.data(), n);
  field[n] = '\0';
}

// In the home itself (the Instant Client layout keeps the programs beside
// the library), then in its bin folder (a full client), then along PATH.
std::string FindSqlPlus(const std::string& home, const char* const (&names)[2]) {
  for (const char* base : names) {
    std::string file = platform::ProgramFileName(base);
    if (home.empty()) break;
    if (platform::FileExists(home + file)) return home + file;
    const std::string bin = platform::JoinPath(home + "bin", file);
    if (platform::FileExists(bin)) return bin;
  }
  for (const char* base : names) {
    std::string found = platform::FindOnPath(platform::ProgramFileName(base));
    if (!found.empty()) return found;
  }
  return {};
}

const char* ModeText(connection::ConnectMode mode) {
  switch (mode) {
    case connection::ConnectMode::SysDba: return "SYSDBA";
    case connection::ConnectMode::SysOper: return "SYSOPER";
    default: return "Normal";
  }
}

// True when `name` is, exactly, an item of the panel's current listing.
bool ListedItem(far::HANDLE panel, const std::string& name) {
  const far::PluginStartupInfo& h = host::Host();
  if (h.Control == nullptr) return false;
  auto info = std::make_unique<far::PanelInfo>();  // large on far2l
  if (!h.Control(panel, far::FCTL_GETPANELINFO, info.get()) || info->PanelItems == nullptr) return false;
  for (int i = 0; i < info->ItemsNumber; ++i) {
    const char* itemName = info->PanelItems[i].FindData.cFileName;
    if (name == std::string(itemName, strnlen(itemName, sizeof(info->PanelItems[i].FindData.cFileName)))) return true;
  }
  return false;
}

}  // namespace

TOracleController::TOracleController(std::unique_ptr<connection::TPluginDataModule> dataModule)
    : dataModule_(dataModule ? std::move(dataModule)
                             : std::make_unique<connection::TPluginDataModule>()) {
  SetCurrentDirectory("\\");
  ReadOracleHome();
  pluginDirectory_ = platform::DirectoryOf(platform::ModuleFileName());
}

TOracleController::~TOracleController() = default;

void TOracleController::ReadOracleHome() {
  // The home the client search chooses (multi-home installs keep no
  // ORACLE_HOME directly below SOFTWARE\ORACLE), so the info panel and the
  // SQL*Plus search name the home whose library a logon loads.
  oracle::TOracleClient& client = oracle::OracleClient();
  client.ForgetHomeChoiceUnlessLoaded();
  oracleHome_ = client.OracleHomeDirectory();
  oracleHomeName_ = client.OracleHomeName();
  if (oracleHome_.empty()) {
    // No registered home (a client installed without the Windows registry,
    // or any POSIX machine): the environment names the home.
    if (auto env = platform::GetEnv("ORACLE_HOME"); env && !env->empty()) oracleHome_ = *env;
  }
  if (oracleHomeName_.empty()) oracleHomeName_ = oracleHome_.empty() ? "Error of getting!" : oracleHome_;
  if (oracleHome_.empty()) {
    // With no registry of homes (POSIX) a client is found as the shell finds
    // its programs; on Windows no home means no client.
    if (platform::PathSeparator() == '/') sqlPlusPath_ = FindSqlPlus("", kConsoleSqlPlus);
    return;
  }
  if (oracleHome_.back() != platform::PathSeparator()) oracleHome_ += platform::PathSeparator();
  std::string console = FindSqlPlus(oracleHome_, kConsoleSqlPlus);
  std::string windowed = FindSqlPlus(oracleHome_, kWindowedSqlPlus);
  sqlPlusPath_ = console.empty() ? console : platform::ShortPathName(console);
  sqlPlusWinPath_ = windowed.empty() ? windowed : platform::ShortPathName(windowed);
}

void TOracleController::SetCurrentDirectory(const std::string& path) {
  currentDirectory_ = path;
  pathLevels_ = SplitPathLevels(host::FromOem(path));
}

std::string TOracleController::GetPathLevel(std::size_t n) const {
  return (n >= 1 && n <= pathLevels_.size()) ? pathLevels_[n - 1] : std::string();
}

bool TOracleController::SetDirectory(const std::string& dir, int opMode) {
  const std::string text = HostPathToPanelPath(dir, (opMode & far::OPM_FIND) != 0);
  if (text.empty()) return false;  // names no directory
  const bool upward = text == "\\" || text == "..";
  // A quoted name may hold a backslash ("..\x"), the one character a path
  // level cannot: entered, it would read as several levels and list another
  // object, or none.  Such an item is refused; F3, F8 and the other keys on
  // the item still reach it.
  if (!upward && text.front() != '\\' && text.find('\\') != std::string::npos && ListedItem(this, text)) {
    if ((opMode & (far::OPM_FIND | far::OPM_SILENT)) == 0)
      host::ShowErrorMessage(host::FromOem(text) + ": a name with a backslash cannot be opened as a folder");
    return false;
  }
  if (opMode == far::OPM_FIND && !dataModule_->Connected()) return false;
  if (!dataModule_->Connected()) {
    // Disconnected, going up needs no logon: every level between here and
    // the root needs the server to be listed, so the root it is.
    if (upward) {
      panelModes_ = nullptr;
      directoryStack_.Clear();
      PendingCurrentName = LevelNameAt(currentDirectory_, 2);
      SetCurrentDirectory("\\");
      return true;
    }
    if (!dataModule_->LogOn()) return false;
  }
  panelModes_ = nullptr;
  PendingCurrentName.clear();
  if (text == "\\") {
    directoryStack_.Clear();
    SetCurrentDirectory("\\");
    return true;
  }
  if (text == "..") {
    std::string top = directoryStack_.TopPath();
    if (!top.empty()) {
      SetCurrentDirectory(top);
      PendingCurrentItem = directoryStack_.TopCursor();
    } else {
      PendingCurrentName = LastLevelName(currentDirectory_);
      SetCurrentDirectory(ParentPath(currentDirectory_));
    }
    directoryStack_.Pop();
    return true;
  }
  SetCurrentDirectory(DescendPath(currentDirectory_, text));
  // One plain-descent marker per level, so ".." climbs back level by level;
  // a full path counts as one step.
  std::size_t steps = 1;
  if (text.front() != '\\')
    for (char c : text) steps += c == '\\';
  for (std::size_t i = 0; i < steps; ++i) directoryStack_.Push("", 0);
  return true;
}

void TOracleController::ResolvePendingCurrentName() {
  if (PendingCurrentName.empty()) return;
  std::string name = std::move(PendingCurrentName);
  PendingCurrentName.clear();
  const far::PluginStartupInfo& h = host::Host();
  if (h.Control == nullptr) return;
  // PanelInfo is large on far2l; keep it off the stack.
  auto info = std::make_unique<far::PanelInfo>();
  if (!h.Control(this, far::FCTL_GETPANELINFO, info.get()) || info->PanelItems == nullptr) return;
  for (int i = 0; i < info->ItemsNumber; ++i) {
    const char* itemName = info->PanelItems[i].FindData.cFileName;
    if (name == std::string(itemName, strnlen(itemName, sizeof(info->PanelItems[i].FindData.cFileName)))) {
      // A cursor already placed there by the host needs no second redraw.
      if (i != info->CurrentItem) PendingCurrentItem = i;
      return;
    }
  }
}

bool TOracleController::GetFindData(FindDataRequest& request) {
  *request.items = nullptr;
  *request.count = 0;
  if (GetPathLevel(2).empty()) {
    directoryStack_.Clear();
    catalog::ListRoot(request);
    return true;
  }
  return catalog::DispatchListing(*this, request);
}

void TOracleController::FreeFindData(far::PluginPanelItem* items, int count) {
  FreeItems(items, count);
}

void TOracleController::BuildInfoLines() {
  infoLines_.assign(kInfoLineBlock, far::InfoPanelLine{});
  bool connected = dataModule_->Connected();
  connection::ConnectionFacts facts;
  if (connected) facts = dataModule_->Facts();

  struct Line {
    const char* label;
    std::string value;
    bool separator;
  };
  const Line lines[] = {
      {"Oracle SQL-Server Info", "", true},
      {"Server name:", connected ? facts.serverName : "", false},
      {"Global name:", facts.globalName, false},
      {"User name:", connected ? facts.userName : "", false},
      {"Connected As:", connected ? ModeText(facts.mode) : "", false},
      {"Oracle Home:", oracleHomeName_, false},
      {"Session Status:", connected && facts.inTransaction ? "IN TRANSACTION" : "", false},
      {"Version:", connected ? facts.version : "Not conected", false},
      {"Compatibility:", connected ? facts.compatibility : "", false},
      {"Ported:", connected ? facts.portString : "", false},
      {"Description:", connected ? facts.banner : "", false},
      {"Plugin info", "", true},
      {"Version:", platform::ModuleFileVersion(), false},
  };
  int i = 0;
  for (const Line& line : lines) {
    far::InfoPanelLine& out = infoLines_[i++];
    CopyField(out.Text, sizeof(out.Text), host::ToOem(line.label), kInfoValueChars);
    CopyField(out.Data, sizeof(out.Data), host::ToOem(line.value), kInfoValueChars);
    out.Separator = line.separator ? 1 : 0;
  }
}

void TOracleController::GetOpenPluginInfo(far::OpenPluginInfo& info) {
  BuildInfoLines();
  const PanelModeSet& modes = panelModes_ ? *panelModes_ : DefaultPanelModes();

  panelTitle_ = " Oracle";
  if (currentDirectory_ != "\\") panelTitle_ += currentDirectory_;
  panelTitle_ += " ";
  curDirOem_ = currentDirectory_;

  info.StructSize = far::kOpenPluginInfoSize;
  info.Flags = far::OPIF_USEFILTER | far::OPIF_USEHIGHLIGHTING | far::OPIF_FINDFOLDERS;
  info.HostFile = "";
  info.Format = "";
  info.CurDir = curDirOem_.c_str();
  info.PanelTitle = panelTitle_.c_str();
  info.InfoLines = infoLines_.data();
  info.InfoLinesNumber = kInfoLineCount;
  info.DescrFiles = nullptr;
  info.DescrFilesNumber = 0;
  info.PanelModesArray = modes.Modes();
  info.PanelModesNumber = kPanelModeCount;
  info.StartSortMode = 0;
  info.StartSortOrder = 0;
  info.KeyBar = &PluginKeyBar();
  info.ShortcutData = nullptr;
}

}  // namespace panel
