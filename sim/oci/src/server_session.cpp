// Logon, transactions and the life of a session: see server_session.h.
#include "server_session.h"

#include "sequences.h"

#include "ora_error.h"
#include "passwords.h"
#include "sqlite_util.h"

#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>

namespace ocisim {
namespace {

std::string Upper(std::string s) {
  for (auto& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

std::string ProgramName() {
  if (const char* p = std::getenv("OCISIM_PROGRAM"); p && *p) return p;
  std::ifstream comm("/proc/self/comm");
  std::string name;
  std::getline(comm, name);
  return name.empty() ? "ocisim" : name;
}

std::string OsUser() {
  if (const char* u = std::getenv("OCISIM_OS_USER"); u && *u) return u;
  if (const char* u = std::getenv("USER"); u && *u) return u;
  return "oracle";
}

// The live V$SESSION reads the registry file attached as "reg"; a view in the
// main file may not name another file, so it is a temporary view per connection.
// %lld: the session's own SID, which reads ACTIVE (it is running the query).
const char* kSessionView =
    "CREATE TEMP VIEW IF NOT EXISTS \"SYS.V_$SESSION\" AS SELECT SADDR, SID, \"SERIAL#\", AUDSID, PADDR, \"USER#\","
    " USERNAME, COMMAND, OWNERID, TADDR, LOCKWAIT, CASE WHEN SID = %lld AND STATUS <> 'KILLED' THEN 'ACTIVE' ELSE"
    " STATUS END AS STATUS, SERVER, \"SCHEMA#\", SCHEMANAME, OSUSER, PROCESS,"
    " MACHINE, TERMINAL, PROGRAM, TYPE, SQL_ADDRESS, SQL_HASH_VALUE, PREV_SQL_ADDR, PREV_HASH_VALUE, MODULE,"
    " MODULE_HASH, ACTION, ACTION_HASH, CLIENT_INFO, FIXED_TABLE_SEQUENCE, \"ROW_WAIT_OBJ#\", \"ROW_WAIT_FILE#\","
    " \"ROW_WAIT_BLOCK#\", \"ROW_WAIT_ROW#\", LOGON_TIME, LAST_CALL_ET, PDML_ENABLED, FAILOVER_TYPE,"
    " FAILOVER_METHOD, FAILED_OVER, RESOURCE_CONSUMER_GROUP, PDML_STATUS, PDDL_STATUS, PQ_STATUS,"
    " CURRENT_QUEUE_DURATION, CLIENT_IDENTIFIER FROM reg.sessions";

}  // namespace

void ServerSession::Open(const std::string& path, const std::string& registry_path) {
  int rc = sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_FULLMUTEX, nullptr);
  if (rc != SQLITE_OK) {
    std::string msg = db_ ? sqlite3_errmsg(db_) : "out of memory";
    sqlite3_close(db_);
    db_ = nullptr;
    ThrowOraText(12154, OraMessage(12154) + "\n" + msg);
  }
  sqlite3_busy_timeout(db_, LockTimeoutMs());
  ExecSql(db_, "PRAGMA journal_mode=WAL; PRAGMA foreign_keys=ON; PRAGMA synchronous=NORMAL");
  sql::RegisterFunctions(db_);
  RegisterPasswordFunction(db_);
  RegisterSequenceFunctions(db_);
  if (!registry_path.empty()) {
    ExecSql(db_, "ATTACH DATABASE " + QuoteLiteral(registry_path) + " AS reg");
  }
}

std::unique_ptr<ServerSession> ServerSession::OpenForBuild(const std::string& path) {
  std::unique_ptr<ServerSession> s(new ServerSession());
  int rc = sqlite3_open_v2(path.c_str(), &s->db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
  if (rc != SQLITE_OK) ThrowOraText(12154, OraMessage(12154) + "\ncannot create " + path);
  ExecSql(s->db_, "PRAGMA foreign_keys=ON");
  sql::RegisterFunctions(s->db_);
  RegisterPasswordFunction(s->db_);
  RegisterSequenceFunctions(s->db_);
  s->user_ = "SYS";
  s->catalog_ = std::make_unique<SessionCatalog>(s->db_, "SYS", 0);
  s->catalog_->RegisterSqlFunctions();
  return s;
}

std::unique_ptr<ServerSession> ServerSession::Logon(std::shared_ptr<Database> database, const std::string& user_in,
                                                    const std::string& password, bool external, LogonMode mode,
                                                    std::string* warning) {
  std::unique_ptr<ServerSession> s(new ServerSession());
  s->database_ = database;
  s->registry_ = std::make_unique<SessionRegistry>(database->registry_path());
  PrepareActivityTables(database->registry_path());
  s->Open(database->path(), database->registry_path());

  std::string user = Upper(user_in);
  if (external) user = "OPS$" + Upper(OsUser());
  else if (user.empty()) ThrowOra(1017);
  else if (password.empty()) ThrowOra(1005);

  Query q(s->db_, "SELECT USER_ID, PASSWORD, ACCOUNT_STATUS, PROFILE FROM \"SYS.DBA_USERS\" WHERE USERNAME = ?");
  q.Bind(1, user);
  if (!q.Step()) ThrowOra(1017);
  int64_t user_id = q.Int(0);
  std::string stored = q.Text(1), status = q.Text(2), profile = q.Text(3);
  if (external) {
    if (stored != "EXTERNAL") ThrowOra(1017);
  } else if (stored == "EXTERNAL" || stored != PasswordHash(user, password)) {
    ThrowOra(1017);
  }
  if (status.rfind("LOCKED", 0) == 0) ThrowOra(28000);
  if (status == "EXPIRED") ThrowOra(28001);

  if (mode != LogonMode::Normal) {
    Query p(s->db_, "SELECT SYSDBA, SYSOPER FROM \"SYS.V_$PWFILE_USERS\" WHERE USERNAME = ?");
    p.Bind(1, user);
    bool ok = p.Step() && p.Text(mode == LogonMode::SysDba ? 0 : 1) == "TRUE";
    if (!ok) ThrowOra(1031);
    // A SYSDBA connection is SYS whoever logged on; a SYSOPER one is PUBLIC.
    if (mode == LogonMode::SysDba) {
      user = "SYS";
      user_id = 0;
    } else {
      user = "PUBLIC";
      user_id = 1;
    }
  }
  if (status == "EXPIRED(GRACE)" && warning) {
    std::string days = "7";
    Query g(s->db_, "SELECT \"LIMIT\" FROM \"SYS.DBA_PROFILES\" WHERE PROFILE = ? AND RESOURCE_NAME = 'PASSWORD_GRACE_TIME'");
    g.Bind(1, profile);
    if (g.Step() && !g.IsNull(0) && std::isdigit(static_cast<unsigned char>(g.Text(0)[0]))) days = g.Text(0);
    *warning = OraMessage(28002, {days});
  }

  s->user_ = user;
  s->user_id_ = user_id;
  {
    Query b(s->db_, "SELECT VALUE FROM ocisim_settings WHERE NAME = 'BANNER'");
    s->banner_ = b.Step() ? b.Text(0) : std::string();
  }
  s->catalog_ = std::make_unique<SessionCatalog>(s->db_, user, user_id);
  s->catalog_->RegisterSqlFunctions();
  s->catalog_->Refresh();
  s->identity_ = s->registry_->Register(user, user_id, ProgramName());
  char view[2048];
  std::snprintf(view, sizeof view, kSessionView, static_cast<long long>(s->identity_.sid));
  ExecSql(s->db_, view);
  s->activity_ = std::make_unique<SessionActivity>(database->registry_path(), s->identity_, user_id);
  CreateLiveViews(s->db_, s->identity_.sid);
  return s;
}

ServerSession::~ServerSession() {
  if (activity_) {
    if (in_txn_) activity_->TransactionEnded(false);
    activity_->Retire();
  }
  if (db_) {
    if (in_txn_) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close_v2(db_);
  }
  if (registry_ && identity_.sid) registry_->Unregister(identity_);
}

void ServerSession::CheckAlive(bool throttled) {
  auto now = std::chrono::steady_clock::now();
  if (throttled && now - last_alive_check_ < std::chrono::milliseconds(20)) return;
  last_alive_check_ = now;
  if (registry_ && identity_.sid && registry_->IsKilled(identity_)) {
    if (in_txn_) {
      sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
      in_txn_ = false;
      if (activity_) activity_->TransactionEnded(false);
    }
    ThrowOra(28);
  }
}

void ServerSession::RefreshPrivilegesIfChanged() {
  // data_version moves only when other connections commit to the file.
  Query q(db_, "PRAGMA main.data_version");
  int64_t v = q.Step() ? q.Int(0) : 0;
  if (data_version_ != -1 && v != data_version_) catalog_->Refresh();
  data_version_ = v;
}

void ServerSession::BeginWrite() {
  if (in_txn_) return;
  // BEGIN IMMEDIATE would also lock the attached session registry and stall
  // every logon; a write to the main file alone takes just its write lock
  // (waiting up to the lock timeout for another session's transaction).
  int rc = sqlite3_exec(db_, "BEGIN", nullptr, nullptr, nullptr);
  if (rc == SQLITE_OK) rc = sqlite3_exec(db_, "UPDATE main.ocisim_settings SET VALUE = VALUE WHERE 0", nullptr, nullptr, nullptr);
  if (rc != SQLITE_OK) {
    sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    if ((rc & 0xff) == SQLITE_BUSY || (rc & 0xff) == SQLITE_LOCKED) ThrowOra(54);
    ThrowSqlite(db_, rc);
  }
  in_txn_ = true;
  ++txn_seq_;
  if (activity_) {
    try {
      activity_->TransactionBegan(txn_seq_);
    } catch (...) {
      // The views miss this transaction; the work itself goes on.
    }
  }
}

void ServerSession::Commit() {
  if (!in_txn_) return;
  int rc = sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr);
  if (rc != SQLITE_OK) ThrowSqlite(db_, rc);
  in_txn_ = false;
  if (activity_) activity_->TransactionEnded(true);
}

void ServerSession::Rollback() {
  if (!in_txn_) return;
  sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
  in_txn_ = false;
  if (activity_) activity_->TransactionEnded(false);
}

void ServerSession::NoteTableWritten(const std::string& owner, const std::string& table, int64_t rows) {
  if (!activity_ || !in_txn_) return;
  try {
    Query q(db_, "SELECT OBJECT_ID FROM \"SYS.DBA_OBJECTS\" WHERE OWNER = ? AND OBJECT_NAME = ? AND OBJECT_TYPE = "
                 "'TABLE'");
    q.Bind(1, owner).Bind(2, table);
    if (q.Step()) activity_->TableLocked(q.Int(0), rows);
  } catch (...) {
    // The lock is real whether or not the views can show it.
  }
}

std::string ServerSession::TransactionId() const {
  if (!in_txn_) return {};
  return std::to_string(identity_.sid) + "." + std::to_string(txn_seq_) + "." + std::to_string(identity_.serial);
}

void ServerSession::KillSession(int64_t sid, int64_t serial) {
  if (!catalog_->IsAdmin() && !catalog_->HasSysPriv("ALTER SYSTEM")) ThrowOra(1031);
  if (!registry_) ThrowOra(30);
  if (sid == identity_.sid && serial == identity_.serial)
    ThrowOraText(27, "ORA-00027: cannot kill current session");
  registry_->Kill(sid, serial);
}

void ServerSession::ExecRaw(const std::string& sql) { ExecSql(db_, sql); }

}  // namespace ocisim
