// DDL statements and their dictionary effects: see ddl.h.
#include "ddl.h"

#include "catalog.h"
#include "ddl_drop_kinds.h"
#include "compile.h"
#include "dictionary.h"
#include "executor.h"
#include "ora_error.h"
#include "segments.h"
#include "sqlite_util.h"
  InvalidateDependents(db, owner, name);
  RemoveSegment(db, owner, name);
  RemoveObject(db, owner, name, "TABLE");
}

void DropProgramUnit(sqlite3* db, const std::string& owner, const std::string& name, const std::string& type) {
  for (const char* sql : {"DELETE FROM \"SYS.DBA_SOURCE\" WHERE OWNER = ?1 AND NAME = ?2 AND TYPE = ?3",
                          "DELETE FROM \"SYS.DBA_ERRORS\" WHERE OWNER = ?1 AND NAME = ?2 AND TYPE = ?3",
                          "DELETE FROM \"SYS.DBA_DEPENDENCIES\" WHERE OWNER = ?1 AND NAME = ?2 AND TYPE = ?3",
                          "DELETE FROM \"SYS.DBA_ARGUMENTS\" WHERE OWNER = ?1 AND ((?3 = 'PACKAGE' AND PACKAGE_NAME "
                          "= ?2) OR (?3 IN ('PROCEDURE','FUNCTION') AND OBJECT_NAME = ?2 AND PACKAGE_NAME IS NULL))",
                          "DELETE FROM \"SYS.DBA_OBJECTS\" WHERE OWNER = ?1 AND OBJECT_NAME = ?2 AND OBJECT_TYPE = ?3"}) {
    Query q(db, sql);
    q.Bind(1, owner).Bind(2, name).Bind(3, type).Run();
  }
  if (type == "TRIGGER") {
    Query q(db, "DELETE FROM \"SYS.DBA_TRIGGERS\" WHERE OWNER = ? AND TRIGGER_NAME = ?");
    q.Bind(1, owner).Bind(2, name).Run();
  }
  if (type == "TYPE") {
    for (const char* sql : {"DELETE FROM \"SYS.DBA_TYPES\" WHERE OWNER = ?1 AND TYPE_NAME = ?2",
                            "DELETE FROM \"SYS.DBA_TYPE_ATTRS\" WHERE OWNER = ?1 AND TYPE_NAME = ?2",
                            "DELETE FROM \"SYS.DBA_TYPE_METHODS\" WHERE OWNER = ?1 AND TYPE_NAME = ?2",
                            "DELETE FROM \"SYS.DBA_COLL_TYPES\" WHERE OWNER = ?1 AND TYPE_NAME = ?2"}) {
      Query q(db, sql);
      q.Bind(1, owner).Bind(2, name).Run();
    }
  }
}

void DropSchemaObject(ServerSession& s, const std::string& owner, const std::string& name, const std::string& type) {
  sqlite3* db = s.db();
  if (!ObjectExists(db, owner, name, type)) return;  // went with its table or package already
  if (type == "TABLE") DropTable(s, owner, name, true);
  else if (type == "VIEW") DropView(db, owner, name);
  else if (type == "INDEX") DropIndex(db, owner, name);
  else if (type == "PROCEDURE" || type == "FUNCTION" || type == "PACKAGE" || type == "PACKAGE BODY" ||
           type == "TRIGGER" || type == "TYPE" || type == "TYPE BODY")
    DropProgramUnit(db, owner, name, type);
  else RemoveObject(db, owner, name, type);
}

