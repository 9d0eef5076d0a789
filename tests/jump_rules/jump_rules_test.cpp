// "Go to object": for an item in a listing, the path Enter jumps to.  One
// case per listing the rules know, then the cases where the order of the
// rules, a missing key or a failing synonym lookup decides.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "host/text_utils.h"
#include "operations/jump_rules.h"
#include "panel/controller.h"
#include "platform/platform.h"

namespace {

struct Case {
  const char* path;  // as the panel shows it; levels are compared upper-cased
  const char* item;
  std::vector<std::string> columns;
  const char* expected;
  bool directory = true;
};

// Levels 2, 3, ... of a path, the way the panel splits it.
std::vector<std::string> LevelsOf(const std::string& path) {
  std::vector<std::string> levels;
  std::string upper = host::UpperCase(path);
  std::size_t start = 1;  // past the root's backslash
  while (start <= upper.size()) {
    std::size_t end = upper.find('\\', start);
    std::string level = upper.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (level.empty()) break;
    levels.push_back(level);
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return levels;
}

// The dictionary as the synonym lookup sees it: one synonym of SCOTT's,
// one whose lookup fails.
operations::SynonymTarget FakeDictionary(const std::string& owner, const std::string& synonym) {
  if (owner == "SCOTT" && synonym == "EMP_SYN.TABLE") return {"TABLE", "EMPLOYEES", "HR"};
  if (owner == "SCOTT" && synonym == "PKG_SYN.PACKAGE") return {"PACKAGE", "PAY", "HR"};
  if (owner == "SCOTT" && synonym == "BROKEN.TABLE") throw std::runtime_error("ORA-03114: not connected to ORACLE");
  return {};
}

std::string Jump(const Case& c) {
  operations::CurrentItem item;
  item.valid = true;
  item.name = c.item;
  item.directory = c.directory;
  item.columns = c.columns;
  return operations::JumpTargetFor(LevelsOf(c.path), item, FakeDictionary);
}

void Check(const std::vector<Case>& cases) {
  for (const Case& c : cases)
    EXPECT_EQ(Jump(c), c.expected) << "in " << c.path << " on " << c.item;
}

TEST(JumpRules, EachListingJumpsToTheObjectItNames) {
  const std::string longName(120, 'S');
  Check({
      {"\\.Catalog by User\\SCOTT", "EMP.TABLE", {}, "\\TABLES\\SCOTT\\EMP"},
      {"\\SYNONYMS\\SCOTT\\EMP_SYN.TABLE", ".REFERENCED OBJECT", {}, "\\TABLES\\HR\\EMPLOYEES"},
      {"\\SYNONYMS\\SCOTT\\PKG_SYN.PACKAGE", ".Referenced object", {}, "\\PACKAGES\\HR\\PAY"},
      {"\\PROCEDURES\\SCOTT\\RAISE\\.DEPENDENCIES", "EMP", {"TABLE", "HARD", "SCOTT"}, "\\TABLES\\SCOTT\\EMP"},
      {"\\ALL TYPES\\.OBJECT TYPES\\SCOTT\\ADDR_T\\.DEPENDENCIES", "STANDARD", {"PACKAGE", "HARD", "SYS"},
       "\\PACKAGES\\SYS\\STANDARD"},
      {"\\USERS\\SCOTT\\.ALL OBJECT PRIVS", "EMP", {"HR", "TABLE", "SELECT"}, "\\TABLES\\HR\\EMP"},
      {"\\TABLES\\SCOTT\\EMP\\.TRIGGERS", "EMP_BIU", {}, "\\TRIGGERS\\SCOTT\\EMP_BIU"},
      {"\\TABLES\\SCOTT\\EMP\\.TRIGGERS", "EMP_AUD.AUDITOR", {}, "\\TRIGGERS\\AUDITOR\\EMP_AUD"},
      {"\\TABLES\\.OBJECT TABLES\\SCOTT\\PEOPLE\\.TRIGGERS", "PEOPLE_TRG", {}, "\\TRIGGERS\\SCOTT\\PEOPLE_TRG"},
      {"\\VIEWS\\SCOTT\\EMP_V\\.TRIGGERS", "EMP_V_IOT", {}, "\\TRIGGERS\\SCOTT\\EMP_V_IOT"},
      {"\\TABLES\\SCOTT\\EMP\\.INDEXES", "PK_EMP", {}, "\\INDEXES\\SCOTT\\PK_EMP"},
      {"\\TABLES\\.OBJECT TABLES\\SCOTT\\PEOPLE\\.INDEXES", "PEOPLE_PK", {}, "\\INDEXES\\SCOTT\\PEOPLE_PK"},
      {"\\TABLES\\.OBJECT TABLES\\SCOTT\\PEOPLE\\.INDEXES", "PEOPLE_IX.HR", {}, "\\INDEXES\\HR\\PEOPLE_IX"},
      {"\\CLUSTERS\\SCOTT\\EMP_CL\\.TABLES", "EMP.SCOTT", {}, "\\TABLES\\SCOTT\\EMP"},
      {"\\USERS\\SCOTT", "TABLE", {}, "\\TABLES\\SCOTT"},
      {"\\USERS\\SCOTT", "JAVA CLASS", {}, "\\JAVA\\SCOTT\\JAVA CLASS"},
      {"\\.INSTANCE PARAMETERS\\.SESSIONS\\12.345", "SCOTT", {}, "\\USERS\\SCOTT"},
      {"\\USERS\\.ROLES\\DBA\\.ROLES", "EXP_FULL_DATABASE", {}, "\\USERS\\.ROLES\\EXP_FULL_DATABASE"},
      {"\\USERS\\SCOTT\\.ROLES", "CONNECT", {}, "\\USERS\\.ROLES\\CONNECT"},
      {"\\USERS\\.ROLES\\DBA", "SCOTT", {}, "\\USERS\\SCOTT"},
      {"\\USERS\\.ROLES\\DBA", "IMP_FULL.ROLE", {}, "\\USERS\\.ROLES\\IMP_FULL"},
      {"\\USERS\\.PROFILES\\DEFAULT\\.USERS", "SCOTT", {}, "\\USERS\\SCOTT"},
      {"\\TABLES\\.ALL LOBS", "SCOTT.DOCS", {"BODY"}, "\\TABLES\\SCOTT\\DOCS\\.COLUMNS\\BODY\\.LOB PARAMS"},
      {"\\REFRESH GROUPS\\SCOTT\\NIGHTLY\\.CHILDREN", "SCOTT.EMP_SNAP", {"SNAPSHOT"},
       "\\SNAPSHOTS\\SCOTT\\EMP_SNAP"},
      {"\\USERS\\SCOTT\\TABLE PARTITION", "SALES", {}, "\\TABLES\\SCOTT\\SALES"},
      {"\\USERS\\SCOTT\\INDEX PARTITION", "SALES_IX", {}, "\\INDEXES\\SCOTT\\SALES_IX"},
      {"\\TABLES\\.PARTITIONED TABLES", "SALES", {"SH", "4"}, "\\TABLES\\SH\\SALES"},
      {"\\STORAGE\\.TABLESPACES\\USERS\\.TABLES", "EMP.SCOTT", {}, "\\TABLES\\SCOTT\\EMP"},
      {"\\STORAGE\\.TABLESPACES\\USERS\\.INDEXES", "PK_EMP.SCOTT", {}, "\\INDEXES\\SCOTT\\PK_EMP"},
      {"\\STORAGE\\.TABLESPACES\\USERS\\.USERS", "SCOTT", {}, "\\USERS\\SCOTT"},
      {"\\STORAGE\\.TABLESPACES\\USERS\\.CLUSTERS", "EMP_CL.SCOTT", {}, "\\CLUSTERS\\SCOTT\\EMP_CL"},
      {"\\STORAGE\\.TABLESPACES\\RBS\\.ROLLBACK SEGMENTS", "PUBLIC.RBS01", {},
       "\\STORAGE\\.ROLLBACK SEGMENTS\\PUBLIC.RBS01"},
      {"\\STORAGE\\.TABLESPACES\\USERS\\.SEGMENTS\\TABLE", "EMP.SCOTT", {},
       "\\STORAGE\\.ALL SEGMENTS\\TABLE\\EMP.SCOTT"},
      {"\\STORAGE\\.TABLESPACES\\USERS\\.DATAFILES", "4", {}, "\\STORAGE\\.DATAFILES\\4"},
      {"\\.Statistics\\.File I-O", "4", {}, "\\STORAGE\\.DATAFILES\\4"},
      {"\\STORAGE\\.BACKUP", "4", {}, "\\STORAGE\\.DATAFILES\\4"},
      {"\\TABLES\\SCOTT\\EMP\\.CLUSTER COLUMNS", "EMP_CL.DEPTNO", {}, "\\CLUSTERS\\SCOTT\\EMP_CL"},
      {"\\TABLES\\.OBJECT TABLES\\SCOTT\\PEOPLE\\.CLUSTER COLUMNS", "P_CL.ID", {}, "\\CLUSTERS\\SCOTT\\P_CL"},
      {"\\USERS\\SCOTT\\.SESSIONS", "12.345", {}, "\\.INSTANCE PARAMETERS\\.SESSIONS\\12.345"},
      {"\\.INSTANCE PARAMETERS\\.TRANSACTIONS", "1234", {"ACTIVE", "12/06/26", "SCOTT", "12.345"},
       "\\.INSTANCE PARAMETERS\\.SESSIONS\\12.345\\.TRANSACTIONS\\1234"},
      {"\\.STATISTICS\\.OBJECT CACHE\\PACKAGE", "DBMS_OUTPUT.SYS", {}, "\\PACKAGES\\SYS\\DBMS_OUTPUT"},
      {"\\.STATISTICS\\.AUDIT OPTIONS\\.AUDIT OBJECTS\\SCOTT", "EMP.TABLE", {}, "\\TABLES\\SCOTT\\EMP"},
      {"\\.INSTANCE PARAMETERS\\.SESSIONS\\12.345\\.AUDIT TRAIL", "77.1", {"LOGON"},
       "\\.STATISTICS\\.AUDIT OPTIONS\\.AUDIT TRAIL\\LOGON\\77.1"},
      {"\\USERS\\SCOTT\\.AUDIT TRAIL", "77.1", {"LOGON"}, "\\.STATISTICS\\.AUDIT OPTIONS\\.AUDIT TRAIL\\LOGON\\77.1"},
      {"\\.STATISTICS\\.AUDIT OPTIONS\\.AUDIT PRIVILEGES", "CREATE TABLE", {"SCOTT"}, "\\USERS\\SCOTT", false},
      {"\\USERS\\.PASSWORD FILE", "SYS", {"TRUE", "TRUE"}, "\\USERS\\SYS"},
      // The list names these OWNER.TABLE.
      {"\\TABLES\\.UNUSED COLUMNS", "SCOTT.EMP", {"2"}, "\\TABLES\\SCOTT\\EMP"},
      {"\\TABLES\\.VARRAY COLUMNS\\SCOTT", "CUSTOMERS", {}, "\\TABLES\\SCOTT\\CUSTOMERS\\.COLUMNS"},
      {"\\TABLES\\SCOTT\\SALES\\.DIMENSIONS", "TIME_DIM", {}, "\\DIMENSIONS\\SCOTT\\TIME_DIM"},
      {"\\USERS\\SCOTT\\.CONSUMERS", "LOW_GROUP", {}, "\\USERS\\.CONSUMERS\\LOW_GROUP"},
      {"\\ALL TYPES\\.INDEX TYPES\\CTXSYS\\CONTEXT", "CONTAINS", {}, "\\OPERATORS\\CTXSYS\\CONTAINS"},
      {"\\TABLES\\SCOTT\\Q_TAB\\.QUEUES", "Q1", {}, "\\QUEUES\\SCOTT\\Q1"},
      // The lists name these OWNER.TRIGGER.
      {"\\TRIGGERS\\.TRIGGERS BY TYPE\\BEFORE EACH ROW", "SCOTT.EMP_BIU", {}, "\\TRIGGERS\\SCOTT\\EMP_BIU"},
      {"\\TRIGGERS\\.TRIGGERS BY EVENTS\\INSERT", "SCOTT.EMP_BIU", {}, "\\TRIGGERS\\SCOTT\\EMP_BIU"},
      {"\\TABLES\\SCOTT\\EMP\\.COLUMNS\\EMPNO\\.CONSTRAINTS", "PK_EMP", {"PRIMARY"},
       "\\TABLES\\SCOTT\\EMP\\.CONSTRAINTS\\PK_EMP"},
      {"\\TABLES\\.OBJECT TABLES\\SCOTT\\PEOPLE\\.COLUMNS\\ID\\.CONSTRAINTS", "PEOPLE_PK", {"Primary"},
       "\\TABLES\\SCOTT\\PEOPLE\\.CONSTRAINTS\\PEOPLE_PK"},
      {"\\TABLES\\SCOTT\\EMP\\.COLUMNS\\DEPTNO\\.CONSTRAINTS", "FK_DEPTNO",
       {"Foreign", "ENABLED", "NO ACTION", "-> SCOTT.DEPT", "SCOTT.DEPT"}, "\\TABLES\\SCOTT\\DEPT"},
      {"\\RESOURCE PLANS\\SYSTEM_PLAN\\SYS_GROUP", ".CONSUMER_GROUP", {}, "\\USERS\\.CONSUMERS\\SYS_GROUP"},
      {"\\SYNONYMS\\.SYNONYMS BY TYPE\\TABLE", "EMP_SYN.SCOTT", {}, "\\SYNONYMS\\SCOTT\\EMP_SYN.TABLE"},
      {"\\.STATISTICS\\.ANALYZE OBJECTS\\SCOTT", "EMP.TABLE", {}, "\\TABLES\\SCOTT\\EMP"},
      {"\\.INSTANCE PARAMETERS\\.QUEUES", "DISPATCHER", {"D000"}, "\\.INSTANCE PARAMETERS\\.DISPATCHERS\\D000"},
      {"\\ALL OBJECTS\\VIEW", "EMP_V.SCOTT", {}, "\\VIEWS\\SCOTT\\EMP_V"},
      {"\\TABLES\\SCOTT\\EMP\\.REFERENCED FROM", "EMP_V", {"VIEW", "HARD", "SCOTT"}, "\\VIEWS\\SCOTT\\EMP_V"},
      {"\\ALL TYPES\\.OBJECT TYPES\\SCOTT\\ADDR_T\\.REFERENCED FROM", "PEOPLE", {"TABLE", "HARD", "SCOTT"},
       "\\TABLES\\SCOTT\\PEOPLE"},
      {"\\.INSTANCE PARAMETERS\\.LOCKS", "SCOTT.EMP", {"TABLE", "12.345", "1234"},
       "\\.INSTANCE PARAMETERS\\.SESSIONS\\12.345\\.TRANSACTIONS\\1234", false},
  });
  // Keys taken from a compound name are cut to 99 characters.
  const std::string cluster = "EMP." + longName;
  EXPECT_EQ(Jump({"\\CLUSTERS\\SCOTT\\EMP_CL\\.TABLES", cluster.c_str(), {}, ""}),
            "\\TABLES\\" + longName.substr(0, 99) + "\\EMP");
  const std::string child = "SCOTT." + longName;
  EXPECT_EQ(Jump({"\\REFRESH GROUPS\\SCOTT\\NIGHTLY\\.CHILDREN", child.c_str(), {"SNAPSHOT"}, ""}),
            "\\SNAPSHOTS\\SCOTT\\" + longName.substr(0, 99));
}

TEST(JumpRules, OrderMissingKeysAndFailuresGiveTheRightTargetOrNone) {
  Check({
      // The up item never jumps.
      {"\\.Catalog by User\\SCOTT", "..", {}, ""},
      {"\\TABLES\\SCOTT\\EMP\\.INDEXES", "..", {}, ""},
      // Object privileges of a role: the object, not a grantee of the role.
      {"\\USERS\\.ROLES\\RESOURCE\\.ALL OBJECT PRIVS", "EMP", {"HR", "TABLE"}, "\\TABLES\\HR\\EMP"},
      // Indexes and triggers one level deeper than the partitioned tables list.
      {"\\TABLES\\.PARTITIONED TABLES\\SCOTT\\SALES\\.INDEXES", "SALES_IX", {"X"}, "\\INDEXES\\SCOTT\\SALES_IX"},
      {"\\TABLES\\.PARTITIONED TABLES\\SCOTT\\SALES\\.TRIGGERS", "SALES_TRG", {"X"},
       "\\TRIGGERS\\SCOTT\\SALES_TRG"},
      // The first rule that fits decides, even when it yields nothing.
      {"\\USERS\\SCOTT", "TABLE PARTITION", {}, ""},
      {"\\USERS\\SCOTT", ".SESSIONS", {}, ""},
      {"\\.Catalog by User\\SCOTT", "EMP", {}, ""},
      // A session's detail directories and plain files are not its user.
      {"\\.INSTANCE PARAMETERS\\.SESSIONS\\12.345", ".CURSORS", {}, ""},
      {"\\.INSTANCE PARAMETERS\\.SESSIONS\\12.345", "SCOTT", {}, "", false},
      // Grantees of a role: detail directories are not grantees.
      {"\\USERS\\.ROLES\\DBA", ".GRANTEE", {}, ""},
      // Foreign keys go to the referenced table only with an OWNER.TABLE reference.
      {"\\TABLES\\SCOTT\\EMP\\.COLUMNS\\DEPTNO\\.CONSTRAINTS", "FK_DEPTNO", {"FOREIGN", "", "", "", "DEPT"}, ""},
      {"\\.INSTANCE PARAMETERS\\.QUEUES", "COMMON", {"D000"}, ""},
      // The referencing list itself only, not a deeper level.
      {"\\TABLES\\SCOTT\\EMP\\.REFERENCED FROM\\EMP_V", "X", {"VIEW", "HARD", "SCOTT"}, ""},
      // A kind without a directory of its own.
      {"\\ALL OBJECTS\\PACKAGE BODY", "PAY.HR", {}, ""},
      {"\\.Catalog by User\\SCOTT", "EMP.MYSTERY", {}, ""},
      // No owner: no dot, a missing column, a missing piece of a compound owner.
      {"\\ALL OBJECTS\\TABLE", "EMP", {}, ""},
      {"\\PROCEDURES\\SCOTT\\RAISE\\.DEPENDENCIES", "EMP", {}, ""},
      {"\\.INSTANCE PARAMETERS\\.TRANSACTIONS", "1234", {"ACTIVE"}, ""},
      {"\\TABLES\\.ALL LOBS", "SCOTT.DOCS", {}, ""},
      {"\\TABLES\\.ALL LOBS", "DOCS", {"BODY"}, ""},
      // Synonyms: unknown to the dictionary, or the lookup fails.
      {"\\SYNONYMS\\SCOTT\\GONE.TABLE", ".REFERENCED OBJECT", {}, ""},
      {"\\SYNONYMS\\SCOTT\\BROKEN.TABLE", ".REFERENCED OBJECT", {}, ""},
      // Triggers with a broken OWNER part: the trigger rule fits, so the
      // partitioned tables rule after it is not asked.
      {"\\TABLES\\.PARTITIONED TABLES\\SCOTT\\SALES\\.TRIGGERS", "SALES_TRG.", {"SH"}, ""},
      // A category's list of owners has no rule.
      {"\\TABLES", "SCOTT", {}, ""},
  });
}

TEST(JumpRules, SynonymLookupRunsOnlyForTheReferencedObjectWithOwnerAndSynonymLevels) {
  std::vector<std::pair<std::string, std::string>> asked;
  operations::SynonymResolver resolver = [&](const std::string& owner, const std::string& synonym) {
    asked.emplace_back(owner, synonym);
    return operations::SynonymTarget{"VIEW", "EMP_V", "HR"};
  };
  operations::CurrentItem item;
  item.valid = true;
  item.name = "EMP_SYN.TABLE";
  EXPECT_EQ(operations::JumpTargetFor(LevelsOf("\\SYNONYMS\\SCOTT"), item, resolver), "");
  item.name = ".REFERENCED OBJECT";
  EXPECT_EQ(operations::JumpTargetFor(LevelsOf("\\Synonyms\\Scott\\Emp_Syn.Table"), item, resolver),
            "\\VIEWS\\HR\\EMP_V");
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_EQ(asked[0].first, "SCOTT");
  EXPECT_EQ(asked[0].second, "EMP_SYN.TABLE");
  // Without a lookup there is no target rather than a crash.
  EXPECT_EQ(operations::JumpTargetFor(LevelsOf("\\SYNONYMS\\SCOTT\\EMP_SYN.TABLE"), item, nullptr), "");
}

TEST(JumpRules, EnterThroughThePanelKeepsTheLetterCaseOfNames) {
  // The controller reads its settings; keep them in a store of our own.
  std::filesystem::path store = std::filesystem::temp_directory_path() /
                                 ("quarry-jump-rules-" + std::to_string(std::random_device{}()));
  std::filesystem::create_directories(store);
  platform::SetEnv("QUARRY_REGISTRY_DIR", store.string());
  {
    panel::TOracleController controller;
    controller.SetCurrentDirectory("\\.Catalog by User\\scott");
    operations::CurrentItem item;
    item.name = "emp.table";
    EXPECT_EQ(operations::GetJumpTarget(controller, item), "") << "an item the host did not give";
    item.valid = true;
    // The target keeps the letter case; the listing there applies the name
    // rule (no "scott" or "emp" exists as written, so SCOTT.EMP is meant).
    EXPECT_EQ(operations::GetJumpTarget(controller, item), "\\TABLES\\scott\\emp");
    controller.SetCurrentDirectory("\\Tables\\SCOTT\\Mixed Case Table\\.REFERENCED FROM");
    item.name = "Mixed View";
    item.columns = {"VIEW", "", "SCOTT"};
    EXPECT_EQ(operations::GetJumpTarget(controller, item), "\\VIEWS\\SCOTT\\Mixed View");
  }
  platform::UnsetEnv("QUARRY_REGISTRY_DIR");
  std::error_code ec;
  std::filesystem::remove_all(store, ec);
}

// Quoted names reach the target as written: the rules compare upper-cased,
// but yield the item, its columns and the path levels in their own case.
TEST(JumpRules, MixedCaseNamesReachTheTargetAsWritten) {
  operations::CurrentItem item;
  item.valid = true;
  item.directory = true;
  item.name = "Mixed View";
  item.columns = {"VIEW", "", "SCOTT"};
  EXPECT_EQ(operations::JumpTargetFor(LevelsOf("\\TABLES\\SCOTT\\Mixed Case Table\\.REFERENCED FROM"), item,
                                      FakeDictionary),
            "\\VIEWS\\SCOTT\\Mixed View");
  item.name = "Mixed Index.SCOTT";
  item.columns = {};
  EXPECT_EQ(operations::JumpTargetFor(LevelsOf("\\Tables\\Odd Owner\\T\\.INDEXES"), item, FakeDictionary,
                                      {"Tables", "Odd Owner", "T", ".INDEXES"}),
            "\\INDEXES\\SCOTT\\Mixed Index");
  // Owner levels keep their case, and the synonym is looked up as written.
  item.name = ".REFERENCED OBJECT";
  std::vector<std::pair<std::string, std::string>> asked;
  auto resolver = [&asked](const std::string& owner, const std::string& synonym) {
    asked.emplace_back(owner, synonym);
    return operations::SynonymTarget{"TABLE", "Mixed Case Table", "SCOTT"};
  };
  EXPECT_EQ(operations::JumpTargetFor(LevelsOf("\\Synonyms\\SCOTT\\Mixed Syn.TABLE"), item, resolver,
                                      {"Synonyms", "SCOTT", "Mixed Syn.TABLE"}),
            "\\TABLES\\SCOTT\\Mixed Case Table");
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_EQ(asked[0].second, "Mixed Syn.TABLE");
  // A level given in another spelling than the panel's is not used.
  item.name = "TRG";
  EXPECT_EQ(operations::JumpTargetFor(LevelsOf("\\VIEWS\\Odd Owner\\V\\.TRIGGERS"), item, FakeDictionary,
                                      {"Views", "Other", "V", ".TRIGGERS"}),
            "\\TRIGGERS\\ODD OWNER\\TRG");
}

}  // namespace
