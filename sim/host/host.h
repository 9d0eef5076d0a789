// host.h — the host stand-in: plays far2l for one plugin module.
//
// A Host loads a module, hands it a startup record whose services are
// implemented here, and drives its exports the way far2l does: it keeps the
// plugin panel (items, cursor, selection, view mode), a passive file panel
// on a real directory and the command line, answers the plugin's messages,
// dialogs, menus, input boxes and editor sessions from queued answers, and
// writes everything the plugin shows to the transcript.
//
// The services are plain C functions without a context argument, so one
// Host at a time is "active" (the most recently constructed live one).
// Every public command returns false after writing an "error" record.
#pragma once

#include <deque>
#include <iosfwd>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "answers.h"
#include "host/far_abi.h"
#include "keys.h"
#include "panel_model.h"
#include "plugin_module.h"
#include "transcript.h"

namespace hostsim {

struct HostOptions {
  int startupSize = 4316;      // 4316: far2l up to 2.6; 4324: far2l 2.7+ (ColorDialog slot)
  bool preprocessKeys = true;  // far2l offers each key twice, first with PKF_PREPROCESS
  bool trace = false;          // "call" records for every export call and query services
  std::string otherPanel = "file";  // the other panel: "file", "plugin" or "hidden"
  int consoleEscAt = 0;        // Esc waits in the console input from the plugin's Nth look at it (0: never)
};

// What GetOpenPluginInfo last said, copied out of the plugin's record.
struct PanelSnapshot {
  struct Line {
    std::string text, data;
    bool separator = false;
  };
  struct Mode {
    std::optional<std::string> types, widths, statusTypes, statusWidths;
    std::vector<std::optional<std::string>> titles;
    int fullScreen = 0, detailed = 0;
  };
  int structSize = 0;
  far::DWORD flags = 0;
  std::optional<std::string> hostFile, curDir, format, title, shortcut;
  std::vector<Line> infoLines;
  std::vector<Mode> modes;
  int startMode = 0, sortMode = 0, sortOrder = 0;
  std::vector<std::pair<std::string, std::string>> keyBar;  // "Shift+F4", label
};

struct PluginMenus {
  far::DWORD flags = 0;
  std::vector<std::string> disk, menu, config;
  std::vector<int> diskNumbers;
  std::optional<std::string> prefix;
};

class Host {
 public:
  explicit Host(std::ostream* out, HostOptions options = {});
  ~Host();
  Host(const Host&) = delete;
  Host& operator=(const Host&) = delete;

  HostOptions& options() { return options_; }
  Transcript& transcript() { return transcript_; }
  Answers& answers() { return answers_; }

  // ---- commands (the script's verbs) ----
  bool Load(const std::string& path);
  bool ShowPluginInfo();
  bool Open(int openFrom = far::OPEN_PLUGINSMENU, int item = 0, const std::string& text = "");
  bool Close();                       // the user closes the panel (FE_CLOSE may refuse)
  bool Quit();                        // the user quits the host (FE_CLOSE may refuse)
  void CloseBetweenScripts();         // closes a panel a script left open (ClosePlugin, no question)
  bool List();
  bool Info();
  bool ChangeDirectory(const std::string& dir);
  bool PressKey(const std::string& keyName);
  bool MoveCursor(const std::string& name);
  bool MoveCursorTo(int index);
  bool Select(const std::vector<std::string>& names, bool on);
  bool SelectAll(bool on);
  bool Type(const std::string& text);
  bool RunCommandLine(const std::string& text);  // type it into an empty line, press Enter
  bool ShowCommandLine();
  bool Redraw();
  bool Update();                      // Ctrl+R
  bool Configure(int item = 0);
  bool SetOtherDirectory(const std::string& dir);
  bool ListOther();
  bool ShowFile(const std::string& path);  // relative paths: the passive panel's directory
  bool LoadLanguage(const std::string& path);

  // ---- state, for tests ----
  bool loaded() const { return module_.loaded(); }
  bool panelOpen() const { return open_; }
  const PanelList& panel() const { return panel_; }
  const PanelSnapshot& snapshot() const { return snap_; }
  const PluginMenus& menus() const { return menus_; }
  const std::string& commandLine() const { return cmdline_; }
  FilePanel& otherPanel() { return other_; }
  int viewMode() const { return viewMode_; }
  // The answer the last dialog titled `title` (its first item's text) took.
  std::optional<DialogAnswer> LastDialogAnswer(const std::string& title) const;
  // Export calls made so far ("ProcessKey 0x80072 0x0 -> 1"), trace or not.
  const std::vector<std::string>& calls() const { return calls_; }

