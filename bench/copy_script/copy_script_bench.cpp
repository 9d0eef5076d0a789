// copy_script_bench.cpp — the Shift+F5 script writer on a big table.
//
// 1. Bare fetch: the writer's own query (values converted to text by the
//    server) through the same client library and query class, every field
//    read, nothing written.
// 2. Script: WriteTableScript of the same table to a file.
// 3. Load: the SQL*Plus stand-in runs the script into an empty copy.
// Prints times, the ratio script / bare fetch (goal: at most 1.5), the
// process's peak memory after the fetch and after the script (goal: flat,
// under 50 MB whatever the row count) and the file size.
// Usage: copy_script_bench [ROWS] (default 1,000,000) [--load | --no-load];
// the stand-in loads a few hundred rows a second, so the load runs by
// default only up to 100,000 rows.
#include <sqlite3.h>
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>

#include "connection/data_module.h"
#include "operations/table_script.h"
#include "oracle/oracle_query.h"
#include "oracle/oracle_session.h"
#include "platform/platform.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

double Since(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

long PeakKiB() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return u.ru_maxrss;
}

void Run(oracle::TOracleSession& s, const std::string& sql) {
  oracle::TOracleQuery q(&s);
  q.SetSQL(sql);
  q.Execute();
}

const char kColumns[] =
    " (ID NUMBER(10), AMOUNT NUMBER(12,2), NAME VARCHAR2(30), NOTE VARCHAR2(100), CREATED DATE,"
    " CODE CHAR(8), RATIO FLOAT, CITY VARCHAR2(20), QTY NUMBER, FLAG VARCHAR2(1))";

const char kSelect[] =
    "SELECT TO_CHAR(\"ID\"), TO_CHAR(\"AMOUNT\"), \"NAME\", \"NOTE\", TO_CHAR(\"CREATED\", 'SYYYY-MM-DD HH24:MI:SS'),"
    " \"CODE\", TO_CHAR(\"RATIO\"), \"CITY\", TO_CHAR(\"QTY\"), \"FLAG\" FROM \"SCOTT\".\"BENCH10\"";

}  // namespace

int main(int argc, char** argv) {
  long rows = 1000000;
  int loadChoice = -1;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--no-load") == 0) loadChoice = 0;
    else if (std::strcmp(argv[i], "--load") == 0) loadChoice = 1;
    else rows = std::atol(argv[i]);
  }
  const bool load = loadChoice < 0 ? rows <= 100000 : loadChoice == 1;
  const fs::path dir = fs::temp_directory_path() / ("quarry-copy-bench-" + std::to_string(std::random_device{}()));
  fs::create_directories(dir / "db");
  platform::SetEnv("OCISIM_DATA_DIR", (dir / "db").string());
  platform::SetEnv("ORACLE_HOME", QUARRY_BENCH_ORACLE_HOME);
  platform::SetEnv("QUARRY_REGISTRY_DIR", (dir / "reg").string());

  connection::TPluginDataModule module;
  auto& s = module.OracleSession();
  s.LogonUsername = "scott";
  s.LogonPassword = "tiger";
  s.SetConnected(true);
  Run(s, std::string("CREATE TABLE BENCH10") + kColumns);
  {
    // Filling a million rows through SQL would measure the stand-in's
    // inserts; SQLite fills the table directly.
    sqlite3* db = nullptr;
    sqlite3_open((dir / "db" / "demo.db").c_str(), &db);
    sqlite3_busy_timeout(db, 10000);
    const std::string fill =
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < " + std::to_string(rows) +
        ") INSERT INTO \"SCOTT.BENCH10\" SELECT i, i * 1.25, 'name ' || i, 'a note with ''quotes'' and & for row ' || i,"
        " printf('2001-%02d-%02d 10:%02d:00', i % 12 + 1, i % 28 + 1, i % 60), 'C' || (i % 1000), i / 7.0,"
        " 'CITY' || (i % 50), i % 97, CASE WHEN i % 2 = 0 THEN 'Y' ELSE NULL END FROM n";
    char* err = nullptr;
    if (sqlite3_exec(db, fill.c_str(), nullptr, nullptr, &err) != SQLITE_OK) {
      std::fprintf(stderr, "fill: %s\n", err ? err : "?");
      return 1;
    }
    sqlite3_close(db);
  }
  std::printf("rows: %ld\n", rows);

  auto start = Clock::now();
  long fetched = 0;
  {
    oracle::TOracleQuery q(&s);
    q.SetReadBuffer(100);
    q.SetSQL(kSelect);
    q.Execute();
    std::size_t bytes = 0;
    for (; !q.Eof(); q.Next()) {
      for (int i = 0; i < q.FieldCount(); ++i) bytes += q.FieldIsNull(i) ? 0 : q.FieldAsString(i).size();
      ++fetched;
    }
    if (bytes == 0) std::printf("(no data)\n");
  }
  const double bare = Since(start);
  const long peakFetch = PeakKiB();
  std::printf("bare fetch:   %8.2f s  (%ld rows)  peak %ld KiB\n", bare, fetched, peakFetch);

  const fs::path file = dir / "BENCH10.sql";
  operations::ScriptOptions o;
  o.userCheck = false;
  start = Clock::now();
  auto result = operations::WriteTableScript(s, "SCOTT", "BENCH10", file.string(), o);
  const double script = Since(start);
  const long peakScript = PeakKiB();
  std::printf("script:       %8.2f s  (%lld rows, %.1f MB file)  peak %ld KiB\n", script,
              static_cast<long long>(result.rows), static_cast<double>(fs::file_size(file)) / 1e6, peakScript);
  std::printf("ratio script / bare fetch: %.2f (goal <= 1.5)\n", bare > 0 ? script / bare : 0.0);
  std::printf("peak growth while writing: %ld KiB (goal: flat, under 50 MB)\n", peakScript - peakFetch);

  if (load) {
    s.SetConnected(false);
    start = Clock::now();
    const std::string command = "'" SQLPLUS_PROGRAM "' -S -L scott/tiger @'" + file.string() + "' </dev/null >" +
                                (dir / "load.log").string() + " 2>&1";
    // The script's DELETE empties the table first, so it loads into the same table.
    const int rc = std::system(command.c_str());
    const double took = Since(start);
    std::printf("sqlplus load: %8.2f s  (exit %d, %.0f rows/s)\n", took, rc, took > 0 ? rows / took : 0.0);
  } else {
    std::printf("sqlplus load: not run (--load runs it)\n");
  }
  std::error_code ec;
  fs::remove_all(dir, ec);
  return 0;
}
