// Scripts written from the demo database and run with the SQL*Plus
// stand-in into empty copies of the tables in another schema (or another
// database): the rows come back exactly, and each option does what it says.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <sstream>

#include "connection/data_module.h"
#include "fake_host.h"
#include "operations/table_script.h"
#include "oracle/oracle_query.h"
#include "oracle/oracle_session.h"
#include "platform/platform.h"

namespace {

namespace fs = std::filesystem;
using operations::ScriptOptions;

struct SqlPlusRun {
  std::string output;
  int status = -1;
};

class TableScript : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = fs::temp_directory_path() / ("quarry-script-" + std::to_string(std::random_device{}()));
    fs::create_directories(dir_ / "db");
    fs::create_directories(dir_ / "reg");
    platform::SetEnv("OCISIM_DATA_DIR", (dir_ / "db").string());
    platform::SetEnv("QUARRY_REGISTRY_DIR", (dir_ / "reg").string());
  }
  static void TearDownTestSuite() {
    if (std::getenv("QUARRY_KEEP_TEST_DATA")) return;  // for looking into a failure
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }
  void SetUp() override { fakehost::Install(); }

  oracle::TOracleSession& Session(const std::string& user, const std::string& password,
                                  const std::string& alias = "") {
    const std::string key = user + "@" + alias;
    auto& m = modules_[key];
    if (!m) {
      m = std::make_unique<connection::TPluginDataModule>();
      auto& s = m->OracleSession();
      s.LogonUsername = user;
      s.LogonPassword = password;
      s.LogonDatabase = alias;
      s.SetConnected(true);
    }
    return m->OracleSession();
  }
  // Runs a statement as SYSTEM (DDL, setup) and commits.
  void Sql(const std::string& text, const std::string& alias = "") {
    auto& s = Session("system", "manager", alias);
    oracle::TOracleQuery q(&s);
    q.SetSQL(text);
    q.Execute();
    oracle::TOracleQuery c(&s);
    c.SetSQL("COMMIT");
    c.Execute();
  }
  std::int64_t Count(const std::string& from, const std::string& alias = "") {
    oracle::TOracleQuery q(&Session("system", "manager", alias));
    q.SetSQL("SELECT COUNT(*) FROM " + from);
    q.Execute();
    return q.FieldAsInteger(0);
  }
  fs::path Write(const std::string& table, const ScriptOptions& o, const std::string& owner = "SCOTT") {
    const fs::path file = dir_ / (table + ".sql");
    auto r = operations::WriteTableScript(Session("scott", "tiger"), owner, table, file.string(), o);
    EXPECT_TRUE(r.completed);
    return file;
  }
  SqlPlusRun SqlPlus(const std::string& logon, const fs::path& script) {
    const std::string command = "'" SQLPLUS_PROGRAM "' -S -L " + logon + " @'" + script.string() + "' </dev/null 2>&1";
    SqlPlusRun r;
    FILE* p = popen(command.c_str(), "r");
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) r.output.append(buf, n);
    const int rc = pclose(p);
    r.status = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
    return r;
  }
  // Rows of a in b and of b in a (MINUS both ways), and the two counts.
  void ExpectSameRows(const std::string& a, const std::string& b) {
    EXPECT_EQ(Count("(SELECT * FROM " + a + " MINUS SELECT * FROM " + b + ")"), 0) << a << " minus " << b;
    EXPECT_EQ(Count("(SELECT * FROM " + b + " MINUS SELECT * FROM " + a + ")"), 0) << b << " minus " << a;
    EXPECT_EQ(Count(a), Count(b));
  }
  static std::string Slurp(const fs::path& f) {
    std::ifstream in(f, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  }
  // Temporary files left in the test's folder.
  static std::vector<std::string> PartFiles() {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir_))
      if (e.path().extension() == ".part") names.push_back(e.path().filename().string());
    return names;
  }
  static ScriptOptions IntoAnotherSchema() {
    ScriptOptions o;
    o.userCheck = false;
    return o;
  }

  static fs::path dir_;
  std::map<std::string, std::unique_ptr<connection::TPluginDataModule>> modules_;
};

