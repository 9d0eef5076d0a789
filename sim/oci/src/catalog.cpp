// Name resolution and privileges: see catalog.h.
#include "catalog.h"

#include "ora_error.h"
#include "sqlite_util.h"

namespace ocisim {
namespace {

std::string Key(const std::string& owner, const std::string& name) { return owner + '\x1f' + name; }

// Names in these namespaces are not what a FROM clause or a call refers to.
const char* kResolvable =
    "OBJECT_TYPE NOT IN ('INDEX','TRIGGER','PACKAGE BODY','TYPE BODY','LOB','INDEX PARTITION',"
    "'TABLE PARTITION','JAVA RESOURCE','CONSUMER GROUP','RESOURCE PLAN')";

}  // namespace

std::string SqliteName(const std::string& owner, const std::string& name) { return QuoteIdent(owner + "." + name); }

SessionCatalog::SessionCatalog(sqlite3* db, std::string user, long long user_id)
    : db_(db), user_(std::move(user)), schema_(user_), user_id_(user_id) {}

void SessionCatalog::Refresh() {
  roles_.clear();
  sys_privs_.clear();
  granted_.clear();
  // Roles granted to the user or to PUBLIC, and the roles those roles hold.
  std::set<std::string> grantees = {user_, "PUBLIC"};
  std::set<std::string> frontier = grantees;
  while (!frontier.empty()) {
    std::set<std::string> next;
    for (const auto& g : frontier) {
      Query q(db_, "SELECT GRANTED_ROLE FROM \"SYS.DBA_ROLE_PRIVS\" WHERE GRANTEE = ?");
      q.Bind(1, g);
      while (q.Step()) {
        std::string r = q.Text(0);
        if (grantees.insert(r).second) {
          roles_.insert(r);
          next.insert(r);
        }
      }
    }
    frontier = std::move(next);
  }
  roles_.insert("PUBLIC");
  for (const auto& g : grantees) {
    Query s(db_, "SELECT PRIVILEGE FROM \"SYS.DBA_SYS_PRIVS\" WHERE GRANTEE = ?");
    s.Bind(1, g);
    while (s.Step()) sys_privs_.insert(s.Text(0));
    Query o(db_, "SELECT OWNER, TABLE_NAME FROM \"SYS.DBA_TAB_PRIVS\" WHERE GRANTEE = ?");
    o.Bind(1, g);
    while (o.Step()) granted_.insert(Key(o.Text(0), o.Text(1)));
  }
}

bool SessionCatalog::CanAccess(const std::string& owner, const std::string& name) const {
  if (IsAdmin() || owner == user_) return true;
  if (granted_.count(Key(owner, name))) return true;
  // SELECT ANY TABLE does not open the data dictionary (O7_DICTIONARY_ACCESSIBILITY = FALSE).
  return owner != "SYS" && HasSysPriv("SELECT ANY TABLE");
}

void SessionCatalog::CheckWrite(const std::string& owner, const std::string& name, const std::string& priv) const {
  if (IsAdmin() || owner == user_ || owner.empty() || HasSysPriv(priv + " ANY TABLE")) return;
  Query q(db_, "SELECT GRANTEE FROM \"SYS.DBA_TAB_PRIVS\" WHERE OWNER = ? AND TABLE_NAME = ? AND PRIVILEGE = ?");
  q.Bind(1, owner).Bind(2, name).Bind(3, priv);
  while (q.Step())
    if (IsGrantee(q.Text(0))) return;
  ThrowOra(1031);
}

bool SessionCatalog::Lookup(const std::string& owner, const std::string& name, std::string* kind) const {
  Query q(db_, std::string("SELECT OBJECT_TYPE FROM \"SYS.DBA_OBJECTS\" WHERE OWNER = ? AND OBJECT_NAME = ? AND ") +
                   kResolvable + " ORDER BY OBJECT_ID LIMIT 1");
  q.Bind(1, owner).Bind(2, name);
  if (!q.Step()) return false;
  *kind = q.Text(0);
  return true;
}

sql::ResolvedObject SessionCatalog::Resolve(const std::optional<std::string>& owner_in, const std::string& name) const {
  std::string owner, kind;
  if (owner_in) {
    owner = *owner_in;
    if (!Lookup(owner, name, &kind)) ThrowOra(942);
  } else if (Lookup(schema_, name, &kind)) {
    owner = schema_;
  } else if (Lookup("PUBLIC", name, &kind)) {
    owner = "PUBLIC";
  } else {
    ThrowOra(942);
  }
  // Follow synonyms (private or public) to what they name; a loop or a dangling
  // synonym reads as a missing table, as on a server.
  std::string obj = name;
  for (int hops = 0; kind == "SYNONYM"; ++hops) {
    if (hops > 16) ThrowOra(942);
    Query s(db_, "SELECT TABLE_OWNER, TABLE_NAME FROM \"SYS.DBA_SYNONYMS\" WHERE OWNER = ? AND SYNONYM_NAME = ?");
    s.Bind(1, owner).Bind(2, obj);
    if (!s.Step()) ThrowOra(942);
    owner = s.Text(0);
    obj = s.Text(1);
    if (!Lookup(owner, obj, &kind)) ThrowOra(942);
  }
  if (!CanAccess(owner, obj)) ThrowOra(942);
  return sql::ResolvedObject{SqliteName(owner, obj), owner, obj, kind};
}

namespace {

void UserFn(sqlite3_context* ctx, int, sqlite3_value**) {
  auto* cat = static_cast<SessionCatalog*>(sqlite3_user_data(ctx));
  sqlite3_result_text(ctx, cat->user().c_str(), -1, SQLITE_TRANSIENT);
}

void VisibleFn(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  auto* cat = static_cast<SessionCatalog*>(sqlite3_user_data(ctx));
  if (argc != 2 || sqlite3_value_type(argv[0]) == SQLITE_NULL) {
    sqlite3_result_int(ctx, 0);
    return;
  }
  std::string owner = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
  const unsigned char* n = sqlite3_value_text(argv[1]);
  std::string name = n ? reinterpret_cast<const char*>(n) : "";
  sqlite3_result_int(ctx, cat->CanAccess(owner, name) || owner == "PUBLIC" ? 1 : 0);
}

void GranteeFn(sqlite3_context* ctx, int, sqlite3_value** argv) {
  auto* cat = static_cast<SessionCatalog*>(sqlite3_user_data(ctx));
  const unsigned char* n = sqlite3_value_text(argv[0]);
  sqlite3_result_int(ctx, n && cat->IsGrantee(reinterpret_cast<const char*>(n)) ? 1 : 0);
}

void AdminFn(sqlite3_context* ctx, int, sqlite3_value**) {
  auto* cat = static_cast<SessionCatalog*>(sqlite3_user_data(ctx));
  sqlite3_result_int(ctx, cat->IsAdmin() ? 1 : 0);
}

}  // namespace

void SessionCatalog::RegisterSqlFunctions() {
  sqlite3_create_function(db_, "ocisim_user", 0, SQLITE_UTF8, this, UserFn, nullptr, nullptr);
  sqlite3_create_function(db_, "ocisim_visible", 2, SQLITE_UTF8, this, VisibleFn, nullptr, nullptr);
  sqlite3_create_function(db_, "ocisim_is_grantee", 1, SQLITE_UTF8, this, GranteeFn, nullptr, nullptr);
  sqlite3_create_function(db_, "ocisim_admin", 0, SQLITE_UTF8, this, AdminFn, nullptr, nullptr);
}

}  // namespace ocisim
