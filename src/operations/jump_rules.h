// jump_rules.h — where Enter on an item that stands for another object
// takes the panel ("go to object").
#pragma once

#include <string>

#include "operations/current_item.h"
#include "panel/controller.h"

namespace operations {

// The directory of an object kind ("TABLE" gives "TABLES"); "" when the kind
// has no directory of its own.
std::string DirectoryOfKind(const std::string& kind);

// The path to jump to from the current item, or "" when there is none.
std::string GetJumpTarget(panel::TOracleController& controller, const CurrentItem& item);

}  // namespace operations
