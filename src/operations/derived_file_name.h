// derived_file_name.h — a file name made from an object's name (Shift+F5's
// suggested script "TABLE.sql").  Oracle lets a quoted name hold any
// character but '"', so a name can read as a path ("../../x", "..\\x",
// "C:x"), hold control characters or be a Windows device ("CON", "NUL"):
// such a name must still give one plain file in the folder it is meant for.
#pragma once

#include <string>

namespace operations {

// `name` + `extension` as one file name without any folder part: path
// separators, drive colons, the characters Windows refuses in names
// (* ? " < > |) and control characters become '_'; a Windows device name
// (CON, PRN, AUX, NUL, COM1-9, LPT1-9, in any case, with or without an
// extension) gets a '_' appended so it names a file.  Other bytes, letters
// beyond ASCII included, are kept as they are.
std::string DerivedFileName(const std::string& name, const std::string& extension);

}  // namespace operations
