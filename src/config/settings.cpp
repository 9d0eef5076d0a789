// settings.cpp — registry locations and the switches read from them.
#include "config/settings.h"

#include "host/host_services.h"

namespace config {
namespace {

Switches g_switches;

// The root FAR 1.70 itself would hand out, used where the host gives none.
constexpr const char* kFallbackRootKey = "Software\\Far2\\Plugins";

}  // namespace

std::string PluginRootKey() {
  std::string root = host::HostRootKey();
  return root.empty() ? std::string(kFallbackRootKey) : root;
}

std::string QuarryKeyPath() { return PluginRootKey() + "\\Quarry"; }
std::string SettingsKeyPath() { return QuarryKeyPath() + "\\Settings"; }

std::unique_ptr<platform::RegistryKey> OpenSettingsKey() {
  return platform::RegistryKey::Open(platform::Hive::CurrentUser, SettingsKeyPath(), true);
}

DiskMenuSettings ReadDiskMenuSettings() {
  auto key = OpenSettingsKey();
  DiskMenuSettings s;
  s.addToDiskMenu = platform::ReadBool(key.get(), "AddToDiskMenu", true);
  s.diskNumber = static_cast<int>(platform::ReadDword(key.get(), "DiskNumber", 0));
  return s;
}

void RefreshSwitches() {
  auto key = OpenSettingsKey();
  g_switches.ignoreOraErrors = platform::ReadBool(key.get(), "IgnoreORAErrors", true);
  g_switches.showCommandText = platform::ReadBool(key.get(), "ShowCommandText", true);
  g_switches.sqlCommandLine = platform::ReadBool(key.get(), "SQLCommandLine", true);
}

const Switches& CurrentSwitches() { return g_switches; }

}  // namespace config
