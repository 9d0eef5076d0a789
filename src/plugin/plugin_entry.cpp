// plugin_entry.cpp — the plugin's description and the module-wide handlers
// behind the exports.
#include "plugin/plugin_entry.h"

#include "config/configure_dialog.h"
#include "config/settings.h"
#include "operations/key_dispatch.h"
#include "panel/session_end.h"
#include "platform/platform.h"

namespace plugin {

const char* const kPluginMenuString = "Quarry manager";

namespace {

// The host (Win32) keeps using these after GetPluginInfo returns.
const char* const kMenuStrings[] = {kPluginMenuString};
int g_diskNumbers[1] = {0};

}  // namespace

void FillPluginInfo(far::PluginInfo& info) {
  config::DiskMenuSettings settings = config::ReadDiskMenuSettings();
  g_diskNumbers[0] = settings.diskNumber;
  info.StructSize = far::kPluginInfoSize;
  info.Flags = 0;
  info.DiskMenuStrings = kMenuStrings;
  info.DiskMenuNumbers = g_diskNumbers;
  info.DiskMenuStringsNumber = settings.addToDiskMenu ? 1 : 0;
  info.PluginMenuStrings = kMenuStrings;
  info.PluginMenuStringsNumber = 1;
  info.PluginConfigStrings = kMenuStrings;
  info.PluginConfigStringsNumber = 1;
  info.CommandPrefix = nullptr;
  // The Oracle client writes its trace here when it fails; it is not kept.
  platform::RemoveFile(platform::DirectoryOf(platform::ModuleFileName()) + "sqlnet.log");
}

bool DispatchKey(panel::TOracleController& controller, int key, unsigned controlState) {
  return operations::ProcessKey(controller, key, controlState);
}

bool DispatchEvent(panel::TOracleController& controller, int event, void* param) {
  // The host is about to close the panel (the user leaves it, or quits the
  // host): true refuses, keeping a session whose changes the user keeps.
  if (event == far::FE_CLOSE)
    return !panel::ConfirmEndOfSession(controller.DataModule(), panel::SessionEnd::ClosePanel);
  if (event == far::FE_REDRAW) {
    try {
      controller.ResolvePendingCurrentName();
    } catch (...) {
      // Only the cursor's place is lost.
    }
  }
  return operations::ProcessEvent(controller, event, param);
}

bool RunConfigure(int /*itemNumber*/) { return config::RunConfigureDialog(); }

}  // namespace plugin
