// Statement-level translation: Oracle's error numbers for malformed SQL,
// bind variable order, select-list naming, and the parsed structures of DDL,
// session statements and PL/SQL blocks.
#include "test_db.h"

using namespace ocisql_test;
using namespace ocisim::sql;

namespace {

int TranslateError(const std::string& sql, const Catalog& catalog) {
  try {
    Translate(sql, catalog);
  } catch (const OraError& e) {
    return e.code;
  }
  return 0;
}

}  // namespace

TEST(Statements, ParseErrorsCarryOracleNumbers) {
  TestDb db;
  struct Case {
    const char* sql;
    int code;
  };
  const Case cases[] = {
      {"SELEC * FROM DUAL", 900},
      {"", 900},
      {"SELECT FROM EMP", 936},
      {"SELECT * FORM EMP", 923},
      {"SELECT ENAME JOB SAL FROM EMP", 923},
      {"SELECT * FROM EMP WHERE", 936},
      {"SELECT (1 FROM DUAL", 907},
      {"SELECT 'abc FROM DUAL", 1756},
      {"SELECT * FROM EMP E X", 933},
      {"SELECT * FROM EMP;;", 933},
      {"SELECT * FROM NO_SUCH_TABLE", 942},
      {"SELECT NO_SUCH_FN(1) FROM DUAL", 904},
      {"SELECT SUBSTR('a') FROM DUAL", 909},
      {"SELECT * FROM EMP WHERE ENAME NOT = 'X'", 920},
      {"SELECT * FROM", 903},
      {"INSERT EMP VALUES (1)", 925},
      {"INSERT INTO EMP (EMPNO, ENAME) VALUES (1)", 947},
      {"INSERT INTO EMP (EMPNO) VALUES (1, 2)", 913},
      {"UPDATE EMP ENAME = 'X'", 971},
      {"CREATE WIDGET X", 901},
      {"DROP WIDGET X", 950},
      {"CREATE TABLE T (A VARCHAR2)", 906},
      {"SELECT EMP_SEQ.NEXTVAL FROM DUAL", 0},
      {"SELECT DEPT.NEXTVAL FROM DUAL", 2289},
      {"WITH X AS (SELECT 1 FROM DUAL) SELECT * FROM X", 3001},
      {"ASSOCIATE STATISTICS WITH TYPES \"SCOTT\".\"T\" USING \"SCOTT\".\"STATS_T\"", 3001},
      {"DISASSOCIATE STATISTICS FROM TABLES \"SCOTT\".\"T\"", 905},
      {"SELECT * FROM EMP@REMOTE", 2019},
      {"SELECT \"\" FROM DUAL", 1741},
      {"SELECT 1 FROM DUAL WHERE 1 = ANY (1, 2)", 3001},
  };
  for (const auto& c : cases) EXPECT_EQ(TranslateError(c.sql, db.catalog), c.code) << c.sql;
  // Absurdly deep input is refused, not a stack overflow.
  EXPECT_EQ(TranslateError("SELECT " + std::string(100000, '(') + "1" + std::string(100000, ')') + " FROM DUAL", db.catalog), 3001);
  std::string chain = "SELECT 'a'";
  for (int i = 0; i < 5000; ++i) chain += " || 'a'";
  EXPECT_EQ(TranslateError(chain + " FROM DUAL", db.catalog), 3001);
  std::string minus;
  for (int i = 0; i < 50000; ++i) minus += "- ";
  EXPECT_EQ(TranslateError("SELECT " + minus + "1 FROM DUAL", db.catalog), 3001);
  // Moderate nesting is fine.
  EXPECT_EQ(TranslateError("SELECT " + std::string(30, '(') + "1" + std::string(30, ')') + " FROM DUAL", db.catalog), 0);
  // A column SQLite cannot find is reported as Oracle does.
  try {
    db.Query("SELECT NOSUCH FROM EMP");
    FAIL();
  } catch (const OraError& e) {
    EXPECT_STREQ(e.what(), "ORA-00904: \"NOSUCH\": invalid identifier");
  }
  EXPECT_EQ(db.ErrorCode("SELECT E.NOSUCH FROM EMP E"), 904);
  EXPECT_EQ(db.ErrorCode("SELECT ENAME FROM EMP ORDER BY 3"), 1785);
  EXPECT_EQ(db.ErrorCode("SELECT ENAME FROM EMP WHERE COUNT(*) > 1"), 934);
}

