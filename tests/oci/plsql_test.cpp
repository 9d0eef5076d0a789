// PL/SQL through the stand-in's C interface: stored code compiles with the
// server's errors, runs (blocks, the demo's units, exceptions and their
// stack, package state, DBMS_OUTPUT), triggers fire, dependencies invalidate.
#include "oci_fixture.h"

#include <cstdlib>

namespace ocitest {
namespace {

struct Stmt {
  OCIStmt* st = nullptr;
  explicit Stmt(Conn& c) { OCIHandleAlloc(c.env, reinterpret_cast<void**>(&st), OCI_HTYPE_STMT, 0, nullptr); }
  ~Stmt() { OCIHandleFree(st, OCI_HTYPE_STMT); }
};

// The DBMS_OUTPUT lines waiting in the session, read as Quarry reads them.
std::vector<std::string> Output(Conn& c) {
  std::vector<std::string> lines;
  const char* sql = "BEGIN DBMS_OUTPUT.GET_LINE(:l, :s); END;";
  for (int guard = 0; guard < 1000; ++guard) {
    Stmt s(c);
    char line[512] = {};
    sb2 ind = 0;
    int status = 0;
    OCIStmtPrepare(s.st, c.err, reinterpret_cast<const OraText*>(sql), static_cast<ub4>(std::strlen(sql)),
                   OCI_NTV_SYNTAX, OCI_DEFAULT);
    OCIBind* b1 = nullptr;
    OCIBind* b2 = nullptr;
    OCIBindByName(s.st, &b1, c.err, reinterpret_cast<const OraText*>(":l"), -1, line, sizeof line, SQLT_STR, &ind,
                  nullptr, nullptr, 0, nullptr, OCI_DEFAULT);
    OCIBindByName(s.st, &b2, c.err, reinterpret_cast<const OraText*>(":s"), -1, &status, sizeof status, SQLT_INT,
                  nullptr, nullptr, nullptr, 0, nullptr, OCI_DEFAULT);
    if (OCIStmtExecute(c.svc, s.st, c.err, 1, 0, nullptr, nullptr, OCI_DEFAULT) != OCI_SUCCESS) {
      ADD_FAILURE() << ErrorText(c.err);
      break;
    }
    if (status != 0) break;
    lines.push_back(ind == -1 ? "" : line);
  }
  return lines;
}

std::string Fails(Conn& c, const std::string& sql, sb4 want) {
  sb4 code = 0;
  std::string text;
  RunSql(c, sql, &code, &text);
  EXPECT_EQ(code, want) << text;
  return text;
}

class Plsql : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { UseFreshDataDir(); }
};

TEST_F(Plsql, TheDemoUnitsRunAndWriteOutput) {
  Conn c("scott", "tiger");
  MustRun(c, "BEGIN DBMS_OUTPUT.ENABLE(20000); END;");
  EXPECT_EQ(MustRun(c, "SELECT SAL FROM EMP WHERE EMPNO = 7369"), (Rows{{"800"}}));
  MustRun(c, "BEGIN RAISE_SALARY(7369, 10); END;");
  EXPECT_EQ(MustRun(c, "SELECT SAL FROM EMP WHERE EMPNO = 7369"), (Rows{{"880"}}));
  MustRun(c,
          "DECLARE\n"
          "  v_total NUMBER := 0;\n"
          "  CURSOR c_dept (p_deptno NUMBER) IS SELECT ENAME FROM EMP WHERE DEPTNO = p_deptno ORDER BY ENAME;\n"
          "BEGIN\n"
          "  FOR r IN c_dept(10) LOOP\n"
          "    DBMS_OUTPUT.PUT_LINE(r.ENAME || ' ' || GET_SAL(7369));\n"
          "    v_total := v_total + 1;\n"
          "  END LOOP;\n"
          "  DBMS_OUTPUT.PUT_LINE('dept 10: ' || EMP_PKG.COUNT_EMPS(10) || ' of ' || EMP_PKG.COUNT_EMPS);\n"
          "  IF v_total = 3 THEN DBMS_OUTPUT.PUT('three'); ELSE DBMS_OUTPUT.PUT('not three'); END IF;\n"
          "  DBMS_OUTPUT.NEW_LINE;\n"
          "  DBMS_OUTPUT.PUT_LINE(2.5 * 2 || ' ' || 1/4 || ' ' || UPPER('x') || NVL(NULL, 'y'));\n"
          "END;");
  EXPECT_EQ(Output(c), (std::vector<std::string>{"CLARK 880", "KING 880", "MILLER 880", "dept 10: 3 of 14", "three",
                                                  "5 .25 Xy"}));
  // A hire goes through the package's overloads and the row trigger (names upper-cased).
  MustRun(c, "BEGIN EMP_PKG.HIRE('newbie', 20); END;");
  EXPECT_EQ(MustRun(c, "SELECT JOB, DEPTNO FROM EMP WHERE ENAME = 'NEWBIE'"), (Rows{{"CLERK", "20"}}));
  MustRun(c, "ROLLBACK");
  EXPECT_EQ(MustRun(c, "SELECT SAL FROM EMP WHERE EMPNO = 7369"), (Rows{{"800"}}));
  // A stored function inside a query.
  EXPECT_EQ(MustRun(c, "SELECT ENAME, GET_SAL(EMPNO) FROM EMP WHERE DEPTNO = 10 AND GET_SAL(EMPNO) > 2000 ORDER BY 1"),
            (Rows{{"CLARK", "2450"}, {"KING", "5000"}}));
}

TEST_F(Plsql, ExceptionsAreCaughtOrCarryTheirStack) {
  Conn c("scott", "tiger");
  MustRun(c, "BEGIN DBMS_OUTPUT.ENABLE; END;");
  MustRun(c,
          "DECLARE\n  v NUMBER;\n  e_mine EXCEPTION;\nBEGIN\n"
          "  BEGIN SELECT SAL INTO v FROM EMP WHERE EMPNO = -1;\n"
          "  EXCEPTION WHEN NO_DATA_FOUND THEN DBMS_OUTPUT.PUT_LINE(SQLCODE || ' ' || SQLERRM); END;\n"
          "  BEGIN SELECT SAL INTO v FROM EMP;\n"
          "  EXCEPTION WHEN TOO_MANY_ROWS THEN DBMS_OUTPUT.PUT_LINE(SQLERRM); END;\n"
          "  BEGIN v := 1 / 0;\n"
          "  EXCEPTION WHEN OTHERS THEN DBMS_OUTPUT.PUT_LINE(SQLCODE); END;\n"
          "  BEGIN RAISE e_mine;\n"
          "  EXCEPTION WHEN e_mine THEN DBMS_OUTPUT.PUT_LINE(SQLCODE || ' ' || SQLERRM); END;\n"
          "  BEGIN INSERT INTO DEPT VALUES (10, 'DUP', 'X');\n"
          "  EXCEPTION WHEN DUP_VAL_ON_INDEX THEN DBMS_OUTPUT.PUT_LINE('dup'); END;\n"
          "  BEGIN v := 'abc';\n"
          "  EXCEPTION WHEN VALUE_ERROR THEN DBMS_OUTPUT.PUT_LINE(SQLERRM); END;\n"
          "END;");
  EXPECT_EQ(Output(c), (std::vector<std::string>{
                           "100 ORA-01403: no data found",
                           "ORA-01422: exact fetch returns more than requested number of rows", "-1476",
                           "1 User-Defined Exception", "dup",
                           "ORA-06502: PL/SQL: numeric or value error: character to number conversion error"}));
  MustRun(c, "CREATE OR REPLACE PROCEDURE CHECK_SAL (P_SAL IN NUMBER) IS\nBEGIN\n  IF P_SAL > 5000 THEN\n"
             "    RAISE_APPLICATION_ERROR(-20001, 'salary ' || P_SAL || ' too high');\n  END IF;\nEND;");
  EXPECT_EQ(Fails(c, "BEGIN\n  CHECK_SAL(100);\n  CHECK_SAL(9000);\nEND;", 20001),
            "ORA-20001: salary 9000 too high\nORA-06512: at \"SCOTT.CHECK_SAL\", line 4\nORA-06512: at line 3");
  EXPECT_EQ(Fails(c, "DECLARE e EXCEPTION; BEGIN RAISE e; END;", 6510),
            "ORA-06510: PL/SQL: unhandled user-defined exception\nORA-06512: at line 1");
  // A failing block undoes its own changes.
  Fails(c, "BEGIN UPDATE EMP SET SAL = 1 WHERE EMPNO = 7369; CHECK_SAL(9999); END;", 20001);
  EXPECT_EQ(MustRun(c, "SELECT SAL FROM EMP WHERE EMPNO = 7369"), (Rows{{"800"}}));
  MustRun(c, "DROP PROCEDURE CHECK_SAL");
}

TEST_F(Plsql, PackageStateBelongsToTheSession) {
  Conn a("scott", "tiger");
  MustRun(a, "CREATE OR REPLACE PACKAGE COUNTER AS\n  N NUMBER := 0;\n  FUNCTION NEXT RETURN NUMBER;\n"
             "  PROCEDURE BUMP (P_BY IN NUMBER, P_NOW OUT NUMBER);\nEND;");
  MustRun(a, "CREATE OR REPLACE PACKAGE BODY COUNTER AS\n  FUNCTION NEXT RETURN NUMBER IS\n  BEGIN\n    N := N + 1;\n"
             "    RETURN N;\n  END;\n  PROCEDURE BUMP (P_BY IN NUMBER, P_NOW OUT NUMBER) IS\n  BEGIN\n"
             "    N := N + P_BY;\n    P_NOW := N;\n  END;\nBEGIN\n  N := 100;\nEND;");
  MustRun(a, "BEGIN DBMS_OUTPUT.ENABLE; END;");
  MustRun(a, "DECLARE x NUMBER; BEGIN x := COUNTER.NEXT; COUNTER.BUMP(10, x); DBMS_OUTPUT.PUT_LINE(x); END;");
  MustRun(a, "BEGIN DBMS_OUTPUT.PUT_LINE(COUNTER.NEXT); END;");
  EXPECT_EQ(Output(a), (std::vector<std::string>{"111", "112"}));
  Conn b("scott", "tiger");
  MustRun(b, "BEGIN DBMS_OUTPUT.ENABLE; DBMS_OUTPUT.PUT_LINE(COUNTER.NEXT); END;");
  EXPECT_EQ(Output(b), (std::vector<std::string>{"101"}));
  MustRun(a, "DROP PACKAGE COUNTER");
}

TEST_F(Plsql, RowTriggersFireForMatchingRowsStatementTriggersOnce) {
  Conn c("scott", "tiger");
  MustRun(c, "CREATE TABLE PAY_LOG (EMPNO NUMBER, OLD_SAL NUMBER, NEW_SAL NUMBER, NOTE VARCHAR2(20))");
  MustRun(c, "CREATE OR REPLACE TRIGGER EMP_BIG_RAISE\nAFTER UPDATE OF SAL ON EMP\nFOR EACH ROW\n"
             "WHEN (NEW.SAL > OLD.SAL * 1.5)\nBEGIN\n"
             "  INSERT INTO PAY_LOG VALUES (:NEW.EMPNO, :OLD.SAL, :NEW.SAL, 'big');\nEND;");
  MustRun(c, "CREATE OR REPLACE TRIGGER EMP_UPD_STMT\nAFTER UPDATE ON EMP\nBEGIN\n"
             "  INSERT INTO PAY_LOG (NOTE) VALUES ('statement');\nEND;");
  // DDL commits: every trigger exists before the rows change.
  MustRun(c, "CREATE OR REPLACE TRIGGER EMP_NO_ZERO\nBEFORE UPDATE ON EMP\nFOR EACH ROW\nBEGIN\n"
             "  IF :NEW.SAL = 0 THEN\n    RAISE_APPLICATION_ERROR(-20002, 'no zero salaries');\n  END IF;\nEND;");
  MustRun(c, "UPDATE EMP SET SAL = SAL * 2 WHERE EMPNO IN (7369, 7499)");
  MustRun(c, "UPDATE EMP SET SAL = SAL + 1 WHERE DEPTNO = 10");
  EXPECT_EQ(MustRun(c, "SELECT EMPNO, OLD_SAL, NEW_SAL, NOTE FROM PAY_LOG ORDER BY NOTE, EMPNO"),
            (Rows{{"7369", "800", "1600", "big"}, {"7499", "1600", "3200", "big"},
                  {"<null>", "<null>", "<null>", "statement"}, {"<null>", "<null>", "<null>", "statement"}}));
  // An error inside a trigger stops the statement, with the trigger in the stack.
  EXPECT_EQ(Fails(c, "UPDATE EMP SET SAL = 0 WHERE EMPNO = 7369", 20002),
            "ORA-20002: no zero salaries\nORA-06512: at \"SCOTT.EMP_NO_ZERO\", line 3\n"
            "ORA-04088: error during execution of trigger 'SCOTT.EMP_NO_ZERO'");
  EXPECT_EQ(MustRun(c, "SELECT SAL FROM EMP WHERE EMPNO = 7369"), (Rows{{"1600"}}));
  MustRun(c, "ROLLBACK");
  for (const char* t : {"EMP_BIG_RAISE", "EMP_UPD_STMT", "EMP_NO_ZERO"}) MustRun(c, std::string("DROP TRIGGER ") + t);
  MustRun(c, "DROP TABLE PAY_LOG");
}

TEST_F(Plsql, DependenciesInvalidateAndUseRecompiles) {
  Conn c("scott", "tiger");
  MustRun(c, "CREATE TABLE BONUS_RULES (GRADE NUMBER, PCT NUMBER)");
  MustRun(c, "CREATE OR REPLACE FUNCTION RULE_PCT (P_GRADE IN NUMBER) RETURN NUMBER IS\n  V NUMBER;\nBEGIN\n"
             "  SELECT PCT INTO V FROM BONUS_RULES WHERE GRADE = P_GRADE;\n  RETURN V;\nEND;");
  MustRun(c, "CREATE OR REPLACE PROCEDURE SHOW_RULE IS\nBEGIN\n  DBMS_OUTPUT.PUT_LINE(RULE_PCT(1));\nEND;");
  EXPECT_EQ(MustRun(c, "SELECT NAME, REFERENCED_NAME, REFERENCED_TYPE FROM USER_DEPENDENCIES WHERE NAME IN "
                       "('RULE_PCT', 'SHOW_RULE') ORDER BY 1, 2"),
            (Rows{{"RULE_PCT", "BONUS_RULES", "TABLE"}, {"SHOW_RULE", "RULE_PCT", "FUNCTION"}}));
  MustRun(c, "DROP TABLE BONUS_RULES");
  EXPECT_EQ(MustRun(c, "SELECT OBJECT_NAME, STATUS FROM USER_OBJECTS WHERE OBJECT_NAME IN ('RULE_PCT', 'SHOW_RULE') "
                       "ORDER BY 1"),
            (Rows{{"RULE_PCT", "INVALID"}, {"SHOW_RULE", "INVALID"}}));
  std::string text = Fails(c, "BEGIN SHOW_RULE; END;", 6550);
  EXPECT_EQ(text, "ORA-06550: line 1, column 7:\nPLS-00905: object SCOTT.SHOW_RULE is invalid\n"
                  "ORA-06550: line 1, column 7:\nPL/SQL: Statement ignored");
  MustRun(c, "CREATE TABLE BONUS_RULES (GRADE NUMBER, PCT NUMBER)");
  MustRun(c, "INSERT INTO BONUS_RULES VALUES (1, 7)");
  MustRun(c, "BEGIN DBMS_OUTPUT.ENABLE; SHOW_RULE; END;");
  EXPECT_EQ(Output(c), (std::vector<std::string>{"7"}));
  EXPECT_EQ(MustRun(c, "SELECT COUNT(*) FROM USER_OBJECTS WHERE OBJECT_NAME IN ('RULE_PCT', 'SHOW_RULE') AND "
                       "STATUS = 'VALID'"),
            (Rows{{"2"}}));
  MustRun(c, "DROP PROCEDURE SHOW_RULE");
  MustRun(c, "DROP FUNCTION RULE_PCT");
  MustRun(c, "DROP TABLE BONUS_RULES");
}

TEST_F(Plsql, CompileErrorsLandInTheErrorsViews) {
  Conn c("scott", "tiger");
  sb4 code = 0;
  std::string text;
  RunSql(c, "CREATE OR REPLACE PROCEDURE P_ERRS (P_EMPNO IN NUMBER) IS\n  V NUMBER;\nBEGIN\n"
            "  SELECT SALX INTO V FROM EMP WHERE EMPNO = P_EMPNO;\n  W := 1;\nEND;",
            &code, &text);
  EXPECT_EQ(code, 24344) << text;
  EXPECT_EQ(MustRun(c, "SELECT SEQUENCE, LINE, POSITION, TEXT FROM USER_ERRORS WHERE NAME = 'P_ERRS' ORDER BY SEQUENCE"),
            (Rows{{"1", "4", "10", "PL/SQL: ORA-00904: \"SALX\": invalid identifier"},
                  {"2", "4", "3", "PL/SQL: SQL Statement ignored"},
                  {"3", "5", "3", "PLS-00201: identifier 'W' must be declared"},
                  {"4", "5", "3", "PL/SQL: Statement ignored"}}));
  // An anonymous block reports its compile errors with ORA-06550.
  EXPECT_EQ(Fails(c, "DECLARE v NUMBER; BEGIN v := nosuch; END;", 6550),
            "ORA-06550: line 1, column 30:\nPLS-00201: identifier 'NOSUCH' must be declared\n"
            "ORA-06550: line 1, column 25:\nPL/SQL: Statement ignored");
  MustRun(c, "DROP PROCEDURE P_ERRS");
}

TEST_F(Plsql, TheSysPackagesQuarryAndScriptsUse) {
  Conn c("scott", "tiger");
  MustRun(c, "BEGIN DBMS_OUTPUT.ENABLE; END;");
  MustRun(c,
          "DECLARE\n  l CLOB;\n  j NUMBER;\n  m VARCHAR2(48);\n  a VARCHAR2(32);\nBEGIN\n"
          "  DBMS_LOB.CREATETEMPORARY(l, TRUE, DBMS_LOB.SESSION);\n"
          "  DBMS_LOB.WRITEAPPEND(l, 5, 'Hello');\n  DBMS_LOB.WRITEAPPEND(l, 6, ', LOB!');\n"
          "  DBMS_OUTPUT.PUT_LINE(DBMS_LOB.GETLENGTH(l) || ' ' || DBMS_LOB.SUBSTR(l, 3, 8));\n"
          "  DBMS_APPLICATION_INFO.SET_MODULE('payroll', 'raise');\n"
          "  DBMS_APPLICATION_INFO.READ_MODULE(m, a);\n  DBMS_OUTPUT.PUT_LINE(m || '/' || a);\n"
          "  DBMS_JOB.SUBMIT(j, 'RAISE_SALARY(7369, 10);', SYSDATE, 'SYSDATE + 1');\n"
          "  DBMS_JOB.RUN(j);\n  DBMS_JOB.REMOVE(j);\n"
          "  BEGIN DBMS_JOB.REMOVE(j);\n  EXCEPTION WHEN OTHERS THEN DBMS_OUTPUT.PUT_LINE('removed: ' || SQLCODE); END;\n"
          "END;");
  EXPECT_EQ(Output(c), (std::vector<std::string>{"11 LOB", "payroll/raise", "removed: -23421"}));
  EXPECT_EQ(MustRun(c, "SELECT SAL FROM EMP WHERE EMPNO = 7369"), (Rows{{"880"}}));
  MustRun(c, "ROLLBACK");
  // COMPILE_SCHEMA compiles every unit again: the broken ones stay INVALID.
  MustRun(c, "BEGIN DBMS_UTILITY.COMPILE_SCHEMA('SCOTT'); END;");
  EXPECT_EQ(MustRun(c, "SELECT OBJECT_NAME, OBJECT_TYPE FROM USER_OBJECTS WHERE STATUS = 'INVALID' AND OBJECT_TYPE IN "
                       "('PROCEDURE', 'FUNCTION', 'PACKAGE', 'PACKAGE BODY', 'TRIGGER') ORDER BY 1"),
            (Rows{{"BROKEN_PROC", "PROCEDURE"}, {"PONG_PKG", "PACKAGE BODY"}}));
}

TEST_F(Plsql, RunawayCodeStopsWithAnError) {
  Conn c("scott", "tiger");
  MustRun(c, "CREATE OR REPLACE FUNCTION DEEP (N IN NUMBER) RETURN NUMBER IS\nBEGIN\n  RETURN DEEP(N + 1);\nEND;");
  std::string text = Fails(c, "DECLARE x NUMBER; BEGIN x := DEEP(1); END;", 4030);
  EXPECT_EQ(text.rfind("ORA-04030: out of process memory", 0), 0u) << text;
  setenv("OCISIM_PLSQL_TIME_LIMIT_MS", "200", 1);
  text = Fails(c, "BEGIN LOOP NULL; END LOOP; END;", 1013);
  unsetenv("OCISIM_PLSQL_TIME_LIMIT_MS");
  EXPECT_EQ(text.rfind("ORA-01013: user requested cancel of current operation", 0), 0u) << text;
  MustRun(c, "DROP FUNCTION DEEP");
}

}  // namespace
}  // namespace ocitest
