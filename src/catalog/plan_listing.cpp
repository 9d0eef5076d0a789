// plan_listing.cpp — the plan tree read with CONNECT BY.
#include "catalog/plan_listing.h"

#include "catalog/listing_errors.h"
#include "host/text_utils.h"

namespace catalog {

void ShowPlan(Listing& l, const std::string& statementId) {
  // The identifier goes into the text as a literal; a quote in it is doubled.
  std::string id;
  for (char c : host::UpperCase(statementId)) id += c == '\'' ? std::string("''") : std::string(1, c);
  std::unique_ptr<oracle::TOracleQuery> q;
  try {
    q = l.Module().CreateNewOracleQuery({});
  } catch (...) {
    HandleListingError(l.request, std::current_exception());
    return;
  }
  if (!q) return;
  q->SQL = {
      "SELECT LPAD(ROWNUM, 5, '0') AS RN, LPAD('.', 2*(LEVEL-1), '.') || OPERATION AS OPERATION, OPTIONS, "
      "OBJECT_NAME, POSITION,",
      "OPERATION || ' - ' || OPTIONS AS DESCRIPTION",
      "FROM \"PLAN_TABLE\" START WITH ID = 0 AND STATEMENT_ID = '" + id + "'",
      "CONNECT BY PRIOR ID = PARENT_ID AND STATEMENT_ID = '" + id + "'",
  };
  MakeItemsFromDataSetByColumns(l.request, *q,
                                {{"RN", "OPERATION", "OPTIONS", "OBJECT_NAME", "POSITION", "DESCRIPTION"}, false, "", "", ""});
}

}  // namespace catalog