TEST(Statements, TerminatorsAndCommentsAndNames) {
  TestDb db;
  EXPECT_EQ(db.Query("select * from dual;")[0][0], "X");
  EXPECT_EQ(db.Query("SELECT /*+ RULE */ DUMMY -- trailing comment\n FROM DUAL\n/\n")[0][0], "X");
  EXPECT_EQ(db.Query("SELECT 'it''s' FROM SYS.DUAL")[0][0], "it's");
  EXPECT_EQ(db.Query("SELECT q'[a'b]' FROM DUAL")[0][0], "a'b");
  EXPECT_EQ(db.Query("SELECT COUNT(*) FROM SCOTT.EMP E WHERE SCOTT.E.EMPNO > 0 AND E.EMPNO > 0")[0][0], "14");
  EXPECT_EQ(db.Query("SELECT \"ENAME\" FROM \"EMP\" WHERE EMPNO = 7839")[0][0], "KING");
  // Quoted names keep their case, so a lower-case table name is another table.
  EXPECT_EQ(db.ErrorCode("SELECT * FROM \"emp\""), 942);
}

TEST(Statements, BindsInOrderOfTheSqliteText) {
  TestDb db;
  auto t = Translate("SELECT * FROM EMP WHERE ENAME = :NAME OR JOB = :job OR MGR = :NAME OR DEPTNO = :1", db.catalog);
  EXPECT_EQ(t.binds, (std::vector<std::string>{"NAME", "JOB", "NAME", "1"}));
  EXPECT_EQ(std::count(t.sqlite.begin(), t.sqlite.end(), '?'), 4);
  EXPECT_EQ(db.Query("SELECT ENAME FROM EMP WHERE ENAME = :N OR EMPNO = :E ORDER BY 1", {{"N", "KING"}, {"E", "7369"}}).size(), 2u);
  // Binds in a hierarchical query appear once per use in the generated SQL.
  t = Translate("SELECT ENAME FROM EMP START WITH ENAME = :ROOT CONNECT BY PRIOR EMPNO = MGR AND JOB <> :SKIP", db.catalog);
  EXPECT_EQ(t.binds, (std::vector<std::string>{"ROOT", "SKIP"}));
  EXPECT_EQ(db.Query("SELECT ENAME FROM EMP START WITH ENAME = :ROOT CONNECT BY PRIOR EMPNO = MGR AND JOB <> :SKIP",
                     {{"ROOT", "JONES"}, {"SKIP", "CLERK"}})
                .size(),
            3u);
  t = Translate("UPDATE EMP SET SAL = :S WHERE EMPNO = :E", db.catalog);
  EXPECT_EQ(t.binds, (std::vector<std::string>{"S", "E"}));
  EXPECT_EQ(t.kind, StmtKind::Update);
  EXPECT_EQ(t.targetName, "EMP");
}

