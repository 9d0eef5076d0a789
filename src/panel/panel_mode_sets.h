// panel_mode_sets.h — the constant table of every panel-mode set.
#pragma once

#include <vector>

#include "panel/panel_modes.h"

namespace panel {

const std::vector<PanelModeSetSpec>& PanelModeSetSpecs();

}  // namespace panel
