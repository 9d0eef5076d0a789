// Every statement of the plugin's catalogue (statements.sql) runs as SYSTEM on
// the demo database without an error; as SCOTT, those reading DBA_ or V$ views
// fail with ORA-00942 and no other error.
#include "oci_fixture.h"

#include <gtest/gtest.h>

#include <fstream>
#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

using namespace ocitest;

namespace {

std::vector<std::string> LoadStatements() {
  std::ifstream in(OCISIM_STATEMENTS_FILE);
  std::vector<std::string> out;
  std::string line;
  while (std::getline(in, line))
    if (!line.empty() && line.rfind("--", 0) != 0) out.push_back(line);
  return out;
}

// Runs one statement with every placeholder bound; returns the Oracle error code.
sb4 RunBound(Conn& c, const std::string& sql, std::string* text) {
  OCIStmt* st = nullptr;
  OCIHandleAlloc(c.env, reinterpret_cast<void**>(&st), OCI_HTYPE_STMT, 0, nullptr);
  OCIStmtPrepare(st, c.err, reinterpret_cast<const OraText*>(sql.c_str()), static_cast<ub4>(sql.size()), 1, 0);
  ub2 type = 0;
  OCIAttrGet(st, OCI_HTYPE_STMT, &type, nullptr, OCI_ATTR_STMT_TYPE, c.err);
  // Placeholders outside quotes, once each.
  std::vector<std::string> names;
  bool quoted = false;
  for (size_t i = 0; i < sql.size(); ++i) {
    if (sql[i] == '\'') quoted = !quoted;
    if (quoted || sql[i] != ':') continue;
    size_t j = i + 1;
    while (j < sql.size() && (std::isalnum(static_cast<unsigned char>(sql[j])) || sql[j] == '_' || sql[j] == '#' ||
                              sql[j] == '$'))
      ++j;
    std::string n = sql.substr(i + 1, j - i - 1);
    for (auto& ch : n) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    if (!n.empty() && std::find(names.begin(), names.end(), n) == names.end()) names.push_back(n);
    i = j - 1;
  }
  std::vector<std::string> values;
  values.reserve(names.size());
  for (const auto& n : names) values.push_back(n == "NAME" ? "EMP" : n == "SID" || n == "SERIAL" ? "1" : "SCOTT");
  for (size_t i = 0; i < names.size(); ++i) {
    OCIBind* b = nullptr;
    std::string ph = ":" + names[i];
    OCIBindByName(st, &b, c.err, reinterpret_cast<const OraText*>(ph.c_str()), static_cast<sb4>(ph.size()),
                  const_cast<char*>(values[i].c_str()), static_cast<sb4>(values[i].size() + 1), SQLT_STR, nullptr,
                  nullptr, nullptr, 0, nullptr, 0);
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
    while ((rc = OCIStmtFetch(st, c.err, 1, OCI_FETCH_NEXT, 0)) == OCI_SUCCESS || rc == OCI_SUCCESS_WITH_INFO) {
    }
    if (rc == OCI_NO_DATA) rc = OCI_SUCCESS;
  }
  sb4 code = 0;
  if (rc == OCI_ERROR) *text = ErrorText(c.err, &code);
  OCIHandleFree(st, OCI_HTYPE_STMT);
  OCITransRollback(c.svc, c.err, 0);
  return code;
}

TEST(Statements, AllRunForADba) {
  std::vector<std::string> stmts = LoadStatements();
  ASSERT_GT(stmts.size(), 300u);
  Conn c("system", "manager");
  ASSERT_TRUE(c.ok());
  for (const auto& s : stmts) {
    std::string text;
    EXPECT_EQ(RunBound(c, s, &text), 0) << s << "\n" << text;
  }
}

TEST(Statements, DictionaryViewsAreRefusedToScott) {
  Conn c("scott", "tiger");
  ASSERT_TRUE(c.ok());
  // Views only a catalog role may read.
  auto restricted = [](const std::string& s) {
    for (const char* mark : {"DBA_", "V$", "SYS.", "TS_PITR_"})
      if (s.find(mark) != std::string::npos) return true;
    return false;
  };
  int refused = 0;
  for (const auto& s : LoadStatements()) {
    std::string text;
    sb4 code = RunBound(c, s, &text);
    if (restricted(s)) {
      if (code == 942) ++refused;
      EXPECT_TRUE(code == 942 || code == 0) << s << "\n" << text;
    } else {
      EXPECT_EQ(code, 0) << s << "\n" << text;
    }
  }
  EXPECT_GT(refused, 100);
}

}  // namespace