fs::path TableScript::dir_;

// The demo's EMP and DEPT, without their constraints.
const std::string kDeptColumns = " (DEPTNO NUMBER(2), DNAME VARCHAR2(14), LOC VARCHAR2(13))";
const std::string kEmpColumns =
    " (EMPNO NUMBER(4), ENAME VARCHAR2(10), JOB VARCHAR2(9), MGR NUMBER(4), HIREDATE DATE, SAL NUMBER(7,2),"
    " COMM NUMBER(7,2), DEPTNO NUMBER(2))";

const char kAllTypes[] =
    " (ID NUMBER(4), N NUMBER, F FLOAT, C CHAR(10), V VARCHAR2(4000), NC NCHAR(6), NV NVARCHAR2(100),"
    " D DATE, R RAW(200), CL CLOB, NCL NCLOB, L LONG)";

TEST_F(TableScript, RowsOfEveryTypeComeBackExactly) {
  Sql(std::string("CREATE TABLE SCOTT.ALL_TYPES") + kAllTypes);
  Sql(std::string("CREATE TABLE SALES.ALL_TYPES") + kAllTypes);
  // Nasty values go in through binds, so they are exactly these.
  std::string clob;
  for (int i = 0; clob.size() < 10000; ++i) clob += i % 50 == 49 ? "\n" : i % 13 == 0 ? "'&" : "x";
  clob.resize(10000);
  std::string longText(5000, 'L');
  longText[100] = '\'';
  longText[200] = '\n';
  std::string maxText(4000, '\'');
  {
    auto& s = Session("scott", "tiger");
    oracle::TOracleQuery q(&s);
    q.SetSQL("INSERT INTO ALL_TYPES VALUES (:ID, :N, :F, :C, :V, :NC, :NV, TO_DATE(:D, 'YYYY-MM-DD HH24:MI:SS'),"
             " HEXTORAW(:R), :CL, :NCL, :L)");
    for (const char* v : {"ID", "N", "F", "C", "V", "NC", "NV", "D", "R", "CL", "NCL", "L"})
      q.DeclareVariable(v, oracle::otString);
    auto row = [&](const std::vector<std::string>& values) {
      const char* names[] = {"ID", "N", "F", "C", "V", "NC", "NV", "D", "R", "CL", "NCL", "L"};
      for (size_t i = 0; i < values.size(); ++i) {
        if (values[i] == "<null>") q.SetVariable(names[i], oracle::TOracleValue(oracle::TNull{}));
        else q.SetVariable(names[i], values[i]);
      }
      q.Execute();
    };
    row({"1", "12345678901234567890123456789012345678", "-0.000001", "it's", "a&b 'q' \"d\"\r\nline2\tx\x01",
         "\xC3\xA9t\xC3\xA9", "Gr\xC3\xBC\xC3\x9F" "e \xE6\x97\xA5\xE6\x9C\xAC", "0001-01-01 00:00:00", "00FF7F80",
         clob, "n\ncl\rob", longText});
    row({"2", "1E-130", "123.456", "/", "/\n.\nREM x\n@y\n-- z\n/* w */\nSET x\n", "&amp", "&&x",
         "9999-12-31 23:59:59", "FFFFFFFF", "/", ".", "&"});
    row({"3", "<null>", "<null>", "<null>", "<null>", "<null>", "<null>", "<null>", "<null>", "<null>", "<null>",
         "<null>"});
    row({"4", "-99999999999999999999999999999999999999", "0", "x", maxText, "a", "b", "2000-02-29 12:00:01", "00",
         "c", "d", "short"});
    oracle::TOracleQuery c(&s);
    c.SetSQL("COMMIT");
    c.Execute();
  }
  const fs::path script = Write("ALL_TYPES", IntoAnotherSchema());
  const std::string text = Slurp(script);
  std::istringstream lines(text);
  for (std::string l; std::getline(lines, l);) {
    EXPECT_LE(l.size(), 2499u);
    EXPECT_EQ(l.find('\r'), std::string::npos);
    EXPECT_EQ(l.find('\t'), std::string::npos);
  }
  SqlPlusRun r = SqlPlus("sales/sales", script);
  EXPECT_EQ(r.status, 0) << r.output;
  EXPECT_EQ(r.output, "ALL_TYPES holds 4 rows, as expected.\n")
      << r.output;
  ExpectSameRows("SCOTT.ALL_TYPES", "SALES.ALL_TYPES");
  // Column by column too (NULLs compare as unknown in the MINUS above only when both sides agree).
  for (const char* col : {"N", "F", "C", "V", "NC", "NV", "D", "R", "CL", "NCL", "L"})
    EXPECT_EQ(Count(std::string("SCOTT.ALL_TYPES A, SALES.ALL_TYPES B WHERE A.ID = B.ID AND (A.") + col + " = B." + col +
                    " OR A." + col + " IS NULL AND B." + col + " IS NULL)"),
              4)
        << col;
}

