// exact_names.cpp — path levels in their letter case and the existence
// look-up behind the name rule.
#include "operations/exact_names.h"

#include "host/text_utils.h"

namespace operations {

std::vector<std::string> ExactPathLevels(const std::string& path) {
  std::vector<std::string> levels;
  std::size_t start = path.find('\\');
  if (start == std::string::npos) return levels;
  ++start;
  while (start < path.size()) {
    std::size_t end = path.find('\\', start);
    std::string field = path.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (field.empty()) break;
    levels.push_back(field);
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return levels;
}

std::string NameByRule(connection::TPluginDataModule& module, const std::string& asWritten) {
  const std::string upper = host::UpperCase(asWritten);
  if (asWritten == upper) return upper;
  try {
    auto q = module.CreateNewOracleQuery({"N"});
    if (!q) return asWritten;
    q->SetVariable("N", asWritten);
    for (const char* sql : {"SELECT COUNT(*) FROM ALL_USERS WHERE USERNAME = :N",
                            "SELECT COUNT(*) FROM ALL_OBJECTS WHERE OBJECT_NAME = :N"}) {
      q->SetSQL(sql);
      q->Execute();
      const bool found = !q->Eof() && q->FieldAsInteger(0) > 0;
      q->Close();
      if (found) return asWritten;
    }
    return upper;
  } catch (...) {
    return asWritten;
  }
}

}  // namespace operations
