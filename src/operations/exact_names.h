// exact_names.h — the one rule for names taken from the panel: a level or
// item that names an existing user or object as written is used as written
// (a quoted "Mixed Case" name); anything else is upper-cased, as the server
// stores unquoted names.
#pragma once

#include <string>
#include <vector>

#include "connection/data_module.h"

namespace operations {

// The levels of a path (ANSI) in their own letter case; the first entry is
// L2 (the top directory), as the actions number them.
std::vector<std::string> ExactPathLevels(const std::string& path);

// The name to send to the server for a name as the panel shows it.  Names
// already in upper case cost no look-up; a failed look-up keeps the name as
// written (the statement then reports what is wrong with it).
std::string NameByRule(connection::TPluginDataModule& module, const std::string& asWritten);

}  // namespace operations
