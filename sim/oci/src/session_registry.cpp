// Session registry: see session_registry.h.
#include "session_registry.h"

#include "database.h"
#include "ora_error.h"

#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <vector>

namespace ocisim {
namespace {

// Columns follow V$SESSION of Oracle 9i; the last two are the stand-in's own.
const char* kSchema =
    "CREATE TABLE IF NOT EXISTS sessions ("
    "SADDR TEXT, SID INTEGER PRIMARY KEY, \"SERIAL#\" INTEGER, AUDSID INTEGER, PADDR TEXT,"
    "\"USER#\" INTEGER, USERNAME TEXT, COMMAND INTEGER DEFAULT 0, OWNERID INTEGER DEFAULT 2147483644,"
    "TADDR TEXT, LOCKWAIT TEXT, STATUS TEXT, SERVER TEXT DEFAULT 'DEDICATED', \"SCHEMA#\" INTEGER,"
    "SCHEMANAME TEXT, OSUSER TEXT, PROCESS TEXT, MACHINE TEXT, TERMINAL TEXT, PROGRAM TEXT,"
    "TYPE TEXT DEFAULT 'USER', SQL_ADDRESS TEXT DEFAULT '00', SQL_HASH_VALUE INTEGER DEFAULT 0,"
    "PREV_SQL_ADDR TEXT DEFAULT '00', PREV_HASH_VALUE INTEGER DEFAULT 0, MODULE TEXT, MODULE_HASH INTEGER DEFAULT 0,"
    "ACTION TEXT, ACTION_HASH INTEGER DEFAULT 0, CLIENT_INFO TEXT, FIXED_TABLE_SEQUENCE INTEGER DEFAULT 0,"
    "\"ROW_WAIT_OBJ#\" INTEGER DEFAULT -1, \"ROW_WAIT_FILE#\" INTEGER DEFAULT 0, \"ROW_WAIT_BLOCK#\" INTEGER DEFAULT 0,"
    "\"ROW_WAIT_ROW#\" INTEGER DEFAULT 0, LOGON_TIME TEXT, LAST_CALL_ET INTEGER DEFAULT 0,"
    "PDML_ENABLED TEXT DEFAULT 'NO', FAILOVER_TYPE TEXT DEFAULT 'NONE', FAILOVER_METHOD TEXT DEFAULT 'NONE',"
    "FAILED_OVER TEXT DEFAULT 'NO', RESOURCE_CONSUMER_GROUP TEXT, PDML_STATUS TEXT DEFAULT 'DISABLED',"
    "PDDL_STATUS TEXT DEFAULT 'ENABLED', PQ_STATUS TEXT DEFAULT 'ENABLED', CURRENT_QUEUE_DURATION INTEGER DEFAULT 0,"
    "CLIENT_IDENTIFIER TEXT, OCISIM_PID INTEGER, OCISIM_KILLED INTEGER DEFAULT 0);"
    "CREATE TABLE IF NOT EXISTS counters (name TEXT PRIMARY KEY, value INTEGER);";

std::string Now() {
  std::time_t t = std::time(nullptr);
  std::tm tm{};
  localtime_r(&t, &tm);
  char buf[32];
  std::strftime(buf, sizeof buf, "%Y-%m-%d %H:%M:%S", &tm);
  return buf;
}

bool ProcessAlive(int64_t pid) { return pid > 0 && (::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM); }

class Stmt {
 public:
  Stmt(sqlite3* db, const char* sql) {
    if (sqlite3_prepare_v2(db, sql, -1, &s_, nullptr) != SQLITE_OK)
      ThrowOraText(3113, OraMessage(3113) + "\n" + sqlite3_errmsg(db));
  }
  ~Stmt() { sqlite3_finalize(s_); }
  Stmt& Bind(int i, int64_t v) { sqlite3_bind_int64(s_, i, v); return *this; }
  Stmt& Bind(int i, const std::string& v) { sqlite3_bind_text(s_, i, v.c_str(), -1, SQLITE_TRANSIENT); return *this; }
  bool Step() {
    int rc = sqlite3_step(s_);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    ThrowOraText(3113, OraMessage(3113) + "\n" + sqlite3_errmsg(sqlite3_db_handle(s_)));
  }
  int64_t Int(int i) { return sqlite3_column_int64(s_, i); }

 private:
  sqlite3_stmt* s_ = nullptr;
};

}  // namespace

SessionRegistry::SessionRegistry(const std::string& path) {
  if (sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX,
                      nullptr) != SQLITE_OK) {
    std::string msg = db_ ? sqlite3_errmsg(db_) : "out of memory";
    sqlite3_close(db_);
    db_ = nullptr;
    ThrowOraText(3113, OraMessage(3113) + "\n" + msg);
  }
  sqlite3_busy_timeout(db_, 10000);
  Exec("PRAGMA journal_mode=WAL");
  Exec(kSchema);
}

SessionRegistry::~SessionRegistry() {
  sqlite3_finalize(killed_);
  sqlite3_close(db_);
}

void SessionRegistry::Exec(const char* sql) {
  char* err = nullptr;
  if (sqlite3_exec(db_, sql, nullptr, nullptr, &err) != SQLITE_OK) {
    std::string msg = err ? err : "";
    sqlite3_free(err);
    ThrowOraText(3113, OraMessage(3113) + "\n" + msg);
  }
}