TEST(Statements, SelectListNamesAsOracleGivesThem) {
  TestDb db;
  auto t = Translate("SELECT LENGTH( ename ), e.ename, ename AS \"Name\", sal + 1, 'abc', e.*, SYSDATE, "
                     "TO_CHAR(hiredate, 'YYYY') yr FROM EMP e",
                     db.catalog);
  std::vector<std::string> names;
  for (const auto& c : t.columns) names.push_back(c.name);
  EXPECT_EQ(names, (std::vector<std::string>{"LENGTH(ENAME)", "ENAME", "Name", "SAL+1", "'ABC'", "*", "SYSDATE", "YR"}));
  EXPECT_EQ(Translate("SELECT COUNT ( * ) FROM EMP", db.catalog).columns[0].name, "COUNT(*)");
  EXPECT_EQ(t.columns[0].typeHint, "NUMBER");
  EXPECT_EQ(t.columns[1].typeHint, "");
  EXPECT_TRUE(t.columns[5].star);
  EXPECT_EQ(t.columns[6].typeHint, "DATE");
  EXPECT_EQ(t.columns[7].typeHint, "VARCHAR2");
  // SQLite reports the same names, so describe can read them from the statement.
  sqlite3_stmt* stmt = nullptr;
  auto q = Translate("SELECT COUNT(*), D.DNAME, 1 + 1 FROM DEPT D GROUP BY D.DNAME", db.catalog);
  ASSERT_EQ(sqlite3_prepare_v2(db.db, q.sqlite.c_str(), -1, &stmt, nullptr), SQLITE_OK);
  EXPECT_STREQ(sqlite3_column_name(stmt, 0), "COUNT(*)");
  EXPECT_STREQ(sqlite3_column_name(stmt, 1), "DNAME");
  EXPECT_STREQ(sqlite3_column_name(stmt, 2), "1+1");
  sqlite3_finalize(stmt);
  // Stars expand: result columns line up with the SQLite statement's.
  auto resultNames = [&](const std::string& sql) {
    auto tr = Translate(sql, db.catalog);
    sqlite3_stmt* st = nullptr;
    EXPECT_EQ(sqlite3_prepare_v2(db.db, tr.sqlite.c_str(), -1, &st, nullptr), SQLITE_OK);
    std::string out;
    for (const auto& c : ResultColumns(tr, st)) out += c.name + (c.typeHint.empty() ? "" : ":" + c.typeHint) + " ";
    sqlite3_finalize(st);
    return out;
  };
  EXPECT_EQ(resultNames("SELECT ROWNUM N, D.* FROM DEPT D"), "N:NUMBER DEPTNO DNAME LOC ");
  EXPECT_EQ(resultNames("SELECT D.*, SYSDATE NOW FROM DEPT D"), "DEPTNO DNAME LOC NOW:DATE ");
  EXPECT_EQ(resultNames("SELECT D.*, 1 ONE, S.*, 'x' X FROM DEPT D, SALGRADE S"),
            "DEPTNO DNAME LOC ONE:NUMBER GRADE LOSAL HISAL X:VARCHAR2 ");
  EXPECT_EQ(resultNames("SELECT S.*, D.* FROM SALGRADE S, DEPT D"), "GRADE LOSAL HISAL DEPTNO DNAME LOC ");
}

TEST(Statements, DmlRunsWithOracleSemantics) {
  TestDb db;
  auto run = [&](const std::string& sql) {
    auto t = Translate(sql, db.catalog);
    db.Exec(t.sqlite);
    return t;
  };
  auto t = run("INSERT INTO SCOTT.DEPT (DEPTNO, DNAME, LOC) VALUES (50, 'NEW', '')");
  EXPECT_EQ(t.kind, StmtKind::Insert);
  EXPECT_EQ(db.Query("SELECT NVL(LOC, 'none') FROM DEPT WHERE DEPTNO = 50")[0][0], "none");
  run("UPDATE DEPT D SET D.LOC = 'X' || D.DNAME WHERE D.DEPTNO = 50");
  EXPECT_EQ(db.Query("SELECT LOC FROM DEPT WHERE DEPTNO = 50")[0][0], "XNEW");
  run("INSERT INTO DEPT SELECT DEPTNO + 100, DNAME, LOC FROM DEPT WHERE DEPTNO < 30");
  EXPECT_EQ(db.Query("SELECT COUNT(*) FROM DEPT")[0][0], "7");
  run("DELETE DEPT WHERE DEPTNO > 100");
  run("DELETE FROM DEPT X WHERE X.DEPTNO = 50");
  EXPECT_EQ(db.Query("SELECT COUNT(*) FROM DEPT")[0][0], "4");
}

