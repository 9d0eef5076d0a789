// Session activity for the live instance views: see activity.h.
#include "activity.h"

#include "dictionary.h"
#include "ora_error.h"

#include <cstdio>

namespace ocisim {
namespace {

// V$STATNAME numbers the stand-in counts (seed/instance_live.sql names them).
enum Statistic : int {
  kLogonsCumulative = 0,
  kLogonsCurrent = 1,
  kOpenedCursorsCumulative = 2,
  kOpenedCursorsCurrent = 3,
  kUserCommits = 4,
  kUserRollbacks = 5,
  kUserCalls = 6,
  kSessionLogicalReads = 8,
  kCpuUsed = 9,
  kEnqueueRequests = 13,
  kEnqueueReleases = 14,
  kDbBlockGets = 16,
  kConsistentGets = 17,
  kPhysicalReads = 18,
  kDbBlockChanges = 19,
  kRedoEntries = 22,
  kRedoSize = 23,
  kTableScansShort = 30,
  kExecuteCount = 32,
  kParseCountTotal = 33,
  kParseCountHard = 34,
  kSortsMemory = 35,
  kBytesSent = 38,
  kBytesReceived = 39,
  kRoundtrips = 40,
};

// Addresses are declared RAW so that the views describe them as RAW (shown as
// hex digits), not as LOBs.
const char* kTables =
    "CREATE TABLE IF NOT EXISTS sql_area (HASH_VALUE INTEGER PRIMARY KEY, ADDRESS RAW(4), SQL_TEXT TEXT,"
    " COMMAND_TYPE INTEGER, PARSING_USER_ID INTEGER, PARSING_SCHEMA_ID INTEGER, MODULE TEXT, MODULE_HASH INTEGER,"
    " ACTION TEXT, ACTION_HASH INTEGER, FIRST_LOAD_TIME TEXT, LAST_LOAD_TIME TEXT, EXECUTIONS INTEGER DEFAULT 0, PARSE_CALLS INTEGER DEFAULT 0,"
    " FETCHES INTEGER DEFAULT 0, ROWS_PROCESSED INTEGER DEFAULT 0, BUFFER_GETS INTEGER DEFAULT 0,"
    " DISK_READS INTEGER DEFAULT 0, SORTS INTEGER DEFAULT 0);"
    "CREATE TABLE IF NOT EXISTS sql_objects (HASH_VALUE INTEGER, TO_OWNER TEXT, TO_NAME TEXT, TO_TYPE INTEGER,"
    " TO_ADDRESS RAW(4), TO_HASH INTEGER,"
    " PRIMARY KEY (HASH_VALUE, TO_OWNER, TO_NAME));"
    "CREATE TABLE IF NOT EXISTS open_cursors (SID INTEGER, SERIAL INTEGER, CURSOR INTEGER, HASH_VALUE INTEGER,"
    " PRIMARY KEY (SID, SERIAL, CURSOR));"
    "CREATE TABLE IF NOT EXISTS transactions (SID INTEGER, SERIAL INTEGER, XIDUSN INTEGER, XIDSLOT INTEGER,"
    " XIDSQN INTEGER, START_TIME TEXT, START_DATE DATE, USED_UREC INTEGER DEFAULT 0, PRIMARY KEY (SID, SERIAL));"
    "CREATE TABLE IF NOT EXISTS locked_objects (SID INTEGER, SERIAL INTEGER, OBJECT_ID INTEGER,"
    " PRIMARY KEY (SID, SERIAL, OBJECT_ID));"
    "CREATE TABLE IF NOT EXISTS session_stats (SID INTEGER, SERIAL INTEGER, STATISTIC INTEGER, VALUE INTEGER,"
    " PRIMARY KEY (SID, SERIAL, STATISTIC));"
    "CREATE TABLE IF NOT EXISTS stats_retired (STATISTIC INTEGER PRIMARY KEY, VALUE INTEGER);";

// A prepared statement of the activity connection; failures become ORA-03113
// like the registry's own.
class Stmt {
 public:
  Stmt(sqlite3* db, const char* sql) {
    if (sqlite3_prepare_v2(db, sql, -1, &s_, nullptr) != SQLITE_OK)
      ThrowOraText(3113, OraMessage(3113) + "\n" + sqlite3_errmsg(db));
  }
  ~Stmt() { sqlite3_finalize(s_); }
  Stmt(const Stmt&) = delete;
  Stmt& operator=(const Stmt&) = delete;
  Stmt& Bind(int i, int64_t v) {
    sqlite3_bind_int64(s_, i, v);
    return *this;
  }
  Stmt& Bind(int i, const std::string& v) {
    if (v.empty()) sqlite3_bind_null(s_, i);
    else sqlite3_bind_text(s_, i, v.c_str(), -1, SQLITE_TRANSIENT);
    return *this;
  }
  Stmt& BindBlob(int i, const std::string& hex) {
    std::string raw;
    for (size_t k = 0; k + 1 < hex.size(); k += 2) raw += static_cast<char>(std::stoi(hex.substr(k, 2), nullptr, 16));
    sqlite3_bind_blob(s_, i, raw.data(), static_cast<int>(raw.size()), SQLITE_TRANSIENT);
    return *this;
  }
  bool Step() {
    int rc = sqlite3_step(s_);
    if (rc == SQLITE_ROW) return true;
    sqlite3_reset(s_);
    if (rc == SQLITE_DONE) return false;
    ThrowOraText(3113, OraMessage(3113) + "\n" + sqlite3_errmsg(sqlite3_db_handle(s_)));
  }
  int64_t Int(int i) { return sqlite3_column_int64(s_, i); }
  sqlite3_stmt* get() { return s_; }