// Users, roles, profiles and tablespaces: objects without an owner.
void DropGlobal(ServerSession& s, const std::string& type, const std::string& name, bool cascade) {
  sqlite3* db = s.db();
  if (!s.catalog().IsAdmin()) ThrowOra(1031);
  auto exists = [&](const char* sql) {
    Query q(db, sql);
    q.Bind(1, name);
    return q.Step();
  };
  if (type == "USER") {
    if (!exists("SELECT 1 FROM \"SYS.DBA_USERS\" WHERE USERNAME = ?"))
      ThrowOraText(1918, "ORA-01918: user '" + name + "' does not exist");
    if (name == "SYS" || name == "SYSTEM" || name == s.user()) ThrowOra(1031);
    std::vector<std::pair<std::string, std::string>> objects;
    {
      Query q(db, "SELECT OBJECT_NAME, OBJECT_TYPE FROM \"SYS.DBA_OBJECTS\" WHERE OWNER = ? ORDER BY CASE "
                  "OBJECT_TYPE WHEN 'TABLE' THEN 9 ELSE 0 END");
      q.Bind(1, name);
      while (q.Step()) objects.emplace_back(q.Text(0), q.Text(1));
    }
    if (!objects.empty() && !cascade)
      ThrowOraText(1922, "ORA-01922: CASCADE must be specified to drop '" + name + "'");
    for (const auto& [obj, kind] : objects) DropSchemaObject(s, name, obj, kind);
    for (const char* sql : {"DELETE FROM \"SYS.DBA_USERS\" WHERE USERNAME = ?1",
                            "DELETE FROM \"SYS.DBA_ROLE_PRIVS\" WHERE GRANTEE = ?1",
                            "DELETE FROM \"SYS.DBA_SYS_PRIVS\" WHERE GRANTEE = ?1",
                            "DELETE FROM \"SYS.DBA_TAB_PRIVS\" WHERE GRANTEE = ?1 OR OWNER = ?1",
                            "DELETE FROM \"SYS.DBA_TS_QUOTAS\" WHERE USERNAME = ?1"}) {
      Query q(db, sql);
      q.Bind(1, name).Run();
    }
  } else if (type == "ROLE") {
    if (!exists("SELECT 1 FROM \"SYS.DBA_ROLES\" WHERE ROLE = ?"))
      ThrowOraText(1919, "ORA-01919: role '" + name + "' does not exist");
    for (const char* sql : {"DELETE FROM \"SYS.DBA_ROLES\" WHERE ROLE = ?1",
                            "DELETE FROM \"SYS.DBA_ROLE_PRIVS\" WHERE GRANTEE = ?1 OR GRANTED_ROLE = ?1",
                            "DELETE FROM \"SYS.DBA_SYS_PRIVS\" WHERE GRANTEE = ?1",
                            "DELETE FROM \"SYS.DBA_TAB_PRIVS\" WHERE GRANTEE = ?1"}) {
      Query q(db, sql);
      q.Bind(1, name).Run();
    }
  } else if (type == "PROFILE") {
    if (!exists("SELECT 1 FROM \"SYS.DBA_PROFILES\" WHERE PROFILE = ?"))
      ThrowOraText(2380, "ORA-02380: profile " + name + " does not exist");
    if (name == "DEFAULT") ThrowOraText(2381, "ORA-02381: cannot drop PUBLIC_DEFAULT profile");
    if (exists("SELECT 1 FROM \"SYS.DBA_USERS\" WHERE PROFILE = ?") && !cascade)
      ThrowOraText(2382, "ORA-02382: profile " + name + " has users assigned, cannot drop without CASCADE");
    Query u(db, "UPDATE \"SYS.DBA_USERS\" SET PROFILE = 'DEFAULT' WHERE PROFILE = ?");
    u.Bind(1, name).Run();
    Query d(db, "DELETE FROM \"SYS.DBA_PROFILES\" WHERE PROFILE = ?");
    d.Bind(1, name).Run();
  } else {
    if (!exists("SELECT 1 FROM \"SYS.DBA_TABLESPACES\" WHERE TABLESPACE_NAME = ?"))
      ThrowOraText(959, "ORA-00959: tablespace '" + name + "' does not exist");
    if (name == "SYSTEM") ThrowOraText(1550, "ORA-01550: cannot drop system tablespace");
    if (exists("SELECT 1 FROM \"SYS.DBA_SEGMENTS\" WHERE TABLESPACE_NAME = ?") && !cascade)
      ThrowOraText(1549, "ORA-01549: tablespace not empty, use INCLUDING CONTENTS option");
    for (const char* sql : {"DELETE FROM \"SYS.DBA_TABLESPACES\" WHERE TABLESPACE_NAME = ?1",
                            "DELETE FROM \"SYS.DBA_DATA_FILES\" WHERE TABLESPACE_NAME = ?1",
                            "DELETE FROM \"SYS.DBA_FREE_SPACE\" WHERE TABLESPACE_NAME = ?1",
                            "DELETE FROM \"SYS.DBA_SEGMENTS\" WHERE TABLESPACE_NAME = ?1",
                            "DELETE FROM \"SYS.DBA_EXTENTS\" WHERE TABLESPACE_NAME = ?1"}) {
      Query q(db, sql);
      q.Bind(1, name).Run();
    }
  }
}

