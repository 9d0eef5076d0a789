// The data dictionary as the plugin reads it: Oracle 9i column order, DDL
// reflected in the views, the compile step's errors, privileges of ALL_ and
// DBA_ views, and the demo content the listings rely on.
#include "oci_fixture.h"

#include <gtest/gtest.h>

using namespace ocitest;

namespace {

std::vector<std::string> Column(const Rows& rows, size_t i = 0) {
  std::vector<std::string> out;
  for (const auto& r : rows) out.push_back(r.at(i));
  return out;
}

TEST(Dictionary, ColumnsInOracleOrder) {
  Conn c("system", "manager");
  ASSERT_TRUE(c.ok());
  Rows cols = MustRun(c, "SELECT * FROM ALL_TAB_COLUMNS WHERE OWNER = 'SCOTT' AND TABLE_NAME = 'DEPT' ORDER BY COLUMN_ID");
  ASSERT_EQ(cols.size(), 3u);
  EXPECT_EQ(cols[0].size(), 30u) << "ALL_TAB_COLUMNS has Oracle 9i's 30 columns";
  EXPECT_EQ((std::vector<std::string>{cols[0][0], cols[0][1], cols[0][2], cols[0][3], cols[0][6], cols[0][7],
                                      cols[0][8], cols[0][9], cols[0][10]}),
            (std::vector<std::string>{"SCOTT", "DEPT", "DEPTNO", "NUMBER", "22", "2", "0", "N", "1"}));
  EXPECT_EQ(cols[1][2], "DNAME");
  EXPECT_EQ(cols[1][6], "14");
  Rows objs = MustRun(c, "SELECT * FROM DBA_OBJECTS WHERE OWNER = 'SCOTT' AND OBJECT_NAME = 'EMP'");
  ASSERT_EQ(objs.size(), 1u);
  EXPECT_EQ(objs[0].size(), 13u);
  EXPECT_EQ(objs[0][5], "TABLE");
  EXPECT_EQ(objs[0][6], "15-MAR-03") << "fixed creation dates";
  EXPECT_EQ(objs[0][9], "VALID");
}

TEST(Dictionary, DdlIsReflected) {
  Conn c("scott", "tiger");
  ASSERT_TRUE(c.ok());
  RunSql(c, "DROP TABLE T_DDL");
  MustRun(c, "CREATE TABLE T_DDL (ID NUMBER(5) PRIMARY KEY, NAME VARCHAR2(20) NOT NULL, NOTE VARCHAR2(100))");
  EXPECT_EQ(Column(MustRun(c, "SELECT COLUMN_NAME FROM USER_TAB_COLUMNS WHERE TABLE_NAME = 'T_DDL' ORDER BY COLUMN_ID")),
            (std::vector<std::string>{"ID", "NAME", "NOTE"}));
  EXPECT_EQ(Column(MustRun(c, "SELECT CONSTRAINT_TYPE FROM USER_CONSTRAINTS WHERE TABLE_NAME = 'T_DDL' ORDER BY 1")),
            (std::vector<std::string>{"C", "P"}));
  EXPECT_EQ(MustRun(c, "SELECT COUNT(*) FROM USER_INDEXES WHERE TABLE_NAME = 'T_DDL'"), (Rows{{"1"}}));
  MustRun(c, "COMMENT ON TABLE T_DDL IS 'test table'");
  MustRun(c, "COMMENT ON COLUMN T_DDL.NAME IS 'the name'");
  EXPECT_EQ(MustRun(c, "SELECT COMMENTS FROM USER_TAB_COMMENTS WHERE TABLE_NAME = 'T_DDL'"), (Rows{{"test table"}}));
  EXPECT_EQ(MustRun(c, "SELECT COMMENTS FROM USER_COL_COMMENTS WHERE TABLE_NAME = 'T_DDL' AND COLUMN_NAME = 'NAME'"),
            (Rows{{"the name"}}));
  setenv("OCISIM_SYSDATE", "2024-01-02 03:04:05", 1);
  MustRun(c, "ALTER TABLE T_DDL ADD (EXTRA DATE)");
  unsetenv("OCISIM_SYSDATE");
  Rows times = MustRun(c, "SELECT CREATED, LAST_DDL_TIME FROM USER_OBJECTS WHERE OBJECT_NAME = 'T_DDL'");
  ASSERT_EQ(times.size(), 1u);
  EXPECT_NE(times[0][0], "02-JAN-24");
  EXPECT_EQ(times[0][1], "02-JAN-24") << "ALTER moves LAST_DDL_TIME";
  EXPECT_EQ(MustRun(c, "SELECT DATA_TYPE FROM USER_TAB_COLUMNS WHERE TABLE_NAME = 'T_DDL' AND COLUMN_NAME = 'EXTRA'"),
            (Rows{{"DATE"}}));
  MustRun(c, "CREATE VIEW V_DDL AS SELECT ID, NAME FROM T_DDL");
  EXPECT_EQ(MustRun(c, "SELECT TEXT FROM USER_VIEWS WHERE VIEW_NAME = 'V_DDL'"), (Rows{{"SELECT ID, NAME FROM T_DDL"}}));
  EXPECT_EQ(MustRun(c, "SELECT REFERENCED_NAME FROM USER_DEPENDENCIES WHERE NAME = 'V_DDL'"), (Rows{{"T_DDL"}}));
  Conn sales("sales", "sales");
  sb4 code = 0;
  RunSql(sales, "SELECT * FROM SCOTT.T_DDL", &code);
  EXPECT_EQ(code, 942);
  MustRun(c, "GRANT SELECT ON T_DDL TO SALES");  // seen by the open session at its next statement
  EXPECT_EQ(MustRun(sales, "SELECT TABLE_NAME FROM ALL_TABLES WHERE OWNER = 'SCOTT' AND TABLE_NAME = 'T_DDL'"),
            (Rows{{"T_DDL"}}));
  EXPECT_TRUE(MustRun(sales, "SELECT * FROM SCOTT.T_DDL").empty());
  RunSql(sales, "SELECT * FROM SCOTT.BONUS", &code);
  EXPECT_EQ(code, 942) << "not granted";
  EXPECT_TRUE(MustRun(sales, "SELECT * FROM ALL_TABLES WHERE OWNER = 'SCOTT' AND TABLE_NAME = 'BONUS'").empty());
  MustRun(c, "DROP VIEW V_DDL");
  MustRun(c, "DROP TABLE T_DDL");
  EXPECT_EQ(MustRun(c, "SELECT COUNT(*) FROM USER_OBJECTS WHERE OBJECT_NAME IN ('T_DDL', 'V_DDL')"), (Rows{{"0"}}));
  EXPECT_EQ(MustRun(c, "SELECT COUNT(*) FROM USER_TAB_COLUMNS WHERE TABLE_NAME = 'T_DDL'"), (Rows{{"0"}}));
  RunSql(c, "DROP TABLE T_DDL", &code);
  EXPECT_EQ(code, 942);
}

TEST(Dictionary, EveryColumnHasACommentRowThatFollowsDdl) {
  Conn c("scott", "tiger");
  ASSERT_TRUE(c.ok());
  RunSql(c, "DROP TABLE T_CMT");
  MustRun(c, "CREATE TABLE T_CMT (A NUMBER, B VARCHAR2(10), C DATE)");
  const std::string q = "SELECT COLUMN_NAME, NVL(COMMENTS, '-') FROM USER_COL_COMMENTS WHERE TABLE_NAME = 'T_CMT' "
                        "ORDER BY COLUMN_NAME";
  EXPECT_EQ(MustRun(c, q), (Rows{{"A", "-"}, {"B", "-"}, {"C", "-"}}));
  MustRun(c, "COMMENT ON COLUMN T_CMT.B IS 'bee'");
  MustRun(c, "ALTER TABLE T_CMT ADD (D NUMBER)");
  MustRun(c, "ALTER TABLE T_CMT DROP COLUMN A");
  MustRun(c, "ALTER TABLE T_CMT RENAME COLUMN B TO BB");
  EXPECT_EQ(MustRun(c, q), (Rows{{"BB", "bee"}, {"C", "-"}, {"D", "-"}}));
  // The column listing joins columns with their comments: nothing may drop out.
  Rows joined = MustRun(c, "SELECT T.COLUMN_NAME FROM USER_TAB_COLUMNS T, USER_COL_COMMENTS C WHERE T.TABLE_NAME = "
                           "'T_CMT' AND C.TABLE_NAME = T.TABLE_NAME AND C.COLUMN_NAME = T.COLUMN_NAME");
  EXPECT_EQ(joined.size(), 3u);
  MustRun(c, "DROP TABLE T_CMT");
  EXPECT_TRUE(MustRun(c, q).empty());
}

TEST(Dictionary, DictionaryViewsCarryTheirComments) {
  Conn dba("system", "manager");
  ASSERT_TRUE(dba.ok());
  EXPECT_EQ(MustRun(dba, "SELECT COMMENTS FROM DBA_COL_COMMENTS WHERE OWNER = 'SYS' AND TABLE_NAME = 'DBA_SEQUENCES' "
                         "AND COLUMN_NAME = 'LAST_NUMBER'"),
            (Rows{{"Last sequence number written to disk"}}));
  // One row per column, commented or not.
  EXPECT_EQ(MustRun(dba, "SELECT COUNT(*) FROM DBA_COL_COMMENTS WHERE OWNER = 'SYS' AND TABLE_NAME = 'DBA_QUEUES'"),
            MustRun(dba, "SELECT COUNT(*) FROM DBA_TAB_COLUMNS WHERE OWNER = 'SYS' AND TABLE_NAME = 'DBA_QUEUES'"));
  EXPECT_EQ(MustRun(dba, "SELECT COMMENTS FROM DICTIONARY WHERE TABLE_NAME = 'USER_SYNONYMS'"), (Rows{{"Synonyms"}}));
  Conn scott("scott", "tiger");
  ASSERT_TRUE(scott.ok());
  EXPECT_EQ(MustRun(scott, "SELECT COMMENTS FROM ALL_COL_COMMENTS WHERE OWNER = 'SYS' AND TABLE_NAME = 'ALL_SEQUENCES' "
                           "AND COLUMN_NAME = 'CYCLE_FLAG'"),
            (Rows{{"Does sequence wrap around on reaching limit?"}}));
  // The catalog role's views stay out of SCOTT's sight, comments included.
  EXPECT_TRUE(MustRun(scott, "SELECT * FROM ALL_COL_COMMENTS WHERE TABLE_NAME = 'DBA_QUEUES'").empty());
}

TEST(Dictionary, ProgramUnitsCompile) {
  Conn c("scott", "tiger");
  sb4 code = 0;
  std::string text;
  RunSql(c, "CREATE OR REPLACE PROCEDURE P_OK IS\nBEGIN\n  NULL;\nEND;", &code, &text);
  EXPECT_EQ(code, 0) << text;
  EXPECT_EQ(MustRun(c, "SELECT STATUS FROM USER_OBJECTS WHERE OBJECT_NAME = 'P_OK'"), (Rows{{"VALID"}}));
  EXPECT_EQ(MustRun(c, "SELECT COUNT(*) FROM USER_SOURCE WHERE NAME = 'P_OK'"), (Rows{{"4"}}));
  // A unit with errors is stored, INVALID, and answers with a warning.
  RunSql(c, "CREATE OR REPLACE PROCEDURE P_BAD IS\nBEGIN\n  IF (1 = 1 THEN NULL; END IF;\nEND;", &code, &text);
  EXPECT_EQ(code, 24344) << text;
  EXPECT_EQ(MustRun(c, "SELECT STATUS FROM USER_OBJECTS WHERE OBJECT_NAME = 'P_BAD'"), (Rows{{"INVALID"}}));
  Rows errs = MustRun(c, "SELECT LINE, POSITION, SUBSTR(TEXT, 1, 9) FROM USER_ERRORS WHERE NAME = 'P_BAD'");
  ASSERT_EQ(errs.size(), 1u);
  EXPECT_EQ(errs[0][2], "PLS-00103");
  RunSql(c, "CREATE OR REPLACE PROCEDURE P_BAD IS\nBEGIN\n  NULL;\nEND;", &code);
  EXPECT_EQ(code, 0);
  EXPECT_EQ(MustRun(c, "SELECT COUNT(*) FROM USER_ERRORS WHERE NAME = 'P_BAD'"), (Rows{{"0"}}));
  MustRun(c, "DROP PROCEDURE P_OK");
  MustRun(c, "DROP PROCEDURE P_BAD");
  RunSql(c, "DROP PROCEDURE P_OK", &code);
  EXPECT_EQ(code, 4043);
}

TEST(Dictionary, PrivilegesOfDictionaryViews) {
  Conn scott("scott", "tiger");
  Conn system("system", "manager");
  EXPECT_EQ(MustRun(scott, "SELECT COUNT(*) FROM USER_ROLE_PRIVS WHERE USERNAME = USER AND GRANTED_ROLE = "
                           "'SELECT_CATALOG_ROLE'"), (Rows{{"0"}}));
  EXPECT_EQ(MustRun(system, "SELECT COUNT(*) FROM USER_ROLE_PRIVS WHERE USERNAME = USER AND GRANTED_ROLE = "
                            "'SELECT_CATALOG_ROLE'"), (Rows{{"1"}}));
  for (const char* view : {"DBA_OBJECTS", "DBA_USERS", "V$PARAMETER", "V$SESSION", "SYS.X$KSPPI", "DBA_DATA_FILES"}) {
    sb4 code = 0;
    RunSql(scott, std::string("SELECT COUNT(*) FROM ") + view, &code);
    EXPECT_EQ(code, 942) << view;
    Rows r = MustRun(system, std::string("SELECT COUNT(*) FROM ") + view);
    ASSERT_EQ(r.size(), 1u);
    EXPECT_NE(r[0][0], "0") << view << " has demo content";
  }
  // ALL_ views show only what SCOTT owns or was granted.
  EXPECT_EQ(Column(MustRun(scott, "SELECT DISTINCT OWNER FROM ALL_TABLES WHERE OWNER IN ('SCOTT', 'SALES') ORDER BY 1")),
            (std::vector<std::string>{"SALES", "SCOTT"}));
  EXPECT_EQ(Column(MustRun(scott, "SELECT TABLE_NAME FROM ALL_TABLES WHERE OWNER = 'SALES'")),
            (std::vector<std::string>{"ORDERS"}));
  EXPECT_EQ(MustRun(scott, "SELECT COUNT(*) FROM ALL_USERS WHERE USERNAME = 'SYS'"), (Rows{{"1"}}));
  // Through a role: ADAMS holds SALES_CLERK, which may read SALES.CUSTOMERS.
  Conn adams("adams", "wood");
  EXPECT_EQ(Column(MustRun(adams, "SELECT TABLE_NAME FROM ALL_TABLES WHERE OWNER = 'SALES'")),
            (std::vector<std::string>{"CUSTOMERS"}));
  EXPECT_EQ(MustRun(adams, "SELECT COUNT(*) FROM SALES.CUSTOMERS"), (Rows{{"3"}}));
  sb4 code = 0;
  RunSql(adams, "DELETE FROM SALES.CUSTOMERS", &code);
  EXPECT_EQ(code, 1031) << "reading is not writing";
  RunSql(scott, "INSERT INTO SALES.ORDERS (ORDER_ID, CUSTOMER_ID, ORDER_DATE) VALUES (9, 1, SYSDATE)", &code);
  EXPECT_EQ(code, 0) << "granted INSERT";
  RunSql(scott, "UPDATE SALES.ORDERS SET TOTAL = 0", &code);
  EXPECT_EQ(code, 1031);
  OCITransRollback(scott.svc, scott.err, 0);
  // Through PUBLIC: everybody reads SCOTT.DEPT, also by its public synonym.
  EXPECT_EQ(MustRun(adams, "SELECT COUNT(*) FROM DEPT"), (Rows{{"4"}}));
  EXPECT_EQ(MustRun(scott, "SELECT * FROM GLOBAL_NAME"), (Rows{{"DEMO.WORLD"}}));
}

TEST(Dictionary, ExplainPlanFillsThePlanTable) {
  Conn c("system", "manager");
  MustRun(c, "DELETE FROM \"PLAN_TABLE\" WHERE STATEMENT_ID = 'FAR SQL PLAN'");
  MustRun(c, "EXPLAIN PLAN SET STATEMENT_ID = 'FAR SQL PLAN' INTO \"PLAN_TABLE\" FOR SELECT E.ENAME, D.DNAME FROM "
             "SCOTT.EMP E, SCOTT.DEPT D WHERE E.DEPTNO = D.DEPTNO");
  Rows plan = MustRun(c, "SELECT ID, PARENT_ID, OPERATION, OPTIONS, OBJECT_NAME FROM PLAN_TABLE WHERE STATEMENT_ID = "
                         "'FAR SQL PLAN' ORDER BY ID");
  // As the engine runs it: EMP scanned, DEPT found by its primary key for each row.
  ASSERT_EQ(plan.size(), 5u);
  EXPECT_EQ(plan[0][2], "SELECT STATEMENT");
  EXPECT_EQ(plan[1], (std::vector<std::string>{"1", "0", "NESTED LOOPS", "<null>", "<null>"}));
  EXPECT_EQ(plan[2], (std::vector<std::string>{"2", "1", "TABLE ACCESS", "FULL", "EMP"}));
  EXPECT_EQ(plan[3], (std::vector<std::string>{"3", "1", "TABLE ACCESS", "BY INDEX ROWID", "DEPT"}));
  EXPECT_EQ(plan[4], (std::vector<std::string>{"4", "3", "INDEX", "UNIQUE SCAN", "PK_DEPT"}));
  OCITransRollback(c.svc, c.err, 0);
}

}  // namespace