TEST_F(TableScript, EmpDeptAndAnEmptyTableComeBackExactly) {
  Sql("CREATE TABLE SALES.EMP" + kEmpColumns);
  Sql("CREATE TABLE SALES.DEPT" + kDeptColumns);
  Sql("CREATE TABLE SCOTT.NOTHING (A NUMBER, B VARCHAR2(10))");
  Sql("CREATE TABLE SALES.NOTHING (A NUMBER, B VARCHAR2(10))");
  for (const char* t : {"EMP", "DEPT", "NOTHING"}) {
    const fs::path script = Write(t, IntoAnotherSchema());
    SqlPlusRun r = SqlPlus("sales/sales", script);
    EXPECT_EQ(r.status, 0) << t << r.output << Slurp(script);
    ExpectSameRows(std::string("SCOTT.") + t, std::string("SALES.") + t);
  }
  EXPECT_EQ(Count("SALES.EMP"), 14);
}

TEST_F(TableScript, TheUserCheckStopsForAnotherUser) {
  Sql("CREATE TABLE SALES.DEPT_U" + kDeptColumns);
  Sql("CREATE TABLE SCOTT.DEPT_U" + kDeptColumns);
  Sql("INSERT INTO SCOTT.DEPT_U SELECT * FROM SCOTT.DEPT");
  ScriptOptions o;
  const fs::path script = Write("DEPT_U", o);
  EXPECT_NE(Slurp(script).find("IF USER <> 'SCOTT' THEN"), std::string::npos);
  SqlPlusRun r = SqlPlus("sales/sales", script);
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.output.find("ORA-20001: This script loads rows of SCOTT; connect as SCOTT to run it, not as SALES."),
            std::string::npos)
      << r.output;
  EXPECT_EQ(Count("SALES.DEPT_U"), 0);
  // The owner runs it: the rows are replaced by themselves.
  r = SqlPlus("scott/tiger", script);
  EXPECT_EQ(r.status, 0) << r.output;
  EXPECT_EQ(Count("SCOTT.DEPT_U"), 4);
  // Without the check another user loads them.
  o.userCheck = false;
  r = SqlPlus("sales/sales", Write("DEPT_U", o));
  EXPECT_EQ(r.status, 0) << r.output;
  EXPECT_EQ(Count("SALES.DEPT_U"), 4);
}

TEST_F(TableScript, TheCharacterSetCheckStopsOnAnotherCharacterSet) {
  // A second database whose character set differs from the demo's UTF8.
  Sql("CREATE TABLE SALES.DEPT" + kDeptColumns, "DEMO19");
  {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open((dir_ / "db" / "demo19.db").c_str(), &db), SQLITE_OK);
    sqlite3_busy_timeout(db, 10000);
    ASSERT_EQ(sqlite3_exec(db,
                           "UPDATE \"SYS.NLS_DATABASE_PARAMETERS\" SET VALUE = 'WE8ISO8859P1' "
                           "WHERE PARAMETER = 'NLS_CHARACTERSET'",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);
  }
  ScriptOptions o = IntoAnotherSchema();
  SqlPlusRun r = SqlPlus("sales/sales@DEMO19", Write("DEPT", o));
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.output.find("ORA-20002: The rows were written from a UTF8 database; this database uses WE8ISO8859P1."),
            std::string::npos)
      << r.output;
  EXPECT_EQ(Count("SALES.DEPT", "DEMO19"), 0);
  o.charsetCheck = false;
  r = SqlPlus("sales/sales@DEMO19", Write("DEPT", o));
  EXPECT_EQ(r.status, 0) << r.output;
  EXPECT_EQ(Count("SALES.DEPT", "DEMO19"), 4);
}

