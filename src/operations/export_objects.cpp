// export_objects.cpp — the export action: the objects, the dialog, the
// parameter file (always deleted again), the overwrite question, the run
// and the log.
#include "operations/export_objects.h"

#include <cstring>
#include <memory>
#include <optional>

#include "config/export_settings.h"
#include "connection/data_module.h"
#include "connection/exact_names.h"
#include "host/console_host.h"
#include "host/dialog_history.h"
#include "host/host_services.h"
#include "host/messages.h"
#include "host/text_utils.h"
#include "operations/exact_names.h"
#include "platform/console.h"
#include "platform/platform.h"

namespace operations {
namespace {

constexpr const char* kProgramHistory = "ExportProgramNameHistory";
constexpr const char* kHelpTopic = "Export Parameters";

// The dialog's items that close it and what they mean.
constexpr int kRecoveryButton = 25, kStatisticsButton = 27;
constexpr int kRunButton = 30, kHelpButton = 32;

// The chosen items as the host lists them (the current item when nothing
// is selected), as the names to send.
std::vector<std::string> ChosenItems(panel::TOracleController& controller, const connection::NameLookup& lookup) {
  std::vector<std::string> names;
  const far::PluginStartupInfo& h = host::Host();
  auto info = std::make_unique<far::PanelInfo>();
  if (h.Control == nullptr || !h.Control(&controller, far::FCTL_GETPANELINFO, info.get())) return names;
  for (int i = 0; info->SelectedItems != nullptr && i < info->SelectedItemsNumber; ++i) {
    const char* raw = info->SelectedItems[i].FindData.cFileName;
    const std::string name = host::FromOem(std::string(raw, strnlen(raw, sizeof info->SelectedItems[i].FindData.cFileName)));
    if (name.empty() || name[0] == '.') continue;
    names.push_back(connection::ExactName(controller.DataModule(), name, lookup));
  }
  return names;
}

// The other panel's folder when it is a file panel, with its separator.
std::string BaseDirectory(panel::TOracleController& controller) {
  const far::PluginStartupInfo& h = host::Host();
  auto other = std::make_unique<far::PanelInfo>();
  if (h.Control == nullptr || !h.Control(&controller, far::FCTL_GETANOTHERPANELINFO, other.get()) ||
      other->Plugin || other->PanelType != far::PTYPE_FILEPANEL)
    return "";
  std::string dir = host::FromOem(std::string(other->CurDir, strnlen(other->CurDir, sizeof other->CurDir)));
  if (!dir.empty() && dir.back() != platform::PathSeparator()) dir += platform::PathSeparator();
  return dir;
}

// The temporary parameter file, deleted however the action ends.
struct TempFile {
  std::string path;
  ~TempFile() {
    if (!path.empty()) platform::RemoveFile(path);
  }
};

void OpenInEditor(const std::string& path, const std::string& title) {
  const far::PluginStartupInfo& h = host::Host();
  if (h.Editor != nullptr)
    h.Editor(host::ToOem(path).c_str(), host::ToOem(title).c_str(), 0, 0, -1, -1, 0, 0, 0);
}

// A bare program name is the client's own: looked for in the Oracle home
// (beside the library, as Instant Client keeps it, then in bin), as SQL*Plus
// is; otherwise it is left to the system's search (PATH).
std::string ClientProgram(const std::string& program, const std::string& home) {
  if (home.empty() || program.find_first_of("/\\") != std::string::npos) return program;
  if (platform::FileExists(home + program)) return home + program;
  const std::string bin = platform::JoinPath(home + "bin", program);
  return platform::FileExists(bin) ? bin : program;
}

std::string Credentials(oracle::TOracleSession& session) {
  std::string text = session.LogonUsername + "/" + session.LogonPassword;
  if (!session.LogonDatabase.empty()) text += "@" + session.LogonDatabase;
  return text;
}

}  // namespace

bool ExportDialog(ExportOptions& o) {
  using host::DialogItemSpec;
  for (;;) {
    std::vector<DialogItemSpec> items = {
        {far::DI_DOUBLEBOX, 3, 1, 52, false, {}, far::DIF_LEFTTEXT, std::string("&Export objects into")},
        {far::DI_TEXT, 5, 3, 0, false, {}, 0, std::string("Export &by")},
        {far::DI_TEXT, 5, 4, 0, false, {}, 0, std::string("&File name")},
        {far::DI_TEXT, 36, 4, 0, false, {}, 0, std::string("S&ize")},
        {far::DI_TEXT, 5, 5, 0, false, {}, 0, std::string("&Log name")},
        {far::DI_TEXT, 5, 7, 0, false, {}, 0, std::string("BUFFER(bytes)")},
        {far::DI_TEXT, 26, 7, 0, false, {}, 0, std::string("FEEDBACK(rows)")},
        {far::DI_EDIT, 15, 3, 49, true, std::string(kProgramHistory), far::DIF_HISTORY, &o.program},
        {far::DI_EDIT, 15, 4, 32, false, std::string("ExportFileNamesHistory"), far::DIF_HISTORY, &o.file},
        {far::DI_EDIT, 41, 4, 49, false, std::string("ExportFileSizeHistory"), far::DIF_HISTORY, &o.size},
        {far::DI_EDIT, 15, 5, 49, false, std::string("ExportLogNamesHistory"), far::DIF_HISTORY, &o.log},
        {far::DI_EDIT, 19, 7, 24, false, {}, 0, &o.buffer},
        {far::DI_EDIT, 41, 7, 46, false, {}, 0, &o.feedback},
        {far::DI_TEXT, 0, 6, 0, false, {}, far::DIF_SEPARATOR, std::string()},
        {far::DI_TEXT, 0, 8, 0, false, {}, far::DIF_SEPARATOR, std::string()},
        {far::DI_CHECKBOX, 5, 9, 0, false, &o.compress, 0, std::string("Compress")},
        {far::DI_CHECKBOX, 5, 10, 0, false, &o.consistent, 0, std::string("Consistent")},
        {far::DI_CHECKBOX, 5, 11, 0, false, &o.constraints, 0, std::string("Constraints")},
        {far::DI_CHECKBOX, 5, 12, 0, false, &o.direct, 0, std::string("Direct path")},
        {far::DI_CHECKBOX, 5, 13, 0, false, &o.full, 0, std::string("Full export")},
        {far::DI_CHECKBOX, 22, 9, 0, false, &o.triggers, 0, std::string("Triggers")},
        {far::DI_CHECKBOX, 22, 10, 0, false, &o.grants, 0, std::string("Grants")},
        {far::DI_CHECKBOX, 22, 11, 0, false, &o.indexes, 0, std::string("Indexes")},
        {far::DI_CHECKBOX, 22, 12, 0, false, &o.record, 0, std::string("Record")},
        {far::DI_CHECKBOX, 22, 13, 0, false, &o.rows, 0, std::string("Rows")},
        // The first button is the default: Enter in a field reopens the
        // dialog rather than starting the export.
        {far::DI_BUTTON, 36, 11, 0, false, {}, 0, std::string("Recovery  ")},
        {far::DI_BUTTON, 36, 12, 0, false, {}, 0, std::string("INCTYPE   ")},
        {far::DI_BUTTON, 36, 13, 0, false, {}, 0, std::string("Statistics")},
        {far::DI_CHECKBOX, 5, 15, 0, false, &o.showParameters, 0,
         std::string("&Show the parameters file before run export")},
        {far::DI_TEXT, 0, 16, 0, false, {}, far::DIF_SEPARATOR, std::string()},
        {far::DI_BUTTON, 0, 17, 0, false, {}, far::DIF_CENTERGROUP, std::string("&Run")},
        {far::DI_BUTTON, 0, 17, 0, false, {}, far::DIF_CENTERGROUP, std::string("&Cancel")},
        {far::DI_BUTTON, 0, 17, 0, false, {}, far::DIF_CENTERGROUP, std::string("&Help")},
    };
    host::DialogActive = true;
    const int result = host::RunDialog(kHelpTopic, items);
    host::DialogActive = false;
    if (result >= kRecoveryButton && result <= kStatisticsButton) continue;
    if (result == kHelpButton) {
      const far::PluginStartupInfo& h = host::Host();
      const std::string file = platform::DirectoryOf(platform::ModuleFileName()) + "Quarry.hlf";
      if (h.ShowHelp != nullptr)
        h.ShowHelp(host::ToOem(file).c_str(), kHelpTopic, far::FHELP_CUSTOMFILE | far::FHELP_USECONTENTS);
      continue;
    }
    if (result != kRunButton) return false;
    o.program = host::Trim(o.program);
    o.file = host::Trim(o.file);
    o.log = host::Trim(o.log);
    o.buffer = host::Trim(o.buffer);
    o.feedback = host::Trim(o.feedback);
    o.size = host::Trim(o.size);
    config::WriteExportSettings({o.program, o.showParameters});
    if (o.file.empty()) {
      host::ShowErrorMessage("File name should be entered!");
      continue;
    }
    return true;
  }
}

void ExportObjects(panel::TOracleController& controller) {
  for (const char* name : {"exp73", "exp80", "exp"}) host::AddToDialogHistory(kProgramHistory, name);
  const config::ExportSettings stored = config::ReadExportSettings();

  std::vector<std::string> levels = ExactPathLevels(controller.CurrentDirectory());
  // The owner level names a user; the items are users, or that owner's tables.
  connection::TPluginDataModule& module = controller.DataModule();
  if (levels.size() >= 2) levels[1] = connection::ExactName(module, levels[1], connection::UserLookup());
  const bool tables = levels.size() >= 2 && host::UpperCase(levels[0]) == "TABLES";
  const connection::NameLookup items =
      tables ? connection::ObjectLookup(levels[1], {"TABLE"}) : connection::UserLookup();
  const std::string objectLine = ExportObjectLine(levels, ChosenItems(controller, items));
  if (objectLine.empty()) {
    host::ShowQuestionMessage("Ops!", "There is nothing to export", {"OK"});
    return;
  }

  ExportOptions o;
  o.program = stored.programName;
  o.showParameters = stored.showParameters;
  if (!ExportDialog(o)) return;
  if (o.program.empty()) o.program = "exp";
  CompleteExportPaths(o, BaseDirectory(controller));

  TempFile parameters{platform::CreateTempFile("PAR")};
  if (parameters.path.empty()) {
    host::ShowErrorMessage("Error creating temporary file [" + platform::TempDirectory() + "PAR]");
    return;
  }
  std::string text;
  for (const std::string& line : ExportParameterLines(o, objectLine)) text += line + "\n";
  if (!platform::WriteFileAtomic(parameters.path, text)) {
    host::ShowErrorMessage("Error creating temporary file [" + parameters.path + "]");
    return;
  }
  if (o.showParameters) OpenInEditor(parameters.path, "Parameters for export");
  if (platform::FileExists(o.file) &&
      host::ShowQuestionMessage("File Exists!", "Export's target file already exists. Do you want to overwrite it?",
                                {"<Overwrite>", "<Cancel>"}) != 0)
    return;

  // Windows joins the words as they are: short names keep a blank in the
  // program's or the temporary folder's path from splitting the line.
  const std::vector<std::string> words{platform::ShortPathName(ClientProgram(o.program, controller.OracleHome())),
                                       Credentials(controller.DataModule().OracleSession()),
                                       "parfile=" + platform::ShortPathName(parameters.path)};
  // A log left by an earlier export must not pass for this one's.
  const std::optional<platform::FileStamp> earlierLog = platform::StampOf(o.log);
  std::string error;
  const int code = host::RunConsoleProgram(platform::ConsoleCommandLine(words), false, true, &error);
  const std::optional<platform::FileStamp> log = platform::StampOf(o.log);
  if (code == -1 && !error.empty()) {
    host::ShowErrorMessage(o.program + " could not be started: " + error);
  } else if (!log || log == earlierLog) {
    // The program did not start (a shell's "not found") or stopped before
    // writing its log (a parameter it refused): an empty editor, or the
    // log of an earlier run, would say nothing or the wrong thing.
    host::ShowErrorMessage("The export wrote no log [" + o.log + "]");
  } else {
    OpenInEditor(o.log, "Export's results");
  }
  const far::PluginStartupInfo& h = host::Host();
  if (h.Control != nullptr) {
    h.Control(&controller, far::FCTL_UPDATEANOTHERPANEL, nullptr);
    h.Control(&controller, far::FCTL_REDRAWANOTHERPANEL, nullptr);
  }
}

}  // namespace operations
