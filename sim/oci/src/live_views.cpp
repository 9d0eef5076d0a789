// The live instance views: temporary views on each session connection over
// the session registry's tables (attached as "reg"), shadowing the empty SYS
// tables that carry the same columns for the dictionary. See activity.h.
#include "activity.h"

#include "sqlite_util.h"

#include <string>

namespace ocisim {
namespace {

// One session's counter; S is the session row.
std::string Stat(int statistic) {
  return "COALESCE((SELECT X.VALUE FROM reg.session_stats X WHERE X.SID = S.SID AND X.SERIAL = S.\"SERIAL#\" AND "
         "X.STATISTIC = " +
         std::to_string(statistic) + "), 0)";
}

// Transactions of sessions that are still alive (a killed session's work is rolled back).
const char* kLiveTransactions =
    "reg.transactions T JOIN reg.sessions S ON S.SID = T.SID AND S.\"SERIAL#\" = T.SERIAL AND S.OCISIM_KILLED = 0";

std::string SecondsSince(const std::string& column) {
  return "CAST(MAX(0, (julianday(datetime('now', 'localtime')) - julianday(" + column + ")) * 86400) AS INTEGER)";
}

std::string Views(int64_t sid) {
  const std::string own = std::to_string(sid);
  std::string v;
  auto view = [&v](const char* name, const std::string& select) {
    v += "CREATE TEMP VIEW IF NOT EXISTS \"SYS." + std::string(name) + "\" AS " + select + ";\n";
  };
  view("V_$TRANSACTION",
       std::string("SELECT ora_hextoraw(S.TADDR) AS ADDR, T.XIDUSN, T.XIDSLOT, T.XIDSQN, 2 AS UBAFIL, 400 + T.XIDSLOT AS "
                   "UBABLK, T.XIDSQN % 1000 AS UBASQN, T.USED_UREC AS UBAREC, 'ACTIVE' AS STATUS, T.START_TIME, 1000000 "
                   "+ T.XIDSQN AS START_SCNB, 0 AS START_SCNW, 1 AS START_UEXT, 2 AS START_UBAFIL, 400 + T.XIDSLOT AS "
                   "START_UBABLK, T.XIDSQN % 1000 AS START_UBASQN, 1 AS START_UBAREC, S.SADDR AS SES_ADDR, 7683 AS "
                   "FLAG, 'NO' AS SPACE, 'NO' AS RECURSIVE, 'NO' AS NOUNDO, 'NO' AS PTX, NULL AS NAME, 0 AS "
                   "PRV_XIDUSN, 0 AS PRV_XIDSLT, 0 AS PRV_XIDSQN, 0 AS PTX_XIDUSN, 0 AS PTX_XIDSLT, 0 AS PTX_XIDSQN, 0 "
                   "AS \"DSCN-B\", 0 AS \"DSCN-W\", 1 AS USED_UBLK, T.USED_UREC, 2 + 4 * T.USED_UREC AS LOG_IO, 0 AS "
                   "PHY_IO, 1 AS CR_GET, 0 AS CR_CHANGE, T.START_DATE, 0 AS DSCN_BASE, 0 AS DSCN_WRAP, 1000000 + "
                   "T.XIDSQN AS START_SCN, 0 AS DEPENDENT_SCN, NULL AS XID, NULL AS PRV_XID, NULL AS PTX_XID FROM ") +
           kLiveTransactions);
  view("V_$LOCKED_OBJECT",
       std::string("SELECT T.XIDUSN, T.XIDSLOT, T.XIDSQN, L.OBJECT_ID, S.SID AS SESSION_ID, S.USERNAME AS "
                   "ORACLE_USERNAME, S.OSUSER AS OS_USER_NAME, S.PROCESS, 3 AS LOCKED_MODE FROM ") +
           kLiveTransactions + " JOIN reg.locked_objects L ON L.SID = T.SID AND L.SERIAL = T.SERIAL");
  const std::string tx =
      std::string("SELECT ora_hextoraw(printf('%08X', 1828716544 + T.SID * 16)) AS ADDR, ora_hextoraw(printf('%08X', "
                  "1828716552 + T.SID * 16)) AS KADDR, T.SID, 'TX' AS TYPE, T.XIDUSN * 65536 + T.XIDSLOT AS ID1, "
                  "T.XIDSQN AS ID2, 6 AS LMODE, 0 AS REQUEST, ") +
      SecondsSince("T.START_DATE") + " AS CTIME, 0 AS BLOCK FROM " + kLiveTransactions;
  view("V_$TRANSACTION_ENQUEUE", tx);
  view("V_$LOCK", tx +
                      " UNION ALL SELECT ora_hextoraw(printf('%08X', 1828782080 + L.OBJECT_ID)), "
                      "ora_hextoraw(printf('%08X', 1828782088 + L.OBJECT_ID)), T.SID, 'TM', L.OBJECT_ID, 0, 3, 0, " +
                      SecondsSince("T.START_DATE") + ", 0 FROM " + kLiveTransactions +
                      " JOIN reg.locked_objects L ON L.SID = T.SID AND L.SERIAL = T.SERIAL");
  view("V_$OPEN_CURSOR",
       "SELECT S.SADDR, S.SID, S.USERNAME AS USER_NAME, A.ADDRESS, A.HASH_VALUE, substr(A.SQL_TEXT, 1, 60) AS SQL_TEXT "
       "FROM reg.open_cursors C JOIN reg.sessions S ON S.SID = C.SID AND S.\"SERIAL#\" = C.SERIAL JOIN reg.sql_area A "
       "ON A.HASH_VALUE = C.HASH_VALUE");
  view("V_$SESS_IO", "SELECT S.SID, " + Stat(16) + " AS BLOCK_GETS, " + Stat(17) + " AS CONSISTENT_GETS, " + Stat(18) +
                         " AS PHYSICAL_READS, " + Stat(19) + " AS BLOCK_CHANGES, " + Stat(20) +
                         " AS CONSISTENT_CHANGES FROM reg.sessions S");
  view("V_$SESSTAT",
       "SELECT S.SID, N.\"STATISTIC#\", COALESCE(X.VALUE, 0) AS VALUE FROM reg.sessions S CROSS JOIN "
       "main.\"SYS.V_$STATNAME\" N LEFT JOIN reg.session_stats X ON X.SID = S.SID AND X.SERIAL = S.\"SERIAL#\" AND "
       "X.STATISTIC = N.\"STATISTIC#\"");
  // Instance totals: the sessions gone plus the sessions here.
  view("V_$SYSSTAT",
       "SELECT N.\"STATISTIC#\", N.NAME, N.CLASS, COALESCE(R.VALUE, 0) + COALESCE((SELECT SUM(X.VALUE) FROM "
       "reg.session_stats X JOIN reg.sessions S ON S.SID = X.SID AND S.\"SERIAL#\" = X.SERIAL WHERE X.STATISTIC = "
       "N.\"STATISTIC#\"), 0) AS VALUE FROM main.\"SYS.V_$STATNAME\" N LEFT JOIN reg.stats_retired R ON R.STATISTIC = "
       "N.\"STATISTIC#\"");
  const std::string opening = "(SELECT COUNT(DISTINCT C.SID) FROM reg.open_cursors C WHERE C.HASH_VALUE = A.HASH_VALUE)";
  view("V_$SQLAREA",
       "SELECT substr(A.SQL_TEXT, 1, 1000) AS SQL_TEXT, 3000 + 16 * length(A.SQL_TEXT) AS SHARABLE_MEM, 600 + 4 * "
       "length(A.SQL_TEXT) AS PERSISTENT_MEM, 1200 + 8 * length(A.SQL_TEXT) AS RUNTIME_MEM, A.SORTS, 1 AS "
       "VERSION_COUNT, 1 AS LOADED_VERSIONS, MIN(1, " + opening + ") AS OPEN_VERSIONS, " + opening +
           " AS USERS_OPENING, A.FETCHES, A.EXECUTIONS, 0 AS USERS_EXECUTING, 1 AS LOADS, A.FIRST_LOAD_TIME, 0 AS "
           "INVALIDATIONS, A.PARSE_CALLS, A.DISK_READS, A.BUFFER_GETS, A.ROWS_PROCESSED, A.COMMAND_TYPE, 'CHOOSE' AS "
           "OPTIMIZER_MODE, A.PARSING_USER_ID, A.PARSING_SCHEMA_ID, 0 AS KEPT_VERSIONS, A.ADDRESS, A.HASH_VALUE, "
           "A.MODULE, A.MODULE_HASH, A.ACTION, A.ACTION_HASH, 0 AS SERIALIZABLE_ABORTS, 1000 * A.EXECUTIONS AS "
           "CPU_TIME, 1500 * A.EXECUTIONS AS ELAPSED_TIME, 'N' AS IS_OBSOLETE, A.HASH_VALUE % 8 AS CHILD_LATCH FROM "
           "reg.sql_area A");
  view("V_$SQL",
       "SELECT substr(A.SQL_TEXT, 1, 1000) AS SQL_TEXT, 3000 + 16 * length(A.SQL_TEXT) AS SHARABLE_MEM, 600 + 4 * "
       "length(A.SQL_TEXT) AS PERSISTENT_MEM, 1200 + 8 * length(A.SQL_TEXT) AS RUNTIME_MEM, A.SORTS, 1 AS "
       "LOADED_VERSIONS, MIN(1, " + opening + ") AS OPEN_VERSIONS, " + opening +
           " AS USERS_OPENING, A.FETCHES, A.EXECUTIONS, 0 AS USERS_EXECUTING, 1 AS LOADS, A.FIRST_LOAD_TIME, 0 AS "
           "INVALIDATIONS, A.PARSE_CALLS, A.DISK_READS, A.BUFFER_GETS, A.ROWS_PROCESSED, A.COMMAND_TYPE, 'CHOOSE' AS "
           "OPTIMIZER_MODE, 1 AS OPTIMIZER_COST, A.PARSING_USER_ID, A.PARSING_SCHEMA_ID, 0 AS KEPT_VERSIONS, "
           "A.ADDRESS, A.ADDRESS AS TYPE_CHK_HEAP, A.HASH_VALUE, A.HASH_VALUE AS PLAN_HASH_VALUE, 0 AS CHILD_NUMBER, "
           "A.MODULE, A.MODULE_HASH, A.ACTION, A.ACTION_HASH, 0 AS SERIALIZABLE_ABORTS, NULL AS OUTLINE_CATEGORY, "
           "1000 * A.EXECUTIONS AS CPU_TIME, 1500 * A.EXECUTIONS AS ELAPSED_TIME, NULL AS OUTLINE_SID, A.ADDRESS AS "
           "CHILD_ADDRESS, 6 AS SQLTYPE, 'N' AS REMOTE, 'VALID' AS OBJECT_STATUS, 0 AS LITERAL_HASH_VALUE, "
           "A.LAST_LOAD_TIME, 'N' AS IS_OBSOLETE, A.HASH_VALUE % 8 AS CHILD_LATCH FROM reg.sql_area A");
  // 64-character pieces, numbered from 0.
  view("V_$SQLTEXT",
       "WITH RECURSIVE P(H, PIECE) AS (SELECT HASH_VALUE, 0 FROM reg.sql_area UNION ALL SELECT P.H, P.PIECE + 1 FROM P "
       "JOIN reg.sql_area A ON A.HASH_VALUE = P.H WHERE (P.PIECE + 1) * 64 < length(A.SQL_TEXT)) SELECT A.ADDRESS, "
       "A.HASH_VALUE, A.COMMAND_TYPE, P.PIECE, substr(A.SQL_TEXT, P.PIECE * 64 + 1, 64) AS SQL_TEXT FROM P JOIN "
       "reg.sql_area A ON A.HASH_VALUE = P.H");
  view("V_$OBJECT_DEPENDENCY",
       "SELECT A.ADDRESS AS FROM_ADDRESS, A.HASH_VALUE AS FROM_HASH, O.TO_OWNER, O.TO_NAME, O.TO_ADDRESS, O.TO_HASH, "
       "O.TO_TYPE FROM reg.sql_objects O JOIN reg.sql_area A ON A.HASH_VALUE = O.HASH_VALUE");
  // The session running the query is sending to its client; the others wait for theirs.
  view("V_$SESSION_WAIT",
       "SELECT S.SID, " + Stat(6) + " AS \"SEQ#\", CASE WHEN S.SID = " + own +
           " THEN 'SQL*Net message to client' ELSE 'SQL*Net message from client' END AS EVENT, 'driver id' AS "
           "P1TEXT, 1650815232 AS P1, X'62657100' AS P1RAW, '#bytes' AS P2TEXT, 1 AS P2, X'00000001' AS P2RAW, '' AS "
           "P3TEXT, 0 AS P3, X'00' AS P3RAW, CASE WHEN S.SID = " + own +
           " THEN -1 ELSE 0 END AS WAIT_TIME, CASE WHEN S.SID = " + own + " THEN 0 ELSE " +
           SecondsSince("S.LOGON_TIME") + " END AS SECONDS_IN_WAIT, CASE WHEN S.SID = " + own +
           " THEN 'WAITED SHORT TIME' ELSE 'WAITING' END AS STATE FROM reg.sessions S");
  auto event = [](const char* name, int statistic) {
    return "SELECT S.SID, '" + std::string(name) + "' AS EVENT, " + Stat(statistic) + " AS TOTAL_WAITS, 0 AS "
           "TOTAL_TIMEOUTS, " + Stat(statistic) + " / 10 AS TIME_WAITED, 0 AS AVERAGE_WAIT, 1 AS MAX_WAIT FROM "
           "reg.sessions S WHERE " + Stat(statistic) + " > 0";
  };
  view("V_$SESSION_EVENT", event("SQL*Net message to client", 40) + " UNION ALL " +
                               event("SQL*Net message from client", 40) + " UNION ALL " +
                               event("db file sequential read", 18));
  std::string banners;
  for (const char* b : {"Oracle Bequeath NT Protocol Adapter for Linux: Version 9.2.0.1.0 - Production",
                        "Oracle Advanced Security: authentication service for Linux: Version 9.2.0.1.0 - Production",
                        "Oracle Advanced Security: encryption service for Linux: Version 9.2.0.1.0 - Production"}) {
    banners += std::string(banners.empty() ? "" : " UNION ALL ") + "SELECT S.SID, CASE WHEN S.USERNAME LIKE 'OPS$%' "
               "THEN 'OS' ELSE 'DATABASE' END AS AUTHENTICATION_TYPE, S.OSUSER, '" + b +
               "' AS NETWORK_SERVICE_BANNER FROM reg.sessions S";
  }
  view("V_$SESSION_CONNECT_INFO", banners);
  view("V_$PROCESS",
       "SELECT * FROM main.\"SYS.V_$PROCESS\" UNION ALL SELECT ora_hextoraw(S.PADDR), S.SID + 10, S.PROCESS, 'oracle', "
       "1, S.TERMINAL, 'oracle@' || S.MACHINE, NULL, NULL, NULL, NULL, 180000 + 2000 * " + Stat(3) +
           ", 250000, 0, 300000 FROM reg.sessions S");
  view("V_$LICENSE",
       "SELECT L.SESSIONS_MAX, L.SESSIONS_WARNING, (SELECT COUNT(*) FROM reg.sessions) AS SESSIONS_CURRENT, "
       "MAX(COALESCE((SELECT value FROM reg.counters WHERE name = 'sessions_highwater'), 0), (SELECT COUNT(*) FROM "
       "reg.sessions)) AS SESSIONS_HIGHWATER, L.USERS_MAX FROM main.\"SYS.V_$LICENSE\" L");
  return v;
}

}  // namespace

void CreateLiveViews(sqlite3* db, int64_t sid) { ExecSql(db, Views(sid)); }

}  // namespace ocisim
