// Building a demo database: see seed_loader.h.
#include "seed_loader.h"

#include "dictionary.h"
#include "executor.h"
#include "ora_error.h"
#include "server_session.h"
#include "sqlite_util.h"

#include <cctype>
#include <cstdio>
#include <sstream>

namespace ocisim {
namespace {

struct Banner {
  const char* key;
  const char* lines[5];
  const char* version;
  const char* compatible;
  const char* port;
};

// The version banners a database can show (setting chosen when it is built).
constexpr Banner kBanners[] = {
    {"9i",
     {"Oracle9i Enterprise Edition Release 9.2.0.1.0 - Production", "PL/SQL Release 9.2.0.1.0 - Production",
      "CORE\t9.2.0.1.0\tProduction", "TNS for Linux: Version 9.2.0.1.0 - Production",
      "NLSRTL Version 9.2.0.1.0 - Production"},
     "9.2.0.1.0", "9.2.0.0.0", "Linuxi386/Linux-2.0.34-8.1.0"},
    {"7.3",
     {"Oracle7 Server Release 7.3.4.0.0 - Production", "PL/SQL Release 2.3.4.0.0 - Production",
      "CORE Version 3.5.4.0.0 - Production", "TNS for Linux: Version 2.3.4.0.0 - Production",
      "NLSRTL Version 3.2.4.0.0 - Production"},
     "7.3.4.0.0", "7.3.0.0.0", "Linux/x86-7.3.4"},
    {"19c",
     {"Oracle Database 19c Enterprise Edition Release 19.0.0.0.0 - Production", "PL/SQL Release 19.0.0.0.0 - Production",
      "CORE\t19.0.0.0.0\tProduction", "TNS for Linux: Version 19.0.0.0.0 - Production",
      "NLSRTL Version 19.0.0.0.0 - Production"},
     "19.0.0.0.0", "19.0.0", "x86_64/Linux 2.4.xx"},
};

// Dictionary families (each also has ALL_ and USER_ views): DBA_ name, its owner column, and what decides whether an ALL_ row shows.
struct Family {
  const char* dba;
  const char* owner_col;
  const char* vis_owner;
  const char* vis_name;
};
constexpr Family kFamilies[] = {
    {"DBA_OBJECTS", "OWNER", "OWNER", "OBJECT_NAME"},
    {"DBA_ALL_TABLES", "OWNER", "OWNER", "TABLE_NAME"},
    {"DBA_TABLES", "OWNER", "OWNER", "TABLE_NAME"},
    {"DBA_OBJECT_TABLES", "OWNER", "OWNER", "TABLE_NAME"},
    {"DBA_TAB_COLUMNS", "OWNER", "OWNER", "TABLE_NAME"},
    {"DBA_TAB_COMMENTS", "OWNER", "OWNER", "TABLE_NAME"},
    {"DBA_COL_COMMENTS", "OWNER", "OWNER", "TABLE_NAME"},
    {"DBA_UNUSED_COL_TABS", "OWNER", "OWNER", "TABLE_NAME"},
    {"DBA_UPDATABLE_COLUMNS", "OWNER", "OWNER", "TABLE_NAME"},
    {"DBA_VIEWS", "OWNER", "OWNER", "VIEW_NAME"},
    {"DBA_CONSTRAINTS", "OWNER", "OWNER", "TABLE_NAME"},
    {"DBA_CONS_COLUMNS", "OWNER", "OWNER", "TABLE_NAME"},
    {"DBA_INDEXES", "OWNER", "TABLE_OWNER", "TABLE_NAME"},
    {"DBA_IND_COLUMNS", "INDEX_OWNER", "TABLE_OWNER", "TABLE_NAME"},
    {"DBA_IND_EXPRESSIONS", "INDEX_OWNER", "TABLE_OWNER", "TABLE_NAME"},
    {"DBA_SEQUENCES", "SEQUENCE_OWNER", "SEQUENCE_OWNER", "SEQUENCE_NAME"},
    {"DBA_SYNONYMS", "OWNER", "OWNER", "SYNONYM_NAME"},
    {"DBA_SOURCE", "OWNER", "OWNER", "NAME"},
    {"DBA_ERRORS", "OWNER", "OWNER", "NAME"},
    {"DBA_DEPENDENCIES", "OWNER", "OWNER", "NAME"},
    {"DBA_TRIGGERS", "OWNER", "TABLE_OWNER", "TABLE_NAME"},
    {"DBA_TYPES", "OWNER", "OWNER", "TYPE_NAME"},
    {"DBA_TYPE_ATTRS", "OWNER", "OWNER", "TYPE_NAME"},
    {"DBA_TYPE_METHODS", "OWNER", "OWNER", "TYPE_NAME"},
    {"DBA_COLL_TYPES", "OWNER", "OWNER", "TYPE_NAME"},
    {"DBA_ARGUMENTS", "OWNER", "OWNER", "COALESCE(PACKAGE_NAME, OBJECT_NAME)"},
    {"DBA_NESTED_TABLES", "OWNER", "OWNER", "TABLE_NAME"},
    {"DBA_LOBS", "OWNER", "OWNER", "TABLE_NAME"},
    {"DBA_VARRAYS", "OWNER", "OWNER", "PARENT_TABLE_NAME"},
    {"DBA_REFS", "OWNER", "OWNER", "TABLE_NAME"},
    {"DBA_DB_LINKS", "OWNER", "OWNER", "DB_LINK"},
    {"DBA_DIRECTORIES", "OWNER", "OWNER", "DIRECTORY_NAME"},
    {"DBA_LIBRARIES", "OWNER", "OWNER", "LIBRARY_NAME"},
    {"DBA_CLUSTERS", "OWNER", "OWNER", "CLUSTER_NAME"},
    {"DBA_CLU_COLUMNS", "OWNER", "OWNER", "CLUSTER_NAME"},
    {"DBA_QUEUES", "OWNER", "OWNER", "NAME"},
    {"DBA_CATALOG", "OWNER", "OWNER", "TABLE_NAME"},
    {"DBA_CONTEXT", "SCHEMA", "SCHEMA", "NAMESPACE"},
    {"DBA_DIMENSIONS", "OWNER", "OWNER", "DIMENSION_NAME"},
    {"DBA_DIM_LEVELS", "OWNER", "OWNER", "DIMENSION_NAME"},
    {"DBA_DIM_HIERARCHIES", "OWNER", "OWNER", "DIMENSION_NAME"},
    {"DBA_DIM_LEVEL_KEY", "OWNER", "OWNER", "DIMENSION_NAME"},
    {"DBA_INDEXTYPES", "OWNER", "OWNER", "INDEXTYPE_NAME"},
    {"DBA_INDEXTYPE_OPERATORS", "OWNER", "OWNER", "INDEXTYPE_NAME"},
    {"DBA_OPERATORS", "OWNER", "OWNER", "OPERATOR_NAME"},
    {"DBA_OPBINDINGS", "OWNER", "OWNER", "OPERATOR_NAME"},
    {"DBA_OPARGUMENTS", "OWNER", "OWNER", "OPERATOR_NAME"},
    {"DBA_OUTLINES", "OWNER", "OWNER", "NAME"},
    {"DBA_OUTLINE_HINTS", "OWNER", "OWNER", "NAME"},
    {"DBA_PART_TABLES", "OWNER", "OWNER", "TABLE_NAME"},
    {"DBA_TAB_PARTITIONS", "TABLE_OWNER", "TABLE_OWNER", "TABLE_NAME"},
    {"DBA_IND_PARTITIONS", "INDEX_OWNER", "INDEX_OWNER", "INDEX_NAME"},
    {"DBA_QUEUE_TABLES", "OWNER", "OWNER", "QUEUE_TABLE"},
    {"DBA_SNAPSHOTS", "OWNER", "OWNER", "NAME"},
    {"DBA_SNAPSHOT_LOGS", "LOG_OWNER", "LOG_OWNER", "MASTER"},
    {"DBA_TIMESERIES_GROUPS", "OWNER", "OWNER", "GROUP_NAME"},
    {"DBA_TRIGGER_COLS", "TRIGGER_OWNER", "TABLE_OWNER", "TABLE_NAME"},
    {"DBA_OBJECT_SIZE", "OWNER", "OWNER", "NAME"},
    {"DBA_PART_KEY_COLUMNS", "OWNER", "OWNER", "NAME"},
    {"DBA_METHOD_PARAMS", "OWNER", "OWNER", "TYPE_NAME"},
    {"DBA_METHOD_RESULTS", "OWNER", "OWNER", "TYPE_NAME"},
    {"DBA_DIM_CHILD_OF", "OWNER", "OWNER", "DIMENSION_NAME"},
    {"DBA_REFRESH", "ROWNER", "ROWNER", "RNAME"},
    {"DBA_REFRESH_CHILDREN", "ROWNER", "ROWNER", "RNAME"},
    {"DBA_REGISTERED_SNAPSHOTS", "OWNER", "OWNER", "NAME"},
    {"DBA_ASSOCIATIONS", "OBJECT_OWNER", "OBJECT_OWNER", "OBJECT_NAME"},
};

// Views of the SYS side that only a catalog role may read.
constexpr const char* kRestricted[] = {
    "DBA_USERS", "DBA_ROLES", "DBA_ROLE_PRIVS", "DBA_SYS_PRIVS", "DBA_TAB_PRIVS", "DBA_PROFILES", "DBA_TS_QUOTAS",
    "DBA_TABLESPACES", "DBA_DATA_FILES", "DBA_FREE_SPACE", "DBA_SEGMENTS", "DBA_EXTENTS", "DBA_ROLLBACK_SEGS",
    "DBA_AUDIT_TRAIL", "DBA_STMT_AUDIT_OPTS", "DBA_PRIV_AUDIT_OPTS", "DBA_OBJ_AUDIT_OPTS", "DBA_JOBS",
    "DBA_COL_PRIVS", "DBA_RSRC_PLANS",
    "DBA_RSRC_PLAN_DIRECTIVES", "DBA_RSRC_CONSUMER_GROUPS", "DBA_RSRC_CONSUMER_GROUP_PRIVS",
    "DBA_FREE_SPACE_COALESCED", "DBA_JOBS_RUNNING", "DBA_ANALYZE_OBJECTS", "DBA_CARTRIDGES",
    "DBA_CARTRIDGE_COMPONENTS",
};

// Other SYS views with the public synonym they are known by.
struct Fixed {
  const char* name;
  const char* synonym;
  bool restricted;
};
constexpr Fixed kFixed[] = {
    {"V_$VERSION", "V$VERSION", false},       {"V_$PWFILE_USERS", "V$PWFILE_USERS", true},
    {"V_$PARAMETER", "V$PARAMETER", true},   {"V_$DATABASE", "V$DATABASE", true},
    {"V_$INSTANCE", "V$INSTANCE", true},     {"V_$OPTION", "V$OPTION", false},
    {"V_$SQLAREA", "V$SQLAREA", true},       {"V_$SQLTEXT", "V$SQLTEXT", true},
    {"V_$SYSSTAT", "V$SYSSTAT", true},       {"V_$SGA", "V$SGA", true},
    {"V_$TRANSACTION", "V$TRANSACTION", true}, {"V_$LOCKED_OBJECT", "V$LOCKED_OBJECT", true},
    {"V_$SESSION", "V$SESSION", true},       {"X$KSPPI", "", true},
    {"X$KSPPCV", "", true},                  {"GLOBAL_NAME", "GLOBAL_NAME", false},
    {"DUAL", "DUAL", false},                 {"DICTIONARY", "DICTIONARY", false},
    {"DICT_COLUMNS", "DICT_COLUMNS", false}, {"AUDIT_ACTIONS", "AUDIT_ACTIONS", false},
    {"DBMS_ALERT_INFO", "", true},           {"DBMS_LOCK_ALLOCATED", "", true},
    {"RESOURCE_COST", "RESOURCE_COST", false},
    {"TRUSTED_SERVERS", "TRUSTED_SERVERS", false}, {"TS_PITR_CHECK", "TS_PITR_CHECK", true},
    {"TS_PITR_OBJECTS_TO_BE_DROPPED", "TS_PITR_OBJECTS_TO_BE_DROPPED", true}, {"JAVASNM", "JAVASNM", false},
    {"NLS_DATABASE_PARAMETERS", "NLS_DATABASE_PARAMETERS", false},
};

// Hand-written ALL_/USER_ views whose columns differ from their DBA_ view.
constexpr const char* kCustomViews[][2] = {
    {"ALL_USERS", "SELECT USERNAME, USER_ID, CREATED FROM \"SYS.DBA_USERS\""},
    {"USER_USERS",
     "SELECT USERNAME, USER_ID, ACCOUNT_STATUS, LOCK_DATE, EXPIRY_DATE, DEFAULT_TABLESPACE, TEMPORARY_TABLESPACE, "
     "CREATED, INITIAL_RSRC_CONSUMER_GROUP, EXTERNAL_NAME FROM \"SYS.DBA_USERS\" WHERE USERNAME = ocisim_user()"},
    {"USER_ROLE_PRIVS",
     "SELECT GRANTEE AS USERNAME, GRANTED_ROLE, ADMIN_OPTION, DEFAULT_ROLE, 'NO' AS OS_GRANTED FROM "
     "\"SYS.DBA_ROLE_PRIVS\" WHERE GRANTEE IN (ocisim_user(), 'PUBLIC')"},
    {"ROLE_ROLE_PRIVS",
     "SELECT GRANTEE AS ROLE, GRANTED_ROLE, ADMIN_OPTION FROM \"SYS.DBA_ROLE_PRIVS\" WHERE GRANTEE IN (SELECT ROLE "
     "FROM \"SYS.DBA_ROLES\") AND ocisim_is_grantee(GRANTEE)"},
    // System privileges of the roles the session holds, as ROLE_ROLE_PRIVS.
    {"ROLE_SYS_PRIVS",
     "SELECT GRANTEE AS ROLE, PRIVILEGE, ADMIN_OPTION FROM \"SYS.DBA_SYS_PRIVS\" WHERE GRANTEE IN (SELECT ROLE FROM "
     "\"SYS.DBA_ROLES\") AND ocisim_is_grantee(GRANTEE)"},
    {"USER_SYS_PRIVS",
     "SELECT GRANTEE AS USERNAME, PRIVILEGE, ADMIN_OPTION FROM \"SYS.DBA_SYS_PRIVS\" WHERE GRANTEE IN (ocisim_user(), "
     "'PUBLIC')"},
    {"ALL_TAB_PRIVS",
     "SELECT GRANTOR, GRANTEE, OWNER AS TABLE_SCHEMA, TABLE_NAME, PRIVILEGE, GRANTABLE, HIERARCHY FROM "
     "\"SYS.DBA_TAB_PRIVS\" WHERE ocisim_is_grantee(GRANTEE) OR OWNER = ocisim_user() OR GRANTOR = ocisim_user()"},
    {"USER_TAB_PRIVS",
     "SELECT GRANTEE, OWNER, TABLE_NAME, GRANTOR, PRIVILEGE, GRANTABLE, HIERARCHY FROM \"SYS.DBA_TAB_PRIVS\" WHERE "
     "GRANTEE = ocisim_user() OR OWNER = ocisim_user() OR GRANTOR = ocisim_user()"},
    {"USER_TABLESPACES", "SELECT * FROM \"SYS.DBA_TABLESPACES\""},
    {"ALL_COL_PRIVS",
     "SELECT GRANTOR, GRANTEE, OWNER AS TABLE_SCHEMA, TABLE_NAME, COLUMN_NAME, PRIVILEGE, GRANTABLE FROM "
     "\"SYS.DBA_COL_PRIVS\" WHERE ocisim_is_grantee(GRANTEE) OR OWNER = ocisim_user() OR GRANTOR = ocisim_user()"},
    {"USER_COL_PRIVS",
     "SELECT GRANTEE, OWNER, TABLE_NAME, COLUMN_NAME, GRANTOR, PRIVILEGE, GRANTABLE FROM \"SYS.DBA_COL_PRIVS\" WHERE "
     "GRANTEE = ocisim_user() OR OWNER = ocisim_user() OR GRANTOR = ocisim_user()"},
    {"USER_TS_QUOTAS",
     "SELECT TABLESPACE_NAME, BYTES, MAX_BYTES, BLOCKS, MAX_BLOCKS FROM \"SYS.DBA_TS_QUOTAS\" WHERE USERNAME = "
     "ocisim_user()"},
};

bool EndsWith(const std::string& s, const char* tail) {
  size_t n = std::char_traits<char>::length(tail);
  return s.size() >= n && s.compare(s.size() - n, n, tail) == 0;
}

std::string UpperTrim(std::string s) {
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.pop_back();
  size_t b = 0;
  while (b < s.size() && std::isspace(static_cast<unsigned char>(s[b]))) ++b;
  s = s.substr(b);
  for (auto& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

// Splits a SQL*Plus-style script: ';' ends a SQL statement, a line holding only
// '/' ends a PL/SQL unit or block.
std::vector<std::string> SplitScript(const std::string& script) {
  std::vector<std::string> out;
  std::istringstream in(script);
  std::string line, current;
  bool plsql = false;
  while (std::getline(in, line)) {
    std::string u = UpperTrim(line);
    if (current.empty()) {
      if (u.empty() || u.rfind("--", 0) == 0 || u.rfind("REM ", 0) == 0) continue;
      std::string head = u;
      if (head.rfind("CREATE OR REPLACE ", 0) == 0) head = "CREATE " + head.substr(18);
      plsql = head.rfind("BEGIN", 0) == 0 || head.rfind("DECLARE", 0) == 0 ||
              head.rfind("CREATE PROCEDURE", 0) == 0 || head.rfind("CREATE FUNCTION", 0) == 0 ||
              head.rfind("CREATE PACKAGE", 0) == 0 || head.rfind("CREATE TRIGGER", 0) == 0 ||
              head.rfind("CREATE TYPE", 0) == 0;
    }
    if (u == "/") {
      if (!current.empty()) out.push_back(current);
      current.clear();
      continue;
    }
    if (!plsql && EndsWith(u, ";")) {
      std::string l = line;
      while (!l.empty() && l.back() != ';') l.pop_back();
      l.pop_back();
      current += l;
      out.push_back(current);
      current.clear();
      continue;
    }
    current += line + "\n";
  }
  if (!UpperTrim(current).empty()) out.push_back(current);
  return out;
}

void PublishDictionary(sqlite3* db) {
  for (const auto& f : kFamilies) PublishDictionaryView(db, f.dba, f.owner_col, f.vis_owner, f.vis_name);
  for (const char* r : kRestricted) PublishSysObject(db, r, r, true);
  for (const auto& f : kFixed) PublishSysObject(db, f.name, f.synonym, f.restricted);
  // Every other instance view SYS.V_$X is known as V$X to catalog readers.
  std::vector<std::string> instance_views;
  {
    Query q(db, "SELECT substr(name, 5) FROM sqlite_master WHERE name LIKE 'SYS.V\\_$%' ESCAPE '\\'");
    while (q.Step()) instance_views.push_back(q.Text(0));
  }
  for (const auto& v : instance_views)
    if (!ObjectExists(db, "SYS", v)) PublishSysObject(db, v, "V$" + v.substr(3), true);
  for (const auto& v : kCustomViews) {
    ExecSql(db, "CREATE VIEW " + SqliteName("SYS", v[0]) + " AS " + v[1]);
    PublishSysObject(db, v[0], v[0], false);
  }
  AddObject(db, "SYSTEM", "HELP", "TABLE");
  Query g(db, "INSERT INTO \"SYS.DBA_TAB_PRIVS\" VALUES ('PUBLIC', 'SYSTEM', 'HELP', 'SYSTEM', 'SELECT', 'NO', 'NO')");
  g.Run();
  // The packages the plugin calls exist as objects.
  for (const char* p : {"DBMS_OUTPUT", "DBMS_UTILITY", "DBMS_TRANSACTION", "DBMS_JOB", "DBMS_ALERT", "DBMS_LOCK"}) {
    AddObject(db, "SYS", p, "PACKAGE");
    AddObject(db, "SYS", p, "PACKAGE BODY");
    AddObject(db, "PUBLIC", p, "SYNONYM");
    Query s(db, "INSERT INTO \"SYS.DBA_SYNONYMS\" VALUES ('PUBLIC', ?, 'SYS', ?, NULL)");
    s.Bind(1, std::string(p)).Bind(2, std::string(p)).Run();
    Query e(db, "INSERT INTO \"SYS.DBA_TAB_PRIVS\" VALUES ('PUBLIC', 'SYS', ?, 'SYS', 'EXECUTE', 'NO', 'NO')");
    e.Bind(1, std::string(p)).Run();
  }
  // Dictionary listing: every published view.
  ExecSql(db, "INSERT INTO \"SYS.DICTIONARY\" SELECT SYNONYM_NAME, NULL FROM \"SYS.DBA_SYNONYMS\" WHERE OWNER = "
              "'PUBLIC' AND TABLE_OWNER = 'SYS' ORDER BY 1");
  ExecSql(db, "INSERT INTO \"SYS.DICT_COLUMNS\" SELECT D.TABLE_NAME, P.name, NULL FROM \"SYS.DICTIONARY\" D, "
              "\"SYS.DBA_SYNONYMS\" S, pragma_table_info('SYS.' || S.TABLE_NAME) P WHERE S.OWNER = 'PUBLIC' AND "
              "S.SYNONYM_NAME = D.TABLE_NAME AND S.TABLE_NAME NOT IN ('V_$SESSION')");
  // Dictionary objects that exist only as rows.
  ExecSql(db, "INSERT INTO \"SYS.DBA_OBJECTS\" (OWNER, OBJECT_NAME, OBJECT_ID, OBJECT_TYPE, STATUS, TEMPORARY, "
              "GENERATED, SECONDARY) SELECT OWNER, DB_LINK, 100000 + rowid, 'DATABASE LINK', 'VALID', 'N', 'N', 'N' "
              "FROM \"SYS.DBA_DB_LINKS\"");
  ExecSql(db, "INSERT INTO \"SYS.DBA_OBJECTS\" (OWNER, OBJECT_NAME, OBJECT_ID, OBJECT_TYPE, STATUS, TEMPORARY, "
              "GENERATED, SECONDARY) SELECT OWNER, DIRECTORY_NAME, 100100 + rowid, 'DIRECTORY', 'VALID', 'N', 'N', "
              "'N' FROM \"SYS.DBA_DIRECTORIES\"");
  ExecSql(db, "INSERT INTO \"SYS.DBA_OBJECTS\" (OWNER, OBJECT_NAME, OBJECT_ID, OBJECT_TYPE, STATUS, TEMPORARY, "
              "GENERATED, SECONDARY) SELECT OWNER, LIBRARY_NAME, 100200 + rowid, 'LIBRARY', STATUS, 'N', 'N', 'N' "
              "FROM \"SYS.DBA_LIBRARIES\"");
}

void WriteSettings(sqlite3* db, const std::string& version) {
  const Banner* b = &kBanners[0];
  for (const auto& x : kBanners)
    if (version == x.key) b = &x;
  std::string banner;
  for (const char* l : b->lines) {
    banner += (banner.empty() ? "" : "\n") + std::string(l);
    Query v(db, "INSERT INTO \"SYS.V_$VERSION\" VALUES (?)");
    v.Bind(1, std::string(l)).Run();
  }
  for (auto [name, value] : {std::pair<const char*, std::string>{"BANNER", banner}, {"VERSION", b->version},
                             {"COMPATIBLE", b->compatible}, {"PORT_STRING", b->port}, {"VERSION_KEY", b->key}}) {
    Query s(db, "INSERT INTO ocisim_settings VALUES (?, ?)");
    s.Bind(1, std::string(name)).Bind(2, value).Run();
  }
  Query i(db, "UPDATE \"SYS.V_$INSTANCE\" SET VERSION = ?");
  i.Bind(1, std::string(b->version)).Run();
}

// Runs one demo script statement by statement; a failure names the
// statement by its number within the script.
void RunDemoScript(ServerSession& s, const char* script) {
  int n = 0;
  for (const auto& stmt : SplitScript(script)) {
    ++n;
    try {
      Cursor c(s);
      c.Prepare(stmt);
      c.Execute({});
      while (c.IsQuery() && c.Fetch()) {
      }
    } catch (const OraFailure& e) {
      ThrowOraText(e.code, std::string(e.what()) + "\n(demo seed statement " + std::to_string(n) + ": " +
                               stmt.substr(0, 200) + ")");
    }
  }
}

}  // namespace

void BuildDemoDatabase(const std::string& path, const std::string& version) {
  auto s = ServerSession::OpenForBuild(path);
  sqlite3* db = s->db();
  ExecSql(db, "BEGIN");
  ExecSql(db, kSeedDictionarySql);
  ExecSql(db, kSeedSystemSql);
  ExecSql(db, kSeedInstanceSql);
  {
    // Dates relative to today follow SYSDATE, so a fixed OCISIM_SYSDATE
    // gives the same database every day.
    std::string live = kSeedInstanceLiveSql;
    const std::string today = "'" + Now() + "'";
    const std::string now = "'now', 'localtime'";
    for (std::size_t at = live.find(now); at != std::string::npos; at = live.find(now, at + today.size()))
      live.replace(at, now.size(), today);
    ExecSql(db, live);
  }
  WriteSettings(db, version);
  PublishDictionary(db);
  ExecSql(db, "COMMIT");
  s->catalog().Refresh();

  // The demo schemas, through the engine as SYS.
  for (const char* script : {kSeedDemoSql, kSeedDemoTablesSql, kSeedDemoCodeSql, kSeedDemoTextsSql}) RunDemoScript(*s, script);
  RunDemoScript(*s, kSeedDemoMixedCaseSql);
  RunDemoScript(*s, kSeedMixedCaseNamesSql);
  RunDemoScript(*s, kSeedMixedCaseKindsSql);
  RunDemoScript(*s, kSeedHostileNamesSql);
  s->Commit();
  // Fixed dates: everything was created on the same (fictional) morning.
  ExecSql(db, "BEGIN");
  ExecSql(db, kSeedDemoDictionarySql);
  ExecSql(db, kSeedDemoTablesDictionarySql);
  ExecSql(db, kSeedDemoCodeDictionarySql);
  ExecSql(db, kSeedDemoMixedCaseDictionarySql);
  // Before the storage demo, which gives every table and cluster its segment.
  ExecSql(db, kSeedMixedCaseKindsDictionarySql);
  ExecSql(db, kSeedStorageDemoSql);
  ExecSql(db, kSeedUsersDemoSql);
  ExecSql(db, kSeedMixedCaseNamesDictionarySql);
  ExecSql(db, kSeedHostileNamesDictionarySql);
  // The compiler already recorded some of the dependencies the seed lists.
  ExecSql(db, "DELETE FROM \"SYS.DBA_DEPENDENCIES\" WHERE rowid NOT IN (SELECT MIN(rowid) FROM "
              "\"SYS.DBA_DEPENDENCIES\" GROUP BY OWNER, NAME, TYPE, REFERENCED_OWNER, REFERENCED_NAME, "
              "REFERENCED_TYPE)");
  // After the demo rows, which may already comment some dictionary columns.
  ExecSql(db, kSeedDictionaryCommentsSql);
  ExecSql(db, "UPDATE \"SYS.DBA_OBJECTS\" SET CREATED = CASE WHEN OWNER IN ('SYS', 'SYSTEM', 'PUBLIC') THEN "
              "'2003-03-15 09:00:00' ELSE '2003-03-15 10:00:00' END, LAST_DDL_TIME = CASE WHEN OWNER IN ('SYS', "
              "'SYSTEM', 'PUBLIC') THEN '2003-03-15 09:00:00' ELSE '2003-03-15 10:00:00' END");
  ExecSql(db, "UPDATE \"SYS.DBA_OBJECTS\" SET TIMESTAMP = REPLACE(LAST_DDL_TIME, ' ', ':')");
  ExecSql(db, "UPDATE \"SYS.DBA_CONSTRAINTS\" SET LAST_CHANGE = '2003-03-15 10:00:00'");
  // A few objects were changed later, so listings show a modification time.
  ExecSql(db, "UPDATE \"SYS.DBA_OBJECTS\" SET LAST_DDL_TIME = '2003-04-01 16:30:00', TIMESTAMP = "
              "'2003-04-01:16:30:00' WHERE OWNER = 'SCOTT' AND OBJECT_NAME IN ('EMP', 'EMP_PKG')");
  ExecSql(db, "COMMIT");
  ExecSql(db, "PRAGMA journal_mode=WAL");
}

}  // namespace ocisim

namespace ocisim {

namespace {

// The user that owns the synthetic objects.
void AddSynthUser(sqlite3* db) {
  ExecSql(db, "INSERT INTO \"SYS.DBA_USERS\" VALUES ('SYNTH', 70, ocisim_password_hash('SYNTH', 'synth'), 'OPEN', "
              "NULL, NULL, 'USERS', 'TEMP', '2003-03-15 10:00:00', 'DEFAULT', 'DEFAULT_CONSUMER_GROUP', NULL)");
  ExecSql(db, "INSERT INTO \"SYS.DBA_ROLE_PRIVS\" VALUES ('SYNTH', 'CONNECT', 'NO', 'YES'), ('SYNTH', 'RESOURCE', "
              "'NO', 'YES')");
}

}  // namespace

void BuildSyntheticDatabase(const std::string& path, int tables, int columns) {
  BuildDemoDatabase(path, "9i");
  auto s = ServerSession::OpenForBuild(path);
  sqlite3* db = s->db();
  ExecSql(db, "BEGIN");
  AddSynthUser(db);
  for (int t = 1; t <= tables; ++t) {
    char name[16];
    std::snprintf(name, sizeof name, "T%05d", t);
    std::vector<DictColumn> cols;
    std::string sql = "CREATE TABLE " + SqliteName("SYNTH", name) + " (";
    for (int k = 1; k <= columns; ++k) {
      char col[16];
      std::snprintf(col, sizeof col, "C%03d", k);
      DictColumn d = k == 1 ? ColumnFromDecl(col, "NUMBER", 0, 10, 0, false)
                            : ColumnFromDecl(col, k % 3 == 0 ? "DATE" : "VARCHAR2", 30, 0, -1, true);
      sql += (k > 1 ? ", " : "") + QuoteIdent(col) + " " + d.declared;
      cols.push_back(d);
    }
    ExecSql(db, sql + ")");
    AddObject(db, "SYNTH", name, "TABLE");
    Query row(db, "INSERT INTO \"SYS.DBA_ALL_TABLES\" (OWNER, TABLE_NAME, TABLESPACE_NAME, LOGGING, PARTITIONED, "
                  "TEMPORARY, SECONDARY, NESTED) VALUES ('SYNTH', ?, 'USERS', 'YES', 'NO', 'N', 'N', 'NO')");
    row.Bind(1, std::string(name)).Run();
    SetColumns(db, "SYNTH", name, cols);
  }
  ExecSql(db, "COMMIT");
}

// Only dictionary rows: listing a hundred thousand objects needs no real
// tables behind them, and inserting rows takes seconds where CREATE TABLE
// would take minutes.  Every seventh object was changed after it was made.
void BuildSyntheticObjectsDatabase(const std::string& path, int objects) {
  BuildDemoDatabase(path, "9i");
  auto s = ServerSession::OpenForBuild(path);
  sqlite3* db = s->db();
  ExecSql(db, "BEGIN");
  AddSynthUser(db);
  Query ins(db,
            "WITH RECURSIVE N(I) AS (SELECT 1 UNION ALL SELECT I + 1 FROM N WHERE I < ?) "
            "INSERT INTO \"SYS.DBA_OBJECTS\" (OWNER, OBJECT_NAME, SUBOBJECT_NAME, OBJECT_ID, DATA_OBJECT_ID, "
            "OBJECT_TYPE, CREATED, LAST_DDL_TIME, TIMESTAMP, STATUS, TEMPORARY, GENERATED, SECONDARY) "
            "SELECT 'SYNTH', printf('SYNTHOBJ_%06d', I), NULL, 2000000 + I, 2000000 + I, 'TABLE', "
            "'2003-03-15 10:00:00', CASE WHEN I % 7 = 0 THEN '2003-04-01 16:30:00' ELSE '2003-03-15 10:00:00' END, "
            "CASE WHEN I % 7 = 0 THEN '2003-04-01:16:30:00' ELSE '2003-03-15:10:00:00' END, 'VALID', 'N', 'N', 'N' "
            "FROM N");
  ins.Bind(1, static_cast<int64_t>(objects)).Run();
  ExecSql(db, "COMMIT");
}

}  // namespace ocisim
