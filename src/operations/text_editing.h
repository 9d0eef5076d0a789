// text_editing.h — F3 / F4 on an item: view or edit the text behind it.
//
// The text is chosen by ChooseText, written to a temporary file and opened
// in the host's viewer or editor.  A compilable text that comes back
// changed is run as one statement, so the object is created or replaced;
// when the server then reports a compile error, the error is shown and the
// editor opens again at it, with the text fetched afresh.  A save that
// stores nothing shows why and gives the user's own text back.
#pragma once

#include <string>
#include <vector>

#include "panel/controller.h"

namespace operations {

// True when a compilable text came back from the editor modified (whether
// or not it could be saved): the panel should be refreshed.
bool ShowObjectText(panel::TOracleController& controller, bool edit, bool alternative);

// The lines of a text file without their line breaks (LF or CR LF); false
// when the file cannot be read.
bool ReadTextLines(const std::string& path, std::vector<std::string>& lines);

}  // namespace operations
