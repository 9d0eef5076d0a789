// key_dispatch.h — which keys the plugin takes over and what they start,
// and the panel events it answers.
#pragma once

#include "panel/controller.h"

namespace operations {

// `key` is the 16-bit virtual key, `state` the Ctrl/Alt/Shift bits.
// True when the plugin handled the key.
bool ProcessKey(panel::TOracleController& controller, int key, unsigned state);
bool ProcessEvent(panel::TOracleController& controller, int event, void* param);

}  // namespace operations
