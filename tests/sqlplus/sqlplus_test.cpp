// The SQL*Plus stand-in as a program: what it prints for queries, DML,
// errors and its own commands, and the exit status WHENEVER and EXIT give.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "sqlplus_run.h"

namespace {

using sqlplus_test::RunSqlPlus;
using sqlplus_test::ScratchDir;
using sqlplus_test::WriteFile;

TEST(SqlPlusQuery, ColumnsHeadingsAndFeedbackAsSqlPlusLaysThemOut) {
  auto r = RunSqlPlus("-S scott/tiger", "SELECT * FROM DEPT ORDER BY DEPTNO;\nEXIT\n");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.output,
            "\n"
            "    DEPTNO DNAME          LOC\n"
            "---------- -------------- -------------\n"
            "        10 ACCOUNTING     NEW YORK\n"
            "        20 RESEARCH       DALLAS\n"
            "        30 SALES          CHICAGO\n"
            "        40 OPERATIONS     BOSTON\n"
            "\n");
  // Six rows or more are counted; a heading cut to the column's width; no rows.
  r = RunSqlPlus("-S scott/tiger",
                 "SET PAGESIZE 0\nSELECT ENAME FROM EMP WHERE DEPTNO = 30 ORDER BY ENAME;\n"
                 "SET PAGESIZE 14\nSELECT DUMMY FROM DUAL;\nSELECT * FROM DEPT WHERE DEPTNO = 99;\n");
  EXPECT_EQ(r.output,
            "ALLEN\nBLAKE\nJAMES\nMARTIN\nTURNER\nWARD\n\n6 rows selected.\n\n"
            "\nD\n-\nX\n\n"
            "\nno rows selected\n\n");
}

TEST(SqlPlusQuery, PagesRepeatTheHeadings) {
  auto r = RunSqlPlus("-S scott/tiger", "SET PAGESIZE 6\nSELECT EMPNO FROM EMP WHERE ROWNUM <= 5 ORDER BY EMPNO;\n");
  // Page: blank, heading, underline and three rows.
  EXPECT_EQ(r.output,
            "\n     EMPNO\n----------\n      7369\n      7499\n      7521\n"
            "\n     EMPNO\n----------\n      7566\n      7654\n\n");
}

TEST(SqlPlusStatements, FeedbackErrorsAndBlocks) {
  auto r = RunSqlPlus("-S scott/tiger",
                      "CREATE TABLE T1 (A NUMBER, B VARCHAR2(5));\n"
                      "INSERT INTO T1 VALUES (1, 'x');\n"
                      "insert into t1\n  select a + 1, b from t1\n/\n"
                      "UPDATE T1 SET B = 'y' WHERE A > 1 -\n  1;\n"
                      "SELECT NOPE\n  FROM T1;\n"
                      "BEGIN\n  NULL;\n\nEND;\n/\n"
                      "SET FEEDBACK OFF\nDELETE FROM T1;\nROLLBACK;\nDROP TABLE T1;\n");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.output,
            "\nTable created.\n\n"
            "\n1 row created.\n\n"
            "\n1 row created.\n\n"
            "\n2 rows updated.\n\n"
            // The client stand-in reports no parse offset: the marker stands in column 1.
            "SELECT NOPE\n       *\nERROR at line 1:\nORA-00904: \"NOPE\": invalid identifier\n\n\n"
            "\nPL/SQL procedure successfully completed.\n\n");
}

TEST(SqlPlusStatements, BlankLinesEndAStatementUnlessSqlBlankLinesIsOn) {
  auto r = RunSqlPlus("-S scott/tiger",
                      "SELECT 'a'\n\nFROM DUAL;\n"
                      "SET SQLBLANKLINES ON\nSELECT DNAME X\n\nFROM DEPT WHERE DEPTNO = 10;\n");
  // The first statement is left unrun; "FROM DUAL;" alone fails; the second runs.
  EXPECT_NE(r.output.find("ERROR at line 1:\nORA-00900"), std::string::npos) << r.output;
  EXPECT_NE(r.output.find("X\n--------------\nACCOUNTING\n"), std::string::npos) << r.output;
  EXPECT_EQ(r.output.find("'A'"), std::string::npos) << r.output;
}

