// Benchmark: a five-column listing of 100,000 rows fetched through
// OCIStmtFetch in batches of 25 (what the plugin's queries do), against the
// same translated query stepped directly on SQLite in the same run. Prints
// rows per second for both and their ratio (goal: at most 1.5).
#include "executor.h"
#include "ocisim/oci_api.h"
#include "server_session.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

namespace {

constexpr int kRows = 100000;
constexpr ub4 kBatch = 25;
const char* kQuery = "SELECT ID, NAME, KIND, CREATED, AMOUNT FROM BENCH_LIST";

void Check(sword rc, OCIError* err, const char* what) {
  if (rc == OCI_SUCCESS || rc == OCI_NO_DATA || rc == OCI_SUCCESS_WITH_INFO) return;
  char buf[1024] = "";
  sb4 code = 0;
  OCIErrorGet(err, 1, nullptr, &code, reinterpret_cast<OraText*>(buf), sizeof buf, OCI_HTYPE_ERROR);
  std::fprintf(stderr, "%s failed: %s\n", what, buf);
  std::exit(1);
}

void Exec(OCIEnv* env, OCISvcCtx* svc, OCIError* err, const char* sql) {
  OCIStmt* st = nullptr;
  OCIHandleAlloc(env, reinterpret_cast<void**>(&st), OCI_HTYPE_STMT, 0, nullptr);
  OCIStmtPrepare(st, err, reinterpret_cast<const OraText*>(sql), static_cast<ub4>(std::strlen(sql)), 1, 0);
  Check(OCIStmtExecute(svc, st, err, 1, 0, nullptr, nullptr, OCI_DEFAULT), err, sql);
  OCIHandleFree(st, OCI_HTYPE_STMT);
}

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

}  // namespace

