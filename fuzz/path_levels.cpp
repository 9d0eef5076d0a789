// Fuzzes the panel path grammar: splitting into levels, going up and down,
// and far2l's '/' paths.  The input's first line is the path, the second a
// directory name handed over by the host.
#include "fuzz_support.h"
#include "panel/path_levels.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::vector<std::string> in = fuzz::Lines(fuzz::Text(data, size), 2);
  const std::string& path = in[0];
  const std::string& name = in[1];

  const std::vector<std::string> levels = panel::SplitPathLevels(path);
  FUZZ_CHECK(!levels.empty() && levels[0].empty(), path);
  for (std::size_t n = 2; n <= levels.size(); ++n) {
    const std::string& level = levels[n - 1];
    FUZZ_CHECK(!level.empty() && level.find('\\') == std::string::npos, level);
    // The level as written is the same level.
    FUZZ_CHECK(panel::UpperAnsi(panel::LevelNameAt(path, n)) == level, level);
  }

  const std::string parent = panel::ParentPath(path);
  FUZZ_CHECK(parent == "\\" || path.compare(0, parent.size(), parent) == 0, parent);

  // Down one level and up again returns where we were.
  const bool rooted = !path.empty() && path[0] == '\\' && path.find("\\\\") == std::string::npos &&
                      (path == "\\" || path.back() != '\\');
  if (rooted && !name.empty() && name.find('\\') == std::string::npos) {
    const std::string below = panel::DescendPath(path, name);
    FUZZ_CHECK(panel::ParentPath(below) == path, below);
    FUZZ_CHECK(panel::LastLevelName(below) == name, below);
    FUZZ_CHECK(panel::SplitPathLevels(below).size() == levels.size() + 1, below);
  }

  for (bool searching : {false, true}) {
    const std::string panelPath = panel::HostPathToPanelPath(path, searching);
    if (searching || (!path.empty() && path[0] == '/'))
      FUZZ_CHECK(panelPath.find('/') == std::string::npos, panelPath);
    else
      FUZZ_CHECK(panelPath == path, panelPath);
  }
  return 0;
}
