// win32_process.h — the host stand-in's process set up as FAR's is on
// Windows, before any plugin runs.
#pragma once

namespace hostsim {

// Switches the process's file functions to the OEM code page (FAR does so at
// start, so every path a plugin gets from or gives to the A functions is OEM)
// and, when QUARRY_HOST_ORACLE_HOME names a folder (ANSI), registers it as
// an Oracle 8i/9i installer does: HKLM\SOFTWARE\ORACLE\HOME0, ALL_HOMES with
// HOME_COUNTER, and its bin folder first in PATH (the machine's and this
// process's); set but empty, it removes that registration.  QUARRY_HOST_TMP, when set, becomes TMP and TEMP (read as
// UTF-16, so a Cyrillic folder arrives whole whatever the code pages).
// Returns false with a message on stderr when that fails.
bool PrepareWindowsProcess();

// The registry root FAR hands its plugins (RootKey, ANSI): the value of
// QUARRY_HOST_ROOT_KEY when set (a run of its own, as "far /u" gives a user
// of FAR's own), else FAR's "Software\Far\Plugins".
const char* PluginsRootKey();

// FAR's CmpName on Windows: `text` matches the file mask `pattern` (both in
// the host's code page, OEM; the mask syntax is the system's).
bool MatchesFileMask(const char* pattern, const char* text);

}  // namespace hostsim
