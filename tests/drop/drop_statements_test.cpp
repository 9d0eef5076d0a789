// F8: one case per row of the drop table (path, items, Alt/Ctrl, the exact
// statements), then the names the server would otherwise refuse, the
// order of the rows and the items left out.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "host/text_utils.h"
#include "operations/drop_statements.h"

namespace {

using operations::BuildDropPlan;
using operations::DropItem;
using operations::DropPlan;
using operations::DropRequest;
using operations::NameKind;
using operations::SessionEnd;

// Names that exist exactly as written; every other name is taken in upper
// case, as the server stores unquoted names.
const std::set<std::string> kExisting = {"Mixed Case Table", "emp copy", "Été",      "it's",
                                         "Sales Team",       "lower_col", "bonus.old"};

std::string Exact(const std::string& shown, NameKind = NameKind::Object) {
  return kExisting.count(shown) ? shown : host::UpperCase(shown);
}
std::string ExactIn(const std::string& shown, const operations::NameScope&) { return Exact(shown); }

std::vector<std::string> Levels(const std::string& path, bool upper) {
  std::vector<std::string> levels{""};
  std::size_t start = 1;
  while (start <= path.size()) {
    std::size_t end = path.find('\\', start);
    std::string level = path.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (level.empty()) break;
    levels.push_back(upper ? host::UpperCase(level) : Exact(level, NameKind::Object));
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return levels;
}

struct Case {
  const char* path;
  std::vector<DropItem> items;
  const char* keys;  // "", "Alt", "Ctrl", "Ctrl+Alt"
  const char* title;
  std::vector<std::string> statements;
  SessionEnd end = SessionEnd::Kill;
  const char* current = "";
};

DropPlan Plan(const Case& c) {
  DropRequest r;
  r.levels = Levels(c.path, true);
  r.exactLevels = Levels(c.path, false);
  r.items = c.items;
  r.currentItem = c.current;
  r.logonUser = "SCOTT";
  const std::string keys = c.keys;
  r.alt = keys.find("Alt") != std::string::npos;
  r.ctrl = keys.find("Ctrl") != std::string::npos;
  return BuildDropPlan(r, ExactIn, c.end);
}

void Check(const std::vector<Case>& cases) {
  for (const Case& c : cases) {
    DropPlan plan = Plan(c);
    EXPECT_TRUE(plan.fits) << c.path;
    EXPECT_EQ(plan.title, c.title) << c.path << " " << c.keys;
    EXPECT_EQ(plan.statements, c.statements) << c.path << " " << c.keys;
  }
}

TEST(DropStatements, EveryRowOfTheTable) {
  Check({
      {"\\.Instance parameters\\.Jobs", {{"1", {}}, {"23", {}}}, "", "Remove Job",
       {"BEGIN DBMS_JOB.REMOVE (1); END;", "BEGIN DBMS_JOB.REMOVE (23); END;"}},
      {"\\Users", {{"ADAMS", {}}}, "", "Drop User Cascade", {"DROP USER \"ADAMS\" CASCADE"}},
      {"\\Users\\.Roles", {{"Sales Team", {}}}, "", "Drop Role", {"DROP ROLE \"Sales Team\""}},
      {"\\Users\\.Profiles", {{"app_profile", {}}}, "", "Drop Profile Cascade",
       {"DROP PROFILE \"APP_PROFILE\" CASCADE"}},
      {"\\Storage\\.Rollback segments", {{"RBS1", {}}}, "", "Drop Rollback Segment",
       {"DROP ROLLBACK SEGMENT \"RBS1\""}},
      {"\\Storage\\.Tablespaces", {{"DATA2", {}}}, "", "Drop Tablespace Cascade",
       {"DROP TABLESPACE \"DATA2\" INCLUDING CONTENTS CASCADE CONSTRAINTS"}},
      {"\\Tables\\SCOTT", {{"EMP_COPY", {}}}, "", "Drop Table", {"DROP TABLE \"SCOTT\".\"EMP_COPY\""}},
      {"\\Tables\\SCOTT", {{"EMP_COPY", {}}}, "Alt", "Truncate Table",
       {"TRUNCATE TABLE \"SCOTT\".\"EMP_COPY\" DROP STORAGE"}},
      {"\\Tables\\SCOTT", {{"EMP_COPY", {}}}, "Ctrl", "Delete Records", {"DELETE \"SCOTT\".\"EMP_COPY\""}},
      {"\\Tables\\SCOTT", {{"EMP_COPY", {}}}, "Ctrl+Alt", "Delete Records", {"DELETE \"SCOTT\".\"EMP_COPY\""}},
      {"\\All objects\\TABLE", {{"EMP.SCOTT", {}}, {"ORDERS.SALES", {}}}, "", "Drop Table",
       {"DROP TABLE \"SCOTT\".\"EMP\"", "DROP TABLE \"SALES\".\"ORDERS\""}},
      {"\\Clusters\\SCOTT", {{"EMP_DEPT_CLU", {}}}, "", "Drop Cluster Cascade",
       {"DROP CLUSTER \"SCOTT\".\"EMP_DEPT_CLU\" INCLUDING TABLES CASCADE CONSTRAINTS"}},
      {"\\All objects\\CLUSTER", {{"EMP_DEPT_CLU.SCOTT", {}}}, "Alt", "Truncate Cluster",
       {"TRUNCATE CLUSTER \"SCOTT\".\"EMP_DEPT_CLU\" DROP STORAGE"}},
      {"\\All types\\.Index types\\SCOTT", {{"WORD_INDEXTYPE", {}}}, "", "Drop Indextype Force",
       {"DROP INDEXTYPE \"SCOTT\".\"WORD_INDEXTYPE\" FORCE"}},
      {"\\Tables\\SCOTT\\EMP\\.Columns", {{"COMM", {}}, {"lower_col", {}}}, "", "Set Unused Column Cascade",
       {"ALTER TABLE \"SCOTT\".\"EMP\" SET UNUSED COLUMN \"COMM\" CASCADE CONSTRAINTS",
        "ALTER TABLE \"SCOTT\".\"EMP\" SET UNUSED COLUMN \"lower_col\" CASCADE CONSTRAINTS"}},
      {"\\Tables\\SCOTT\\EMP",
       {{"ANYTHING", {}}},
       "",
       "Drop Unused Columns",
       {"ALTER TABLE \"SCOTT\".\"EMP\" DROP UNUSED COLUMNS"},
       SessionEnd::Kill,
       ".Unused columns"},
      {"\\Tables\\SCOTT\\EMP\\.Constraints",
       {{"PK_EMP", {"PRIMARY"}}, {"FK_DEPTNO", {"FOREIGN"}}, {"EMP_SAL_CK", {"CHECK"}}},
       "",
       "Drop Constraint",
       {"ALTER TABLE \"SCOTT\".\"EMP\" DROP PRIMARY KEY CASCADE",
        "ALTER TABLE \"SCOTT\".\"EMP\" DROP CONSTRAINT \"FK_DEPTNO\"",
        "ALTER TABLE \"SCOTT\".\"EMP\" DROP CONSTRAINT \"EMP_SAL_CK\""}},
      {"\\Tables\\SCOTT\\EMP\\.Indexes", {{"EMP_ENAME_IX", {}}, {"EMP_AUD_IX.AUDITOR", {}}}, "", "Drop Index",
       {"DROP INDEX \"SCOTT\".\"EMP_ENAME_IX\"", "DROP INDEX \"AUDITOR\".\"EMP_AUD_IX\""}},
      {"\\Synonyms\\.Synonyms by type\\TABLE", {{"EMPLOYEES.PUBLIC", {}}, {"EMP_SYN.SCOTT", {}}}, "", "Drop Synonym",
       {"DROP PUBLIC SYNONYM \"EMPLOYEES\"", "DROP SYNONYM \"SCOTT\".\"EMP_SYN\""}},
      {"\\Synonyms\\PUBLIC", {{"EMPLOYEES.TABLE", {}}}, "", "Drop Synonym", {"DROP PUBLIC SYNONYM \"EMPLOYEES\""}},
      {"\\Synonyms\\SCOTT", {{"EMP_SYN.TABLE", {}}}, "", "Drop Synonym", {"DROP SYNONYM \"SCOTT\".\"EMP_SYN\""}},
      {"\\.Catalog by user\\SCOTT", {{"EMP_COPY.TABLE", {}}, {"RAISE_SAL.PROCEDURE", {}}, {"PAY.PACKAGE BODY", {}}},
       "Alt", "Drop Object",
       {"TRUNCATE TABLE \"SCOTT\".\"EMP_COPY\" DROP STORAGE", "DROP PROCEDURE \"SCOTT\".\"RAISE_SAL\"",
        "DROP PACKAGE BODY \"SCOTT\".\"PAY\""}},
      {"\\.Statistics\\.Associations", {{"GET_SAL.SCOTT", {"FUNCTION"}}, {"EMP_IX.SCOTT", {"INDEX"}}}, "",
       "Disassociate Statistics",
       {"DISASSOCIATE STATISTICS FROM FUNCTIONS \"SCOTT\".\"GET_SAL\"",
        "DISASSOCIATE STATISTICS FROM INDEXES \"SCOTT\".\"EMP_IX\""}},
      {"\\.Instance parameters\\.Sessions", {{"12.345", {}}}, "", "Kill Session",
       {"ALTER SYSTEM KILL SESSION '12,345'"}},
      {"\\Users\\SCOTT\\.Sessions",
       {{"12.345", {}}, {"14.7", {}}},
       "",
       "Disconnect Session",
       {"ALTER SYSTEM DISCONNECT SESSION '12,345' POST_TRANSACTION",
        "ALTER SYSTEM DISCONNECT SESSION '14,7' POST_TRANSACTION"},
       SessionEnd::Disconnect},
  });
}

TEST(DropStatements, EveryKindOfTheLastRow) {
  Check({
      {"\\Snapshots\\SCOTT", {{"DEPT_SNAP", {}}}, "", "Drop SnapShots", {"DROP SNAPSHOT \"SCOTT\".\"DEPT_SNAP\""}},
      {"\\Snapshot logs\\SCOTT", {{"DEPT", {}}}, "", "Drop Snapshot Log", {"DROP SNAPSHOT LOG ON \"SCOTT\".\"DEPT\""}},
      {"\\Packages\\SCOTT", {{"PAY", {}}}, "", "Drop Package", {"DROP PACKAGE \"SCOTT\".\"PAY\""}},
      {"\\Libraries\\SCOTT", {{"MATHLIB", {}}}, "", "Drop Library", {"DROP LIBRARY \"SCOTT\".\"MATHLIB\""}},
      {"\\Functions\\SCOTT", {{"GET_SAL", {}}}, "", "Drop Function", {"DROP FUNCTION \"SCOTT\".\"GET_SAL\""}},
      {"\\Procedures\\SCOTT", {{"RAISE_SAL", {}}}, "", "Drop Procedure", {"DROP PROCEDURE \"SCOTT\".\"RAISE_SAL\""}},
      {"\\Directories\\SYS", {{"DATA_PUMP_DIR", {}}}, "", "Drop Directory", {"DROP DIRECTORY \"DATA_PUMP_DIR\""}},
      {"\\Database links\\PUBLIC", {{"REMOTE.WORLD", {}}}, "", "Drop Database Link",
       {"DROP PUBLIC DATABASE LINK \"REMOTE.WORLD\""}},
      {"\\Database links\\SCOTT", {{"BACKUP.WORLD", {}}}, "", "Drop Database Link",
       {"DROP DATABASE LINK \"BACKUP.WORLD\""}},
      {"\\All types\\SCOTT", {{"ADDR_T", {}}}, "", "Drop Type Force", {"DROP TYPE \"SCOTT\".\"ADDR_T\" FORCE"}},
      {"\\Sequences\\SCOTT", {{"EMP_SEQ", {}}}, "", "Drop Sequence", {"DROP SEQUENCE \"SCOTT\".\"EMP_SEQ\""}},
      {"\\Indexes\\SCOTT", {{"EMP_ENAME_IX", {}}}, "", "Drop Index", {"DROP INDEX \"SCOTT\".\"EMP_ENAME_IX\""}},
      {"\\Triggers\\SCOTT", {{"EMP_BIU", {}}}, "", "Drop Trigger", {"DROP TRIGGER \"SCOTT\".\"EMP_BIU\""}},
      {"\\Views\\SCOTT", {{"EMP_V", {}}}, "", "Drop View", {"DROP VIEW \"SCOTT\".\"EMP_V\""}},
      {"\\Contexts\\SYS", {{"SALES_CTX", {}}}, "", "Drop Context", {"DROP CONTEXT \"SALES_CTX\""}},
      {"\\Dimensions\\SALES", {{"TIME_DIM", {}}}, "", "Drop Dimension", {"DROP DIMENSION \"SALES\".\"TIME_DIM\""}},
      {"\\Operators\\SCOTT", {{"CONTAINS_WORD", {}}}, "", "Drop Operator Force",
       {"DROP OPERATOR \"SCOTT\".\"CONTAINS_WORD\" FORCE"}},
      {"\\Outlines\\SCOTT", {{"EMP_BY_DEPT", {}}}, "", "Drop Outline", {"DROP OUTLINE \"EMP_BY_DEPT\""}},
  });
}

// Names are used as the server spells them: existing mixed-case, blank,
// quote and non-ASCII names as written, others in upper case; levels too.
TEST(DropStatements, NamesOfAnySpelling) {
  Check({
      {"\\Tables\\SCOTT", {{"Mixed Case Table", {}}, {"emp copy", {}}, {"it's", {}}, {"Été", {}}, {"emp", {}}},
       "", "Drop Table",
       {"DROP TABLE \"SCOTT\".\"Mixed Case Table\"", "DROP TABLE \"SCOTT\".\"emp copy\"",
        "DROP TABLE \"SCOTT\".\"it's\"", "DROP TABLE \"SCOTT\".\"Été\"", "DROP TABLE \"SCOTT\".\"EMP\""}},
      // A dot inside a name is part of it: "bonus.old" is never cut to BONUS.
      {"\\Tables\\SCOTT", {{"bonus.old", {}}, {"EMP.BAK", {}}}, "", "Drop Table",
       {"DROP TABLE \"SCOTT\".\"bonus.old\"", "DROP TABLE \"SCOTT\".\"EMP.BAK\""}},
      {"\\tables\\scott\\Mixed Case Table\\.Columns", {{"SAL", {}}}, "", "Set Unused Column Cascade",
       {"ALTER TABLE \"SCOTT\".\"Mixed Case Table\" SET UNUSED COLUMN \"SAL\" CASCADE CONSTRAINTS"}},
  });
  // A name holding a double quote cannot exist; it is left out, not sent.
  DropPlan plan = Plan({"\\Tables\\SCOTT", {{"bad\"name", {}}, {"EMP", {}}}, "", "", {}});
  EXPECT_EQ(plan.statements, std::vector<std::string>{"DROP TABLE \"SCOTT\".\"EMP\""});
  ASSERT_EQ(plan.skipped.size(), 1u);
  EXPECT_NE(plan.skipped[0].find("bad\"name"), std::string::npos);
}

TEST(DropStatements, ItemsLeftOutAreNamedWithTheReason) {
  DropPlan plan = Plan({"\\Tables\\SCOTT\\EMP\\.Constraints",
                        {{"EMP_UK", {"UNIQUE"}}, {"FK_DEPTNO", {"FOREIGN"}}},
                        "",
                        "",
                        {}});
  EXPECT_EQ(plan.statements, std::vector<std::string>{"ALTER TABLE \"SCOTT\".\"EMP\" DROP CONSTRAINT \"FK_DEPTNO\""});
  ASSERT_EQ(plan.skipped.size(), 1u);
  EXPECT_EQ(plan.skipped[0].rfind("EMP_UK: a unique key", 0), 0u) << plan.skipped[0];

  // Not a job number, not a session id: no statement, never an injected text.
  plan = Plan({"\\.Instance parameters\\.Jobs", {{"1); DROP TABLE X; --", {}}}, "", "", {}});
  EXPECT_TRUE(plan.statements.empty());
  EXPECT_EQ(plan.skipped.size(), 1u);
  plan = Plan({"\\.Instance parameters\\.Sessions", {{"12.3'4", {}}, {"SYS", {}}}, "", "", {}});
  EXPECT_TRUE(plan.statements.empty());
  EXPECT_EQ(plan.skipped.size(), 2u);

  // Another user's private link would name the logged-on user's own link.
  plan = Plan({"\\Database links\\SALES", {{"BACKUP.WORLD", {}}}, "", "", {}});
  EXPECT_TRUE(plan.statements.empty());
  EXPECT_EQ(plan.skipped.size(), 1u);

  // A catalog item of a kind that is never dropped by itself.
  plan = Plan({"\\.Catalog by user\\SCOTT", {{"SYS_LOB0001.LOB", {}}}, "", "", {}});
  EXPECT_TRUE(plan.statements.empty());
  EXPECT_EQ(plan.skipped.size(), 1u);
}

TEST(DropStatements, ListingsNoRowFits) {
  for (const char* path : {"\\Tables", "\\Tables\\SCOTT\\EMP\\.Triggers", "\\Synonyms\\.Synonyms by type",
                           "\\Users\\SCOTT\\.Sessions\\12.345", "\\Package bodies\\SCOTT", "\\All types\\BUILD INTO"}) {
    DropPlan plan = Plan({path, {{"X", {}}}, "", "", {}});
    EXPECT_FALSE(plan.fits) << path;
    EXPECT_TRUE(plan.statements.empty()) << path;
  }
}

TEST(DropStatements, SessionListings) {
  EXPECT_TRUE(operations::IsSessionListing(Levels("\\.Instance parameters\\.Sessions", true)));
  EXPECT_TRUE(operations::IsSessionListing(Levels("\\Users\\SCOTT\\.Sessions", true)));
  EXPECT_FALSE(operations::IsSessionListing(Levels("\\Users\\SCOTT\\.Sessions\\12.345", true)));
  EXPECT_FALSE(operations::IsSessionListing(Levels("\\Users\\SCOTT", true)));
}

}  // namespace