 private:
  sqlite3_stmt* s_ = nullptr;
};

// Statement time in V$SQLAREA's text form 'YYYY-MM-DD/HH24:MI:SS'.
std::string LoadTime() {
  std::string t = Now();
  if (t.size() > 10) t[10] = '/';
  return t;
}

// V$TRANSACTION.START_TIME is text 'MM/DD/YY HH24:MI:SS'.
std::string TransactionStartText(const std::string& now) {
  if (now.size() < 19) return now;
  return now.substr(5, 2) + "/" + now.substr(8, 2) + "/" + now.substr(2, 2) + " " + now.substr(11, 8);
}

// SYS.OBJ$ type numbers of V$OBJECT_DEPENDENCY.TO_TYPE.
int64_t ObjectTypeNumber(const std::string& kind) {
  static const std::pair<const char*, int> kTypes[] = {{"INDEX", 1},     {"TABLE", 2},     {"VIEW", 4},
                                                       {"SYNONYM", 5},   {"SEQUENCE", 6},  {"PROCEDURE", 7},
                                                       {"FUNCTION", 8},  {"PACKAGE", 9},   {"PACKAGE BODY", 11},
                                                       {"TRIGGER", 12},  {"TYPE", 13}};
  for (const auto& [name, number] : kTypes)
    if (kind == name) return number;
  return 0;
}

}  // namespace

void CreateActivityTables(sqlite3* db) {
  char* err = nullptr;
  if (sqlite3_exec(db, kTables, nullptr, nullptr, &err) != SQLITE_OK) {
    std::string msg = err ? err : "";
    sqlite3_free(err);
    ThrowOraText(3113, OraMessage(3113) + "\n" + msg);
  }
}

void PrepareActivityTables(const std::string& registry_path) {
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(registry_path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX,
                      nullptr) != SQLITE_OK) {
    sqlite3_close(db);
    return;  // the session's own registry connection reports the failure
  }
  sqlite3_busy_timeout(db, 10000);
  try {
    CreateActivityTables(db);
  } catch (...) {
    sqlite3_close(db);
    throw;
  }
  sqlite3_close(db);
}

uint32_t SessionActivity::HashOf(const std::string& text) {
  uint32_t h = 2166136261u;  // FNV-1a
  for (unsigned char c : text) {
    h ^= c;
    h *= 16777619u;
  }
  return h;
}

