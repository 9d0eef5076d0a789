// What the live instance views show of a session's work: the statements it
// ran (the shared cursor cache behind V$SQLAREA, V$SQL, V$SQLTEXT and
// V$OBJECT_DEPENDENCY), its open cursors, its transaction and the tables that
// transaction locks, its module and action, and its statistics.
//
// Kept in tables of the session registry's file, next to the session rows,
// and written through a connection of its own in short autocommit steps, so
// the session's own transaction never holds them; every session reads them
// through the temporary views made by CreateLiveViews. Rows of a session are
// keyed by SID and SERIAL#, and the views show them only while that session is
// in the registry.
#pragma once

#include "session_registry.h"

#include <sqlite3.h>

#include <cstdint>
#include <string>
#include <vector>

namespace ocisim {

// An object a cached statement reads or writes.
struct StatementObject {
  std::string owner, name, kind;
};

class SessionActivity {
 public:
  SessionActivity(const std::string& registry_path, SessionIdentity id, int64_t user_id);
  ~SessionActivity();
  SessionActivity(const SessionActivity&) = delete;
  SessionActivity& operator=(const SessionActivity&) = delete;

  // A statement was executed through cursor `cursor` (any number unique in
  // the session): the cache entry is found or made, the cursor is open on it,
  // the session's current statement and command are set, and the counters
  // move. `rows` is what a DML statement processed.
  void StatementExecuted(int64_t cursor, const std::string& text, int command_type, int64_t schema_id,
                         const std::vector<StatementObject>& objects, int64_t rows, bool query, bool sorts);
  // The cursor was closed after fetching `fetched` rows.
  void CursorClosed(int64_t cursor, int64_t fetched);
  // The session's transaction began (sequence number `seq`) or ended.
  void TransactionBegan(int64_t seq);
  void TransactionEnded(bool committed);
  // DML of the open transaction on a table (row-exclusive lock).
  void TableLocked(int64_t object_id, int64_t rows);
  // DBMS_APPLICATION_INFO.SET_MODULE.
  void SetModule(const std::string& module, const std::string& action);
  // DBMS_APPLICATION_INFO.SET_ACTION: the module stays.
  void SetAction(const std::string& action) { SetModule(module_, action); }
  // Logoff: the session's counters join the instance totals and its rows go.
  void Retire();

  // The address and hash value Oracle would give a statement text.
  static uint32_t HashOf(const std::string& text);
  static std::string AddressOf(uint32_t hash);  // eight hex digits

 private:
  void Exec(const char* sql);
  void Bump(sqlite3_stmt* add, int statistic, int64_t by);

  sqlite3* db_ = nullptr;
  SessionIdentity id_;
  int64_t user_id_ = 0;
  std::string module_, action_;
  std::string txn_start_;
};

// Makes the temporary views of the live instance views on a session's
// connection, where the registry file is attached as "reg". `sid` is the
// session's own SID.
void CreateLiveViews(sqlite3* db, int64_t sid);

// The registry tables these views read; run on the registry's connection.
void CreateActivityTables(sqlite3* db);
// Makes those tables in the registry file before a session connection first
// reads it: a connection that read the file's schema earlier would not see
// them, and SQLite's checks of the views during ALTER TABLE would fail.
void PrepareActivityTables(const std::string& registry_path);

}  // namespace ocisim
