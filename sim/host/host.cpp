// host.cpp — the Host's commands: loading, opening, listing, navigating,
// keys and the command line, played the way far2l plays them.
#include "host.h"

#include "services.h"

#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <ostream>

namespace hostsim {
namespace {

Host* g_active = nullptr;

const char* const kRowNames[7] = {"", "Ctrl+", "Alt+", "Shift+", "Ctrl+Shift+", "Alt+Shift+", "Ctrl+Alt+"};

std::optional<std::string> CopyText(const char* text) {
  if (!text) return std::nullopt;
  return std::string(text);
}

std::string FixedText(const char* field, std::size_t size, bool& terminated) {
  std::size_t n = strnlen(field, size);
  terminated = n < size;
  return std::string(field, n);
}

// Last component of a plugin path, separators '/' or '\' alike.
std::string LastComponent(std::string path) {
  while (!path.empty() && (path.back() == '/' || path.back() == '\\')) path.pop_back();
  auto slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string OptText(const std::optional<std::string>& text) { return text ? Quote(*text) : std::string("-"); }

}  // namespace

Host* Host::Active() { return g_active; }

Host::Host(std::ostream* out, HostOptions options) : options_(options), transcript_(out) {
  previousActive_ = g_active;
  g_active = this;
  char cwd[4096];
  std::string error;
  if (getcwd(cwd, sizeof cwd)) other_.SetDirectory(cwd, error);
}

Host::~Host() {
  if (open_ && module_.loaded()) {
    Guarded("ClosePlugin", [&] { module_.exports().ClosePlugin(handle_); });
    open_ = false;
  }
  module_.Unload();
  if (g_active == this) g_active = previousActive_;
}

void Host::ExceptionEscaped(const char* exportName) {
  // No exception may cross into the host; there is nothing sane to go on with.
  Record(std::string("error plugin let an exception escape from ") + exportName);
  std::_Exit(kExitCrash);
}

void Host::Trace(const std::string& line) {
  if (options_.trace) Record(line);
}

void Host::NoteCall(const std::string& line) {
  calls_.push_back(line);
  Trace("call " + line);
}

bool Host::Fail(const std::string& message) {
  Record("error " + message);
  return false;
}

bool Host::RequireModule(const char* what) {
  if (module_.loaded()) return true;
  return Fail(std::string(what) + ": no plugin loaded");
}

bool Host::RequirePanel(const char* what) {
  if (!RequireModule(what)) return false;
  if (open_) return true;
  return Fail(std::string(what) + ": no plugin panel is open");
}

bool Host::Finish(bool ok) {
  if (depth_ == 0 && pendingClose_) {
    pendingClose_ = false;
    if (open_) ClosePanel(pendingCloseReason_);
  }
  if (serviceError_) {
    serviceError_ = false;
    ok = Fail(serviceErrorText_);
  }
  return ok;
}

void Host::CheckPluginNumber(const char* service, far::INT_PTR pn) {
  if (pn == reinterpret_cast<far::INT_PTR>(this)) return;
  Record(std::string("error ") + service + ": plugin number " + Hex(static_cast<std::uint64_t>(pn)) +
         " is not the ModuleNumber given at startup");
  serviceError_ = true;
  serviceErrorText_ = std::string(service) + " called with a wrong plugin number";
}

// ---- loading --------------------------------------------------------------

void Host::BuildStartupRecord(std::vector<unsigned char>& record) {
  fsf_.assign(524, 0);  // far2l 2.6's FSF size; its slots stay empty here
  int fsfSize = 524;
  std::memcpy(fsf_.data(), &fsfSize, sizeof fsfSize);
  auto* fsf = reinterpret_cast<far::FarStandardFunctions*>(fsf_.data());

  far::PluginStartupInfo info;
  std::memset(&info, 0, sizeof info);
  info.StructSize = options_.startupSize;
  std::strncpy(info.ModuleName, module_.path().c_str(), sizeof info.ModuleName - 1);
  info.ModuleNumber = reinterpret_cast<far::INT_PTR>(this);
  info.RootKey = "";  // what far2l hands "mb" plugins
  FillServices(info, fsf);

  record.assign(static_cast<std::size_t>(options_.startupSize), 0);
  if (options_.startupSize == static_cast<int>(sizeof(far::PluginStartupInfoColor))) {
    // far2l 2.7+: ColorDialog sits after InputBox and moves the tail by one slot.
    far::PluginStartupInfoColor color;
    std::memset(&color, 0, sizeof color);
    std::memcpy(&color, &info, offsetof(far::PluginStartupInfo, DialogEx));
    color.ColorDialog = ColorDialogService;
    color.DialogEx = info.DialogEx;
    color.SendDlgMessage = info.SendDlgMessage;
    color.DefDlgProc = info.DefDlgProc;
    color.ViewerControl = info.ViewerControl;
    std::memcpy(record.data(), &color, sizeof color);
  } else {
    std::memcpy(record.data(), &info, sizeof info);
  }
}

bool Host::Load(const std::string& path) {
  if (open_) Close();
  if (open_) return Fail("load: the open panel refused to close");
  std::string error;
  if (!module_.Load(path, error)) return Fail("load " + Quote(path) + ": " + error);
  if (options_.startupSize != 4316 && options_.startupSize != 4324) {
    module_.Unload();
    return Fail("load: startup record size must be 4316 or 4324");
  }
  BuildStartupRecord(startup_);
  Record("load " + Quote(module_.path()) + " startup-size=" + std::to_string(options_.startupSize));
  NoteCall("SetStartupInfo");
  auto* record = reinterpret_cast<const far::PluginStartupInfo*>(startup_.data());
  Guarded("SetStartupInfo", [&] { module_.exports().SetStartupInfo(record); });
  // The plugin must have taken a copy: the host's record is a temporary.
  std::fill(startup_.begin(), startup_.end(), 0xEE);
  return Finish(true);
}

bool Host::ShowPluginInfo() {
  if (!RequireModule("plugininfo")) return false;
  far::PluginInfo info;
  std::memset(&info, 0, sizeof info);
  NoteCall("GetPluginInfo");
  Guarded("GetPluginInfo", [&] { module_.exports().GetPluginInfo(&info); });
  menus_ = {};
  menus_.flags = info.Flags;
  menus_.prefix = CopyText(info.CommandPrefix);
  auto copyList = [](const char* const* list, int n, std::vector<std::string>& out) {
    for (int i = 0; list && i < n; ++i) out.push_back(list[i] ? list[i] : "");
  };
  copyList(info.DiskMenuStrings, info.DiskMenuStringsNumber, menus_.disk);
  copyList(info.PluginMenuStrings, info.PluginMenuStringsNumber, menus_.menu);
  copyList(info.PluginConfigStrings, info.PluginConfigStringsNumber, menus_.config);
  Record("plugin size=" + std::to_string(info.StructSize) + " flags=" + Hex(info.Flags) +
         " disk=" + std::to_string(info.DiskMenuStringsNumber) +
         " menu=" + std::to_string(info.PluginMenuStringsNumber) +
         " config=" + std::to_string(info.PluginConfigStringsNumber) + " prefix=" + OptText(menus_.prefix) +
         " sysid=" + Hex(info.SysID));
  for (std::size_t i = 0; i < menus_.disk.size(); ++i) {
    std::string number = "-";
    if (info.DiskMenuNumbers) {
      menus_.diskNumbers.push_back(info.DiskMenuNumbers[i]);
      number = std::to_string(info.DiskMenuNumbers[i]);
    }
    Record("plugin-disk " + std::to_string(i) + " " + Quote(menus_.disk[i]) + " number=" + number);
  }
  for (std::size_t i = 0; i < menus_.menu.size(); ++i)
    Record("plugin-menu " + std::to_string(i) + " " + Quote(menus_.menu[i]));
  for (std::size_t i = 0; i < menus_.config.size(); ++i)
    Record("plugin-config " + std::to_string(i) + " " + Quote(menus_.config[i]));
  return Finish(true);
}

// ---- the plugin panel -------------------------------------------------------

bool Host::Open(int openFrom, int item, const std::string& text) {
  if (!RequireModule("open")) return false;
  if (open_) return Fail("open: a plugin panel is already open (close it first)");
  far::INT_PTR arg = item;
  std::string shown = std::to_string(item);
  if (openFrom == far::OPEN_COMMANDLINE || openFrom == far::OPEN_SHORTCUT) {
    arg = reinterpret_cast<far::INT_PTR>(text.c_str());
    shown = Quote(text);
  }
  NoteCall("OpenPlugin " + std::to_string(openFrom) + " " + shown);
  far::HANDLE h = Guarded("OpenPlugin", [&] { return module_.exports().OpenPlugin(openFrom, arg); });
  if (h == far::InvalidHandle()) {
    Record("open from=" + std::to_string(openFrom) + " item=" + shown + " -> invalid");
    return Finish(true);
  }
  if (h == nullptr)
    Record("warning OpenPlugin returned NULL: far2l takes it as a handle, FAR 1.70 unloads the plugin");
  handle_ = h;
  open_ = true;
  viewMode_ = 2;
  sortMode_ = kSortName;
  sortReverse_ = false;
  panel_ = PanelList();
  Record("open from=" + std::to_string(openFrom) + " item=" + shown + " -> ok");
  snap_ = {};
  ReadInfo();
  if (!snap_.modes.empty()) {
    // far2l takes the start modes only together with a panel-mode array.
    viewMode_ = snap_.startMode;
    if (snap_.sortMode > 0) sortMode_ = snap_.sortMode;
    sortReverse_ = snap_.sortOrder != 0;
  }
  if (ReadItems(false)) {
    ReadInfo();
    panel_.SetCurrent(0);
    PrintPanelLine();
  }
  return Finish(true);
}

void Host::RequestClose(const std::string& reason) {
  // Never pull the panel from under a plugin call that is still running.
  if (depth_ == 0) {
    ClosePanel(reason);
  } else {
    pendingClose_ = true;
    pendingCloseReason_ = reason;
  }
}

void Host::ClosePanel(const std::string& reason) {
  NoteCall("ClosePlugin");
  Guarded("ClosePlugin", [&] { module_.exports().ClosePlugin(handle_); });
  open_ = false;
  handle_ = nullptr;
  panel_ = PanelList();
  Record("closed by=" + reason);
}

bool Host::Close() {
  if (!RequirePanel("close")) return false;
  NoteCall("ProcessEvent FE_CLOSE");
  int refused = Guarded("ProcessEvent", [&] { return module_.exports().ProcessEvent(handle_, far::FE_CLOSE, nullptr); });
  if (refused) {
    Record("close -> refused");
    return Finish(true);
  }
  ClosePanel("user");
  return Finish(true);
}

void Host::ReadInfo() {
  // The host zeroes a record of its own (larger) layout before the call.
  alignas(8) unsigned char buffer[128] = {};
  auto* info = reinterpret_cast<far::OpenPluginInfo*>(buffer);
  NoteCall("GetOpenPluginInfo");
  Guarded("GetOpenPluginInfo", [&] { module_.exports().GetOpenPluginInfo(handle_, info); });
  PanelSnapshot s;
  s.structSize = info->StructSize;
  s.flags = info->Flags;
  s.hostFile = CopyText(info->HostFile);
  s.curDir = CopyText(info->CurDir);
  s.format = CopyText(info->Format);
  s.title = CopyText(info->PanelTitle);
  s.shortcut = CopyText(info->ShortcutData);
  for (int i = 0; info->InfoLines && i < info->InfoLinesNumber; ++i) {
    const auto& in = info->InfoLines[i];
    PanelSnapshot::Line line;
    bool t1, t2;
    line.text = FixedText(in.Text, sizeof in.Text, t1);
    line.data = FixedText(in.Data, sizeof in.Data, t2);
    line.separator = in.Separator != 0;
    if (!t1 || !t2) Record("warning info line " + std::to_string(i) + " is not terminated within 80 bytes");
    s.infoLines.push_back(line);
  }
  for (int i = 0; info->PanelModesArray && i < info->PanelModesNumber; ++i) {
    const auto& in = info->PanelModesArray[i];
    PanelSnapshot::Mode mode;
    mode.types = CopyText(in.ColumnTypes);
    mode.widths = CopyText(in.ColumnWidths);
    mode.statusTypes = CopyText(in.StatusColumnTypes);
    mode.statusWidths = CopyText(in.StatusColumnWidths);
    mode.fullScreen = in.FullScreen;
    mode.detailed = in.DetailedStatus;
    // The host counts the titles by the column types.
    if (in.ColumnTitles && in.ColumnTypes) {
      std::size_t n = 1;
      for (const char* p = in.ColumnTypes; *p; ++p) n += *p == ',';
      for (std::size_t k = 0; k < n; ++k) mode.titles.push_back(CopyText(in.ColumnTitles[k]));
    }
    s.modes.push_back(mode);
  }
  s.startMode = info->StartPanelMode;
  s.sortMode = info->StartSortMode;
  s.sortOrder = info->StartSortOrder;
  if (info->KeyBar) {
    // Seven rows of twelve pointers; a packed record need not align them,
    // so each is copied out rather than loaded in place.
    const auto* bytes = reinterpret_cast<const unsigned char*>(info->KeyBar);
    // The last three rows count only when the plugin's size field covers them.
    int rowCount = info->StructSize >= static_cast<int>(sizeof(far::OpenPluginInfo)) ? 7 : 4;
    for (int r = 0; r < rowCount; ++r) {
      for (int k = 0; k < 12; ++k) {
        const char* label = nullptr;
        std::memcpy(&label, bytes + static_cast<std::size_t>(r * 12 + k) * sizeof label, sizeof label);
        if (label) s.keyBar.emplace_back(std::string(kRowNames[r]) + "F" + std::to_string(k + 1), label);
      }
    }
  }
  snap_ = std::move(s);
}

bool Host::ReadItems(bool keepSelection) {
  far::PluginPanelItem* items = nullptr;
  int count = 0;
  int ok = Guarded("GetFindData", [&] { return module_.exports().GetFindData(handle_, &items, &count, 0); });
  NoteCall("GetFindData -> " + std::to_string(ok) + " items=" + std::to_string(count));
  if (!ok) {
    // As far2l does: a panel that cannot be listed is closed.
    Record("warning GetFindData failed; the host closes the panel");
    RequestClose("host");
    return false;
  }
  std::vector<HostItem> copies;
  if (count < 0 || (count > 0 && !items)) {
    Record("error GetFindData gave " + std::to_string(count) + " items at " + (items ? "an array" : "NULL"));
    serviceError_ = true;
    serviceErrorText_ = "GetFindData returned an invalid item array";
  } else {
    for (int i = 0; i < count; ++i) {
      if (strnlen(items[i].FindData.cFileName, sizeof items[i].FindData.cFileName) ==
          sizeof items[i].FindData.cFileName)
        Record("warning item " + std::to_string(i) + ": file name not terminated within " +
               std::to_string(sizeof items[i].FindData.cFileName) + " bytes");
      copies.push_back(CopyPluginItem(items[i]));
    }
  }
  // Always paired: exactly the array and count GetFindData handed over.
  NoteCall("FreeFindData items=" + std::to_string(count));
  Guarded("FreeFindData", [&] { module_.exports().FreeFindData(handle_, items, count); });

  bool hasDots = false;
  for (const auto& c : copies) hasDots |= c.IsDots();
  if ((snap_.flags & far::OPIF_ADDDOTS) && !hasDots) {
    HostItem dots;
    dots.name = "..";
    dots.attributes = far::FILE_ATTRIBUTE_DIRECTORY;
    copies.push_back(dots);
  }
  SortItems(copies, sortMode_, sortReverse_);
  panel_.Replace(std::move(copies), keepSelection);
  return true;
}

bool Host::Refresh(bool keepSelection) {
  ReadInfo();
  if (!ReadItems(keepSelection)) return false;
  ReadInfo();
  return true;
}

const PanelSnapshot::Mode* Host::CurrentMode() const {
  if (viewMode_ >= 0 && viewMode_ < static_cast<int>(snap_.modes.size())) return &snap_.modes[viewMode_];
  return nullptr;
}

void Host::PrintPanelLine() {
  const HostItem* cur = panel_.CurrentItem();
  Record("panel dir=" + OptText(snap_.curDir) + " title=" + OptText(snap_.title) +
         " items=" + std::to_string(panel_.items().size()) + " selected=" + std::to_string(panel_.SelectedCount()) +
         " current=" + std::to_string(panel_.current()) + " " + (cur ? Quote(cur->name) : std::string("-")) +
         " mode=" + std::to_string(viewMode_) + " sort=" + std::to_string(sortMode_) + (sortReverse_ ? " reverse" : ""));
}

bool Host::List() {
  if (!RequirePanel("list")) return false;
  PrintPanelLine();
  if (const auto* mode = CurrentMode()) {
    std::string titles;
    for (const auto& t : mode->titles) titles += (titles.empty() ? "" : ",") + OptText(t);
    Record("panel-columns mode=" + std::to_string(viewMode_) + " types=" + OptText(mode->types) +
           " widths=" + OptText(mode->widths) + " titles=[" + titles + "]");
  }
  const auto& items = panel_.items();
  for (std::size_t i = 0; i < items.size(); ++i)
    Record(items[i].Record(static_cast<int>(i), static_cast<int>(i) == panel_.current()));
  return Finish(true);
}

bool Host::Info() {
  if (!RequirePanel("info")) return false;
  ReadInfo();
  const auto& s = snap_;
  Record("openinfo size=" + std::to_string(s.structSize) + " flags=" + Hex(s.flags) + " hostfile=" +
         OptText(s.hostFile) + " format=" + OptText(s.format) + " shortcut=" + OptText(s.shortcut));
  Record("title " + OptText(s.title));
  Record("curdir " + OptText(s.curDir));
  for (std::size_t i = 0; i < s.infoLines.size(); ++i) {
    const auto& l = s.infoLines[i];
    if (l.separator) Record("info " + std::to_string(i) + " separator " + Quote(l.text));
    else Record("info " + std::to_string(i) + " " + Quote(l.text) + " " + Quote(l.data));
  }
  Record("panel-modes count=" + std::to_string(s.modes.size()) + " start=" + std::to_string(s.startMode) +
         " sort-mode=" + std::to_string(s.sortMode) + " sort-order=" + std::to_string(s.sortOrder) +
         " current=" + std::to_string(viewMode_));
  for (std::size_t i = 0; i < s.modes.size(); ++i) {
    const auto& m = s.modes[i];
    std::string titles;
    for (const auto& t : m.titles) titles += (titles.empty() ? "" : ",") + OptText(t);
    Record("panel-mode " + std::to_string(i) + " types=" + OptText(m.types) + " widths=" + OptText(m.widths) +
           " titles=[" + titles + "] fullscreen=" + std::to_string(m.fullScreen) +
           " detailed=" + std::to_string(m.detailed) + " status-types=" + OptText(m.statusTypes) +
           " status-widths=" + OptText(m.statusWidths));
  }
  for (const auto& [key, label] : s.keyBar) Record("keybar " + key + " " + Quote(label));
  return Finish(true);
}

bool Host::EnterDirectory(const std::string& name) {
  // ".." at the plugin's root leaves the plugin, as in the host.
  if (name == ".." && snap_.curDir.value_or("").empty()) {
    NoteCall("ProcessEvent FE_CLOSE");
    int refused = Guarded("ProcessEvent", [&] { return module_.exports().ProcessEvent(handle_, far::FE_CLOSE, nullptr); });
    if (refused) {
      Record("cd " + Quote(name) + " -> close refused");
      return true;
    }
    RequestClose("host");
    return true;
  }
  std::string from = snap_.curDir.value_or("");
  int ok = Guarded("SetDirectory", [&] { return module_.exports().SetDirectory(handle_, name.c_str(), 0); });
  NoteCall("SetDirectory " + Quote(name) + " -> " + std::to_string(ok));
  if (!ok) {
    Record("cd " + Quote(name) + " -> refused");
    return true;
  }
  panel_.SetCurrent(0);
  if (!Refresh(false)) return true;
  // Going up puts the cursor on the directory we came from.
  if (name == ".." && !panel_.SetCurrentByName(LastComponent(from))) panel_.SetCurrent(0);
  Record("cd " + Quote(name) + " -> ok");
  PrintPanelLine();
  return true;
}

bool Host::ChangeDirectory(const std::string& dir) {
  if (!RequirePanel("cd")) return false;
  EnterDirectory(dir);
  return Finish(true);
}

bool Host::MoveCursor(const std::string& name) {
  if (!RequirePanel("goto")) return false;
  if (!panel_.SetCurrentByName(name)) return Fail("goto: no item " + Quote(name));
  Record("cursor " + std::to_string(panel_.current()) + " " + Quote(name));
  return true;
}

bool Host::MoveCursorTo(int index) {
  if (!RequirePanel("goto")) return false;
  if (index < 0 || index >= static_cast<int>(panel_.items().size()))
    return Fail("goto: no item #" + std::to_string(index));
  panel_.SetCurrent(index);
  Record("cursor " + std::to_string(index) + " " + Quote(panel_.CurrentItem()->name));
  return true;
}

bool Host::Select(const std::vector<std::string>& names, bool on) {
  if (!RequirePanel("select")) return false;
  for (const auto& name : names) {
    int i = panel_.Find(name);
    if (i < 0 || name == "..") return Fail("select: no selectable item " + Quote(name));
    panel_.items()[static_cast<std::size_t>(i)].selected = on;
  }
  Record("selection count=" + std::to_string(panel_.SelectedCount()));
  return true;
}

bool Host::SelectAll(bool on) {
  if (!RequirePanel("select")) return false;
  for (auto& item : panel_.items()) item.selected = on && !item.IsDots();
  Record("selection count=" + std::to_string(panel_.SelectedCount()));
  return true;
}

void Host::SetViewMode(int mode) {
  viewMode_ = mode;
  const auto* m = CurrentMode();
  std::string types = m && m->types ? *m->types : std::string("N,S,D,T");
  Record("view-mode " + std::to_string(mode) + " types=" + Quote(types));
  std::vector<char> param(types.begin(), types.end());
  param.push_back('\0');
  NoteCall("ProcessEvent FE_CHANGEVIEWMODE " + Quote(types));
  Guarded("ProcessEvent", [&] { return module_.exports().ProcessEvent(handle_, far::FE_CHANGEVIEWMODE, param.data()); });
  if (open_) ReadInfo();
}

// What the host itself does with a key the plugin did not take.
bool Host::HostKey(const KeyCode& key, std::string& outcome) {
  const HostItem* cur = panel_.CurrentItem();
  int n = static_cast<int>(panel_.items().size());
  auto move = [&](int to) {
    panel_.SetCurrent(to);
    outcome = "host cursor " + std::to_string(panel_.current());
  };
  if (key.vk == far::VK_RETURN && key.state == 0) {
    if (!cur) return outcome = "host nothing", true;
    if (!cur->IsDirectory() && !cur->IsDots()) return outcome = "host nothing (file)", true;
    outcome = "host cd " + Quote(cur->name);
    std::string name = cur->name;
    return EnterDirectory(name);
  }
  if (key.vk == far::VK_PRIOR && key.state == far::PKF_CONTROL) {
    outcome = "host cd \"..\"";
    return EnterDirectory("..");
  }
  if (key.state == 0) {
    switch (key.vk) {
      case far::VK_UP: move(panel_.current() - 1); return true;
      case far::VK_DOWN: move(panel_.current() + 1); return true;
      case far::VK_HOME: move(0); return true;
      case far::VK_END: move(n - 1); return true;
      case far::VK_PRIOR: move(panel_.current() - 20); return true;
      case far::VK_NEXT: move(panel_.current() + 20); return true;
      case far::VK_INSERT:
        if (cur && !cur->IsDots()) panel_.items()[static_cast<std::size_t>(panel_.current())].selected ^= true;
        move(panel_.current() + 1);
        outcome = "host select count=" + std::to_string(panel_.SelectedCount());
        return true;
      case far::VK_ESCAPE:
        if (!cmdline_.empty()) {
          cmdline_.clear();
          outcome = "host cmdline cleared";
          return true;
        }
        break;
      default: break;
    }
  }
  if (key.state == far::PKF_CONTROL && key.vk >= '0' && key.vk <= '9') {
    outcome = "host view-mode " + std::to_string(key.vk - '0');
    SetViewMode(key.vk - '0');
    return true;
  }
  if (key.state == far::PKF_CONTROL && key.vk == 'R') {
    outcome = "host update";
    if (Refresh(true)) PrintPanelLine();
    return true;
  }
  outcome = "unhandled";
  return true;
}

bool Host::ExecuteCommandLine(std::string& outcome) {
  std::string text = cmdline_;
  std::vector<char> param(text.begin(), text.end());
  param.push_back('\0');
  int taken = 0;
  if (open_) {
    taken = Guarded("ProcessEvent", [&] { return module_.exports().ProcessEvent(handle_, far::FE_COMMAND, param.data()); });
    NoteCall("ProcessEvent FE_COMMAND " + Quote(text) + " -> " + std::to_string(taken));
  }
  if (taken) {
    outcome = "plugin";
    if (open_) ReadInfo();
  } else {
    // The host would run it in the shell; the stand-in only records it.
    outcome = "shell";
    cmdline_.clear();
  }
  return true;
}

bool Host::PressKey(const std::string& keyName) {
  auto key = ParseKey(keyName);
  if (!key) return Fail("key: unknown key name " + Quote(keyName));
  std::string outcome;
  if (!key->delivered) {
    cmdline_ += key->name;
    Record("key " + key->name + " -> typed");
    return Finish(true);
  }
  bool enter = key->vk == far::VK_RETURN && (key->state & ~far::PKF_SHIFT) == 0;
  if (enter && !cmdline_.empty()) {
    // Enter with text on the command line is the command line's, never the panel's.
    Record("cmdline-run " + Quote(cmdline_));
    ExecuteCommandLine(outcome);
    Record("key " + key->name + " -> cmdline " + outcome);
    return Finish(true);
  }
  if (!RequirePanel("key")) return false;
  int taken = 0;
  if (options_.preprocessKeys) {
    int code = key->vk | far::PKF_PREPROCESS;
    taken = Guarded("ProcessKey", [&] { return module_.exports().ProcessKey(handle_, code, key->state); });
    NoteCall("ProcessKey " + Hex(static_cast<unsigned>(code)) + " " + Hex(key->state) + " -> " + std::to_string(taken));
    if (taken) outcome = "plugin (preprocess)";
  }
  if (!taken && open_) {
    taken = Guarded("ProcessKey", [&] { return module_.exports().ProcessKey(handle_, key->vk, key->state); });
    NoteCall("ProcessKey " + Hex(static_cast<unsigned>(key->vk)) + " " + Hex(key->state) + " -> " + std::to_string(taken));
    if (taken) outcome = "plugin";
  }
  if (taken) {
    if (open_ && !pendingClose_) ReadInfo();  // the host redraws the panel
  } else if (open_) {
    HostKey(*key, outcome);
  }
  Record("key " + key->name + " vk=" + Hex(static_cast<unsigned>(key->vk)) + " state=" + Hex(key->state) + " -> " + outcome);
  return Finish(true);
}

bool Host::Type(const std::string& text) {
  cmdline_ += text;
  Record("cmdline " + Quote(cmdline_));
  return true;
}

bool Host::RunCommandLine(const std::string& text) {
  cmdline_ = text;
  Record("cmdline-run " + Quote(cmdline_));
  std::string outcome;
  if (cmdline_.empty()) outcome = "empty";
  else ExecuteCommandLine(outcome);
  Record("cmdline-result " + outcome + " now=" + Quote(cmdline_));
  return Finish(true);
}

bool Host::ShowCommandLine() {
  Record("cmdline " + Quote(cmdline_));
  return true;
}

bool Host::Redraw() {
  if (!RequirePanel("redraw")) return false;
  int taken = Guarded("ProcessEvent", [&] { return module_.exports().ProcessEvent(handle_, far::FE_REDRAW, nullptr); });
  NoteCall("ProcessEvent FE_REDRAW -> " + std::to_string(taken));
  if (!taken && open_) ReadInfo();
  Record(std::string("redraw -> ") + (taken ? "plugin" : "host"));
  return Finish(true);
}

bool Host::Update() {
  if (!RequirePanel("update")) return false;
  if (Refresh(true)) PrintPanelLine();
  return Finish(true);
}

bool Host::Configure(int item) {
  if (!RequireModule("configure")) return false;
  int changed = Guarded("Configure", [&] { return module_.exports().Configure(item); });
  NoteCall("Configure " + std::to_string(item) + " -> " + std::to_string(changed));
  Record("configure " + std::to_string(item) + " -> " + std::to_string(changed));
  // Changed settings make the host re-read its plugin panels.
  if (changed && open_ && Refresh(true)) PrintPanelLine();
  return Finish(true);
}

bool Host::SetOtherDirectory(const std::string& dir) {
  std::string error;
  if (!other_.SetDirectory(dir, error)) return Fail("other: " + error);
  Record("other-panel dir=" + Quote(other_.directory()) + " items=" + std::to_string(other_.list().items().size()));
  return true;
}

bool Host::ListOther() {
  std::string error;
  other_.SetDirectory(other_.directory(), error);  // a real directory may have changed
  Record("other-panel dir=" + Quote(other_.directory()) + " items=" + std::to_string(other_.list().items().size()));
  const auto& items = other_.list().items();
  for (std::size_t i = 0; i < items.size(); ++i)
    Record(items[i].Record(static_cast<int>(i), static_cast<int>(i) == other_.list().current()));
  return true;
}

bool Host::LoadLanguage(const std::string& path) {
  std::ifstream in(path);
  if (!in) return Fail("lang: cannot read " + Quote(path));
  std::vector<std::string> msgs;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.size() >= 2 && line.front() == '"' && line.back() == '"') msgs.push_back(line.substr(1, line.size() - 2));
  }
  language_ = std::move(msgs);
  Record("lang " + Quote(path) + " messages=" + std::to_string(language_.size()));
  return true;
}

}  // namespace hostsim