TEST(SqlPlusStatements, LinesOver2499CharactersAndCommandsOver500LinesAreRefused) {
  // A line of 2500 characters is ignored whole; 2499 are taken.
  const std::string longLine = "SELECT '" + std::string(2500 - 22, 'a') + "' X FROM DUAL;";
  const std::string fits = "SELECT '" + std::string(2499 - 22, 'b') + "' X FROM DUAL;";
  ASSERT_EQ(longLine.size(), 2500u);
  ASSERT_EQ(fits.size(), 2499u);
  auto r = RunSqlPlus("-S scott/tiger", longLine + "\n" + fits + "\n");
  EXPECT_NE(r.output.find("SP2-0027: Input is too long (> 2499 characters) - line ignored\n"), std::string::npos)
      << r.output.substr(0, 200);
  EXPECT_EQ(r.output.find("aaaa"), std::string::npos);
  EXPECT_NE(r.output.find("bbbb"), std::string::npos);
  // A statement of 500 lines runs; one of 501 does not run at all.
  auto statement = [](int lines, const char* tag) {
    std::string text = "INSERT INTO BONUS (ENAME)\nSELECT '" + std::string(tag) + "'\nFROM DUAL\nWHERE 1 = 1";
    for (int i = 4; i < lines; ++i) text += "\nAND 1 = 1";
    return text + ";\n";
  };
  r = RunSqlPlus("-S scott/tiger", statement(500, "five") + statement(501, "more") +
                                       "SELECT ENAME FROM BONUS ORDER BY ENAME;\nROLLBACK;\n");
  EXPECT_NE(r.output.find("more than 500 lines in one command - command ignored"), std::string::npos) << r.output;
  EXPECT_NE(r.output.find("five"), std::string::npos) << r.output;
  EXPECT_EQ(r.output.find("more\n"), std::string::npos) << r.output;
}

TEST(SqlPlusWhenever, ExitCodesOfSqlErrorsAndExit) {
  auto r = RunSqlPlus("-S scott/tiger", "WHENEVER SQLERROR EXIT 3\nSELECT * FROM NO_SUCH;\nPROMPT not reached\n");
  EXPECT_EQ(r.status, 3);
  EXPECT_EQ(r.output.find("not reached"), std::string::npos);
  r = RunSqlPlus("-S scott/tiger", "WHENEVER SQLERROR EXIT SQL.SQLCODE\nSELECT * FROM NO_SUCH;\n");
  EXPECT_EQ(r.status, 942 % 256);
  r = RunSqlPlus("-S scott/tiger", "SELECT * FROM NO_SUCH;\nEXIT\n");
  EXPECT_EQ(r.status, 0) << "errors without WHENEVER do not change the status";
  r = RunSqlPlus("-S scott/tiger", "EXIT FAILURE\n");
  EXPECT_EQ(r.status, 1);
  r = RunSqlPlus("-S scott/tiger", "EXIT 300\n");
  EXPECT_EQ(r.status, 300 % 256);
  r = RunSqlPlus("-S -L scott/wrong", "");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.output.find("ORA-01017: invalid username/password; logon denied"), std::string::npos) << r.output;
}

TEST(SqlPlusWhenever, RollbackUndoesTheWorkAndCommitKeepsIt) {
  RunSqlPlus("-S scott/tiger", "CREATE TABLE T2 (A NUMBER);\n");
  auto r = RunSqlPlus("-S scott/tiger",
                      "WHENEVER SQLERROR EXIT FAILURE ROLLBACK\nINSERT INTO T2 VALUES (1);\nINSERT INTO NO_SUCH VALUES (1);\n");
  EXPECT_EQ(r.status, 1);
  r = RunSqlPlus("-S scott/tiger",
                 "WHENEVER SQLERROR EXIT FAILURE COMMIT\nINSERT INTO T2 VALUES (2);\nINSERT INTO NO_SUCH VALUES (1);\n");
  EXPECT_EQ(r.status, 1);
  r = RunSqlPlus("-S scott/tiger", "SET HEADING OFF\nSELECT A FROM T2;\nDROP TABLE T2;\n");
  EXPECT_EQ(r.output, "\n         2\n\n\nTable dropped.\n\n");
}

TEST(SqlPlusSubstitution, DefineAmpersandsAndVerify) {
  // The value asked for is read from the input too (the line after the statement).
  auto r = RunSqlPlus("-S scott/tiger",
                      "DEFINE dept = 10\n"
                      "SELECT DNAME FROM DEPT WHERE DEPTNO = &dept;\n"
                      "SELECT LOC FROM DEPT WHERE DEPTNO = &&other;\n"
                      "20\n"
                      "PROMPT again &other.0\n"
                      "SET DEFINE OFF\nPROMPT a & b &dept\n");
  EXPECT_EQ(r.output,
            "old   1: SELECT DNAME FROM DEPT WHERE DEPTNO = &dept\n"
            "new   1: SELECT DNAME FROM DEPT WHERE DEPTNO = 10\n"
            "\nDNAME\n--------------\nACCOUNTING\n\n"
            "Enter value for other: "
            "old   1: SELECT LOC FROM DEPT WHERE DEPTNO = &&other\n"
            "new   1: SELECT LOC FROM DEPT WHERE DEPTNO = 20\n"
            "\nLOC\n-------------\nDALLAS\n\n"
            "again 200\n"
            "a & b &dept\n");
}

