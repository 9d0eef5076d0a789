// The compile errors of PL/SQL units: each case is the source and the exact
// errors (line, position, text) the server puts into USER_ERRORS.
#include "fake_dictionary.h"
#include "plsql/compiler.h"

#include <gtest/gtest.h>

namespace ocisim::plsql::test {
namespace {

struct Expected {
  int line, col;
  std::string text;
};

class CompileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dict.units[{"RAISE_SALARY", "PROCEDURE"}] =
        "PROCEDURE RAISE_SALARY (P_EMPNO IN NUMBER, P_PCT IN NUMBER) IS\nBEGIN\n  NULL;\nEND;\n";
    dict.units[{"EMP_PKG", "PACKAGE"}] =
        "PACKAGE EMP_PKG AS\n  FUNCTION COUNT_EMPS RETURN NUMBER;\n  PROCEDURE HIRE (P_ENAME IN VARCHAR2, P_DEPTNO IN NUMBER);\n"
        "  MAX_SAL CONSTANT NUMBER := 5000;\nEND EMP_PKG;\n";
  }
  std::vector<Expected> Errors(const std::string& src) {
    CompileResult r = Compile(src, dict);
    std::vector<Expected> out;
    for (const auto& e : r.errors) out.push_back({e.line, e.col, e.text});
    return out;
  }
  FakeDictionary dict;
};

void ExpectErrors(const std::vector<Expected>& got, const std::vector<Expected>& want) {
  ASSERT_EQ(got.size(), want.size()) << (got.empty() ? "no errors" : got[0].text);
  for (size_t i = 0; i < got.size(); ++i) {
    EXPECT_EQ(got[i].line, want[i].line) << i << ": " << got[i].text;
    EXPECT_EQ(got[i].col, want[i].col) << i << ": " << got[i].text;
    EXPECT_EQ(got[i].text, want[i].text) << i;
  }
}

const char* kAfterName = "\n\n   := . ( @ % ;";

TEST_F(CompileTest, StrayWordAfterAStatementIsReportedAtTheEnd) {
  ExpectErrors(Errors("PROCEDURE RAISE_SALARY (P_EMPNO IN NUMBER, P_PCT IN NUMBER) IS\nBEGIN\n"
                      "  UPDATE EMP SET SAL = SAL * (1 + P_PCT / 100) WHERE EMPNO = P_EMPNO; garbage\n"
                      "END RAISE_SALARY;\n"),
               {{4, 1, std::string("PLS-00103: Encountered the symbol \"END\" when expecting one of the following:") +
                           kAfterName + "\nThe symbol \";\" was substituted for \"END\" to continue."}});
}

TEST_F(CompileTest, MissingSemicolonBeforeEnd) {
  ExpectErrors(Errors("PROCEDURE P IS\nBEGIN\n  DBMS_OUTPUT.PUT_LINE('x')\nEND;\n"),
               {{4, 1, std::string("PLS-00103: Encountered the symbol \"END\" when expecting one of the following:") +
                           kAfterName + "\nThe symbol \";\" was substituted for \"END\" to continue."}});
}

TEST_F(CompileTest, EndOfFileInsideACallListsTheStatementStarters) {
  auto errs = Errors("PROCEDURE P IS\nBEGIN\n  DBMS_OUTPUT.PUT_LINE('never compiles'\n");
  ASSERT_EQ(errs.size(), 1u);
  // At the last token (the server's place for "end-of-file"), not after it.
  EXPECT_EQ(errs[0].line, 3);
  EXPECT_EQ(errs[0].col, 24);
  EXPECT_EQ(errs[0].text,
            "PLS-00103: Encountered the symbol \"end-of-file\" when expecting one of the following:\n\n"
            "   begin case declare end exception exit for goto if loop mod\n"
            "   null pragma raise return select update while with\n"
            "   <an identifier> <a double-quoted delimited-identifier>\n"
            "   <a bind variable> << close current delete fetch lock insert\n"
            "   open rollback savepoint set sql execute commit forall merge\n"
            "   <a single-quoted SQL string> pipe");
}

TEST_F(CompileTest, UndeclaredVariable) {
  ExpectErrors(Errors("PROCEDURE P IS\n  V NUMBER;\nBEGIN\n  V := W + 1;\nEND;\n"),
               {{4, 8, "PLS-00201: identifier 'W' must be declared"}, {4, 3, "PL/SQL: Statement ignored"}});
}

