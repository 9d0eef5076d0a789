// Triggers as the server stores them: the row condition in WHEN_CLAUSE and
// not in DESCRIPTION, the body from its BEGIN on, and compile errors whose
// lines count from the body's first line.
#include "oci_fixture.h"

#include <gtest/gtest.h>

using namespace ocitest;

namespace {

TEST(Triggers, ConditionIsKeptApartAndErrorsCountFromTheBody) {
  Conn c("scott", "tiger");
  ASSERT_TRUE(c.ok());
  sb4 code = 0;
  std::string text;
  // "BEGIN" inside the condition's names does not start the body.
  RunSql(c,
         "CREATE OR REPLACE TRIGGER T_WHEN\nBEFORE UPDATE OF SAL ON EMP\nFOR EACH ROW\n"
         "WHEN (NEW.SAL > 0 AND (OLD.COMM IS NULL OR 'BEGIN' = 'BEGIN'))\nBEGIN\n  :NEW.COMM := 0;\nEND;",
         &code, &text);
  EXPECT_EQ(code, 0) << text;
  Rows t = MustRun(c, "SELECT WHEN_CLAUSE, DESCRIPTION, TRIGGER_BODY, TRIGGER_TYPE FROM USER_TRIGGERS "
                      "WHERE TRIGGER_NAME = 'T_WHEN'");
  ASSERT_EQ(t.size(), 1u);
  EXPECT_EQ(t[0][0], "NEW.SAL > 0 AND (OLD.COMM IS NULL OR 'BEGIN' = 'BEGIN')");
  EXPECT_EQ(t[0][1], "T_WHEN\nBEFORE UPDATE OF SAL ON EMP\nFOR EACH ROW\n");
  EXPECT_EQ(t[0][2], "BEGIN\n  :NEW.COMM := 0;\nEND;");
  EXPECT_EQ(t[0][3], "BEFORE EACH ROW");

  // Without a condition the column is empty (NULL).
  RunSql(c, "CREATE OR REPLACE TRIGGER T_PLAIN\nAFTER INSERT ON DEPT\nBEGIN\n  NULL;\nEND;", &code, &text);
  EXPECT_EQ(code, 0) << text;
  EXPECT_EQ(MustRun(c, "SELECT COUNT(*) FROM USER_TRIGGERS WHERE TRIGGER_NAME = 'T_PLAIN' AND WHEN_CLAUSE IS NULL"),
            (Rows{{"1"}}));

  // The stray ")" is on the body's second line (the sixth of the text).
  RunSql(c,
         "CREATE OR REPLACE TRIGGER T_WHEN\nBEFORE UPDATE OF SAL ON EMP\nFOR EACH ROW\nWHEN (NEW.SAL > 0)\n"
         "BEGIN\n  :NEW.COMM := NVL(:NEW.COMM, 0));\nEND;",
         &code, &text);
  EXPECT_EQ(code, 24344) << text;
  Rows e = MustRun(c, "SELECT LINE, POSITION FROM USER_ERRORS WHERE NAME = 'T_WHEN' AND TYPE = 'TRIGGER'");
  EXPECT_EQ(e, (Rows{{"2", "33"}}));
  MustRun(c, "DROP TRIGGER T_WHEN");
  MustRun(c, "DROP TRIGGER T_PLAIN");
}

}  // namespace
