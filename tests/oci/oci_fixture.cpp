// Shared helpers of the OCI stand-in tests: see oci_fixture.h.
#include "oci_fixture.h"

#include <unistd.h>

#include <cctype>
#include <filesystem>

namespace ocitest {

void UseFreshDataDir() {
  static std::string root = [] {
    char tmpl[] = "/tmp/ocisim-test-XXXXXX";
    const char* d = mkdtemp(tmpl);
    std::string r = d ? d : "";
    // The databases of this run go away with the process.
    static std::string removed;
    removed = r;
    std::atexit([] {
      if (removed.rfind("/tmp/ocisim-test-", 0) == 0) std::filesystem::remove_all(removed);
    });
    return r;
  }();
  // Each test suite gets databases of its own: a suite that changes the demo
  // (the corpus marks a column unused, drops objects) must not change what the
  // next suite of the same process sees.
  std::string suite = "default";
  if (const auto* ts = ::testing::UnitTest::GetInstance()->current_test_suite()) suite = ts->name();
  for (char& ch : suite)
    if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
  std::string dir = root.empty() ? std::string("/tmp") : root + "/" + suite;
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  setenv("OCISIM_DATA_DIR", dir.c_str(), 1);
  setenv("OCISIM_LOCK_TIMEOUT_MS", "200", 1);
}

namespace {

// A suite that never logs on through the helpers still starts on its own
// databases, not on whatever the suite before it left in the environment.
struct SuiteDataDir : ::testing::EmptyTestEventListener {
  void OnTestSuiteStart(const ::testing::TestSuite&) override { UseFreshDataDir(); }
};

[[maybe_unused]] const bool kSuiteDataDirListener = [] {
  ::testing::UnitTest::GetInstance()->listeners().Append(new SuiteDataDir);
  return true;
}();

}  // namespace

std::string ErrorText(OCIError* err, sb4* code) {
  char buf[4001] = "";
  sb4 c = 0;
  OCIErrorGet(err, 1, nullptr, &c, reinterpret_cast<OraText*>(buf), sizeof buf, OCI_HTYPE_ERROR);
  if (code) *code = c;
  std::string s = buf;
  while (!s.empty() && s.back() == '\n') s.pop_back();
  return s;
}

Conn::Conn(const std::string& user, const std::string& password, const std::string& alias, ub4 mode, ub4 credt) {
  UseFreshDataDir();
  OCIEnvCreate(&env, OCI_THREADED | OCI_OBJECT, nullptr, nullptr, nullptr, nullptr, 0, nullptr);
  OCIHandleAlloc(env, reinterpret_cast<void**>(&err), OCI_HTYPE_ERROR, 0, nullptr);
  OCIHandleAlloc(env, reinterpret_cast<void**>(&srv), OCI_HTYPE_SERVER, 0, nullptr);
  OCIHandleAlloc(env, reinterpret_cast<void**>(&svc), OCI_HTYPE_SVCCTX, 0, nullptr);
  OCIHandleAlloc(env, reinterpret_cast<void**>(&ses), OCI_HTYPE_SESSION, 0, nullptr);
  logon_rc = OCIServerAttach(srv, err, reinterpret_cast<const OraText*>(alias.c_str()),
                             static_cast<sb4>(alias.size()), OCI_DEFAULT);
  if (logon_rc != OCI_SUCCESS) {
    logon_text = ErrorText(err, &logon_code);
    return;
  }
  OCIAttrSet(svc, OCI_HTYPE_SVCCTX, srv, 0, OCI_ATTR_SERVER, err);
  OCIAttrSet(ses, OCI_HTYPE_SESSION, const_cast<char*>(user.c_str()), static_cast<ub4>(user.size()),
             OCI_ATTR_USERNAME, err);
  OCIAttrSet(ses, OCI_HTYPE_SESSION, const_cast<char*>(password.c_str()), static_cast<ub4>(password.size()),
             OCI_ATTR_PASSWORD, err);
  logon_rc = OCISessionBegin(svc, err, ses, credt, mode);
  if (logon_rc != OCI_SUCCESS) logon_text = ErrorText(err, &logon_code);
  if (ok()) OCIAttrSet(svc, OCI_HTYPE_SVCCTX, ses, 0, OCI_ATTR_SESSION, err);
}

Conn::~Conn() {
  if (ok()) OCISessionEnd(svc, err, ses, OCI_DEFAULT);
  OCIServerDetach(srv, err, OCI_DEFAULT);
  OCIHandleFree(env, OCI_HTYPE_ENV);
}

Rows RunSql(Conn& c, const std::string& sql, sb4* code, std::string* text) {
  Rows rows;
  if (code) *code = 0;
  OCIStmt* st = nullptr;
  OCIHandleAlloc(c.env, reinterpret_cast<void**>(&st), OCI_HTYPE_STMT, 0, nullptr);
  auto fail = [&] {
    sb4 e = 0;
    std::string t = ErrorText(c.err, &e);
    if (code) *code = e;
    if (text) *text = t;
    OCIHandleFree(st, OCI_HTYPE_STMT);
    return Rows{};
  };
  OCIStmtPrepare(st, c.err, reinterpret_cast<const OraText*>(sql.c_str()), static_cast<ub4>(sql.size()),
                 OCI_NTV_SYNTAX, OCI_DEFAULT);
  ub2 type = 0;
  OCIAttrGet(st, OCI_HTYPE_STMT, &type, nullptr, OCI_ATTR_STMT_TYPE, c.err);
  sword rc = OCIStmtExecute(c.svc, st, c.err, type == OCI_STMT_SELECT ? 0 : 1, 0, nullptr, nullptr, OCI_DEFAULT);
  if (rc == OCI_ERROR) return fail();
  if (rc == OCI_SUCCESS_WITH_INFO) {
    sb4 w = 0;
    std::string t = ErrorText(c.err, &w);
    if (code) *code = w;
    if (text) *text = t;
  }
  if (type != OCI_STMT_SELECT) {
    OCIHandleFree(st, OCI_HTYPE_STMT);
    return rows;
  }
  ub4 n = 0;
  OCIAttrGet(st, OCI_HTYPE_STMT, &n, nullptr, OCI_ATTR_PARAM_COUNT, c.err);
  std::vector<std::vector<char>> bufs(n, std::vector<char>(4001));
  std::vector<sb2> ind(n);
  for (ub4 i = 0; i < n; ++i) {
    OCIDefine* d = nullptr;
    OCIDefineByPos(st, &d, c.err, i + 1, bufs[i].data(), 4001, SQLT_STR, &ind[i], nullptr, nullptr, OCI_DEFAULT);
  }
  while ((rc = OCIStmtFetch(st, c.err, 1, OCI_FETCH_NEXT, OCI_DEFAULT)) == OCI_SUCCESS ||
         rc == OCI_SUCCESS_WITH_INFO) {
    std::vector<std::string> row;
    for (ub4 i = 0; i < n; ++i) row.push_back(ind[i] == -1 ? "<null>" : bufs[i].data());
    rows.push_back(row);
  }
  if (rc != OCI_NO_DATA) return fail();
  OCIHandleFree(st, OCI_HTYPE_STMT);
  return rows;
}

Rows MustRun(Conn& c, const std::string& sql) {
  sb4 code = 0;
  std::string text;
  Rows r = RunSql(c, sql, &code, &text);
  EXPECT_EQ(code, 0) << sql << "\n" << text;
  return r;
}

}  // namespace ocitest
