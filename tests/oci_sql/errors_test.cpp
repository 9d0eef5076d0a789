// Oracle error texts and the mapping of SQLite failures to Oracle errors.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include "sql/translate.h"

using namespace ocisim::sql;

TEST(OraErrors, StandardTextsAndSqliteMapping) {
  EXPECT_STREQ(MakeOraError(942).what(), "ORA-00942: table or view does not exist");
  EXPECT_EQ(MakeOraError(942).code, 942);
  auto e = OraErrorFromSqlite(SQLITE_ERROR, "no such column: FOO");
  EXPECT_EQ(e.code, 904);
  EXPECT_STREQ(e.what(), "ORA-00904: \"FOO\": invalid identifier");
  EXPECT_EQ(OraErrorFromSqlite(SQLITE_ERROR, "no such column: E.BAR").what(),
            std::string("ORA-00904: \"BAR\": invalid identifier"));
  auto own = OraErrorFromSqlite(SQLITE_ERROR, "ORA-01476: divisor is equal to zero");
  EXPECT_EQ(own.code, 1476);
  EXPECT_STREQ(own.what(), "ORA-01476: divisor is equal to zero");
  EXPECT_EQ(OraErrorFromSqlite(SQLITE_CONSTRAINT_UNIQUE, "UNIQUE constraint failed: T.A").code, 1);
  EXPECT_EQ(OraErrorFromSqlite(SQLITE_BUSY, "database is locked").code, 54);
}