std::string SessionActivity::AddressOf(uint32_t hash) {
  char buf[16];
  // Library cache handles live in one region of the shared pool.
  std::snprintf(buf, sizeof buf, "%08X", 0x66000000u | ((hash >> 4) & 0x00FFFFF0u));
  return buf;
}

SessionActivity::SessionActivity(const std::string& registry_path, SessionIdentity id, int64_t user_id)
    : id_(id), user_id_(user_id) {
  if (sqlite3_open_v2(registry_path.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX,
                      nullptr) != SQLITE_OK) {
    std::string msg = db_ ? sqlite3_errmsg(db_) : "out of memory";
    sqlite3_close(db_);
    db_ = nullptr;
    ThrowOraText(3113, OraMessage(3113) + "\n" + msg);
  }
  sqlite3_busy_timeout(db_, 10000);
  // Instance state lives as long as the instance; nothing of it needs to survive a crash.
  Exec("PRAGMA synchronous=OFF");
  CreateActivityTables(db_);
  Exec("BEGIN IMMEDIATE");
  try {
    // Rows left by an earlier session with the same SID and SERIAL# (a crash) go first.
    for (const char* table : {"open_cursors", "transactions", "locked_objects", "session_stats"}) {
      Stmt d(db_, (std::string("DELETE FROM ") + table + " WHERE SID = ? AND SERIAL = ?").c_str());
      d.Bind(1, id_.sid).Bind(2, id_.serial).Step();
    }
    Stmt add(db_, "INSERT INTO session_stats VALUES (?, ?, ?, ?) ON CONFLICT (SID, SERIAL, STATISTIC) DO UPDATE SET "
                  "VALUE = VALUE + excluded.VALUE");
    Bump(add.get(), kLogonsCumulative, 1);
    Bump(add.get(), kLogonsCurrent, 1);
    Exec("COMMIT");
  } catch (...) {
    sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(db_);
    throw;
  }
}

SessionActivity::~SessionActivity() { sqlite3_close(db_); }

void SessionActivity::Exec(const char* sql) {
  char* err = nullptr;
  if (sqlite3_exec(db_, sql, nullptr, nullptr, &err) != SQLITE_OK) {
    std::string msg = err ? err : "";
    sqlite3_free(err);
    ThrowOraText(3113, OraMessage(3113) + "\n" + msg);
  }
}

void SessionActivity::Bump(sqlite3_stmt* add, int statistic, int64_t by) {
  sqlite3_reset(add);
  sqlite3_bind_int64(add, 1, id_.sid);
  sqlite3_bind_int64(add, 2, id_.serial);
  sqlite3_bind_int64(add, 3, statistic);
  sqlite3_bind_int64(add, 4, by);
  int rc = sqlite3_step(add);
  sqlite3_reset(add);
  if (rc != SQLITE_DONE) ThrowOraText(3113, OraMessage(3113) + "\n" + sqlite3_errmsg(db_));
}

