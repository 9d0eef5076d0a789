// Users and roles in the dictionary: see user_ddl.h.
#include "user_ddl.h"

#include "catalog.h"
#include "dictionary.h"
#include "ora_error.h"
#include "passwords.h"
#include "sqlite_util.h"

namespace ocisim {
namespace {

bool Exists(sqlite3* db, const char* sql, const std::string& key) {
  Query q(db, sql);
  q.Bind(1, key);
  return q.Step();
}

void CheckTablespace(sqlite3* db, const std::string& ts) {
  if (!Exists(db, "SELECT 1 FROM \"SYS.DBA_TABLESPACES\" WHERE TABLESPACE_NAME = ?", ts))
    ThrowOraText(959, "ORA-00959: tablespace '" + ts + "' does not exist");
}

// Every clause given; a user's row exists already.
void ApplyUserClauses(sqlite3* db, const sql::UserDdlInfo& u) {
  auto set = [&](const char* column, const std::string& value) {
    Query q(db, std::string("UPDATE \"SYS.DBA_USERS\" SET ") + column + " = ? WHERE USERNAME = ?");
    q.Bind(1, value).Bind(2, u.name).Run();
  };
  if (u.password) set("PASSWORD", PasswordHash(u.name, *u.password));
  if (u.external) set("PASSWORD", "EXTERNAL");
  if (u.defaultTablespace) {
    CheckTablespace(db, *u.defaultTablespace);
    set("DEFAULT_TABLESPACE", *u.defaultTablespace);
  }
  if (u.temporaryTablespace) {
    CheckTablespace(db, *u.temporaryTablespace);
    set("TEMPORARY_TABLESPACE", *u.temporaryTablespace);
  }
  if (u.profile) {
    if (!Exists(db, "SELECT 1 FROM \"SYS.DBA_PROFILES\" WHERE PROFILE = ?", *u.profile))
      ThrowOraText(2380, "ORA-02380: profile " + *u.profile + " does not exist");
    set("PROFILE", *u.profile);
  }
  if (u.accountStatus) {
    set("ACCOUNT_STATUS", *u.accountStatus);
    Query lock(db, "UPDATE \"SYS.DBA_USERS\" SET LOCK_DATE = CASE WHEN ACCOUNT_STATUS = 'LOCKED' THEN ? END "
                   "WHERE USERNAME = ?");
    lock.Bind(1, Now()).Bind(2, u.name).Run();
  }
  for (const auto& [ts, bytes] : u.quotas) {
    CheckTablespace(db, ts);
    Query del(db, "DELETE FROM \"SYS.DBA_TS_QUOTAS\" WHERE USERNAME = ? AND TABLESPACE_NAME = ?");
    del.Bind(1, u.name).Bind(2, ts).Run();
    // QUOTA 0 takes the quota away.
    if (bytes == 0) continue;
    Query ins(db, "INSERT INTO \"SYS.DBA_TS_QUOTAS\" SELECT ?1, ?2, COALESCE(SUM(BYTES), 0), ?3, "
                  "COALESCE(SUM(BLOCKS), 0), CASE WHEN ?3 < 0 THEN -1 ELSE ?3 / 8192 END FROM \"SYS.DBA_SEGMENTS\" "
                  "WHERE OWNER = ?2 AND TABLESPACE_NAME = ?1");
    ins.Bind(1, ts).Bind(2, u.name).Bind(3, static_cast<int64_t>(bytes)).Run();
  }
}

}  // namespace

void ExecuteUserDdl(ServerSession& s, const sql::Translation& t) {
  sqlite3* db = s.db();
  const sql::UserDdlInfo& u = *t.userDdl;
  // Anyone may change his own password; everything else needs the DBA role.
  const bool ownPassword = t.kind == sql::StmtKind::AlterUser && u.name == s.user() && u.password &&
                           !u.external && !u.defaultTablespace && !u.temporaryTablespace && !u.profile &&
                           !u.accountStatus && u.quotas.empty();
  if (!s.catalog().IsAdmin() && !ownPassword) ThrowOra(1031);
  const bool taken = Exists(db, "SELECT 1 FROM \"SYS.DBA_USERS\" WHERE USERNAME = ?", u.name) ||
                     Exists(db, "SELECT 1 FROM \"SYS.DBA_ROLES\" WHERE ROLE = ?", u.name);
  if (t.kind == sql::StmtKind::CreateRole) {
    if (taken) ThrowOraText(1921, "ORA-01921: role name '" + u.name + "' conflicts with another user or role name");
    Query r(db, "INSERT INTO \"SYS.DBA_ROLES\" VALUES (?, ?)");
    r.Bind(1, u.name).Bind(2, std::string(u.password ? "YES" : u.external ? "EXTERNAL" : "NO")).Run();
    Query g(db, "INSERT INTO \"SYS.DBA_ROLE_PRIVS\" VALUES (?, ?, 'YES', 'YES')");
    g.Bind(1, s.user()).Bind(2, u.name).Run();
    return;
  }
  if (t.kind == sql::StmtKind::AlterUser) {
    if (!Exists(db, "SELECT 1 FROM \"SYS.DBA_USERS\" WHERE USERNAME = ?", u.name))
      ThrowOraText(1918, "ORA-01918: user '" + u.name + "' does not exist");
  } else {
    if (taken) ThrowOraText(1920, "ORA-01920: user name '" + u.name + "' conflicts with another user or role name");
    Query ins(db, "INSERT INTO \"SYS.DBA_USERS\" SELECT ?1, COALESCE(MAX(USER_ID), 0) + 1, NULL, 'OPEN', NULL, NULL, "
                  "'SYSTEM', 'SYSTEM', ?2, 'DEFAULT', 'DEFAULT_CONSUMER_GROUP', NULL FROM \"SYS.DBA_USERS\"");
    ins.Bind(1, u.name).Bind(2, Now()).Run();
  }
  ApplyUserClauses(db, u);
}

}  // namespace ocisim