void Drop(ServerSession& s, const sql::Translation& tr) {
  const sql::DropInfo& d = *tr.drop;
  sqlite3* db = s.db();
  std::string type = Upper(d.type);
  if (type == "PUBLIC SYNONYM") {
    if (!s.catalog().IsAdmin()) ThrowOra(1031);
    if (!ObjectExists(db, "PUBLIC", d.name, "SYNONYM"))
      ThrowOraText(1432, "ORA-01432: public synonym to be dropped does not exist");
    Query q(db, "DELETE FROM \"SYS.DBA_SYNONYMS\" WHERE OWNER = 'PUBLIC' AND SYNONYM_NAME = ?");
    q.Bind(1, d.name).Run();
    RemoveObject(db, "PUBLIC", d.name, "SYNONYM");
    return;
  }
  if (type == "USER" || type == "ROLE" || type == "PROFILE" || type == "TABLESPACE") {
    DropGlobal(s, type, d.name, d.cascade);
    return;
  }
  CheckSchema(s, d.owner);
  if (type == "TABLE") {
    if (!ObjectExists(db, d.owner, d.name, "TABLE")) ThrowOra(942);
    DropTable(s, d.owner, d.name, d.cascadeConstraints);
  } else if (type == "VIEW") {
    if (!ObjectExists(db, d.owner, d.name, "VIEW")) ThrowOra(942);
    DropView(db, d.owner, d.name);
    InvalidateDependents(db, d.owner, d.name);
  } else if (type == "INDEX") {
    if (!ObjectExists(db, d.owner, d.name, "INDEX")) ThrowOraText(1418, "ORA-01418: specified index does not exist");
    DropIndex(db, d.owner, d.name);
  } else if (type == "SEQUENCE") {
    if (!ObjectExists(db, d.owner, d.name, "SEQUENCE")) ThrowOra(2289);
    Query q(db, "DELETE FROM \"SYS.DBA_SEQUENCES\" WHERE SEQUENCE_OWNER = ? AND SEQUENCE_NAME = ?");
    q.Bind(1, d.owner).Bind(2, d.name).Run();
    RemoveObject(db, d.owner, d.name, "SEQUENCE");
    InvalidateDependents(db, d.owner, d.name);
  } else if (type == "SYNONYM") {
    if (!ObjectExists(db, d.owner, d.name, "SYNONYM"))
      ThrowOraText(1434, "ORA-01434: private synonym to be dropped does not exist");
    Query q(db, "DELETE FROM \"SYS.DBA_SYNONYMS\" WHERE OWNER = ? AND SYNONYM_NAME = ?");
    q.Bind(1, d.owner).Bind(2, d.name).Run();
    RemoveObject(db, d.owner, d.name, "SYNONYM");
    InvalidateDependents(db, d.owner, d.name);
  } else if (type == "PROCEDURE" || type == "FUNCTION" || type == "PACKAGE" || type == "PACKAGE BODY" ||
             type == "TRIGGER" || type == "TYPE" || type == "TYPE BODY") {
    if (!ObjectExists(db, d.owner, d.name, type)) ThrowOra(4043, {d.name});
    if (type == "TYPE" && !d.force) {
      Query dep(db, "SELECT 1 FROM \"SYS.DBA_DEPENDENCIES\" WHERE REFERENCED_OWNER = ? AND REFERENCED_NAME = ? AND "
                    "REFERENCED_TYPE = 'TYPE' AND TYPE IN ('TYPE', 'TABLE') AND NOT (OWNER = REFERENCED_OWNER AND "
                    "NAME = REFERENCED_NAME)");
      dep.Bind(1, d.owner).Bind(2, d.name);
      if (dep.Step())
        ThrowOraText(2303, "ORA-02303: cannot drop or replace a type with type or table dependents");
    }
    if (type == "PACKAGE" || type == "TYPE") {
      std::string body = type + " BODY";
      if (ObjectExists(db, d.owner, d.name, body)) DropProgramUnit(db, d.owner, d.name, body);
    }
    DropProgramUnit(db, d.owner, d.name, type);
    if (type != "PACKAGE BODY" && type != "TYPE BODY" && type != "TRIGGER") InvalidateDependents(db, d.owner, d.name);
  } else if (DropDictionaryKind(s, d, type, [&](const std::string& o, const std::string& n, bool cascade) {
               DropTable(s, o, n, cascade);
             })) {
    InvalidateDependents(db, d.owner, d.name);
  } else {
    // Other object kinds of the dictionary (Java classes ...) exist only as
    // dictionary rows in the stand-in.
    std::string kind = type == "DATABASE LINK" || type == "PUBLIC DATABASE LINK" ? "DATABASE LINK" : type;
    std::string owner = type == "PUBLIC DATABASE LINK" || type == "DIRECTORY" ? (type == "DIRECTORY" ? "SYS" : "PUBLIC")
                                                                                : d.owner;
    if (!ObjectExists(db, owner, d.name, kind)) ThrowOra(4043, {d.name});
    RemoveObject(db, owner, d.name, kind);
  }
}