TEST_F(TableScript, ErrorHandlingLeavesNothingHalfLoaded) {
  // The target refuses the third row; it already holds a row of its own.
  Sql("CREATE TABLE SCOTT.PLACES (ID NUMBER, LOC VARCHAR2(13))");
  Sql("INSERT INTO SCOTT.PLACES VALUES (1, 'A')");
  Sql("INSERT INTO SCOTT.PLACES VALUES (2, 'B')");
  Sql("INSERT INTO SCOTT.PLACES VALUES (3, NULL)");
  Sql("INSERT INTO SCOTT.PLACES VALUES (4, 'D')");
  Sql("CREATE TABLE SALES.PLACES (ID NUMBER, LOC VARCHAR2(13) NOT NULL)");
  Sql("INSERT INTO SALES.PLACES VALUES (99, 'OLD')");
  ScriptOptions o = IntoAnotherSchema();
  SqlPlusRun r = SqlPlus("sales/sales", Write("PLACES", o));
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.output.find("ORA-01400"), std::string::npos) << r.output;
  EXPECT_EQ(Count("SALES.PLACES"), 1);
  EXPECT_EQ(Count("SALES.PLACES WHERE ID = 99"), 1) << "the DELETE is undone with the inserts";
  // Without it the other rows load, and the row count check says what is missing.
  o.errorHandling = false;
  o.hideOutput = false;
  r = SqlPlus("sales/sales", Write("PLACES", o));
  EXPECT_EQ(r.status, 0) << r.output;
  EXPECT_EQ(Count("SALES.PLACES"), 3);
  EXPECT_NE(r.output.find("ORA-20003: PLACES holds 3 rows; 4 were expected."), std::string::npos) << r.output;
}

TEST_F(TableScript, DeleteFirstMakesASecondRunIdempotent) {
  Sql("CREATE TABLE SALES.DEPT_D" + kDeptColumns);
  Sql("CREATE TABLE SCOTT.DEPT_D" + kDeptColumns);
  Sql("INSERT INTO SCOTT.DEPT_D SELECT * FROM SCOTT.DEPT");
  ScriptOptions o = IntoAnotherSchema();
  fs::path script = Write("DEPT_D", o);
  EXPECT_EQ(SqlPlus("sales/sales", script).status, 0);
  EXPECT_EQ(SqlPlus("sales/sales", script).status, 0);
  EXPECT_EQ(Count("SALES.DEPT_D"), 4);
  o.deleteFirst = false;
  script = Write("DEPT_D", o);
  EXPECT_EQ(Slurp(script).find("DELETE FROM"), std::string::npos);
  SqlPlusRun r = SqlPlus("sales/sales", script);
  EXPECT_EQ(r.status, 0) << r.output;
  EXPECT_EQ(Count("SALES.DEPT_D"), 8);
  EXPECT_NE(r.output.find("DEPT_D holds 8 rows, as expected."), std::string::npos) << r.output;
}

TEST_F(TableScript, HideOutputAndCountRecords) {
  Sql("CREATE TABLE SALES.DEPT_H" + kDeptColumns);
  Sql("CREATE TABLE SCOTT.DEPT_H" + kDeptColumns);
  Sql("INSERT INTO SCOTT.DEPT_H SELECT * FROM SCOTT.DEPT");
  ScriptOptions o = IntoAnotherSchema();
  SqlPlusRun r = SqlPlus("sales/sales", Write("DEPT_H", o));
  EXPECT_EQ(r.output.find("row created."), std::string::npos) << r.output;
  o.hideOutput = false;
  o.countRecords = false;
  const fs::path script = Write("DEPT_H", o);
  const std::string text = Slurp(script);
  EXPECT_EQ(text.find("REM Rows counted"), std::string::npos);
  EXPECT_EQ(text.find("rows_found"), std::string::npos);
  r = SqlPlus("sales/sales", script);
  size_t created = 0;
  for (size_t at = r.output.find("1 row created."); at != std::string::npos; at = r.output.find("1 row created.", at + 1))
    ++created;
  EXPECT_EQ(created, 4u) << r.output;
  EXPECT_EQ(r.output.find("holds"), std::string::npos);
  o.countRecords = true;
  EXPECT_NE(Slurp(Write("DEPT_H", o)).find("REM Rows counted before writing: 4\n"), std::string::npos);
}