TEST(Statements, CreateTableParsesColumnsAndConstraints) {
  TestDb db;
  auto t = Translate(
      "CREATE TABLE scott.orders (\n"
      "  id NUMBER(10) CONSTRAINT orders_pk PRIMARY KEY,\n"
      "  code varchar2(20 BYTE) NOT NULL UNIQUE,\n"
      "  amount number(12,2) DEFAULT 0 CHECK (amount >= 0),\n"
      "  created DATE DEFAULT SYSDATE,\n"
      "  deptno NUMBER REFERENCES dept (deptno) ON DELETE CASCADE,\n"
      "  note LONG, flag CHAR, ratio FLOAT, n INTEGER,\n"
      "  CONSTRAINT orders_fk FOREIGN KEY (deptno) REFERENCES scott.dept,\n"
      "  CONSTRAINT orders_uk UNIQUE (code, deptno) USING INDEX TABLESPACE users\n"
      ") TABLESPACE users STORAGE (INITIAL 64K NEXT 64K) PCTFREE 10",
      db.catalog);
  ASSERT_EQ(t.kind, StmtKind::CreateTable);
  const auto& ct = *t.createTable;
  EXPECT_EQ(ct.owner, "SCOTT");
  EXPECT_EQ(ct.name, "ORDERS");
  ASSERT_EQ(ct.columns.size(), 9u);
  EXPECT_EQ(ct.columns[0].type, "NUMBER");
  EXPECT_EQ(ct.columns[0].precision, 10);
  EXPECT_EQ(ct.columns[0].scale, 0);
  EXPECT_FALSE(ct.columns[0].nullable);
  EXPECT_EQ(ct.columns[1].type, "VARCHAR2");
  EXPECT_EQ(ct.columns[1].length, 20);
  EXPECT_EQ(ct.columns[2].scale, 2);
  EXPECT_EQ(ct.columns[2].defaultText, "0");
  EXPECT_EQ(ct.columns[3].defaultSqlite, "ora_sysdate()");
  EXPECT_EQ(ct.columns[5].type, "LONG");
  EXPECT_EQ(ct.columns[6].length, 1);
  EXPECT_EQ(ct.columns[8].scale, 0);
  EXPECT_EQ(ct.tablespace, "USERS");
  ASSERT_EQ(ct.constraints.size(), 7u);
  EXPECT_EQ(ct.constraints[0].kind, ConstraintKind::PrimaryKey);
  EXPECT_EQ(ct.constraints[0].name, "ORDERS_PK");
  EXPECT_EQ(ct.constraints[1].kind, ConstraintKind::NotNull);
  EXPECT_EQ(ct.constraints[2].kind, ConstraintKind::Unique);
  EXPECT_EQ(ct.constraints[3].kind, ConstraintKind::Check);
  EXPECT_EQ(ct.constraints[3].checkText, "amount >= 0");
  EXPECT_EQ(ct.constraints[4].kind, ConstraintKind::ForeignKey);
  EXPECT_EQ(ct.constraints[4].refTable, "DEPT");
  EXPECT_EQ(ct.constraints[4].refColumns, (std::vector<std::string>{"DEPTNO"}));
  EXPECT_TRUE(ct.constraints[4].onDeleteCascade);
  EXPECT_EQ(ct.constraints[5].refOwner, "SCOTT");
  EXPECT_TRUE(ct.constraints[5].refColumns.empty());
  EXPECT_EQ(ct.constraints[6].columns, (std::vector<std::string>{"CODE", "DEPTNO"}));

  auto plan = Translate("create table PLAN_TABLE (\nstatement_id varchar2(30),\ntimestamp date,\nid numeric,\nother long\n)", db.catalog);
  EXPECT_EQ(plan.createTable->columns[2].type, "NUMBER");
  auto part = Translate("CREATE TABLE P (A NUMBER) PARTITION BY RANGE (A) (PARTITION P1 VALUES LESS THAN (10), PARTITION P2 VALUES LESS THAN (MAXVALUE))", db.catalog);
  EXPECT_TRUE(part.createTable->partitioned);
  auto ctas = Translate("CREATE TABLE E2 AS SELECT EMPNO, ENAME FROM EMP WHERE 1 = 0", db.catalog);
  EXPECT_EQ(ctas.createTable->asSelectColumns.size(), 2u);
  EXPECT_FALSE(ctas.createTable->asSelectSqlite.empty());
}