void Truncate(ServerSession& s, const sql::Translation& tr) {
  const sql::TruncateInfo& t = *tr.truncate;
  if (t.cluster) {
    TruncateCluster(s, t.owner, t.name);
    return;
  }
  CheckSchema(s, t.owner);
  if (!ObjectExists(s.db(), t.owner, t.name, "TABLE")) ThrowOra(942);
  ExecSql(s.db(), "DELETE FROM " + (t.sqliteName.empty() ? SqliteName(t.owner, t.name) : t.sqliteName));
}

void AlterTable(ServerSession& s, const sql::Translation& tr) {
  const sql::AlterTableInfo& a = *tr.alterTable;
  sqlite3* db = s.db();
  CheckSchema(s, a.owner);
  if (!ObjectExists(db, a.owner, a.name, "TABLE")) ThrowOra(942);
  std::string table = a.sqliteName.empty() ? SqliteName(a.owner, a.name) : a.sqliteName;
  std::vector<DictColumn> cols = GetColumns(db, a.owner, a.name);
  using A = sql::AlterTableInfo::Action;
  switch (a.action) {
    case A::AddColumns:
      for (const auto& c : a.columns) {
        for (const auto& e : cols)
          if (e.name == c.name) ThrowOraText(1430, "ORA-01430: column being added already exists in table");
        DictColumn d = ColumnFromDecl(c.name, c.type, c.length.value_or(0), c.precision.value_or(0),
                                      c.scale.value_or(-1), c.nullable);
        if (c.defaultText) d.default_text = *c.defaultText;
        std::string sql = "ALTER TABLE " + table + " ADD COLUMN " + QuoteIdent(c.name) + " " + d.declared;
        if (c.defaultSqlite) sql += " DEFAULT (" + *c.defaultSqlite + ")";
        ExecSql(db, sql);
        cols.push_back(d);
      }
      SetColumns(db, a.owner, a.name, cols);
      break;
    case A::ModifyColumns:
      // SQLite keeps the stored values; the dictionary takes the new declaration.
      for (const auto& c : a.columns)
        for (auto& e : cols)
          if (e.name == c.name) {
            DictColumn d = ColumnFromDecl(c.name, c.type.empty() ? e.data_type : c.type,
                                          c.length.value_or(e.length), c.precision.value_or(e.precision),
                                          c.scale.value_or(e.scale), c.nullable);
            e = d;
          }
      SetColumns(db, a.owner, a.name, cols);
      break;
    case A::DropColumns:
    case A::SetUnused:
      for (const auto& n : a.names) {
        bool found = false;
        for (const auto& e : cols) found = found || e.name == n;
        if (!found) ThrowOra(904, {"\"" + n + "\""});
        ExecSql(db, "ALTER TABLE " + table + " DROP COLUMN " + QuoteIdent(n));
        std::erase_if(cols, [&](const DictColumn& e) { return e.name == n; });
      }
      SetColumns(db, a.owner, a.name, cols);
      if (a.action == A::SetUnused) {
        Query u(db, "INSERT INTO \"SYS.DBA_UNUSED_COL_TABS\" VALUES (?, ?, ?) ON CONFLICT(OWNER, TABLE_NAME) DO "
                    "UPDATE SET COUNT = COUNT + excluded.COUNT");
        u.Bind(1, a.owner).Bind(2, a.name).Bind(3, static_cast<int64_t>(a.names.size())).Run();
      }
      break;
    case A::DropUnused: {
      Query u(db, "DELETE FROM \"SYS.DBA_UNUSED_COL_TABS\" WHERE OWNER = ? AND TABLE_NAME = ?");
      u.Bind(1, a.owner).Bind(2, a.name).Run();
      break;
    }
    case A::AddConstraint:
      for (const auto& c : a.constraints) AddConstraintRows(s, a.owner, a.name, c, "");
      break;
    case A::DropConstraint: {
      std::vector<std::string> names = a.names;
      if (a.primaryKey) {
        Query pk(db, "SELECT CONSTRAINT_NAME FROM \"SYS.DBA_CONSTRAINTS\" WHERE OWNER = ? AND TABLE_NAME = ? AND "
                     "CONSTRAINT_TYPE = 'P'");
        pk.Bind(1, a.owner).Bind(2, a.name);
        if (!pk.Step()) ThrowOraText(2441, "ORA-02441: Cannot drop nonexistent primary key");
        names.push_back(pk.Text(0));
      }
      for (const auto& n : names) {
        Query e(db, "SELECT CONSTRAINT_TYPE FROM \"SYS.DBA_CONSTRAINTS\" WHERE OWNER = ? AND CONSTRAINT_NAME = ? AND "
                    "TABLE_NAME = ?");
        e.Bind(1, a.owner).Bind(2, n).Bind(3, a.name);
        if (!e.Step()) ThrowOraText(2443, "ORA-02443: Cannot drop constraint  - nonexistent constraint");
        const std::string type = e.Text(0);
        e.Reset();
        if (type == "P" || type == "U") {
          Query refs(db, "SELECT 1 FROM \"SYS.DBA_CONSTRAINTS\" WHERE CONSTRAINT_TYPE = 'R' AND R_OWNER = ? AND "
                         "R_CONSTRAINT_NAME = ?");
          refs.Bind(1, a.owner).Bind(2, n);
          const bool referenced = refs.Step();
          refs.Reset();
          if (referenced && !a.cascade)
            ThrowOraText(2273, "ORA-02273: this unique/primary key is referenced by some foreign keys");
          DropReferencingForeignKeys(db, a.owner, a.name, n);
        }
        for (const char* sql : {"DELETE FROM \"SYS.DBA_CONS_COLUMNS\" WHERE OWNER = ?1 AND CONSTRAINT_NAME = ?2",
                                "DELETE FROM \"SYS.DBA_CONSTRAINTS\" WHERE OWNER = ?1 AND CONSTRAINT_NAME = ?2"}) {
          Query q(db, sql);
          q.Bind(1, a.owner).Bind(2, n).Run();
        }
        // The index the key created goes with it.
        if ((type == "P" || type == "U") && ObjectExists(db, a.owner, n, "INDEX")) DropIndex(db, a.owner, n);
      }
      break;
    }
    case A::EnableConstraint:
    case A::DisableConstraint:
      for (const auto& n : a.names) {
        Query q(db, "UPDATE \"SYS.DBA_CONSTRAINTS\" SET STATUS = ?, LAST_CHANGE = ? WHERE OWNER = ? AND "
                    "CONSTRAINT_NAME = ?");
        q.Bind(1, std::string(a.action == A::EnableConstraint ? "ENABLED" : "DISABLED")).Bind(2, Now());
        q.Bind(3, a.owner).Bind(4, n).Run();
      }
      break;
    case A::RenameTo: {
      if (a.names.empty()) ThrowOra(922);
      const std::string& to = a.names[0];
      CheckNameFree(db, a.owner, to);
      ExecSql(db, "ALTER TABLE " + table + " RENAME TO " + SqliteName(a.owner, to));
      for (const char* sql :
           {"UPDATE \"SYS.DBA_OBJECTS\" SET OBJECT_NAME = ?3 WHERE OWNER = ?1 AND OBJECT_NAME = ?2 AND OBJECT_TYPE = "
            "'TABLE'",
            "UPDATE \"SYS.DBA_ALL_TABLES\" SET TABLE_NAME = ?3 WHERE OWNER = ?1 AND TABLE_NAME = ?2",
            "UPDATE \"SYS.DBA_TAB_COLUMNS\" SET TABLE_NAME = ?3 WHERE OWNER = ?1 AND TABLE_NAME = ?2",
            "UPDATE \"SYS.DBA_TAB_COMMENTS\" SET TABLE_NAME = ?3 WHERE OWNER = ?1 AND TABLE_NAME = ?2",
            "UPDATE \"SYS.DBA_COL_COMMENTS\" SET TABLE_NAME = ?3 WHERE OWNER = ?1 AND TABLE_NAME = ?2",
            "UPDATE \"SYS.DBA_CONSTRAINTS\" SET TABLE_NAME = ?3 WHERE OWNER = ?1 AND TABLE_NAME = ?2",
            "UPDATE \"SYS.DBA_CONS_COLUMNS\" SET TABLE_NAME = ?3 WHERE OWNER = ?1 AND TABLE_NAME = ?2",
            "UPDATE \"SYS.DBA_INDEXES\" SET TABLE_NAME = ?3 WHERE TABLE_OWNER = ?1 AND TABLE_NAME = ?2",
            "UPDATE \"SYS.DBA_IND_COLUMNS\" SET TABLE_NAME = ?3 WHERE TABLE_OWNER = ?1 AND TABLE_NAME = ?2",
            "UPDATE \"SYS.DBA_TAB_PRIVS\" SET TABLE_NAME = ?3 WHERE OWNER = ?1 AND TABLE_NAME = ?2"}) {
        Query q(db, sql);
        q.Bind(1, a.owner).Bind(2, a.name).Bind(3, to).Run();
      }
      TouchObject(db, a.owner, to, "TABLE");
      return;
    }
    case A::RenameColumn: {
      if (a.names.size() < 2) ThrowOra(922);
      ExecSql(db, "ALTER TABLE " + table + " RENAME COLUMN " + QuoteIdent(a.names[0]) + " TO " + QuoteIdent(a.names[1]));
      for (auto& e : cols)
        if (e.name == a.names[0]) e.name = a.names[1];
      Query cc(db, "UPDATE \"SYS.DBA_COL_COMMENTS\" SET COLUMN_NAME = ? WHERE OWNER = ? AND TABLE_NAME = ? AND "
                   "COLUMN_NAME = ?");
      cc.Bind(1, a.names[1]).Bind(2, a.owner).Bind(3, a.name).Bind(4, a.names[0]).Run();
      SetColumns(db, a.owner, a.name, cols);
      break;
    }
    case A::Other: break;  // storage and other physical clauses: nothing to do
  }
  TouchObject(db, a.owner, a.name, "TABLE");
}

