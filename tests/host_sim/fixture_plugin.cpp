// fixture_plugin.cpp — a small plugin module for testing the host stand-in.
//
// It lists a fixed tree of directories and files, calls every host service
// the stand-in implements from its keys, and keeps a log of what the host
// did to it (FixtureEvents), so tests can check the host's side of each
// exchange: double key delivery, FreeFindData pairing, SetDirectory order.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "host/far_abi.h"

using namespace far;

namespace {

struct Entry {
  std::string name;
  bool dir;
  std::uint64_t size;
  const char* descr;
  const char* owner;
  std::vector<const char*> columns;
};

// Directory path ("" = root, "\alpha", "\alpha\inner") -> its entries.
std::map<std::string, std::vector<Entry>> InitialTree() {
  return {
    {"",
     {{"zeta.txt", false, 10, nullptr, nullptr, {}},
      {"Gamma", true, 0, nullptr, nullptr, {}},
      {"b.txt", false, 3, "bee", "scott", {"one", "two"}},
      {"alpha", true, 0, "first dir", nullptr, {}},
      {"Beta", true, 0, nullptr, nullptr, {}}}},
    {"/alpha", {{"inner", true, 0, nullptr, nullptr, {}}, {"a1.txt", false, 1, nullptr, nullptr, {}}}},
    {"/alpha/inner", {{"deep.txt", false, 4, nullptr, nullptr, {}}}},
    // This directory lists its own "..": the host must not add a second one.
    {"/Beta", {{"..", true, 0, nullptr, nullptr, {}}, {"b1.txt", false, 2, nullptr, nullptr, {}}}},
    {"/Gamma", {}},
  };
}

std::map<std::string, std::vector<Entry>> g_tree = InitialTree();

PluginStartupInfo g_info;
StartupTail g_tail;
std::string g_log;
struct Outstanding {
  PluginPanelItem* items;
  int count;
};
std::vector<Outstanding> g_arrays;
bool g_refuseClose = false;
int g_closeTries = 0;

struct Panel {
  std::string dir;
  std::string title;
  InfoPanelLine lines[3];
  PanelMode modes[10];
  KeyBarTitles keyBar;
};

void Log(const std::string& line) { g_log += line + "\n"; }

std::string Fmt(const char* fmt, long long a, long long b = 0) {
  char buf[128];
  std::snprintf(buf, sizeof buf, fmt, a, b);
  return buf;
}

int Say(const char* title, const std::vector<std::string>& lines, const std::vector<const char*>& buttons) {
  std::vector<const char*> items{title};
  for (const auto& l : lines) items.push_back(l.c_str());
  for (auto* b : buttons) items.push_back(b);
  return g_info.Message(g_info.ModuleNumber, 0, nullptr, items.data(), static_cast<int>(items.size()),
                        static_cast<int>(buttons.size()));
}

std::string TempFile(const std::string& content) {
  char path[] = "/tmp/hostsim-fixture-XXXXXX";
  int fd = mkstemp(path);
  if (fd < 0) return "";
  if (write(fd, content.data(), content.size()) != static_cast<ssize_t>(content.size())) Log("short write");
  close(fd);
  return path;
}

std::string ReadAll(const std::string& path) {
  std::ifstream in(path);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void SetItem(FarDialogItem& item, int type, const char* text) {
  std::memset(&item, 0, sizeof item);
  item.Type = type;
  std::strncpy(item.Data.Data, text, sizeof item.Data.Data - 1);
}

LONG_PTR LogonProc(HANDLE dlg, int msg, int p1, LONG_PTR p2) {
  if (msg == 0x100C) Log("dlgproc init");
  if (msg == 1 && p1 >= 0) {
    char user[512] = {};
    g_tail.SendDlgMessage(dlg, 21 /* DM_GETTEXTPTR */, 2, reinterpret_cast<LONG_PTR>(user));
    Log("dlgproc close " + std::to_string(p1) + " user=" + user);
    // The first OK is refused: the user has to try again.
    if (++g_closeTries == 1) return 0;
  }
  return g_tail.DefDlgProc(dlg, msg, p1, p2);
}

Panel* Current(HANDLE h) { return static_cast<Panel*>(h); }

std::string CurrentName(HANDLE h) {
  PanelInfo pi;
  if (!g_info.Control(h, FCTL_GETPANELINFO, &pi) || pi.ItemsNumber == 0) return "";
  return pi.PanelItems[pi.CurrentItem].FindData.cFileName;
}

// One function per key family keeps ProcessKey a plain table.
int ShowPanelInfo(HANDLE h) {
  PanelInfo pi;
  std::memset(&pi, 0, sizeof pi);
  g_info.Control(h, FCTL_GETPANELINFO, &pi);
  std::string selected;
  for (int i = 0; i < pi.SelectedItemsNumber; ++i) selected += std::string(" ") + pi.SelectedItems[i].FindData.cFileName;
  std::string flags;
  for (int i = 0; i < pi.ItemsNumber; ++i)
    if (pi.PanelItems[i].Flags & PPIF_SELECTED) flags += std::string(" ") + pi.PanelItems[i].FindData.cFileName;
  std::string cols;
  for (int i = 0; i < pi.ItemsNumber; ++i)
    if (pi.PanelItems[i].CustomColumnNumber > 0)
      cols += std::string(pi.PanelItems[i].FindData.cFileName) + ":" + pi.PanelItems[i].CustomColumnData[1];
  Say("Panel",
      {"current " + std::to_string(pi.CurrentItem) + " " + pi.PanelItems[pi.CurrentItem].FindData.cFileName,
       "selected " + std::to_string(pi.SelectedItemsNumber) + selected, "flagged" + flags,
       "items " + std::to_string(pi.ItemsNumber), std::string("curdir ") + pi.CurDir,
       "mode " + std::to_string(pi.ViewMode) + " " + pi.ColumnTypes, "plugin " + std::to_string(pi.Plugin),
       "columns " + cols},
      {"Ok"});
  return 1;
}

int EditSomething() {
  std::string file = TempFile("old text\n");
  int eec = g_info.Editor(file.c_str(), "Edit it", 0, 0, -1, -1, 0, 2, 1);
  std::string now = ReadAll(file);
  unlink(file.c_str());
  Say("Edited", {"result " + std::to_string(eec), now}, {"Ok"});
  return 1;
}

int AskName() {
  char buf[65] = {};
  int ok = g_info.InputBox("Create", "Name:", "fixture.hist", "default", buf, 64, nullptr, 0);
  Say("Input", {ok ? std::string("got ") + buf : std::string("cancelled")}, {"Ok"});
  return 1;
}

int LogonDialog(bool extended) {
  FarDialogItem items[8];
  SetItem(items[0], DI_DOUBLEBOX, "Logon");
  SetItem(items[1], DI_TEXT, "&User name:");
  SetItem(items[2], DI_EDIT, "");
  items[2].Flags = DIF_HISTORY;
  items[2].Param.History = "user.hist";
  items[2].Focus = 1;
  SetItem(items[3], DI_TEXT, "Password:");
  SetItem(items[4], DI_PSWEDIT, "");
  SetItem(items[5], DI_CHECKBOX, "&Save password");
  SetItem(items[6], DI_BUTTON, "&OK");
  items[6].DefaultButton = 1;
  SetItem(items[7], DI_BUTTON, "Cancel");
  int r = extended ? g_tail.DialogEx(g_info.ModuleNumber, -1, -1, 60, 10, "Logon", items, 8, 0, 0, LogonProc, 0)
                   : g_info.Dialog(g_info.ModuleNumber, -1, -1, 60, 10, "Logon", items, 8);
  Say("Dialog",
      {"exit " + std::to_string(r) + " user=" + items[2].Data.Data + " pass=" + items[4].Data.Data +
       " save=" + std::to_string(items[5].Param.Selected)},
      {"Ok"});
  return 1;
}

int AskDelete() {
  const char* items[] = {"Delete", "Delete it?", "&Yes", "&No"};
  int r = g_info.Message(g_info.ModuleNumber, FMSG_WARNING, "Delete", items, 4, 2);
  Log("delete answer " + std::to_string(r));
  if (r == 0) Say("Deleting", {"deleted"}, {});
  return 1;
}

int ChooseFromMenu() {
  FarMenuItem items[4];
  std::memset(items, 0, sizeof items);
  std::strcpy(items[0].Text, "First");
  std::strcpy(items[1].Text, "&Second");
  items[1].Selected = 1;
  items[2].Separator = 1;
  std::strcpy(items[3].Text, "Third");
  int breakKeys[] = {VK_F4, VK_DELETE | static_cast<int>(PKF_SHIFT << 16), 0};
  int breakCode = -2;
  int r = g_info.Menu(g_info.ModuleNumber, -1, -1, 0, FMENU_WRAPMODE | FMENU_AUTOHIGHLIGHT, "Pick", "Bottom", "Menu",
                      breakKeys, &breakCode, items, 4);
  Say("Menu", {"chose " + std::to_string(r) + " break " + std::to_string(breakCode)}, {"Ok"});
  return 1;
}

int AddItemAndUpdate(HANDLE h) {
  g_tree[Current(h)->dir].push_back({"new.txt", false, 7, nullptr, nullptr, {}});
  g_info.Control(h, FCTL_UPDATEPANEL, reinterpret_cast<void*>(1));
  PanelRedrawInfo ri{0, 0};
  g_info.Control(h, FCTL_REDRAWPANEL, &ri);
  return 1;
}

int CommandLineKeys(HANDLE h) {
  char buf[1024] = {};
  g_info.Control(h, FCTL_GETCMDLINE, buf);
  g_info.Control(h, FCTL_SETCMDLINE, const_cast<char*>("replaced"));
  g_info.Control(h, FCTL_INSERTCMDLINE, const_cast<char*>(" more"));
  Say("Cmdline", {std::string("was ") + buf}, {"Ok"});
  return 1;
}

int OtherPanel(HANDLE h) {
  PanelInfo pi;
  g_info.Control(h, FCTL_GETANOTHERPANELINFO, &pi);
  Say("Other", {std::string("dir ") + pi.CurDir, "items " + std::to_string(pi.ItemsNumber), "plugin " + std::to_string(pi.Plugin)},
      {"Ok"});
  return 1;
}

int ScreenWork() {
  HANDLE s = g_info.SaveScreen(0, 0, -1, -1);
  g_info.Text(1, 2, 0x1F, "progress");
  g_info.Text(0, 0, 0, nullptr);
  g_info.RestoreScreen(s);
  return 1;
}

int Versions() {
  INT_PTR v = g_info.AdvControl(g_info.ModuleNumber, 0, nullptr);
  Say("Version", {Fmt("0x%08llx", v), g_info.GetMsg(g_info.ModuleNumber, 5)}, {"Ok"});
  return 1;
}

// The fixture tree from the panel's directory; null when it does not exist.
std::vector<Entry>* Listing(const std::string& dir) {
  auto it = g_tree.find(dir);
  return it == g_tree.end() ? nullptr : &it->second;
}

}  // namespace

extern "C" {

FAREXPORT const char* FixtureEvents() { return g_log.c_str(); }
// The module may stay loaded between tests (dlclose need not unload it),
// so tests reset its state before loading it again.
FAREXPORT void FixtureReset() {
  g_log.clear();
  g_tree = InitialTree();
  g_refuseClose = false;
  g_closeTries = 0;
}

FAREXPORT void SetStartupInfo(const PluginStartupInfo* info) {
  std::memset(&g_info, 0, sizeof g_info);
  std::memcpy(&g_info, info, std::min<std::size_t>(sizeof g_info, static_cast<std::size_t>(info->StructSize)));
  g_tail = ReadStartupTail(info);
  Log("startup size=" + std::to_string(info->StructSize) + " module=" + info->ModuleName + " rootkey=[" +
      (info->RootKey ? info->RootKey : "NULL") + "] number=" + (info->ModuleNumber ? "set" : "null") +
      " dialogex=" + (g_tail.DialogEx ? "set" : "null") + " fsf=" + std::to_string(info->FSF ? info->FSF->StructSize : 0));
}

FAREXPORT void GetPluginInfo(PluginInfo* info) {
  static const char* disk[] = {"Fixture disk"};
  static int numbers[] = {5};
  static const char* menu[] = {"Fixture"};
  static const char* config[] = {"Fixture config"};
  info->StructSize = sizeof *info;
  info->DiskMenuStrings = disk;
  info->DiskMenuNumbers = numbers;
  info->DiskMenuStringsNumber = 1;
  info->PluginMenuStrings = menu;
  info->PluginMenuStringsNumber = 1;
  info->PluginConfigStrings = config;
  info->PluginConfigStringsNumber = 1;
  info->CommandPrefix = "fx";
}

FAREXPORT HANDLE OpenPlugin(int from, INT_PTR item) {
  if (from == OPEN_COMMANDLINE) {
    std::string text = reinterpret_cast<const char*>(item);
    Log("open cmdline " + text);
    if (text == "fail") return InvalidHandle();
  } else {
    Log("open " + std::to_string(from) + " " + std::to_string(item));
  }
  return new Panel();
}

FAREXPORT void ClosePlugin(HANDLE h) {
  Log("close");
  delete Current(h);
}

FAREXPORT int GetFindData(HANDLE h, PluginPanelItem** items, int* count, int opMode) {
  auto* entries = Listing(Current(h)->dir);
  if (!entries) return 0;
  int n = static_cast<int>(entries->size());
  auto* array = static_cast<PluginPanelItem*>(std::calloc(static_cast<std::size_t>(n) + 1, sizeof(PluginPanelItem)));
  for (int i = 0; i < n; ++i) {
    const Entry& e = (*entries)[static_cast<std::size_t>(i)];
    std::strncpy(array[i].FindData.cFileName, e.name.c_str(), sizeof array[i].FindData.cFileName - 1);
    array[i].FindData.dwFileAttributes = e.dir ? FILE_ATTRIBUTE_DIRECTORY : 0;
    SetItemFileSize(array[i], e.size);
    array[i].FindData.ftLastWriteTime = {0x17BA6000u, 0x01DA9BBFu};  // 2024-05-01T12:00:00Z
    array[i].Description = const_cast<char*>(e.descr);
    array[i].Owner = const_cast<char*>(e.owner);
    if (!e.columns.empty()) {
      array[i].CustomColumnData = new char*[e.columns.size()];
      for (std::size_t k = 0; k < e.columns.size(); ++k) array[i].CustomColumnData[k] = const_cast<char*>(e.columns[k]);
      array[i].CustomColumnNumber = static_cast<int>(e.columns.size());
    }
  }
  *items = array;
  *count = n;
  g_arrays.push_back({array, n});
  Log("getfind " + std::to_string(n) + " opmode=" + std::to_string(opMode));
  return 1;
}

FAREXPORT void FreeFindData(HANDLE, PluginPanelItem* items, int count) {
  for (auto it = g_arrays.begin(); it != g_arrays.end(); ++it) {
    if (it->items == items && it->count == count) {
      g_arrays.erase(it);
      for (int i = 0; i < count; ++i) delete[] items[i].CustomColumnData;
      std::free(items);
      Log("free ok " + std::to_string(count));
      return;
    }
  }
  Log("free MISMATCH " + std::to_string(count));
}

FAREXPORT int SetDirectory(HANDLE h, const char* dir, int) {
  Panel* p = Current(h);
  std::string name = dir;
  Log("setdir " + name);
  if (name == "..") {
    if (p->dir.empty()) return 0;
    p->dir.erase(p->dir.rfind('/'));
    return 1;
  }
  if (name == "\\" || name == "/") {
    p->dir.clear();
    return 1;
  }
  // Paths as a far2l plugin keeps them: the host splits them at '/'.
  std::string target = p->dir + "/" + name;
  if (!Listing(target)) return 0;
  p->dir = target;
  return 1;
}

FAREXPORT void GetOpenPluginInfo(HANDLE h, OpenPluginInfo* info) {
  Panel* p = Current(h);
  static const char* titles3[] = {"Name", "First", "Second"};
  p->title = " Fixture " + p->dir + " ";
  std::memset(p->lines, 0, sizeof p->lines);
  std::strcpy(p->lines[0].Text, "Directory");
  std::strncpy(p->lines[0].Data, p->dir.c_str(), 79);
  std::strcpy(p->lines[1].Text, "Counts");
  p->lines[1].Separator = 1;
  std::strcpy(p->lines[2].Text, "Items");
  auto* entries = Listing(p->dir);
  std::snprintf(p->lines[2].Data, 80, "%d", entries ? static_cast<int>(entries->size()) : -1);
  std::memset(p->modes, 0, sizeof p->modes);
  p->modes[3].ColumnTypes = const_cast<char*>("N,C0,C1");
  p->modes[3].ColumnWidths = const_cast<char*>("0,8,8");
  p->modes[3].ColumnTitles = const_cast<char**>(titles3);
  std::memset(&p->keyBar, 0, sizeof p->keyBar);
  p->keyBar.Titles[2] = const_cast<char*>("View");
  p->keyBar.ShiftTitles[3] = const_cast<char*>("Create");
  p->keyBar.CtrlAltTitles[0] = const_cast<char*>("Deep");
  p->keyBar.AltTitles[5] = const_cast<char*>("");
  info->StructSize = kOpenPluginInfoSize;
  info->Flags = OPIF_ADDDOTS | OPIF_USEHIGHLIGHTING;
  info->CurDir = p->dir.c_str();
  info->PanelTitle = p->title.c_str();
  info->InfoLines = p->lines;
  info->InfoLinesNumber = 3;
  info->PanelModesArray = p->modes;
  info->PanelModesNumber = 10;
  info->StartPanelMode = 3;
  info->KeyBar = &p->keyBar;
}

FAREXPORT int ProcessKey(HANDLE h, int key, unsigned int state) {
  Log(Fmt("key 0x%llx 0x%llx", key, state));
  if (key & PKF_PREPROCESS) return (key & ~PKF_PREPROCESS) == VK_F6 && state == 0 ? 1 : 0;  // F6 is taken early
  if (state == 0 && key == VK_RETURN && CurrentName(h) == "Gamma") {
    Say("Fixture", {"Gamma is private"}, {"Ok"});
    return 1;
  }
  if (state == 0) {
    switch (key) {
      case VK_F1: g_info.ShowHelp(g_info.ModuleName, "Contents", FHELP_CUSTOMFILE | FHELP_USECONTENTS); return 1;
      case VK_F2: return ChooseFromMenu();
      case VK_F3: {
        std::string file = TempFile("hello\nworld\n");
        g_info.Viewer(file.c_str(), "View it", 0, 0, -1, -1, VF_NONMODAL | VF_DELETEONCLOSE);
        Log(std::string("viewer file ") + (access(file.c_str(), F_OK) == 0 ? "kept" : "deleted"));
        return 1;
      }
      case VK_F4: return EditSomething();
      case VK_F5: return AddItemAndUpdate(h);
      case VK_F6: Log("F6 plain"); return 1;
      case VK_F7: return LogonDialog(false);
      case VK_F8: return AskDelete();
      case VK_F9: return g_info.Control(h, FCTL_SETANOTHERPANELDIR, const_cast<char*>("/"));
      case VK_F10: return Versions();
      default: break;
    }
  }
  if (state == PKF_SHIFT && key == VK_F4) return AskName();
  if (state == PKF_SHIFT && key == VK_F3) return ScreenWork();
  if (state == PKF_SHIFT && key == VK_F8) return g_info.Control(h, FCTL_CLOSEPLUGIN, nullptr);
  if (state == PKF_CONTROL && key == 'Z') return ShowPanelInfo(h);
  if (state == PKF_CONTROL && key == 'G') return CommandLineKeys(h);
  if (state == PKF_CONTROL && key == VK_F7) return LogonDialog(true);
  if (state == PKF_CONTROL && key == VK_F8) return g_refuseClose = !g_refuseClose, 1;
  if (state == PKF_CONTROL && key == VK_F10) {
    PanelRedrawInfo ri{3, 0};
    return g_info.Control(h, FCTL_REDRAWPANEL, &ri);
  }
  if (state == PKF_ALT && key == VK_F3) return OtherPanel(h);
  if (state == PKF_ALT && key == VK_F5) {
    // The directory vanishes: the re-read fails while this call still runs.
    g_tree.erase(Current(h)->dir);
    g_info.Control(h, FCTL_UPDATEPANEL, nullptr);
    Log("after update " + Current(h)->dir);
    return 1;
  }
  if (state == PKF_ALT && key == VK_F4) {
    // The crash test: a wild (not null, so no sanitizer steps in first) write.
    volatile std::uintptr_t nowhere = 16;
    *reinterpret_cast<volatile int*>(nowhere) = 1;
  }
  if (state == PKF_ALT && key == VK_F6) throw std::runtime_error("escaping");
  return 0;
}

FAREXPORT int ProcessEvent(HANDLE h, int event, void* param) {
  Log("event " + std::to_string(event) + (event == FE_COMMAND || event == FE_CHANGEVIEWMODE
                                              ? std::string(" ") + static_cast<const char*>(param)
                                              : std::string()));
  if (event == FE_CLOSE) return g_refuseClose ? 1 : 0;
  if (event == FE_COMMAND && std::strncmp(static_cast<const char*>(param), "fx ", 3) == 0) {
    char buf[1024] = {};
    g_info.Control(h, FCTL_GETCMDLINE, buf);
    Say("Command", {static_cast<const char*>(param), std::string("line ") + buf}, {"Ok"});
    g_info.Control(h, FCTL_SETCMDLINE, const_cast<char*>(""));
    return 1;
  }
  return 0;
}

FAREXPORT int Configure(int item) {
  FarDialogItem items[5];
  SetItem(items[0], DI_DOUBLEBOX, "Fixture settings");
  SetItem(items[1], DI_CHECKBOX, "Add to &disk menu");
  items[1].Param.Selected = 1;
  SetItem(items[2], DI_FIXEDIT, "0");  // a short field in front of its label
  SetItem(items[3], DI_TEXT, "Disk &number");
  SetItem(items[4], DI_BUTTON, "OK");
  int r = g_info.Dialog(g_info.ModuleNumber, -1, -1, 40, 6, "Config", items, 5);
  Log("configure " + std::to_string(item) + " exit " + std::to_string(r) + " disk=" +
      std::to_string(items[1].Param.Selected) + " number=" + items[2].Data.Data);
  return r == 4;
}

}  // extern "C"