void SessionActivity::StatementExecuted(int64_t cursor, const std::string& text, int command_type, int64_t schema_id,
                                        const std::vector<StatementObject>& objects, int64_t rows, bool query,
                                        bool sorts) {
  const uint32_t hash = HashOf(text);
  const std::string address = AddressOf(hash);
  const std::string now = LoadTime();
  // Counters of a statement: a few buffer gets to find the rows, two block
  // changes per changed row, and a disk read when the statement was new.
  const int64_t gets = 4 + rows;
  const int64_t blockGets = 2 * rows;
  Exec("BEGIN IMMEDIATE");
  try {
    bool hard = false;
    {
      Stmt find(db_, "SELECT 1 FROM sql_area WHERE HASH_VALUE = ?");
      find.Bind(1, static_cast<int64_t>(hash));
      hard = !find.Step();
    }
    if (hard) {
      Stmt ins(db_,
               "INSERT INTO sql_area (HASH_VALUE, ADDRESS, SQL_TEXT, COMMAND_TYPE, PARSING_USER_ID, PARSING_SCHEMA_ID,"
               " MODULE, MODULE_HASH, ACTION, ACTION_HASH, FIRST_LOAD_TIME, LAST_LOAD_TIME, DISK_READS) VALUES"
               " (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, 1)");
      ins.Bind(1, static_cast<int64_t>(hash)).BindBlob(2, address).Bind(3, text).Bind(4, command_type);
      ins.Bind(5, user_id_).Bind(6, schema_id).Bind(7, module_).Bind(8, module_.empty() ? 0 : int64_t{HashOf(module_)});
      ins.Bind(9, action_).Bind(10, action_.empty() ? 0 : int64_t{HashOf(action_)}).Bind(11, now).Bind(12, now);
      ins.Step();
      Stmt dep(db_, "INSERT OR IGNORE INTO sql_objects VALUES (?, ?, ?, ?, ?, ?)");
      for (const StatementObject& o : objects) {
        const uint32_t to = HashOf(o.owner + "." + o.name);
        dep.Bind(1, static_cast<int64_t>(hash)).Bind(2, o.owner).Bind(3, o.name).Bind(4, ObjectTypeNumber(o.kind));
        dep.BindBlob(5, AddressOf(to)).Bind(6, static_cast<int64_t>(to)).Step();
      }
    }
    Stmt upd(db_,
             "UPDATE sql_area SET EXECUTIONS = EXECUTIONS + 1, PARSE_CALLS = PARSE_CALLS + 1, ROWS_PROCESSED = "
             "ROWS_PROCESSED + ?, BUFFER_GETS = BUFFER_GETS + ?, SORTS = SORTS + ? WHERE HASH_VALUE = ?");
    upd.Bind(1, query ? 0 : rows).Bind(2, gets + blockGets).Bind(3, sorts ? 1 : 0).Bind(4, static_cast<int64_t>(hash));
    upd.Step();
    bool opened = false;
    {
      Stmt open(db_, "INSERT OR REPLACE INTO open_cursors VALUES (?, ?, ?, ?)");
      Stmt was(db_, "SELECT 1 FROM open_cursors WHERE SID = ? AND SERIAL = ? AND CURSOR = ?");
      was.Bind(1, id_.sid).Bind(2, id_.serial).Bind(3, cursor);
      opened = !was.Step();
      open.Bind(1, id_.sid).Bind(2, id_.serial).Bind(3, cursor).Bind(4, static_cast<int64_t>(hash)).Step();
    }
    Stmt ses(db_,
             "UPDATE sessions SET PREV_SQL_ADDR = SQL_ADDRESS, PREV_HASH_VALUE = SQL_HASH_VALUE, SQL_ADDRESS = ?, "
             "SQL_HASH_VALUE = ?, COMMAND = ?, LAST_CALL_ET = 0 WHERE SID = ? AND \"SERIAL#\" = ?");
    ses.Bind(1, address).Bind(2, static_cast<int64_t>(hash)).Bind(3, command_type).Bind(4, id_.sid);
    ses.Bind(5, id_.serial).Step();
    Stmt add(db_, "INSERT INTO session_stats VALUES (?, ?, ?, ?) ON CONFLICT (SID, SERIAL, STATISTIC) DO UPDATE SET "
                  "VALUE = VALUE + excluded.VALUE");
    Bump(add.get(), kOpenedCursorsCumulative, 1);
    if (opened) Bump(add.get(), kOpenedCursorsCurrent, 1);
    Bump(add.get(), kUserCalls, 1);
    Bump(add.get(), kRoundtrips, 1);
    Bump(add.get(), kExecuteCount, 1);
    Bump(add.get(), kParseCountTotal, 1);
    if (hard) Bump(add.get(), kParseCountHard, 1);
    if (hard) Bump(add.get(), kPhysicalReads, 1);
    Bump(add.get(), kConsistentGets, gets);
    Bump(add.get(), kDbBlockGets, blockGets);
    Bump(add.get(), kSessionLogicalReads, gets + blockGets);
    Bump(add.get(), kDbBlockChanges, blockGets);
    if (rows > 0 && !query) {
      Bump(add.get(), kRedoEntries, rows);
      Bump(add.get(), kRedoSize, 220 * rows);
    }
    if (query) Bump(add.get(), kTableScansShort, 1);
    if (sorts) Bump(add.get(), kSortsMemory, 1);
    Bump(add.get(), kCpuUsed, 1);
    Bump(add.get(), kBytesReceived, static_cast<int64_t>(text.size()) + 60);
    Bump(add.get(), kBytesSent, 180);
    Exec("COMMIT");
  } catch (...) {
    sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    throw;
  }
}

