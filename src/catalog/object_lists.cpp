// object_lists.cpp — the per-object lists that routines, packages, types,
// triggers, sequences, tables and views share.  Each list chooses its own
// panel layout, so callers only route to it.
#include "catalog/object_lists.h"

#include "catalog/code_queries.h"
#include "catalog/dependency_tree.h"
#include "catalog/item_builders.h"
#include "catalog/listing_errors.h"
#include "connection/statement_catalogue.h"

namespace catalog {

void ListObjectErrors(Listing& l, const std::string& owner, const std::string& name, const std::string& type) {
  if (!l.Connected()) return;
  l.UseModes("NLCTextPanelModes");
  ListQueryText(l,
                "SELECT E.*, TO_CHAR(SEQUENCE, '0000') AS SQ FROM " + l.Module().Prefix() +
                    "ERRORS E WHERE NAME = :NAME AND OWNER = :OWNER AND TYPE = :TYPE",
                {{"SQ", "LINE", "POSITION", "TEXT"}, false, "", "", ""},
                {{"NAME", name}, {"OWNER", owner}, {"TYPE", type}});
}

void ListDependencies(Listing& l, const std::string& owner, const std::string& name, const std::string& type) {
  if (!l.Connected()) return;
  l.UseModes("NameObjectTypeTypeOwnerPanelModes");
  ListQueryText(l,
                "SELECT * FROM " + l.Module().Prefix() +
                    "DEPENDENCIES WHERE OWNER = :OWNER AND NAME = :NAME AND TYPE = :TYPE",
                {{"REFERENCED_NAME", "REFERENCED_TYPE", "DEPENDENCY_TYPE", "REFERENCED_OWNER"}, true, "", "", ""},
                {{"OWNER", owner}, {"NAME", name}, {"TYPE", type}});
}

void ListDependencyTree(Listing& l, const std::string& owner, const std::string& name, const std::string& type) {
  if (!l.Connected()) return;
  l.UseModes("ObjectTypeStatusPanelModes");
  LoadingMessage note(l.request);
  const std::string sql = "SELECT * FROM " + l.Module().Prefix() +
                          "DEPENDENCIES WHERE OWNER = :OWNER AND NAME = :NAME AND TYPE = :TYPE";
  // Each level's rows are read and its query closed before the walk goes
  // deeper, so a long chain never holds more than one cursor.
  auto read = [&](const DependencyKey& object) {
    std::vector<DependencyKey> refs;
    auto query = l.Module().CreateNewOracleQuery({"OWNER", "NAME", "TYPE"});
    if (!query) return refs;
    query->SetVariable("OWNER", object.owner);
    query->SetVariable("NAME", object.name);
    query->SetVariable("TYPE", object.type);
    query->SetSQL(sql);
    query->Execute();
    for (; !query->Eof(); query->Next())
      refs.push_back({query->FieldAsString("REFERENCED_OWNER"), query->FieldAsString("REFERENCED_NAME"),
                      query->FieldAsString("REFERENCED_TYPE")});
    query->Close();
    return refs;
  };
  auto emit = [&](const DependencyLine& line) { AddItem(l.request, line.number, {line.tree, line.type, ""}, false); };
  try {
    WalkDependencyTree({owner, name, type}, read, emit);
  } catch (...) {
    std::exception_ptr error = std::current_exception();
    note.Remove();
    HandleListingError(l.request, error);
  }
}

void ListObjectSize(Listing& l, const std::string& owner, const std::string& name, const std::string& type) {
  if (!l.Connected()) return;
  l.UseModes("ObjectValuePanelModes");
  LoadingMessage note(l.request);
  MakeRecordItemsWithComments(l.request, l.Module(), "DBA_OBJECT_SIZE",
                              "OWNER = :OWNER AND NAME = :NAME AND TYPE = :OBJECTTYPE",
                              {{"OWNER", owner}, {"NAME", name}, {"OBJECTTYPE", type}});
}

void ListReferencedFrom(Listing& l, const std::string& owner, const std::string& name) {
  if (!l.Connected()) return;
  l.UseModes("NameObjectTypeTypeOwnerPanelModes");
  l.ListStatement(connection::kStmtReferencedFrom, {{"NAME", "TYPE", "DEPENDENCY_TYPE", "OWNER"}, true, "", "", ""},
                  {{"NAME", name}, {"OWNER", owner}});
}

void ListGrants(Listing& l, const std::string& owner, const std::string& name) {
  if (!l.Connected()) return;
  l.UseModes("GrantorGranteePrivilegeAdmPanelModes");
  l.ListStatement(connection::kStmtObjectGrants, {{"GRANTOR", "GRANTEE", "PRIVILEGE", "GRANTABLE"}, false, "", "", ""},
                  {{"NAME", name}, {"OWNER", owner}});
}

void ListSynonymsOf(Listing& l, const std::string& owner, const std::string& name) {
  if (!l.Connected()) return;
  l.UseModes("DefaultPanelModes");
  l.ListStatement(connection::kStmtObjectSynonyms, {{"FILENAME", "DB_LINK"}, false, "", "", ""},
                  {{"NAME", name}, {"OWNER", owner}});
}

}  // namespace catalog
