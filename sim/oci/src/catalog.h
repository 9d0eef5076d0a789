// Name resolution and privileges of one session: implements the translator's
// Catalog (owner.name → SQLite identifier, ORA-00942 for what does not exist
// or may not be seen) and answers the visibility question that the ALL_ views
// ask per row through the SQL function ocisim_visible(owner, name).
#pragma once

#include "sql/translate.h"

#include <sqlite3.h>

#include <set>
#include <string>
#include <unordered_set>

namespace ocisim {

// The SQLite identifier of an Oracle object: "OWNER.NAME", quoted.
std::string SqliteName(const std::string& owner, const std::string& name);

class SessionCatalog : public sql::Catalog {
 public:
  SessionCatalog(sqlite3* db, std::string user, long long user_id);

  std::string CurrentUser() const override { return schema_; }
  long long CurrentUserId() const override { return user_id_; }
  sql::ResolvedObject Resolve(const std::optional<std::string>& owner, const std::string& name) const override;

  // Reloads roles, system privileges and object grants (after logon, GRANT, REVOKE).
  void Refresh();
  bool HasRole(const std::string& role) const { return roles_.count(role) != 0; }
  bool HasSysPriv(const std::string& priv) const { return sys_privs_.count(priv) != 0; }
  // DBA and SYS see and may do everything.
  bool IsAdmin() const { return user_ == "SYS" || HasRole("DBA"); }
  bool CanAccess(const std::string& owner, const std::string& name) const;
  // INSERT/UPDATE/DELETE on a table: owner, DBA, the ANY system privilege or
  // a grant of that privilege; ORA-01031 otherwise.
  void CheckWrite(const std::string& owner, const std::string& name, const std::string& privilege) const;
  // The user, PUBLIC, or a role the user holds.
  bool IsGrantee(const std::string& name) const { return name == user_ || roles_.count(name) != 0; }
  const std::string& user() const { return user_; }
  // ALTER SESSION SET CURRENT_SCHEMA changes where unqualified names are looked up.
  void SetCurrentSchema(const std::string& schema) { schema_ = schema; }

  // Installs ocisim_user(), ocisim_visible(), ocisim_is_grantee() and ocisim_admin() on the connection.
  void RegisterSqlFunctions();

 private:
  bool Lookup(const std::string& owner, const std::string& name, std::string* kind) const;

  sqlite3* db_;
  std::string user_;
  std::string schema_;
  long long user_id_;
  std::set<std::string> roles_;      // enabled roles, transitively, plus PUBLIC
  std::set<std::string> sys_privs_;
  std::unordered_set<std::string> granted_;  // "OWNER\x1fNAME" of objects granted to us
};

}  // namespace ocisim
