// Test fixture for the translator; see test_db.h.
#include "test_db.h"

namespace ocisql_test {

TestDb::TestDb() {
  sqlite3_open(":memory:", &db);
  ocisim::sql::RegisterFunctions(db);
  Exec(R"(
    CREATE TABLE "SYS.DUAL" (DUMMY VARCHAR2);
    INSERT INTO "SYS.DUAL" VALUES ('X');
    CREATE TABLE "SCOTT.DEPT" (DEPTNO NUMBER PRIMARY KEY, DNAME VARCHAR2, LOC VARCHAR2);
    INSERT INTO "SCOTT.DEPT" VALUES (10,'ACCOUNTING','NEW YORK'),(20,'RESEARCH','DALLAS'),
      (30,'SALES','CHICAGO'),(40,'OPERATIONS','BOSTON');
    CREATE TABLE "SCOTT.EMP" (EMPNO NUMBER PRIMARY KEY, ENAME VARCHAR2, JOB VARCHAR2, MGR NUMBER,
      HIREDATE DATE, SAL NUMBER, COMM NUMBER, DEPTNO NUMBER);
    INSERT INTO "SCOTT.EMP" VALUES
      (7839,'KING','PRESIDENT',NULL,'1981-11-17 00:00:00',5000,NULL,10),
      (7566,'JONES','MANAGER',7839,'1981-04-02 00:00:00',2975,NULL,20),
      (7698,'BLAKE','MANAGER',7839,'1981-05-01 00:00:00',2850,NULL,30),
      (7782,'CLARK','MANAGER',7839,'1981-06-09 00:00:00',2450,NULL,10),
      (7788,'SCOTT','ANALYST',7566,'1987-04-19 00:00:00',3000,NULL,20),
      (7902,'FORD','ANALYST',7566,'1981-12-03 00:00:00',3000,NULL,20),
      (7369,'SMITH','CLERK',7902,'1980-12-17 00:00:00',800,NULL,20),
      (7499,'ALLEN','SALESMAN',7698,'1981-02-20 00:00:00',1600,300,30),
      (7521,'WARD','SALESMAN',7698,'1981-02-22 00:00:00',1250,500,30),
      (7654,'MARTIN','SALESMAN',7698,'1981-09-28 00:00:00',1250,1400,30),
      (7844,'TURNER','SALESMAN',7698,'1981-09-08 00:00:00',1500,0,30),
      (7876,'ADAMS','CLERK',7788,'1987-05-23 00:00:00',1100,NULL,20),
      (7900,'JAMES','CLERK',7698,'1981-12-03 00:00:00',950,NULL,30),
      (7934,'MILLER','CLERK',7782,'1982-01-23 00:00:00',1300,NULL,10);
    CREATE TABLE "SCOTT.SALGRADE" (GRADE NUMBER, LOSAL NUMBER, HISAL NUMBER);
    INSERT INTO "SCOTT.SALGRADE" VALUES (1,700,1200),(2,1201,1400),(3,1401,2000),(4,2001,3000),(5,3001,9999);
    CREATE TABLE "SCOTT.PLAN_TABLE" (STATEMENT_ID VARCHAR2, OPERATION VARCHAR2, OPTIONS VARCHAR2,
      OBJECT_NAME VARCHAR2, ID NUMBER, PARENT_ID NUMBER, POSITION NUMBER);
    INSERT INTO "SCOTT.PLAN_TABLE" VALUES
      ('P','SELECT STATEMENT',NULL,NULL,0,NULL,1),
      ('P','HASH JOIN',NULL,NULL,1,0,1),
      ('P','TABLE ACCESS','FULL','DEPT',2,1,1),
      ('P','TABLE ACCESS','FULL','EMP',3,1,2),
      ('Q','SELECT STATEMENT',NULL,NULL,0,NULL,1);
    CREATE TABLE "SCOTT.LOOP" (ID NUMBER, PARENT_ID NUMBER);
    INSERT INTO "SCOTT.LOOP" VALUES (1, 3), (2, 1), (3, 2);
  )");
  catalog.Add("SYS", "DUAL");
  catalog.objects["PUBLIC.DUAL"] = catalog.objects["SYS.DUAL"];
  for (const char* t : {"DEPT", "EMP", "SALGRADE", "PLAN_TABLE", "LOOP"}) catalog.Add("SCOTT", t);
  catalog.Add("SCOTT", "EMP_SEQ", "SEQUENCE");
}

void TestDb::Exec(const std::string& sql) {
  char* err = nullptr;
  if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &err) != SQLITE_OK) {
    std::string msg = err ? err : "?";
    sqlite3_free(err);
    throw std::runtime_error("setup failed: " + msg);
  }
}

Rows TestDb::Query(const std::string& oracleSql, const std::map<std::string, std::string>& binds) {
  auto t = ocisim::sql::Translate(oracleSql, catalog);
  sqlite3_stmt* stmt = nullptr;
  if (sqlite3_prepare_v2(db, t.sqlite.c_str(), -1, &stmt, nullptr) != SQLITE_OK) {
    auto e = ocisim::sql::OraErrorFromSqlite(sqlite3_errcode(db), sqlite3_errmsg(db));
    throw e;
  }
  for (size_t i = 0; i < t.binds.size(); ++i) {
    auto it = binds.find(t.binds[i]);
    if (it == binds.end()) {
      sqlite3_finalize(stmt);
      throw ocisim::sql::MakeOraError(1008);
    }
    // The engine binds "" as NULL, as Oracle stores it.
    if (it->second.empty()) sqlite3_bind_null(stmt, static_cast<int>(i + 1));
    else sqlite3_bind_text(stmt, static_cast<int>(i + 1), it->second.c_str(), -1, SQLITE_TRANSIENT);
  }
  Rows rows;
  int rc;
  while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
    std::vector<std::string> row;
    for (int c = 0; c < sqlite3_column_count(stmt); ++c) {
      auto* text = sqlite3_column_text(stmt, c);
      row.push_back(text ? reinterpret_cast<const char*>(text) : "<null>");
    }
    rows.push_back(std::move(row));
  }
  if (rc != SQLITE_DONE) {
    auto e = ocisim::sql::OraErrorFromSqlite(rc, sqlite3_errmsg(db));
    sqlite3_finalize(stmt);
    throw e;
  }
  sqlite3_finalize(stmt);
  return rows;
}

int TestDb::ErrorCode(const std::string& oracleSql) {
  try {
    Query(oracleSql);
  } catch (const OraError& e) {
    return e.code;
  }
  return 0;
}

}  // namespace ocisql_test
