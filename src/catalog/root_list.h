// root_list.h — the object kinds shown at the panel's root.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "panel/item_buffer.h"

namespace catalog {

// The 34 root directories with their descriptions, in display order.
const std::vector<std::pair<std::string, std::string>>& RootDirectories();
// Appends them as directories (no query, no connection needed).
void ListRoot(panel::FindDataRequest& request);

}  // namespace catalog
