// drop_action.h — F8: drop, truncate or delete the selected objects, remove
// jobs, kill sessions.  The statements are confirmed, optionally shown in
// the editor, and run through the command runner; the panel is read again
// afterwards so that what was dropped is gone from it.
#pragma once

#include "panel/controller.h"

namespace operations {

// `alt` and `ctrl` are the key's control bits (they choose truncate and
// delete for tables and clusters; Ctrl wins).
void DropItems(panel::TOracleController& controller, bool alt, bool ctrl);

}  // namespace operations
