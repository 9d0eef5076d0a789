// Shared helpers of the OCI stand-in tests: a private data directory per test
// program (so each run builds its own demo databases), and small wrappers
// that log on through the C interface and run statements, reporting Oracle
// errors as test failures with their text.
#pragma once

#include "ocisim/oci_api.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace ocitest {

// Points OCISIM_DATA_DIR at a fresh directory for the running test suite
// (one per suite and process, so suites never see each other's changes).
void UseFreshDataDir();

std::string ErrorText(OCIError* err, sb4* code = nullptr);

// One OCI8 connection made the multi-handle way, as the plugin does it.
struct Conn {
  OCIEnv* env = nullptr;
  OCIError* err = nullptr;
  OCIServer* srv = nullptr;
  OCISvcCtx* svc = nullptr;
  OCISession* ses = nullptr;
  sword logon_rc = OCI_ERROR;
  sb4 logon_code = 0;
  std::string logon_text;

  Conn(const std::string& user, const std::string& password, const std::string& alias = "", ub4 mode = OCI_DEFAULT,
       ub4 credt = OCI_CRED_RDBMS);
  ~Conn();
  Conn(const Conn&) = delete;
  Conn& operator=(const Conn&) = delete;
  bool ok() const { return logon_rc == OCI_SUCCESS || logon_rc == OCI_SUCCESS_WITH_INFO; }
};

using Rows = std::vector<std::vector<std::string>>;

// Runs a statement; for a query returns every row as strings ("<null>" for NULL).
// On an Oracle error returns no rows and puts the code into *code.
Rows RunSql(Conn& c, const std::string& sql, sb4* code = nullptr, std::string* text = nullptr);
// Runs a statement that must succeed; fails the test otherwise.
Rows MustRun(Conn& c, const std::string& sql);

}  // namespace ocitest
