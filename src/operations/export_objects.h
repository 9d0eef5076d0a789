// export_objects.h — F5: export the chosen users or tables with the Oracle
// export utility, driven by a parameter file built from a dialog.
#pragma once

#include "operations/export_params.h"
#include "panel/controller.h"

namespace operations {

// Only when connected (the key table checks).
void ExportObjects(panel::TOracleController& controller);

// The export dialog until "&Run" (true) or the end of the action (false):
// the extra buttons and "&Help" reopen it, an empty file name too, after
// its message.  The values are kept in `options` across the reopenings.
bool ExportDialog(ExportOptions& options);

}  // namespace operations
