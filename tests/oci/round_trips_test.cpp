// Round trips as the stand-in counts them: one per execute, a fetch only
// when the client's row cache (the prefetch) cannot answer it, one more at
// an exact boundary, commits and rollbacks; the delay per round trip; the
// counters written to a file when the process ends.
#include "oci_fixture.h"
#include "ocisim/round_trips.h"

#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

using namespace ocitest;

namespace {

OcisimRoundTrips Now() {
  OcisimRoundTrips r{};
  ocisim_round_trips(&r);
  return r;
}

struct Used {
  unsigned long long total, executes, fetches, commits, rollbacks;
};

Used Since(const OcisimRoundTrips& before) {
  OcisimRoundTrips now = Now();
  return {now.total - before.total, now.executes - before.executes, now.fetches - before.fetches,
          now.commits - before.commits, now.rollbacks - before.rollbacks};
}

// Fetches SCOTT.EMP (14 rows) in arrays of `array` rows with `prefetch`
// rows read ahead (0: the default) within `memory` bytes (0: unbounded);
// returns the names in order.
std::vector<std::string> FetchEmp(Conn& c, ub4 array, ub4 prefetch, ub4 memory = 0) {
  OCIStmt* st = nullptr;
  OCIHandleAlloc(c.env, reinterpret_cast<void**>(&st), OCI_HTYPE_STMT, 0, nullptr);
  const std::string sql = "SELECT ENAME FROM SCOTT.EMP ORDER BY EMPNO";
  OCIStmtPrepare(st, c.err, reinterpret_cast<const OraText*>(sql.c_str()), static_cast<ub4>(sql.size()),
                 OCI_NTV_SYNTAX, OCI_DEFAULT);
  if (prefetch) OCIAttrSet(st, OCI_HTYPE_STMT, &prefetch, 0, OCI_ATTR_PREFETCH_ROWS, c.err);
  if (memory) OCIAttrSet(st, OCI_HTYPE_STMT, &memory, 0, OCI_ATTR_PREFETCH_MEMORY, c.err);
  EXPECT_EQ(OCIStmtExecute(c.svc, st, c.err, 0, 0, nullptr, nullptr, OCI_DEFAULT), OCI_SUCCESS);
  std::vector<char> names(static_cast<size_t>(array) * 11);
  OCIDefine* d = nullptr;
  OCIDefineByPos(st, &d, c.err, 1, names.data(), 11, SQLT_STR, nullptr, nullptr, nullptr, OCI_DEFAULT);
  std::vector<std::string> out;
  ub4 seen = 0;
  for (;;) {
    sword rc = OCIStmtFetch(st, c.err, array, OCI_FETCH_NEXT, OCI_DEFAULT);
    ub4 count = 0;
    OCIAttrGet(st, OCI_HTYPE_STMT, &count, nullptr, OCI_ATTR_ROW_COUNT, c.err);
    for (ub4 i = 0; i < count - seen; ++i) out.emplace_back(names.data() + i * 11);
    seen = count;
    if (rc != OCI_SUCCESS) break;
  }
  OCIHandleFree(st, OCI_HTYPE_STMT);
  return out;
}

TEST(RoundTrips, FetchCallsThatTheRowCacheCannotAnswer) {
  UseFreshDataDir();
  Conn c("scott", "tiger");
  ASSERT_TRUE(c.ok()) << c.logon_text;
  // Default prefetch (one row): arrays of 5 need the server three times
  // (rows 2-5, 6-10, 11-14 and the end).
  OcisimRoundTrips before = Now();
  std::vector<std::string> five = FetchEmp(c, 5, 0);
  Used u = Since(before);
  EXPECT_EQ(five.size(), 14u);
  EXPECT_EQ(u.executes, 1u);
  EXPECT_EQ(u.fetches, 3u);
  EXPECT_EQ(u.total, 4u);
  // Arrays of 7: two full arrays, then the server must be asked once more to
  // learn that 14 rows were all (it sent exactly what it was asked for).
  before = Now();
  EXPECT_EQ(FetchEmp(c, 7, 0), five);
  EXPECT_EQ(Since(before).fetches, 3u);
  // One array wider than the result: the short answer says it all.
  before = Now();
  EXPECT_EQ(FetchEmp(c, 50, 0), five);
  EXPECT_EQ(Since(before).fetches, 1u);
  // Prefetch of 100 rows: the execute brings every row and the end.
  before = Now();
  EXPECT_EQ(FetchEmp(c, 5, 100), five);
  u = Since(before);
  EXPECT_EQ(u.fetches, 0u);
  EXPECT_EQ(u.total, 1u);
  // The same within 50 bytes of read-ahead memory: ENAME takes 10 bytes,
  // so each trip brings 5 rows (1-5 with the execute, then 6-10, 11-14).
  before = Now();
  EXPECT_EQ(FetchEmp(c, 5, 100, 50), five);
  EXPECT_EQ(Since(before).fetches, 2u);
}

TEST(RoundTrips, StatementsCommitsRollbacksAndPrepares) {
  UseFreshDataDir();
  Conn c("scott", "tiger");
  ASSERT_TRUE(c.ok()) << c.logon_text;
  OcisimRoundTrips before = Now();
  MustRun(c, "UPDATE EMP SET SAL = SAL WHERE DEPTNO = 10");
  EXPECT_EQ(OCITransRollback(c.svc, c.err, OCI_DEFAULT), OCI_SUCCESS);
  MustRun(c, "UPDATE EMP SET SAL = SAL WHERE DEPTNO = 10");
  EXPECT_EQ(OCITransCommit(c.svc, c.err, OCI_DEFAULT), OCI_SUCCESS);
  sb4 code = 0;
  RunSql(c, "SELECT * FROM NO_SUCH_TABLE", &code);  // refused by the server: still a trip
  EXPECT_EQ(code, 942);
  Used u = Since(before);
  EXPECT_EQ(u.executes, 3u);
  EXPECT_EQ(u.commits, 1u);
  EXPECT_EQ(u.rollbacks, 1u);
  EXPECT_EQ(u.total, 5u);
  EXPECT_EQ(Now().prepares - before.prepares, 3u);
}

TEST(RoundTrips, TheDelayIsPaidPerTripAndChangesNoResult) {
  UseFreshDataDir();
  Conn c("scott", "tiger");
  ASSERT_TRUE(c.ok()) << c.logon_text;
  const std::vector<std::string> plain = FetchEmp(c, 5, 0);
  ocisim_set_round_trip_delay_us(10000);
  OcisimRoundTrips before = Now();
  auto start = std::chrono::steady_clock::now();
  const std::vector<std::string> delayed = FetchEmp(c, 5, 0);
  const auto took = std::chrono::steady_clock::now() - start;
  ocisim_set_round_trip_delay_us(0);
  EXPECT_EQ(delayed, plain);
  // Four trips of 10 ms each at the least (an upper bound would time the machine).
  EXPECT_EQ(Since(before).total, 4u);
  EXPECT_GE(took, std::chrono::milliseconds(40));
}

TEST(RoundTrips, CountersGoToTheFileWhenTheProcessEnds) {
  UseFreshDataDir();
  char path[] = "/tmp/ocisim-trips-XXXXXX";
  int fd = mkstemp(path);
  ASSERT_GE(fd, 0);
  close(fd);
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    setenv("OCISIM_ROUND_TRIPS_FILE", path, 1);
    ocisim_reset_round_trips();
    {
      Conn c("scott", "tiger");
      if (c.ok()) RunSql(c, "SELECT * FROM DUAL");
    }
    // The fixture's exit handler would remove the parent's databases.
    setenv("OCISIM_DATA_DIR", "/nonexistent/kept", 1);
    std::exit(0);  // static destructors run, the library writes the file
  }
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  std::remove(path);
  EXPECT_NE(text.str().find("executes 1\n"), std::string::npos) << text.str();
  EXPECT_NE(text.str().find("round_trips "), std::string::npos) << text.str();
  EXPECT_NE(text.str().find("sessions "), std::string::npos) << text.str();
}

}  // namespace
