// host.cpp — the Host's life cycle: loading a module and handing it the
// startup record, the menus, opening and closing the panel, Configure, the
// passive panel and language files.  Panel reading and navigation live in
// host_panel.cpp, keys and the command line in host_keys.cpp.
#include "host.h"

#include "host_files.h"
#include "services.h"
#if defined(QUARRY_HOST_WIN32)
#include "win32_process.h"
#endif

#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <ostream>

namespace hostsim {
namespace {

Host* g_active = nullptr;

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
#if defined(QUARRY_HOST_WIN32)
  // FAR 1.70: one record layout, and the plugins' registry root.
  info.StructSize = static_cast<int>(sizeof info);
  info.RootKey = PluginsRootKey();
  record.assign(sizeof info, 0);
  std::memcpy(record.data(), &info, sizeof info);
#else

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
#endif
}

bool Host::Load(const std::string& path) {
  if (open_) Close();
  if (open_) return Fail("load: the open panel refused to close");
  std::string error;
  if (!module_.Load(path, error)) return Fail("load " + Quote(path) + ": " + error);
#if defined(QUARRY_HOST_FAR2L)
  if (options_.startupSize != 4316 && options_.startupSize != 4324) {
    module_.Unload();
    return Fail("load: startup record size must be 4316 or 4324");
  }
#endif
  BuildStartupRecord(startup_);
  Record("load " + Quote(module_.path()) + " startup-size=" + std::to_string(startup_.size()));
  NoteCall("SetStartupInfo");
  auto* record = reinterpret_cast<const far::PluginStartupInfo*>(startup_.data());
  Guarded("SetStartupInfo", [&] { module_.exports().SetStartupInfo(record); });
  // The plugin must have taken a copy: the host's record is a temporary.
  std::fill(startup_.begin(), startup_.end(), 0xEE);
  std::fill(fsf_.begin(), fsf_.end(), 0xEE);  // and so is the standard-function table
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
  menus_.prefix = OptionalText(info.CommandPrefix);
  auto copyList = [](const char* const* list, int n, std::vector<std::string>& out) {
    for (int i = 0; list && i < n; ++i) out.push_back(list[i] ? list[i] : "");
  };
  copyList(info.DiskMenuStrings, info.DiskMenuStringsNumber, menus_.disk);
  copyList(info.PluginMenuStrings, info.PluginMenuStringsNumber, menus_.menu);
  copyList(info.PluginConfigStrings, info.PluginConfigStringsNumber, menus_.config);
  Record("plugin size=" + std::to_string(info.StructSize) + " flags=" + Hex(info.Flags) +
         " disk=" + std::to_string(info.DiskMenuStringsNumber) +
         " menu=" + std::to_string(info.PluginMenuStringsNumber) +
         " config=" + std::to_string(info.PluginConfigStringsNumber) + " prefix=" + QuoteOrDash(menus_.prefix) +
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

void Host::CloseBetweenScripts() {
  if (open_) ClosePanel("script end");
  answers().Clear();
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

bool Host::Quit() {
  if (!RequireModule("quit")) return false;
  if (open_) {
    // As far2l's exit: each plugin panel may refuse, and then the host stays.
    NoteCall("ProcessEvent FE_CLOSE");
    int refused = Guarded("ProcessEvent", [&] { return module_.exports().ProcessEvent(handle_, far::FE_CLOSE, nullptr); });
    if (refused) {
      Record("quit -> refused");
      return Finish(true);
    }
    ClosePanel("quit");
  }
  Record("quit -> ok");
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

bool Host::ShowFile(const std::string& path) {
  std::string full = !path.empty() && path[0] == '/' ? path : other_.directory() + "/" + path;
  // A pattern names the one file that matches it (a temporary file's
  // random name, say).
  const std::size_t slash = full.rfind('/');
  const std::string dir = full.substr(0, slash), pattern = full.substr(slash + 1);
  if (pattern.find_first_of("*?") != std::string::npos) {
    const std::vector<std::string> matches = HostMatchFiles(dir.empty() ? "/" : dir, pattern);
    if (matches.size() != 1)
      return Fail("show-file: " + std::to_string(matches.size()) + " files match " + Quote(full));
    full = dir + "/" + matches.front();
  }
  std::ifstream in(full, std::ios::binary);
  if (!in) return Fail("show-file: cannot read " + Quote(full));
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  Record("file " + Quote(full) + " bytes=" + std::to_string(text.size()));
  std::size_t start = 0;
  while (start < text.size()) {
    auto nl = text.find('\n', start);
    std::size_t end = nl == std::string::npos ? text.size() : nl;
    Record("file-text " + Quote(text.substr(start, end - start)));
    start = end + 1;
  }
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