void SessionActivity::CursorClosed(int64_t cursor, int64_t fetched) {
  try {
    Exec("BEGIN IMMEDIATE");
    int64_t hash = -1;
    {
      Stmt find(db_, "SELECT HASH_VALUE FROM open_cursors WHERE SID = ? AND SERIAL = ? AND CURSOR = ?");
      find.Bind(1, id_.sid).Bind(2, id_.serial).Bind(3, cursor);
      if (find.Step()) hash = find.Int(0);
    }
    if (hash >= 0) {
      Stmt del(db_, "DELETE FROM open_cursors WHERE SID = ? AND SERIAL = ? AND CURSOR = ?");
      del.Bind(1, id_.sid).Bind(2, id_.serial).Bind(3, cursor).Step();
      if (fetched > 0) {
        Stmt upd(db_, "UPDATE sql_area SET FETCHES = FETCHES + 1, ROWS_PROCESSED = ROWS_PROCESSED + ? WHERE "
                      "HASH_VALUE = ? AND COMMAND_TYPE = 3");
        upd.Bind(1, fetched).Bind(2, hash).Step();
      }
      Stmt add(db_, "INSERT INTO session_stats VALUES (?, ?, ?, ?) ON CONFLICT (SID, SERIAL, STATISTIC) DO UPDATE SET "
                    "VALUE = VALUE + excluded.VALUE");
      Bump(add.get(), kOpenedCursorsCurrent, -1);
    }
    Exec("COMMIT");
  } catch (...) {
    // A registry that cannot be written only leaves the cursor listed as open.
    sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
  }
}

void SessionActivity::TransactionBegan(int64_t seq) {
  const std::string now = Now();
  Exec("BEGIN IMMEDIATE");
  try {
    Stmt seqs(db_, "INSERT OR IGNORE INTO counters VALUES ('xidsqn', 400)");
    seqs.Step();
    Stmt next(db_, "UPDATE counters SET value = value + 1 WHERE name = 'xidsqn'");
    next.Step();
    int64_t sqn = 0;
    {
      Stmt get(db_, "SELECT value FROM counters WHERE name = 'xidsqn'");
      if (get.Step()) sqn = get.Int(0);
    }
    // Undo segments 1 and 2 hold the transactions; the slot is the session's.
    Stmt ins(db_, "INSERT OR REPLACE INTO transactions (SID, SERIAL, XIDUSN, XIDSLOT, XIDSQN, START_TIME, START_DATE) "
                  "VALUES (?, ?, ?, ?, ?, ?, ?)");
    ins.Bind(1, id_.sid).Bind(2, id_.serial).Bind(3, 1 + id_.sid % 2).Bind(4, id_.sid).Bind(5, sqn);
    ins.Bind(6, TransactionStartText(now)).Bind(7, now).Step();
    char taddr[16];
    std::snprintf(taddr, sizeof taddr, "%08llX", static_cast<unsigned long long>(0x6C000000 + id_.sid * 0x100 + seq % 0x100));
    Stmt ses(db_, "UPDATE sessions SET TADDR = ? WHERE SID = ? AND \"SERIAL#\" = ?");
    ses.Bind(1, std::string(taddr)).Bind(2, id_.sid).Bind(3, id_.serial).Step();
    Stmt add(db_, "INSERT INTO session_stats VALUES (?, ?, ?, ?) ON CONFLICT (SID, SERIAL, STATISTIC) DO UPDATE SET "
                  "VALUE = VALUE + excluded.VALUE");
    Bump(add.get(), kEnqueueRequests, 1);
    Exec("COMMIT");
  } catch (...) {
    sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    throw;
  }
}

