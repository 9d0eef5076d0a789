// path_levels.h — the panel path and the upper-cased levels derived from it.
//
// "\" is the root; "\TABLES\SCOTT\EMP" has levels "", "TABLES", "SCOTT",
// "EMP".  Level 1 is always the empty root level.
#pragma once

#include <string>
#include <vector>

namespace panel {

// Splits an ANSI path into upper-cased levels; a doubled backslash ends the
// list at that point.
std::vector<std::string> SplitPathLevels(const std::string& ansiPath);
// The same levels in their letter case, as the user or the host wrote them.
std::vector<std::string> SplitPathLevelsAsWritten(const std::string& path);
// The path one level up: "\TABLES\SCOTT" gives "\TABLES", "\TABLES" the root.
std::string ParentPath(const std::string& path);
// The path entered from `current` by a directory name handed over by the
// host (a full path when it starts with a backslash).
std::string DescendPath(const std::string& current, const std::string& name);
std::string UpperAnsi(std::string text);
// A directory text from the host in the panel's own form.  far2l's Find File
// sends '/' for the root and joins levels with '/': in a search, or in a
// text that starts with '/', those become backslashes and a trailing one is
// dropped.  Otherwise '/' belongs to the name (Java classes have it), and
// elsewhere than far2l the text is taken as it is.
std::string HostPathToPanelPath(const std::string& text, bool searching);
// The last level of a path as written ("\TABLES\Scott" gives "Scott"), and
// the n-th level as written (n = 2 is the first below the root); "" when
// there is none.
std::string LastLevelName(const std::string& path);
std::string LevelNameAt(const std::string& path, std::size_t n);

}  // namespace panel
