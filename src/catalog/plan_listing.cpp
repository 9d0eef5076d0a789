// plan_listing.cpp — the plan tree read with CONNECT BY.
#include "catalog/plan_listing.h"

#include "catalog/code_queries.h"
#include "host/text_utils.h"

namespace catalog {

void ShowPlan(Listing& l, const std::string& statementId) {
  // The identifier goes into the text as a literal; a quote in it is doubled.
  std::string id;
  for (char c : host::UpperCase(statementId)) id += c == '\'' ? std::string("''") : std::string(1, c);
  // The lines as the plan has always been asked for (joined as the query
  // object joins them), so the cached statement stays the same.
  const std::string sql =
      "SELECT LPAD(ROWNUM, 5, '0') AS RN, LPAD('.', 2*(LEVEL-1), '.') || OPERATION AS OPERATION, OPTIONS, "
      "OBJECT_NAME, POSITION,\r\n"
      "OPERATION || ' - ' || OPTIONS AS DESCRIPTION\r\n"
      "FROM \"PLAN_TABLE\" START WITH ID = 0 AND STATEMENT_ID = '" + id + "'\r\n"
      "CONNECT BY PRIOR ID = PARENT_ID AND STATEMENT_ID = '" + id + "'";
  ListQueryText(l, sql, {{"RN", "OPERATION", "OPTIONS", "OBJECT_NAME", "POSITION", "DESCRIPTION"}, false, "", "", ""},
                {});
}

}  // namespace catalog