TEST_F(TableScript, LeftOutColumnsAreNamedAndTheRestLoads) {
  Sql("CREATE TABLE SCOTT.PICS (ID NUMBER, PIC BLOB, NAME VARCHAR2(10), RAWL LONG RAW)");
  Sql("INSERT INTO SCOTT.PICS (ID, NAME) VALUES (1, 'one')");
  Sql("CREATE TABLE SALES.PICS (ID NUMBER, PIC BLOB, NAME VARCHAR2(10), RAWL LONG RAW)");
  const std::string text = Slurp(Write("PICS", IntoAnotherSchema()));
  EXPECT_NE(text.find("REM Columns left out (this script cannot carry their type):\nREM   \"PIC\" BLOB\nREM   \"RAWL\" LONG RAW\n"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("INSERT INTO \"PICS\" (\"ID\", \"NAME\")"), std::string::npos);
}

TEST_F(TableScript, AStopOrAFailureLeavesNoFileAndTheOldOneUntouched) {
  Sql("CREATE TABLE SCOTT.MANY (ID NUMBER)");
  Sql("INSERT INTO SCOTT.MANY SELECT EMPNO FROM SCOTT.EMP");
  for (int i = 0; i < 6; ++i) Sql("INSERT INTO SCOTT.MANY SELECT ID + 1 FROM SCOTT.MANY");
  const fs::path file = dir_ / "MANY.sql";
  std::ofstream(file) << "old script";
  bool asked = false;
  auto stop = [&](std::int64_t, std::int64_t) {
    asked = true;
    return false;
  };
  auto r = operations::WriteTableScript(Session("scott", "tiger"), "SCOTT", "MANY", file.string(), ScriptOptions{}, stop);
  EXPECT_TRUE(asked);
  EXPECT_FALSE(r.completed);
  EXPECT_EQ(Slurp(file), "old script");
  EXPECT_TRUE(PartFiles().empty());
  // A LONG longer than a script can load is refused with the reason.
  Sql("CREATE TABLE SCOTT.BIGLONG (L LONG)");
  {
    auto& s = Session("scott", "tiger");
    oracle::TOracleQuery q(&s);
    q.SetSQL("INSERT INTO BIGLONG VALUES (:L)");
    q.DeclareVariable("L", oracle::otString);
    q.SetVariable("L", std::string(40000, 'z'));
    q.Execute();
    oracle::TOracleQuery c(&s);
    c.SetSQL("COMMIT");
    c.Execute();
  }
  const fs::path big = dir_ / "BIGLONG.sql";
  try {
    operations::WriteTableScript(Session("scott", "tiger"), "SCOTT", "BIGLONG", big.string(), ScriptOptions{});
    ADD_FAILURE() << "no error";
  } catch (const std::exception& e) {
    EXPECT_NE(std::string(e.what()).find("holds 40000 bytes; a SQL*Plus script can load at most 32760"),
              std::string::npos)
        << e.what();
  }
  EXPECT_FALSE(fs::exists(big));
  EXPECT_TRUE(PartFiles().empty());
}

TEST_F(TableScript, TheUsersOwnFilesNamedLikeTheTemporaryOneAreLeftAlone) {
  Sql("CREATE TABLE SCOTT.DEPT_P" + kDeptColumns);
  Sql("INSERT INTO SCOTT.DEPT_P SELECT * FROM SCOTT.DEPT");
  const fs::path file = dir_ / "DEPT_P.sql";
  for (const char* suffix : {".part", ".0.part", ".1.part"}) std::ofstream(file.string() + suffix) << "mine";
  Write("DEPT_P", IntoAnotherSchema());
  for (const char* suffix : {".part", ".0.part", ".1.part"}) {
    EXPECT_EQ(Slurp(file.string() + suffix), "mine") << suffix;
    fs::remove(file.string() + suffix);
  }
  EXPECT_NE(Slurp(file).find("INSERT INTO \"DEPT_P\""), std::string::npos);
  EXPECT_TRUE(PartFiles().empty());
  // A folder that does not exist: the error names the file the user asked for.
  try {
    operations::WriteTableScript(Session("scott", "tiger"), "SCOTT", "DEPT_P", (dir_ / "nowhere" / "X.sql").string(),
                                 ScriptOptions{});
    ADD_FAILURE() << "no error";
  } catch (const std::exception& e) {
    EXPECT_EQ(std::string(e.what()), "Cannot create the file " + (dir_ / "nowhere" / "X.sql").string());
  }
}

TEST_F(TableScript, DatesKeepTheirSignAndTheScriptLeavesSqlPlusAsItFoundIt) {
  Sql("CREATE TABLE SCOTT.DAYS (D DATE)");
  Sql("CREATE TABLE SALES.DAYS (D DATE)");
  Sql("INSERT INTO SCOTT.DAYS VALUES (TO_DATE('0001-01-01 00:00:00', 'YYYY-MM-DD HH24:MI:SS'))");
  Sql("INSERT INTO SCOTT.DAYS VALUES (TO_DATE('2024-02-29 23:59:59', 'YYYY-MM-DD HH24:MI:SS'))");
  const fs::path script = Write("DAYS", IntoAnotherSchema());
  const std::string text = Slurp(script);
  EXPECT_NE(text.find("TO_DATE('2024-02-29 23:59:59', 'SYYYY-MM-DD HH24:MI:SS')"), std::string::npos) << text;
  // The count check turns SERVEROUTPUT on for its line, and off again.
  const std::size_t on = text.find("SET SERVEROUTPUT ON\n"), off = text.find("SET SERVEROUTPUT OFF\n");
  ASSERT_NE(on, std::string::npos);
  ASSERT_NE(off, std::string::npos);
  EXPECT_LT(on, off);
  SqlPlusRun r = SqlPlus("sales/sales", script);
  EXPECT_EQ(r.status, 0) << r.output;
  ExpectSameRows("SCOTT.DAYS", "SALES.DAYS");
}

TEST_F(TableScript, ACLobTooLargeForOneSqlPlusCommandFollowsInCommandsThatFit) {
  const char columns[] = " (ID NUMBER, C CLOB, N NCLOB, V VARCHAR2(10))";
  Sql(std::string("CREATE TABLE SCOTT.HUGE") + columns);
  Sql(std::string("CREATE TABLE SALES.HUGE") + columns);
  // 600,000 bytes: about 600 lines as one literal, more than SQL*Plus's 500
  // lines of one command; quotes, "&" and line breaks along the way.
  std::string big;
  for (int i = 0; big.size() < 600000; ++i) big += i % 97 == 0 ? "'&\n" : "abcdefghij";
  std::string bigN;
  for (int i = 0; bigN.size() < 700000; ++i) bigN += "\xC3\xBC\xE6\x97\xA5x";
  {
    auto& s = Session("scott", "tiger");
    oracle::TOracleQuery q(&s);
    q.SetSQL("INSERT INTO HUGE VALUES (:ID, :C, :N, :V)");
    for (const char* v : {"ID", "C", "N", "V"}) q.DeclareVariable(v, oracle::otString);
    q.SetVariable("ID", std::string("1"));
    q.SetVariable("C", big);
    q.SetVariable("N", bigN);
    q.SetVariable("V", std::string("one"));
    q.Execute();
    q.SetVariable("ID", std::string("2"));
    q.SetVariable("C", std::string("small"));
    q.SetVariable("N", std::string("small"));
    q.SetVariable("V", std::string("two"));
    q.Execute();
    oracle::TOracleQuery c(&s);
    c.SetSQL("COMMIT");
    c.Execute();
  }
  const fs::path script = Write("HUGE", IntoAnotherSchema());
  const std::string text = Slurp(script);
  EXPECT_NE(text.find("UPDATE \"HUGE\" SET \"C\" = TO_CLOB('QUARRY-"), std::string::npos);
  EXPECT_NE(text.find("UPDATE \"HUGE\" SET \"N\" = TO_NCLOB(N'QUARRY-"), std::string::npos);
  // The SQL*Plus stand-in runs no command over 500 lines: the rows come
  // back whole only if every command fits.
  SqlPlusRun r = SqlPlus("sales/sales", script);
  EXPECT_EQ(r.status, 0) << r.output.substr(0, 2000);
  EXPECT_EQ(r.output.find("too long"), std::string::npos) << r.output.substr(0, 2000);
  ExpectSameRows("SCOTT.HUGE", "SALES.HUGE");
  EXPECT_EQ(Count("SCOTT.HUGE A, SALES.HUGE B WHERE A.ID = B.ID AND A.C = B.C AND A.N = B.N"), 2);
  EXPECT_TRUE(PartFiles().empty());
}

// Error handling off: an UPDATE of a split CLOB that fails must not let the
// later ones go on and cut the marker off a value that lacks a piece; the
// value keeps its marker and the script's end says it was not loaded whole.
TEST_F(TableScript, ASplitClobWhoseAppendFailsKeepsItsMarkerAndIsReported) {
  Sql("CREATE TABLE SCOTT.SPLIT (ID NUMBER, C CLOB)");
  Sql("CREATE TABLE SALES.SPLIT (ID NUMBER, C CLOB)");
  std::string big;
  for (int i = 0; big.size() < 1500000; ++i) big += "0123456789";
  {
    auto& s = Session("scott", "tiger");
    oracle::TOracleQuery q(&s);
    q.SetSQL("INSERT INTO SPLIT VALUES (1, :C)");
    q.DeclareVariable("C", oracle::otString);
    q.SetVariable("C", big);
    q.Execute();
    oracle::TOracleQuery c(&s);
    c.SetSQL("COMMIT");
    c.Execute();
  }
  ScriptOptions o = IntoAnotherSchema();
  o.errorHandling = false;
  const fs::path script = Write("SPLIT", o);
  std::string text = Slurp(script);
  // The second append names a table that does not exist (ORA-00942).
  const std::string update = "UPDATE \"SPLIT\" SET \"C\" = ";
  const std::size_t first = text.find(update);
  ASSERT_NE(first, std::string::npos) << text.substr(0, 2000);
  const std::size_t second = text.find(update, first + 1);
  ASSERT_NE(second, std::string::npos);
  ASSERT_NE(text.find(update, second + 1), std::string::npos) << "expected at least three appends";
  text.replace(second, std::string("UPDATE \"SPLIT\"").size(), "UPDATE \"NO_SUCH_TABLE\"");
  const fs::path broken = script.parent_path() / "SPLIT_BROKEN.sql";
  std::ofstream(broken, std::ios::binary) << text;
  SqlPlusRun r = SqlPlus("sales/sales", broken);
  EXPECT_NE(r.output.find("ORA-00942"), std::string::npos) << r.output.substr(0, 2000);
  EXPECT_NE(r.output.find("values of C were not loaded whole"), std::string::npos) << r.output.substr(0, 2000);
  EXPECT_EQ(Count("SALES.SPLIT WHERE C LIKE 'QUARRY-%'"), 1);
  // The unbroken script loads it whole, and says nothing of the kind.
  Sql("DELETE FROM SALES.SPLIT");
  r = SqlPlus("sales/sales", script);
  EXPECT_EQ(r.output.find("not loaded whole"), std::string::npos) << r.output.substr(0, 2000);
  ExpectSameRows("SCOTT.SPLIT", "SALES.SPLIT");
  EXPECT_EQ(Count("SCOTT.SPLIT A, SALES.SPLIT B WHERE A.ID = B.ID AND A.C = B.C"), 1);
}

}  // namespace
