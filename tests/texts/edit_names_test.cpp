// Names in the edit loop: F3/F4 take an object's owner and name by the name
// rule (as written when such an object exists, else upper-cased), and a
// saved text is looked for where its CREATE put it.
#include <gtest/gtest.h>

#include <cctype>
#include <set>

#include "operations/created_unit.h"
#include "operations/object_text.h"

namespace {

using namespace operations;

CurrentItem Item(const std::string& name) {
  CurrentItem item;
  item.valid = true;
  item.name = name;
  return item;
}

// A rule that knows only the given names as written.
NameRule Existing(std::set<std::string> names) {
  return [names](const std::string& w, const std::string& owner, const std::string&) {
    // Owners are known as themselves; objects by "OWNER.name".
    if (names.count(owner.empty() ? w : owner + "." + w)) return w;
    std::string upper = w;
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return upper;
  };
}

TEST(TextNames, ItemsAndLevelsThatNameObjectsAsWrittenAreUsedAsWritten) {
  NameRule rule = Existing({"SCOTT.Mixed Proc", "Odd Owner.Mixed View", "Odd Owner"});
  auto p = ChooseText({"PROCEDURES", "SCOTT"}, Item("Mixed Proc"), false, "ALL_", {"Procedures", "SCOTT"}, rule);
  ASSERT_TRUE(p);
  EXPECT_EQ(p->name, "Mixed Proc");
  EXPECT_EQ(p->Title(), "PROCEDURE SCOTT.Mixed Proc");
  // A path typed in lower case names the usual upper-case objects.
  auto lower = ChooseText({"PROCEDURES", "SCOTT"}, Item("raise_salary"), false, "ALL_", {"procedures", "scott"}, rule);
  ASSERT_TRUE(lower);
  EXPECT_EQ(lower->owner, "SCOTT");
  EXPECT_EQ(lower->name, "RAISE_SALARY");
  // A view's CREATE line quotes the exact names; owners follow the rule too.
  auto v = ChooseText({"VIEWS", "ODD OWNER"}, Item("Mixed View"), false, "ALL_", {"Views", "Odd Owner"}, rule);
  ASSERT_TRUE(v);
  EXPECT_EQ(v->header.at(0), "CREATE OR REPLACE VIEW \"Odd Owner\".\"Mixed View\" AS");
  // Among all objects the item reads name.owner.
  auto all = ChooseText({"ALL OBJECTS", "PROCEDURE"}, Item("Mixed Proc.SCOTT"), false, "ALL_",
                        {"All objects", "PROCEDURE"}, rule);
  ASSERT_TRUE(all);
  EXPECT_EQ(all->name, "Mixed Proc");
  EXPECT_EQ(all->owner, "SCOTT");
  // The same name in another schema does not count for this one.
  auto other = ChooseText({"PROCEDURES", "SALES"}, Item("Mixed Proc"), false, "ALL_", {"Procedures", "SALES"}, rule);
  ASSERT_TRUE(other);
  EXPECT_EQ(other->name, "MIXED PROC");
  // Without a rule everything is upper-cased, as before.
  auto plain = ChooseText({"PROCEDURES", "SCOTT"}, Item("Mixed Proc"), false, "ALL_");
  ASSERT_TRUE(plain);
  EXPECT_EQ(plain->name, "MIXED PROC");
}

TEST(CreatedUnit, OwnerNameAndKindComeFromTheText) {
  auto u = ParseCreatedUnit({"CREATE OR REPLACE", "PROCEDURE raise_salary (p NUMBER) IS"}, "system");
  ASSERT_TRUE(u);
  EXPECT_EQ(u->kind, "PROCEDURE");
  EXPECT_EQ(u->owner, "SYSTEM");  // no schema: the user's own
  EXPECT_EQ(u->name, "RAISE_SALARY");

  u = ParseCreatedUnit({"-- note", "/* x */ create or replace package body scott.emp_pkg is"}, "system");
  ASSERT_TRUE(u);
  EXPECT_EQ(u->kind, "PACKAGE BODY");
  EXPECT_EQ(u->owner, "SCOTT");
  EXPECT_EQ(u->name, "EMP_PKG");

  u = ParseCreatedUnit({"CREATE OR REPLACE FORCE VIEW \"Odd Owner\".\"Mixed View\" AS", "SELECT 1 FROM DUAL"}, "scott");
  ASSERT_TRUE(u);
  EXPECT_EQ(u->kind, "VIEW");
  EXPECT_EQ(u->owner, "Odd Owner");
  EXPECT_EQ(u->name, "Mixed View");

  u = ParseCreatedUnit({"CREATE OR REPLACE TRIGGER t", "BEFORE INSERT ON emp"}, "scott");
  ASSERT_TRUE(u);
  EXPECT_EQ(u->kind, "TRIGGER");
  EXPECT_EQ(u->name, "T");

  EXPECT_FALSE(ParseCreatedUnit({"BEGIN NULL; END;"}, "scott"));
  EXPECT_FALSE(ParseCreatedUnit({"CREATE OR REPLACE"}, "scott"));
  EXPECT_FALSE(ParseCreatedUnit({"CREATE TABLE x (a NUMBER)"}, "scott"));
}

}  // namespace
