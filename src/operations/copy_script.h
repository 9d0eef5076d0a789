// copy_script.h — Shift+F5: a table's rows copied into a SQL*Plus script in
// the directory of the other panel (the script writer is table_script.h).
#pragma once

#include <string>

#include "operations/table_script.h"
#include "panel/controller.h"

namespace operations {

// The copy dialog: object name shown in the title, the file name and the six
// options read and written back; true when "&Save" was chosen.
bool CopyTableDialog(const std::string& objectName, std::string& fileName, ScriptOptions& options);

// The whole action; true when the key was taken.
bool CopyTableToScript(panel::TOracleController& controller, const std::string& currentItem);

// The table the panel shows at the current item: owner and name from the
// path and the item, or false when the item is not a table there.
bool TableAtItem(const std::string& currentDirectory, const std::string& item, std::string& owner,
                 std::string& table);

}  // namespace operations