int main() {
  char tmpl[] = "/tmp/ocisim-bench-XXXXXX";
  const char* dir = mkdtemp(tmpl);
  if (!dir) return 1;
  setenv("OCISIM_DATA_DIR", dir, 1);
  std::atexit([] { std::filesystem::remove_all(std::getenv("OCISIM_DATA_DIR")); });

  OCIEnv* env = nullptr;
  OCIEnvCreate(&env, OCI_DEFAULT, nullptr, nullptr, nullptr, nullptr, 0, nullptr);
  OCIError* err = nullptr;
  OCIHandleAlloc(env, reinterpret_cast<void**>(&err), OCI_HTYPE_ERROR, 0, nullptr);
  OCISvcCtx* svc = nullptr;
  Check(OCILogon(env, err, &svc, reinterpret_cast<const OraText*>("scott"), 5,
                 reinterpret_cast<const OraText*>("tiger"), 5, reinterpret_cast<const OraText*>(""), 0),
        err, "logon");

  // 100,000 rows from five cross-joined copies of a ten-row table.
  Exec(env, svc, err, "CREATE TABLE DIGITS (D NUMBER(1))");
  for (int d = 0; d < 10; ++d) Exec(env, svc, err, ("INSERT INTO DIGITS VALUES (" + std::to_string(d) + ")").c_str());
  Exec(env, svc, err,
       "CREATE TABLE BENCH_LIST (ID NUMBER(8) PRIMARY KEY, NAME VARCHAR2(30), KIND VARCHAR2(18), CREATED DATE, "
       "AMOUNT NUMBER(10,2))");
  Exec(env, svc, err,
       "INSERT INTO BENCH_LIST SELECT A.D * 10000 + B.D * 1000 + C.D * 100 + E.D * 10 + F.D, "
       "'OBJECT_' || A.D || B.D || C.D || E.D || F.D, DECODE(F.D, 0, 'TABLE', 1, 'VIEW', 'PACKAGE BODY'), "
       "TO_DATE('2003-03-15', 'YYYY-MM-DD') + A.D, B.D * 100 + C.D + F.D / 4 "
       "FROM DIGITS A, DIGITS B, DIGITS C, DIGITS E, DIGITS F");
  Exec(env, svc, err, "COMMIT");

  // The translated text, for running the query straight on SQLite.
  std::string warning;
  auto session = ocisim::ServerSession::Logon(ocisim::Database::Attach(""), "scott", "tiger", false,
                                              ocisim::LogonMode::Normal, &warning);
  std::string sqlite_text;
  {
    ocisim::Cursor cursor(*session);
    cursor.Prepare(kQuery);
    cursor.Execute({});
    sqlite_text = cursor.SqliteText();
  }

  // The machine is shared: several alternating rounds, the best of each side counts.
  double oci_s = 1e9, direct_s = 1e9;
  long oci_rows = 0, direct_rows = 0;
  size_t bytes = 0;
  static char bufs[5][kBatch][101];
  static sb2 ind[5][kBatch];
  static ub2 len[5][kBatch];
  for (int round = 0; round < 5; ++round) {
    // Through OCI: five string columns defined for a batch of 25 rows.
    OCIStmt* st = nullptr;
    OCIHandleAlloc(env, reinterpret_cast<void**>(&st), OCI_HTYPE_STMT, 0, nullptr);
    OCIStmtPrepare(st, err, reinterpret_cast<const OraText*>(kQuery), static_cast<ub4>(std::strlen(kQuery)), 1, 0);
    auto start = std::chrono::steady_clock::now();
    Check(OCIStmtExecute(svc, st, err, 0, 0, nullptr, nullptr, OCI_DEFAULT), err, "execute");
    for (ub4 c = 0; c < 5; ++c) {
      OCIDefine* d = nullptr;
      OCIDefineByPos(st, &d, err, c + 1, bufs[c], 101, SQLT_STR, ind[c], len[c], nullptr, OCI_DEFAULT);
    }
    oci_rows = 0;
    sword rc;
    do {
      rc = OCIStmtFetch(st, err, kBatch, OCI_FETCH_NEXT, OCI_DEFAULT);
      Check(rc, err, "fetch");
      ub4 got = 0;
      OCIAttrGet(st, OCI_HTYPE_STMT, &got, nullptr, OCI_ATTR_ROWS_FETCHED, err);
      oci_rows += got;
    } while (rc == OCI_SUCCESS);
    oci_s = std::min(oci_s, Seconds(start));
    OCIHandleFree(st, OCI_HTYPE_STMT);

    // Directly: every column read as text.
    start = std::chrono::steady_clock::now();
    sqlite3_stmt* s = nullptr;
    sqlite3_prepare_v2(session->db(), sqlite_text.c_str(), -1, &s, nullptr);
    direct_rows = 0;
    bytes = 0;
    while (sqlite3_step(s) == SQLITE_ROW) {
      for (int c = 0; c < 5; ++c) {
        const unsigned char* t = sqlite3_column_text(s, c);
        bytes += t ? std::strlen(reinterpret_cast<const char*>(t)) : 0;
      }
      ++direct_rows;
    }
    sqlite3_finalize(s);
    direct_s = std::min(direct_s, Seconds(start));
  }

  OCILogoff(svc, err);
  OCIHandleFree(env, OCI_HTYPE_ENV);
  if (oci_rows != kRows || direct_rows != kRows) {
    std::fprintf(stderr, "row counts differ: OCI %ld, direct %ld, expected %d\n", oci_rows, direct_rows, kRows);
    return 1;
  }
  std::printf("best of 5 rounds\n");
  std::printf("OCIStmtFetch, batches of %u: %ld rows in %.3f s = %.0f rows/s\n", kBatch, oci_rows, oci_s,
              oci_rows / oci_s);
  std::printf("SQLite directly:           %ld rows in %.3f s = %.0f rows/s (%zu bytes)\n", direct_rows, direct_s,
              direct_rows / direct_s, bytes);
  std::printf("ratio OCI/direct: %.2f (goal <= 1.5)\n", oci_s / direct_s);
  return 0;
}
