// drop_action.cpp — the F8 dialogue: read the selection, build the
// statements, ask, show them when the user wants to see SQL first, run them.
#include "operations/drop_action.h"

#include <cstring>
#include <memory>

#include "config/settings.h"
#include "connection/command_runner.h"
#include "host/host_services.h"
#include "host/messages.h"
#include "host/text_utils.h"
#include "operations/current_item.h"
#include "operations/drop_names.h"
#include "operations/drop_statements.h"
#include "platform/platform.h"

namespace operations {
namespace {

DropItem ToDropItem(const far::PluginPanelItem& p) {
  DropItem item;
  item.name = host::FromOem(
      std::string(p.FindData.cFileName, strnlen(p.FindData.cFileName, sizeof(p.FindData.cFileName))));
  for (int c = 0; p.CustomColumnData != nullptr && c < p.CustomColumnNumber; ++c)
    item.columns.push_back(host::FromOem(p.CustomColumnData[c] ? p.CustomColumnData[c] : ""));
  return item;
}

// The selection as the host reports it (the current item when nothing is
// selected).  ".." stands for no object.  The listings' own folders
// (".ROLES", ".COLUMNS" ...) are directories spelled in upper case with a
// leading dot; they are left out and named in the note.  Any other name
// beginning with a dot is an object's (a quoted ".tmp") and is used.
struct Selection {
  std::vector<DropItem> items;
  std::vector<std::string> folders;
  std::string current;
};

bool ListingFolder(const far::PluginPanelItem& p, const std::string& name) {
  return name.size() > 1 && name[0] == '.' && (p.FindData.dwFileAttributes & far::FILE_ATTRIBUTE_DIRECTORY) != 0 &&
         host::UpperCase(name) == name;
}

Selection ReadSelection(panel::TOracleController& controller) {
  Selection s;
  const far::PluginStartupInfo& h = host::Host();
  if (h.Control == nullptr) return s;
  auto info = std::make_unique<far::PanelInfo>();
  if (!h.Control(&controller, far::FCTL_GETPANELINFO, info.get())) return s;
  if (info->PanelItems != nullptr && info->CurrentItem >= 0 && info->CurrentItem < info->ItemsNumber)
    s.current = ToDropItem(info->PanelItems[info->CurrentItem]).name;
  for (int i = 0; info->SelectedItems != nullptr && i < info->SelectedItemsNumber; ++i) {
    DropItem item = ToDropItem(info->SelectedItems[i]);
    if (item.name.empty() || item.name == "..") continue;
    if (ListingFolder(info->SelectedItems[i], item.name)) {
      s.folders.push_back(item.name + ": a folder of this list, not an object");
      continue;
    }
    s.items.push_back(std::move(item));
  }
  return s;
}

void Tell(const std::string& title, const std::string& text) { host::ShowQuestionMessage(title, text, {"Ok"}); }

// The question of the drop: one object by name; several, twice.
bool Confirmed(const DropPlan& plan) {
  const std::vector<std::string> buttons{"Drop", "Cancel"};
  if (plan.names.size() <= 1) {
    const std::string name = plan.names.empty() ? std::string() : plan.names.front();
    return host::ShowQuestionMessage(plan.title, "Do you wish to drop object " + name + " ?", buttons) == 0;
  }
  if (host::ShowQuestionMessage(plan.title, "Do you wish to drop selected objects ?", buttons) != 0) return false;
  return host::ShowQuestionMessage(plan.title, "Do you wish to drop " + std::to_string(plan.names.size()) +
                                                   " objects ?",
                                   buttons) == 0;
}

// The statements as a script, shown before they run; edits are not used.
// False when they cannot be shown: the user then has not seen what would
// run, so nothing runs.
bool ShowStatements(const std::vector<std::string>& statements) {
  std::string text;
  for (const std::string& s : statements) {
    text += s;
    if (s.empty() || s.back() != ';') text += ";";
    text += "\r\n";
  }
  const std::string path = platform::CreateTempFile("SQL");
  if (path.empty() || !platform::WriteFileAtomic(path, host::ToOem(text))) {
    if (!path.empty()) platform::RemoveFile(path);
    host::ShowErrorMessage("Error of creation temporary file\rThe statements were not run.");
    return false;
  }
  const far::PluginStartupInfo& h = host::Host();
  if (h.Editor != nullptr)
    h.Editor(host::ToOem(path).c_str(), host::ToOem("Command results").c_str(), 0, 0, -1, -1, 0, 0, 0);
  platform::RemoveFile(path);
  return true;
}

}  // namespace

void DropItems(panel::TOracleController& controller, bool alt, bool ctrl) {
  connection::TPluginDataModule& module = controller.DataModule();
  if (!module.Connected()) return;
  Selection selection = ReadSelection(controller);
  const bool unusedColumns = host::UpperCase(selection.current) == ".UNUSED COLUMNS";
  if (unusedColumns) selection.folders.clear();  // the item that chooses its row
  if (selection.items.empty() && !unusedColumns) {
    if (!selection.folders.empty()) {
      std::string text = "Nothing to drop:";
      for (const std::string& s : selection.folders) text += "\r" + s;
      Tell("Drop", text);
    }
    return;
  }

  DropRequest request;
  request.levels = controller.PathLevels();
  request.exactLevels = ExactPathLevels(controller);
  request.items = std::move(selection.items);
  request.currentItem = selection.current;
  request.logonUser = host::UpperCase(module.OracleSession().LogonUsername);
  request.alt = alt;
  request.ctrl = ctrl;

  SessionEnd end = SessionEnd::Kill;
  if (IsSessionListing(request.levels)) {
    const int choice = host::ShowQuestionMessage("Kill Session", "Choose a type of kill operation",
                                                 {"Kill session", "Disconnect session", "Cancel"});
    if (choice != 0 && choice != 1) return;
    end = choice == 0 ? SessionEnd::Kill : SessionEnd::Disconnect;
  }
  auto exact = [&](const std::string& shown, const NameScope& scope) { return ExactItemName(module, shown, scope); };
  DropPlan plan = BuildDropPlan(request, exact, end);
  if (!plan.fits) {
    Tell("Drop", "Nothing can be dropped in this list");
    return;
  }
  plan.skipped.insert(plan.skipped.begin(), selection.folders.begin(), selection.folders.end());
  if (!plan.skipped.empty()) {
    std::string text = plan.statements.empty() ? "Nothing to drop:" : "Left out:";
    for (const std::string& s : plan.skipped) text += "\r" + s;
    Tell(plan.title, text);
  }
  if (plan.statements.empty()) return;
  if (!Confirmed(plan)) return;
  if (config::CurrentSwitches().showCommandText && !ShowStatements(plan.statements)) return;
  if (connection::ExecuteSqlCommands(module, plan.statements)) RefreshPanel(controller);
}

}  // namespace operations