namespace {

// The statements the plugin runs right after logon, and a few catalogue texts
// that name unusual objects, as a DBA user and as SCOTT.
TEST(Dictionary, LogonProbesRun) {
  Conn system("system", "manager");
  Conn scott("scott", "tiger");
  for (Conn* c : {&system, &scott}) {
    EXPECT_EQ(MustRun(*c, "SELECT * FROM GLOBAL_NAME").size(), 1u);
    MustRun(*c, "SELECT LAST_ANALYZED FROM ALL_TABLES WHERE TABLE_NAME = 'ALL_TABLES'");
    EXPECT_EQ(MustRun(*c, "SELECT COUNT(*) FROM ALL_ALL_TABLES WHERE TABLE_NAME = 'ALL_TABLES'"), (Rows{{"0"}}));
    MustRun(*c, "SELECT INSERTABLE FROM ALL_UPDATABLE_COLUMNS WHERE ROWNUM < 2");
    MustRun(*c, "SELECT INDEX_TYPE FROM ALL_INDEXES WHERE ROWNUM < 2");
    MustRun(*c, "BEGIN DBMS_OUTPUT.ENABLE(100000); END;");
  }
  EXPECT_FALSE(MustRun(system, "SELECT * FROM V$VERSION").empty());
  // V$VERSION is readable by every user, as on the server.
  EXPECT_EQ(MustRun(scott, "SELECT BANNER FROM V$VERSION").size(), 5u);
  EXPECT_FALSE(MustRun(system, "SELECT P.*, DECODE (P.TYPE, 1, 'BOL', 2, 'STR', 3, 'INT', 4, 'FILE', 'N/A') AS "
                               "TYPE_NAME FROM V$PARAMETER P").empty());
  EXPECT_EQ(MustRun(system, "SELECT A.KSPPINM NAME, B.KSPPSTVL VALUE FROM SYS.X$KSPPI A, SYS.X$KSPPCV B WHERE "
                            "A.INDX = B.INDX AND A.KSPPINM LIKE '\\_%' ESCAPE '\\' ORDER BY 1").size(), 3u);
  MustRun(system, "SELECT * FROM SYS.DBMS_ALERT_INFO");
  // The cursor cache holds what the session ran, in 64-character pieces.
  const std::string longText = "SELECT OWNER, OBJECT_NAME, OBJECT_TYPE, STATUS, CREATED FROM ALL_OBJECTS WHERE OWNER = 'SCOTT'";
  MustRun(system, longText);
  Rows pieces = MustRun(system, "SELECT T.PIECE, T.SQL_TEXT FROM V$SQLTEXT T, V$SQLAREA A WHERE T.ADDRESS = A.ADDRESS "
                                "AND T.HASH_VALUE = A.HASH_VALUE AND A.SQL_TEXT = '" + std::string("SELECT OWNER, "
                                "OBJECT_NAME, OBJECT_TYPE, STATUS, CREATED FROM ALL_OBJECTS WHERE OWNER = ''SCOTT''") +
                                "' ORDER BY T.PIECE");
  ASSERT_EQ(pieces.size(), 2u);
  EXPECT_EQ(pieces[0][1] + pieces[1][1], longText);
  EXPECT_EQ(pieces[0][1].size(), 64u);
  for (const char* view : {"DBA_SEGMENTS", "DBA_TYPE_ATTRS", "DBA_COLL_TYPES", "DBA_CLUSTERS", "DBA_QUEUES",
                           "DBA_ARGUMENTS", "DBA_TRIGGERS", "DBA_SEQUENCES", "DBA_SYNONYMS", "DBA_DB_LINKS",
                           "DBA_LIBRARIES", "DBA_DIRECTORIES", "DBA_JOBS", "DBA_AUDIT_TRAIL", "DBA_ROLLBACK_SEGS",
                           "DBA_PROFILES", "DBA_TYPES", "DBA_LOBS"}) {
    Rows r = MustRun(system, std::string("SELECT COUNT(*) FROM ") + view);
    ASSERT_EQ(r.size(), 1u) << view;
    EXPECT_NE(r[0][0], "0") << view << " is empty in the demo";
  }
  EXPECT_EQ(MustRun(scott, "SELECT COUNT(*) FROM USER_ARGUMENTS WHERE PACKAGE_NAME = 'EMP_PKG' AND OBJECT_NAME = "
                           "'HIRE' AND OVERLOAD = '2'"), (Rows{{"3"}}));
}

}  // namespace