void SessionActivity::TransactionEnded(bool committed) {
  try {
    Exec("BEGIN IMMEDIATE");
    Stmt del(db_, "DELETE FROM transactions WHERE SID = ? AND SERIAL = ?");
    del.Bind(1, id_.sid).Bind(2, id_.serial).Step();
    const bool had = sqlite3_changes(db_) > 0;
    Stmt locks(db_, "DELETE FROM locked_objects WHERE SID = ? AND SERIAL = ?");
    locks.Bind(1, id_.sid).Bind(2, id_.serial).Step();
    Stmt ses(db_, "UPDATE sessions SET TADDR = NULL WHERE SID = ? AND \"SERIAL#\" = ?");
    ses.Bind(1, id_.sid).Bind(2, id_.serial).Step();
    Stmt add(db_, "INSERT INTO session_stats VALUES (?, ?, ?, ?) ON CONFLICT (SID, SERIAL, STATISTIC) DO UPDATE SET "
                  "VALUE = VALUE + excluded.VALUE");
    Bump(add.get(), committed ? kUserCommits : kUserRollbacks, 1);
    if (had) Bump(add.get(), kEnqueueReleases, 1);
    Exec("COMMIT");
  } catch (...) {
    // The transaction is over whatever the registry says; its rows go with the session.
    sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
  }
}

void SessionActivity::TableLocked(int64_t object_id, int64_t rows) {
  Exec("BEGIN IMMEDIATE");
  try {
    Stmt ins(db_, "INSERT OR IGNORE INTO locked_objects VALUES (?, ?, ?)");
    ins.Bind(1, id_.sid).Bind(2, id_.serial).Bind(3, object_id).Step();
    Stmt urec(db_, "UPDATE transactions SET USED_UREC = USED_UREC + ? WHERE SID = ? AND SERIAL = ?");
    urec.Bind(1, rows).Bind(2, id_.sid).Bind(3, id_.serial).Step();
    Exec("COMMIT");
  } catch (...) {
    sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    throw;
  }
}

void SessionActivity::SetModule(const std::string& module, const std::string& action) {
  module_ = module.substr(0, 48);
  action_ = action.substr(0, 32);
  Stmt ses(db_, "UPDATE sessions SET MODULE = ?, MODULE_HASH = ?, ACTION = ?, ACTION_HASH = ? WHERE SID = ? AND "
                "\"SERIAL#\" = ?");
  ses.Bind(1, module_).Bind(2, module_.empty() ? 0 : static_cast<int64_t>(HashOf(module_))).Bind(3, action_);
  ses.Bind(4, action_.empty() ? 0 : static_cast<int64_t>(HashOf(action_))).Bind(5, id_.sid).Bind(6, id_.serial).Step();
}

void SessionActivity::Retire() {
  try {
    Exec("BEGIN IMMEDIATE");
    Stmt fold(db_,
              "INSERT INTO stats_retired SELECT STATISTIC, VALUE FROM session_stats WHERE SID = ? AND SERIAL = ? AND "
              "STATISTIC <> 1 ON CONFLICT (STATISTIC) DO UPDATE SET VALUE = VALUE + excluded.VALUE");
    fold.Bind(1, id_.sid).Bind(2, id_.serial).Step();
    for (const char* table : {"open_cursors", "transactions", "locked_objects", "session_stats"}) {
      Stmt d(db_, (std::string("DELETE FROM ") + table + " WHERE SID = ? AND SERIAL = ?").c_str());
      d.Bind(1, id_.sid).Bind(2, id_.serial).Step();
    }
    Exec("COMMIT");
  } catch (...) {
    sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
  }
}

}  // namespace ocisim