void Comment(ServerSession& s, const sql::Translation& tr) {
  const sql::CommentInfo& c = *tr.comment;
  sqlite3* db = s.db();
  CheckSchema(s, c.owner);
  std::string type = ObjectTypeOf(db, c.owner, c.table);
  if (type != "TABLE" && type != "VIEW") ThrowOra(942);
  if (c.onColumn) {
    bool found = false;
    for (const auto& e : GetColumns(db, c.owner, c.table)) found = found || e.name == c.column;
    if (!found) ThrowOra(904, {"\"" + c.column + "\""});
    Query d(db, "DELETE FROM \"SYS.DBA_COL_COMMENTS\" WHERE OWNER = ? AND TABLE_NAME = ? AND COLUMN_NAME = ?");
    d.Bind(1, c.owner).Bind(2, c.table).Bind(3, c.column).Run();
    Query i(db, "INSERT INTO \"SYS.DBA_COL_COMMENTS\" VALUES (?, ?, ?, ?)");
    i.Bind(1, c.owner).Bind(2, c.table).Bind(3, c.column).Bind(4, c.text.value_or("")).Run();
  } else {
    Query d(db, "DELETE FROM \"SYS.DBA_TAB_COMMENTS\" WHERE OWNER = ? AND TABLE_NAME = ?");
    d.Bind(1, c.owner).Bind(2, c.table).Run();
    Query i(db, "INSERT INTO \"SYS.DBA_TAB_COMMENTS\" VALUES (?, ?, ?, ?)");
    i.Bind(1, c.owner).Bind(2, c.table).Bind(3, type).Bind(4, c.text.value_or("")).Run();
  }
}

