// Oracle DATE semantics: arithmetic in days, default text form DD-MON-RR,
// format models of TO_CHAR/TO_DATE, SYSDATE from OCISIM_SYSDATE, and the
// calendar functions.
#include <cstdlib>
#include <functional>

#include "test_db.h"

using namespace ocisql_test;
using namespace ocisim::sql;

namespace {

std::string One(TestDb& db, const std::string& sql) { return db.Query(sql).at(0).at(0); }

int Code(const std::function<void()>& fn) {
  try {
    fn();
  } catch (const OraError& e) {
    return e.code;
  }
  return 0;
}

}  // namespace

TEST(Dates, ArithmeticAndDefaultForm) {
  TestDb db;
  const std::string d = "TO_DATE('15-01-2026 06:00', 'DD-MM-YYYY HH24:MI')";
  EXPECT_EQ(One(db, "SELECT " + d + " + 1.5 FROM DUAL"), "2026-01-16 18:00:00");
  EXPECT_EQ(One(db, "SELECT " + d + " - 15 FROM DUAL"), "2025-12-31 06:00:00");
  EXPECT_EQ(One(db, "SELECT 1 + " + d + " FROM DUAL"), "2026-01-16 06:00:00");
  EXPECT_EQ(One(db, "SELECT " + d + " - TO_DATE('2026-01-14', 'YYYY-MM-DD') FROM DUAL"), "1.25");
  EXPECT_EQ(db.ErrorCode("SELECT " + d + " + " + d + " FROM DUAL"), 975);
  EXPECT_EQ(One(db, "SELECT TO_CHAR(HIREDATE) FROM EMP WHERE EMPNO = 7369"), "17-DEC-80");
  EXPECT_EQ(One(db, "SELECT COUNT(*) FROM EMP WHERE HIREDATE > TO_DATE('01-JAN-1982', 'DD-MON-YYYY')"), "3");
  EXPECT_EQ(One(db, "SELECT MAX(HIREDATE) FROM EMP"), "1987-05-23 00:00:00");
  EXPECT_EQ(FormatOracleDate("2026-01-05 13:04:09", ""), "05-JAN-26");
  // A literal in the default form compared with a date column reads as a date.
  EXPECT_EQ(One(db, "SELECT COUNT(*) FROM EMP WHERE HIREDATE >= '01-JAN-82'"), "3");
  EXPECT_EQ(One(db, "SELECT ENAME FROM EMP WHERE '17-DEC-1980' = HIREDATE"), "SMITH");
  EXPECT_EQ(One(db, "SELECT COUNT(*) FROM DEPT WHERE DNAME = '01-JAN-82'"), "0");
  // Values written into DATE columns go through ora_date_in.
  db.Exec("CREATE TABLE T (D DATE); INSERT INTO T VALUES (ora_date_in('05-JAN-26')), (ora_date_in('2026-02-01 00:00:00'))");
  sqlite3_stmt* st = nullptr;
  sqlite3_prepare_v2(db.db, "SELECT group_concat(D, '|') FROM T", -1, &st, nullptr);
  sqlite3_step(st);
  EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)), "2026-01-05 00:00:00|2026-02-01 00:00:00");
  sqlite3_finalize(st);
}