TEST_F(CompileTest, MisspelledTableAndColumnInEmbeddedSql) {
  ExpectErrors(Errors("FUNCTION F (P_EMPNO IN NUMBER) RETURN NUMBER IS\n  V NUMBER;\nBEGIN\n"
                      "  SELECT SAL INTO V\n    FROM EMPP WHERE EMPNO = P_EMPNO;\n  RETURN V;\nEND;\n"),
               {{5, 10, "PL/SQL: ORA-00942: table or view does not exist"}, {4, 3, "PL/SQL: SQL Statement ignored"}});
  ExpectErrors(Errors("PROCEDURE P (P_EMPNO IN NUMBER) IS\nBEGIN\n"
                      "  UPDATE EMP SET SALL = 1 WHERE EMPNO = P_EMPNO;\nEND;\n"),
               {{3, 18, "PL/SQL: ORA-00904: \"SALL\": invalid identifier"}, {3, 3, "PL/SQL: SQL Statement ignored"}});
}

TEST_F(CompileTest, CallsWithWrongArgumentsAndUnknownComponents) {
  ExpectErrors(Errors("PROCEDURE P IS\nBEGIN\n  RAISE_SALARY(7369, 10, 3);\nEND;\n"),
               {{3, 3, "PLS-00306: wrong number or types of arguments in call to 'RAISE_SALARY'"},
                {3, 3, "PL/SQL: Statement ignored"}});
  ExpectErrors(Errors("PROCEDURE P IS\nBEGIN\n  DBMS_OUTPUT.PUTLINE('x');\nEND;\n"),
               {{3, 15, "PLS-00302: component 'PUTLINE' must be declared"}, {3, 3, "PL/SQL: Statement ignored"}});
  ExpectErrors(Errors("PROCEDURE P IS\nBEGIN\n  EMP_PKG.FIRE(1);\nEND;\n"),
               {{3, 11, "PLS-00302: component 'FIRE' must be declared"}, {3, 3, "PL/SQL: Statement ignored"}});
  ExpectErrors(Errors("PROCEDURE P IS\nBEGIN\n  NO_SUCH.PROC;\nEND;\n"),
               {{3, 3, "PLS-00201: identifier 'NO_SUCH.PROC' must be declared"}, {3, 3, "PL/SQL: Statement ignored"}});
  EXPECT_TRUE(Errors("PROCEDURE P IS\n  N NUMBER;\nBEGIN\n  EMP_PKG.HIRE('X', 10); N := EMP_PKG.COUNT_EMPS + EMP_PKG.MAX_SAL;\nEND;\n").empty());
}

TEST_F(CompileTest, PackageBodyMustDefineWhatItsSpecDeclares) {
  ExpectErrors(Errors("PACKAGE BODY EMP_PKG AS\n  FUNCTION COUNT_EMPS RETURN NUMBER IS\n  BEGIN\n    RETURN 0;\n  END;\nEND;\n"),
               {{3, 13,
                 "PLS-00323: subprogram or cursor 'HIRE' is declared in a package specification and must be defined in "
                 "the package body"}});
}

TEST_F(CompileTest, TriggerWithABadWhenCondition) {
  ExpectErrors(Errors("TRIGGER EMP_BU BEFORE UPDATE ON EMP FOR EACH ROW\nWHEN (NEW.SALARY > 1000)\nBEGIN\n"
                      "  :NEW.ENAME := UPPER(:NEW.ENAME);\nEND;\n"),
               {{2, 7, "PLS-00049: bad bind variable 'NEW.SALARY'"}});
  ExpectErrors(Errors("TRIGGER EMP_BU BEFORE UPDATE ON EMP FOR EACH ROW\nBEGIN\n  :NEW.NAME := 'X';\nEND;\n"),
               {{3, 3, "PLS-00049: bad bind variable 'NEW.NAME'"}, {3, 3, "PL/SQL: Statement ignored"}});
}

TEST_F(CompileTest, ValidUnitsRecordWhatTheyUse) {
  CompileResult r = Compile(
      "PACKAGE BODY EMP_PKG AS\n"
      "  FUNCTION COUNT_EMPS RETURN NUMBER IS\n    N NUMBER;\n  BEGIN\n"
      "    SELECT COUNT(*) INTO N FROM EMP e WHERE e.DEPTNO IN (SELECT DEPTNO FROM DEPT);\n    RETURN N;\n  END;\n"
      "  PROCEDURE HIRE (P_ENAME IN VARCHAR2, P_DEPTNO IN NUMBER) IS\n    R EMP%ROWTYPE;\n    S EMP.SAL%TYPE;\n  BEGIN\n"
      "    INSERT INTO EMP (EMPNO, ENAME, DEPTNO) VALUES (EMP_SEQ.NEXTVAL, P_ENAME, P_DEPTNO);\n"
      "    FOR c IN (SELECT ENAME, SAL total FROM EMP ORDER BY total) LOOP\n      S := c.total;\n    END LOOP;\n"
      "    RAISE_SALARY(1, 2);\n  EXCEPTION\n    WHEN NO_DATA_FOUND THEN NULL;\n  END;\nEND EMP_PKG;\n",
      dict);
  ASSERT_TRUE(r.errors.empty()) << r.errors[0].line << "/" << r.errors[0].col << " " << r.errors[0].text;
  std::set<ObjectRef> want = {{"SCOTT", "EMP", "TABLE"}, {"SCOTT", "DEPT", "TABLE"}, {"SCOTT", "EMP_SEQ", "SEQUENCE"},
                              {"SCOTT", "RAISE_SALARY", "PROCEDURE"}, {"SCOTT", "EMP_PKG", "PACKAGE"}};
  EXPECT_EQ(r.deps, want);
}

