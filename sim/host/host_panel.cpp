// host_panel.cpp — the plugin panel as the host keeps it: reading the
// plugin's panel record and items (always pairing GetFindData with
// FreeFindData), printing them, changing directory with the host's cursor
// placement, cursor, selection, view modes, redraw and update.
#include <cstring>

#include "host.h"

namespace hostsim {
namespace {

const char* const kRowNames[7] = {"", "Ctrl+", "Alt+", "Shift+", "Ctrl+Shift+", "Alt+Shift+", "Ctrl+Alt+"};

std::string FixedText(const char* field, std::size_t size, bool& terminated) {
  std::size_t n = strnlen(field, size);
  terminated = n < size;
  return std::string(field, n);
}

// Last component of a plugin path as far2l takes it (PointToName): split at
// '/' only, so a backslash path is one component as a whole.
std::string LastComponent(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  auto slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

void Host::ReadInfo() {
  // The host zeroes a record of its own (larger) layout before the call.
  alignas(8) unsigned char buffer[128] = {};
  auto* info = reinterpret_cast<far::OpenPluginInfo*>(buffer);
  NoteCall("GetOpenPluginInfo");
  Guarded("GetOpenPluginInfo", [&] { module_.exports().GetOpenPluginInfo(handle_, info); });
  PanelSnapshot s;
  s.structSize = info->StructSize;
  s.flags = info->Flags;
  s.hostFile = OptionalText(info->HostFile);
  s.curDir = OptionalText(info->CurDir);
  s.format = OptionalText(info->Format);
  s.title = OptionalText(info->PanelTitle);
  s.shortcut = OptionalText(info->ShortcutData);
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
    mode.types = OptionalText(in.ColumnTypes);
    mode.widths = OptionalText(in.ColumnWidths);
    mode.statusTypes = OptionalText(in.StatusColumnTypes);
    mode.statusWidths = OptionalText(in.StatusColumnWidths);
    mode.fullScreen = in.FullScreen;
    mode.detailed = in.DetailedStatus;
    // The host counts the titles by the column types.
    if (in.ColumnTitles && in.ColumnTypes) {
      std::size_t n = 1;
      for (const char* p = in.ColumnTypes; *p; ++p) n += *p == ',';
      for (std::size_t k = 0; k < n; ++k) mode.titles.push_back(OptionalText(in.ColumnTitles[k]));
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
    copies.reserve(static_cast<std::size_t>(count) + 1);
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
  Record("panel dir=" + QuoteOrDash(snap_.curDir) + " title=" + QuoteOrDash(snap_.title) +
         " items=" + std::to_string(panel_.items().size()) + " selected=" + std::to_string(panel_.SelectedCount()) +
         " current=" + std::to_string(panel_.current()) + " " + (cur ? Quote(cur->name) : std::string("-")) +
         " mode=" + std::to_string(viewMode_) + " sort=" + std::to_string(sortMode_) + (sortReverse_ ? " reverse" : ""));
}

bool Host::List() {
  if (!RequirePanel("list")) return false;
  PrintPanelLine();
  if (const auto* mode = CurrentMode()) {
    std::string titles;
    for (const auto& t : mode->titles) titles += (titles.empty() ? "" : ",") + QuoteOrDash(t);
    Record("panel-columns mode=" + std::to_string(viewMode_) + " types=" + QuoteOrDash(mode->types) +
           " widths=" + QuoteOrDash(mode->widths) + " titles=[" + titles + "]");
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
         QuoteOrDash(s.hostFile) + " format=" + QuoteOrDash(s.format) + " shortcut=" + QuoteOrDash(s.shortcut));
  Record("title " + QuoteOrDash(s.title));
  Record("curdir " + QuoteOrDash(s.curDir));
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
    for (const auto& t : m.titles) titles += (titles.empty() ? "" : ",") + QuoteOrDash(t);
    Record("panel-mode " + std::to_string(i) + " types=" + QuoteOrDash(m.types) + " widths=" + QuoteOrDash(m.widths) +
           " titles=[" + titles + "] fullscreen=" + std::to_string(m.fullScreen) +
           " detailed=" + std::to_string(m.detailed) + " status-types=" + QuoteOrDash(m.statusTypes) +
           " status-widths=" + QuoteOrDash(m.statusWidths));
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
  // Going up puts the cursor on the directory we came from, found by the
  // last element of the plugin's directory before the change.
  if (name == ".." && !panel_.SetCurrentByName(LastComponent(from))) panel_.SetCurrent(0);
  Record("cd " + Quote(name) + " -> ok");
  // The host draws the changed panel, and every drawing offers the plugin
  // the redraw event first.
  SendRedrawEvent();
  PrintPanelLine();
  return true;
}

bool Host::SendRedrawEvent() {
  if (!open_) return false;
  // The plugin's own redraw request draws again and so sends the event
  // again; a plugin without a guard would never stop.
  if (redrawDepth_ >= kMaxRedrawDepth) {
    Record("error FE_REDRAW nested " + std::to_string(redrawDepth_) + " deep: the plugin keeps asking to redraw");
    serviceError_ = true;
    serviceErrorText_ = "redraw requests do not end";
    return true;
  }
  ++redrawDepth_;
  int taken = Guarded("ProcessEvent", [&] { return module_.exports().ProcessEvent(handle_, far::FE_REDRAW, nullptr); });
  --redrawDepth_;
  NoteCall("ProcessEvent FE_REDRAW -> " + std::to_string(taken));
  return taken != 0;
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

bool Host::Redraw() {
  if (!RequirePanel("redraw")) return false;
  bool taken = SendRedrawEvent();
  if (!taken && open_) ReadInfo();
  Record(std::string("redraw -> ") + (taken ? "plugin" : "host"));
  return Finish(true);
}

bool Host::Update() {
  if (!RequirePanel("update")) return false;
  if (Refresh(true)) PrintPanelLine();
  return Finish(true);
}
}  // namespace hostsim
