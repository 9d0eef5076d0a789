// user_detail.cpp — one user: the objects by type, the counted detail
// directories (each count guarded on its own, so a view the session may not
// read hides only its own directory), the record, and the lists below.
#include "catalog/code_queries.h"
#include "catalog/detail_counts.h"
#include "catalog/item_builders.h"
#include "catalog/security_listings.h"
#include "catalog/table_helpers.h"
#include "connection/statement_catalogue.h"

namespace catalog {
namespace {

using namespace connection;

constexpr const char* kNameAdm = "NameAdmPanelModes";

void UserDetail(Listing& l, const std::string& user) {
  l.UseModes("ObjectValuePanelModes");
  const VariablePairs name{{"NAME", user}};
  ListQueryText(l,
                "SELECT OBJECT_TYPE, COUNT(OBJECT_NAME) AS COUNTS FROM " + l.Module().Prefix() +
                    "OBJECTS WHERE OWNER = :OWNER GROUP BY OBJECT_TYPE",
                SecurityDirs({"OBJECT_TYPE", "COUNTS"}), {{"OWNER", user}});
  LoadingMessage note(l.request);
  // The counts go to the server in one statement (see CountBatch).
  CountBatch counts(l);
  const std::size_t rolesAt = counts.AddFrom("DBA_ROLE_PRIVS WHERE GRANTEE = :NAME", name);
  const std::size_t consumersAt =
      counts.AddFrom("DBA_RSRC_CONSUMER_GROUP_PRIVS WHERE GRANTEE = :OWNER", {{"OWNER", user}});
  const std::size_t auditAt = counts.AddFrom("DBA_AUDIT_TRAIL WHERE USERNAME = :NAME", name);
  const std::size_t auditPrivilegesAt = counts.AddFrom("DBA_PRIV_AUDIT_OPTS WHERE USER_NAME = :NAME", name);
  const std::size_t privilegesAt = counts.AddFrom("DBA_SYS_PRIVS WHERE GRANTEE = :NAME", name);
  const std::size_t objectPrivilegesAt = counts.AddFrom(l.Module().Prefix() + "TAB_PRIVS WHERE GRANTEE = :NAME", name);
  const std::size_t quotasAt = counts.AddFrom("DBA_TS_QUOTAS WHERE USERNAME = :NAME", name);
  const std::size_t sessionsAt = counts.AddFrom("V$SESSION WHERE USERNAME = :NAME", name);
  const long long roles = counts.Guarded(rolesAt);
  AddCounted(l, ".ROLES", roles);
  if (roles > 0) AddItem(l.request, ".ALL PRIVILEGES", {}, true);
  AddCounted(l, ".CONSUMERS", counts.Guarded(consumersAt));
  const long long audit = counts.Guarded(auditAt);
  AddCounted(l, ".AUDIT TRAIL", audit, "All audit trail entries for this user");
  const long long auditPrivileges = counts.Guarded(auditPrivilegesAt);
  AddCounted(l, ".AUDIT PRIVILEGES", auditPrivileges,
             "The current system privileges being audited across the user");
  AddCounted(l, ".PRIVILEGES", counts.Guarded(privilegesAt));
  if (roles > 0 || audit > 0 || auditPrivileges > 0 || counts.Guarded(objectPrivilegesAt) > 0) {
    AddItem(l.request, ".OBJECT PRIVILEGES", {}, true);
    AddItem(l.request, ".ALL OBJECT PRIVS", {}, true);
  }
  AddCounted(l, ".QUOTAS", counts.Guarded(quotasAt));
  AddCounted(l, ".SESSIONS", counts.Guarded(sessionsAt));
  note.Remove();
  MakeRecordItemsWithComments(l.request, l.Module(), "DBA_USERS", "USERNAME = :NAME", name);
}

// One audit trail entry, named SESSIONID.ENTRYID.
void AuditEntry(Listing& l, const std::string& user, const std::string& item) {
  std::string session, entry;
  if (!SplitItemName(item, false, session, entry) || !IsWholeNumber(session) || !IsWholeNumber(entry)) return;
  ListRecordOfQuery(l,
                    "SELECT * FROM DBA_AUDIT_TRAIL WHERE USERNAME = :OWNER AND SESSIONID = :SES AND "
                    "ENTRYID = :ENTRY",
                    "DBA_AUDIT_TRAIL", {{"OWNER", user}, {"SES", session}, {"ENTRY", entry}});
}

// Level 4 and deeper below a user.
void UserLists(Listing& l, const std::string& user) {
  const std::string detail = l.Level(4);
  const VariablePairs owner{{"OWNER", user}};
  if (detail == ".OBJECT PRIVILEGES") {
    ListObjectPrivilegeChain(l, user, 4);
    return;
  }
  if (detail == ".AUDIT TRAIL" && !l.Level(5).empty()) {
    if (l.Level(6).empty()) AuditEntry(l, user, l.Level(5));
    return;
  }
  if (!l.Level(5).empty()) return;
  if (detail == ".CONSUMERS") {
    l.UseModes("GroupStatusPanelModes");
    l.ListStatement(kStmtUserConsumerGroups, SecurityDirs(ConsumerGroupColumns()), owner);
  } else if (detail == ".AUDIT TRAIL") {
    l.UseModes("SesEntryActionTimePanelModes");
    l.ListStatement(kStmtUserAuditTrail,
                    {{"FILENAME", "ACTION_NAME", "TIMESTAMP", "COMMENT_TEXT"}, true, "TIMESTAMP", "", ""}, owner);
  } else if (detail == ".AUDIT PRIVILEGES") {
    l.UseModes("PrivilegeUserSuccessFailurePanelModes");
    l.ListStatement(kStmtUserAuditPrivileges, SecurityFiles({"PRIVILEGE", "USER_NAME", "SUCCESS", "FAILURE"}), owner);
  } else if (detail == ".ROLES") {
    l.UseModes(kNameAdm);
    l.ListStatement(kStmtUserRoles, SecurityDirs({"GRANTED_ROLE", "ADMIN_OPTION"}), owner);
  } else if (detail == ".PRIVILEGES") {
    l.UseModes(kNameAdm);
    l.ListStatement(kStmtSystemPrivileges, SecurityFiles({"PRIVILEGE", "ADMIN_OPTION"}), owner);
  } else if (detail == ".ALL PRIVILEGES") {
    l.UseModes(kNameAdm);
    l.ListStatement(kStmtUserAllPrivileges, SecurityFiles({"PRIVILEGE", "ADMIN_OPTION"}), owner);
  } else if (detail == ".ALL OBJECT PRIVS") {
    ListAllObjectPrivileges(l, user);
  } else if (detail == ".QUOTAS") {
    l.UseModes("TablespaceUsedBytesMaxBytesPanelModes");
    l.ListStatement(kStmtUserQuotas, SecurityFiles({"TABLESPACE_NAME", "BYTES", "MAX_BYTES", "BLOCKS", "MAX_BLOCKS"}),
                    owner);
  } else if (detail == "TABLE PARTITION") {
    l.UseModes("ObjectPartitionPanelModes");
    l.ListStatement(kStmtUserTablePartitions, SecurityFiles({"TABLE_NAME", "PARTITION_NAME"}), owner);
  } else if (detail == "INDEX PARTITION") {
    l.UseModes("ObjectPartitionPanelModes");
    l.ListStatement(kStmtUserIndexPartitions, SecurityFiles({"INDEX_NAME", "PARTITION_NAME"}), owner);
  } else if (detail == ".SESSIONS") {
    // Items are SID.SERIAL#: both keys of the session detail.
    l.UseModes("SIDSUserTerminalProgramPanelModes");
    l.ListStatement(kStmtUserSessions, SecurityDirs({"SESSION_ID", "USERNAME", "TERMINAL", "PROGRAM", "CUSTOM_DESCRIPTION"}),
                    owner);
  }
}

}  // namespace

void ListUserTree(Listing& l, const std::string& user) {
  if (l.Level(4).empty())
    UserDetail(l, user);
  else
    UserLists(l, user);
}

}  // namespace catalog
