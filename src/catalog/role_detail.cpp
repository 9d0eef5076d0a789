// role_detail.cpp — one role: its counted details, its grantees (a grantee
// that is a role itself carries ".ROLE"), and the privilege lists below it.
#include "catalog/code_queries.h"
#include "catalog/item_builders.h"
#include "catalog/security_listings.h"
#include "connection/statement_catalogue.h"

namespace catalog {
namespace {

using namespace connection;

// ROLE_ROLE_PRIVS and ROLE_SYS_PRIVS show only the roles the session holds
// itself, so a DBA browsing a role it was never granted would see it hold
// nothing. A session that reads the DBA views asks them, as for a user.
bool ReadsDbaViews(Listing& l) { return l.Module().Prefix() == "DBA_"; }

void RoleDetail(Listing& l, const std::string& role) {
  l.UseModes("ObjectValuePanelModes");
  const VariablePairs name{{"NAME", role}};
  LoadingMessage note(l.request);
  const long long roles = CountFrom(
      l, ReadsDbaViews(l) ? "DBA_ROLE_PRIVS WHERE GRANTEE = :NAME" : "ROLE_ROLE_PRIVS WHERE ROLE = :NAME", name);
  AddCounted(l, ".ROLES", roles);
  if (roles > 0) AddItem(l.request, ".ALL PRIVILEGES", {}, true);
  AddCounted(l, ".PRIVILEGES", CountFrom(l, "DBA_SYS_PRIVS WHERE GRANTEE = :NAME", name));
  if (roles > 0 || CountFrom(l, l.Module().Prefix() + "TAB_PRIVS WHERE GRANTEE = :NAME", name) > 0) {
    AddItem(l.request, ".OBJECT PRIVILEGES", {}, true);
    AddItem(l.request, ".ALL OBJECT PRIVS", {}, true);
  }
  note.Remove();
  l.ListStatement(kStmtRoleGrantees, {{"FILENAME"}, false, "", "", ""}, {{"OWNER", role}});
}

}  // namespace

void ListRoleTree(Listing& l, const std::string& role) {
  const std::string detail = l.Level(5);
  if (detail.empty()) {
    RoleDetail(l, role);
    return;
  }
  if (detail == ".OBJECT PRIVILEGES") {
    ListObjectPrivilegeChain(l, role, 5);
    return;
  }
  if (!l.Level(6).empty()) return;
  const VariablePairs owner{{"OWNER", role}};
  const ItemColumns privileges{{"PRIVILEGE", "ADMIN_OPTION"}, false, "", "", ""};
  if (detail == ".ROLES") {
    l.UseModes("NameAdmPanelModes");
    l.ListStatement(ReadsDbaViews(l) ? kStmtUserRoles : kStmtRoleRoles, {{"GRANTED_ROLE", "ADMIN_OPTION"}, false, "", "", ""}, owner);
  } else if (detail == ".PRIVILEGES") {
    l.UseModes("NameAdmPanelModes");
    l.ListStatement(kStmtSystemPrivileges, privileges, owner);
  } else if (detail == ".ALL PRIVILEGES") {
    l.UseModes("NameAdmPanelModes");
    l.ListStatement(ReadsDbaViews(l) ? kStmtUserAllPrivileges : kStmtRoleAllPrivileges, privileges, owner);
  } else if (detail == ".ALL OBJECT PRIVS") {
    ListAllObjectPrivileges(l, role);
  }
}

}  // namespace catalog