TEST(Dates, FormatModels) {
  const std::string v = "2026-03-05 13:04:09";
  EXPECT_EQ(FormatOracleDate(v, "DD-MON-YYYY HH24:MI:SS"), "05-MAR-2026 13:04:09");
  EXPECT_EQ(FormatOracleDate(v, "YYYY-MM-DD"), "2026-03-05");
  EXPECT_EQ(FormatOracleDate(v, "RRRR-MM(MONTH)"), "2026-03(MARCH    )");
  EXPECT_EQ(FormatOracleDate(v, "fmMonth DD, YYYY"), "March 5, 2026");
  EXPECT_EQ(FormatOracleDate(v, "fmDdth Month"), "5th March");
  EXPECT_EQ(FormatOracleDate("2026-03-22 00:00:00", "DDTH"), "22ND");
  EXPECT_EQ(FormatOracleDate(v, "Dy DAY HH:MI AM"), "Thu THURSDAY  01:04 PM");
  EXPECT_EQ(FormatOracleDate(v, "\"Q\"Q-DDD-J"), "Q1-064-2461105");
  EXPECT_EQ(Code([&] { FormatOracleDate(v, "YYYY-XX"); }), 1821);
  EXPECT_EQ(ParseOracleDate("5-mar-2026 1:04:09 pm", "DD-MON-YYYY HH:MI:SS AM"), "2026-03-05 13:04:09");
  EXPECT_EQ(ParseOracleDate("01-JAN-49", ""), "2049-01-01 00:00:00");
  EXPECT_EQ(ParseOracleDate("01-JAN-50", ""), "1950-01-01 00:00:00");
  EXPECT_EQ(ParseOracleDate("2026/02/03", "YYYY-MM-DD"), "2026-02-03 00:00:00");
  EXPECT_EQ(Code([] { ParseOracleDate("01-FOO-2026", "DD-MON-YYYY"); }), 1843);
  EXPECT_EQ(Code([] { ParseOracleDate("31-02-2026", "DD-MM-YYYY"); }), 1839);
  EXPECT_EQ(Code([] { ParseOracleDate("2026-01-01", ""); }), 1843);
  EXPECT_EQ(Code([] { ParseOracleDate("01-01-2026 xyz", "DD-MM-YYYY"); }), 1830);
  EXPECT_EQ(Code([] { ParseOracleDate("01-13-2026", "DD-MM-YYYY"); }), 1843);
  EXPECT_EQ(Code([] { ParseOracleDate("01-01-2026 25", "DD-MM-YYYY HH24"); }), 1850);
}

TEST(Dates, SysdateAndCalendarFunctions) {
  setenv("OCISIM_SYSDATE", "2026-01-31 10:00:00", 1);
  TestDb db;
  EXPECT_EQ(One(db, "SELECT SYSDATE FROM DUAL"), "2026-01-31 10:00:00");
  EXPECT_EQ(One(db, "SELECT TO_CHAR(SYSDATE - 365, 'YYYY-MM-DD') FROM DUAL"), "2025-01-31");
  EXPECT_EQ(One(db, "SELECT ADD_MONTHS(SYSDATE, 1) FROM DUAL"), "2026-02-28 10:00:00");
  EXPECT_EQ(One(db, "SELECT ADD_MONTHS(TO_DATE('2026-02-28', 'YYYY-MM-DD'), 1) FROM DUAL"), "2026-03-31 00:00:00");
  EXPECT_EQ(One(db, "SELECT LAST_DAY(TO_DATE('2024-02-10', 'YYYY-MM-DD')) FROM DUAL"), "2024-02-29 00:00:00");
  EXPECT_EQ(One(db, "SELECT MONTHS_BETWEEN(TO_DATE('2026-03-15', 'YYYY-MM-DD'), TO_DATE('2026-01-15', 'YYYY-MM-DD')) FROM DUAL"), "2");
  EXPECT_EQ(One(db, "SELECT TRUNC(SYSDATE) || ' ' || TO_CHAR(TRUNC(SYSDATE, 'MM'), 'YYYY-MM-DD') FROM DUAL"), "31-JAN-26 2026-01-01");
  EXPECT_EQ(One(db, "SELECT TO_CHAR(ROUND(SYSDATE, 'YYYY'), 'YYYY') FROM DUAL"), "2026");
  EXPECT_EQ(One(db, "SELECT TO_CHAR(DATE '2026-07-04', 'DD.MM.YYYY') FROM DUAL"), "04.07.2026");
  EXPECT_EQ(One(db, "SELECT COUNT(*) FROM EMP WHERE HIREDATE > SYSDATE - 365 * 45"), "13");
  unsetenv("OCISIM_SYSDATE");
}
