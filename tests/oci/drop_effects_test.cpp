// What F8's statements do on the stand-in, as the server does it: every
// dictionary-only kind dropped (and its errors when it is not there), a
// table taking its indexes, constraints, triggers and comments along and
// invalidating its dependents, keys dropped with and without CASCADE,
// truncate and delete, job removal, statistics associations, and a
// disconnected session whose work is rolled back.
#include "oci_fixture.h"

#include <gtest/gtest.h>

using namespace ocitest;

namespace {

sb4 Code(Conn& c, const std::string& sql, std::string* text = nullptr) {
  sb4 code = 0;
  RunSql(c, sql, &code, text);
  return code;
}

std::string Count(Conn& c, const std::string& sql) { return MustRun(c, sql).at(0).at(0); }

TEST(DropEffects, DictionaryKindsAreDroppedWithTheirRows) {
  UseFreshDataDir();
  Conn c("system", "manager");
  std::string text;
  struct Case {
    const char* drop;
    const char* gone;  // a count that must be 0 afterwards
    sb4 again;         // the error of dropping it a second time
  };
  const Case cases[] = {
      {"DROP CLUSTER \"SCOTT\".\"EMP_DEPT_CLU\" INCLUDING TABLES CASCADE CONSTRAINTS",
       "SELECT COUNT(*) FROM DBA_OBJECTS WHERE OWNER = 'SCOTT' AND OBJECT_NAME IN ('EMP_DEPT_CLU', 'CLU_EMP', "
       "'CLU_DEPT', 'EMP_DEPT_CLU_IDX')",
       943},
      {"DROP OPERATOR \"SCOTT\".\"CONTAINS_WORD\" FORCE",
       "SELECT COUNT(*) FROM DBA_OPERATORS WHERE OPERATOR_NAME = 'CONTAINS_WORD'", 4043},
      {"DROP INDEXTYPE \"SCOTT\".\"WORD_INDEXTYPE\" FORCE",
       "SELECT COUNT(*) FROM DBA_OBJECTS WHERE OBJECT_NAME = 'WORD_INDEXTYPE'", 4043},
      {"DROP DIMENSION \"SALES\".\"TIME_DIM\"", "SELECT COUNT(*) FROM DBA_DIMENSIONS WHERE DIMENSION_NAME = 'TIME_DIM'",
       4043},
      {"DROP SNAPSHOT \"SCOTT\".\"DEPT_SNAP\"", "SELECT COUNT(*) FROM DBA_SNAPSHOTS WHERE NAME = 'DEPT_SNAP'", 12003},
      {"DROP SNAPSHOT LOG ON \"SCOTT\".\"DEPT\"", "SELECT COUNT(*) FROM DBA_SNAPSHOT_LOGS WHERE MASTER = 'DEPT'",
       12002},
      {"DROP LIBRARY \"SCOTT\".\"MATHLIB\"", "SELECT COUNT(*) FROM DBA_LIBRARIES WHERE LIBRARY_NAME = 'MATHLIB'", 4043},
      {"DROP DIRECTORY \"DATA_PUMP_DIR\"", "SELECT COUNT(*) FROM DBA_DIRECTORIES WHERE DIRECTORY_NAME = 'DATA_PUMP_DIR'",
       4043},
      {"DROP CONTEXT \"SALES_CTX\"", "SELECT COUNT(*) FROM DBA_OBJECTS WHERE OBJECT_NAME = 'SALES_CTX'", 4043},
      {"DROP OUTLINE \"EMP_BY_DEPT\"", "SELECT COUNT(*) FROM DBA_OUTLINES WHERE NAME = 'EMP_BY_DEPT'", 18002},
      {"DROP PUBLIC DATABASE LINK \"REMOTE.WORLD\"", "SELECT COUNT(*) FROM DBA_DB_LINKS WHERE DB_LINK = 'REMOTE.WORLD'",
       2024},
      {"DROP PUBLIC SYNONYM \"ORDERS\"",
       "SELECT COUNT(*) FROM DBA_SYNONYMS WHERE OWNER = 'PUBLIC' AND SYNONYM_NAME = 'ORDERS'", 1432},
  };
  // Truncating the cluster empties its tables and keeps them.
  EXPECT_EQ(Code(c, "TRUNCATE CLUSTER \"SCOTT\".\"EMP_DEPT_CLU\" DROP STORAGE", &text), 0) << text;
  EXPECT_EQ(Count(c, "SELECT COUNT(*) FROM SCOTT.CLU_EMP"), "0");
  EXPECT_EQ(Code(c, "TRUNCATE CLUSTER \"SCOTT\".\"NO_CLU\""), 943);
  for (const Case& k : cases) {
    EXPECT_EQ(Code(c, k.drop, &text), 0) << k.drop << ": " << text;
    EXPECT_EQ(Count(c, k.gone), "0") << k.drop;
    EXPECT_EQ(Code(c, k.drop), k.again) << k.drop;
  }
  // An online rollback segment is refused; a missing one is named.
  EXPECT_EQ(Code(c, "DROP ROLLBACK SEGMENT \"_SYSSMU1$\"", &text), 1545) << text;
  EXPECT_EQ(Code(c, "DROP ROLLBACK SEGMENT \"NONE\"", &text), 1534) << text;
  // Directories have no owner: the owner form is refused.
  EXPECT_NE(Code(c, "DROP DIRECTORY \"SYS\".\"DATA_PUMP_DIR\""), 0);
  // Another user's kinds need their owner (or the DBA role).
  Conn sales("sales", "sales");
  EXPECT_EQ(Code(sales, "DROP LIBRARY \"SCOTT\".\"NOLIB\""), 1031);
}

TEST(DropEffects, ATableTakesItsPartsAlongAndItsDependentsTurnInvalid) {
  UseFreshDataDir();
  Conn c("scott", "tiger");
  MustRun(c, "CREATE TABLE T_PARTS (ID NUMBER CONSTRAINT T_PARTS_PK PRIMARY KEY, NAME VARCHAR2(10) "
             "CONSTRAINT T_PARTS_CK CHECK (NAME IS NOT NULL))");
  MustRun(c, "CREATE INDEX T_PARTS_NAME_IX ON T_PARTS (NAME)");
  MustRun(c, "CREATE TRIGGER T_PARTS_BI BEFORE INSERT ON T_PARTS FOR EACH ROW BEGIN NULL; END;");
  MustRun(c, "COMMENT ON TABLE T_PARTS IS 'parts'");
  MustRun(c, "COMMENT ON COLUMN T_PARTS.NAME IS 'part name'");
  MustRun(c, "CREATE VIEW T_PARTS_V AS SELECT ID, NAME FROM T_PARTS");
  MustRun(c, "DROP TABLE \"SCOTT\".\"T_PARTS\"");
  EXPECT_EQ(Count(c, "SELECT COUNT(*) FROM USER_INDEXES WHERE TABLE_NAME = 'T_PARTS'"), "0");
  EXPECT_EQ(Count(c, "SELECT COUNT(*) FROM USER_CONSTRAINTS WHERE TABLE_NAME = 'T_PARTS'"), "0");
  EXPECT_EQ(Count(c, "SELECT COUNT(*) FROM USER_TRIGGERS WHERE TABLE_NAME = 'T_PARTS'"), "0");
  EXPECT_EQ(Count(c, "SELECT COUNT(*) FROM USER_OBJECTS WHERE OBJECT_NAME LIKE 'T_PARTS%' AND OBJECT_TYPE <> 'VIEW'"),
            "0");
  EXPECT_EQ(Count(c, "SELECT COUNT(*) FROM USER_TAB_COMMENTS WHERE TABLE_NAME = 'T_PARTS'"), "0");
  EXPECT_EQ(Count(c, "SELECT COUNT(*) FROM USER_COL_COMMENTS WHERE TABLE_NAME = 'T_PARTS'"), "0");
  EXPECT_EQ(MustRun(c, "SELECT STATUS FROM USER_OBJECTS WHERE OBJECT_NAME = 'T_PARTS_V'"), (Rows{{"INVALID"}}));
  // Dropping the view's own dependency target: a view on a view.
  MustRun(c, "CREATE VIEW V_BASE AS SELECT DEPTNO, DNAME FROM DEPT");
  MustRun(c, "CREATE VIEW V_TOP AS SELECT DEPTNO FROM V_BASE");
  MustRun(c, "DROP VIEW \"SCOTT\".\"V_BASE\"");
  EXPECT_EQ(MustRun(c, "SELECT STATUS FROM USER_OBJECTS WHERE OBJECT_NAME = 'V_TOP'"), (Rows{{"INVALID"}}));
}

TEST(DropEffects, KeysAndColumns) {
  UseFreshDataDir();
  Conn c("scott", "tiger");
  std::string text;
  MustRun(c, "CREATE TABLE K_DEPT AS SELECT * FROM DEPT");
  MustRun(c, "ALTER TABLE K_DEPT ADD CONSTRAINT K_DEPT_PK PRIMARY KEY (DEPTNO)");
  MustRun(c, "CREATE TABLE K_EMP (EMPNO NUMBER, DEPTNO NUMBER CONSTRAINT K_EMP_FK REFERENCES K_DEPT)");
  EXPECT_EQ(Code(c, "ALTER TABLE \"SCOTT\".\"K_DEPT\" DROP PRIMARY KEY", &text), 2273) << text;
  EXPECT_EQ(Code(c, "ALTER TABLE \"SCOTT\".\"K_DEPT\" DROP PRIMARY KEY CASCADE", &text), 0) << text;
  EXPECT_EQ(Count(c, "SELECT COUNT(*) FROM USER_CONSTRAINTS WHERE TABLE_NAME IN ('K_DEPT', 'K_EMP')"), "0");
  EXPECT_EQ(Code(c, "ALTER TABLE \"SCOTT\".\"K_DEPT\" DROP PRIMARY KEY CASCADE"), 2441);
  // Set unused, then drop the unused columns once for the table.
  EXPECT_EQ(Code(c, "ALTER TABLE \"SCOTT\".\"K_DEPT\" SET UNUSED COLUMN \"LOC\" CASCADE CONSTRAINTS", &text), 0)
      << text;
  EXPECT_EQ(Count(c, "SELECT COUNT(*) FROM USER_UNUSED_COL_TABS WHERE TABLE_NAME = 'K_DEPT'"), "1");
  EXPECT_EQ(Code(c, "SELECT LOC FROM K_DEPT"), 904);
  EXPECT_EQ(Code(c, "ALTER TABLE \"SCOTT\".\"K_DEPT\" DROP UNUSED COLUMNS", &text), 0) << text;
  EXPECT_EQ(Count(c, "SELECT COUNT(*) FROM USER_UNUSED_COL_TABS WHERE TABLE_NAME = 'K_DEPT'"), "0");
  // A column its table's check names (and an index covers) is set unused
  // with the check and the index.
  MustRun(c, "CREATE TABLE K_CK (A NUMBER, B VARCHAR2(5) CONSTRAINT K_CK_B CHECK (B IS NOT NULL))");
  MustRun(c, "CREATE INDEX K_CK_B_IX ON K_CK (B)");
  MustRun(c, "INSERT INTO K_CK VALUES (1, 'x')");
  EXPECT_EQ(Code(c, "ALTER TABLE \"SCOTT\".\"K_CK\" SET UNUSED COLUMN \"B\" CASCADE CONSTRAINTS", &text), 0) << text;
  EXPECT_EQ(MustRun(c, "SELECT * FROM K_CK"), (Rows{{"1"}}));
  EXPECT_EQ(Count(c, "SELECT COUNT(*) FROM USER_CONSTRAINTS WHERE TABLE_NAME = 'K_CK'"), "0");
  EXPECT_EQ(Count(c, "SELECT COUNT(*) FROM USER_INDEXES WHERE TABLE_NAME = 'K_CK'"), "0");
  // Dropping the referenced table needs CASCADE CONSTRAINTS, which takes the
  // child's foreign key along.
  MustRun(c, "ALTER TABLE K_DEPT ADD CONSTRAINT K_DEPT_PK PRIMARY KEY (DEPTNO)");
  MustRun(c, "ALTER TABLE K_EMP ADD CONSTRAINT K_EMP_FK FOREIGN KEY (DEPTNO) REFERENCES K_DEPT");
  EXPECT_EQ(Code(c, "DROP TABLE \"SCOTT\".\"K_DEPT\""), 2449);
  EXPECT_EQ(Code(c, "DROP TABLE \"SCOTT\".\"K_DEPT\" CASCADE CONSTRAINTS", &text), 0) << text;
  EXPECT_EQ(Count(c, "SELECT COUNT(*) FROM USER_CONSTRAINTS WHERE TABLE_NAME = 'K_EMP'"), "0");
}

TEST(DropEffects, TruncateDeleteJobsTypesAndAssociations) {
  UseFreshDataDir();
  Conn c("scott", "tiger");
  std::string text;
  MustRun(c, "CREATE TABLE EMP_T AS SELECT * FROM EMP");
  EXPECT_EQ(Code(c, "TRUNCATE TABLE \"SCOTT\".\"EMP_T\" DROP STORAGE", &text), 0) << text;
  EXPECT_EQ(Count(c, "SELECT COUNT(*) FROM EMP_T"), "0");
  MustRun(c, "CREATE TABLE EMP_D AS SELECT * FROM EMP");
  EXPECT_EQ(Code(c, "DELETE \"SCOTT\".\"EMP_D\"", &text), 0) << text;
  EXPECT_EQ(Count(c, "SELECT COUNT(*) FROM EMP_D"), "0");
  MustRun(c, "ROLLBACK");
  EXPECT_EQ(Count(c, "SELECT COUNT(*) FROM EMP_D"), "14");
  // The job block needs its final ";".
  EXPECT_EQ(Code(c, "BEGIN DBMS_JOB.REMOVE (1); END;", &text), 0) << text;
  EXPECT_EQ(Code(c, "BEGIN DBMS_JOB.REMOVE (1); END;"), 23421);
  // A type with a table depending on it needs FORCE.
  MustRun(c, "CREATE TYPE PT_T AS OBJECT (X NUMBER);");
  MustRun(c, "CREATE TABLE PT_TAB (P PT_T)");
  Conn sys("system", "manager");
  MustRun(sys, "INSERT INTO SYS.DBA_DEPENDENCIES VALUES ('SCOTT', 'PT_TAB', 'TABLE', 'SCOTT', 'PT_T', 'TYPE', NULL, "
               "'HARD')");
  MustRun(sys, "INSERT INTO SYS.DBA_ASSOCIATIONS VALUES ('SCOTT', 'GET_SAL', NULL, 'FUNCTION', 'SCOTT', 'SAL_STATS', "
               "NULL, NULL, NULL, NULL)");
  MustRun(sys, "COMMIT");
  EXPECT_EQ(Code(c, "DROP TYPE \"SCOTT\".\"PT_T\"", &text), 2303) << text;
  EXPECT_EQ(Code(c, "DROP TYPE \"SCOTT\".\"PT_T\" FORCE", &text), 0) << text;
  EXPECT_EQ(Code(c, "DISASSOCIATE STATISTICS FROM FUNCTIONS \"SCOTT\".\"GET_SAL\"", &text), 0) << text;
  EXPECT_EQ(Code(c, "DISASSOCIATE STATISTICS FROM FUNCTIONS \"SCOTT\".\"GET_SAL\""), 29931);
  // The clause names the kind in the plural as the server spells it.
  EXPECT_EQ(Code(c, "DISASSOCIATE STATISTICS FROM INDEXS \"SCOTT\".\"EMP_IX\""), 905);
  EXPECT_EQ(Code(c, "DISASSOCIATE STATISTICS FROM TABLES \"SCOTT\".\"EMP\""), 905);
}

TEST(DropEffects, DisconnectedSessionFailsAndLosesItsWork) {
  UseFreshDataDir();
  Conn dba("system", "manager");
  Conn victim("scott", "tiger");
  MustRun(victim, "UPDATE DEPT SET LOC = 'GONE' WHERE DEPTNO = 10");
  Rows id = MustRun(dba, "SELECT SID, SERIAL# FROM V$SESSION WHERE USERNAME = 'SCOTT'");
  ASSERT_EQ(id.size(), 1u);
  std::string text;
  EXPECT_EQ(Code(dba, "ALTER SYSTEM DISCONNECT SESSION '" + id[0][0] + "," + id[0][1] + "' POST_TRANSACTION", &text),
            0)
      << text;
  EXPECT_EQ(Code(victim, "SELECT * FROM DUAL", &text), 28) << text;
  EXPECT_EQ(MustRun(dba, "SELECT LOC FROM SCOTT.DEPT WHERE DEPTNO = 10"), (Rows{{"NEW YORK"}}));
  // A session cannot kill itself.
  Rows self = MustRun(dba, "SELECT SID, SERIAL# FROM V$SESSION WHERE USERNAME = 'SYSTEM'");
  ASSERT_EQ(self.size(), 1u);
  EXPECT_EQ(Code(dba, "ALTER SYSTEM KILL SESSION '" + self[0][0] + "," + self[0][1] + "'"), 27);
}

}  // namespace
