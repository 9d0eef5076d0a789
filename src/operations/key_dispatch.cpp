// key_dispatch.cpp — the key table (tested in order, the first row that
// fits decides) and the redraw and command-line events.
#include "operations/key_dispatch.h"

#include <cstring>
#include <functional>
#include <vector>

#include "config/settings.h"
#include "connection/command_runner.h"
#include "host/host_services.h"
#include "host/messages.h"
#include "operations/context_help.h"
#include "operations/comments.h"
#include "operations/copy_script.h"
#include "operations/current_item.h"
#include "operations/drop_action.h"
#include "operations/export_objects.h"
#include "operations/jump_rules.h"
#include "operations/scratch_script.h"
#include "operations/text_editing.h"
#include "operations/tools_menu.h"
#include "panel/session_end.h"

namespace operations {
namespace {

// Set while the plugin's own redraw request is being answered.
bool g_redrawGuard = false;

constexpr int kKeyZ = 90;
constexpr int kMinStartupSizeForHelp = 372;

struct KeyContext {
  panel::TOracleController& controller;
  int key;
  unsigned state;
  CurrentItem item;
  bool Ctrl() const { return (state & far::PKF_CONTROL) != 0; }
  bool Alt() const { return (state & far::PKF_ALT) != 0; }
  bool Shift() const { return (state & far::PKF_SHIFT) != 0; }
};

struct KeyRow {
  std::function<bool(const KeyContext&)> fits;
  std::function<bool(KeyContext&)> run;  // returns what ProcessKey reports
};

bool GoToObject(KeyContext& k) {
  std::string target = GetJumpTarget(k.controller, k.item);
  if (target.empty()) return false;
  k.controller.DirectoryStack().Push(k.controller.CurrentDirectory(), k.item.index);
  k.controller.SetCurrentDirectory(host::ToOem(target));
  k.controller.PendingCurrentItem = 0;
  RefreshPanel(k.controller);
  return true;
}

bool Disconnect(KeyContext& k) {
  connection::TPluginDataModule& dm = k.controller.DataModule();
  if (dm.Connected() && panel::ConfirmEndOfSession(dm, panel::SessionEnd::Disconnect)) {
    try {
      dm.LogOff();
    } catch (const std::exception& e) {
      host::ShowErrorMessage(e.what());
    }
  }
  RefreshPanel(k.controller);
  return true;
}

bool Connect(KeyContext& k) {
  // A new logon ends the session: open changes are not dropped unasked,
  // and only once the user has confirmed the logon dialog (a cancelled
  // dialog keeps the session and its transaction as they were).
  connection::TPluginDataModule& dm = k.controller.DataModule();
  dm.LogOn([&dm] { return panel::ConfirmEndOfSession(dm, panel::SessionEnd::Reconnect); });
  RefreshPanel(k.controller);
  return true;
}

bool UserScript(KeyContext& k) {
  if (EditUserScript(k.controller)) RefreshPanel(k.controller);
  return true;
}

// F3 views and F4 edits; Alt asks for the other form (a package's body).
bool ObjectText(KeyContext& k) {
  if (ShowObjectText(k.controller, k.key == far::VK_F4, k.Alt())) RefreshPanel(k.controller);
  return true;
}

bool Utilities(KeyContext& k) {
  ToolsMenu(k.controller);
  return true;
}

// F8 gets the whole control state: Alt truncates, Ctrl deletes (and wins).
bool Drop(KeyContext& k) {
  DropItems(k.controller, k.Alt(), k.Ctrl());
  return true;
}

// Reported as not handled even when the dialog ran.
bool Comment(KeyContext& k) {
  EditComment(k.controller);
  return false;
}
bool CopyTable(KeyContext& k) { return CopyTableToScript(k.controller, k.item.name); }

bool Export(KeyContext& k) {
  if (!k.controller.DataModule().Connected()) {
    host::ShowErrorMessage("You are not connected to Oracle Server!");
    return true;
  }
  ExportObjects(k.controller);
  return true;
}


const std::vector<KeyRow>& KeyTable() {
  static const std::vector<KeyRow> rows = {
      {[](const KeyContext& k) { return k.key == far::VK_RETURN && k.state == 0; }, GoToObject},
      {[](const KeyContext& k) { return (k.key & 0xFF) == kKeyZ && k.Ctrl(); }, Comment},
      // Context help: only with no dialog of ours open and a host record that has ShowHelp.
      {[](const KeyContext& k) { return k.key == far::VK_F1; },
       [](KeyContext& k) {
         if (host::DialogActive || host::HostRecordSize() < kMinStartupSizeForHelp) return false;
         return ShowContextHelp(k.controller);
       }},
      {[](const KeyContext& k) { return k.key == far::VK_F2; }, Utilities},
      {[](const KeyContext& k) { return k.key == far::VK_F8; }, Drop},
      {[](const KeyContext& k) { return k.key == far::VK_F4 && k.Shift(); }, UserScript},
      {[](const KeyContext& k) { return k.key == far::VK_F3 || k.key == far::VK_F4; }, ObjectText},
      {[](const KeyContext& k) { return k.key == far::VK_F5 && k.Shift() && !k.item.IsUpDir(); }, CopyTable},
      {[](const KeyContext& k) { return k.key == far::VK_F5 && !k.item.IsUpDir(); }, Export},
      {[](const KeyContext& k) { return k.key == far::VK_F10 && k.Ctrl(); }, Disconnect},
      {[](const KeyContext& k) { return k.key == far::VK_F10 && k.Alt(); }, Connect},
  };
  return rows;
}

bool Redraw(panel::TOracleController& controller) {
  if (g_redrawGuard) return true;
  if (controller.PendingCurrentItem >= 0) {
    g_redrawGuard = true;
    far::PanelRedrawInfo ri{controller.PendingCurrentItem, 0};
    const far::PluginStartupInfo& h = host::Host();
    if (h.Control != nullptr) h.Control(&controller, far::FCTL_REDRAWPANEL, &ri);
    controller.PendingCurrentItem = -1;
    g_redrawGuard = false;
  }
  return false;
}

bool Command(panel::TOracleController& controller) {
  if (!config::CurrentSwitches().sqlCommandLine) return false;
  const far::PluginStartupInfo& h = host::Host();
  if (h.Control == nullptr) return false;
  std::string buffer(far::kCommandLineBuffer, '\0');
  h.Control(&controller, far::FCTL_GETCMDLINE, buffer.data());
  buffer.resize(strnlen(buffer.c_str(), buffer.size()));
  // The line is cleared only once the command ran (or the user chose not to
  // run it): a command that could not run stays there to be run again.
  bool notRun = false;
  const bool ran = connection::RunCommandLine(controller.DataModule(), buffer, &notRun);
  if (!notRun) {
    char empty[] = "";
    h.Control(&controller, far::FCTL_SETCMDLINE, empty);
  }
  if (ran) RefreshPanel(controller);
  return true;
}

}  // namespace

bool ProcessKey(panel::TOracleController& controller, int key, unsigned state) {
  KeyContext k{controller, key, state, {}};
  // Only keys the table knows need the current item.
  bool known = false;
  static const int kKnown[] = {far::VK_RETURN, kKeyZ, far::VK_F1, far::VK_F2, far::VK_F3, far::VK_F4,
                               far::VK_F5, far::VK_F8, far::VK_F10};
  for (int v : kKnown) known = known || v == key || (v == kKeyZ && (key & 0xFF) == kKeyZ);
  if (!known) return false;
  try {
    k.item = ReadCurrentItem(controller);
    for (const KeyRow& row : KeyTable())
      if (row.fits(k)) return row.run(k);
  } catch (const std::exception& e) {
    host::ShowErrorMessage(e.what());
    return true;
  } catch (...) {
    // Nothing may cross back into the host; the key counts as handled.
    return true;
  }
  return false;
}

bool ProcessEvent(panel::TOracleController& controller, int event, void* /*param*/) {
  try {
    if (event == far::FE_REDRAW) return Redraw(controller);
    if (event == far::FE_COMMAND) return Command(controller);
  } catch (const std::exception& e) {
    host::ShowErrorMessage(e.what());
    return true;
  }
  return false;
}

}  // namespace operations
