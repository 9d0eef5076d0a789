// tools_menu.h — F2: the custom utilities menu, SQL*Plus scripts described
// in INI files of the Tools folder, run under the panel's logon.
#pragma once

#include <string>

#include "panel/controller.h"

namespace operations {

// The menu of `fileName` (trimmed; "Tools.ini" for the top menu).  A nested
// menu shows itself again after a script; the top menu ends after one.
void ToolsMenu(panel::TOracleController& controller, const std::string& fileName = "Tools.ini",
               bool nested = false);

// The folders the tools menu reads: the user's own Tools folder first (on
// Linux beside the settings store, where a user may keep a Tools.ini of
// their own), then the one packaged beside the module.
struct ToolsFolders {
  std::string user;      // with a trailing separator; "" when there is none
  std::string packaged;  // plugin directory + "Tools" + separator
  // The folder holding `fileName`: the user's when it has one, else the
  // packaged one (which may not hold it either).
  std::string For(const std::string& fileName) const;
};
ToolsFolders ToolsFoldersOf(const std::string& pluginDirectory);

// A "Script" value made a path: "<ORAHOME>" (any case) replaced by the
// Oracle home; a relative path taken in `toolsDir`; on Linux backslashes
// read as "/".  Reports an unknown tag or a missing home and returns "".
std::string ExpandScriptPath(const std::string& path, const std::string& toolsDir, const std::string& oracleHome);

// The spool file of a "SPOOL" value in the folder the script runs in: ".LST"
// added when it has no extension (or a bare dot).  "" for an empty value.
std::string SpoolPath(const std::string& spool, const std::string& workDir);

}  // namespace operations