TEST(Statements, ViewsIndexesSequencesSynonyms) {
  TestDb db;
  auto v = Translate("CREATE OR REPLACE VIEW emp_v (n, d) AS SELECT ename, deptno FROM emp WITH READ ONLY", db.catalog);
  ASSERT_EQ(v.kind, StmtKind::CreateView);
  EXPECT_TRUE(v.createView->orReplace);
  EXPECT_EQ(v.createView->text, "SELECT ename, deptno FROM emp");
  EXPECT_EQ(v.createView->columns[0].name, "N");
  db.Exec("CREATE VIEW \"SCOTT.EMP_V\" AS " + v.createView->sqlite);
  db.catalog.Add("SCOTT", "EMP_V", "VIEW");
  EXPECT_EQ(db.Query("SELECT COUNT(*) FROM EMP_V WHERE DEPTNO = 10")[0][0], "3");

  auto i = Translate("CREATE UNIQUE INDEX emp_ix ON emp (UPPER(ename), deptno DESC) TABLESPACE users", db.catalog);
  EXPECT_TRUE(i.createIndex->unique);
  EXPECT_TRUE(i.createIndex->functionBased);
  EXPECT_EQ(i.createIndex->columns, (std::vector<std::string>{"UPPER(ENAME)", "DEPTNO"}));
  EXPECT_EQ(i.createIndex->tableSqlite, "\"SCOTT.EMP\"");

  auto s = Translate("CREATE SEQUENCE s1 START WITH 10 INCREMENT BY -2 MAXVALUE 100 NOCACHE CYCLE", db.catalog);
  EXPECT_EQ(s.createSequence->startWith, 10);
  EXPECT_EQ(s.createSequence->incrementBy, -2);
  EXPECT_EQ(s.createSequence->maxValue, 100);
  EXPECT_EQ(s.createSequence->cache, 0);
  EXPECT_TRUE(s.createSequence->cycle);

  auto y = Translate("CREATE PUBLIC SYNONYM emp FOR scott.emp", db.catalog);
  EXPECT_EQ(y.createSynonym->owner, "PUBLIC");
  EXPECT_EQ(y.createSynonym->targetOwner, "SCOTT");
}

TEST(Statements, ProgramUnitSourceKeepsTheTextFromTheUnitKeyword) {
  TestDb db;
  auto t = Translate("CREATE OR REPLACE PROCEDURE scott.p (x IN NUMBER) IS\r\nBEGIN\n  NULL; -- nothing\nEND;\n/\n", db.catalog);
  ASSERT_EQ(t.kind, StmtKind::CreateProgramUnit);
  const auto& u = *t.programUnit;
  EXPECT_EQ(u.type, "PROCEDURE");
  EXPECT_EQ(u.owner, "SCOTT");
  EXPECT_EQ(u.name, "P");
  EXPECT_TRUE(u.orReplace);
  EXPECT_EQ(u.lines, (std::vector<std::string>{"PROCEDURE scott.p (x IN NUMBER) IS\n", "BEGIN\n", "  NULL; -- nothing\n", "END;"}));
  auto b = Translate("create package body pk as end pk;", db.catalog);
  EXPECT_EQ(b.programUnit->type, "PACKAGE BODY");
  EXPECT_EQ(b.programUnit->lines, (std::vector<std::string>{"package body pk as end pk;"}));
  auto trg = Translate("CREATE TRIGGER trg BEFORE INSERT OR UPDATE ON scott.emp FOR EACH ROW BEGIN NULL; END;", db.catalog);
  EXPECT_EQ(trg.programUnit->triggerTable, "EMP");
  // A body that does not even tokenize is still stored; the engine's compile step reports it.
  auto broken = Translate("CREATE FUNCTION f RETURN NUMBER IS\nBEGIN\n  RETURN 'abc;\nEND;", db.catalog);
  EXPECT_EQ(broken.programUnit->name, "F");
  EXPECT_EQ(broken.programUnit->lines.size(), 4u);
  auto c = Translate("ALTER PACKAGE pk COMPILE BODY", db.catalog);
  EXPECT_EQ(c.kind, StmtKind::AlterCompile);
  EXPECT_EQ(c.alterCompile->type, "PACKAGE BODY");
}

