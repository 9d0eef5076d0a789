// object_privileges.cpp — the object privileges of a user or role: the
// four-level chain (owners, types, objects, grants) and the flat list of
// everything held directly and through roles.
#include <exception>
#include <memory>

#include "catalog/code_queries.h"
#include "catalog/listing_errors.h"
#include "catalog/security_listings.h"
#include "connection/statement_catalogue.h"

namespace catalog {
namespace {

using namespace connection;

// The object types a grantee holds privileges on, of one owner's objects:
// a type without any of that owner's objects would lead to an empty list.
constexpr const char* kTypesOfOwner =
    "SELECT O.OBJECT_TYPE FROM :DBA_TAB_PRIVS P, :DBA_OBJECTS O WHERE P.GRANTEE = :NAME AND P.:TABLE_SCHEMA = "
    ":OWNER AND P.:TABLE_SCHEMA = O.OWNER AND P.TABLE_NAME = O.OBJECT_NAME GROUP BY O.OBJECT_TYPE";

// Replaces the first `from` in `text` by `to`.
std::string ReplaceOnce(std::string text, const std::string& from, const std::string& to) {
  const std::size_t at = text.find(from);
  if (at != std::string::npos) text.replace(at, from.size(), to);
  return text;
}

}  // namespace

void ListObjectPrivilegeChain(Listing& l, const std::string& grantee, std::size_t base) {
  const std::size_t ownerLevel = base + 1, typeLevel = base + 2, objectLevel = base + 3;
  if (!l.Level(objectLevel + 1).empty()) return;
  if (l.Level(ownerLevel).empty()) {
    l.UseModes("DefaultPanelModes");
    l.ListStatement(kStmtObjectPrivilegeOwners, {{"OWNER"}, true, "", "", ""}, {{"OWNER", grantee}});
  } else if (l.Level(typeLevel).empty()) {
    l.UseModes("DefaultPanelModes");
    ListQueryText(l, ApplyDictionaryPrefix(kTypesOfOwner, l.Module().Prefix()), {{"OBJECT_TYPE"}, true, "", "", ""},
                  {{"NAME", grantee}, {"OWNER", ExactOwner(l, ownerLevel)}});
  } else if (l.Level(objectLevel).empty()) {
    l.UseModes("DefaultPanelModes");
    l.ListStatement(kStmtObjectPrivilegeObjects, {{"TABLE_NAME"}, true, "", "", ""},
                    {{"NAME", grantee}, {"OWNER", ExactOwner(l, ownerLevel)}, {"TYPE", l.Level(typeLevel)}});
  } else {
    l.UseModes("GrantorGranteePrivilegeAdmPanelModes");
    l.ListStatement(kStmtObjectPrivilegeGrants, {{"GRANTOR", "GRANTEE", "PRIVILEGE", "GRANTABLE"}, false, "", "", ""},
                    {{"NAME", grantee},
                     {"OWNER", ExactOwner(l, ownerLevel)},
                     {"OBJECT_NAME",
                      ExactLevel(l, objectLevel,
                                 connection::ObjectLookup(ExactOwner(l, ownerLevel), {l.Level(typeLevel)}))},
                     {"TYPE", l.Level(typeLevel)}});
  }
}

void ListAllObjectPrivileges(Listing& l, const std::string& grantee) {
  l.UseModes("ObjectOwnerTypePrivilegePanelModes");
  std::unique_ptr<oracle::TOracleQuery> query;
  try {
    query = l.Module().CreateOracleQueryByKind(kStmtAllObjectPrivileges);
    if (!query) return;
    // The roles of the grantee come from a DBA view that a session without
    // the catalog role may not read; it knows its own roles, and those
    // are the ones its ALL_ view shows grants for.
    if (l.Module().Prefix() == "ALL_")
      query->SetSQL(ReplaceOnce(query->Text(), "FROM DBA_ROLE_PRIVS WHERE GRANTEE = :OWNER",
                                "FROM USER_ROLE_PRIVS WHERE USERNAME = :OWNER"));
  } catch (...) {
    HandleListingError(l.request, std::current_exception());
    return;
  }
  MakeItemsFromDataSetByColumns(
      l.request, *query,
      {{"TABLE_NAME", "OWNER", "OBJECT_TYPE", "PRIVILEGE", "GRANTOR", "GRANTABLE", "CUSTOM_DESCRIPTION"}, false, "", "",
       ""},
      {{"OWNER", grantee}});
}

}  // namespace catalog
