// One logged-on session: its own SQLite connection and transaction, the user's
// privileges, the DBMS_OUTPUT buffer and the entry in the session registry.
// Everything a statement does runs through here (see executor.h).
#pragma once

#include "activity.h"
#include "catalog.h"
#include "database.h"
#include "session_registry.h"

#include <sqlite3.h>

#include <chrono>
#include <deque>
#include <memory>
#include <set>
#include <string>

namespace ocisim {

enum class LogonMode { Normal, SysDba, SysOper };

class ServerSession {
 public:
  // Checks the credentials and opens the session. `warning` receives the
  // ORA-28002 text for a password about to expire (the logon still succeeds).
  // `external` logs on with operating-system credentials.
  static std::unique_ptr<ServerSession> Logon(std::shared_ptr<Database> db, const std::string& user,
                                              const std::string& password, bool external, LogonMode mode,
                                              std::string* warning);
  // For building a database: a SYS session on a file not yet in the registry.
  static std::unique_ptr<ServerSession> OpenForBuild(const std::string& path);
  ~ServerSession();  // rolls back and leaves the registry

  sqlite3* db() const { return db_; }
  const std::string& user() const { return user_; }
  int64_t user_id() const { return user_id_; }
  const Database* database() const { return database_.get(); }
  SessionIdentity identity() const { return identity_; }
  SessionCatalog& catalog() { return *catalog_; }
  const std::string& banner() const { return banner_; }

  // Reloads the user's privileges when another session committed a change
  // since the last look (a GRANT elsewhere shows at the next statement).
  void RefreshPrivilegesIfChanged();
  // ORA-00028 once another session killed this one. Throttled checks (fetch
  // calls) ask the registry at most every few milliseconds.
  void CheckAlive(bool throttled = false);
  // Starts the transaction before the first write, taking the database's
  // write lock at once (a conflicting writer waits for the lock timeout and
  // then gets ORA-00054).
  void BeginWrite();
  bool InTransaction() const { return in_txn_; }
  void Commit();
  void Rollback();
  // A transaction id while the session has uncommitted work, else empty.
  std::string TransactionId() const;
  // An interrupt requested by OCIBreak/obreak: the running statement stops with ORA-01013.
  void Interrupt() { sqlite3_interrupt(db_); }

  void KillSession(int64_t sid, int64_t serial);

  // What the live instance views show of this session; null while building a
  // database.
  SessionActivity* activity() { return activity_.get(); }
  // DML of the open transaction wrote `rows` rows of the table.
  void NoteTableWritten(const std::string& owner, const std::string& table, int64_t rows);

  // DBMS_OUTPUT.
  bool output_enabled = false;
  std::deque<std::string> output_lines;
  std::string output_partial;
  // Bytes the buffer may hold (DBMS_OUTPUT.ENABLE's buffer_size; 0: no limit).
  int64_t output_limit = 20000;
  // PL/SQL package state of this session (plsql::SessionState), made on first use.
  std::shared_ptr<void> plsql_state;

  // Runs SQLite text with no result; errors become Oracle errors.
  void ExecRaw(const std::string& sql);

 private:
  ServerSession() = default;
  void Open(const std::string& path, const std::string& registry_path);

  std::shared_ptr<Database> database_;
  std::unique_ptr<SessionRegistry> registry_;
  SessionIdentity identity_;
  sqlite3* db_ = nullptr;
  std::string user_;
  int64_t user_id_ = 0;
  std::string banner_;
  std::unique_ptr<SessionCatalog> catalog_;
  std::unique_ptr<SessionActivity> activity_;
  bool in_txn_ = false;
  int64_t data_version_ = -1;
  std::chrono::steady_clock::time_point last_alive_check_{};
  int64_t txn_seq_ = 0;
};

}  // namespace ocisim
