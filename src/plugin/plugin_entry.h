// plugin_entry.h — the module-wide work behind the exports: the plugin's
// description, and the hand-over points for keys, events and configuration.
#pragma once

#include "host/far_abi.h"

namespace panel {
class TOracleController;
}

namespace plugin {

// The text of the disk-menu, plugins-menu and configuration-menu entries.
extern const char* const kPluginMenuString;

// Fills the plugin description from the settings and removes the client's
// "sqlnet.log" beside the module.
void FillPluginInfo(far::PluginInfo& info);

// Keys (already cut to 16 bits, pre-process calls filtered out), panel
// events and the Configure dialog.  True when handled.
bool DispatchKey(panel::TOracleController& controller, int key, unsigned controlState);
bool DispatchEvent(panel::TOracleController& controller, int event, void* param);
bool RunConfigure(int itemNumber);

}  // namespace plugin
