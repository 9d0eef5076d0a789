// Session and query tests against the OCI stand-in (sim/oci), loaded through
// the real loader with the OCIDLL parameter: OCI8 mode, OCI7 mode by
// preference, and the OCI7-only library.  Skipped when the stand-in is not
// part of the build.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "oracle/client_library.h"
#include "oracle/dbms_output.h"
#include "oracle/oracle_query.h"
#include "oracle/oracle_session.h"
#include "oracle/text_util.h"
#include "test_support.h"

#ifndef QUARRY_OCISIM_DIR
#define QUARRY_OCISIM_DIR ""
#endif

namespace oracle_test {
namespace {

using oracle::EOracleError;
using oracle::TOracleQuery;
using oracle::TOracleSession;

// The stand-in's build directory; QUARRY_OCISIM_DIR in the environment
// points the tests at another build of it.
std::string StandInLibrary(const std::string& home) {
  const std::string dir = platform::GetEnv("QUARRY_OCISIM_DIR").value_or(QUARRY_OCISIM_DIR);
  const std::string path = dir + "/" + home + "/lib/libclntsh.so";
  return dir.empty() || !std::filesystem::exists(path) ? std::string() : path;
}

// One demo database directory for the whole run (building it takes a
// while), removed when the run ends.
struct DataDirectoryHolder {
  std::filesystem::path path;
  DataDirectoryHolder() {
    std::random_device rd;
    path = std::filesystem::temp_directory_path() / ("quarry-oracle-data-" + std::to_string(rd()));
    std::filesystem::create_directories(path);
  }
  ~DataDirectoryHolder() {
    std::error_code ec;
    std::filesystem::remove_all(path, ec);
  }
};

std::string DataDirectory() {
  static DataDirectoryHolder holder;
  return holder.path.string();
}

class StandInTest : public TempDirFixture {
 protected:
  void UseLibrary(const std::string& home) {
    library_ = StandInLibrary(home);
    if (library_.empty()) GTEST_SKIP() << "OCI stand-in " << home << " not built";
    env_.Set("OCISIM_DATA_DIR", DataDirectory());
    oracle::OracleClient().Free();
    const std::string library = library_;
    oracle::OracleClient().SetEnvironment(
        {oracle::PosixLayout(), [library] { return std::vector<std::string>{"far2l", "OCIDLL=" + library}; }});
  }
  void TearDown() override {
    oracle::OracleClient().Free();
    TempDirFixture::TearDown();
  }
  static std::unique_ptr<TOracleSession> Logon(const std::string& user, bool useOci7 = false,
                                               const std::string& database = "") {
    auto session = std::make_unique<TOracleSession>();
    session->LogonUsername = user;
    session->LogonDatabase = database;
    session->Preferences.SetUseOCI7(useOci7);
    session->LogOn();
    return session;
  }
  static int ErrorCodeOf(const std::function<void()>& action) {
    try {
      action();
    } catch (const EOracleError& e) {
      return e.ErrorCode();
    }
    return 0;
  }
  std::string library_;
};

// ---- session ---------------------------------------------------------------------

// The stand-in answers PLS-00201 for a package it does not offer.
#define SKIP_WITHOUT_PACKAGE(statement)                                                   \
  try {                                                                                   \
    statement;                                                                            \
  } catch (const EOracleError& e) {                                                       \
    if (std::string(e.what()).find("PLS-00201") == std::string::npos) throw;              \
    GTEST_SKIP() << "server lacks the package: " << e.what();                            \
  }

class SessionTest : public StandInTest {
 protected:
  void SetUp() override {
    StandInTest::SetUp();
    UseLibrary("home");
  }
};

TEST_F(SessionTest, ConnectStringIsTakenApartAndBannerKeepsOci8On9i) {
  auto session = Logon("scott/tiger@demo");
  EXPECT_TRUE(session->Connected());
  EXPECT_EQ(session->LogonUsername, "scott");
  EXPECT_EQ(session->LogonPassword, "tiger");
  EXPECT_EQ(session->LogonDatabase, "demo");
  EXPECT_EQ(session->ConnectString(), "scott/tiger@demo");
  EXPECT_TRUE(session->Oci8Mode());
  EXPECT_FALSE(session->IsOracle7());
  EXPECT_THROW(session->Preferences.SetUseOCI7(true), std::runtime_error);
  session->LogOff();
  EXPECT_FALSE(session->Connected());
  EXPECT_EQ(session->ServerVersionText(), "");
}

TEST_F(SessionTest, Oracle7BannerSwitchesToOci7CallsButNineteenCStaysOci8) {
  auto v9 = Logon("system/manager");
  EXPECT_EQ(v9->ServerVersionText(), "Oracle9i Enterprise Edition Release 9.2.0.1.0");
  v9->LogOff();

  auto v73 = Logon("system/manager", false, "DEMO73");
  EXPECT_TRUE(v73->IsOracle7());
  EXPECT_FALSE(v73->Oci8Mode());
  EXPECT_EQ(v73->ServerVersionText(), "Oracle7 Server Release 7.3.4.0.0");
  TOracleQuery query(v73.get());
  query.SetSQL("select count(*) from scott.emp");
  query.Execute();
  EXPECT_EQ(query.FieldAsInteger(0), 14);
  v73->LogOff();  // back from the OCI7 data area to the service context

  auto v19 = Logon("system/manager", false, "DEMO19");
  EXPECT_FALSE(v19->IsOracle7());
  EXPECT_TRUE(v19->Oci8Mode());
  EXPECT_EQ(oracle::BannerMajorVersion(v19->ServerBanner()), 19);
  EXPECT_EQ(v19->ServerVersionText(), "Oracle Database 19c Enterprise Edition Release 19.0.0.0.0");
}

TEST_F(SessionTest, FailedLogonsRaiseServerErrorsAndStillCallAfterLogOn) {
  TOracleSession session;
  int afterLogOn = 0;
  bool connectedInHandler = true;
  session.AfterLogOn = [&](TOracleSession& s) {
    ++afterLogOn;
    connectedInHandler = s.Connected();
  };
  session.LogonUsername = "scott";
  session.LogonPassword = "wrong";
  try {
    session.LogOn();
    FAIL() << "logon with a wrong password succeeded";
  } catch (const EOracleError& e) {
    EXPECT_EQ(e.ErrorCode(), 1017);
    EXPECT_EQ(std::string(e.what()).rfind("ORA-01017", 0), 0u) << e.what();
  }
  EXPECT_FALSE(session.Connected());
  EXPECT_EQ(afterLogOn, 1);
  EXPECT_FALSE(connectedInHandler);

  session.LogonPassword = "tiger";
  session.LogonDatabase = "NO_SUCH_ALIAS";
  EXPECT_EQ(ErrorCodeOf([&] { session.LogOn(); }), 12154);
  session.LogonDatabase = "";
  session.LogOn();
  EXPECT_TRUE(session.Connected());
  EXPECT_EQ(afterLogOn, 3);
}

TEST_F(SessionTest, ConnectModesExternalCredentialsAndExpiryWarning) {
  EXPECT_EQ(ErrorCodeOf([] {
              TOracleSession s;
              s.LogonUsername = "scott/tiger";
              s.ConnectAs = oracle::caSYSDBA;
              s.LogOn();
            }),
            1031);
  TOracleSession sys;
  sys.LogonUsername = "sys/change_on_install";
  sys.ConnectAs = oracle::caSYSDBA;
  sys.LogOn();
  TOracleQuery user(&sys);
  user.SetSQL("select user from dual");
  user.Execute();
  EXPECT_EQ(user.FieldAsString(0), "SYS");

  TOracleSession oper;
  oper.LogonUsername = "system/manager";
  oper.ConnectAs = oracle::caSYSOPER;
  EXPECT_NO_THROW(oper.LogOn());

  env_.Set("OCISIM_OS_USER", "demo");
  auto external = Logon("");
  TOracleQuery who(external.get());
  who.SetSQL("select user from dual");
  who.Execute();
  EXPECT_EQ(who.FieldAsString(0), "OPS$DEMO");

  for (bool useOci7 : {false, true}) {
    auto adams = Logon("adams/wood", useOci7);
    EXPECT_TRUE(adams->Connected());
    EXPECT_NE(adams->LogonWarning().find("ORA-28002"), std::string::npos) << adams->LogonWarning();
    adams->LogOff();
    EXPECT_EQ(adams->LogonWarning(), "");
  }
}

TEST_F(SessionTest, LogoffRollsBackUncommittedWork) {
  for (bool useOci7 : {false, true}) {
    auto session = Logon("scott/tiger", useOci7);
    TOracleQuery update(session.get());
    update.SetSQL("update emp set sal = sal + 1000 where deptno = :deptno");
    update.DeclareVariable("deptno", oracle::otInteger);
    update.SetVariable("deptno", 10);
    update.Execute();
    EXPECT_EQ(update.RowsProcessed(), 3);
    session->LogOff();
    session->LogOn();
    TOracleQuery sum(session.get());
    sum.SetSQL("select sum(sal) from emp where deptno = 10");
    sum.Execute();
    EXPECT_EQ(sum.FieldAsInteger(0), 8750) << (useOci7 ? "OCI7" : "OCI8");
    // Committed work stays.
    update.Execute();
    session->Commit();
    session->LogOff();
    session->LogOn();
    sum.Execute();
    EXPECT_EQ(sum.FieldAsInteger(0), 11750);
    update.SetSQL("update emp set sal = sal - 1000 where deptno = :deptno");
    update.Execute();
    session->Commit();
  }
}

TEST_F(SessionTest, TransactionCheckSeesOpenWork) {
  auto session = Logon("scott/tiger");
  SKIP_WITHOUT_PACKAGE(EXPECT_FALSE(session->InTransaction()));
  TOracleQuery update(session.get());
  update.SetSQL("update dept set loc = loc where deptno = 10");
  update.Execute();
  EXPECT_TRUE(session->InTransaction());
  session->Rollback();
  EXPECT_FALSE(session->InTransaction());
  session->LogOff();
  EXPECT_FALSE(session->InTransaction());
}

// The transaction known open before the connection went is gone with it (the
// server rolled it back), even when what met the loss was a plain query,
// after which nothing else would ask again: ending the session must not
// offer to commit it.
TEST_F(SessionTest, ALostConnectionEndsTheTransactionKnownBeforeIt) {
  void* handle = dlopen(library_.c_str(), RTLD_NOW);
  ASSERT_NE(handle, nullptr);
  auto setFault = reinterpret_cast<int (*)(const char*)>(dlsym(handle, "ocisim_set_fault"));
  ASSERT_NE(setFault, nullptr);
  for (bool useOci7 : {false, true}) {
    SCOPED_TRACE(useOci7 ? "OCI7" : "OCI8");
    auto session = Logon("scott/tiger", useOci7);
    TOracleQuery update(session.get());
    update.SetSQL("update dept set loc = loc where deptno = 10");
    update.Execute();
    SKIP_WITHOUT_PACKAGE(EXPECT_TRUE(session->InTransaction()));
    ASSERT_EQ(setFault("drop@1"), 0);
    TOracleQuery plain(session.get());
    plain.SetSQL("select dname from dept");
    EXPECT_EQ(ErrorCodeOf([&] { plain.Execute(); }), 3113);
    EXPECT_FALSE(session->InTransaction());
    setFault("");
    session->LogOff();
  }
  dlclose(handle);
}

TEST_F(SessionTest, DbmsOutputHandsBackLinesAndStatus) {
  auto session = Logon("scott/tiger");
  SKIP_WITHOUT_PACKAGE(session->DBMS_Output().Enable(20000));
  TOracleQuery block(session.get());
  block.SetSQL("begin dbms_output.put_line('hello'); dbms_output.put_line('world'); end;");
  block.Execute();
  std::string line;
  int status = -1;
  session->DBMS_Output().GetLine(line, status);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(line, "hello");
  session->DBMS_Output().GetLine(line, status);
  EXPECT_EQ(line, "world");
  session->DBMS_Output().GetLine(line, status);
  EXPECT_EQ(status, 1);
  session->DBMS_Output().Disable();
}

TEST_F(SessionTest, KilledSessionFailsMidFetchAndLogsOffCleanly) {
  // ADAMS has no other session in this test run.
  auto victim = Logon("adams/wood");
  auto dba = Logon("system/manager");
  TOracleQuery sid(dba.get());
  sid.SetSQL("select sid, serial# from v$session where username = 'ADAMS'");
  sid.Execute();
  ASSERT_FALSE(sid.Eof());
  const std::string kill = "alter system kill session '" + sid.FieldAsString(0) + "," + sid.FieldAsString(1) + "'";

  TOracleQuery rows(victim.get());
  rows.SetReadBuffer(2);
  rows.SetSQL("select object_name from all_objects");
  rows.Execute();
  TOracleQuery killer(dba.get());
  killer.SetSQL(kill);
  killer.Execute();

  // The rows already fetched may still be read; the next round trip fails.
  try {
    for (int i = 0; i < 200 && !rows.Eof(); ++i) rows.Next();
    rows.SetSQL("select count(*) from all_objects");
    rows.Execute();
    ADD_FAILURE() << "a killed session still runs statements";
  } catch (const EOracleError& e) {
    EXPECT_NE(e.ErrorCode(), 0);
  }
  EXPECT_NO_THROW(victim->LogOff());
  EXPECT_FALSE(victim->Connected());
  victim->LogOn();
  EXPECT_TRUE(victim->Connected());
}

// ---- round trips ------------------------------------------------------------------

// The stand-in's statement and fetch counters (the library the loader has
// loaded; dlopen hands back the same copy).
struct TripCounter {
  explicit TripCounter(const std::string& library) : handle(dlopen(library.c_str(), RTLD_NOW)) {
    if (handle) get = reinterpret_cast<Getter>(dlsym(handle, "ocisim_round_trips"));
  }
  ~TripCounter() {
    if (handle) dlclose(handle);
  }
  // total, executes, fetches: the first three counters of the stand-in.
  struct Counts {
    unsigned long long total, executes, fetches, rest[7];
  };
  using Getter = void (*)(Counts*);
  Counts Now() const {
    Counts c{};
    if (get) get(&c);
    return c;
  }
  unsigned long long Executes() const { return Now().executes; }
  void* handle;
  Getter get = nullptr;
};

TEST_F(SessionTest, InfoPanelFactsCostNoRoundTripWhenNothingChanged) {
  auto session = Logon("scott/tiger");
  TripCounter trips(library_);
  ASSERT_NE(trips.get, nullptr);
  SKIP_WITHOUT_PACKAGE(EXPECT_FALSE(session->InTransaction()));
  auto before = trips.Executes();
  EXPECT_FALSE(session->InTransaction());
  const std::string version = session->ServerVersionText();
  EXPECT_EQ(session->ServerVersionText(), version);
  EXPECT_EQ(trips.Executes() - before, 1u) << "the version once, the transaction state not again";

  // A plain query changes nothing; a statement that may is followed by a
  // new question, and so are commit and rollback.
  TOracleQuery query(session.get());
  query.SetSQL("select count(*) from emp");
  query.Execute();
  before = trips.Executes();
  EXPECT_FALSE(session->InTransaction());
  EXPECT_EQ(trips.Executes(), before);
  // FOR UPDATE over two lines: asked again (the stand-in's answer aside).
  query.SetSQL("select ename from emp where empno = 7369\r\n  for   update");
  query.Execute();
  before = trips.Executes();
  session->InTransaction();
  EXPECT_EQ(trips.Executes() - before, 1u);
  session->Rollback();
  EXPECT_FALSE(session->InTransaction());
  query.SetSQL("update dept set loc = loc where deptno = 10");
  query.Execute();
  before = trips.Executes();
  EXPECT_TRUE(session->InTransaction());
  EXPECT_TRUE(session->InTransaction());
  EXPECT_EQ(trips.Executes() - before, 1u);
  session->Commit();
  EXPECT_FALSE(session->InTransaction());
  // A new logon asks again.
  session->LogOff();
  session->LogOn();
  before = trips.Executes();
  EXPECT_EQ(session->ServerVersionText(), version);
  EXPECT_EQ(trips.Executes() - before, 1u);
}

TEST_F(SessionTest, ManyRowsCostFewRoundTripsAndAFixedReadBufferStays) {
  auto session = Logon("system/manager");
  TripCounter trips(library_);
  ASSERT_NE(trips.get, nullptr);
  // A few rows: the execute's prefetch brings them all.
  TOracleQuery few(session.get());
  few.SetSQL("select ename from scott.emp");
  auto before = trips.Now();
  few.Execute();
  int rows = 0;
  for (; !few.Eof(); few.Next()) ++rows;
  EXPECT_EQ(rows, 14);
  EXPECT_EQ(trips.Now().total - before.total, 1u);

  TOracleQuery fixed(session.get());
  fixed.SetReadBuffer(4);
  fixed.SetSQL("select object_name from all_objects");
  fixed.Execute();
  EXPECT_EQ(fixed.FetchRows(), 4);
  TOracleQuery longs(session.get());
  longs.SetSQL("select * from scott.docs");
  longs.Execute();
  EXPECT_EQ(longs.FetchRows(), 1);
}

// Wide rows: every column an expression of unknown width (the longest
// VARCHAR2 in the widest characters).  The array past the first call stays
// within the bound, the rows keep their values across the calls, and a
// row-wise loop with another query run between two rows (as a listing that
// looks up each row's comment does) sees every row once.
TEST_F(SessionTest, WideRowsStayWithinTheFetchArrayBoundAndKeepTheirValues) {
  auto session = Logon("system/manager");
  std::string select = "select rownum n";
  for (int c = 0; c < 40; ++c) select += ", object_name || '" + std::to_string(c) + "' c" + std::to_string(c);
  TOracleQuery wide(session.get());
  wide.SetSQL(select + " from all_objects where rownum <= 150");
  wide.Execute();
  int rows = 0, most = 0;
  std::size_t largest = 0;
  for (; !wide.Eof(); wide.Next()) {
    ++rows;
    largest = std::max(largest, wide.FetchArrayBytes());
    ASSERT_GE(wide.FetchRows(), 1);
    most = std::max(most, wide.FetchRows());
    ASSERT_EQ(wide.FieldAsInteger(0), rows);
    const std::string name = wide.FieldAsString(1);
    ASSERT_FALSE(name.empty());
    ASSERT_EQ(wide.FieldAsString(40), name.substr(0, name.size() - 1) + "39") << "row " << rows;
    TOracleQuery between(session.get());
    between.SetSQL("select count(*) from dual");
    between.Execute();
    ASSERT_EQ(between.FieldAsInteger(0), 1);
  }
  EXPECT_EQ(rows, 150);
  EXPECT_GT(largest, 0u);
  EXPECT_LE(largest, TOracleQuery::kFetchArrayBound);
  // A row of 41 such columns takes some 650 KB: a dozen of them fit the
  // bound, so after the first call the array holds more than one.
  EXPECT_GE(most, 10) << "wide rows fetched " << most << " a call";

  // Narrow rows take the most rows a call allows: many per round trip.
  TripCounter trips(library_);
  ASSERT_NE(trips.get, nullptr);
  TOracleQuery narrow(session.get());
  narrow.SetSQL("select object_id from all_objects");
  const auto before = trips.Now();
  narrow.Execute();
  rows = 0;
  for (; !narrow.Eof(); narrow.Next()) ++rows;
  const unsigned long long fetches = trips.Now().fetches - before.fetches;
  EXPECT_GT(narrow.FetchRows(), 250);
  EXPECT_LE(fetches, static_cast<unsigned long long>(rows / 250 + 2)) << rows << " rows";
}

// Row counts around the array sizes (the first call's, the read-ahead's,
// the full array's), in both call sets: every row once and in order, also
// while another query over the same rows runs to its end between two rows,
// and again when the same query object is executed a second time mid-way.
TEST_F(SessionTest, RowCountsAtArrayBoundariesSurviveNestedAndRepeatedQueries) {
  for (const bool useOci7 : {false, true}) {
    auto session = Logon("system/manager", useOci7);
    for (const int count : {1, 99, 100, 101, 250, 251, 1000, 1001, 1002}) {
      // Two copies of the objects: more rows than any array holds.
      const std::string sql = "select rownum n, a.object_name from all_objects a, (select 1 from dual union all "
                              "select 2 from dual) b where rownum <= " + std::to_string(count);
      TOracleQuery outer(session.get());
      outer.SetSQL(sql);
      TOracleQuery inner(session.get());
      inner.SetSQL(sql);
      for (int pass = 0; pass < 2; ++pass) {
        outer.Execute();
        int rows = 0;
        for (; !outer.Eof(); outer.Next()) {
          ++rows;
          ASSERT_EQ(outer.FieldAsInteger(0), rows) << count << " rows, OCI7 " << useOci7;
          ASSERT_FALSE(outer.FieldAsString(1).empty());
          // At each array edge and in between: a nested query read whole.
          if (rows % 97 == 0 || rows == 100 || rows == 101 || rows == 250 || rows == 251) {
            inner.Execute();
            int innerRows = 0;
            for (; !inner.Eof(); inner.Next()) ++innerRows;
            ASSERT_EQ(innerRows, count) << "nested at row " << rows;
          }
          // The second pass stops half-way and starts over on the same object.
          if (pass == 1 && rows == count / 2 + 1) break;
        }
        if (pass == 0) {
          ASSERT_EQ(rows, count) << "OCI7 " << useOci7;
          EXPECT_THROW(outer.FieldAsString(1), std::runtime_error);
        }
      }
      outer.Execute();
      int again = 0;
      for (; !outer.Eof(); outer.Next()) ++again;
      EXPECT_EQ(again, count) << "re-executed after a half read, OCI7 " << useOci7;
    }
    // LONG values (one row a call) with an array query read whole between two rows.
    TOracleQuery longs(session.get());
    longs.SetSQL("select view_name, text from all_views where rownum <= 120");
    longs.Execute();
    int views = 0;
    for (; !longs.Eof(); longs.Next()) {
      ++views;
      ASSERT_FALSE(longs.FieldAsString(1).empty()) << longs.FieldAsString(0);
      TOracleQuery many(session.get());
      many.SetSQL("select object_name from all_objects");
      many.Execute();
      int rows = 0;
      for (; !many.Eof(); many.Next()) ++rows;
      ASSERT_GT(rows, 250);
    }
    EXPECT_GT(views, 1);
  }
}

// A row the server cannot produce (ORA-01722 at row n) ends the fetch call
// that reaches it; the rows before it in that call are still read, in
// order, before the error, as if fetched one at a time, also when another
// query runs between the last good row and the error.  The query object
// then runs again as usual.
TEST_F(SessionTest, RowsBeforeAFailingRowAreReadThenItsError) {
  for (const bool useOci7 : {false, true}) {
    auto session = Logon("system/manager", useOci7);
    TOracleQuery query(session.get());
    TOracleQuery other(session.get());
    other.SetSQL("select object_name from all_objects where rownum <= 300");
    // 1234: in a later call of full arrays (OCI7's first call takes them all
    // up to the array's size).
    for (const int n : {1, 50, 100, 101, 250, 1234}) {
      query.SetSQL("select to_number(decode(rownum, " + std::to_string(n) +
                   ", 'x', to_char(rownum))) n from all_objects a, all_objects b where rownum <= 1500");
      int rows = 0;
      int code = ErrorCodeOf([&] {
        for (query.Execute(); !query.Eof(); query.Next()) {
          ASSERT_EQ(query.FieldAsInteger(0), ++rows) << "OCI7 " << useOci7;
          if (rows == n - 1) {
            other.Execute();
            while (!other.Eof()) other.Next();
          }
        }
      });
      EXPECT_EQ(code, 1722) << "row " << n << ", OCI7 " << useOci7;
      EXPECT_EQ(rows, n - 1) << "OCI7 " << useOci7;
      EXPECT_TRUE(query.Eof());
      EXPECT_NO_THROW(query.Next()) << "the error is raised once";
    }
    query.SetSQL("select rownum from all_objects where rownum <= 300");
    int rows = 0;
    for (query.Execute(); !query.Eof(); query.Next()) ++rows;
    EXPECT_EQ(rows, 300) << "OCI7 " << useOci7;
  }
}

// ---- queries in every mode ---------------------------------------------------------

struct Mode {
  const char* name;
  const char* home;
  bool useOci7;
  bool expectOci8;
};

class QueryTest : public StandInTest, public ::testing::WithParamInterface<Mode> {
 protected:
  void SetUp() override {
    StandInTest::SetUp();
    UseLibrary(GetParam().home);
    if (IsSkipped()) return;
    session_ = Logon("scott/tiger", GetParam().useOci7);
    ASSERT_EQ(session_->Oci8Mode(), GetParam().expectOci8);
  }
  void TearDown() override {
    session_.reset();
    StandInTest::TearDown();
  }
  std::unique_ptr<TOracleSession> session_;
};

TEST_P(QueryTest, FetchesEveryRowInBatchesWithFieldsByIndexAndName) {
  TOracleQuery query(session_.get());
  query.SetReadBuffer(4);
  query.SQL = {"select empno, ename, hiredate, comm, sal / 3 as third", "from emp order by empno"};
  query.Execute();
  ASSERT_EQ(query.FieldCount(), 5);
  EXPECT_EQ(query.FieldIndex("ename"), 1);
  EXPECT_EQ(query.FieldName(4), "THIRD");
  EXPECT_EQ(query.FieldAsString("EMPNO"), "7369");
  EXPECT_EQ(query.FieldAsString(1), "SMITH");
  EXPECT_EQ(query.FieldAsString("hiredate"), "1980-12-17");
  EXPECT_TRUE(query.FieldIsNull("COMM"));
  EXPECT_EQ(query.FieldAsString("COMM"), "");
  EXPECT_EQ(std::get<oracle::TOracleDate>(query.Field(2)), (oracle::TOracleDate{1980, 12, 17, 0, 0, 0}));
  EXPECT_NEAR(query.FieldAsFloat("THIRD"), 800.0 / 3, 1e-9);
  int rows = 0;
  std::string last;
  for (; !query.Eof(); query.Next()) {
    ++rows;
    last = query.FieldAsString("ENAME");
  }
  EXPECT_EQ(rows, 14);
  EXPECT_EQ(last, "MILLER");
  EXPECT_EQ(query.RowsProcessed(), 14);
  try {
    query.FieldAsString(0);
    FAIL() << "field read past Eof";
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "You cannot access field data beyond Eof");
  }
  EXPECT_THROW(query.FieldAsString("NOPE"), std::runtime_error);
  query.Close();
  EXPECT_EQ(query.FieldCount(), 0);
}

TEST_P(QueryTest, BindsSubstitutesAndReadsOutVariables) {
  TOracleQuery query(session_.get());
  query.SetSQL("select ename from :EMP_TABLE where deptno = :deptno and job = :job -- :ignored\r\norder by ename");
  query.DeclareVariable("EMP_TABLE", oracle::otSubst);
  query.DeclareVariable("deptno", oracle::otInteger);
  query.DeclareVariable("job", oracle::otString);
  query.DeclareVariable("unused", oracle::otString);
  query.SetVariable("EMP_TABLE", "scott.emp");
  query.SetVariable("deptno", 20);
  query.SetVariable("job", "CLERK");
  query.Execute();
  std::vector<std::string> names;
  for (; !query.Eof(); query.Next()) names.push_back(query.FieldAsString(0));
  EXPECT_EQ(names, (std::vector<std::string>{"ADAMS", "SMITH"}));

  TOracleQuery block(session_.get());
  block.SetSQL("BEGIN DBMS_UTILITY.DB_VERSION (:VERSION, :COMPATIBILITY); END;");
  block.DeclareVariable("VERSION", oracle::otString);
  block.DeclareVariable("COMPATIBILITY", oracle::otString);
  block.Execute();
  EXPECT_TRUE(block.Eof());
  EXPECT_EQ(block.GetVariableText("VERSION"), "9.2.0.1.0");
  EXPECT_EQ(block.GetVariableText("compatibility"), "9.2.0.0.0");
}

TEST_P(QueryTest, ServerErrorsLeaveTheQueryUsable) {
  TOracleQuery query(session_.get());
  query.SetSQL("select * from no_such_table");
  try {
    query.Execute();
    FAIL() << "select from a missing table succeeded";
  } catch (const EOracleError& e) {
    EXPECT_EQ(e.ErrorCode(), 942);
    EXPECT_EQ(std::string(e.what()).rfind("ORA-00942", 0), 0u) << e.what();
  }
  EXPECT_FALSE(query.Open());
  // A reference to a variable nobody declared: the server names it.
  query.SetSQL("select ename from emp where empno = :undeclared");
  EXPECT_EQ(ErrorCodeOf([&] { query.Execute(); }), 1008);
  query.SetSQL("select count(*) from dept");
  query.Execute();
  EXPECT_EQ(query.FieldAsInteger(0), 4);
}

TEST_P(QueryTest, LongValuesOfOneMegabyteComeWholeWithCrLf) {
  const std::string table = std::string("QT_LONG_") + GetParam().name;
  TOracleQuery ddl(session_.get());
  ddl.SetSQL("drop table " + table);
  try {
    ddl.Execute();
  } catch (const EOracleError&) {
  }
  ddl.SetSQL("create table " + table + " (id number(5), txt long)");
  ddl.Execute();

  std::string big;
  while (big.size() < 1024 * 1024) big += "line " + std::to_string(big.size()) + "\n";
  TOracleQuery insert(session_.get());
  insert.SetSQL("insert into " + table + " (id, txt) values (:id, :txt)");
  insert.DeclareVariable("id", oracle::otInteger);
  insert.DeclareVariable("txt", oracle::otLong);
  const std::vector<std::string> values = {"short", big, ""};
  for (int id = 0; id < 3; ++id) {
    insert.SetVariable("id", id + 1);
    if (values[static_cast<std::size_t>(id)].empty()) {
      insert.SetVariable("txt", oracle::TOracleValue{oracle::TNull{}});
    } else {
      insert.SetVariable("txt", values[static_cast<std::size_t>(id)]);
    }
    insert.Execute();
  }

  TOracleQuery select(session_.get());
  select.SetSQL("select id, txt from " + table + " order by id");
  select.Execute();
  std::vector<std::string> got;
  for (; !select.Eof(); select.Next()) got.push_back(select.FieldAsString("TXT"));
  ASSERT_EQ(got.size(), 3u);
  EXPECT_EQ(got[0], "short");
  EXPECT_EQ(got[1], oracle::ToCrLf(big));
  EXPECT_EQ(got[2], "");
  session_->Rollback();
}

// Text comes whole whatever it takes in the client's character set: a
// VARCHAR2(40) full of three-byte characters is 120 bytes, a VARCHAR2(4000)
// of two-byte characters 8000.  A value that still does not fit its buffer
// (the stand-in does not enforce a column's length, so one can be longer
// than declared) fails the fetch with ORA-01406 instead of arriving cut.
TEST_P(QueryTest, TextValuesComeWholeOrFailNeverShortened) {
  const std::string table = std::string("QT_TEXT_") + GetParam().name;
  TOracleQuery ddl(session_.get());
  ddl.SetSQL("drop table " + table);
  try {
    ddl.Execute();
  } catch (const EOracleError&) {
  }
  ddl.SetSQL("create table " + table + " (id number(5), s varchar2(40), b varchar2(4000))");
  ddl.Execute();
  std::string euros, accents, tooLong;
  for (int i = 0; i < 40; ++i) euros += "\xE2\x82\xAC";
  for (int i = 0; i < 4000; ++i) accents += "\xC3\xA9";
  for (int i = 0; i < 200; ++i) tooLong += "\xE2\x82\xAC";
  TOracleQuery insert(session_.get());
  insert.SetSQL("insert into " + table + " (id, s, b) values (:id, :s, :b)");
  insert.DeclareVariable("id", oracle::otInteger);
  insert.DeclareVariable("s", oracle::otString);
  insert.DeclareVariable("b", oracle::otLong);
  insert.SetVariable("id", 1);
  insert.SetVariable("s", euros);
  insert.SetVariable("b", accents);
  insert.Execute();

  TOracleQuery select(session_.get());
  select.SetSQL("select s, b from " + table + " where id = 1");
  select.Execute();
  ASSERT_FALSE(select.Eof());
  EXPECT_EQ(select.FieldAsString("S"), euros);
  EXPECT_EQ(select.FieldAsString("B").size(), accents.size());
  EXPECT_EQ(select.FieldAsString("B"), accents);

  insert.SetVariable("id", 2);
  insert.SetVariable("s", tooLong);
  insert.SetVariable("b", "x");
  insert.Execute();
  select.SetSQL("select id, s from " + table + " order by id");
  EXPECT_EQ(ErrorCodeOf([&] {
              select.Execute();
              for (; !select.Eof(); select.Next()) EXPECT_NE(select.FieldAsString("S").size(), 120u);
            }),
            1406);
  session_->Rollback();
}

INSTANTIATE_TEST_SUITE_P(Modes, QueryTest,
                         ::testing::Values(Mode{"Oci8", "home", false, true}, Mode{"Oci7", "home", true, false},
                                           Mode{"Oci7Only", "home-oci7only", false, false}),
                         [](const ::testing::TestParamInfo<Mode>& info) { return std::string(info.param.name); });

// ---- library variants and tnsnames location ---------------------------------------------

class VariantTest : public StandInTest {};

TEST_F(VariantTest, LibraryMissingOneOci8NameRunsInOci7Mode) {
  UseLibrary("home-missing-one");
  if (IsSkipped()) return;
  oracle::OracleClient().Initialize();
  EXPECT_FALSE(oracle::OracleClient().Groups().oci8Calls);
  EXPECT_TRUE(oracle::OracleClient().Groups().oci7Calls);
  EXPECT_FALSE(oracle::OracleClient().Oci8Mode());
  auto session = Logon("scott/tiger");
  EXPECT_FALSE(session->Oci8Mode());
  TOracleQuery query(session.get());
  query.SetSQL("select dname from dept where deptno = 10");
  query.Execute();
  EXPECT_EQ(query.FieldAsString(0), "ACCOUNTING");
}

TEST_F(VariantTest, TnsNamesFromTnsAdminElseBelowOracleHome) {
  UseLibrary("home");
  if (IsSkipped()) return;
  MakeFile("admin/tnsnames.ora", "ALPHA = (DESCRIPTION = )\nBETA.WORLD = (DESCRIPTION = )\n");
  env_.Set("TNS_ADMIN", Path("admin"));
  {
    oracle::TOracleClient client(oracle::ClientEnvironment{oracle::PosixLayout(), [this] {
                                                             return std::vector<std::string>{"x", "OCIDLL=" + library_};
                                                           }});
    EXPECT_EQ(client.TnsNamesPath(), Path("admin/tnsnames.ora"));
    EXPECT_EQ(client.ListTnsAliases(), (std::vector<std::string>{"ALPHA", "BETA"}));
  }
  env_.Unset("TNS_ADMIN");
  env_.Set("ORACLE_HOME", Path("home"));
  oracle::TOracleClient client(oracle::ClientEnvironment{oracle::PosixLayout(), [this] {
                                                           return std::vector<std::string>{"x", "OCIDLL=" + library_};
                                                         }});
  EXPECT_EQ(client.TnsNamesPath(), Path("home/network/admin/tnsnames.ora"));
  EXPECT_TRUE(client.ListTnsAliases().empty());

  // The Windows rules: TNS_ADMIN of the home key.
  SetMachineValue("SOFTWARE\\ORACLE", "ORACLE_HOME", Path("win"));
  SetMachineValue("SOFTWARE\\ORACLE", "TNS_ADMIN", Path("admin"));
  oracle::TOracleClient windows(oracle::ClientEnvironment{oracle::WindowsLayout(), [this] {
                                                            return std::vector<std::string>{"x", "OCIDLL=" + library_};
                                                          }});
  EXPECT_EQ(windows.TnsNamesPath(), Path("admin/tnsnames.ora"));

  // Without TNS_ADMIN: the NET80 directory's Admin, else Network\Admin of
  // the home (an 8.1 library is no Net8 8.0 client).
  SetMachineValue("SOFTWARE\\ORACLE", "TNS_ADMIN", "");
  SetMachineValue("SOFTWARE\\ORACLE", "NET80", Path("net80"));
  oracle::TOracleClient net80(oracle::ClientEnvironment{oracle::WindowsLayout(), [this] {
                                                          return std::vector<std::string>{"x", "OCIDLL=" + library_};
                                                        }});
  EXPECT_EQ(net80.TnsNamesPath(), Path("net80/Admin/tnsnames.ora"));
  SetMachineValue("SOFTWARE\\ORACLE", "NET80", "");
  oracle::TOracleClient network(oracle::ClientEnvironment{oracle::WindowsLayout(), [this] {
                                                            return std::vector<std::string>{"x", "OCIDLL=" + library_};
                                                          }});
  EXPECT_EQ(network.TnsNamesPath(), Path("win/Network/Admin/tnsnames.ora"));
}

}  // namespace
}  // namespace oracle_test