TEST(Statements, DropTruncateCommentGrant) {
  TestDb db;
  auto d = Translate("DROP TABLE \"SCOTT\".\"EMP\" CASCADE CONSTRAINTS", db.catalog);
  EXPECT_EQ(d.drop->type, "TABLE");
  EXPECT_EQ(d.drop->owner, "SCOTT");
  EXPECT_TRUE(d.drop->cascadeConstraints);
  d = Translate("DROP PUBLIC SYNONYM \"EMP\"", db.catalog);
  EXPECT_EQ(d.drop->type, "PUBLIC SYNONYM");
  EXPECT_EQ(d.drop->owner, "PUBLIC");
  d = Translate("DROP USER \"BOB\" CASCADE", db.catalog);
  EXPECT_TRUE(d.drop->cascade);
  EXPECT_EQ(d.drop->owner, "");
  d = Translate("DROP TYPE \"SCOTT\".\"T\" FORCE", db.catalog);
  EXPECT_TRUE(d.drop->force);
  d = Translate("DROP TABLESPACE \"TS\" INCLUDING CONTENTS CASCADE CONSTRAINTS", db.catalog);
  EXPECT_EQ(d.drop->type, "TABLESPACE");
  d = Translate("DROP SNAPSHOT LOG ON \"SCOTT\".\"EMP\"", db.catalog);
  EXPECT_EQ(d.drop->type, "SNAPSHOT LOG ON");
  d = Translate("DROP DATABASE LINK \"REMOTE.WORLD\"", db.catalog);
  EXPECT_EQ(d.drop->name, "REMOTE.WORLD");
  d = Translate("DROP PACKAGE BODY pk", db.catalog);
  EXPECT_EQ(d.drop->type, "PACKAGE BODY");
  EXPECT_EQ(d.drop->owner, "SCOTT");

  auto tr = Translate("TRUNCATE TABLE \"SCOTT\".\"EMP\" DROP STORAGE", db.catalog);
  EXPECT_EQ(tr.truncate->sqliteName, "\"SCOTT.EMP\"");
  EXPECT_EQ(TranslateError("TRUNCATE TABLE NOPE", db.catalog), 942);

  auto c = Translate("COMMENT ON COLUMN SCOTT.EMP.ENAME IS 'Employee''s name'", db.catalog);
  EXPECT_TRUE(c.comment->onColumn);
  EXPECT_EQ(c.comment->column, "ENAME");
  EXPECT_EQ(c.comment->text, "Employee's name");
  c = Translate("COMMENT ON TABLE EMP IS ''", db.catalog);
  EXPECT_FALSE(c.comment->text.has_value());

  auto g = Translate("GRANT SELECT, UPDATE (SAL) ON EMP TO BOB, PUBLIC WITH GRANT OPTION", db.catalog);
  EXPECT_EQ(g.grant->privileges, (std::vector<std::string>{"SELECT", "UPDATE"}));
  EXPECT_EQ(g.grant->grantees, (std::vector<std::string>{"BOB", "PUBLIC"}));
  EXPECT_TRUE(g.grant->withGrantOption);
  g = Translate("GRANT CREATE SESSION, SELECT_CATALOG_ROLE TO BOB", db.catalog);
  EXPECT_FALSE(g.grant->onObject);
  EXPECT_EQ(g.grant->privileges[0], "CREATE SESSION");
  auto r = Translate("REVOKE ALL PRIVILEGES ON SCOTT.EMP FROM BOB", db.catalog);
  EXPECT_EQ(r.kind, StmtKind::Revoke);
  EXPECT_EQ(r.grant->privileges[0], "ALL");

  auto a = Translate("ALTER TABLE \"SCOTT\".\"EMP\" SET UNUSED COLUMN \"COMM\" CASCADE CONSTRAINTS", db.catalog);
  EXPECT_EQ(a.alterTable->action, AlterTableInfo::Action::SetUnused);
  EXPECT_EQ(a.alterTable->names, (std::vector<std::string>{"COMM"}));
  a = Translate("ALTER TABLE \"SCOTT\".\"EMP\" DROP PRIMARY KEY CASCADE", db.catalog);
  EXPECT_TRUE(a.alterTable->primaryKey);
  a = Translate("ALTER TABLE EMP ADD (BONUS NUMBER(7,2), CONSTRAINT B_CK CHECK (BONUS > 0))", db.catalog);
  EXPECT_EQ(a.alterTable->columns.size(), 1u);
  EXPECT_EQ(a.alterTable->constraints.size(), 1u);
}

