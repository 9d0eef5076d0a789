// configure_dialog.cpp — shows and stores the plugin's switches.
#include "config/configure_dialog.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <string>
#include <vector>

#include "config/settings.h"
#include "host/messages.h"
#include "host/text_utils.h"

namespace config {
namespace {

constexpr int kOkButton = 10;

// Whole-text decimal conversion; false when the text is not an integer.
bool ParseInteger(const std::string& text, int& value) {
  if (text.empty()) return false;
  errno = 0;
  char* end = nullptr;
  long v = std::strtol(text.c_str(), &end, 10);
  if (errno != 0 || end == text.c_str() || *end != '\0' || v < INT_MIN || v > INT_MAX) return false;
  value = static_cast<int>(v);
  return true;
}

}  // namespace

bool RunConfigureDialog() {
  bool addToDiskMenu = true;
  std::string hotkey = " ";
  bool ignoreOraErrors = true, showCommandText = true, sqlCommandLine = true;
  {
    auto key = OpenSettingsKey();
    ignoreOraErrors = platform::ReadBool(key.get(), "IgnoreORAErrors", true);
    showCommandText = platform::ReadBool(key.get(), "ShowCommandText", true);
    sqlCommandLine = platform::ReadBool(key.get(), "SQLCommandLine", true);
    addToDiskMenu = platform::ReadBool(key.get(), "AddToDiskMenu", true);
    std::uint32_t disk = platform::ReadDword(key.get(), "DiskNumber", 0);
    if (disk >= 1 && disk <= 9) hotkey = std::to_string(disk);
  }

  using host::DialogItemSpec;
  std::vector<DialogItemSpec> items = {
      {far::DI_DOUBLEBOX, 3, 1, 50, false, {}, far::DIF_LEFTTEXT, std::string("Quarry &Configuration")},
      {far::DI_CHECKBOX, 5, 3, 0, true, &addToDiskMenu, 0, std::string("&Add to Disk menu")},
      {far::DI_FIXEDIT, 7, 4, 7, false, {}, 0, &hotkey},
      {far::DI_TEXT, 10, 4, 0, false, {}, 0, std::string("&Disk menu hotkey ('1'-'9').")},
      {far::DI_TEXT, 10, 5, 0, false, {}, 0, std::string("Leave empty to autoassign")},
      {far::DI_TEXT, 0, 6, 0, false, {}, far::DIF_SEPARATOR, std::string()},
      {far::DI_CHECKBOX, 5, 7, 0, false, &ignoreOraErrors, 0, std::string("&Ignore ORA-942 Error")},
      {far::DI_CHECKBOX, 5, 8, 0, false, &showCommandText, 0,
       std::string("&Show the SQL-text before executing")},
      {far::DI_CHECKBOX, 5, 9, 0, false, &sqlCommandLine, 0, std::string("&Treat a command line as SQL")},
      {far::DI_TEXT, 0, 10, 0, false, {}, far::DIF_SEPARATOR, std::string()},
      {far::DI_BUTTON, 0, 11, 0, false, {}, far::DIF_CENTERGROUP, std::string("&OK")},
      {far::DI_BUTTON, 0, 11, 0, false, {}, far::DIF_CENTERGROUP, std::string("Cance&l")},
      {far::DI_BUTTON, 0, 11, 0, false, {}, far::DIF_CENTERGROUP, std::string("&Help")},
  };
  host::DialogActive = true;
  int result = host::RunDialog(nullptr, items);
  host::DialogActive = false;
  if (result != kOkButton) return false;

  int diskNumber = 0;
  std::string trimmed = host::Trim(hotkey);
  if (!trimmed.empty() && !ParseInteger(trimmed, diskNumber)) {
    host::ShowErrorMessage(
        "You made an error in the disk menu hotkey. It must be an integer from '1' to '9'!");
    diskNumber = 0;
  }
  if (auto key = OpenSettingsKey()) {
    key->SetDword("IgnoreORAErrors", ignoreOraErrors ? 1 : 0);
    key->SetDword("ShowCommandText", showCommandText ? 1 : 0);
    key->SetDword("SQLCommandLine", sqlCommandLine ? 1 : 0);
    key->SetDword("AddToDiskMenu", addToDiskMenu ? 1 : 0);
    key->SetDword("DiskNumber", static_cast<std::uint32_t>(diskNumber));
  }
  return true;
}

}  // namespace config
