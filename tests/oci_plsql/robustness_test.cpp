// Malformed PL/SQL never crashes the compiler: random token soup and every
// prefix of real units end in a list of errors (or none), nothing else.
#include "fake_dictionary.h"
#include "plsql/compiler.h"

#include <gtest/gtest.h>

#include <random>

namespace ocisim::plsql::test {
namespace {

bool Survives(const std::string& src, const Dictionary& dict, std::string& why) {
  try {
    Compile(src, dict);
  } catch (const std::exception& e) {
    why = e.what();
    return false;
  }
  return true;
}

TEST(PlsqlRobustness, RandomTokenSoup) {
  FakeDictionary dict;
  const std::vector<std::string> vocab = {
      "PROCEDURE", "FUNCTION", "PACKAGE", "BODY", "TRIGGER", "IS", "AS", "BEGIN", "END", "DECLARE", "EXCEPTION",
      "WHEN", "THEN", "OTHERS", "IF", "ELSIF", "ELSE", "LOOP", "FOR", "IN", "..", "WHILE", "EXIT", "RETURN",
      "RAISE", "NULL", ";", ",", "(", ")", ":=", "=>", ".", "%", "TYPE", "ROWTYPE", "CURSOR", "OPEN", "FETCH",
      "INTO", "CLOSE", "SELECT", "FROM", "WHERE", "EMP", "SAL", "EMPNO", "UPDATE", "SET", "INSERT", "VALUES",
      "DELETE", "X", "Y", "NUMBER", "VARCHAR2", "'s'", "1", "2.5", ":NEW", ":OLD", "CASE", "AND", "OR", "NOT", "||",
      "+", "-", "*", "/", "<", ">", "=", "<<", ">>", "RECORD", "TABLE", "OF", "PRAGMA", "EXCEPTION_INIT",
      "EXECUTE", "IMMEDIATE", "USING", "COMMIT", "ROLLBACK", "CONSTANT", "DEFAULT", "ON", "AFTER", "BEFORE",
      "EACH", "ROW", "DBMS_OUTPUT", "PUT_LINE", "\"Q\"", "--c\n", "/* c */"};
  std::mt19937 rng(4242);
  for (int i = 0; i < 3000; ++i) {
    std::string src;
    int n = 1 + static_cast<int>(rng() % 40);
    for (int k = 0; k < n; ++k) src += vocab[rng() % vocab.size()] + " ";
    std::string why;
    EXPECT_TRUE(Survives(src, dict, why)) << src << " -> " << why;
  }
}

// Nesting far deeper than any real code ends in an error, not in a stack
// overflow of the process that hosts the client library.
TEST(PlsqlRobustness, AbsurdNestingIsAnErrorNotACrash) {
  FakeDictionary dict;
  const int deep = 20000;
  const std::string parens = "PROCEDURE P IS V NUMBER; BEGIN V := " + std::string(deep, '(') + "1" +
                             std::string(deep, ')') + "; END;";
  std::string blocks = "PROCEDURE Q IS BEGIN ";
  for (int i = 0; i < deep; ++i) blocks += "BEGIN ";
  blocks += "NULL; ";
  for (int i = 0; i < deep; ++i) blocks += "END; ";
  blocks += "END;";
  for (const std::string& src : {parens, blocks, [&] {
         std::string minus = "PROCEDURE R IS V NUMBER; BEGIN V := ";
         for (int i = 0; i < deep; ++i) minus += "- ";
         return minus + "1; END;";
       }()}) {
    std::string why;
    ASSERT_TRUE(Survives(src, dict, why)) << why;
    CompileResult r = Compile(src, dict);
    ASSERT_FALSE(r.errors.empty());
    EXPECT_NE(r.errors[0].text.find("PLS-00123"), std::string::npos) << r.errors[0].text;
  }
}

TEST(PlsqlRobustness, EveryPrefixOfRealUnits) {
  FakeDictionary dict;
  dict.units[{"P", "PACKAGE"}] = "PACKAGE P AS\n  PROCEDURE A (X IN NUMBER);\nEND;\n";
  const std::vector<std::string> units = {
      "PACKAGE BODY P AS\n  G NUMBER := 1;\n  PROCEDURE A (X IN NUMBER) IS\n    CURSOR C IS SELECT ENAME FROM EMP;\n"
      "    R EMP%ROWTYPE;\n  BEGIN\n    FOR Z IN C LOOP NULL; END LOOP;\n    SELECT * INTO R FROM EMP WHERE EMPNO = X;\n"
      "  EXCEPTION\n    WHEN NO_DATA_FOUND THEN RAISE_APPLICATION_ERROR(-20001, 'x' || SQLERRM);\n  END;\nEND P;\n",
      "TRIGGER T BEFORE INSERT OR UPDATE OF SAL ON EMP FOR EACH ROW WHEN (NEW.SAL > 0)\nDECLARE\n  V NUMBER;\n"
      "BEGIN\n  :NEW.SAL := NVL(:OLD.SAL, 0) + CASE WHEN V IS NULL THEN 1 ELSE 2 END;\nEND;\n",
      "DECLARE\n  TYPE T IS RECORD (A NUMBER);\n  V T;\nBEGIN\n  <<L>> LOOP EXIT L WHEN V.A > 3; V.A := NVL(V.A, 0) + 1; "
      "END LOOP;\n  EXECUTE IMMEDIATE 'x' USING V.A;\nEND;\n"};
  for (const auto& u : units)
    for (size_t len = 0; len <= u.size(); ++len) {
      std::string why;
      EXPECT_TRUE(Survives(u.substr(0, len), dict, why)) << u.substr(0, len) << " -> " << why;
      // Cut before its final ';' the unit is incomplete: at least one error.
      if (len <= u.rfind(';')) {
        EXPECT_FALSE(Compile(u.substr(0, len), dict).errors.empty()) << u.substr(0, len);
      }
    }
  // The whole units compile.
  for (const auto& u : units) EXPECT_TRUE(Compile(u, dict).errors.empty()) << u;
}

}  // namespace
}  // namespace ocisim::plsql::test
