// Dictionary bookkeeping: see dictionary.h.
#include "dictionary.h"

#include "catalog.h"
#include "sql/translate.h"
#include "sqlite_util.h"

namespace ocisim {

std::string Now() { return sql::CurrentSysdate(); }

namespace {

std::string Timestamp(const std::string& internal) {
  std::string t = internal;
  if (t.size() >= 11) t[10] = ':';
  return t;
}

}  // namespace

int64_t AddObject(sqlite3* db, const std::string& owner, const std::string& name, const std::string& type,
                  const std::string& status) {
  int64_t id = 1;
  {
    Query q(db, "SELECT COALESCE(MAX(OBJECT_ID), 0) + 1 FROM \"SYS.DBA_OBJECTS\"");
    if (q.Step()) id = q.Int(0);
  }
  std::string now = Now();
  bool has_data = type == "TABLE" || type == "INDEX" || type == "CLUSTER";
  Query ins(db,
            "INSERT INTO \"SYS.DBA_OBJECTS\" (OWNER, OBJECT_NAME, SUBOBJECT_NAME, OBJECT_ID, DATA_OBJECT_ID, "
            "OBJECT_TYPE, CREATED, LAST_DDL_TIME, TIMESTAMP, STATUS, TEMPORARY, GENERATED, SECONDARY) "
            "VALUES (?, ?, NULL, ?, ?, ?, ?, ?, ?, ?, 'N', 'N', 'N')");
  ins.Bind(1, owner).Bind(2, name).Bind(3, id);
  if (has_data) ins.Bind(4, id);
  else ins.BindNull(4);
  ins.Bind(5, type).Bind(6, now).Bind(7, now).Bind(8, Timestamp(now)).Bind(9, status);
  ins.Run();
  return id;
}

bool ObjectExists(sqlite3* db, const std::string& owner, const std::string& name, const std::string& type) {
  Query q(db, type.empty()
                  ? "SELECT 1 FROM \"SYS.DBA_OBJECTS\" WHERE OWNER = ? AND OBJECT_NAME = ?"
                  : "SELECT 1 FROM \"SYS.DBA_OBJECTS\" WHERE OWNER = ? AND OBJECT_NAME = ? AND OBJECT_TYPE = ?");
  q.Bind(1, owner).Bind(2, name);
  if (!type.empty()) q.Bind(3, type);
  return q.Step();
}

std::string ObjectTypeOf(sqlite3* db, const std::string& owner, const std::string& name) {
  Query q(db,
          "SELECT OBJECT_TYPE FROM \"SYS.DBA_OBJECTS\" WHERE OWNER = ? AND OBJECT_NAME = ? AND OBJECT_TYPE IN "
          "('TABLE','VIEW','SEQUENCE','SYNONYM','PROCEDURE','FUNCTION','PACKAGE','TYPE','CLUSTER','OPERATOR',"
          "'INDEXTYPE','JAVA CLASS','LIBRARY','DIRECTORY','MATERIALIZED VIEW')");
  q.Bind(1, owner).Bind(2, name);
  return q.Step() ? q.Text(0) : std::string();
}

void RemoveObject(sqlite3* db, const std::string& owner, const std::string& name, const std::string& type) {
  Query q(db, "DELETE FROM \"SYS.DBA_OBJECTS\" WHERE OWNER = ? AND OBJECT_NAME = ? AND OBJECT_TYPE = ?");
  q.Bind(1, owner).Bind(2, name).Bind(3, type).Run();
}

void TouchObject(sqlite3* db, const std::string& owner, const std::string& name, const std::string& type) {
  std::string now = Now();
  Query q(db, type.empty() ? "UPDATE \"SYS.DBA_OBJECTS\" SET LAST_DDL_TIME = ?, TIMESTAMP = ? WHERE OWNER = ? AND "
                             "OBJECT_NAME = ? AND OBJECT_TYPE NOT IN ('INDEX','TRIGGER')"
                           : "UPDATE \"SYS.DBA_OBJECTS\" SET LAST_DDL_TIME = ?, TIMESTAMP = ? WHERE OWNER = ? AND "
                             "OBJECT_NAME = ? AND OBJECT_TYPE = ?");
  q.Bind(1, now).Bind(2, Timestamp(now)).Bind(3, owner).Bind(4, name);
  if (!type.empty()) q.Bind(5, type);
  q.Run();
}

void SetObjectStatus(sqlite3* db, const std::string& owner, const std::string& name, const std::string& type,
                     const std::string& status) {
  Query q(db, "UPDATE \"SYS.DBA_OBJECTS\" SET STATUS = ? WHERE OWNER = ? AND OBJECT_NAME = ? AND OBJECT_TYPE = ?");
  q.Bind(1, status).Bind(2, owner).Bind(3, name).Bind(4, type).Run();
}

DictColumn ColumnFromDecl(const std::string& name, const std::string& type, int length, int precision, int scale,
                          bool nullable) {
  DictColumn c;
  c.name = name;
  c.data_type = type;
  c.nullable = nullable;
  if (type == "VARCHAR2" || type == "VARCHAR" || type == "NVARCHAR2" || type == "CHAR" || type == "NCHAR" ||
      type == "RAW") {
    if (type == "VARCHAR") c.data_type = "VARCHAR2";
    c.length = length > 0 ? length : (type == "CHAR" || type == "NCHAR" ? 1 : 4000);
    c.declared = c.data_type + "(" + std::to_string(c.length) + ")";
  } else if (type == "NUMBER" || type == "NUMERIC" || type == "DECIMAL" || type == "INTEGER" || type == "INT" ||
             type == "SMALLINT") {
    c.data_type = "NUMBER";
    c.length = 22;
    if (type == "INTEGER" || type == "INT" || type == "SMALLINT") {
      c.scale = 0;
      c.declared = "NUMBER(38)";
    } else if (precision > 0) {
      c.precision = precision;
      c.scale = scale >= 0 ? scale : 0;
      c.declared = "NUMBER(" + std::to_string(precision) + "," + std::to_string(c.scale) + ")";
    } else {
      c.declared = "NUMBER";
    }
  } else if (type == "FLOAT") {
    c.length = 22;
    c.precision = precision > 0 ? precision : 126;
    c.declared = "FLOAT";
  } else if (type == "DATE") {
    c.length = 7;
    c.declared = "DATE";
  } else if (type == "LONG" || type == "LONG RAW") {
    c.length = 0;
    c.declared = type;
  } else if (type == "CLOB" || type == "BLOB" || type == "NCLOB" || type == "BFILE") {
    c.length = 4000;
    c.declared = type;
  } else {
    c.length = length > 0 ? length : 0;
    c.declared = type;
  }
  return c;
}

void SetColumns(sqlite3* db, const std::string& owner, const std::string& table, const std::vector<DictColumn>& cols) {
  Query del(db, "DELETE FROM \"SYS.DBA_TAB_COLUMNS\" WHERE OWNER = ? AND TABLE_NAME = ?");
  del.Bind(1, owner).Bind(2, table).Run();
  int id = 0;
  for (const auto& c : cols) {
    Query ins(db,
              "INSERT INTO \"SYS.DBA_TAB_COLUMNS\" (OWNER, TABLE_NAME, COLUMN_NAME, DATA_TYPE, DATA_TYPE_MOD, "
              "DATA_TYPE_OWNER, DATA_LENGTH, DATA_PRECISION, DATA_SCALE, NULLABLE, COLUMN_ID, DEFAULT_LENGTH, "
              "DATA_DEFAULT, CHARACTER_SET_NAME, CHAR_COL_DECL_LENGTH, GLOBAL_STATS, USER_STATS, AVG_COL_LEN, "
              "CHAR_LENGTH, CHAR_USED, V80_FMT_IMAGE, DATA_UPGRADED) VALUES (?, ?, ?, ?, NULL, NULL, ?, ?, ?, ?, ?, "
              "?, ?, ?, ?, 'NO', 'NO', NULL, ?, ?, 'NO', 'YES')");
    bool is_char = c.data_type == "VARCHAR2" || c.data_type == "CHAR" || c.data_type == "NVARCHAR2" ||
                   c.data_type == "NCHAR";
    ins.Bind(1, owner).Bind(2, table).Bind(3, c.name).Bind(4, c.data_type).Bind(5, static_cast<int64_t>(c.length));
    if (c.precision >= 0) ins.Bind(6, static_cast<int64_t>(c.precision));
    else ins.BindNull(6);
    if (c.scale >= 0) ins.Bind(7, static_cast<int64_t>(c.scale));
    else ins.BindNull(7);
    ins.Bind(8, std::string(c.nullable ? "Y" : "N")).Bind(9, static_cast<int64_t>(++id));
    if (c.default_text.empty()) ins.BindNull(10).BindNull(11);
    else ins.Bind(10, static_cast<int64_t>(c.default_text.size())).Bind(11, c.default_text);
    if (is_char || c.data_type == "LONG" || c.data_type == "CLOB") ins.Bind(12, std::string("CHAR_CS"));
    else ins.BindNull(12);
    if (is_char) ins.Bind(13, static_cast<int64_t>(c.length));
    else ins.BindNull(13);
    ins.Bind(14, static_cast<int64_t>(is_char ? c.length : 0));
    if (is_char) ins.Bind(15, std::string("B"));
    else ins.BindNull(15);
    ins.Run();
  }
  // Oracle keeps a comment row for every column, NULL until commented.
  Query gone(db, "DELETE FROM \"SYS.DBA_COL_COMMENTS\" WHERE OWNER = ?1 AND TABLE_NAME = ?2 AND COLUMN_NAME NOT IN "
                 "(SELECT COLUMN_NAME FROM \"SYS.DBA_TAB_COLUMNS\" WHERE OWNER = ?1 AND TABLE_NAME = ?2)");
  gone.Bind(1, owner).Bind(2, table).Run();
  Query added(db, "INSERT INTO \"SYS.DBA_COL_COMMENTS\" SELECT OWNER, TABLE_NAME, COLUMN_NAME, NULL FROM "
                  "\"SYS.DBA_TAB_COLUMNS\" T WHERE OWNER = ?1 AND TABLE_NAME = ?2 AND NOT EXISTS (SELECT 1 FROM "
                  "\"SYS.DBA_COL_COMMENTS\" C WHERE C.OWNER = T.OWNER AND C.TABLE_NAME = T.TABLE_NAME AND "
                  "C.COLUMN_NAME = T.COLUMN_NAME) ORDER BY COLUMN_ID");
  added.Bind(1, owner).Bind(2, table).Run();
}

std::vector<DictColumn> GetColumns(sqlite3* db, const std::string& owner, const std::string& table) {
  std::vector<DictColumn> cols;
  Query q(db,
          "SELECT COLUMN_NAME, DATA_TYPE, DATA_LENGTH, DATA_PRECISION, DATA_SCALE, NULLABLE, DATA_DEFAULT FROM "
          "\"SYS.DBA_TAB_COLUMNS\" WHERE OWNER = ? AND TABLE_NAME = ? ORDER BY COLUMN_ID");
  q.Bind(1, owner).Bind(2, table);
  while (q.Step()) {
    DictColumn c;
    c.name = q.Text(0);
    c.data_type = q.Text(1);
    c.length = static_cast<int>(q.Int(2));
    c.precision = q.IsNull(3) ? -1 : static_cast<int>(q.Int(3));
    c.scale = q.IsNull(4) ? -1 : static_cast<int>(q.Int(4));
    c.nullable = q.Text(5) != "N";
    c.default_text = q.Text(6);
    cols.push_back(c);
  }
  return cols;
}

void PublishSysObject(sqlite3* db, const std::string& name, const std::string& synonym, bool restricted,
                      const std::string& type) {
  if (!ObjectExists(db, "SYS", name, type)) AddObject(db, "SYS", name, type);
  if (!synonym.empty() && !ObjectExists(db, "PUBLIC", synonym, "SYNONYM")) {
    AddObject(db, "PUBLIC", synonym, "SYNONYM");
    Query s(db, "INSERT INTO \"SYS.DBA_SYNONYMS\" VALUES ('PUBLIC', ?, 'SYS', ?, NULL)");
    s.Bind(1, synonym).Bind(2, name).Run();
  }
  Query g(db, "INSERT INTO \"SYS.DBA_TAB_PRIVS\" (GRANTEE, OWNER, TABLE_NAME, GRANTOR, PRIVILEGE, GRANTABLE, HIERARCHY) "
              "VALUES (?, 'SYS', ?, 'SYS', 'SELECT', 'NO', 'NO')");
  g.Bind(1, std::string(restricted ? "SELECT_CATALOG_ROLE" : "PUBLIC")).Bind(2, name).Run();
}

void PublishDictionaryView(sqlite3* db, const std::string& dba_name, const std::string& owner_col,
                           const std::string& vis_owner, const std::string& vis_name) {
  std::string base = dba_name.substr(4);  // after "DBA_"
  std::vector<std::string> cols;
  {
    Query q(db, "SELECT name FROM pragma_table_info(?)");
    q.Bind(1, "SYS." + dba_name);
    while (q.Step()) cols.push_back(q.Text(0));
  }
  std::string user_cols;
  for (const auto& c : cols) {
    if (c == owner_col) continue;
    if (!user_cols.empty()) user_cols += ", ";
    user_cols += QuoteIdent(c);
  }
  std::string src = SqliteName("SYS", dba_name);
  ExecSql(db, "CREATE VIEW " + SqliteName("SYS", "ALL_" + base) + " AS SELECT * FROM " + src +
                  " WHERE ocisim_visible(" + vis_owner + ", " + vis_name + ")");
  ExecSql(db, "CREATE VIEW " + SqliteName("SYS", "USER_" + base) + " AS SELECT " + user_cols + " FROM " + src +
                  " WHERE " + QuoteIdent(owner_col) + " = ocisim_user()");
  PublishSysObject(db, dba_name, dba_name, true);
  PublishSysObject(db, "ALL_" + base, "ALL_" + base, false);
  PublishSysObject(db, "USER_" + base, "USER_" + base, false);
}

}  // namespace ocisim
