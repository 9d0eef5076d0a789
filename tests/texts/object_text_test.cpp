// Which text F3/F4 open for an item: kind, owner, name, header lines,
// statement, form and start position, for each row of the table.
#include <gtest/gtest.h>

#include <sstream>

#include "operations/object_text.h"

namespace {

using operations::ChooseText;
using operations::CurrentItem;
using operations::TextForm;
using operations::TextJob;

// "\\A\\B" gives the levels L2 = A, L3 = B (upper-cased as the panel keeps them).
std::vector<std::string> Levels(const std::string& path) {
  std::vector<std::string> out;
  std::stringstream s(path);
  std::string part;
  std::getline(s, part, '\\');  // the empty root
  while (std::getline(s, part, '\\')) out.push_back(part);
  while (out.size() < 7) out.push_back("");
  return out;
}

CurrentItem Item(const std::string& name, std::vector<std::string> columns = {}) {
  CurrentItem item;
  item.valid = true;
  item.name = name;
  item.columns = std::move(columns);
  return item;
}

std::optional<TextJob> Choose(const std::string& path, const CurrentItem& item, bool alt = false) {
  return ChooseText(Levels(path), item, alt, "ALL_");
}

std::string Var(const TextJob& j, const std::string& name) {
  for (const auto& v : j.variables)
    if (v.first == name) return v.second;
  return "<unset>";
}

const std::string kSource = "SELECT TEXT FROM ALL_SOURCE WHERE OWNER = :OWNER AND NAME = :NAME AND TYPE = :TYPE ORDER BY LINE";

TEST(ChooseText, ProgramUnitsInTheirDirectoriesAndAmongAllObjects) {
  struct Case {
    std::string path, item;
    bool alt;
    std::string kind, owner, name;
  } cases[] = {
      {"\\PROCEDURES\\SCOTT", "raise_salary", false, "PROCEDURE", "SCOTT", "RAISE_SALARY"},
      {"\\FUNCTIONS\\SCOTT", "GET_SAL", false, "FUNCTION", "SCOTT", "GET_SAL"},
      {"\\PACKAGES\\SCOTT", "EMP_PKG", false, "PACKAGE", "SCOTT", "EMP_PKG"},
      {"\\PACKAGES\\SCOTT", "EMP_PKG", true, "PACKAGE BODY", "SCOTT", "EMP_PKG"},
      {"\\ALL TYPES\\SCOTT", "ADDRESS_T", false, "TYPE", "SCOTT", "ADDRESS_T"},
      {"\\ALL TYPES\\SCOTT", "ADDRESS_T", true, "TYPE BODY", "SCOTT", "ADDRESS_T"},
      // Among all objects the item reads name.owner.
      {"\\ALL OBJECTS\\PROCEDURE", "RAISE_SALARY.SCOTT", false, "PROCEDURE", "SCOTT", "RAISE_SALARY"},
      {"\\ALL OBJECTS\\PACKAGE", "EMP_PKG.SCOTT", true, "PACKAGE BODY", "SCOTT", "EMP_PKG"},
      {"\\ALL OBJECTS\\TYPE", "ADDRESS_T.SCOTT", false, "TYPE", "SCOTT", "ADDRESS_T"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path + " " + c.item);
    auto j = Choose(c.path, Item(c.item), c.alt);
    ASSERT_TRUE(j);
    EXPECT_EQ(j->kind, c.kind);
    EXPECT_EQ(j->owner, c.owner);
    EXPECT_EQ(j->name, c.name);
    EXPECT_EQ(j->header, std::vector<std::string>{"CREATE OR REPLACE"});
    EXPECT_EQ(j->sql, kSource);
    EXPECT_EQ(Var(*j, "TYPE"), c.kind);
    EXPECT_EQ(Var(*j, "OWNER"), c.owner);
    EXPECT_EQ(Var(*j, "NAME"), c.name);
    EXPECT_TRUE(j->compilable);
    EXPECT_EQ(j->Title(), c.kind + " " + c.owner + "." + c.name);
  }
}

TEST(ChooseText, ViewsCarryTheirCreateLineAndTriggersTheirOwnForm) {
  auto v = Choose("\\VIEWS\\SCOTT", Item("EMP_DEPT_V"));
  ASSERT_TRUE(v);
  EXPECT_EQ(v->kind, "VIEW");
  EXPECT_EQ(v->header, std::vector<std::string>{"CREATE OR REPLACE VIEW \"SCOTT\".\"EMP_DEPT_V\" AS"});
  EXPECT_EQ(v->sql, "SELECT TEXT FROM ALL_VIEWS WHERE OWNER = :OWNER AND VIEW_NAME = :NAME");

  auto byUser = Choose("\\.CATALOG BY USER\\SCOTT", Item("EMP_DEPT_V.VIEW"));
  ASSERT_TRUE(byUser);
  EXPECT_EQ(byUser->Title(), "VIEW SCOTT.EMP_DEPT_V");
  // Tables in the catalog by user have no text.
  EXPECT_FALSE(Choose("\\.CATALOG BY USER\\SCOTT", Item("EMP.TABLE")));

  auto t = Choose("\\TRIGGERS\\SCOTT", Item("EMP_BIU"));
  ASSERT_TRUE(t);
  EXPECT_EQ(t->form, TextForm::Trigger);
  EXPECT_TRUE(t->header.empty());
  EXPECT_EQ(t->sql, "SELECT TRIGGER_BODY, DESCRIPTION, WHEN_CLAUSE FROM ALL_TRIGGERS WHERE OWNER = :OWNER AND TRIGGER_NAME = :NAME");
  // A table's trigger list: the owner is the table's unless the item names one.
  auto own = Choose("\\TABLES\\SCOTT\\EMP\\.TRIGGERS", Item("EMP_BIU"));
  ASSERT_TRUE(own);
  EXPECT_EQ(own->owner, "SCOTT");
  auto other = Choose("\\TABLES\\SCOTT\\EMP\\.TRIGGERS", Item("AUDIT_EMP.SECURITY"));
  ASSERT_TRUE(other);
  EXPECT_EQ(other->Title(), "TRIGGER SECURITY.AUDIT_EMP");
  // Sub-branches of the trigger directory are not owners.
  EXPECT_FALSE(Choose("\\TRIGGERS\\.TRIGGERS BY TYPE", Item("X")));
}

TEST(ChooseText, ErrorListsOpenAtTheError) {
  // An object in the error branch opens at its first error (looked up later).
  auto obj = Choose("\\.ERRORS\\SCOTT", Item("EMP_PKG.PACKAGE BODY"));
  ASSERT_TRUE(obj);
  EXPECT_EQ(obj->Title(), "PACKAGE BODY SCOTT.EMP_PKG");
  EXPECT_TRUE(obj->startAtFirstError);
  EXPECT_TRUE(obj->compilable);
  // One of its error lines opens at that line and column.
  auto line = Choose("\\.ERRORS\\SCOTT\\BROKEN_PROC.PROCEDURE", Item(" 0001", {"6", "41", "PLS-00103"}));
  ASSERT_TRUE(line);
  EXPECT_EQ(line->Title(), "PROCEDURE SCOTT.BROKEN_PROC");
  EXPECT_FALSE(line->startAtFirstError);
  EXPECT_EQ(line->startLine, 6);
  EXPECT_EQ(line->startColumn, 41);
  // Views and triggers with errors keep their own text forms.
  auto view = Choose("\\.ERRORS\\SCOTT", Item("BAD_V.VIEW"));
  ASSERT_TRUE(view);
  EXPECT_EQ(view->header.front(), "CREATE OR REPLACE VIEW \"SCOTT\".\"BAD_V\" AS");
  auto trig = Choose("\\.ERRORS\\SCOTT", Item("BAD_T.TRIGGER"));
  ASSERT_TRUE(trig);
  EXPECT_EQ(trig->form, TextForm::Trigger);
  // An object's own error list.
  auto own = Choose("\\PACKAGES\\SCOTT\\EMP_PKG\\.ERRORS", Item(" 0002", {"12", "3"}), true);
  ASSERT_TRUE(own);
  EXPECT_EQ(own->Title(), "PACKAGE BODY SCOTT.EMP_PKG");
  EXPECT_EQ(own->startLine, 12);
  EXPECT_EQ(own->startColumn, 3);
  // A type's details are no type list; its error list is.
  EXPECT_FALSE(Choose("\\ALL TYPES\\SCOTT\\ADDRESS_T", Item(".ATTRIBUTES")));
  auto type = Choose("\\ALL TYPES\\SCOTT\\ADDRESS_T\\.ERRORS", Item(" 0001", {"bad", ""}));
  ASSERT_TRUE(type);
  EXPECT_EQ(type->kind, "TYPE");
  EXPECT_TRUE(type->startAtFirstError);  // no usable position on the item
}

TEST(ChooseText, RecordTextsAreShownButNeverCompiled) {
  auto params = Choose("\\.INSTANCE PARAMETERS", Item(".Parameters"));
  ASSERT_TRUE(params);
  EXPECT_EQ(params->kind, "PARAMETERS");
  EXPECT_EQ(params->catalogueNumber, 5);
  EXPECT_EQ(params->form, TextForm::Parameters);
  auto undoc = Choose("\\.INSTANCE PARAMETERS", Item(".PARAMETERS UNDOCUMENTED"));
  ASSERT_TRUE(undoc);
  EXPECT_EQ(undoc->kind, "UNDOC_PARAMETERS");
  EXPECT_EQ(undoc->catalogueNumber, 183);
  EXPECT_EQ(undoc->form, TextForm::ShortParameters);
  auto alerts = Choose("\\.INSTANCE PARAMETERS", Item(".DBMS ALERTS"));
  ASSERT_TRUE(alerts);
  EXPECT_EQ(alerts->catalogueNumber, 232);
  EXPECT_EQ(alerts->form, TextForm::Alerts);

  auto alert = Choose("\\.INSTANCE PARAMETERS\\.DBMS ALERTS", Item("stock", {"12", "Price changed"}));
  ASSERT_TRUE(alert);
  EXPECT_FALSE(alert->queryBased);
  EXPECT_EQ(alert->header, (std::vector<std::string>{"Alert: STOCK", "Price changed"}));

  auto disp = Choose("\\.INSTANCE PARAMETERS\\.DISPATCHERS", Item("D000", {"WAIT", "10", "1", "0", "5", "6", "(ADDRESS=x)", "TCP"}));
  ASSERT_TRUE(disp);
  EXPECT_FALSE(disp->queryBased);
  ASSERT_EQ(disp->header.size(), 9u);
  EXPECT_EQ(disp->header[0], "Name: D000");
  EXPECT_EQ(disp->header[6], "Busy (min): 6");
  EXPECT_EQ(disp->header[8], "Network: TCP");

  auto job = Choose("\\.INSTANCE PARAMETERS\\.JOBS", Item("42"));
  ASSERT_TRUE(job);
  EXPECT_EQ(job->sql, "SELECT WHAT FROM DBA_JOBS WHERE JOB = :ID");
  EXPECT_EQ(Var(*job, "ID"), "42");

  auto help = Choose("\\.MISC", Item(".SQL*Plus help"));
  ASSERT_TRUE(help);
  EXPECT_EQ(help->sql, "SELECT INFO || CHR(13) || CHR(10) FROM SYSTEM.HELP ORDER BY TOPIC, SEQ");
  auto topic = Choose("\\.MISC\\.SQL*PLUS HELP", Item("set"));
  ASSERT_TRUE(topic);
  EXPECT_EQ(Var(*topic, "OWNER"), "SET");
  auto fixed = Choose("\\.MISC\\.FIXED TABLES", Item("V$SESSION"));
  ASSERT_TRUE(fixed);
  EXPECT_EQ(fixed->sql, "SELECT VIEW_DEFINITION FROM V$FIXED_VIEW_DEFINITION WHERE VIEW_NAME = :NAME");

  for (const auto& j : {params, undoc, alerts, alert, disp, job, help, topic, fixed}) EXPECT_FALSE(j->compilable);
}

TEST(ChooseText, StatementTextsSplitTheIdentifier) {
  std::vector<std::string> cols = {"", "", "SCOTT", "100", "200", "300", "", "4", "5"};
  auto area = Choose("\\.STATISTICS\\.SQL AREA\\.ALL STATEMENTS", Item("0A1B.12345", cols));
  ASSERT_TRUE(area);
  EXPECT_FALSE(area->compilable);
  EXPECT_EQ(Var(*area, "ADDR"), "0A1B");
  EXPECT_EQ(Var(*area, "HASH"), "12345");
  EXPECT_EQ(area->header,
            (std::vector<std::string>{"ADDRESS: 0A1B", "HASH_VALUE: 12345", "USER NAME: SCOTT", "SHARABLE MEM: 100",
                                      "PERSISTENT MEM: 200", "RUNTIME MEM: 300", "LOADS: 4", "EXECUTIONS: 5", ""}));
  // Below a statement (its plan) the statement is the level, and no record lines follow.
  auto plan = Choose("\\.STATISTICS\\.SQL AREA\\.ALL STATEMENTS\\0A1B.12345", Item("00001"));
  ASSERT_TRUE(plan);
  EXPECT_EQ(plan->header, (std::vector<std::string>{"ADDRESS: 0A1B", "HASH_VALUE: 12345"}));
  auto cursor = Choose("\\.INSTANCE PARAMETERS\\.SESSIONS\\SCOTT\\.CURSORS", Item("FF00.77"));
  ASSERT_TRUE(cursor);
  EXPECT_EQ(Var(*cursor, "ADDR"), "FF00");
  EXPECT_EQ(cursor->header.size(), 2u);
}

TEST(ChooseText, NothingForUpDirUnknownPlacesAndDetailLevels) {
  EXPECT_FALSE(Choose("\\PROCEDURES\\SCOTT", Item("..")));
  EXPECT_FALSE(Choose("\\PROCEDURES", Item("SCOTT")));                      // an owner, not a unit
  EXPECT_FALSE(Choose("\\PROCEDURES\\SCOTT\\RAISE_SALARY", Item(".GRANTEE")));  // a detail
  EXPECT_FALSE(Choose("\\TABLES\\SCOTT", Item("EMP")));
  EXPECT_FALSE(Choose("\\", Item("TABLES")));
  CurrentItem none;
  EXPECT_FALSE(Choose("\\PROCEDURES\\SCOTT", none));
}

}  // namespace