TEST_F(CompileTest, AnyInputEndsWithAnErrorOrNone) {
  // Bounded: a large body compiles in one pass.
  std::string body = "PACKAGE BODY BIG AS\n  PROCEDURE P IS\n    V NUMBER := 0;\n  BEGIN\n";
  for (int i = 0; i < 5000; ++i) body += "    IF V > " + std::to_string(i) + " THEN V := V + 1; END IF;\n";
  body += "  END;\nEND;\n";
  dict.units[{"BIG", "PACKAGE"}] = "PACKAGE BIG AS\n  PROCEDURE P;\nEND;\n";
  EXPECT_TRUE(Errors(body).empty());
  for (const char* junk : {"", "(", "'", "/*", "BEGIN", "DECLARE x", "PROCEDURE", "BEGIN ((((((( END;", "\"",
                           "TRIGGER T AFTER", "PACKAGE BODY X AS BEGIN", "BEGIN :x := ; END;"})
    EXPECT_FALSE(Errors(junk).empty()) << junk;
}

// Further cases against the server's own messages (facts sheet C4/C5).
TEST_F(CompileTest, ServerWordingOfEverydaySlips) {
  const std::string afterExpr =
      "\n\n   . ( * @ % & = - + ; < / > at in is mod remainder not rem\n"
      "   <an exponent (**)> <> or != or ~= >= <= <> and or like like2\n"
      "   like4 likec between || multiset member submultiset";
  const std::string afterCond =
      "\n\n   * & - + / at mod remainder rem then <an exponent (**)> and or\n   || multiset";
  // A stray identifier after an expression: the server reads on as if "." were there.
  ExpectErrors(Errors("PROCEDURE P IS\n  C NUMBER;\nBEGIN\n  C := C B;\nEND;\n"),
               {{4, 10, "PLS-00103: Encountered the symbol \"B\" when expecting one of the following:" + afterExpr +
                            "\nThe symbol \".\" was substituted for \"B\" to continue."}});
  // A comma between two conditions: "and" inserted; a word where THEN belongs: "then" inserted.
  ExpectErrors(Errors("PROCEDURE P IS\n  V NUMBER;\nBEGIN\n  IF V > 1000, V < 3000 THEN NULL; END IF;\nEND;\n"),
               {{4, 14, "PLS-00103: Encountered the symbol \",\" when expecting one of the following:" + afterCond +
                            "\nThe symbol \"and\" was inserted before \",\" to continue."}});
  ExpectErrors(Errors("PROCEDURE P IS\n  V NUMBER;\nBEGIN\n  IF V > 1 V := 2; END IF;\nEND;\n"),
               {{4, 12, "PLS-00103: Encountered the symbol \"V\" when expecting one of the following:" + afterCond +
                            "\nThe symbol \"then\" was inserted before \"V\" to continue."}});
  // The text ends among the declarations: what may come there.
  ExpectErrors(Errors("PROCEDURE P IS\n  V NUMBER;\n"),
               {{2, 11, "PLS-00103: Encountered the symbol \"end-of-file\" when expecting one of the following:\n\n"
                        "   begin function pragma procedure subtype type <an identifier>\n"
                        "   <a double-quoted delimited-identifier> current cursor delete\n"
                        "   exists prior"}});
  // SQL%COUNT is a name error of its own.
  ExpectErrors(Errors("PROCEDURE P IS\nBEGIN\n  IF SQL%COUNT > 0 THEN NULL; END IF;\nEND;\n"),
               {{3, 10, "PLS-00207: identifier 'COUNT', applied to implicit cursor SQL, is not a legal cursor attribute"},
                {3, 3, "PL/SQL: Statement ignored"}});
  // An unknown return type stops the analysis of the unit (line 0, column 0).
  ExpectErrors(Errors("FUNCTION F RETURN NOSUCHTYPE IS\nBEGIN\n  RETURN 1;\nEND;\n"),
               {{1, 19, "PLS-00201: identifier 'NOSUCHTYPE' must be declared"},
                {0, 0, "PL/SQL: Compilation unit analysis terminated"}});
  // A body without its specification.
  ExpectErrors(Errors("PACKAGE BODY NOSPEC IS\nEND;\n"),
               {{1, 14, "PLS-00201: identifier 'NOSPEC' must be declared"},
                {1, 14, "PLS-00304: cannot compile body of 'NOSPEC' without its specification"},
                {0, 0, "PL/SQL: Compilation unit analysis terminated"}});
}

}  // namespace
}  // namespace ocisim::plsql::test