  // ---- services (called by the plugin through the startup record) ----
  int SvcMenu(far::INT_PTR pn, int x, int y, int maxHeight, far::DWORD flags, const char* title,
              const char* bottom, const char* help, const int* breakKeys, int* breakCode,
              const far::FarMenuItem* items, int count);
  int SvcDialog(far::INT_PTR pn, int x1, int y1, int x2, int y2, const char* help,
                far::FarDialogItem* items, int count, far::DWORD flags, far::FARWINDOWPROC proc,
                far::LONG_PTR param, bool extended);
  int SvcMessage(far::INT_PTR pn, far::DWORD flags, const char* help, const char* const* items,
                 int count, int buttons);
  const char* SvcGetMsg(far::INT_PTR pn, int id);
  int SvcControl(far::HANDLE plugin, int command, void* param);
  far::HANDLE SvcSaveScreen(int x1, int y1, int x2, int y2);
  void SvcRestoreScreen(far::HANDLE screen);
  int SvcViewer(const char* file, const char* title, int x1, int y1, int x2, int y2, far::DWORD flags);
  int SvcEditor(const char* file, const char* title, int x1, int y1, int x2, int y2, far::DWORD flags,
                int line, int col);
  void SvcText(int x, int y, int color, const char* text);
  int SvcShowHelp(const char* module, const char* topic, far::DWORD flags);
  far::INT_PTR SvcAdvControl(far::INT_PTR pn, int command, void* param);
  int SvcInputBox(const char* title, const char* prompt, const char* history, const char* src,
                  char* dest, int destLength, const char* help, far::DWORD flags);
  far::LONG_PTR SvcSendDlgMessage(far::HANDLE dlg, int msg, int p1, far::LONG_PTR p2);
  // far2l's FSF Execute: recorded (command line, current directory, wait),
  // then run through /bin/sh with no input; its output is recorded too.
  int SvcExecute(const char* command, unsigned int flags);
  void SvcUnsupported(const char* service);

  // The console input far2l exports to plugins (WINPORT_PeekConsoleInput /
  // ReadConsoleInput): one record of WinPort's layout, or none.
  bool SvcConsoleInput(bool remove, unsigned char* record, unsigned* count);

  static Host* Active();

 private:
  struct DialogState {
    far::FarDialogItem* items;
    int count;
  };

  template <class F>
  auto Guarded(const char* name, F&& call);
  void Record(const std::string& line) { transcript_.Line(line); }
  [[noreturn]] void ExceptionEscaped(const char* exportName);
  void Trace(const std::string& line);
  void NoteCall(const std::string& line);
  bool Fail(const std::string& message);
  bool RequirePanel(const char* what);
  bool RequireModule(const char* what);
  bool Finish(bool ok);  // performs a close the plugin asked for; reports service errors
  void CheckPluginNumber(const char* service, far::INT_PTR pn);

  void BuildStartupRecord(std::vector<unsigned char>& record);
  void ReadInfo();
  bool ReadItems(bool keepSelection);
  bool Refresh(bool keepSelection);  // info, items, info
  void ClosePanel(const std::string& reason);
  void RequestClose(const std::string& reason);
  bool EnterDirectory(const std::string& name);
  // FE_REDRAW, as the host sends it before it draws the plugin panel; true
  // when the plugin drew the panel itself.
  bool SendRedrawEvent();
  bool HostKey(const KeyCode& key, std::string& outcome);
  bool ExecuteCommandLine(std::string& outcome);
  void SetViewMode(int mode);
  void PrintPanelLine();
  const PanelSnapshot::Mode* CurrentMode() const;
  void FillPanelInfo(far::PanelInfo& info, bool active);

  HostOptions options_;
  Transcript transcript_;
  Answers answers_;
  PluginModule module_;
  std::vector<unsigned char> startup_;
  std::vector<unsigned char> fsf_;

  far::HANDLE handle_ = nullptr;
  bool open_ = false;
  PanelList panel_;
  PanelSnapshot snap_;
  PluginMenus menus_;
  int viewMode_ = 2;
  int sortMode_ = kSortName;
  bool sortReverse_ = false;
  FilePanel other_;
  std::string cmdline_;
  ItemExport activeExport_, otherExport_;

  int depth_ = 0;             // export calls in progress
  static constexpr int kMaxRedrawDepth = 8;
  int redrawDepth_ = 0;       // FE_REDRAW events in progress
  bool pendingClose_ = false; // a close asked for during a plugin call
  std::string pendingCloseReason_;
  int consoleLooks_ = 0;       // the plugin's looks at the console input (peeks)
  bool consoleEscTaken_ = false;
  int consoleArmedFor_ = 0;     // the console-esc setting the looks count for
  bool serviceError_ = false; // a service met a script error (unknown button, ...)
  std::string serviceErrorText_;
  int nextScreen_ = 1;
  std::vector<long> screens_;
  std::vector<std::string> language_;
  std::map<int, std::string> generatedMsgs_;
  std::deque<DialogState> dialogs_;
  std::vector<std::string> calls_;
  std::map<std::string, DialogAnswer> lastDialogAnswers_;
  Host* previousActive_ = nullptr;
};

// Every call into the plugin: marks the export for the crash report and
// turns an escaping exception into a fatal error.
template <class F>
auto Host::Guarded(const char* name, F&& call) {
  CallGuard guard(name);
  ++depth_;
  struct Depth {
    int& d;
    ~Depth() { --d; }
  } restore{depth_};
  try {
    return call();
  } catch (...) {
    // No exception may cross into the host; there is nothing sane to go on with.
    ExceptionEscaped(name);
  }
}

}  // namespace hostsim