SessionIdentity SessionRegistry::Register(const std::string& user, int64_t user_id, const std::string& program) {
  Exec("BEGIN IMMEDIATE");
  try {
    // Sweep sessions whose process is gone: their work was never committed.
    std::vector<int64_t> dead;
    {
      Stmt q(db_, "SELECT SID, OCISIM_PID FROM sessions");
      while (q.Step())
        if (!ProcessAlive(q.Int(1))) dead.push_back(q.Int(0));
    }
    for (int64_t sid : dead) Stmt(db_, "DELETE FROM sessions WHERE SID = ?").Bind(1, sid).Step();

    // Oracle reuses SIDs; SERIAL# tells the incarnations apart.
    int64_t sid = 7;
    {
      Stmt q(db_, "SELECT SID FROM sessions ORDER BY SID");
      while (q.Step() && q.Int(0) == sid) ++sid;
    }
    Stmt(db_, "INSERT OR IGNORE INTO counters VALUES ('serial', 100)").Step();
    Stmt(db_, "UPDATE counters SET value = value + 1 WHERE name = 'serial'").Step();
    Stmt(db_, "INSERT OR IGNORE INTO counters VALUES ('audsid', 1000)").Step();
    Stmt(db_, "UPDATE counters SET value = value + 1 WHERE name = 'audsid'").Step();
    int64_t serial = 0, audsid = 0;
    {
      Stmt q(db_, "SELECT value FROM counters WHERE name = 'serial'");
      if (q.Step()) serial = q.Int(0);
      Stmt a(db_, "SELECT value FROM counters WHERE name = 'audsid'");
      if (a.Step()) audsid = a.Int(0);
    }
    const char* os_user = std::getenv("USER");
    char host[256] = "localhost";
    ::gethostname(host, sizeof host - 1);
    char saddr[32], paddr[32];
    std::snprintf(saddr, sizeof saddr, "%08llX", static_cast<unsigned long long>(0x6A000000 + sid * 0x1000));
    std::snprintf(paddr, sizeof paddr, "%08llX", static_cast<unsigned long long>(0x6B000000 + sid * 0x1000));
    Stmt ins(db_,
             "INSERT INTO sessions (SADDR, SID, \"SERIAL#\", AUDSID, PADDR, \"USER#\", USERNAME, STATUS, \"SCHEMA#\","
             " SCHEMANAME, OSUSER, PROCESS, MACHINE, TERMINAL, PROGRAM, LOGON_TIME, OCISIM_PID, MODULE)"
             " VALUES (?, ?, ?, ?, ?, ?, ?, 'INACTIVE', ?, ?, ?, ?, ?, 'pts/0', ?, ?, ?, ?)");
    ins.Bind(1, std::string(saddr)).Bind(2, sid).Bind(3, serial).Bind(4, audsid).Bind(5, std::string(paddr));
    ins.Bind(6, user_id).Bind(7, user).Bind(8, user_id).Bind(9, user);
    ins.Bind(10, std::string(os_user ? os_user : "oracle")).Bind(11, std::to_string(::getpid()));
    ins.Bind(12, std::string(host)).Bind(13, program).Bind(14, Now()).Bind(15, static_cast<int64_t>(::getpid()));
    ins.Bind(16, program);
    ins.Step();
    // The most sessions there have been at once since the instance started (V$LICENSE).
    Stmt(db_, "INSERT OR IGNORE INTO counters VALUES ('sessions_highwater', 0)").Step();
    Stmt(db_, "UPDATE counters SET value = MAX(value, (SELECT COUNT(*) FROM sessions)) WHERE name = "
              "'sessions_highwater'").Step();
    Exec("COMMIT");
    return {sid, serial};
  } catch (...) {
    sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    throw;
  }
}

void SessionRegistry::Unregister(const SessionIdentity& id) {
  try {
    Stmt(db_, "DELETE FROM sessions WHERE SID = ? AND \"SERIAL#\" = ?").Bind(1, id.sid).Bind(2, id.serial).Step();
  } catch (...) {
    // A registry that cannot be written only leaves a stale row; the next logon sweeps it.
  }
}

bool SessionRegistry::IsKilled(const SessionIdentity& id) {
  if (!killed_ &&
      sqlite3_prepare_v2(db_, "SELECT OCISIM_KILLED FROM sessions WHERE SID = ? AND \"SERIAL#\" = ?", -1, &killed_,
                         nullptr) != SQLITE_OK)
    ThrowOraText(3113, OraMessage(3113) + "\n" + sqlite3_errmsg(db_));
  sqlite3_reset(killed_);
  sqlite3_bind_int64(killed_, 1, id.sid);
  sqlite3_bind_int64(killed_, 2, id.serial);
  int rc = sqlite3_step(killed_);
  bool killed = rc != SQLITE_ROW || sqlite3_column_int64(killed_, 0) != 0;
  if (rc != SQLITE_ROW && rc != SQLITE_DONE) killed = false;  // a busy registry is no kill
  sqlite3_reset(killed_);
  // A row that vanished (swept by someone) counts as killed as well.
  return killed;
}

void SessionRegistry::Kill(int64_t sid, int64_t serial) {
  Stmt u(db_, "UPDATE sessions SET OCISIM_KILLED = 1, STATUS = 'KILLED' WHERE SID = ? AND \"SERIAL#\" = ?");
  u.Bind(1, sid).Bind(2, serial).Step();
  if (sqlite3_changes(db_) == 0) ThrowOra(30);
}

void SessionRegistry::SetStatus(const SessionIdentity& id, const char* status) {
  try {
    Stmt u(db_, "UPDATE sessions SET STATUS = ? WHERE SID = ? AND \"SERIAL#\" = ? AND OCISIM_KILLED = 0");
    u.Bind(1, std::string(status)).Bind(2, id.sid).Bind(3, id.serial).Step();
  } catch (...) {
  }
}

}  // namespace ocisim
