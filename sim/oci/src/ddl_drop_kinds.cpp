// Drops of the dictionary-only kinds: each kind says where its rows are,
// how it is found, and what the server answers when it is not there.
#include "ddl_drop_kinds.h"

#include "compile.h"

#include "catalog.h"
#include "dictionary.h"
#include "ora_error.h"
#include "sqlite_util.h"

#include <algorithm>
#include <vector>

namespace ocisim {
namespace {

bool Exists(sqlite3* db, const char* sql, const std::string& a, const std::string& b = "") {
  Query q(db, sql);
  q.Bind(1, a);
  if (std::string(sql).find("?2") != std::string::npos) q.Bind(2, b);
  return q.Step();
}

void Run(sqlite3* db, std::initializer_list<const char*> statements, const std::string& a,
         const std::string& b = "") {
  for (const char* sql : statements) {
    Query q(db, sql);
    q.Bind(1, a);
    if (std::string(sql).find("?2") != std::string::npos) q.Bind(2, b);
    q.Run();
  }
}

std::string QuotedName(const std::string& owner, const std::string& name) {
  return "\"" + owner + "\".\"" + name + "\"";
}

void NeedAdmin(ServerSession& s) {
  if (!s.catalog().IsAdmin()) ThrowOra(1031);
}

void NeedSchema(ServerSession& s, const std::string& owner) {
  if (owner != s.user() && !s.catalog().IsAdmin()) ThrowOra(1031);
}

void DropCluster(ServerSession& s, const sql::DropInfo& d, const TableDropper& dropTable) {
  sqlite3* db = s.db();
  NeedSchema(s, d.owner);
  if (!Exists(db, "SELECT 1 FROM \"SYS.DBA_CLUSTERS\" WHERE OWNER = ?1 AND CLUSTER_NAME = ?2", d.owner, d.name))
    ThrowOraText(943, "ORA-00943: cluster does not exist");
  std::vector<std::pair<std::string, std::string>> tables;
  {
    Query q(db, "SELECT OWNER, TABLE_NAME FROM \"SYS.DBA_ALL_TABLES\" WHERE CLUSTER_OWNER = ? AND CLUSTER_NAME = ?");
    q.Bind(1, d.owner).Bind(2, d.name);
    while (q.Step()) tables.emplace_back(q.Text(0), q.Text(1));
  }
  if (!tables.empty() && !d.includingTables) ThrowOraText(951, "ORA-00951: cluster not empty");
  for (const auto& [owner, table] : tables) dropTable(owner, table, d.cascadeConstraints);
  std::vector<std::string> indexes;
  {
    Query q(db, "SELECT INDEX_NAME FROM \"SYS.DBA_INDEXES\" WHERE TABLE_OWNER = ? AND TABLE_NAME = ? AND "
                "TABLE_TYPE = 'CLUSTER'");
    q.Bind(1, d.owner).Bind(2, d.name);
    while (q.Step()) indexes.push_back(q.Text(0));
  }
  for (const auto& index : indexes) {
    Run(db, {"DELETE FROM \"SYS.DBA_INDEXES\" WHERE OWNER = ?1 AND INDEX_NAME = ?2",
             "DELETE FROM \"SYS.DBA_IND_COLUMNS\" WHERE INDEX_OWNER = ?1 AND INDEX_NAME = ?2"},
        d.owner, index);
    RemoveObject(db, d.owner, index, "INDEX");
  }
  Run(db, {"DELETE FROM \"SYS.DBA_CLUSTERS\" WHERE OWNER = ?1 AND CLUSTER_NAME = ?2",
           "DELETE FROM \"SYS.DBA_CLU_COLUMNS\" WHERE OWNER = ?1 AND CLUSTER_NAME = ?2"},
      d.owner, d.name);
  RemoveObject(db, d.owner, d.name, "CLUSTER");
}

void DropOperator(ServerSession& s, const sql::DropInfo& d) {
  sqlite3* db = s.db();
  NeedSchema(s, d.owner);
  if (!Exists(db, "SELECT 1 FROM \"SYS.DBA_OPERATORS\" WHERE OWNER = ?1 AND OPERATOR_NAME = ?2", d.owner, d.name))
    ThrowOra(4043, {d.name});
  if (!d.force && Exists(db,
                         "SELECT 1 FROM \"SYS.DBA_INDEXTYPE_OPERATORS\" WHERE OPERATOR_SCHEMA = ?1 AND "
                         "OPERATOR_NAME = ?2",
                         d.owner, d.name))
    ThrowOraText(29809, "ORA-29809: cannot drop an operator with dependent objects");
  Run(db, {"DELETE FROM \"SYS.DBA_OPERATORS\" WHERE OWNER = ?1 AND OPERATOR_NAME = ?2",
           "DELETE FROM \"SYS.DBA_OPBINDINGS\" WHERE OWNER = ?1 AND OPERATOR_NAME = ?2",
           "DELETE FROM \"SYS.DBA_OPARGUMENTS\" WHERE OWNER = ?1 AND OPERATOR_NAME = ?2"},
      d.owner, d.name);
  // With FORCE the index types that use it are marked invalid.
  Query inv(db, "UPDATE \"SYS.DBA_OBJECTS\" SET STATUS = 'INVALID' WHERE OBJECT_TYPE = 'INDEXTYPE' AND (OWNER, "
                "OBJECT_NAME) IN (SELECT OWNER, INDEXTYPE_NAME FROM \"SYS.DBA_INDEXTYPE_OPERATORS\" WHERE "
                "OPERATOR_SCHEMA = ? AND OPERATOR_NAME = ?)");
  inv.Bind(1, d.owner).Bind(2, d.name).Run();
  RemoveObject(db, d.owner, d.name, "OPERATOR");
}

void DropIndexType(ServerSession& s, const sql::DropInfo& d) {
  sqlite3* db = s.db();
  NeedSchema(s, d.owner);
  if (!Exists(db, "SELECT 1 FROM \"SYS.DBA_INDEXTYPES\" WHERE OWNER = ?1 AND INDEXTYPE_NAME = ?2", d.owner, d.name))
    ThrowOra(4043, {d.name});
  Run(db, {"DELETE FROM \"SYS.DBA_INDEXTYPES\" WHERE OWNER = ?1 AND INDEXTYPE_NAME = ?2",
           "DELETE FROM \"SYS.DBA_INDEXTYPE_OPERATORS\" WHERE OWNER = ?1 AND INDEXTYPE_NAME = ?2"},
      d.owner, d.name);
  RemoveObject(db, d.owner, d.name, "INDEXTYPE");
}

void DropDimension(ServerSession& s, const sql::DropInfo& d) {
  sqlite3* db = s.db();
  NeedSchema(s, d.owner);
  if (!Exists(db, "SELECT 1 FROM \"SYS.DBA_DIMENSIONS\" WHERE OWNER = ?1 AND DIMENSION_NAME = ?2", d.owner, d.name))
    ThrowOra(4043, {d.name});
  Run(db,
      {"DELETE FROM \"SYS.DBA_DIMENSIONS\" WHERE OWNER = ?1 AND DIMENSION_NAME = ?2",
       "DELETE FROM \"SYS.DBA_DIM_LEVELS\" WHERE OWNER = ?1 AND DIMENSION_NAME = ?2",
       "DELETE FROM \"SYS.DBA_DIM_HIERARCHIES\" WHERE OWNER = ?1 AND DIMENSION_NAME = ?2",
       "DELETE FROM \"SYS.DBA_DIM_LEVEL_KEY\" WHERE OWNER = ?1 AND DIMENSION_NAME = ?2",
       "DELETE FROM \"SYS.DBA_DIM_CHILD_OF\" WHERE OWNER = ?1 AND DIMENSION_NAME = ?2"},
      d.owner, d.name);
  RemoveObject(db, d.owner, d.name, "DIMENSION");
}

void DropSnapshot(ServerSession& s, const sql::DropInfo& d, const TableDropper& dropTable) {
  sqlite3* db = s.db();
  NeedSchema(s, d.owner);
  std::string container;
  {
    Query q(db, "SELECT TABLE_NAME FROM \"SYS.DBA_SNAPSHOTS\" WHERE OWNER = ? AND NAME = ?");
    q.Bind(1, d.owner).Bind(2, d.name);
    if (!q.Step())
      ThrowOraText(12003, "ORA-12003: materialized view " + QuotedName(d.owner, d.name) + " does not exist");
    container = q.Text(0);
  }
  if (!container.empty() && ObjectExists(db, d.owner, container, "TABLE")) dropTable(d.owner, container, true);
  Run(db, {"DELETE FROM \"SYS.DBA_SNAPSHOTS\" WHERE OWNER = ?1 AND NAME = ?2",
           "DELETE FROM \"SYS.DBA_REFRESH_CHILDREN\" WHERE OWNER = ?1 AND NAME = ?2"},
      d.owner, d.name);
  RemoveObject(db, d.owner, d.name, "MATERIALIZED VIEW");
  RemoveObject(db, d.owner, d.name, "SNAPSHOT");
}

void DropSnapshotLog(ServerSession& s, const sql::DropInfo& d, const TableDropper& dropTable) {
  sqlite3* db = s.db();
  NeedSchema(s, d.owner);
  std::string logTable;
  {
    Query q(db, "SELECT LOG_TABLE FROM \"SYS.DBA_SNAPSHOT_LOGS\" WHERE LOG_OWNER = ? AND MASTER = ?");
    q.Bind(1, d.owner).Bind(2, d.name);
    if (!q.Step())
      ThrowOraText(12002, "ORA-12002: there is no materialized view log on table " + QuotedName(d.owner, d.name));
    logTable = q.Text(0);
  }
  if (!logTable.empty() && ObjectExists(db, d.owner, logTable, "TABLE")) dropTable(d.owner, logTable, true);
  Run(db, {"DELETE FROM \"SYS.DBA_SNAPSHOT_LOGS\" WHERE LOG_OWNER = ?1 AND MASTER = ?2"}, d.owner, d.name);
}

// Kinds whose whole state is one dictionary row (plus DBA_OBJECTS for some).
struct RowKind {
  const char* type;
  const char* exists;  // ?1 owner or name, ?2 name
  const char* remove;
  bool ownerInKey;     // the owner is part of the key (libraries)
  bool admin;          // needs the DBA role whatever the owner
  const char* objectOwner;  // DBA_OBJECTS owner of the row, "" when it has none there
  int error;
  const char* errorText;  // %s: the name
};

const RowKind kRowKinds[] = {
    {"LIBRARY", "SELECT 1 FROM \"SYS.DBA_LIBRARIES\" WHERE OWNER = ?1 AND LIBRARY_NAME = ?2",
     "DELETE FROM \"SYS.DBA_LIBRARIES\" WHERE OWNER = ?1 AND LIBRARY_NAME = ?2", true, false, nullptr, 4043,
     nullptr},
    {"DIRECTORY", "SELECT 1 FROM \"SYS.DBA_DIRECTORIES\" WHERE DIRECTORY_NAME = ?1",
     "DELETE FROM \"SYS.DBA_DIRECTORIES\" WHERE DIRECTORY_NAME = ?1", false, true, "SYS", 4043, nullptr},
    {"CONTEXT", "SELECT 1 FROM \"SYS.DBA_CONTEXT\" WHERE NAMESPACE = ?1",
     "DELETE FROM \"SYS.DBA_CONTEXT\" WHERE NAMESPACE = ?1", false, true, "SYS", 4043, nullptr},
    {"OUTLINE", "SELECT 1 FROM \"SYS.DBA_OUTLINES\" WHERE NAME = ?1", "DELETE FROM \"SYS.DBA_OUTLINES\" WHERE NAME = ?1",
     false, false, "", 18002, "ORA-18002: the specified outline does not exist"},
    {"ROLLBACK SEGMENT", "SELECT 1 FROM \"SYS.DBA_ROLLBACK_SEGS\" WHERE SEGMENT_NAME = ?1",
     "DELETE FROM \"SYS.DBA_ROLLBACK_SEGS\" WHERE SEGMENT_NAME = ?1", false, true, "", 1534,
     "ORA-01534: rollback segment '%s' doesn't exist"},
};

void DropRowKind(ServerSession& s, const RowKind& k, const sql::DropInfo& d) {
  sqlite3* db = s.db();
  if (k.admin) NeedAdmin(s);
  else if (k.ownerInKey) NeedSchema(s, d.owner);
  const std::string a = k.ownerInKey ? d.owner : d.name;
  if (!Exists(db, k.exists, a, d.name)) {
    if (k.errorText == nullptr) ThrowOra(k.error, {d.name});
    std::string text = k.errorText;
    if (auto at = text.find("%s"); at != std::string::npos) text.replace(at, 2, d.name);
    ThrowOraText(k.error, text);
  }
  if (std::string(k.type) == "ROLLBACK SEGMENT") {
    Query q(db, "SELECT STATUS FROM \"SYS.DBA_ROLLBACK_SEGS\" WHERE SEGMENT_NAME = ?");
    q.Bind(1, d.name);
    if (q.Step() && q.Text(0) == "ONLINE")
      ThrowOraText(1545, "ORA-01545: rollback segment '" + d.name + "' specified not available");
  }
  Run(db, {k.remove}, a, d.name);
  const std::string objectOwner = k.objectOwner == nullptr ? d.owner : k.objectOwner;
  if (!objectOwner.empty()) RemoveObject(db, objectOwner, d.name, k.type);
}

void DropDatabaseLink(ServerSession& s, const sql::DropInfo& d, bool isPublic) {
  sqlite3* db = s.db();
  if (isPublic) NeedAdmin(s);
  // A private link is always the dropping user's own.
  const std::string owner = isPublic ? "PUBLIC" : s.user();
  if (!Exists(db, "SELECT 1 FROM \"SYS.DBA_DB_LINKS\" WHERE OWNER = ?1 AND DB_LINK = ?2", owner, d.name))
    ThrowOraText(2024, "ORA-02024: database link not found");
  Run(db, {"DELETE FROM \"SYS.DBA_DB_LINKS\" WHERE OWNER = ?1 AND DB_LINK = ?2"}, owner, d.name);
  RemoveObject(db, owner, d.name, "DATABASE LINK");
}

}  // namespace

bool DropDictionaryKind(ServerSession& s, const sql::DropInfo& d, const std::string& type,
                        const TableDropper& dropTable) {
  if (type == "CLUSTER") DropCluster(s, d, dropTable);
  else if (type == "OPERATOR") DropOperator(s, d);
  else if (type == "INDEXTYPE") DropIndexType(s, d);
  else if (type == "DIMENSION") DropDimension(s, d);
  else if (type == "SNAPSHOT" || type == "MATERIALIZED VIEW") DropSnapshot(s, d, dropTable);
  else if (type == "SNAPSHOT LOG ON" || type == "MATERIALIZED VIEW LOG ON") DropSnapshotLog(s, d, dropTable);
  else if (type == "DATABASE LINK" || type == "PUBLIC DATABASE LINK")
    DropDatabaseLink(s, d, type == "PUBLIC DATABASE LINK");
  else {
    for (const RowKind& k : kRowKinds)
      if (type == k.type || (type == "PUBLIC ROLLBACK SEGMENT" && std::string(k.type) == "ROLLBACK SEGMENT")) {
        DropRowKind(s, k, d);
        return true;
      }
    return false;
  }
  return true;
}

void TruncateCluster(ServerSession& s, const std::string& owner, const std::string& name) {
  sqlite3* db = s.db();
  NeedSchema(s, owner);
  if (!Exists(db, "SELECT 1 FROM \"SYS.DBA_CLUSTERS\" WHERE OWNER = ?1 AND CLUSTER_NAME = ?2", owner, name))
    ThrowOraText(943, "ORA-00943: cluster does not exist");
  std::vector<std::pair<std::string, std::string>> tables;
  {
    Query q(db, "SELECT OWNER, TABLE_NAME FROM \"SYS.DBA_ALL_TABLES\" WHERE CLUSTER_OWNER = ? AND CLUSTER_NAME = ?");
    q.Bind(1, owner).Bind(2, name);
    while (q.Step()) tables.emplace_back(q.Text(0), q.Text(1));
  }
  for (const auto& [o, t] : tables) {
    Query exists(db, "SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ?");
    exists.Bind(1, o + "." + t);
    const bool stored = exists.Step();
    exists.Reset();
    // Some demo tables exist only as dictionary rows.
    if (stored) ExecSql(db, "DELETE FROM \"" + o + "." + t + "\"");
  }
}

void Disassociate(ServerSession& s, const sql::DisassociateInfo& d) {
  sqlite3* db = s.db();
  for (const auto& target : d.targets) {
    NeedSchema(s, target.owner);
    Query q(db, target.column.empty()
                    ? "DELETE FROM \"SYS.DBA_ASSOCIATIONS\" WHERE OBJECT_OWNER = ? AND OBJECT_NAME = ? AND "
                      "OBJECT_TYPE = ?"
                    : "DELETE FROM \"SYS.DBA_ASSOCIATIONS\" WHERE OBJECT_OWNER = ? AND OBJECT_NAME = ? AND "
                      "OBJECT_TYPE = ? AND COLUMN_NAME = ?");
    q.Bind(1, target.owner).Bind(2, target.name).Bind(3, d.kind);
    if (!target.column.empty()) q.Bind(4, target.column);
    q.Run();
    if (sqlite3_changes(db) == 0)
      ThrowOraText(29931, "ORA-29931: specified association does not exist");
  }
}

void InvalidateDependents(sqlite3* db, const std::string& owner, const std::string& name) {
  Query inv(db, "UPDATE \"SYS.DBA_OBJECTS\" SET STATUS = 'INVALID' WHERE (OWNER, OBJECT_NAME, OBJECT_TYPE) IN "
                "(SELECT OWNER, NAME, TYPE FROM \"SYS.DBA_DEPENDENCIES\" WHERE REFERENCED_OWNER = ? AND "
                "REFERENCED_NAME = ? AND NOT (OWNER = REFERENCED_OWNER AND NAME = REFERENCED_NAME))");
  inv.Bind(1, owner).Bind(2, name).Run();
  // An invalid view stays in the dictionary, but its SQLite view would name
  // a table that is gone, and SQLite then refuses every later ALTER TABLE of
  // the schema: the SQLite views of the invalid views (and of the views on
  // them) go.  Selecting from one then fails, as from an invalid view.
  std::vector<std::pair<std::string, std::string>> pending{{owner, name}}, seen;
  while (!pending.empty()) {
    auto [o, n] = pending.back();
    pending.pop_back();
    Query views(db, "SELECT OWNER, NAME FROM \"SYS.DBA_DEPENDENCIES\" WHERE REFERENCED_OWNER = ? AND "
                    "REFERENCED_NAME = ? AND TYPE = 'VIEW'");
    views.Bind(1, o).Bind(2, n);
    std::vector<std::pair<std::string, std::string>> found;
    while (views.Step()) found.emplace_back(views.Text(0), views.Text(1));
    views.Reset();
    for (const auto& v : found) {
      if (std::find(seen.begin(), seen.end(), v) != seen.end()) continue;
      seen.push_back(v);
      ExecSql(db, "DROP VIEW IF EXISTS " + SqliteName(v.first, v.second));
      SetObjectStatus(db, v.first, v.second, "VIEW", "INVALID");
      pending.push_back(v);
    }
  }
  // Units using the object, and the units using those, in turn.
  InvalidateDependentUnits(db, owner, name);
}

}  // namespace ocisim
