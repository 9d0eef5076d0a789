// audit_options_listing.cpp — ".Statistics\.Audit options": audited objects
// by owner, the audit trail by action down to one entry, and the audited
// system privileges.
#include "catalog/statistics_parts.h"

#include "catalog/code_queries.h"
#include "catalog/instance_support.h"
#include "catalog/item_builders.h"
#include "catalog/listing_errors.h"
#include "catalog/session_detail.h"
#include "connection/statement_catalogue.h"

namespace catalog {
namespace {

using namespace connection;

// An object counts as audited when any of its options is not "-/-".
constexpr const char* kAudited =
    "ALT != '-/-' OR AUD != '-/-' OR COM != '-/-' OR CRE != '-/-' OR DEL != '-/-' OR EXE != '-/-' OR GRA != '-/-' "
    "OR IND != '-/-' OR INS != '-/-' OR LOC != '-/-' OR REA != '-/-' OR REF != '-/-' OR REN != '-/-' OR SEL != "
    "'-/-' OR UPD != '-/-' OR WRI != '-/-'";

void ListRoot(Listing& l) {
  LoadingMessage note(l.request);
  l.UseModes("ObjectValuePanelModes");
  AddDetailDirectory(l.request, ".AUDIT OBJECTS",
                     CountOf(l, std::string("SELECT COUNT(*) FROM DBA_OBJ_AUDIT_OPTS WHERE ") + kAudited, {}),
                     "The auditing options for all tables and views");
  AddCountedViews(l, {{".AUDIT TRAIL", "DBA_AUDIT_TRAIL", "All audit trail entries"},
                      {".AUDIT PRIVILEGES", "DBA_PRIV_AUDIT_OPTS",
                       "The current system privileges being audited across the system and by user"}});
}

void ListAuditedOwners(Listing& l) {
  l.UseModes("UserNameCountPanelModes");
  ListQueryText(l, std::string("SELECT OWNER, COUNT(*) AS COUNTS FROM DBA_OBJ_AUDIT_OPTS WHERE ") + kAudited +
                       " GROUP BY OWNER",
                {{"OWNER", "COUNTS"}, true, "", "", ""}, {});
}

}  // namespace

void ListAuditOptions(Listing& l) {
  const std::string branch = l.Level(4);
  const std::string item = l.Level(5);
  const std::string entry = l.Level(6);
  if (branch.empty()) {
    ListRoot(l);
  } else if (branch == ".AUDIT OBJECTS") {
    if (item.empty()) {
      ListAuditedOwners(l);
    } else if (entry.empty()) {
      l.UseModes("ObjectALTAUDCOMPanelModes");
      ListByKind(l, kStmtAuditObjectsOfOwner,
                 {{"FILENAME", "ALT", "AUD", "COM", "DEL", "GRA", "IND", "INS", "LOC", "REN", "SEL"}, true, "", "", ""},
                 {{"OWNER", ExactOwner(l, 5)}});
    }
  } else if (branch == ".AUDIT TRAIL") {
    if (item.empty()) {
      l.UseModes("UserNameCountPanelModes");
      ListByKind(l, kStmtAuditTrailActions, {{"ACTION_NAME", "COUNTS"}, true, "", "", ""});
    } else if (entry.empty()) {
      l.UseModes("SesEntryUserTerminalPanelModes");
      ListByKind(l, kStmtAuditTrailOfAction,
                 {{"FILENAME", "USERNAME", "TERMINAL", "TIMESTAMP", "COMMENT_TEXT"}, true, "TIMESTAMP", "", ""},
                 {{"OWNER", item}});
    } else if (l.Level(7).empty()) {
      ListAuditEntry(l, entry);
    }
  } else if (branch == ".AUDIT PRIVILEGES" && item.empty()) {
    l.UseModes("PrivilegeUserSuccessFailurePanelModes");
    ListByKind(l, kStmtAuditPrivileges, {{"PRIVILEGE", "USER_NAME", "SUCCESS", "FAILURE"}, true, "", "", ""});
  }
}

}  // namespace catalog