TEST(Statements, SessionTransactionAndExplain) {
  TestDb db;
  EXPECT_EQ(Translate("COMMIT", db.catalog).kind, StmtKind::Commit);
  EXPECT_EQ(Translate("rollback work;", db.catalog).kind, StmtKind::Rollback);
  auto s = Translate("ALTER SESSION SET NLS_DATE_FORMAT = 'YYYY-MM-DD'", db.catalog);
  EXPECT_EQ(s.alterSession->parameter, "NLS_DATE_FORMAT");
  EXPECT_EQ(s.alterSession->value, "YYYY-MM-DD");
  auto k = Translate("ALTER SYSTEM KILL SESSION '12,345' IMMEDIATE", db.catalog);
  EXPECT_EQ(k.killSession->sid, 12);
  EXPECT_EQ(k.killSession->serial, 345);
  EXPECT_EQ(TranslateError("ALTER SYSTEM KILL SESSION '12'", db.catalog), 26);
  auto e = Translate("EXPLAIN PLAN SET STATEMENT_ID = 'FAR SQL PLAN' INTO \"PLAN_TABLE\" FOR\nSELECT * FROM EMP WHERE DEPTNO = :D", db.catalog);
  ASSERT_EQ(e.kind, StmtKind::ExplainPlan);
  EXPECT_EQ(e.explain->statementId, "FAR SQL PLAN");
  EXPECT_EQ(e.explain->intoSqlite, "\"SCOTT.PLAN_TABLE\"");
  EXPECT_EQ(e.explain->innerText, "SELECT * FROM EMP WHERE DEPTNO = :D");
  EXPECT_EQ(e.explain->objects.at(0).name, "EMP");
  EXPECT_EQ(e.binds, (std::vector<std::string>{"D"}));
  db.catalog.objects.erase("SCOTT.PLAN_TABLE");
  EXPECT_EQ(TranslateError("EXPLAIN PLAN FOR SELECT * FROM DUAL", db.catalog), 2404);
}

