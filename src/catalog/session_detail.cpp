// session_detail.cpp — the session record and its details: statistics,
// connect information, events, waits, locks, transactions with the objects
// they lock, open cursors, long operations and the audit trail.
#include "catalog/session_detail.h"

#include <vector>

#include "catalog/instance_support.h"
#include "catalog/item_builders.h"
#include "catalog/listing_errors.h"
#include "connection/column_comments.h"
#include "connection/field_text.h"
#include "connection/statement_catalogue.h"

namespace catalog {
namespace {

using namespace connection;

struct SessionKey {
  std::string sid, serial;
  VariablePairs Sid() const { return {{"SID", sid}}; }
  VariablePairs Both() const { return {{"SID", sid}, {"SERIAL", serial}}; }
};

// The details offered with their count when above zero, in this order.
struct CountedDetail {
  const char* name;
  const char* countSql;
  bool needsSerial;
  const char* description;
};
const std::vector<CountedDetail>& CountedDetails() {
  static const std::vector<CountedDetail> kDetails = {
      {".CONNECT INFO", "SELECT COUNT(*) FROM V$SESSION_CONNECT_INFO WHERE SID = :SID", false, ""},
      {".V$SESSION_EVENT", "SELECT COUNT(*) FROM V$SESSION_EVENT WHERE SID = :SID", false, ""},
      {".V$SESSION_WAIT", "SELECT COUNT(*) FROM V$SESSION_WAIT WHERE SID = :SID", false, ""},
      {".LOCKS", "SELECT COUNT(*) FROM V$TRANSACTION_ENQUEUE WHERE SID = :SID", false, ""},
      {".TRANSACTIONS",
       "SELECT COUNT(*) FROM V$SESSION S, V$TRANSACTION T WHERE S.SID = :SID AND S.SERIAL# = :SERIAL AND "
       "S.SADDR = T.SES_ADDR",
       true, ""},
      {".CURSORS",
       "SELECT COUNT(*) FROM V$SESSION S, V$OPEN_CURSOR C WHERE S.SID = :SID AND S.SERIAL# = :SERIAL AND "
       "S.SADDR = C.SADDR",
       true, ""},
      {".LONG RUNNING", "SELECT COUNT(*) FROM V$SESSION_LONGOPS S WHERE S.SID = :SID AND S.SERIAL# = :SERIAL", true,
       "The status of long-running operations"},
  };
  return kDetails;
}

// The session level: details, the record, and the audit trail when the
// session belongs to a user who left entries.
void ListSessionLevel(Listing& l, const SessionKey& key) {
  l.UseModes("ObjectValuePanelModes");
  AddFixedDirectory(l, ".STATISTICS", "User session statistics");
  for (const CountedDetail& d : CountedDetails())
    AddDetailDirectory(l.request, d.name, CountOf(l, d.countSql, d.needsSerial ? key.Both() : key.Sid()),
                       d.description);
  std::string user, audsid;
  try {
    auto q = l.Module().CreateOracleQueryByKind(kStmtSession);
    if (!q) return;
    q->DeclareVariable("SID", oracle::otString);
    q->DeclareVariable("SERIAL", oracle::otString);
    q->SetVariable("SID", key.sid);
    q->SetVariable("SERIAL", key.serial);
    q->Execute();
    if (!q->Eof()) {
      user = GetFieldText(*q, "USERNAME");
      audsid = GetFieldText(*q, "AUDSID");
    }
    MakeItemsFromRecord(l.request, *q, true);
  } catch (...) {
    HandleListingError(l.request, std::current_exception());
  }
  if (user.empty()) return;
  AddDetailDirectory(l.request, ".AUDIT TRAIL",
                     CountOf(l, "SELECT COUNT(*) FROM DBA_AUDIT_TRAIL WHERE SESSIONID = :AUDSID", {{"AUDSID", audsid}}),
                     "All audit trail entries for this session");
}

// The connect information: the banner directory, then the distinct
// authentication and OS user with the view's column comments.
void ListConnectInfo(Listing& l, const SessionKey& key) {
  l.UseModes("ObjectValuePanelModes");
  AddItem(l.request, ".BANNER", {""}, true);
  try {
    auto q = l.Module().CreateOracleQueryByKind(kStmtSessionConnectInfo);
    if (!q) return;
    q->DeclareVariable("SID", oracle::otString);
    q->SetVariable("SID", key.sid);
    q->Execute();
    if (l.request.Searching()) {
      MakeItemsFromRecord(l.request, *q, true);
      return;
    }
    if (q->Eof()) return;
    const connection::ColumnComments comments(l.Module(), "SYS", "V$SESSION_CONNECT_INFO");
    for (int i = 0; i < q->FieldCount(); ++i)
      AddItem(l.request, q->FieldName(i), {GetFieldText(*q, i), comments.Of(q->FieldName(i))}, false);
  } catch (...) {
    HandleListingError(l.request, std::current_exception());
  }
}

// One transaction of the session: its record, then the objects it locks.
void ListTransaction(Listing& l, const SessionKey& key, const std::string& xidsqn) {
  l.UseModes("ObjectValuePanelModes");
  RecordByKind(l, kStmtSessionTransactions, key.Both(), {"SID", "SERIAL"});
  std::unique_ptr<oracle::TOracleQuery> q;
  try {
    q = l.Module().CreateNewOracleQuery({"SID", "SERIAL", "XIDSQN"});
  } catch (...) {
    HandleListingError(l.request, std::current_exception());
    return;
  }
  if (!q) return;
  q->SetSQL(
      "SELECT O.OBJECT_NAME, O.OWNER, O.OBJECT_TYPE FROM V$SESSION S, V$TRANSACTION T, V$LOCKED_OBJECT L, "
      "DBA_OBJECTS O WHERE S.SID = :SID AND S.SERIAL# = :SERIAL AND S.SADDR = T.SES_ADDR AND T.XIDSQN = L.XIDSQN "
      "AND T.XIDSQN = :XIDSQN AND L.OBJECT_ID = O.OBJECT_ID");
  MakeItemsFromDataSetByColumns(l.request, *q, {{"OBJECT_NAME", "OWNER", "OBJECT_TYPE"}, false, "", "", ""},
                                {{"SID", key.sid}, {"SERIAL", key.serial}, {"XIDSQN", xidsqn}});
}

}  // namespace

void ListAuditEntry(Listing& l, const std::string& entry) {
  l.UseModes("ObjectValuePanelModes");
  std::string session, id;
  if (!SplitPair(entry, session, id)) return;
  MakeRecordItemsWithComments(l.request, l.Module(), "DBA_AUDIT_TRAIL", "SESSIONID = :SESSIONID AND ENTRYID = :ENTRYID",
                              {{"SESSIONID", session}, {"ENTRYID", id}});
}

void ListSessionDetail(Listing& l, std::size_t level) {
  if (!l.Connected()) return;
  SessionKey key;
  if (!SplitPair(l.Level(level), key.sid, key.serial)) return;
  const std::string detail = l.Level(level + 1);
  const std::string below = l.Level(level + 2);
  const bool deeper = !l.Level(level + 3).empty();
  if (detail.empty()) {
    ListSessionLevel(l, key);
  } else if (detail == ".STATISTICS") {
    if (!below.empty()) return;
    l.UseModes("StatisticNameValuePanelModes");
    ListByKind(l, kStmtSessionStatistics, {{"NAME", "VALUE"}, false, "", "", ""}, {{"OWNER", key.sid}});
  } else if (detail == ".CONNECT INFO") {
    if (below.empty()) {
      ListConnectInfo(l, key);
    } else if (below == ".BANNER" && !deeper) {
      l.UseModes("TextPanelModes");
      ListByKind(l, kStmtSessionBanner, {{"NETWORK_SERVICE_BANNER"}, false, "", "", ""}, key.Sid(), {"SID"});
    }
  } else if (detail == ".V$SESSION_EVENT") {
    if (!below.empty()) return;
    l.UseModes("EventWaitsTimeoutsPanelModes");
    ListByKind(l, kStmtSessionEvents,
               {{"EVENT", "TOTAL_WAITS", "TOTAL_TIMEOUTS", "TIME_WAITED", "AVERAGE_WAIT", "MAX_WAIT"}, false, "", "", ""},
               {{"OWNER", key.sid}});
  } else if (detail == ".V$SESSION_WAIT") {
    if (!below.empty()) return;
    l.UseModes("EventSecondsStatePanelModes");
    ListByKind(l, kStmtSessionWaits, {{"EVENT", "SECONDS_IN_WAIT", "STATE"}, false, "", "", ""}, {{"OWNER", key.sid}});
  } else if (detail == ".LOCKS") {
    if (!below.empty()) return;
    l.UseModes("TypeTimeBlockModePanelModes");
    ListByKind(l, kStmtSessionLocks, {{"TYPE", "CTIME", "BLOCK", "MODE_NAME", "REQUEST_NAME"}, false, "", "", ""},
               {{"OWNER", key.sid}});
  } else if (detail == ".TRANSACTIONS") {
    if (below.empty()) {
      l.UseModes("NStatusStartSpaceRecursPanelModes");
      ListByKind(l, kStmtSessionTransactions,
                 {{"XIDSQN", "STATUS", "START_TIME", "SPACE", "RECURSIVE", "NOUNDO", "LOG_IO", "PHY_IO", "CR_GET",
                   "CR_CHANGE"},
                  true, "", "", ""},
                 key.Both(), {"SID", "SERIAL"});
    } else if (!deeper) {
      ListTransaction(l, key, below);
    }
  } else if (detail == ".CURSORS") {
    if (!below.empty()) return;
    l.UseModes("AddrTextPanelModes");
    ListByKind(l, kStmtSessionCursors, {{"FILENAME", "SQL_TEXT"}, false, "", "", ""}, key.Both(), {"SID", "SERIAL"});
  } else if (detail == ".LONG RUNNING") {
    if (!below.empty()) return;
    l.UseModes("ComponentUpdatesStepidStepsofarPanelModes");
    ListByKind(l, kStmtSessionLongOperations,
               {{"COMPNAM", "UPDATE_COUNT", "STEPID", "STEPSOFAR", "STEPTOTAL", "SOFAR", "TOTALWORK", "START_TIME",
                 "CURRENT_TIME", "OBJECTNAME", "MSG"},
                false, "START_TIME", "", ""},
               key.Both(), {"SID", "SERIAL"});
  } else if (detail == ".AUDIT TRAIL") {
    if (below.empty()) {
      l.UseModes("SesEntryActionTimePanelModes");
      ListByKind(l, kStmtSessionAuditTrail,
                 {{"FILENAME", "ACTION_NAME", "TIMESTAMP", "COMMENT_TEXT"}, true, "TIMESTAMP", "", ""}, key.Both(),
                 {"SID", "SERIAL"});
    } else if (!deeper) {
      ListAuditEntry(l, below);
    }
  }
}

}  // namespace catalog