namespace {

TEST(Dictionary, SyntheticSchemaOnRequest) {
  Conn c("synth", "synth", "SYNTH_40_12");
  ASSERT_TRUE(c.ok()) << c.logon_text;
  EXPECT_EQ(MustRun(c, "SELECT COUNT(*) FROM USER_TABLES"), (Rows{{"40"}}));
  EXPECT_EQ(MustRun(c, "SELECT COUNT(*) FROM USER_TAB_COLUMNS WHERE TABLE_NAME = 'T00040'"), (Rows{{"12"}}));
  MustRun(c, "INSERT INTO T00007 (C001, C002) VALUES (1, 'x')");
  EXPECT_EQ(MustRun(c, "SELECT C001, C002, C003 FROM T00007"), (Rows{{"1", "x", "<null>"}}));
  Conn bad("synth", "synth", "SYNTH_0_5");
  EXPECT_EQ(bad.logon_code, 12154);
}

}  // namespace

namespace {

TEST(Dictionary, DropUserRoleProfileTablespace) {
  Conn c("system", "manager");
  sb4 code = 0;
  std::string text;
  RunSql(c, "DROP USER \"SALES\"", &code, &text);
  EXPECT_EQ(code, 1922) << text;
  RunSql(c, "DROP USER \"SALES\" CASCADE", &code, &text);
  EXPECT_EQ(code, 0) << text;
  EXPECT_EQ(MustRun(c, "SELECT COUNT(*) FROM DBA_OBJECTS WHERE OWNER = 'SALES'"), (Rows{{"0"}}));
  EXPECT_EQ(MustRun(c, "SELECT COUNT(*) FROM DBA_USERS WHERE USERNAME = 'SALES'"), (Rows{{"0"}}));
  RunSql(c, "SELECT * FROM SALES.ORDERS", &code);
  EXPECT_EQ(code, 942);
  Conn gone("sales", "sales");
  EXPECT_EQ(gone.logon_code, 1017);
  RunSql(c, "DROP ROLE \"SALES_CLERK\"", &code, &text);
  EXPECT_EQ(code, 0) << text;
  RunSql(c, "DROP ROLE \"SALES_CLERK\"", &code);
  EXPECT_EQ(code, 1919);
  RunSql(c, "DROP PROFILE \"APP_PROFILE\" CASCADE", &code, &text);
  EXPECT_EQ(code, 0) << text;
  RunSql(c, "DROP TABLESPACE \"TOOLS\" INCLUDING CONTENTS CASCADE CONSTRAINTS", &code, &text);
  EXPECT_EQ(code, 0) << text;
  Conn scott("scott", "tiger");
  RunSql(scott, "DROP USER \"ADAMS\" CASCADE", &code);
  EXPECT_EQ(code, 1031);
}

}  // namespace
