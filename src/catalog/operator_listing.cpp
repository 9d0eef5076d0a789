// operator_listing.cpp — "Operators": owners, operators, an operator's
// bindings and a binding's arguments.
#include "catalog/code_family.h"
#include "catalog/code_queries.h"
#include "catalog/listing_errors.h"
#include "connection/statement_catalogue.h"
#include "oracle/oracle_variables.h"

namespace catalog {

using namespace connection;

void ListOperators(Listing& l) {
  if (!l.Connected()) return;
  if (l.Level(3).empty()) {
    l.UseModes("UserNameCountPanelModes");
    l.ListStatement(kStmtOperatorsOwners, {{"OWNER", "COUNTS"}, true, "", "", ""});
  } else if (l.Level(4).empty()) {
    l.UseModes("DefaultPanelModes");
    l.ListStatement(kStmtOperatorsOfOwner, {{"OPERATOR_NAME", "DESCRIPTION"}, true, "CREATED", "LAST_DDL_TIME", ""},
                    {{"OWNER", ExactOwner(l, 3)}});
  } else if (l.Level(5).empty()) {
    l.UseModes("BindFunctionReturnPanelModes");
    l.ListStatement(kStmtOperatorBindings, {{"BINDING#", "FUNCTION_NAME", "RETURNTYPE", "IMPTYPE"}, true, "", "", ""},
                    {{"NAME", ExactObject(l, 4, {"OPERATOR"})}, {"OWNER", ExactOwner(l, 3)}});
  } else if (l.Level(6).empty()) {
    // The binding number is a key the statement leaves to its caller.
    l.UseModes("PosTypePanelModes");
    std::unique_ptr<oracle::TOracleQuery> q;
    try {
      q = l.Module().CreateOracleQueryByKind(kStmtOperatorArguments);
      if (!q) return;
      q->DeclareVariable("BND", oracle::otString);
    } catch (...) {
      HandleListingError(l.request, std::current_exception());
      return;
    }
    MakeItemsFromDataSetByColumns(l.request, *q, {{"POSITION", "ARGUMENT_TYPE"}, false, "", "", ""},
                                  {{"NAME", ExactObject(l, 4, {"OPERATOR"})}, {"OWNER", ExactOwner(l, 3)}, {"BND", l.Level(5)}});
  }
}

}  // namespace catalog
