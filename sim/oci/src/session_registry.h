// The shared list of live sessions of one database (what V$SESSION shows):
// a small SQLite file beside the database, written in short autocommit
// transactions so that logons, logoffs and kills never wait for a session's
// open work. Rows of processes that died are swept at the next logon.
#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <string>

namespace ocisim {

struct SessionIdentity {
  int64_t sid = 0;
  int64_t serial = 0;
};

class SessionRegistry {
 public:
  explicit SessionRegistry(const std::string& path);
  ~SessionRegistry();
  SessionRegistry(const SessionRegistry&) = delete;
  SessionRegistry& operator=(const SessionRegistry&) = delete;

  SessionIdentity Register(const std::string& user, int64_t user_id, const std::string& program);
  void Unregister(const SessionIdentity& id);
  bool IsKilled(const SessionIdentity& id);
  // Marks another session killed; ORA-00030 when there is no such session.
  void Kill(int64_t sid, int64_t serial);
  void SetStatus(const SessionIdentity& id, const char* status);

  // The SQL that makes the registry's file visible in a session connection.
  static const char* TableName() { return "reg.sessions"; }

 private:
  void Exec(const char* sql);
  sqlite3* db_ = nullptr;
  sqlite3_stmt* killed_ = nullptr;  // asked before every call: kept prepared
};

}  // namespace ocisim
