// drop_names.h — the exact-name rule for the names F8 and Ctrl+Z send to
// the server: a name that exists as written is used as written (quoted
// identifiers such as "Mixed Case" or "with blank"); any other is taken in
// upper case, as the server stores unquoted names.
#pragma once

#include <string>
#include <vector>

#include "operations/drop_statements.h"
#include "panel/controller.h"

namespace operations {

// An item's name (ANSI, as shown) by the rule, looked up where names of
// this kind live.  A look-up that fails counts as found: the statement then
// fails with the server's own error naming what the user saw.
std::string ExactItemName(connection::TPluginDataModule& module, const std::string& shown, NameKind kind);

// The levels of the current path (L1 first); the owner and table levels
// (L3 to L5) by the rule, the others as compared (upper case).
std::vector<std::string> ExactPathLevels(panel::TOracleController& controller);

}  // namespace operations
