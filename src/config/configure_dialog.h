// configure_dialog.h — the settings dialog behind the host's configuration menu.
#pragma once

namespace config {

// Shows the dialog; true (and the settings written) when confirmed with OK.
bool RunConfigureDialog();

}  // namespace config
