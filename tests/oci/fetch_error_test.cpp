// A fetch call that reaches a row the server cannot produce: it fails with
// the row's error, and the rows before it in that call are in the buffers
// and counted (OCI_ATTR_ROWS_FETCHED for the call, OCI_ATTR_ROW_COUNT in
// all), as a real client hands them over.
#include "oci_fixture.h"
#include "ocisim/round_trips.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace ocitest;

namespace {

struct Outcome {
  std::vector<int> values;  // every row read, in order
  sb4 code = 0;             // the error that ended the fetch
  ub4 failedCallRows = 0;   // OCI_ATTR_ROWS_FETCHED of the failing call
  unsigned long long fetchTrips = 0;
};

// Fetches a query whose row `bad` fails (ORA-01722), `array` rows a call.
Outcome FetchUntilTheError(Conn& c, int bad, ub4 array) {
  Outcome out;
  OCIStmt* st = nullptr;
  OCIHandleAlloc(c.env, reinterpret_cast<void**>(&st), OCI_HTYPE_STMT, 0, nullptr);
  const std::string sql = "SELECT TO_NUMBER(DECODE(ROWNUM, " + std::to_string(bad) +
                          ", 'x', TO_CHAR(ROWNUM))) FROM ALL_OBJECTS WHERE ROWNUM <= 300";
  OCIStmtPrepare(st, c.err, reinterpret_cast<const OraText*>(sql.c_str()), static_cast<ub4>(sql.size()),
                 OCI_NTV_SYNTAX, OCI_DEFAULT);
  OcisimRoundTrips start{};
  ocisim_round_trips(&start);
  sword rc = OCIStmtExecute(c.svc, st, c.err, 0, 0, nullptr, nullptr, OCI_DEFAULT);
  std::vector<int> values(array, -1);
  OCIDefine* d = nullptr;
  OCIDefineByPos(st, &d, c.err, 1, values.data(), sizeof(int), SQLT_INT, nullptr, nullptr, nullptr, OCI_DEFAULT);
  ub4 seen = 0;
  while (rc == OCI_SUCCESS) {
    rc = OCIStmtFetch(st, c.err, array, OCI_FETCH_NEXT, OCI_DEFAULT);
    ub4 call = 0, total = 0;
    OCIAttrGet(st, OCI_HTYPE_STMT, &call, nullptr, OCI_ATTR_ROWS_FETCHED, nullptr);
    OCIAttrGet(st, OCI_HTYPE_STMT, &total, nullptr, OCI_ATTR_ROW_COUNT, nullptr);
    EXPECT_EQ(total, seen + call);
    out.values.insert(out.values.end(), values.begin(), values.begin() + call);
    seen = total;
    if (rc == OCI_ERROR) {
      ErrorText(c.err, &out.code);
      out.failedCallRows = call;
    }
  }
  if (rc == OCI_ERROR && out.code == 0) ErrorText(c.err, &out.code);
  OcisimRoundTrips end{};
  ocisim_round_trips(&end);
  out.fetchTrips = end.fetches - start.fetches;
  OCIHandleFree(st, OCI_HTYPE_STMT);
  return out;
}

TEST(FetchError, RowsBeforeTheFailingRowArriveWithTheError) {
  UseFreshDataDir();
  Conn c("system", "manager");
  ASSERT_TRUE(c.ok()) << c.logon_text;
  for (const int bad : {1, 50, 100, 101, 250}) {
    const Outcome o = FetchUntilTheError(c, bad, 100);
    EXPECT_EQ(o.code, 1722) << "row " << bad;
    ASSERT_EQ(o.values.size(), static_cast<size_t>(bad - 1)) << "row " << bad;
    for (size_t i = 0; i < o.values.size(); ++i) ASSERT_EQ(o.values[i], static_cast<int>(i + 1));
    EXPECT_EQ(o.failedCallRows, static_cast<ub4>((bad - 1) % 100)) << "row " << bad;
    // One trip per call, the failing one included; the execute read the
    // first row ahead (the default prefetch), so a first row's error came
    // with it.
    EXPECT_EQ(o.fetchTrips, static_cast<unsigned long long>(bad == 1 ? 0 : (bad - 1) / 100 + 1)) << "row " << bad;
  }
  // The connection stays usable.
  EXPECT_EQ(MustRun(c, "SELECT COUNT(*) FROM DUAL"), (Rows{{"1"}}));
}

}  // namespace
