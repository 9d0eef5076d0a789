// dispatcher.h — hands the listing of a directory to the family that owns
// its first path level.
#pragma once

#include "panel/controller.h"

namespace catalog {

// Lists the controller's current directory below the root into `request`
// (the ".." item first).  Always true; errors are handled by the families.
bool DispatchListing(panel::TOracleController& controller, panel::FindDataRequest& request);

}  // namespace catalog
