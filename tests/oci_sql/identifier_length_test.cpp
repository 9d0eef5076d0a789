// Identifier length as a 9.2 server counts it: 30 bytes of the database
// character set (AL32UTF8), for quoted and unquoted names alike; a longer
// one is ORA-00972 before anything runs.
#include "test_db.h"

using namespace ocisql_test;
using namespace ocisim::sql;

TEST(IdentifierLength, ThirtyBytesPassThirtyOneAreRefused) {
  TestDb db;
  const std::string thirty(30, 'A'), thirtyOne(31, 'A');
  EXPECT_EQ(db.ErrorCode("SELECT 1 " + thirty + " FROM DUAL"), 0);
  EXPECT_EQ(db.ErrorCode("SELECT 1 " + thirtyOne + " FROM DUAL"), 972);
  EXPECT_EQ(db.ErrorCode("SELECT 1 \"" + std::string(30, 'b') + "\" FROM DUAL"), 0);
  EXPECT_EQ(db.ErrorCode("SELECT 1 \"" + std::string(31, 'b') + "\" FROM DUAL"), 972);
  EXPECT_EQ(db.ErrorCode("SELECT * FROM SCOTT.\"" + std::string(128, 'x') + "\""), 972);
  EXPECT_EQ(db.ErrorCode("CREATE TABLE \"" + thirtyOne + "\" (N NUMBER)"), 972);
  // Bytes, not letters: fifteen two-byte letters fill the limit, one more
  // letter is over it.
  std::string umlauts;
  for (int i = 0; i < 15; ++i) umlauts += "\xC3\xBC";
  EXPECT_EQ(db.ErrorCode("SELECT 1 \"" + umlauts + "\" FROM DUAL"), 0);
  EXPECT_EQ(db.ErrorCode("SELECT 1 \"" + umlauts + "a\" FROM DUAL"), 972);
  try {
    db.Query("SELECT 1 \"" + thirtyOne + "\" FROM DUAL");
    FAIL();
  } catch (const OraError& e) {
    EXPECT_STREQ(e.what(), "ORA-00972: identifier is too long");
  }
  // Long literals are values, not names.
  EXPECT_EQ(db.Query("SELECT '" + std::string(200, 'z') + "' FROM DUAL")[0][0], std::string(200, 'z'));
}
