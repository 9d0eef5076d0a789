// PL/SQL faults the stand-in must report as the server does: syntax errors
// inside embedded SQL at compile time, a package body without its
// specification, "end-of-file" at the last token, a bounded error stack;
// and the demo's code runs (the payroll run writes its rows).
#include "oci_fixture.h"

namespace ocitest {
namespace {

class PlsqlFaults : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { UseFreshDataDir(); }
};

Rows ErrorsOf(Conn& c, const std::string& name) {
  return MustRun(c, "SELECT SEQUENCE, LINE, POSITION, TEXT FROM USER_ERRORS WHERE NAME = '" + name +
                        "' ORDER BY SEQUENCE");
}

TEST_F(PlsqlFaults, EmbeddedSqlSyntaxIsCheckedWhenTheUnitCompiles) {
  Conn c("scott", "tiger");
  struct Case {
    const char* statement;  // line 4 of the procedure
    int line, column;       // where the server reports the SQL error
    const char* error;
  };
  const Case cases[] = {
      {"  SELECT SAL INTO V FROM EMP WHERE EMPNO = 7369 GARBAGE;", 4, 49, "ORA-00933: SQL command not properly ended"},
      // After a PL/SQL variable (a bind when it runs) the place is still the source's.
      {"  UPDATE EMP SET SAL = SAL + 1 WHERE EMPNO = V GARBAGE;", 4, 48, "ORA-00933: SQL command not properly ended"},
      {"  SELECT SAL INTO V FROM EMP E D WHERE EMPNO = 7369;", 4, 32, "ORA-00933: SQL command not properly ended"},
      {"  DELETE FROM EMP WHERE;", 4, 24, "ORA-00936: missing expression"},
      {"  SELECT SAL INTO V FROM EMP WHERE EMPNO = 7369 AND;", 4, 52, "ORA-00936: missing expression"},
      {"  UPDATE EMP SAL = 1;", 4, 18, "ORA-00971: missing SET keyword"},
      {"  INSERT INTO BONUS (ENAME) SELECT ENAME EMP;", 4, 45, "ORA-00923: FROM keyword not found where expected"},
  };
  for (const Case& k : cases) {
    sb4 code = 0;
    std::string text;
    RunSql(c, std::string("CREATE OR REPLACE PROCEDURE P_SQL IS\n  V NUMBER;\nBEGIN\n") + k.statement + "\nEND;",
           &code, &text);
    EXPECT_EQ(code, 24344) << k.statement << "\n" << text;
    EXPECT_EQ(ErrorsOf(c, "P_SQL"),
              (Rows{{"1", std::to_string(k.line), std::to_string(k.column), std::string("PL/SQL: ") + k.error},
                    {"2", "4", "3", "PL/SQL: SQL Statement ignored"}}))
        << k.statement;
    EXPECT_EQ(MustRun(c, "SELECT STATUS FROM USER_OBJECTS WHERE OBJECT_NAME = 'P_SQL'"), (Rows{{"INVALID"}}));
  }
  // Sound SQL with variables, INTO, functions and a subquery compiles.
  MustRun(c, "CREATE OR REPLACE PROCEDURE P_SQL IS\n  V NUMBER;\nBEGIN\n"
             "  SELECT NVL(MAX(SAL), 0) INTO V FROM EMP E WHERE E.DEPTNO IN (SELECT DEPTNO FROM DEPT) AND SAL > V;\n"
             "  UPDATE EMP SET SAL = SAL WHERE EMPNO = V;\nEND;");
  EXPECT_EQ(MustRun(c, "SELECT STATUS FROM USER_OBJECTS WHERE OBJECT_NAME = 'P_SQL'"), (Rows{{"VALID"}}));
  // An anonymous block says the same through ORA-06550.
  sb4 code = 0;
  std::string text;
  RunSql(c, "DECLARE v NUMBER; BEGIN SELECT sal INTO v FROM emp WHERE empno = 7369 garbage; END;", &code, &text);
  EXPECT_EQ(code, 6550);
  EXPECT_EQ(text, "ORA-06550: line 1, column 71:\nPL/SQL: ORA-00933: SQL command not properly ended\n"
                  "ORA-06550: line 1, column 25:\nPL/SQL: SQL Statement ignored");
  MustRun(c, "DROP PROCEDURE P_SQL");
}

TEST_F(PlsqlFaults, APackageBodyWithoutItsSpecificationIsStoredInvalid) {
  Conn c("scott", "tiger");
  sb4 code = 0;
  std::string text;
  RunSql(c, "CREATE OR REPLACE PACKAGE BODY NOSPEC IS\n  PROCEDURE A IS BEGIN NULL; END;\nEND;", &code, &text);
  EXPECT_EQ(code, 24344) << text;
  EXPECT_EQ(MustRun(c, "SELECT OBJECT_TYPE, STATUS FROM USER_OBJECTS WHERE OBJECT_NAME = 'NOSPEC'"),
            (Rows{{"PACKAGE BODY", "INVALID"}}));
  EXPECT_EQ(ErrorsOf(c, "NOSPEC"),
            (Rows{{"1", "1", "14", "PLS-00201: identifier 'NOSPEC' must be declared"},
                  {"2", "1", "14", "PLS-00304: cannot compile body of 'NOSPEC' without its specification"},
                  {"3", "0", "0", "PL/SQL: Compilation unit analysis terminated"}}));
  EXPECT_EQ(MustRun(c, "SELECT COUNT(*) FROM USER_SOURCE WHERE NAME = 'NOSPEC'"), (Rows{{"3"}}));
  // With its specification the body compiles.
  MustRun(c, "CREATE OR REPLACE PACKAGE NOSPEC IS\n  PROCEDURE A;\nEND;");
  MustRun(c, "ALTER PACKAGE NOSPEC COMPILE BODY");
  EXPECT_EQ(MustRun(c, "SELECT STATUS FROM USER_OBJECTS WHERE OBJECT_NAME = 'NOSPEC' AND OBJECT_TYPE = 'PACKAGE BODY'"),
            (Rows{{"VALID"}}));
  MustRun(c, "DROP PACKAGE NOSPEC");
}

TEST_F(PlsqlFaults, EndOfFileIsAtTheLastToken) {
  Conn c("scott", "tiger");
  RunSql(c, "CREATE OR REPLACE PROCEDURE P_EOF IS BEGIN NULL;");
  Rows errs = MustRun(c, "SELECT LINE, POSITION, SUBSTR(TEXT, 1, 47) FROM USER_ERRORS WHERE NAME = 'P_EOF'");
  // "PROCEDURE P_EOF IS BEGIN NULL;": the final ";" is column 30.
  EXPECT_EQ(errs, (Rows{{"1", "30", "PLS-00103: Encountered the symbol \"end-of-file\""}}));
  RunSql(c, "CREATE OR REPLACE PROCEDURE P_EOF IS\nBEGIN\n  NULL;\n  -- nothing follows\n\n");
  errs = MustRun(c, "SELECT LINE, POSITION FROM USER_ERRORS WHERE NAME = 'P_EOF'");
  EXPECT_EQ(errs, (Rows{{"3", "7"}}));
  MustRun(c, "DROP PROCEDURE P_EOF");
}

TEST_F(PlsqlFaults, RunawayRecursionKeepsABoundedStackOfWholeLines) {
  Conn c("scott", "tiger");
  MustRun(c, "CREATE OR REPLACE PROCEDURE REC (N IN NUMBER) IS\nBEGIN\n  REC(N + 1);\nEND;");
  sb4 code = 0;
  std::string text;
  RunSql(c, "BEGIN REC(1); END;", &code, &text);
  EXPECT_EQ(code, 4030);
  EXPECT_LE(text.size(), 2048u);
  std::vector<std::string> lines;
  for (size_t at = 0; at <= text.size();) {
    size_t nl = text.find('\n', at);
    if (nl == std::string::npos) nl = text.size();
    lines.push_back(text.substr(at, nl - at));
    at = nl + 1;
  }
  ASSERT_GT(lines.size(), 10u);
  EXPECT_EQ(lines[0].rfind("ORA-04030: out of process memory", 0), 0u);
  // The innermost frames, each line whole.
  for (size_t i = 1; i < lines.size(); ++i) EXPECT_EQ(lines[i], "ORA-06512: at \"SCOTT.REC\", line 3") << i;
  MustRun(c, "DROP PROCEDURE REC");
}

// Whatever a block uses, the output buffer keeps the server's limits and a
// raised error carries its ORA-06512 line.
TEST_F(PlsqlFaults, OutputLimitsAndTheErrorStackDoNotDependOnWhatTheBlockUses) {
  Conn c("scott", "tiger");
  // The second form names a table, so it needs the stored objects.
  const std::string uses[] = {"", "IF SYSDATE IS NULL THEN DELETE FROM BONUS; END IF;\n"};
  for (const std::string& pre : uses) {
    sb4 code = 0;
    std::string text;
    MustRun(c, "BEGIN DBMS_OUTPUT.DISABLE; DBMS_OUTPUT.ENABLE(2000); END;");
    RunSql(c, "BEGIN\n" + pre + "FOR I IN 1 .. 100 LOOP DBMS_OUTPUT.PUT_LINE(RPAD('Y', 100, 'Y')); END LOOP;\nEND;",
           &code, &text);
    EXPECT_EQ(code, 20000) << pre;
    EXPECT_EQ(text.substr(0, text.find('\n')), "ORA-20000: ORU-10027: buffer overflow, limit of 2000 bytes") << pre;
    MustRun(c, "BEGIN DBMS_OUTPUT.DISABLE; DBMS_OUTPUT.ENABLE(2000); END;");
    RunSql(c, "BEGIN\n" + pre + "DBMS_OUTPUT.PUT_LINE(RPAD('Y', 256, 'Y'));\nEND;", &code, &text);
    EXPECT_EQ(text.substr(0, text.find('\n')), "ORA-20000: ORU-10028: line length overflow, limit of 255 chars per line")
        << pre;
    RunSql(c, "BEGIN\n" + pre + "DBMS_OUTPUT.PUT(RPAD('Y', 200, 'Y'));\nDBMS_OUTPUT.PUT(RPAD('Y', 56, 'Y'));\nEND;", &code,
           &text);
    EXPECT_EQ(text.substr(0, text.find('\n')), "ORA-20000: ORU-10028: line length overflow, limit of 255 chars per line")
        << pre;
    RunSql(c, "BEGIN\n" + pre + "RAISE_APPLICATION_ERROR(-20002, 'two');\nEND;", &code, &text);
    EXPECT_EQ(code, 20002);
    EXPECT_EQ(text, "ORA-20002: two\nORA-06512: at line " + std::string(pre.empty() ? "2" : "3")) << pre;
  }
  MustRun(c, "ROLLBACK");
}

TEST_F(PlsqlFaults, TheDemoCodeRunsAndEveryUnitMeantToCompileIsValid) {
  Conn c("scott", "tiger");
  MustRun(c, "BEGIN DBMS_OUTPUT.ENABLE; END;");
  MustRun(c, "BEGIN PAYROLL_RUN; END;");
  EXPECT_EQ(MustRun(c, "SELECT COUNT(*), SUM(SAL), SUM(COMM) FROM BONUS"), (Rows{{"14", "29025", "2200"}}));
  EXPECT_EQ(MustRun(c, "SELECT SAL, COMM FROM BONUS WHERE ENAME = 'ALLEN'"), (Rows{{"1600", "300"}}));
  // A second run replaces the first.
  MustRun(c, "BEGIN PAYROLL_RUN; END;");
  EXPECT_EQ(MustRun(c, "SELECT COUNT(*) FROM BONUS"), (Rows{{"14"}}));
  MustRun(c, "ROLLBACK");
  Conn dba("system", "manager");
  EXPECT_EQ(MustRun(dba, "SELECT OWNER, OBJECT_NAME, OBJECT_TYPE FROM DBA_OBJECTS WHERE STATUS = 'INVALID' ORDER BY 1, 2, 3"),
            (Rows{{"SCOTT", "BROKEN_PROC", "PROCEDURE"},
                  {"SCOTT", "BROKEN_T", "TYPE"},
                  {"SCOTT", "PONG_PKG", "PACKAGE BODY"}}));
}

}  // namespace
}  // namespace ocitest
