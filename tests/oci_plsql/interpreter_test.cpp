// The interpreter against a host without a database: control flow, values,
// exceptions and their stack, calls with OUT parameters, package state and
// the limits on runaway code. SQL-backed behaviour is tested through the
// stand-in (tests/oci/plsql_test.cpp).
#include "fake_dictionary.h"
#include "plsql/interpreter.h"

#include <gtest/gtest.h>

namespace ocisim::plsql::test {
namespace {

class FakeHost : public Host {
 public:
  const Dictionary& DictFor(const std::string&) override { return dict; }
  QueryResult Query(const std::string& sql, const std::vector<Val>& binds) override {
    // Only the SQL functions the tests use, evaluated here.
    QueryResult r;
    r.columns = {"X"};
    if (sql == "SELECT UPPER(:PLSQL_B1) FROM DUAL") {
      std::string s = binds[0].s;
      for (auto& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
      r.rows.push_back({Val::OfText(s)});
      return r;
    }
    if (sql == "SELECT NVL(:PLSQL_B1, :PLSQL_B2) FROM DUAL") {
      r.rows.push_back({binds[0].IsNull() ? binds[1] : binds[0]});
      return r;
    }
    throw PlsqlError(942, "ORA-00942: table or view does not exist");
  }
  int64_t Exec(const std::string&, const std::vector<Val>&) override {
    throw PlsqlError(942, "ORA-00942: table or view does not exist");
  }
  void Commit() override {}
  void Rollback() override {}
  Val CallPackage(const std::string& package, const std::string& name, std::vector<Val*>& args) override {
    if (package == "DBMS_OUTPUT" && name == "PUT_LINE") {
      const Val& v = *args[0];
      out.push_back(v.IsNumber() ? NumberText(v) : v.k == Val::Bool ? "?" : v.s);
    }
    return Val();
  }
  std::string DateText(const std::string& s) override { return s; }
  bool EnsureValid(const std::string&, const std::string&, const std::string&) override { return true; }

  FakeDictionary dict;
  std::vector<std::string> out;
};

class InterpreterTest : public ::testing::Test {
 protected:
  std::vector<std::string> Run(const std::string& src, Limits limits = {}) {
    std::map<std::string, Val> binds;
    Interpreter in(host, *state, "SCOTT", limits);
    in.RunBlock(src, binds);
    return host.out;
  }
  std::string Error(const std::string& src, Limits limits = {}) {
    try {
      Run(src, limits);
    } catch (const PlsqlError& e) {
      return e.what();
    }
    return "no error";
  }
  FakeHost host;
  std::shared_ptr<SessionState> state = NewSessionState();
};

TEST_F(InterpreterTest, ControlFlowAndValues) {
  host.out.clear();
  std::vector<std::string> out = Run(
      "DECLARE\n  n PLS_INTEGER := 0;\n  s VARCHAR2(100);\n  b BOOLEAN;\nBEGIN\n"
      "  FOR i IN REVERSE 1 .. 3 LOOP s := s || i; END LOOP;\n"
      "  WHILE n < 10 LOOP n := n + 3; END LOOP;\n"
      "  LOOP n := n - 1; EXIT WHEN n <= 7; END LOOP;\n"
      "  DBMS_OUTPUT.PUT_LINE(s || ' ' || n);\n"
      "  b := NULL;\n"
      "  IF b THEN DBMS_OUTPUT.PUT_LINE('yes'); ELSIF NOT b THEN DBMS_OUTPUT.PUT_LINE('no');\n"
      "  ELSE DBMS_OUTPUT.PUT_LINE('unknown'); END IF;\n"
      "  CASE WHEN n BETWEEN 1 AND 5 THEN s := 'low'; WHEN n IN (6, 7) THEN s := 'seven'; END CASE;\n"
      "  DBMS_OUTPUT.PUT_LINE(s || ' ' || CASE n WHEN 7 THEN 'x' ELSE 'y' END);\n"
      "  DBMS_OUTPUT.PUT_LINE(7 / 2 || ' ' || -0.5 || ' ' || MOD(7, 3) || ' ' || 2 ** 10);\n"
      "  IF 'abc' LIKE 'a_c%' AND 'x' IS NOT NULL AND NULL IS NULL THEN DBMS_OUTPUT.PUT_LINE('like'); END IF;\n"
      "  DBMS_OUTPUT.PUT_LINE(UPPER('mixed') || NVL(NULL, '!'));\n"
      "END;");
  EXPECT_EQ(out, (std::vector<std::string>{"321 7", "unknown", "seven x", "3.5 -.5 1 1024", "like", "MIXED!"}));
}

TEST_F(InterpreterTest, NestedSubprogramsWithOutParametersAndRecords) {
  EXPECT_EQ(Run("DECLARE\n"
                "  TYPE pair_t IS RECORD (a NUMBER, b VARCHAR2(10));\n"
                "  p pair_t;\n  total NUMBER := 0;\n"
                "  PROCEDURE add (p_x IN NUMBER, p_sum IN OUT NUMBER, p_note OUT VARCHAR2) IS\n"
                "  BEGIN\n    p_sum := p_sum + p_x;\n    p_note := 'added ' || p_x;\n  END;\n"
                "  FUNCTION fact (n IN NUMBER) RETURN NUMBER IS\n  BEGIN\n"
                "    IF n <= 1 THEN RETURN 1; END IF;\n    RETURN n * fact(n - 1);\n  END;\n"
                "BEGIN\n"
                "  add(5, total, p.b);\n  add(p_sum => total, p_x => 2, p_note => p.b);\n"
                "  p.a := fact(10);\n"
                "  DBMS_OUTPUT.PUT_LINE(total || ' ' || p.b || ' ' || p.a);\n"
                "END;"),
            (std::vector<std::string>{"7 added 2 3628800"}));
}

TEST_F(InterpreterTest, ExceptionsHandlersAndTheStack) {
  EXPECT_EQ(Run("DECLARE\n  v NUMBER;\n  e_low EXCEPTION;\n  PRAGMA EXCEPTION_INIT(e_low, -20005);\nBEGIN\n"
                "  BEGIN v := 1 / 0; EXCEPTION WHEN ZERO_DIVIDE THEN DBMS_OUTPUT.PUT_LINE(SQLERRM); END;\n"
                "  BEGIN RAISE_APPLICATION_ERROR(-20005, 'too low');\n"
                "  EXCEPTION WHEN e_low THEN DBMS_OUTPUT.PUT_LINE(SQLCODE || ': ' || SQLERRM); END;\n"
                "  BEGIN\n    BEGIN RAISE NO_DATA_FOUND; EXCEPTION WHEN NO_DATA_FOUND THEN RAISE; END;\n"
                "  EXCEPTION WHEN OTHERS THEN DBMS_OUTPUT.PUT_LINE('outer ' || SQLCODE); END;\n"
                "  DBMS_OUTPUT.PUT_LINE(SQLCODE);\n"
                "END;"),
            (std::vector<std::string>{"ORA-01476: divisor is equal to zero", "-20005: ORA-20005: too low",
                                      "outer 100", "0"}));
  EXPECT_EQ(Error("DECLARE\n  PROCEDURE p IS\n  BEGIN\n    RAISE_APPLICATION_ERROR(-20001, 'deep');\n  END;\n"
                  "BEGIN\n  NULL;\n  p;\nEND;"),
            "ORA-20001: deep\nORA-06512: at line 4\nORA-06512: at line 8");
  EXPECT_EQ(Error("BEGIN RAISE_APPLICATION_ERROR(-1, 'x'); END;").rfind("ORA-21000: error number argument to "
                                                                      "raise_application_error of -1 is out of range", 0),
            0u);
  EXPECT_EQ(Error("DECLARE v VARCHAR2(3); BEGIN v := 'abcd'; END;"),
            "ORA-06502: PL/SQL: numeric or value error: character string buffer too small\nORA-06512: at line 1");
}

TEST_F(InterpreterTest, RunawayCodeStops) {
  Limits l;
  l.maxDepth = 50;
  EXPECT_EQ(Error("DECLARE\n  FUNCTION f (n NUMBER) RETURN NUMBER IS BEGIN RETURN f(n + 1); END;\n"
                  "  x NUMBER;\nBEGIN\n  x := f(1);\nEXCEPTION WHEN OTHERS THEN NULL;\nEND;", l)
                .rfind("ORA-04030: out of process memory", 0),
            0u);
  l.timeLimit = std::chrono::milliseconds(50);
  EXPECT_EQ(Error("BEGIN LOOP BEGIN NULL; EXCEPTION WHEN OTHERS THEN NULL; END; END LOOP; END;", l)
                .rfind("ORA-01013: user requested cancel of current operation", 0),
            0u);
}

TEST_F(InterpreterTest, CompileErrorsOfABlockComeAsOra06550) {
  EXPECT_EQ(Error("BEGIN\n  x := 1;\nEND;"),
            "ORA-06550: line 2, column 3:\nPLS-00201: identifier 'X' must be declared\n"
            "ORA-06550: line 2, column 3:\nPL/SQL: Statement ignored");
}

}  // namespace
}  // namespace ocisim::plsql::test
