// The statement corpus (every statement and block the plugin sends, in
// tests/oci_sql/corpus/statements.sql) runs through the C interface on the
// demo database: as SYSTEM each gives no error, or exactly the error Oracle
// gives it; as SCOTT, without the catalog role, only views reserved to the
// role refuse, with ORA-00942; statements that change the database run last,
// in order, on their own database.
#include "oci_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

#include "corpus/corpus.h"

using namespace ocitest;

namespace {

struct Result {
  sb4 code = 0;
  std::string text;
  int rows = 0;
};

// Binds every declared variable by name as a string (in and out) and fetches
// all rows of a query.
Result RunRecord(Conn& c, const corpus::Record& r, const std::string& prefix) {
  const std::string sql = corpus::Rewrite(r.text, prefix);
  Result out;
  OCIStmt* st = nullptr;
  OCIHandleAlloc(c.env, reinterpret_cast<void**>(&st), OCI_HTYPE_STMT, 0, nullptr);
  OCIStmtPrepare(st, c.err, reinterpret_cast<const OraText*>(sql.c_str()), static_cast<ub4>(sql.size()), 1, 0);
  ub2 type = 0;
  OCIAttrGet(st, OCI_HTYPE_STMT, &type, nullptr, OCI_ATTR_STMT_TYPE, c.err);
  std::vector<std::vector<char>> values;
  values.reserve(r.vars.size());
  for (const auto& [name, value] : r.vars) {
    values.emplace_back(4001, '\0');
    value.copy(values.back().data(), value.size());
    OCIBind* b = nullptr;
    std::string ph = ":" + name;
    OCIBindByName(st, &b, c.err, reinterpret_cast<const OraText*>(ph.c_str()), static_cast<sb4>(ph.size()),
                  values.back().data(), 4001, SQLT_STR, nullptr, nullptr, nullptr, 0, nullptr, 0);
  }
  sword rc = OCIStmtExecute(c.svc, st, c.err, type == OCI_STMT_SELECT ? 0 : 1, 0, nullptr, nullptr, 0);
  if (rc == OCI_SUCCESS && type == OCI_STMT_SELECT) {
    ub4 n = 0;
    OCIAttrGet(st, OCI_HTYPE_STMT, &n, nullptr, OCI_ATTR_PARAM_COUNT, c.err);
    std::vector<std::vector<char>> bufs(n, std::vector<char>(4001));
    std::vector<sb2> ind(n);
    for (ub4 i = 0; i < n; ++i) {
      OCIDefine* d = nullptr;
      OCIDefineByPos(st, &d, c.err, i + 1, bufs[i].data(), 4001, SQLT_STR, &ind[i], nullptr, nullptr, 0);
    }
    while ((rc = OCIStmtFetch(st, c.err, 1, OCI_FETCH_NEXT, 0)) == OCI_SUCCESS || rc == OCI_SUCCESS_WITH_INFO)
      ++out.rows;
    if (rc == OCI_NO_DATA) rc = OCI_SUCCESS;
  }
  if (rc == OCI_ERROR) out.text = ErrorText(c.err, &out.code);
  OCIHandleFree(st, OCI_HTYPE_STMT);
  return out;
}

std::vector<corpus::Record> Corpus() { return corpus::Load(OCISIM_CORPUS); }

TEST(Corpus, EveryStatementRunsForADbaAsOracleWouldAnswer) {
  UseFreshDataDir();
  Conn c("system", "manager");
  ASSERT_TRUE(c.ok());
  int queries = 0, withRows = 0;
  for (const auto& r : Corpus()) {
    if (r.changes) continue;
    Result res = RunRecord(c, r, "DBA_");
    OCITransRollback(c.svc, c.err, 0);
    EXPECT_EQ(res.code, r.error) << "line " << r.line << ": " << r.text << "\n" << res.text;
    if (r.text.rfind("SELECT", 0) == 0) {
      ++queries;
      withRows += res.rows > 0 ? 1 : 0;
    }
  }
  EXPECT_GT(queries, 300);
  // The demo is meant to give nearly every listing something to show.
  EXPECT_GT(withRows, queries / 2);
}

TEST(Corpus, WithoutTheCatalogRoleOnlyReservedViewsRefuse) {
  UseFreshDataDir();
  Conn c("scott", "tiger");
  ASSERT_TRUE(c.ok());
  int refused = 0;
  for (const auto& r : Corpus()) {
    if (r.changes) continue;
    Result res = RunRecord(c, r, "ALL_");
    OCITransRollback(c.svc, c.err, 0);
    const std::string sql = corpus::Rewrite(r.text, "ALL_");
    bool reserved = false;
    // SCOTT has no plan table in the demo; resource plans have no ALL_ views.
    for (const char* mark : {"DBA_", "V$", "SYS.", "TS_PITR_", "DBMS_ALERT_INFO", "ALL_RSRC_", "PLAN_TABLE"})
      reserved = reserved || sql.find(mark) != std::string::npos;
    if (res.code == 942) {
      ++refused;
      EXPECT_TRUE(reserved) << "line " << r.line << ": " << sql;
      continue;
    }
    // ALL_USERS lacks PROFILE and DEFAULT_TABLESPACE on Oracle as well.
    if (res.code == 904 && sql.find("FROM ALL_USERS WHERE") != std::string::npos) continue;
    EXPECT_EQ(res.code, r.error) << "line " << r.line << ": " << sql << "\n" << res.text;
  }
  EXPECT_GT(refused, 100);
}

TEST(Corpus, StatementsThatChangeTheDatabaseRunInOrder) {
  UseFreshDataDir();
  Conn c("system", "manager");
  ASSERT_TRUE(c.ok());
  int run = 0;
  for (const auto& r : Corpus()) {
    if (!r.changes) continue;
    Result res = RunRecord(c, r, "DBA_");
    ++run;
    // The statement must reach the name lookup: the demo need not hold every
    // object the drop and comment actions name.
    static const int kMissingObject[] = {942,  955,  4043, 1918, 1919,  959,   1432,  1434, 2380, 30,   2289,
                                         4080, 943,  1418, 1534, 12002, 12003, 18002, 2024, 2441, 2443};
    if (std::find(std::begin(kMissingObject), std::end(kMissingObject), res.code) != std::end(kMissingObject))
      continue;
    EXPECT_EQ(res.code, r.error) << "line " << r.line << ": " << r.text << "\n" << res.text;
  }
  EXPECT_GT(run, 30);
}

}  // namespace
