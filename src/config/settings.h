// settings.h — where the plugin keeps its settings and the switches read
// from there.
//
// Values live under HKEY_CURRENT_USER below the host's plugin root key.
// far2l hands "mb" plugins an empty root key, so there the root is
// "Software\Far2\Plugins" in our own registry store (see the README).
#pragma once

#include <memory>
#include <string>

#include "platform/platform.h"

namespace config {

// The host's plugin root key, or the far2l replacement when it is empty.
std::string PluginRootKey();
// PluginRootKey() + "\Quarry" and + "\Quarry\Settings".
std::string QuarryKeyPath();
std::string SettingsKeyPath();

// Opens (creating when missing) the settings key; null when impossible.
std::unique_ptr<platform::RegistryKey> OpenSettingsKey();

// What the plugin description needs, read afresh on every call.
struct DiskMenuSettings {
  bool addToDiskMenu = true;
  int diskNumber = 0;
};
DiskMenuSettings ReadDiskMenuSettings();

// The three process-wide switches, refreshed on every panel information
// request and consulted by the listing and key code.
struct Switches {
  bool ignoreOraErrors = true;
  bool showCommandText = true;
  bool sqlCommandLine = true;
};
void RefreshSwitches();
const Switches& CurrentSwitches();

}  // namespace config
