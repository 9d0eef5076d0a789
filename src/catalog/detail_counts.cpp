// detail_counts.cpp — guarded counts and two-key item names.
#include "catalog/detail_counts.h"

#include <exception>

#include "catalog/item_builders.h"
#include "catalog/listing_errors.h"
#include "oracle/oracle_error.h"

namespace catalog {

bool SplitItemName(const std::string& item, bool atLast, std::string& before, std::string& after) {
  const std::size_t dot = atLast ? item.rfind('.') : item.find('.');
  if (dot == std::string::npos || dot == 0 || dot + 1 >= item.size()) return false;
  before = item.substr(0, dot);
  after = item.substr(dot + 1);
  return true;
}

long long CountFrom(Listing& l, const std::string& fromWhere, const VariablePairs& vars, bool hint) {
  try {
    std::vector<std::string> names;
    for (const auto& v : vars) names.push_back(v.first);
    auto query = l.Module().CreateNewOracleQuery(names);
    if (!query) return -1;
    for (const auto& [name, value] : vars)
      if (!name.empty()) query->SetVariable(name, value);
    query->SetSQL(std::string(hint ? "SELECT /*+ RULE */ COUNT(*) FROM " : "SELECT COUNT(*) FROM ") + fromWhere);
    query->Execute();
    const long long count = query->Eof() ? 0 : query->FieldAsInteger(0);
    query->Close();
    return count;
  } catch (...) {
    HandleListingError(l.request, std::current_exception());
    // A detail runs many counts over the same kind of view: the user hears
    // of a refused view once, not once per count.
    try {
      throw;
    } catch (const oracle::EOracleError& e) {
      if (e.ErrorCode() == 942) l.request.missingViewReported = true;
    } catch (...) {
    }
    return -1;
  }
}

void AddCounted(Listing& l, const std::string& name, long long count, const std::string& description) {
  if (count <= 0) return;
  std::vector<std::string> columns{std::to_string(count)};
  if (!description.empty()) columns.push_back(description);
  AddItem(l.request, name, columns, true);
}

bool IsWholeNumber(const std::string& text) {
  if (text.empty() || text.size() > 18) return false;
  for (char c : text)
    if (c < '0' || c > '9') return false;
  return true;
}

}  // namespace catalog