TEST(SqlPlusScripts, NestingArgumentsSpoolAndMissingFiles) {
  const auto dir = ScratchDir();
  std::filesystem::create_directories(dir / "sub");
  WriteFile(dir / "sub" / "outer.sql", "PROMPT outer &1\n@@inner two\nPROMPT back\n");
  WriteFile(dir / "sub" / "inner.sql", "PROMPT inner &1\n");
  WriteFile(dir / "main.sql",
            "SPOOL out.lst\n@sub/outer one\n@nothere\nSPOOL OFF\nWHENEVER OSERROR EXIT 7\n@nothere2\n");
  auto r = RunSqlPlus("-S scott/tiger @main.sql", "", dir);
  EXPECT_EQ(r.status, 7);
  EXPECT_EQ(r.output,
            "outer one\ninner two\nback\nSP2-0310: unable to open file \"nothere.sql\"\n"
            "SP2-0310: unable to open file \"nothere2.sql\"\n");
  std::ifstream spool(dir / "out.lst");
  std::string text((std::istreambuf_iterator<char>(spool)), std::istreambuf_iterator<char>());
  EXPECT_EQ(text, "outer one\ninner two\nback\nSP2-0310: unable to open file \"nothere.sql\"\n");
}

TEST(SqlPlusScripts, TermoutOffHidesScriptOutputButNotTheSpool) {
  const auto dir = ScratchDir();
  WriteFile(dir / "quiet.sql", "SPOOL q.lst\nSET TERMOUT OFF\nPROMPT hidden\nSET TERMOUT ON\nPROMPT shown\nSPOOL OFF\n");
  auto r = RunSqlPlus("-S scott/tiger @quiet", "", dir);
  EXPECT_EQ(r.output, "shown\n");
  std::ifstream spool(dir / "q.lst");
  std::string text((std::istreambuf_iterator<char>(spool)), std::istreambuf_iterator<char>());
  EXPECT_EQ(text, "hidden\nshown\n");
}

TEST(SqlPlusSession, BannerConnectAndDisconnect) {
  auto r = RunSqlPlus("scott/tiger", "CONNECT system/manager\nSHOW USER\nEXIT\n");
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.output.find("SQL*Plus: Release 9.2.0.1.0 - Production on "), std::string::npos);
  EXPECT_NE(r.output.find("Copyright (c) 1982, 2002, Oracle Corporation.  All rights reserved.\n"), std::string::npos);
  EXPECT_NE(r.output.find("\nConnected to:\nOracle9i"), std::string::npos) << r.output;
  EXPECT_NE(r.output.find("SQL> Connected.\nSQL> USER is \"SYSTEM\"\nSQL> Disconnected from Oracle9i"),
            std::string::npos)
      << r.output;
  r = RunSqlPlus("-S /nolog", "SELECT 1 FROM DUAL;\nCONNECT scott/bad\nSHOW USER\n");
  EXPECT_EQ(r.output,
            "SP2-0640: Not connected\n"
            "ERROR:\nORA-01017: invalid username/password; logon denied\n\n"
            "Warning: You are no longer connected to ORACLE.\n"
            "USER is \"\"\n");
}

}  // namespace

TEST(SqlPlusStatements, StoredCodeThatDoesNotCompileIsAWarningNotAnError) {
  // The unit is kept INVALID: a warning, whatever FEEDBACK says, and no
  // WHENEVER SQLERROR exit.
  auto r = RunSqlPlus("-S scott/tiger",
                      "WHENEVER SQLERROR EXIT 3\nSET FEEDBACK OFF\n"
                      "CREATE OR REPLACE PROCEDURE WARN_P IS BEGIN NO_SUCH_PROC; END;\n/\n"
                      "CREATE OR REPLACE PACKAGE BODY NO_SPEC_PKG IS END;\n/\n"
                      "ALTER PROCEDURE WARN_P COMPILE;\n"
                      "SET FEEDBACK ON\nCREATE OR REPLACE PROCEDURE WARN_P IS BEGIN NULL; END;\n/\n"
                      "EXIT\n");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.output,
            "\nWarning: Procedure created with compilation errors.\n\n"
            "\nWarning: Package Body created with compilation errors.\n\n"
            "\nWarning: Procedure altered with compilation errors.\n\n"
            "\nProcedure created.\n\n");
}
