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
#include "trigger_text.h"
#include "user_ddl.h"

#include <cctype>
#include <set>

namespace ocisim {
namespace {

std::string Upper(std::string s) {
  for (auto& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

// Creating or changing objects of another schema needs the DBA role.
void CheckSchema(ServerSession& s, const std::string& owner) {
  if (owner != s.user() && !s.catalog().IsAdmin()) ThrowOra(1031);
}

void CheckNameFree(sqlite3* db, const std::string& owner, const std::string& name) {
  if (!ObjectTypeOf(db, owner, name).empty()) ThrowOra(955);
}

std::string NextConstraintName(sqlite3* db) {
  Query q(db, "SELECT COUNT(*) + 1000 FROM \"SYS.DBA_CONSTRAINTS\"");
  int64_t n = q.Step() ? q.Int(0) : 1000;
  for (;; ++n) {
    std::string name = "SYS_C00" + std::to_string(n);
    Query e(db, "SELECT 1 FROM \"SYS.DBA_CONSTRAINTS\" WHERE CONSTRAINT_NAME = ?");
    e.Bind(1, name);
    if (!e.Step()) return name;
  }
}

std::string ColumnList(const std::vector<std::string>& cols) {
  std::string out;
  for (const auto& c : cols) out += (out.empty() ? "" : ", ") + QuoteIdent(c);
  return out;
}

void AddIndexRows(sqlite3* db, const std::string& owner, const std::string& name, const std::string& table_owner,
                  const std::string& table, bool unique, const std::string& index_type,
                  const std::vector<std::string>& cols, const std::string& tablespace) {
  const std::string ts = tablespace.empty() ? DefaultTablespace(db, owner) : tablespace;
  AddObject(db, owner, name, "INDEX");
  Query i(db,
          "INSERT INTO \"SYS.DBA_INDEXES\" (OWNER, INDEX_NAME, INDEX_TYPE, TABLE_OWNER, TABLE_NAME, TABLE_TYPE, "
          "UNIQUENESS, COMPRESSION, TABLESPACE_NAME, INI_TRANS, MAX_TRANS, INITIAL_EXTENT, MIN_EXTENTS, MAX_EXTENTS, "
          "PCT_INCREASE, FREELISTS, FREELIST_GROUPS, PCT_FREE, LOGGING, STATUS, DEGREE, INSTANCES, PARTITIONED, "
          "TEMPORARY, GENERATED, SECONDARY, BUFFER_POOL, USER_STATS, GLOBAL_STATS, FUNCIDX_STATUS, JOIN_INDEX) "
          "VALUES (?, ?, ?, ?, ?, 'TABLE', ?, 'DISABLED', ?, 2, 255, 65536, 1, 2147483645, NULL, 1, 1, 10, 'YES', "
          "'VALID', '1', '1', 'NO', 'N', 'N', 'N', 'DEFAULT', 'NO', 'NO', ?, 'NO')");
  i.Bind(1, owner).Bind(2, name).Bind(3, index_type).Bind(4, table_owner).Bind(5, table);
  i.Bind(6, std::string(unique ? "UNIQUE" : "NONUNIQUE")).Bind(7, ts);
  if (index_type.rfind("FUNCTION", 0) == 0) i.Bind(8, std::string("ENABLED"));
  else i.BindNull(8);
  i.Run();
  AddSegment(db, owner, name, "INDEX", ts);
  int pos = 0;
  for (const auto& c : cols) {
    Query ic(db, "INSERT INTO \"SYS.DBA_IND_COLUMNS\" VALUES (?, ?, ?, ?, ?, ?, 22, 0, 'ASC')");
    ic.Bind(1, owner).Bind(2, name).Bind(3, table_owner).Bind(4, table).Bind(5, c).Bind(6, static_cast<int64_t>(++pos));
    ic.Run();
  }
}

void AddConstraintRows(ServerSession& s, const std::string& owner, const std::string& table,
                       const sql::ConstraintDef& c, const std::string& tablespace) {
  sqlite3* db = s.db();
  std::string name = c.name ? *c.name : NextConstraintName(db);
  const char* type = "C";
  std::string r_owner, r_name, search;
  switch (c.kind) {
    case sql::ConstraintKind::PrimaryKey: type = "P"; break;
    case sql::ConstraintKind::Unique: type = "U"; break;
    case sql::ConstraintKind::ForeignKey: {
      type = "R";
      r_owner = c.refOwner ? *c.refOwner : owner;
      Query pk(db, "SELECT CONSTRAINT_NAME FROM \"SYS.DBA_CONSTRAINTS\" WHERE OWNER = ? AND TABLE_NAME = ? AND "
                   "CONSTRAINT_TYPE IN ('P','U') ORDER BY CONSTRAINT_TYPE LIMIT 1");
      pk.Bind(1, r_owner).Bind(2, c.refTable);
      if (pk.Step()) r_name = pk.Text(0);
      break;
    }
    case sql::ConstraintKind::Check: search = c.checkText; break;
    case sql::ConstraintKind::NotNull:
      search = "\"" + (c.columns.empty() ? std::string() : c.columns[0]) + "\" IS NOT NULL";
      break;
  }
  {
    Query e(db, "SELECT 1 FROM \"SYS.DBA_CONSTRAINTS\" WHERE OWNER = ? AND CONSTRAINT_NAME = ?");
    e.Bind(1, owner).Bind(2, name);
    if (e.Step()) ThrowOraText(2264, "ORA-02264: name already used by an existing constraint");
  }
  bool has_index = c.kind == sql::ConstraintKind::PrimaryKey || c.kind == sql::ConstraintKind::Unique;
  Query ins(db,
            "INSERT INTO \"SYS.DBA_CONSTRAINTS\" (OWNER, CONSTRAINT_NAME, CONSTRAINT_TYPE, TABLE_NAME, "
            "SEARCH_CONDITION, R_OWNER, R_CONSTRAINT_NAME, DELETE_RULE, STATUS, \"DEFERRABLE\", DEFERRED, VALIDATED, "
            "GENERATED, BAD, RELY, LAST_CHANGE, INDEX_OWNER, INDEX_NAME, INVALID, VIEW_RELATED) VALUES (?, ?, ?, ?, "
            "?, ?, ?, ?, ?, 'NOT DEFERRABLE', 'IMMEDIATE', ?, ?, NULL, NULL, ?, ?, ?, NULL, NULL)");
  ins.Bind(1, owner).Bind(2, name).Bind(3, std::string(type)).Bind(4, table).Bind(5, search).Bind(6, r_owner);
  ins.Bind(7, r_name);
  if (c.kind == sql::ConstraintKind::ForeignKey)
    ins.Bind(8, std::string(c.onDeleteCascade ? "CASCADE" : c.onDeleteSetNull ? "SET NULL" : "NO ACTION"));
  else ins.BindNull(8);
  ins.Bind(9, std::string(c.disabled ? "DISABLED" : "ENABLED"));
  ins.Bind(10, std::string(c.disabled ? "NOT VALIDATED" : "VALIDATED"));
  ins.Bind(11, std::string(c.name ? "USER NAME" : "GENERATED NAME")).Bind(12, Now());
  if (has_index) ins.Bind(13, owner).Bind(14, name);
  else ins.BindNull(13).BindNull(14);
  ins.Run();
  int pos = 0;
  for (const auto& col : c.columns) {
    Query cc(db, "INSERT INTO \"SYS.DBA_CONS_COLUMNS\" VALUES (?, ?, ?, ?, ?)");
    cc.Bind(1, owner).Bind(2, name).Bind(3, table).Bind(4, col);
    if (c.kind == sql::ConstraintKind::Check || c.kind == sql::ConstraintKind::NotNull) cc.BindNull(5);
    else cc.Bind(5, static_cast<int64_t>(++pos));
    cc.Run();
  }
  if (has_index && !ObjectExists(db, owner, name, "INDEX"))
    AddIndexRows(db, owner, name, owner, table, true, "NORMAL", c.columns, tablespace);
}

void AddTableRow(sqlite3* db, const std::string& owner, const std::string& name, const std::string& tablespace,
                 bool temporary, bool partitioned) {
  Query t(db,
          "INSERT INTO \"SYS.DBA_ALL_TABLES\" (OWNER, TABLE_NAME, TABLESPACE_NAME, PCT_FREE, PCT_USED, INI_TRANS, "
          "MAX_TRANS, INITIAL_EXTENT, MIN_EXTENTS, MAX_EXTENTS, FREELISTS, FREELIST_GROUPS, LOGGING, BACKED_UP, "
          "DEGREE, INSTANCES, CACHE, TABLE_LOCK, PARTITIONED, TEMPORARY, SECONDARY, NESTED, BUFFER_POOL, "
          "ROW_MOVEMENT, GLOBAL_STATS, USER_STATS, SKIP_CORRUPT, MONITORING, DEPENDENCIES, COMPRESSION, DURATION) "
          "VALUES (?, ?, ?, 10, 40, 1, 255, 65536, 1, 2147483645, 1, 1, 'YES', 'N', '         1', '         1', "
          "'    N', 'ENABLED', ?, ?, 'N', 'NO', 'DEFAULT', 'DISABLED', 'NO', 'NO', 'DISABLED', 'NO', 'DISABLED', "
          "'DISABLED', ?)");
  t.Bind(1, owner).Bind(2, name).Bind(3, temporary ? std::string() : tablespace.empty() ? "USERS" : tablespace);
  t.Bind(4, std::string(partitioned ? "YES" : "NO")).Bind(5, std::string(temporary ? "Y" : "N"));
  if (temporary) t.Bind(6, std::string("SYS$TRANSACTION"));
  else t.BindNull(6);
  t.Run();
}

void CreateTable(ServerSession& s, const sql::Translation& tr) {
  const sql::CreateTableInfo& ct = *tr.createTable;
  sqlite3* db = s.db();
  CheckSchema(s, ct.owner);
  CheckNameFree(db, ct.owner, ct.name);
  std::vector<DictColumn> cols;
  if (!ct.asSelectSqlite.empty()) {
    Query q(db, ct.asSelectSqlite);
    for (int i = 0; i < sqlite3_column_count(q.get()); ++i) {
      const char* decl = sqlite3_column_decltype(q.get(), i);
      std::string name = i < static_cast<int>(ct.asSelectColumns.size()) ? ct.asSelectColumns[i].name
                                                                         : Upper(sqlite3_column_name(q.get(), i));
      std::string hint = i < static_cast<int>(ct.asSelectColumns.size()) ? ct.asSelectColumns[i].typeHint : "";
      ColumnInfo ci = DescribeDeclaredType(decl ? decl : hint.empty() ? "VARCHAR2(4000)" : hint);
      std::string type = ci.type == kNumber ? "NUMBER" : ci.type == kDate ? "DATE" : ci.type == kChar ? "CHAR"
                         : ci.type == kLong ? "LONG" : ci.type == kRaw ? "RAW" : "VARCHAR2";
      cols.push_back(ColumnFromDecl(name, type, ci.size, ci.precision, ci.scale, true));
    }
  } else {
    for (const auto& c : ct.columns) {
      DictColumn d = ColumnFromDecl(c.name, c.type, c.length.value_or(0), c.precision.value_or(0), c.scale.value_or(-1),
                                    c.nullable);
      if (c.defaultText) d.default_text = *c.defaultText;
      cols.push_back(d);
    }
  }
  if (cols.empty()) ThrowOra(906);
  // Primary key columns are NOT NULL in Oracle (SQLite would let NULLs in).
  std::set<std::string> pk_cols;
  for (const auto& k : ct.constraints)
    if (k.kind == sql::ConstraintKind::PrimaryKey)
      for (const auto& col : k.columns) pk_cols.insert(col);
  for (auto& c : cols)
    if (pk_cols.count(c.name)) c.nullable = false;
  // The SQLite table carries Oracle's declared types (describe reads them back)
  // and every constraint SQLite can enforce.
  std::string sql = "CREATE TABLE " + SqliteName(ct.owner, ct.name) + " (";
  for (size_t i = 0; i < cols.size(); ++i) {
    if (i) sql += ", ";
    sql += QuoteIdent(cols[i].name) + " " + cols[i].declared;
    if (!cols[i].nullable) sql += " NOT NULL";
    if (i < ct.columns.size() && ct.columns[i].defaultSqlite) sql += " DEFAULT (" + *ct.columns[i].defaultSqlite + ")";
  }
  for (const auto& c : ct.constraints) {
    if (c.disabled) continue;
    switch (c.kind) {
      case sql::ConstraintKind::PrimaryKey: sql += ", PRIMARY KEY (" + ColumnList(c.columns) + ")"; break;
      case sql::ConstraintKind::Unique: sql += ", UNIQUE (" + ColumnList(c.columns) + ")"; break;
      case sql::ConstraintKind::Check:
        if (!c.checkSqlite.empty()) sql += ", CHECK (" + c.checkSqlite + ")";
        break;
      case sql::ConstraintKind::ForeignKey: {
        std::string rowner = c.refOwner ? *c.refOwner : ct.owner;
        if (rowner == ct.owner && c.refTable == ct.name) {
          sql += ", FOREIGN KEY (" + ColumnList(c.columns) + ") REFERENCES " + SqliteName(rowner, c.refTable);
        } else {
          if (ObjectTypeOf(db, rowner, c.refTable) != "TABLE") ThrowOra(942);
          sql += ", FOREIGN KEY (" + ColumnList(c.columns) + ") REFERENCES " + SqliteName(rowner, c.refTable);
        }
        if (!c.refColumns.empty()) sql += " (" + ColumnList(c.refColumns) + ")";
        if (c.onDeleteCascade) sql += " ON DELETE CASCADE";
        if (c.onDeleteSetNull) sql += " ON DELETE SET NULL";
        break;
      }
      case sql::ConstraintKind::NotNull: break;
    }
  }
  sql += ")";
  ExecSql(db, sql);
  if (!ct.asSelectSqlite.empty()) {
    Query ins(db, "INSERT INTO " + SqliteName(ct.owner, ct.name) + " " + ct.asSelectSqlite);
    ins.Run();
  }
  AddObject(db, ct.owner, ct.name, "TABLE");
  std::string ts = ct.tablespace.value_or("");
  if (ts.empty()) ts = DefaultTablespace(db, ct.owner);
  AddTableRow(db, ct.owner, ct.name, ts, ct.temporary, ct.partitioned);
  // A temporary table has its storage in the temporary tablespace, per session.
  if (!ct.temporary) AddSegment(db, ct.owner, ct.name, "TABLE", ts);
  SetColumns(db, ct.owner, ct.name, cols);
  for (const auto& c : cols)
    if (!c.nullable && !pk_cols.count(c.name)) {
      bool covered = false;
      for (const auto& k : ct.constraints)
        covered = covered || (k.kind == sql::ConstraintKind::NotNull && !k.columns.empty() && k.columns[0] == c.name);
      if (!covered) {
        sql::ConstraintDef nn{sql::ConstraintKind::NotNull, std::nullopt, {c.name}, std::nullopt, "", {}, false, false,
                              "", "", false};
        AddConstraintRows(s, ct.owner, ct.name, nn, ts);
      }
    }
  for (const auto& c : ct.constraints) AddConstraintRows(s, ct.owner, ct.name, c, ts);
  Query cm(db, "INSERT INTO \"SYS.DBA_TAB_COMMENTS\" VALUES (?, ?, 'TABLE', NULL)");
  cm.Bind(1, ct.owner).Bind(2, ct.name).Run();
}

void AddDependencies(sqlite3* db, const std::string& owner, const std::string& name, const std::string& type,
                     const std::vector<sql::ResolvedObject>& objects) {
  Query del(db, "DELETE FROM \"SYS.DBA_DEPENDENCIES\" WHERE OWNER = ? AND NAME = ? AND TYPE = ?");
  del.Bind(1, owner).Bind(2, name).Bind(3, type).Run();
  for (const auto& o : objects) {
    Query ins(db, "INSERT INTO \"SYS.DBA_DEPENDENCIES\" SELECT ?, ?, ?, ?, ?, ?, NULL, 'HARD' WHERE NOT EXISTS "
                  "(SELECT 1 FROM \"SYS.DBA_DEPENDENCIES\" WHERE OWNER = ? AND NAME = ? AND TYPE = ? AND "
                  "REFERENCED_OWNER = ? AND REFERENCED_NAME = ?)");
    ins.Bind(1, owner).Bind(2, name).Bind(3, type).Bind(4, o.owner).Bind(5, o.name).Bind(6, o.kind);
    ins.Bind(7, owner).Bind(8, name).Bind(9, type).Bind(10, o.owner).Bind(11, o.name).Run();
  }
}

void DropView(sqlite3* db, const std::string& owner, const std::string& name);

void CreateView(ServerSession& s, const sql::Translation& tr) {
  const sql::CreateViewInfo& v = *tr.createView;
  sqlite3* db = s.db();
  CheckSchema(s, v.owner);
  std::string existing = ObjectTypeOf(db, v.owner, v.name);
  if (!existing.empty()) {
    if (!v.orReplace || existing != "VIEW") ThrowOra(955);
    DropView(db, v.owner, v.name);
  }
  std::vector<std::string> names = v.columnAliases;
  if (names.empty())
    for (const auto& c : v.columns) names.push_back(c.name);
  std::string sql = "CREATE VIEW " + SqliteName(v.owner, v.name);
  if (!names.empty()) sql += " (" + ColumnList(names) + ")";
  sql += " AS " + v.sqlite;
  ExecSql(db, sql);
  AddObject(db, v.owner, v.name, "VIEW");
  Query vi(db, "INSERT INTO \"SYS.DBA_VIEWS\" (OWNER, VIEW_NAME, TEXT_LENGTH, TEXT) VALUES (?, ?, ?, ?)");
  vi.Bind(1, v.owner).Bind(2, v.name).Bind(3, static_cast<int64_t>(v.text.size())).Bind(4, v.text).Run();
  // Columns as describe sees them.
  std::vector<DictColumn> cols;
  Query q(db, "SELECT * FROM " + SqliteName(v.owner, v.name));
  for (int i = 0; i < sqlite3_column_count(q.get()); ++i) {
    const char* decl = sqlite3_column_decltype(q.get(), i);
    std::string hint = i < static_cast<int>(v.columns.size()) ? v.columns[i].typeHint : "";
    ColumnInfo ci = DescribeDeclaredType(decl ? decl : hint.empty() ? "VARCHAR2(4000)" : hint);
    std::string type = ci.type == kNumber ? "NUMBER" : ci.type == kDate ? "DATE" : ci.type == kChar ? "CHAR"
                       : ci.type == kLong ? "LONG" : "VARCHAR2";
    cols.push_back(ColumnFromDecl(sqlite3_column_name(q.get(), i), type, ci.size, ci.precision, ci.scale, true));
  }
  SetColumns(db, v.owner, v.name, cols);
  Query cm(db, "INSERT INTO \"SYS.DBA_TAB_COMMENTS\" VALUES (?, ?, 'VIEW', NULL)");
  cm.Bind(1, v.owner).Bind(2, v.name).Run();
  AddDependencies(db, v.owner, v.name, "VIEW", tr.objects);
}

void CreateIndex(ServerSession& s, const sql::Translation& tr) {
  const sql::CreateIndexInfo& ix = *tr.createIndex;
  sqlite3* db = s.db();
  CheckSchema(s, ix.owner);
  if (ObjectExists(db, ix.owner, ix.name, "INDEX")) ThrowOra(955);
  std::string cols;
  for (const auto& c : ix.columnsSqlite) cols += (cols.empty() ? "" : ", ") + c;
  ExecSql(db, std::string("CREATE ") + (ix.unique ? "UNIQUE " : "") + "INDEX " + SqliteName(ix.owner, ix.name) +
                  " ON " + ix.tableSqlite + " (" + cols + ")");
  std::string type = ix.bitmap ? "BITMAP" : "NORMAL";
  if (ix.functionBased) type = "FUNCTION-BASED " + type;
  AddIndexRows(db, ix.owner, ix.name, ix.tableOwner, ix.table, ix.unique, type, ix.columns,
               ix.tablespace.value_or(""));
}

void CreateSequence(ServerSession& s, const sql::Translation& tr) {
  const sql::CreateSequenceInfo& q = *tr.createSequence;
  sqlite3* db = s.db();
  CheckSchema(s, q.owner);
  CheckNameFree(db, q.owner, q.name);
  AddObject(db, q.owner, q.name, "SEQUENCE");
  Query ins(db, "INSERT INTO \"SYS.DBA_SEQUENCES\" VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)");
  // Without limits Oracle shows 1 and 1E27 (ascending) or -1E26 and -1 (descending).
  Value minv = q.minValue ? Value::MakeInt(*q.minValue) : q.incrementBy > 0 ? Value::MakeInt(1) : Value::MakeReal(-1e26);
  Value maxv = q.maxValue ? Value::MakeInt(*q.maxValue) : q.incrementBy > 0 ? Value::MakeReal(1e27) : Value::MakeInt(-1);
  ins.Bind(1, q.owner).Bind(2, q.name).Bind(3, minv).Bind(4, maxv);
  ins.Bind(5, static_cast<int64_t>(q.incrementBy)).Bind(6, std::string(q.cycle ? "Y" : "N"));
  ins.Bind(7, std::string(q.order ? "Y" : "N")).Bind(8, static_cast<int64_t>(q.cache));
  ins.Bind(9, static_cast<int64_t>(q.startWith)).Run();
}

void CreateSynonym(ServerSession& s, const sql::Translation& tr) {
  const sql::CreateSynonymInfo& y = *tr.createSynonym;
  sqlite3* db = s.db();
  if (y.isPublic) {
    if (!s.catalog().IsAdmin()) ThrowOra(1031);
  } else {
    CheckSchema(s, y.owner);
  }
  std::string existing = ObjectTypeOf(db, y.owner, y.name);
  if (!existing.empty()) {
    if (!y.orReplace || existing != "SYNONYM") ThrowOra(955);
    Query d(db, "DELETE FROM \"SYS.DBA_SYNONYMS\" WHERE OWNER = ? AND SYNONYM_NAME = ?");
    d.Bind(1, y.owner).Bind(2, y.name).Run();
    RemoveObject(db, y.owner, y.name, "SYNONYM");
  }
  AddObject(db, y.owner, y.name, "SYNONYM");
  Query ins(db, "INSERT INTO \"SYS.DBA_SYNONYMS\" VALUES (?, ?, ?, ?, ?)");
  ins.Bind(1, y.owner).Bind(2, y.name).Bind(3, y.targetOwner).Bind(4, y.targetName).Bind(5, y.dbLink.value_or("")).Run();
}

// Stores the source of a unit, compiles it, records errors and status.
// Returns true when the unit has errors.
bool StoreAndCompile(sqlite3* db, const std::string& owner, const std::string& name, const std::string& type,
                     const std::vector<std::string>& lines, const std::vector<std::string>& compiled) {
  Query del(db, "DELETE FROM \"SYS.DBA_SOURCE\" WHERE OWNER = ? AND NAME = ? AND TYPE = ?");
  del.Bind(1, owner).Bind(2, name).Bind(3, type).Run();
  int line = 0;
  for (const auto& l : lines) {
    Query ins(db, "INSERT INTO \"SYS.DBA_SOURCE\" VALUES (?, ?, ?, ?, ?)");
    ins.Bind(1, owner).Bind(2, name).Bind(3, type).Bind(4, static_cast<int64_t>(++line)).Bind(5, l).Run();
  }
  const bool failed = CompileAndRecord(db, owner, name, type, lines);
  if (failed && type == "TRIGGER" && compiled.size() < lines.size()) {
    // The server counts a trigger's error lines from its body's first line.
    Query shift(db, "UPDATE \"SYS.DBA_ERRORS\" SET LINE = LINE - ? WHERE OWNER = ? AND NAME = ? AND TYPE = ? AND LINE > ?");
    const auto header = static_cast<int64_t>(lines.size() - compiled.size());
    shift.Bind(1, header).Bind(2, owner).Bind(3, name).Bind(4, type).Bind(5, header).Run();
  }
  return failed;
}

std::string TypeCodeOf(const std::vector<std::string>& lines) {
  std::string text;
  for (const auto& l : lines) text += Upper(l) + " ";
  if (text.find(" TABLE OF ") != std::string::npos || text.find(" VARRAY") != std::string::npos ||
      text.find(" VARYING ARRAY") != std::string::npos)
    return "COLLECTION";
  return "OBJECT";
}

void DropProgramUnit(sqlite3* db, const std::string& owner, const std::string& name, const std::string& type);

bool CreateProgramUnit(ServerSession& s, const sql::Translation& tr) {
  const sql::ProgramUnitInfo& u = *tr.programUnit;
  sqlite3* db = s.db();
  CheckSchema(s, u.owner);
  std::string type = Upper(u.type);
  bool exists = ObjectExists(db, u.owner, u.name, type);
  if (!exists && type == "TYPE BODY") {
    if (!ObjectExists(db, u.owner, u.name, "TYPE")) ThrowOra(4043, {u.name});
  } else if (!exists && type != "TRIGGER" && type != "PACKAGE BODY") {
    // A package body without its specification is stored all the same and
    // does not compile (PLS-00304); bodies have a name space of their own.
    CheckNameFree(db, u.owner, u.name);
  }
  if (exists && !u.orReplace) ThrowOra(955);
  if (!exists) AddObject(db, u.owner, u.name, type);
  else TouchObject(db, u.owner, u.name, type);
  if (exists) InvalidateDependents(db, u.owner, u.name);
  if (type == "TRIGGER") {
    Query d(db, "DELETE FROM \"SYS.DBA_TRIGGERS\" WHERE OWNER = ? AND TRIGGER_NAME = ?");
    d.Bind(1, u.owner).Bind(2, u.name).Run();
    // The server keeps the row condition apart from the description.
    TriggerText parts = SplitTrigger(u.lines);
    std::string uh = Upper(parts.description);
    std::string timing = uh.find("INSTEAD OF") != std::string::npos ? "INSTEAD OF"
                         : uh.find("AFTER") != std::string::npos    ? "AFTER"
                                                                    : "BEFORE";
    bool each_row = uh.find("FOR EACH ROW") != std::string::npos;
    std::string events;
    for (const char* e : {"INSERT", "UPDATE", "DELETE"})
      if (uh.find(e) != std::string::npos) events += (events.empty() ? "" : " OR ") + std::string(e);
    Query t(db, "INSERT INTO \"SYS.DBA_TRIGGERS\" VALUES (?, ?, ?, ?, ?, 'TABLE', ?, NULL, "
                "'REFERENCING NEW AS NEW OLD AS OLD', ?, 'ENABLED', ?, 'PL/SQL     ', ?)");
    t.Bind(1, u.owner).Bind(2, u.name).Bind(3, timing + (each_row ? " EACH ROW" : " STATEMENT")).Bind(4, events);
    t.Bind(5, u.triggerTableOwner).Bind(6, u.triggerTable).Bind(7, parts.whenClause);
    t.Bind(8, parts.description).Bind(9, parts.body).Run();
    if (!u.triggerTable.empty())
      AddDependencies(db, u.owner, u.name, "TRIGGER", {sql::ResolvedObject{"", u.triggerTableOwner, u.triggerTable, "TABLE"}});
  }
  if (type == "TYPE") {
    Query d(db, "DELETE FROM \"SYS.DBA_TYPES\" WHERE OWNER = ? AND TYPE_NAME = ?");
    d.Bind(1, u.owner).Bind(2, u.name).Run();
    Query t(db, "INSERT INTO \"SYS.DBA_TYPES\" (OWNER, TYPE_NAME, TYPECODE, ATTRIBUTES, METHODS, PREDEFINED, "
                "INCOMPLETE, FINAL, INSTANTIABLE, LOCAL_ATTRIBUTES, LOCAL_METHODS) VALUES (?, ?, ?, 0, 0, 'NO', 'NO', "
                "'YES', 'YES', NULL, NULL)");
    t.Bind(1, u.owner).Bind(2, u.name).Bind(3, TypeCodeOf(u.lines)).Run();
  }
  // A trigger's errors count their lines from its body, as the server's do.
  return StoreAndCompile(db, u.owner, u.name, type, u.lines,
                         type == "TRIGGER" ? SplitTrigger(u.lines).bodyLines : u.lines);
}

bool AlterCompile(ServerSession& s, const sql::Translation& tr) {
  const sql::AlterCompileInfo& a = *tr.alterCompile;
  sqlite3* db = s.db();
  CheckSchema(s, a.owner);
  std::string type = Upper(a.type);
  if (a.body && type == "PACKAGE") type = "PACKAGE BODY";
  if (!ObjectExists(db, a.owner, a.name, type)) ThrowOra(4043, {a.name});
  TouchObject(db, a.owner, a.name, type);
  if (type == "VIEW") {
    SetObjectStatus(db, a.owner, a.name, type, "VALID");
    return false;
  }
  std::vector<std::string> lines;
  Query q(db, "SELECT TEXT FROM \"SYS.DBA_SOURCE\" WHERE OWNER = ? AND NAME = ? AND TYPE = ? ORDER BY LINE");
  q.Bind(1, a.owner).Bind(2, a.name).Bind(3, type);
  while (q.Step()) lines.push_back(q.Text(0));
  return StoreAndCompile(db, a.owner, a.name, type, lines, type == "TRIGGER" ? SplitTrigger(lines).bodyLines : lines);
}

void DropView(sqlite3* db, const std::string& owner, const std::string& name) {
  InvalidateDependents(db, owner, name);
  ExecSql(db, "DROP VIEW IF EXISTS " + SqliteName(owner, name));
  for (const char* sql : {"DELETE FROM \"SYS.DBA_VIEWS\" WHERE OWNER = ?1 AND VIEW_NAME = ?2",
                          "DELETE FROM \"SYS.DBA_TAB_COLUMNS\" WHERE OWNER = ?1 AND TABLE_NAME = ?2",
                          "DELETE FROM \"SYS.DBA_TAB_COMMENTS\" WHERE OWNER = ?1 AND TABLE_NAME = ?2",
                          "DELETE FROM \"SYS.DBA_COL_COMMENTS\" WHERE OWNER = ?1 AND TABLE_NAME = ?2",
                          "DELETE FROM \"SYS.DBA_TAB_PRIVS\" WHERE OWNER = ?1 AND TABLE_NAME = ?2",
                          "DELETE FROM \"SYS.DBA_DEPENDENCIES\" WHERE OWNER = ?1 AND NAME = ?2 AND TYPE = 'VIEW'"}) {
    Query q(db, sql);
    q.Bind(1, owner).Bind(2, name).Run();
  }
  RemoveObject(db, owner, name, "VIEW");
}

void DropIndex(sqlite3* db, const std::string& owner, const std::string& name) {
  ExecSql(db, "DROP INDEX IF EXISTS " + SqliteName(owner, name));
  for (const char* sql : {"DELETE FROM \"SYS.DBA_INDEXES\" WHERE OWNER = ?1 AND INDEX_NAME = ?2",
                          "DELETE FROM \"SYS.DBA_IND_COLUMNS\" WHERE INDEX_OWNER = ?1 AND INDEX_NAME = ?2"}) {
    Query q(db, sql);
    q.Bind(1, owner).Bind(2, name).Run();
  }
  RemoveSegment(db, owner, name);
  RemoveObject(db, owner, name, "INDEX");
}

// Foreign keys of other tables that reference owner.table (only those that
// reference the key `key` when it is given; "" binds as NULL).
void DropReferencingForeignKeys(sqlite3* db, const std::string& owner, const std::string& table,
                                const std::string& key) {
  std::vector<std::pair<std::string, std::string>> children;
  {
    Query q(db, "SELECT C.OWNER, C.CONSTRAINT_NAME FROM \"SYS.DBA_CONSTRAINTS\" C, \"SYS.DBA_CONSTRAINTS\" P WHERE "
                "C.CONSTRAINT_TYPE = 'R' AND C.R_OWNER = P.OWNER AND C.R_CONSTRAINT_NAME = P.CONSTRAINT_NAME AND "
                "P.OWNER = ?1 AND P.TABLE_NAME = ?2 AND (?3 IS NULL OR P.CONSTRAINT_NAME = ?3) AND "
                "NOT (C.OWNER = P.OWNER AND C.TABLE_NAME = P.TABLE_NAME AND ?3 IS NULL)");
    q.Bind(1, owner).Bind(2, table).Bind(3, key);
    while (q.Step()) children.emplace_back(q.Text(0), q.Text(1));
  }
  for (const auto& [o, c] : children)
    for (const char* sql : {"DELETE FROM \"SYS.DBA_CONS_COLUMNS\" WHERE OWNER = ?1 AND CONSTRAINT_NAME = ?2",
                            "DELETE FROM \"SYS.DBA_CONSTRAINTS\" WHERE OWNER = ?1 AND CONSTRAINT_NAME = ?2"}) {
      Query q(db, sql);
      q.Bind(1, o).Bind(2, c).Run();
    }
}

void DropTable(ServerSession& s, const std::string& owner, const std::string& name, bool cascade_constraints) {
  sqlite3* db = s.db();
  InvalidateDependents(db, owner, name);
  // Foreign keys of other tables pointing here block the drop unless CASCADE CONSTRAINTS.
  Query refs(db, "SELECT C.OWNER, C.CONSTRAINT_NAME, C.TABLE_NAME FROM \"SYS.DBA_CONSTRAINTS\" C, "
                 "\"SYS.DBA_CONSTRAINTS\" P WHERE C.CONSTRAINT_TYPE = 'R' AND C.R_OWNER = P.OWNER AND "
                 "C.R_CONSTRAINT_NAME = P.CONSTRAINT_NAME AND P.OWNER = ? AND P.TABLE_NAME = ? AND "
                 "NOT (C.OWNER = P.OWNER AND C.TABLE_NAME = P.TABLE_NAME)");
  refs.Bind(1, owner).Bind(2, name);
  bool referenced = refs.Step();
  refs.Reset();  // an open statement would lock the table against the DROP
  if (referenced && !cascade_constraints)
    ThrowOraText(2449, "ORA-02449: unique/primary keys in table referenced by foreign keys");
  // CASCADE CONSTRAINTS takes the other tables' foreign keys to this one along.
  DropReferencingForeignKeys(db, owner, name, "");
  // SQLite keeps the REFERENCES clause of child tables; with foreign keys
  // switched off for the drop the children keep their rows, as in Oracle.
  ExecSql(db, "PRAGMA defer_foreign_keys = ON");
  ExecSql(db, "DROP TABLE IF EXISTS " + SqliteName(owner, name));  // some demo tables exist only as dictionary rows
  std::vector<std::string> indexes;
  {
    Query q(db, "SELECT OWNER, INDEX_NAME FROM \"SYS.DBA_INDEXES\" WHERE TABLE_OWNER = ? AND TABLE_NAME = ?");
    q.Bind(1, owner).Bind(2, name);
    while (q.Step()) indexes.push_back(q.Text(0) + '\x1f' + q.Text(1));
  }
  for (const auto& i : indexes) DropIndex(db, i.substr(0, i.find('\x1f')), i.substr(i.find('\x1f') + 1));
  for (const char* sql :
       {"DELETE FROM \"SYS.DBA_ALL_TABLES\" WHERE OWNER = ?1 AND TABLE_NAME = ?2",
        "DELETE FROM \"SYS.DBA_TAB_COLUMNS\" WHERE OWNER = ?1 AND TABLE_NAME = ?2",
        "DELETE FROM \"SYS.DBA_TAB_COMMENTS\" WHERE OWNER = ?1 AND TABLE_NAME = ?2",
        "DELETE FROM \"SYS.DBA_COL_COMMENTS\" WHERE OWNER = ?1 AND TABLE_NAME = ?2",
        "DELETE FROM \"SYS.DBA_TAB_PRIVS\" WHERE OWNER = ?1 AND TABLE_NAME = ?2",
        "DELETE FROM \"SYS.DBA_CONS_COLUMNS\" WHERE OWNER = ?1 AND TABLE_NAME = ?2",
        "DELETE FROM \"SYS.DBA_CONSTRAINTS\" WHERE OWNER = ?1 AND TABLE_NAME = ?2",
        "DELETE FROM \"SYS.DBA_OBJECTS\" WHERE OBJECT_TYPE = 'TRIGGER' AND (OWNER, OBJECT_NAME) IN (SELECT OWNER, "
        "TRIGGER_NAME FROM \"SYS.DBA_TRIGGERS\" WHERE TABLE_OWNER = ?1 AND TABLE_NAME = ?2)",
        "DELETE FROM \"SYS.DBA_SOURCE\" WHERE TYPE = 'TRIGGER' AND (OWNER, NAME) IN (SELECT OWNER, TRIGGER_NAME FROM "
        "\"SYS.DBA_TRIGGERS\" WHERE TABLE_OWNER = ?1 AND TABLE_NAME = ?2)",
        "DELETE FROM \"SYS.DBA_TRIGGERS\" WHERE TABLE_OWNER = ?1 AND TABLE_NAME = ?2"}) {
    Query q(db, sql);
    q.Bind(1, owner).Bind(2, name).Run();
  }
  // Views and units that used the table become invalid.
  InvalidateDependents(db, owner, name);
  RemoveSegment(db, owner, name);
  RemoveObject(db, owner, name, "TABLE");
}

void DropProgramUnit(sqlite3* db, const std::string& owner, const std::string& name, const std::string& type) {
  InvalidateDependents(db, owner, name);
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

// What goes with a dropped column: the indexes on it and, with CASCADE
// CONSTRAINTS, the constraints that name it (without, ORA-12991 when one
// names other columns too).
void DropColumnParts(sqlite3* db, const std::string& owner, const std::string& table, const std::string& column,
                     bool cascade) {
  std::vector<std::pair<std::string, std::string>> indexes;
  {
    Query q(db, "SELECT DISTINCT INDEX_OWNER, INDEX_NAME FROM \"SYS.DBA_IND_COLUMNS\" WHERE TABLE_OWNER = ? AND "
                "TABLE_NAME = ? AND COLUMN_NAME = ?");
    q.Bind(1, owner).Bind(2, table).Bind(3, column);
    while (q.Step()) indexes.emplace_back(q.Text(0), q.Text(1));
  }
  std::vector<std::string> constraints;
  {
    Query q(db, "SELECT DISTINCT CONSTRAINT_NAME FROM \"SYS.DBA_CONS_COLUMNS\" WHERE OWNER = ? AND TABLE_NAME = ? "
                "AND COLUMN_NAME = ?");
    q.Bind(1, owner).Bind(2, table).Bind(3, column);
    while (q.Step()) constraints.push_back(q.Text(0));
  }
  for (const auto& c : constraints) {
    Query others(db, "SELECT 1 FROM \"SYS.DBA_CONS_COLUMNS\" WHERE OWNER = ? AND CONSTRAINT_NAME = ? AND "
                     "COLUMN_NAME <> ?");
    others.Bind(1, owner).Bind(2, c).Bind(3, column);
    const bool multi = others.Step();
    others.Reset();
    if (multi && !cascade) ThrowOraText(12991, "ORA-12991: column is referenced in a multi-column constraint");
  }
  for (const auto& [o, i] : indexes) DropIndex(db, o, i);
  for (const auto& c : constraints) {
    DropReferencingForeignKeys(db, owner, table, c);
    for (const char* sql : {"DELETE FROM \"SYS.DBA_CONS_COLUMNS\" WHERE OWNER = ?1 AND CONSTRAINT_NAME = ?2",
                            "DELETE FROM \"SYS.DBA_CONSTRAINTS\" WHERE OWNER = ?1 AND CONSTRAINT_NAME = ?2"}) {
      Query q(db, sql);
      q.Bind(1, owner).Bind(2, c).Run();
    }
  }
}

// SQLite refuses DROP COLUMN for a column its own table definition still
// names (a CHECK, a key): the table is then rebuilt from the dictionary's
// columns, its remaining SQLite indexes made again.
void DropSqliteColumn(sqlite3* db, const std::string& owner, const std::string& table, const std::string& column,
                      const std::vector<DictColumn>& remaining) {
  const std::string name = SqliteName(owner, table);
  try {
    ExecSql(db, "ALTER TABLE " + name + " DROP COLUMN " + QuoteIdent(column));
    return;
  } catch (const std::exception&) {
  }
  std::vector<std::string> indexSql;
  {
    Query q(db, "SELECT sql FROM sqlite_master WHERE type = 'index' AND tbl_name = ? AND sql IS NOT NULL");
    q.Bind(1, owner + "." + table);
    while (q.Step()) indexSql.push_back(q.Text(0));
  }
  const std::string rebuilt = SqliteName(owner, table + "$REBUILD");
  std::string create = "CREATE TABLE " + rebuilt + " (", list;
  for (std::size_t i = 0; i < remaining.size(); ++i) {
    create += (i ? ", " : "") + QuoteIdent(remaining[i].name) + " " + remaining[i].declared;
    list += (i ? ", " : "") + QuoteIdent(remaining[i].name);
  }
  ExecSql(db, create + ")");
  ExecSql(db, "INSERT INTO " + rebuilt + " (" + list + ") SELECT " + list + " FROM " + name);
  ExecSql(db, "PRAGMA defer_foreign_keys = ON");
  ExecSql(db, "DROP TABLE " + name);
  // Views on the table name it while it is missing for a moment: the
  // legacy rename leaves them alone.
  ExecSql(db, "PRAGMA legacy_alter_table = ON");
  try {
    ExecSql(db, "ALTER TABLE " + rebuilt + " RENAME TO " + name);
  } catch (...) {
    ExecSql(db, "PRAGMA legacy_alter_table = OFF");
    throw;
  }
  ExecSql(db, "PRAGMA legacy_alter_table = OFF");
  for (const auto& sql : indexSql) {
    try {
      ExecSql(db, sql);
    } catch (const std::exception&) {
      // An index on the dropped column goes with it.
    }
  }
}

void AlterTable(ServerSession& s, const sql::Translation& tr) {
  const sql::AlterTableInfo& a = *tr.alterTable;
  sqlite3* db = s.db();
  CheckSchema(s, a.owner);
  if (!ObjectExists(db, a.owner, a.name, "TABLE")) ThrowOra(942);
  InvalidateDependents(db, a.owner, a.name);
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
        std::erase_if(cols, [&](const DictColumn& e) { return e.name == n; });
        DropColumnParts(db, a.owner, a.name, n, a.cascade);
        DropSqliteColumn(db, a.owner, a.name, n, cols);
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
  // COMMENTS is VARCHAR2(4000) in the dictionary's own table: a 9.2 server
  // refuses a longer text as it would any value too large for its column.
  if (c.text && c.text->size() > 4000) ThrowOra(1401);
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
        const bool quoted = p.size() >= 2 && p.front() == '"' && p.back() == '"';
        std::string priv = quoted ? p.substr(1, p.size() - 2) : Upper(p);
        Query role(db, "SELECT 1 FROM \"SYS.DBA_ROLES\" WHERE ROLE = ?");
        role.Bind(1, priv);
        bool is_role = role.Step();
        // A quoted name can only be a role.
        if (quoted && !is_role) ThrowOra(1919, {priv});
        Query d(db, is_role ? "DELETE FROM \"SYS.DBA_ROLE_PRIVS\" WHERE GRANTEE = ? AND GRANTED_ROLE = ?"
                            : "DELETE FROM \"SYS.DBA_SYS_PRIVS\" WHERE GRANTEE = ? AND PRIVILEGE = ?");
        d.Bind(1, grantee).Bind(2, priv).Run();
        if (!grant) continue;
        Query i(db, is_role ? "INSERT INTO \"SYS.DBA_ROLE_PRIVS\" VALUES (?, ?, ?, 'YES')"
                            : "INSERT INTO \"SYS.DBA_SYS_PRIVS\" VALUES (?, ?, ?)");
        i.Bind(1, grantee).Bind(2, priv).Bind(3, std::string(g.withGrantOption ? "YES" : "NO")).Run();
      }
    for (const auto& grantee : g.grantees)
      for (const auto& p : g.privileges) FollowRoleWithUnlimitedTablespace(db, grantee, Upper(p), grant);
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
