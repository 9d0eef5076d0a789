// services.cpp — C trampolines from the startup record's slots to the Host.
#include "services.h"

#if defined(_WIN32)
#include "win32_process.h"
#else
#include <fnmatch.h>
#endif

#include <cstring>
#include <string>

#include "host.h"

namespace hostsim {
namespace {

// A module may call in after its Host is gone (from a static destructor,
// say); then every service fails as a cancelled or failed call does.
Host* H() { return Host::Active(); }

int Menu(far::INT_PTR pn, int x, int y, int maxHeight, far::DWORD flags, const char* title, const char* bottom,
         const char* help, const int* breakKeys, int* breakCode, const far::FarMenuItem* items, int count) {
  return H() ? H()->SvcMenu(pn, x, y, maxHeight, flags, title, bottom, help, breakKeys, breakCode, items, count) : -1;
}

int Dialog(far::INT_PTR pn, int x1, int y1, int x2, int y2, const char* help, far::FarDialogItem* items,
           int count) {
  return H() ? H()->SvcDialog(pn, x1, y1, x2, y2, help, items, count, 0, nullptr, 0, false) : -1;
}

int DialogEx(far::INT_PTR pn, int x1, int y1, int x2, int y2, const char* help, far::FarDialogItem* items,
             int count, far::DWORD, far::DWORD flags, far::FARWINDOWPROC proc, far::LONG_PTR param) {
  return H() ? H()->SvcDialog(pn, x1, y1, x2, y2, help, items, count, flags, proc, param, true) : -1;
}

int Message(far::INT_PTR pn, far::DWORD flags, const char* help, const char* const* items, int count,
            int buttons) {
  return H() ? H()->SvcMessage(pn, flags, help, items, count, buttons) : -1;
}

const char* GetMsg(far::INT_PTR pn, int id) { return H() ? H()->SvcGetMsg(pn, id) : ""; }

int Control(far::HANDLE plugin, int command, void* param) { return H() ? H()->SvcControl(plugin, command, param) : 0; }

far::HANDLE SaveScreen(int x1, int y1, int x2, int y2) { return H() ? H()->SvcSaveScreen(x1, y1, x2, y2) : nullptr; }

void RestoreScreen(far::HANDLE screen) { if (H()) H()->SvcRestoreScreen(screen); }

int GetDirList(const char*, far::PluginPanelItem** items, int* count) {
  if (items) *items = nullptr;
  if (count) *count = 0;
  if (H()) H()->SvcUnsupported("GetDirList");
  return 0;
}

int GetPluginDirList(far::INT_PTR, far::HANDLE, const char*, far::PluginPanelItem** items, int* count) {
  if (items) *items = nullptr;
  if (count) *count = 0;
  if (H()) H()->SvcUnsupported("GetPluginDirList");
  return 0;
}

void FreeDirList(const far::PluginPanelItem*) {}

int Viewer(const char* file, const char* title, int x1, int y1, int x2, int y2, far::DWORD flags) {
  return H() ? H()->SvcViewer(file, title, x1, y1, x2, y2, flags) : 0;
}

int Editor(const char* file, const char* title, int x1, int y1, int x2, int y2, far::DWORD flags, int line,
           int col) {
  return H() ? H()->SvcEditor(file, title, x1, y1, x2, y2, flags, line, col) : 0;
}

int CmpName(const char* pattern, const char* text, int skipPath) {
  if (!pattern || !text) return 0;
#if defined(_WIN32)
  if (skipPath) {
    const char* slash = std::strrchr(text, '\\');
    if (slash) text = slash + 1;
  }
  return MatchesFileMask(pattern, text) ? 1 : 0;
#else
  if (skipPath) {
    const char* slash = std::strrchr(text, '/');
    if (slash) text = slash + 1;
  }
  return fnmatch(pattern, text, 0) == 0;
#endif
}

int CharTable(int, char*, int) { return -1; }  // no OEM tables on far2l

void Text(int x, int y, int color, const char* text) { if (H()) H()->SvcText(x, y, color, text); }

int EditorControl(int, void*) {
  if (H()) H()->SvcUnsupported("EditorControl");
  return 0;
}

far::BOOL ShowHelp(const char* module, const char* topic, far::DWORD flags) {
  return H() ? H()->SvcShowHelp(module, topic, flags) : 0;
}

far::INT_PTR AdvControl(far::INT_PTR pn, int command, void* param) { return H() ? H()->SvcAdvControl(pn, command, param) : 0; }

int InputBox(const char* title, const char* prompt, const char* history, const char* src, char* dest,
             int destLength, const char* help, far::DWORD flags) {
  return H() ? H()->SvcInputBox(title, prompt, history, src, dest, destLength, help, flags) : 0;
}

far::LONG_PTR SendDlgMessage(far::HANDLE dlg, int msg, int p1, far::LONG_PTR p2) {
  return H() ? H()->SvcSendDlgMessage(dlg, msg, p1, p2) : 0;
}

far::LONG_PTR DefDlgProc(far::HANDLE, int msg, int, far::LONG_PTR) {
  return msg == 1 /* DN_CLOSE: allow */ ? 1 : 0;
}

int Execute(const char* command, unsigned int flags) { return H() ? H()->SvcExecute(command, flags) : -1; }

int ViewerControl(int, void*) {
  if (H()) H()->SvcUnsupported("ViewerControl");
  return 0;
}

}  // namespace

int ColorDialogService(int, std::uint64_t*) {
  if (H()) H()->SvcUnsupported("ColorDialog");
  return 0;
}

void FillServices(far::PluginStartupInfo& info, far::FarStandardFunctions* fsf) {
  info.Menu = Menu;
  info.Dialog = Dialog;
  info.Message = Message;
  info.GetMsg = GetMsg;
  info.Control = Control;
  info.SaveScreen = SaveScreen;
  info.RestoreScreen = RestoreScreen;
  info.GetDirList = GetDirList;
  info.GetPluginDirList = GetPluginDirList;
  info.FreeDirList = FreeDirList;
  info.Viewer = Viewer;
  info.Editor = Editor;
  info.CmpName = CmpName;
  info.CharTable = CharTable;
  info.Text = Text;
  info.EditorControl = EditorControl;
  info.FSF = fsf;
  // far2l's Execute: slot 56 of its standard functions, at 4 + 8 x 56.
  far::FARSTDEXECUTE execute = Execute;
  std::memcpy(reinterpret_cast<unsigned char*>(fsf) + 4 + 8 * 56, &execute, sizeof execute);
  info.ShowHelp = ShowHelp;
  info.AdvControl = AdvControl;
  info.InputBox = InputBox;
  info.DialogEx = DialogEx;
  info.SendDlgMessage = SendDlgMessage;
  info.DefDlgProc = DefDlgProc;
  info.ViewerControl = ViewerControl;
}

}  // namespace hostsim

#if defined(QUARRY_HOST_FAR2L)
// far2l exports its console input to plugins from the executable; so does
// quarry-host (the link exports exactly these two names).
extern "C" __attribute__((visibility("default"))) int WINPORT_PeekConsoleInput(void*, void* records, unsigned count,
                                                                              unsigned* read) {
  hostsim::Host* h = hostsim::Host::Active();
  if (read) *read = 0;
  return h && count > 0 && read ? h->SvcConsoleInput(false, static_cast<unsigned char*>(records), read) : 0;
}

extern "C" __attribute__((visibility("default"))) int WINPORT_ReadConsoleInput(void*, void* records, unsigned count,
                                                                              unsigned* read) {
  hostsim::Host* h = hostsim::Host::Active();
  if (read) *read = 0;
  return h && count > 0 && read ? h->SvcConsoleInput(true, static_cast<unsigned char*>(records), read) : 0;
}
#endif
