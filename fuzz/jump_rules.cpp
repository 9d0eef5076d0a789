// Fuzzes "go to object": the rules that read the path levels and the
// current item.  Input lines: the panel path, the item's name, "D" for a
// directory item, then its custom columns.  Synonym lookups answer from the
// last column, or fail.
#include "fuzz_support.h"
#include "host/text_utils.h"
#include "operations/jump_rules.h"
#include "panel/path_levels.h"

namespace {

std::vector<std::string> ExactLevels(const std::string& path) {
  std::vector<std::string> out;
  for (std::size_t n = 2; n <= 8; ++n) out.push_back(panel::LevelNameAt(path, n));
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::vector<std::string> in = fuzz::Lines(fuzz::Text(data, size), 4);
  std::vector<std::string> levels = panel::SplitPathLevels(in[0]);
  levels.erase(levels.begin());
  levels.resize(7);
  operations::CurrentItem item;
  item.valid = true;
  item.name = in[1];
  item.directory = in[2] == "D";
  std::size_t start = 0;
  while (start < in[3].size()) {
    std::size_t end = in[3].find('\n', start);
    item.columns.push_back(in[3].substr(start, end == std::string::npos ? std::string::npos : end - start));
    if (end == std::string::npos) break;
    start = end + 1;
  }
  const operations::SynonymResolver answers = [&](const std::string&, const std::string&) {
    operations::SynonymTarget t;
    if (!item.columns.empty()) {
      t.objectType = host::BeforeDot(item.columns.back());
      t.tableOwner = "SCOTT";
      t.tableName = host::AfterDot(item.columns.back());
    }
    return t;
  };
  const operations::SynonymResolver fails = [](const std::string&, const std::string&) -> operations::SynonymTarget {
    throw std::runtime_error("ORA-03113: end-of-file on communication channel");
  };

  bool plainNames = item.name.find('\\') == std::string::npos;
  for (const std::string& c : item.columns) plainNames = plainNames && c.find('\\') == std::string::npos;
  for (const auto* resolver : {&answers, &fails}) {
    const std::string target = operations::JumpTargetFor(levels, item, *resolver);
    if (target.empty()) continue;
    FUZZ_CHECK(target[0] == '\\', target);
    // A missing key gives no target, never a path with an empty level.
    if (plainNames)
      FUZZ_CHECK(target.find("\\\\") == std::string::npos && target.back() != '\\', target);
    // The path's own spelling of the levels changes only letter case.
    const std::string exact = operations::JumpTargetFor(levels, item, *resolver, ExactLevels(in[0]));
    FUZZ_CHECK(host::UpperCase(exact) == host::UpperCase(target), target + " | " + exact);
  }
  return 0;
}
