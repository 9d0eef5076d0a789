// copy_script.cpp — the Shift+F5 action: refusals, the dialog, the target
// path and the overwrite question, then the script writer with a progress
// note; the other panel is refreshed so the new file shows.
#include "operations/copy_script.h"

#include <cctype>
#include <chrono>
#include <memory>
#include <stdexcept>
#include <vector>

#include "host/host_services.h"
#include "host/messages.h"
#include "host/text_utils.h"
#include "operations/derived_file_name.h"
#include "platform/console_input.h"
#include "platform/platform.h"

namespace operations {
namespace {

constexpr std::size_t kTitleLength = 46;
constexpr int kSaveButton = 10;

std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

// The path's levels as written: level 1 is the root ("").
std::vector<std::string> Levels(const std::string& path) {
  std::vector<std::string> levels{""};
  std::string cur;
  for (char c : path) {
    if (c == '\\') {
      if (!cur.empty()) levels.push_back(cur);
      cur.clear();
    } else {
      cur += c;
    }
  }
  if (!cur.empty()) levels.push_back(cur);
  return levels;
}

// Names follow one rule: as written when an object of that name exists,
// otherwise upper-cased.
std::vector<ScriptColumn> DescribeByName(oracle::TOracleSession& session, std::string& owner, std::string& table) {
  try {
    return DescribeTableForScript(session, owner, table);
  } catch (const std::runtime_error&) {
    if (Upper(owner) == owner && Upper(table) == table) throw;
  }
  owner = Upper(owner);
  table = Upper(table);
  return DescribeTableForScript(session, owner, table);
}

}  // namespace

bool TableAtItem(const std::string& currentDirectory, const std::string& item, std::string& owner,
                 std::string& table) {
  const std::vector<std::string> levels = Levels(currentDirectory);
  auto level = [&](std::size_t n) { return n <= levels.size() ? levels[n - 1] : std::string(); };
  const std::string l2 = Upper(level(2)), l3 = level(3), l4 = level(4);
  if (item.empty() || item == "..") return false;
  if (l2 == "TABLES" && !l3.empty() && l3[0] != '.' && l4.empty()) {
    owner = l3;
    table = item;
    return true;
  }
  if (l2 == ".CATALOG BY USER" && !l3.empty() && l4.empty()) {
    const std::size_t dot = item.rfind('.');
    if (dot == std::string::npos || dot == 0 || Upper(item.substr(dot + 1)) != "TABLE") return false;
    owner = l3;
    table = item.substr(0, dot);
    return true;
  }
  return false;
}

bool CopyTableDialog(const std::string& objectName, std::string& fileNameInOut, ScriptOptions& options) {
  // Every option starts on, whatever was chosen last time; what the user
  // changed counts only when "&Save" closes the dialog.
  ScriptOptions o;
  std::string fileName = fileNameInOut;
  std::string title = "&Copy table " + objectName + " into";
  if (title.size() > kTitleLength) title.resize(kTitleLength);
  using host::DialogItemSpec;
  std::vector<DialogItemSpec> items = {
      {far::DI_DOUBLEBOX, 3, 1, 51, false, {}, far::DIF_LEFTTEXT, title},
      {far::DI_TEXT, 5, 3, 0, false, {}, 0, std::string("&File name")},
      {far::DI_EDIT, 15, 3, 48, true, std::string("CopyTableNamesHistory"), far::DIF_HISTORY, &fileName},
      {far::DI_CHECKBOX, 5, 5, 0, false, &o.countRecords, 0, std::string("Count all records before copying")},
      {far::DI_CHECKBOX, 5, 6, 0, false, &o.errorHandling, 0, std::string("Insert the code for processing errors")},
      {far::DI_CHECKBOX, 5, 7, 0, false, &o.charsetCheck, 0, std::string("Insert the code for checking CHARSET")},
      {far::DI_CHECKBOX, 5, 8, 0, false, &o.userCheck, 0, std::string("Insert the code for checking current user")},
      {far::DI_CHECKBOX, 5, 9, 0, false, &o.deleteFirst, 0, std::string("Perform deletion before insertion")},
      {far::DI_CHECKBOX, 5, 10, 0, false, &o.hideOutput, 0, std::string("Hide ouput in SQLPLUS")},
      {far::DI_TEXT, 0, 12, 0, false, {}, far::DIF_SEPARATOR, std::string()},
      {far::DI_BUTTON, 0, 13, 0, false, {}, far::DIF_CENTERGROUP, std::string("&Save")},
      {far::DI_BUTTON, 0, 13, 0, false, {}, far::DIF_CENTERGROUP, std::string("Cance&l")},
  };
  host::DialogActive = true;
  const int result = host::RunDialog(nullptr, items);
  host::DialogActive = false;
  if (result != kSaveButton) return false;
  fileNameInOut = fileName;
  options = o;
  return true;
}

bool CopyTableToScript(panel::TOracleController& controller, const std::string& currentItem) {
  connection::TPluginDataModule& dm = controller.DataModule();
  if (!dm.Connected()) return true;
  const far::PluginStartupInfo& h = host::Host();
  auto other = std::make_unique<far::PanelInfo>();
  if (h.Control == nullptr || !h.Control(&controller, far::FCTL_GETANOTHERPANELINFO, other.get()) ||
      other->Plugin || !other->Visible || other->PanelType != far::PTYPE_FILEPANEL) {
    host::ShowErrorMessage("Copying objects is only allowed into the file system!");
    return true;
  }
  std::string owner, table;
  if (!TableAtItem(controller.CurrentDirectory(), currentItem, owner, table)) {
    host::ShowErrorMessage("Copying objects is only allowed for tables!");
    return true;
  }
  // Suggested from the name, but never a path: a table "../x" must not
  // write outside the other panel's folder.
  std::string fileName = DerivedFileName(table, ".sql");
  ScriptOptions options;
  if (!CopyTableDialog(owner + "." + table, fileName, options)) return true;
  fileName = host::Trim(fileName);
  if (fileName.empty()) return true;
  if (platform::DirectoryOf(fileName).empty()) {
    std::string dir = host::FromOem(other->CurDir);
    const char sep = platform::PathSeparator();
    if (!dir.empty() && dir.back() != sep) dir += sep;
    fileName = dir + fileName;
  }
  const bool existed = platform::FileExists(fileName);
  if (existed &&
      host::ShowQuestionMessage("File already exists!", "Do you want to overwrite it?", {"&Overwrite", "&Abort"}) != 0)
    return true;

  oracle::TOracleSession& session = dm.OracleSession();
  try {
    const std::vector<ScriptColumn> columns = DescribeByName(session, owner, table);
    std::string leftOut;
    for (const auto& c : columns)
      if (c.kind == ScriptColumnKind::LeftOut) leftOut += (leftOut.empty() ? "" : ", ") + c.name + " (" + c.type + ")";
    if (!leftOut.empty() &&
        host::ShowQuestionMessage("Copy table", "These columns cannot be written to a script and are left out: " +
                                                    leftOut, {"&Continue", "&Abort"}) != 0)
      return true;
    const std::string what = "Copying " + owner + "." + table;
    far::HANDLE note = host::ShowProgressMessage(what + " ...");
    auto lastNote = std::chrono::steady_clock::now();
    // Every few rows: Esc asks whether to stop.  The note is redrawn a few
    // times a second, and not before a thousand rows or so (a small table
    // is done before anyone could read it).
    auto progress = [&](std::int64_t written, std::int64_t total) {
      const std::string rows =
          std::to_string(written) + (total >= 0 ? " of " + std::to_string(total) : std::string()) + " rows";
      if (platform::ConsoleEscapePressed()) {
        host::RestoreProgress(note);
        note = far::InvalidHandle();
        const int answer = host::ShowQuestionMessage(
            "Copy table", "Stop writing the script?\r" + rows + " written so far", {"&Stop", "&Continue"});
        if (answer == 0) return false;
        note = host::ShowProgressMessage(what + ": " + rows);
        lastNote = std::chrono::steady_clock::now();
        return true;
      }
      const auto now = std::chrono::steady_clock::now();
      if (written % 1024 == 0 && now - lastNote >= std::chrono::milliseconds(250)) {
        lastNote = now;
        host::RestoreProgress(note);
        note = host::ShowProgressMessage(what + ": " + rows);
      }
      return true;
    };
    ScriptResult result;
    try {
      result = WriteTableScript(session, owner, table, fileName, options, progress);
    } catch (...) {
      host::RestoreProgress(note);
      throw;
    }
    host::RestoreProgress(note);
    if (!result.completed)
      host::ShowQuestionMessage("Copy table", "Copying stopped: no script was written.\r" +
                                                  std::string(existed ? "The file " + fileName + " was left as it was."
                                                                      : "No file " + fileName + " was made."),
                                {"Ok"});
  } catch (const std::exception& e) {
    host::ShowErrorMessage(e.what());
  }
  h.Control(&controller, far::FCTL_UPDATEANOTHERPANEL, nullptr);
  h.Control(&controller, far::FCTL_REDRAWANOTHERPANEL, nullptr);
  return true;
}

}  // namespace operations
