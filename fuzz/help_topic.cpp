// Fuzzes the F1 topic chooser: the first line is the panel path, the second
// the current item.
#include "fuzz_support.h"
#include "operations/context_help.h"
#include "panel/path_levels.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::vector<std::string> in = fuzz::Lines(fuzz::Text(data, size), 2);
  const std::vector<std::string> levels = panel::SplitPathLevels(in[0]);
  const std::string item = panel::UpperAnsi(in[1]);
  const auto level = [&](std::size_t n) { return n >= 1 && n <= levels.size() ? levels[n - 1] : std::string(); };
  const operations::HelpRequest r = operations::ChooseHelpTopic(level, item);

  const std::string file = r.file;
  FUZZ_CHECK(file == operations::kPluginHelpFile || file == operations::kParameterHelpFile, file);
  // A parameter's page is named after the parameter; every other topic
  // comes from the path or the manual's own topic names.
  if (file == operations::kParameterHelpFile) {
    FUZZ_CHECK(r.topic == item && !item.empty(), r.topic);
  } else if (!r.topic.empty()) {
    bool known = r.topic == "Single User" || r.topic == ".Instance parameters";
    for (const std::string& l : levels) known = known || r.topic == l || r.topic == l + " for user";
    FUZZ_CHECK(known, r.topic);
  }
  return 0;
}