TEST(Statements, PlsqlBlocksBecomeSteps) {
  TestDb db;
  auto t = Translate("BEGIN DBMS_UTILITY.DB_VERSION (:VERSION, :COMPATIBILITY); END;", db.catalog);
  ASSERT_EQ(t.plsql.size(), 1u);
  EXPECT_EQ(t.plsql[0].kind, PlsqlStep::Kind::DbVersion);
  EXPECT_EQ(t.plsql[0].outBinds, (std::vector<std::string>{"VERSION", "COMPATIBILITY"}));
  t = Translate("BEGIN :PORT_STRING := DBMS_UTILITY.PORT_STRING; END;", db.catalog);
  EXPECT_EQ(t.plsql[0].kind, PlsqlStep::Kind::PortString);
  EXPECT_EQ(t.plsql[0].outBinds, (std::vector<std::string>{"PORT_STRING"}));
  t = Translate("begin dbms_output.enable(100000); dbms_output.get_line(:line, :status); dbms_output.disable; "
                ":t := dbms_transaction.local_transaction_id; dbms_job.remove(42); end;",
                db.catalog);
  ASSERT_EQ(t.plsql.size(), 5u);
  EXPECT_EQ(t.plsql[0].number, 100000);
  EXPECT_EQ(t.plsql[1].outBinds, (std::vector<std::string>{"LINE", "STATUS"}));
  EXPECT_EQ(t.plsql[2].kind, PlsqlStep::Kind::Disable);
  EXPECT_EQ(t.plsql[3].kind, PlsqlStep::Kind::LocalTransactionId);
  auto owned = Translate("begin :id := sys.dbms_transaction.local_transaction_id; sys.dbms_output.put_line('x'); end;", db.catalog);
  EXPECT_EQ(owned.plsql[0].kind, PlsqlStep::Kind::LocalTransactionId);
  EXPECT_EQ(owned.plsql[1].kind, PlsqlStep::Kind::PutLine);
  EXPECT_EQ(t.plsql[4].number, 42);
  t = Translate("BEGIN\n  DBMS_OUTPUT.PUT_LINE('n=' || :N);\n  UPDATE EMP SET SAL = SAL + 1 WHERE EMPNO = :E;\n  COMMIT;\nEND;\n/", db.catalog);
  ASSERT_EQ(t.plsql.size(), 3u);
  EXPECT_EQ(t.plsql[0].exprBinds, (std::vector<std::string>{"N"}));
  auto put = Translate("BEGIN DBMS_OUTPUT.PUT_LINE(10 / 4); DBMS_OUTPUT.PUT_LINE(DATE '2026-01-05'); END;", db.catalog);
  for (auto [step, expected] : {std::pair{0, "2.5"}, std::pair{1, "05-JAN-26"}}) {
    sqlite3_stmt* st = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(db.db, ("SELECT " + put.plsql[step].exprSqlite).c_str(), -1, &st, nullptr), SQLITE_OK);
    ASSERT_EQ(sqlite3_step(st), SQLITE_ROW);
    EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)), expected);
    sqlite3_finalize(st);
  }
  EXPECT_EQ(t.plsql[1].kind, PlsqlStep::Kind::Dml);
  EXPECT_EQ(t.plsql[1].dml->binds, (std::vector<std::string>{"E"}));
  EXPECT_EQ(t.plsql[2].kind, PlsqlStep::Kind::Commit);
  try {
    Translate("BEGIN\n  NO_SUCH.PROC(1);\nEND;", db.catalog);
    FAIL();
  } catch (const OraError& e) {
    EXPECT_EQ(e.code, 6550);
    EXPECT_STREQ(e.what(),
                 "ORA-06550: line 2, column 3:\nPLS-00201: identifier 'NO_SUCH.PROC' must be declared\n"
                 "ORA-06550: line 2, column 3:\nPL/SQL: Statement ignored");
  }
  EXPECT_EQ(TranslateError("BEGIN DBMS_OUTPUT.PUT_LINE('x') END;", db.catalog), 6550);
  EXPECT_EQ(TranslateError("BEGIN DBMS_OUTPUT.PUT_LINE('a', 'b'); END;", db.catalog), 6550);
  // Declared variables are the block's own binds; exception handlers are not taken.
  Translation declared = Translate("DECLARE x NUMBER := 1; BEGIN IF x > 0 THEN NULL; ELSE NULL; END IF; END;", db.catalog);
  EXPECT_EQ(declared.plsqlLocals, std::vector<std::string>{"X"});
  EXPECT_TRUE(declared.binds.empty());
  EXPECT_EQ(TranslateError("BEGIN NULL; EXCEPTION WHEN OTHERS THEN NULL; END;", db.catalog), 3001);
}