void GrantOrRevoke(ServerSession& s, const sql::Translation& tr, bool grant) {
  const sql::GrantInfo& g = *tr.grant;
  sqlite3* db = s.db();
  if (g.onObject) {
    if (g.owner != s.user() && !s.catalog().IsAdmin()) ThrowOra(1031);
    if (ObjectTypeOf(db, g.owner, g.object).empty()) ThrowOra(942);
    std::vector<std::string> privs = g.privileges;
    if (privs.size() == 1 && (Upper(privs[0]) == "ALL" || Upper(privs[0]) == "ALL PRIVILEGES"))
      privs = {"ALTER", "DELETE", "INDEX", "INSERT", "SELECT", "UPDATE", "REFERENCES"};
    for (const auto& grantee : g.grantees)
      for (const auto& p : privs) {
        Query d(db, "DELETE FROM \"SYS.DBA_TAB_PRIVS\" WHERE GRANTEE = ? AND OWNER = ? AND TABLE_NAME = ? AND "
                    "PRIVILEGE = ?");
        d.Bind(1, grantee).Bind(2, g.owner).Bind(3, g.object).Bind(4, Upper(p)).Run();
        if (!grant) continue;
        Query i(db, "INSERT INTO \"SYS.DBA_TAB_PRIVS\" VALUES (?, ?, ?, ?, ?, ?, 'NO')");
        i.Bind(1, grantee).Bind(2, g.owner).Bind(3, g.object).Bind(4, s.user()).Bind(5, Upper(p));
        i.Bind(6, std::string(g.withGrantOption ? "YES" : "NO")).Run();
      }
    TouchObject(db, g.owner, g.object);
  } else {
    if (!s.catalog().IsAdmin()) ThrowOra(1031);
    for (const auto& grantee : g.grantees)
      for (const auto& p : g.privileges) {
        std::string priv = Upper(p);
        Query role(db, "SELECT 1 FROM \"SYS.DBA_ROLES\" WHERE ROLE = ?");
        role.Bind(1, priv);
        bool is_role = role.Step();
        Query d(db, is_role ? "DELETE FROM \"SYS.DBA_ROLE_PRIVS\" WHERE GRANTEE = ? AND GRANTED_ROLE = ?"
                            : "DELETE FROM \"SYS.DBA_SYS_PRIVS\" WHERE GRANTEE = ? AND PRIVILEGE = ?");
        d.Bind(1, grantee).Bind(2, priv).Run();
        if (!grant) continue;
        Query i(db, is_role ? "INSERT INTO \"SYS.DBA_ROLE_PRIVS\" VALUES (?, ?, ?, 'YES')"
                            : "INSERT INTO \"SYS.DBA_SYS_PRIVS\" VALUES (?, ?, ?)");
        i.Bind(1, grantee).Bind(2, priv).Bind(3, std::string(g.withGrantOption ? "YES" : "NO")).Run();
      }
  }
}

}  // namespace

