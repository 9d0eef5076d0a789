// scratch_script.h — Shift+F4: the user's own SQL script.
//
// One script file, "far_user_sql.sql" in the temporary directory, keeps
// what the user wrote from one use to the next; after editing it the user
// may run it through the command runner.
#pragma once

#include <string>

#include "panel/controller.h"

namespace operations {

// Where the script lives.
std::string UserScriptPath();

// Edits the script and, when the user says so, runs it.  True when the
// command runner ran (the panel should be refreshed).
bool EditUserScript(panel::TOracleController& controller);

}  // namespace operations
