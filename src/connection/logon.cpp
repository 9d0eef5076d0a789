// logon.cpp — asking for the user, password and alias and connecting.
#include "connection/logon.h"

#include <exception>
#include <vector>

#include "config/settings.h"
#include "connection/data_module.h"
#include "host/dialog_history.h"
#include "host/host_services.h"
#include "host/messages.h"
#include "host/text_utils.h"
#include "oracle/client_library.h"
#include "platform/platform.h"

namespace connection {
namespace {

constexpr int kConnectButton = 15;
constexpr const char* kTnsHistory = "TnsNamesHistory";

std::unique_ptr<platform::RegistryKey> OpenLogonKey() {
  return platform::RegistryKey::Open(platform::Hive::CurrentUser, config::QuarryKeyPath(), true);
}

// The aliases of the client's tnsnames.ora, offered in the alias field.
// A client that cannot be loaded yet offers none; connecting reports why.
void OfferTnsAliases() {
  std::vector<std::string> aliases;
  try {
    aliases = oracle::OracleClient().ListTnsAliases();
  } catch (...) {
    return;
  }
  for (const std::string& alias : aliases) host::AddToDialogHistory(kTnsHistory, alias);
}

oracle::TConnectAsOption ConnectOption(int mode) {
  return mode == 1 ? oracle::caSYSDBA : mode == 2 ? oracle::caSYSOPER : oracle::caNormal;
}

}  // namespace

LogonSettings ReadLogonSettings() {
  auto key = OpenLogonKey();
  LogonSettings s;
  s.userName = host::FromOem(platform::ReadString(key.get(), "LogonUserName", ""));
  s.password = host::FromOem(platform::ReadString(key.get(), "LogonPassword", ""));
  s.savePassword = platform::ReadBool(key.get(), "SavePassword", false);
  s.tnsName = host::FromOem(platform::ReadString(key.get(), "TnsName", ""));
  s.connectAs = static_cast<int>(platform::ReadDword(key.get(), "ConnectAs", 0));
  return s;
}

void WriteLogonSettings(const LogonSettings& s) {
  auto key = OpenLogonKey();
  if (!key) return;
  key->SetString("LogonUserName", host::ToOem(s.userName));
  key->SetDword("SavePassword", s.savePassword ? 1 : 0);
  key->SetString("LogonPassword", s.savePassword ? host::ToOem(s.password) : std::string());
  key->SetString("TnsName", host::ToOem(s.tnsName));
  key->SetDword("ConnectAs", static_cast<std::uint32_t>(s.connectAs));
}

bool RunLogonDialog(LogonSettings& s, bool& useOci7) {
  bool normal = s.connectAs != 1 && s.connectAs != 2;
  bool sysdba = s.connectAs == 1;
  bool sysoper = s.connectAs == 2;
  using host::DialogItemSpec;
  std::vector<DialogItemSpec> items = {
      {far::DI_DOUBLEBOX, 3, 1, 42, false, {}, far::DIF_LEFTTEXT, std::string("&Oracle Logon")},
      {far::DI_TEXT, 9, 3, 0, false, {}, 0, std::string("&Name")},
      {far::DI_TEXT, 5, 4, 0, false, {}, 0, std::string("&Password")},
      {far::DI_TEXT, 10, 5, 0, false, {}, 0, std::string("&Tns")},
      {far::DI_TEXT, 5, 7, 0, false, {}, 0, std::string("&As")},
      {far::DI_EDIT, 14, 3, 39, true, {}, 0, &s.userName},
      {far::DI_PSWEDIT, 14, 4, 39, false, {}, 0, &s.password},
      {far::DI_EDIT, 14, 5, 39, false, std::string(kTnsHistory), far::DIF_HISTORY, &s.tnsName},
      {far::DI_TEXT, 0, 8, 0, false, {}, far::DIF_SEPARATOR, std::string()},
      {far::DI_RADIOBUTTON, 8, 7, 0, false, &normal, far::DIF_GROUP, std::string("Normal")},
      {far::DI_RADIOBUTTON, 19, 7, 0, false, &sysdba, 0, std::string("SYSDBA")},
      {far::DI_RADIOBUTTON, 30, 7, 0, false, &sysoper, 0, std::string("SYSOPER")},
      {far::DI_CHECKBOX, 5, 9, 0, false, &useOci7, 0, std::string("&Use OCI7 functions")},
      {far::DI_CHECKBOX, 5, 10, 0, false, &s.savePassword, 0, std::string("&Save password")},
      {far::DI_TEXT, 0, 11, 0, false, {}, far::DIF_SEPARATOR, std::string()},
      {far::DI_BUTTON, 0, 12, 0, false, {}, far::DIF_CENTERGROUP, std::string("&Connect")},
      {far::DI_BUTTON, 0, 12, 0, false, {}, far::DIF_CENTERGROUP, std::string("Cance&l")},
  };
  host::DialogActive = true;
  int result = host::RunDialog(nullptr, items);
  host::DialogActive = false;
  if (result != kConnectButton) return false;
  s.connectAs = sysdba ? 1 : sysoper ? 2 : 0;
  return true;
}

bool RunLogon(TPluginDataModule& module, const std::function<bool()>& beforeSessionEnds) {
  OfferTnsAliases();
  LogonSettings s = ReadLogonSettings();
  bool useOci7 = false;
  if (!RunLogonDialog(s, useOci7)) return false;
  s.userName = host::Trim(s.userName);
  s.password = host::Trim(s.password);
  s.tnsName = host::Trim(s.tnsName);
  if (s.userName.empty() || s.password.empty()) return false;

  oracle::TOracleSession& session = module.OracleSession();
  if (beforeSessionEnds && !beforeSessionEnds()) return session.Connected();
  far::HANDLE saved = host::ShowProgressMessage("Connecting to Oracle ...");
  bool restored = false;
  try {
    session.SetConnected(false);
    session.LogonUsername = s.userName;
    session.LogonPassword = s.password;
    session.LogonDatabase = s.tnsName;
    session.ConnectAs = ConnectOption(s.connectAs);
    session.Preferences.SetUseOCI7(useOci7);
    session.SetConnected(true);
    WriteLogonSettings(s);
  } catch (const std::exception& e) {
    host::RestoreProgress(saved);
    restored = true;
    host::ShowErrorMessage(e.what());
  } catch (...) {
    host::RestoreProgress(saved);
    restored = true;
    host::ShowErrorMessage("Unknown error while connecting");
  }
  if (!restored) host::RestoreProgress(saved);
  return session.Connected();
}

}  // namespace connection
