// logon.h — the logon dialog and the stored connection settings.
#pragma once

#include <functional>
#include <string>

namespace connection {

class TPluginDataModule;

// The last logon as stored below the plugin's registry key.
struct LogonSettings {
  std::string userName;
  std::string password;
  bool savePassword = false;
  std::string tnsName;
  int connectAs = 0;  // 0 normal, 1 SYSDBA, 2 SYSOPER
};
LogonSettings ReadLogonSettings();
void WriteLogonSettings(const LogonSettings& settings);

// The dialog; true when "&Connect" closed it (the arguments then hold what
// the user entered).
bool RunLogonDialog(LogonSettings& settings, bool& useOci7);

// The whole logon of a panel: aliases into the dialog's history, the
// dialog, connecting with a progress note, the settings written back on
// success, the error box on failure.  True when connected afterwards.
// `beforeSessionEnds` (when given) runs after the dialog was confirmed and
// before the current session is dropped; false leaves the session as it is.
bool RunLogon(TPluginDataModule& module, const std::function<bool()>& beforeSessionEnds = {});

}  // namespace connection
