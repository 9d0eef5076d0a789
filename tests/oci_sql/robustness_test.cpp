// Malformed input never crashes the translator or escapes as anything but
// an Oracle error: random token soup and truncations of real statements.
#include <random>

#include "test_db.h"

using namespace ocisql_test;
using namespace ocisim::sql;

namespace {

// Translates; true when it succeeded or failed with an OraError.
bool Survives(const std::string& sql, const Catalog& catalog, std::string& why) {
  try {
    Translate(sql, catalog);
  } catch (const OraError&) {
  } catch (const std::exception& e) {
    why = e.what();
    return false;
  }
  return true;
}

}  // namespace

TEST(Robustness, RandomTokenSoupGivesOnlyOracleErrors) {
  TestDb db;
  const std::vector<std::string> vocab = {
      "SELECT", "FROM", "WHERE", "EMP", "DEPT", "E", "D", ".", ",", "(", ")", "(+)", "=", "<>", "AND", "OR", "NOT",
      "CONNECT", "BY", "PRIOR", "START", "WITH", "LEVEL", "ROWNUM", "<=", "ORDER", "SIBLINGS", "GROUP", "HAVING",
      "UNION", "MINUS", "ALL", "DISTINCT", "*", "COUNT", "DECODE", "NVL", "||", "'x'", "''", "1", "2.5", ":B", ":1",
      "ENAME", "DEPTNO", "IN", "EXISTS", "IS", "NULL", "LIKE", "BETWEEN", "CASE", "WHEN", "THEN", "ELSE", "END",
      "INSERT", "INTO", "VALUES", "UPDATE", "SET", "DELETE", "CREATE", "TABLE", "VIEW", "AS", "DROP", "BEGIN", ";",
      "DBMS_OUTPUT", "PUT_LINE", "COMMENT", "ON", "GRANT", "TO", "SYSDATE", "USER", "-", "+", "/", "EMP_SEQ",
      "NEXTVAL", "\"q\"", "TO_CHAR", "LPAD", "SUBSTR", "EXPLAIN", "PLAN", "FOR", "ALTER", "SESSION", "SYSTEM", "KILL"};
  std::mt19937 rng(12345);
  for (int i = 0; i < 3000; ++i) {
    std::string sql;
    int n = 1 + static_cast<int>(rng() % 25);
    for (int k = 0; k < n; ++k) sql += vocab[rng() % vocab.size()] + " ";
    std::string why;
    EXPECT_TRUE(Survives(sql, db.catalog, why)) << sql << " -> " << why;
  }
}

TEST(Robustness, EveryPrefixOfRealStatements) {
  TestDb db;
  const std::vector<std::string> statements = {
      "SELECT D.DNAME, E.ENAME FROM DEPT D, EMP E WHERE D.DEPTNO = E.DEPTNO (+) AND E.JOB(+) = 'CLERK' ORDER BY 1",
      "SELECT LPAD(ROWNUM, 5, '0') AS RN, LEVEL FROM EMP START WITH MGR IS NULL CONNECT BY PRIOR EMPNO = MGR",
      "CREATE TABLE T (A NUMBER(5,2) NOT NULL, B VARCHAR2(10) DEFAULT 'x' CHECK (B <> 'y'), CONSTRAINT PK PRIMARY KEY (A))",
      "BEGIN DBMS_OUTPUT.PUT_LINE('a' || :X); UPDATE EMP SET SAL = 1 WHERE EMPNO = :E; END;",
      "EXPLAIN PLAN SET STATEMENT_ID = 'X' INTO PLAN_TABLE FOR SELECT * FROM EMP WHERE ROWNUM <= 3",
      "COMMENT ON COLUMN SCOTT.EMP.ENAME IS 'it''s'",
  };
  for (const auto& s : statements) {
    for (size_t len = 0; len <= s.size(); ++len) {
      std::string why;
      EXPECT_TRUE(Survives(s.substr(0, len), db.catalog, why)) << s.substr(0, len) << " -> " << why;
    }
  }
}

// The translator marks binds with bytes 1 and 2 until it numbers them; the
// same bytes in a literal or a quoted name are text, whatever binds follow
// (a lone byte 1 once made the translation loop for ever).
TEST(Robustness, MarkerBytesInTheStatementAreText) {
  TestDb db;
  Translation lone = Translate("SELECT 'x\x01' FROM EMP", db.catalog);
  EXPECT_TRUE(lone.binds.empty());
  EXPECT_NE(lone.sqlite.find("'x\x01'"), std::string::npos) << lone.sqlite;

  Translation t = Translate("SELECT 'a\x01' AS \"q\x01\", :B, 'c\x02' FROM EMP WHERE ENAME = :E", db.catalog);
  EXPECT_EQ(t.binds, (std::vector<std::string>{"B", "E"}));
  EXPECT_NE(t.sqlite.find("'a\x01'"), std::string::npos) << t.sqlite;
  EXPECT_NE(t.sqlite.find("\"q\x01\""), std::string::npos) << t.sqlite;
  EXPECT_NE(t.sqlite.find("'c\x02'"), std::string::npos) << t.sqlite;
}