bool ExecuteDdl(ServerSession& s, const sql::Translation& t) {
  // DDL commits what the session had pending, then runs in a transaction of its own.
  s.Commit();
  s.BeginWrite();
  bool warning = false;
  try {
    switch (t.kind) {
      case sql::StmtKind::CreateTable: CreateTable(s, t); break;
      case sql::StmtKind::CreateView: CreateView(s, t); break;
      case sql::StmtKind::CreateIndex: CreateIndex(s, t); break;
      case sql::StmtKind::CreateSequence: CreateSequence(s, t); break;
      case sql::StmtKind::CreateSynonym: CreateSynonym(s, t); break;
      case sql::StmtKind::CreateProgramUnit: warning = CreateProgramUnit(s, t); break;
      case sql::StmtKind::AlterCompile: warning = AlterCompile(s, t); break;
      case sql::StmtKind::Drop: Drop(s, t); break;
      case sql::StmtKind::Truncate: Truncate(s, t); break;
      case sql::StmtKind::AlterTable: AlterTable(s, t); break;
      case sql::StmtKind::Comment: Comment(s, t); break;
      case sql::StmtKind::Disassociate: Disassociate(s, *t.disassociate); break;
      case sql::StmtKind::Grant: GrantOrRevoke(s, t, true); break;
      case sql::StmtKind::Revoke: GrantOrRevoke(s, t, false); break;
      case sql::StmtKind::CreateUser:
      case sql::StmtKind::AlterUser:
      case sql::StmtKind::CreateRole: ExecuteUserDdl(s, t); break;
      default: ThrowOra(900);
    }
    s.Commit();
  } catch (...) {
    s.Rollback();
    throw;
  }
  if (t.kind == sql::StmtKind::Grant || t.kind == sql::StmtKind::Revoke || t.kind == sql::StmtKind::CreateRole)
    s.catalog().Refresh();
  return warning;
}

}  // namespace ocisim
