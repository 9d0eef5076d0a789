// console_input.h — the console input during long work, and files created
// exclusively.  Implemented per OS in console_posix.cpp / console_win32.cpp.
#pragma once

#include <string>

namespace platform {

// Creates `path` as a new, empty file, exclusively: false when a file of that
// name exists already (or it cannot be made), so a caller never takes over a
// file of the user's.  `path` is in the ANSI code page on Windows (UTF-8
// elsewhere).
bool CreateNewFile(const std::string& path);

// Takes the events waiting in the console input, without waiting for any,
// and says whether Esc was pressed among them: how a plugin notices Esc
// during long work (other keys typed meanwhile are dropped, as the hosts'
// own long operations do).  Windows: the process's console input; POSIX:
// the console of the far2l process the plugin runs in (its WinPort
// exports); false where there is none.  No strings.
bool ConsoleEscapePressed();

}  // namespace platform
