// routine_listing.cpp — "Functions" and "Procedures": one lister, the object
// type word taken from the root directory.
#include "catalog/code_details.h"
#include "catalog/code_family.h"
#include "catalog/code_queries.h"
#include "catalog/item_builders.h"
#include "catalog/routine_arguments.h"
#include "connection/statement_catalogue.h"

namespace catalog {
namespace {

void ListRoutineDetail(Listing& l, const CodeObject& o) {
  l.UseModes("ObjectValuePanelModes");
  LoadingMessage note(l.request);
  AddItem(l.request, ".DESCRIPTION", {}, true);
  AddItem(l.request, ".OBJECT SIZE", {}, true);
  CodeDetailCounts counts(l, o);  // in one statement (see CountBatch)
  AddReferencedFromDetail(l, o, &counts);
  AddSynonymsDetail(l, o, &counts);
  AddGrantsDetail(l, o, &counts);
  AddErrorsDetail(l, o, true, &counts);
  AddDependenciesDetail(l, o, true, &counts);
}

}  // namespace

void ListRoutines(Listing& l) {
  if (!l.Connected()) return;
  const bool functions = l.Level(2) == "FUNCTIONS";
  const CodeObject o{ExactOwner(l, 3), ExactObject(l, 4, {functions ? "FUNCTION" : "PROCEDURE"}),
                     functions ? "FUNCTION" : "PROCEDURE"};
  if (l.Level(3).empty()) {
    l.UseModes("UserNameCountPanelModes");
    l.ListStatement(functions ? connection::kStmtFunctionsOwners : connection::kStmtProceduresOwners,
                    {{"OWNER", "COUNTS"}, true, "", "", ""});
  } else if (l.Level(4).empty()) {
    l.UseModes("DefaultPanelModes");
    l.ListStatement(functions ? connection::kStmtFunctionsOfOwner : connection::kStmtProceduresOfOwner,
                    {{"OBJECT_NAME", "CUSTOM_DESCRIPTION"}, true, "CREATED", "LAST_DDL_TIME", ""},
                    {{"OWNER", o.owner}});
  } else if (l.Level(5).empty()) {
    ListRoutineDetail(l, o);
  } else if (l.Level(6).empty()) {
    if (l.Level(5) == ".DESCRIPTION")
      ListRoutineArguments(l, o.owner, o.name, "");
    else
      ListSharedDetail(l, l.Level(5), o);
  }
}

}  // namespace catalog
