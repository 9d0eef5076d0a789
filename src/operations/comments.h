// comments.h — Ctrl+Z: edit the dictionary comment of the table, view or
// column under the cursor.
#pragma once

#include "panel/controller.h"

namespace operations {

// Chooses the target from the path and the current item, reads its
// comment, lets the user edit it and writes it back; refreshes the panel
// when the comment was written.
void EditComment(panel::TOracleController& controller);

}  // namespace operations
