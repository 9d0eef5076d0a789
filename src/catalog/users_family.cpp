// users_family.cpp — the "Users" root and its special directories (roles,
// profiles, consumer groups, the password file); a user's own tree is
// user_detail's, a role's role_detail's.
#include "catalog/users_family.h"

#include "catalog/code_queries.h"
#include "catalog/item_builders.h"
#include "catalog/security_listings.h"
#include "connection/statement_catalogue.h"

namespace catalog {
namespace {

using namespace connection;

constexpr const char* kDefault = "DefaultPanelModes";

void UsersRoot(Listing& l) {
  l.UseModes(kDefault);
  LoadingMessage note(l.request);
  AddItem(l.request, ".ROLES", {}, true);
  AddItem(l.request, ".PROFILES", {}, true);
  AddCounted(l, ".PASSWORD FILE", CountFrom(l, "V$PWFILE_USERS", {}),
             "The users who have been granted SYSDBA and SYSOPER privileges as derived from the password file");
  AddCounted(l, ".CONSUMERS", CountFrom(l, "DBA_RSRC_CONSUMER_GROUPS", {}),
             "The resource consumer groups which exist in the database");
  note.Remove();
  l.ListStatement(kStmtAllUsers, {{"USERNAME", "ACCOUNT_STATUS", "CREATED"}, true, "CREATED", "", ""});
}

void Roles(Listing& l) {
  if (l.Level(4).empty()) {
    l.UseModes(kDefault);
    l.ListStatement(kStmtRoles, SecurityDirs({"ROLE"}));
  } else {
    ListRoleTree(l, ExactLevel(l, 4, connection::NameKind::Role));
  }
}

void Profiles(Listing& l) {
  const std::string profile = ExactLevel(l, 4, connection::NameKind::Profile);
  if (l.Level(4).empty()) {
    l.UseModes(kDefault);
    l.ListStatement(kStmtProfiles, SecurityDirs({"PROFILE"}));
  } else if (l.Level(5).empty()) {
    l.UseModes(kDefault);
    AddItem(l.request, ".LIMITS", {}, true);
    AddItem(l.request, ".USERS", {}, true);
  } else if (!l.Level(6).empty()) {
    return;
  } else if (l.Level(5) == ".LIMITS") {
    l.UseModes("ResourceTypeLimitPanelModes");
    l.ListStatement(kStmtProfileLimits, SecurityFiles({"RESOURCE_NAME", "RESOURCE_TYPE", "LIMIT"}), {{"OWNER", profile}});
  } else if (l.Level(5) == ".USERS") {
    l.UseModes(kDefault);
    l.ListStatement(kStmtProfileUsers, SecurityDirs({"USERNAME"}), {{"OWNER", profile}});
  }
}

void Consumers(Listing& l) {
  if (l.Level(4).empty()) {
    l.UseModes("GroupStatusPanelModes");
    l.ListStatement(kStmtConsumerGroups, SecurityDirs(ConsumerGroupColumns()));
  } else if (l.Level(5).empty()) {
    l.UseModes("GranteeInitAdmPanelModes");
    l.ListStatement(kStmtConsumerGroupGrantees, SecurityFiles({"GRANTEE", "INITIAL_GROUP", "GRANT_OPTION"}),
                    {{"OWNER", ExactLevel(l, 4, connection::NameKind::ConsumerGroup)}});
  }
}

void PasswordFile(Listing& l) {
  if (!l.Level(4).empty()) return;
  l.UseModes("UserNameSysdbaSysoperPanelModes");
  l.ListStatement(kStmtPasswordFileUsers, SecurityDirs({"USERNAME", "SYSDBA", "SYSOPER"}));
}

}  // namespace

// The description column of the group view is COMMENTS; a misspelt name
// would leave the column empty on every server.
const std::vector<std::string>& ConsumerGroupColumns() {
  static const std::vector<std::string> columns = {"CONSUMER_GROUP", "STATUS", "MANDATORY", "CPU_METHOD", "COMMENTS"};
  return columns;
}

void ListUsers(Listing& l) {
  if (!l.Connected()) return;
  const std::string level3 = l.Level(3);
  if (level3.empty())
    UsersRoot(l);
  else if (level3 == ".ROLES")
    Roles(l);
  else if (level3 == ".PROFILES")
    Profiles(l);
  else if (level3 == ".CONSUMERS")
    Consumers(l);
  else if (level3 == ".PASSWORD FILE")
    PasswordFile(l);
  else
    ListUserTree(l, ExactOwner(l, 3));
}

}  // namespace catalog
