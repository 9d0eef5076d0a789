// package_listing.cpp — "Packages" (the package detail with its routines in
// lower case, each opening its argument list) and "Package bodies".
#include "catalog/code_details.h"
#include "catalog/code_family.h"
#include "catalog/code_queries.h"
#include "catalog/item_builders.h"
#include "catalog/routine_arguments.h"
#include "connection/statement_catalogue.h"

namespace catalog {
namespace {

using namespace connection;

void ListPackageDetail(Listing& l, const CodeObject& o) {
  l.UseModes("ObjectValuePanelModes");
  LoadingMessage note(l.request);
  // The counts in one statement (see CountBatch).
  CodeDetailCounts counts(l, o);
  const std::string contextsSql =
      "SELECT COUNT(*) FROM " + l.Module().Prefix() + "CONTEXT WHERE SCHEMA = :OWNER AND PACKAGE = :NAME";
  const VariablePairs keys{{"OWNER", o.owner}, {"NAME", o.name}};
  const std::size_t contexts = counts.batch.Add(contextsSql, keys, [&] { return CountText(l, contextsSql, keys); });
  AddSynonymsDetail(l, o, &counts);
  AddGrantsDetail(l, o, &counts);
  AddErrorsDetail(l, o, true, &counts);
  AddDependenciesDetail(l, o, true, &counts);
  AddReferencedFromDetail(l, o, &counts);
  AddDetailDirectory(l.request, ".CONTEXTS", counts.batch.Value(contexts));
  AddItem(l.request, ".OBJECT SIZE", {}, true);
  // Routine names come in lower case, which keeps them apart from the
  // upper-case detail directories.
  l.ListStatement(kStmtPackageRoutines, {{"OBJECT_NAME", "CUSTOM_DESCRIPTION"}, true, "", "", ""},
                  {{"OWNER", o.owner}, {"NAME", o.name}});
}

}  // namespace

void ListPackages(Listing& l) {
  if (!l.Connected()) return;
  const CodeObject o{ExactOwner(l, 3), ExactObject(l, 4, {"PACKAGE"}), "PACKAGE"};
  if (l.Level(3).empty()) {
    l.UseModes("UserNameCountPanelModes");
    l.ListStatement(kStmtPackagesOwners, {{"OWNER", "COUNTS"}, true, "", "", ""});
  } else if (l.Level(4).empty()) {
    l.UseModes("DefaultPanelModes");
    l.ListStatement(kStmtPackagesOfOwner, {{"OBJECT_NAME", "CUSTOM_DESCRIPTION"}, true, "CREATED", "LAST_DDL_TIME", ""},
                    {{"OWNER", o.owner}});
  } else if (l.Level(5).empty()) {
    ListPackageDetail(l, o);
  } else if (l.Level(6).empty()) {
    const std::string detail = l.Level(5);
    if (detail == ".CONTEXTS") {
      l.UseModes("NamespacePackagePanelModes");
      l.ListStatement(kStmtPackageContexts, {{"NAMESPACE", "PACKAGE"}, false, "", "", ""},
                      {{"OWNER", o.owner}, {"NAME", o.name}});
    } else if (!ListSharedDetail(l, detail, o)) {
      // Any other name is one of the package's routines (shown in lower
      // case, stored in upper case).
      ListRoutineArguments(l, o.owner, detail, o.name);
    }
  }
}

void ListPackageBodies(Listing& l) {
  if (!l.Connected()) return;
  if (l.Level(3).empty()) {
    l.ListStatement(kStmtPackageBodiesOwners, {{"OWNER", "COUNTS"}, true, "", "", ""});
  } else if (l.Level(4).empty()) {
    l.UseModes("DefaultPanelModes");
    l.ListStatement(kStmtPackageBodiesOfOwner,
                    {{"OBJECT_NAME", "CUSTOM_DESCRIPTION"}, false, "CREATED", "LAST_DDL_TIME", ""},
                    {{"OWNER", ExactOwner(l, 3)}});
  }
}

}  // namespace catalog
