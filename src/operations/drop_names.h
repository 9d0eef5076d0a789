// drop_names.h — the names F8, Ctrl+Z and comments send to the server, by
// the one name rule of connection/exact_names.h.
#pragma once

#include <string>
#include <vector>

#include "connection/exact_names.h"
#include "operations/drop_statements.h"
#include "panel/controller.h"

namespace operations {

// An item's name (ANSI, as shown) by the rule, looked up within the scope's
// owner and type for schema objects, libraries, columns and constraints;
// other kinds where names of that kind live.
std::string ExactItemName(connection::TPluginDataModule& module, const std::string& shown, const NameScope& scope);

// The levels of the current path (L1 first); the owner and table levels
// (L3 to L5) by the rule, the others as compared (upper case).
std::vector<std::string> ExactPathLevels(panel::TOracleController& controller);

}  // namespace operations
