// One rule for names through the panel: a level or item that names an
// existing object as written is used as written, otherwise upper-cased.
// The demo's mixed-case objects (demo_mixed_case.sql) are reached in every
// family, their details counted and their comments found; the upper-case
// spelling of the same letters is another (missing or different) object;
// a path typed in lower case still reaches the upper-case objects.
#include <gtest/gtest.h>

#include <algorithm>

#include "connected_panel.h"
#include "connection/data_module.h"

namespace {

using namespace paneltest;

class ExactNames : public ConnectedPanel {};

bool Has(const std::vector<Item>& items, const std::string& name) {
  return std::any_of(items.begin(), items.end(), [&](const Item& i) { return i.name == name; });
}

const Item* Find(const std::vector<Item>& items, const std::string& name) {
  for (const Item& i : items)
    if (i.name == name) return &i;
  return nullptr;
}

std::string Column(const std::vector<Item>& items, const std::string& name, std::size_t c) {
  const Item* i = Find(items, name);
  return i && c < i->columns.size() ? i->columns[c] : "<none>";
}

TEST_F(ExactNames, MixedCaseTableShowsEveryDetailItHas) {
  LogOn("scott", "tiger");
  auto table = ListPath("\\Tables\\SCOTT\\Mixed Case Table");
  for (const char* detail : {".COLUMNS", ".INDEXES", ".CONSTRAINTS", ".GRANTEE", ".SYNONYMS", ".REF BY CONSTRAINTS"})
    EXPECT_TRUE(Has(table, detail)) << detail;
  EXPECT_EQ(Column(table, ".SYNONYMS", 0), "1");
  EXPECT_EQ(Column(table, "TABLE_NAME", 0), "Mixed Case Table");
  // Its synonym, index and foreign key are listed.
  EXPECT_TRUE(Has(ListPath("\\Tables\\SCOTT\\Mixed Case Table\\.SYNONYMS"), "SCOTT.Mixed Syn"));
  EXPECT_TRUE(Has(ListPath("\\Tables\\SCOTT\\Mixed Case Table\\.INDEXES"), "Mixed Index"));
  EXPECT_TRUE(Has(ListPath("\\Tables\\SCOTT\\Mixed Case Table\\.REF BY CONSTRAINTS"), "Column One"));
  // The same letters in upper case name no table: nothing is listed.
  EXPECT_EQ(Names(ListPath("\\Tables\\SCOTT\\MIXED CASE TABLE")), std::vector<std::string>{".."});
  EXPECT_TRUE(Errors().empty());
}

TEST_F(ExactNames, ColumnsAndConstraintsKeepTheirCaseAndComments) {
  LogOn("scott", "tiger");
  const std::string table = "\\Tables\\SCOTT\\Mixed Case Table";
  auto columns = ListPath(table + "\\.COLUMNS");
  EXPECT_EQ(Column(columns, "Column One", 5), "The key, named in mixed case");
  auto column = ListPath(table + "\\.COLUMNS\\Column One");
  EXPECT_TRUE(Has(column, ".CONSTRAINTS"));
  EXPECT_EQ(Column(column, "COMMENTS", 0), "The key, named in mixed case");
  EXPECT_TRUE(Has(ListPath(table + "\\.COLUMNS\\Column One\\.CONSTRAINTS"), "Mixed PK"));
  auto constraints = ListPath(table + "\\.CONSTRAINTS");
  EXPECT_TRUE(Has(constraints, "Mixed PK"));
  EXPECT_TRUE(Has(constraints, "Positive Col"));
  auto record = ListPath(table + "\\.CONSTRAINTS\\Mixed PK");
  EXPECT_EQ(Column(record, "CONSTRAINT_NAME", 0), "Mixed PK");
  // The constraint's columns carry the column's comment (GetComment).
  auto keyColumns = ListPath(table + "\\.CONSTRAINTS\\Mixed PK\\.COLUMNS");
  EXPECT_EQ(Column(keyColumns, "Column One", 1), "The key, named in mixed case");
  EXPECT_TRUE(Has(ListPath(table + "\\.CONSTRAINTS\\Positive Col\\.COLUMNS"), "lower col"));
  EXPECT_TRUE(Errors().empty());
}

TEST_F(ExactNames, ViewsIndexesSequencesAndRefreshGroups) {
  LogOn("system", "manager");
  auto viewColumns = ListPath("\\Views\\SCOTT\\Mixed View\\.COLUMNS");
  EXPECT_EQ(Column(viewColumns, "lower col", 7), "A number, named in lower case");
  EXPECT_EQ(Column(ListPath("\\Views\\SCOTT\\Mixed View\\.COLUMNS\\lower col"), "COMMENTS", 0),
            "A number, named in lower case");
  auto index = ListPath("\\Indexes\\SCOTT\\Mixed Index");
  EXPECT_EQ(Column(index, "INDEX_NAME", 0), "Mixed Index");
  EXPECT_TRUE(Has(ListPath("\\Indexes\\SCOTT\\Mixed Index\\.COLUMNS"), "1"));
  // The sequence's synonym is counted by the data module's helper.
  auto sequence = ListPath("\\Sequences\\SCOTT\\Mixed Seq");
  EXPECT_EQ(Column(sequence, ".SYNONYMS", 0), "1");
  EXPECT_TRUE(Has(ListPath("\\Sequences\\SCOTT\\Mixed Seq\\.SYNONYMS"), "SCOTT.Seq Alias"));
  // 'Weekly' and 'WEEKLY' are two groups; each level reaches its own.
  auto weekly = ListPath("\\Refresh groups\\SCOTT\\Weekly");
  EXPECT_EQ(Column(weekly, "RNAME", 0), "Weekly");
  EXPECT_EQ(Names(ListPath("\\Refresh groups\\SCOTT\\Weekly\\.CHILDREN")),
            (std::vector<std::string>{"..", "SCOTT.DEPT_SNAP"}));
  EXPECT_EQ(Column(ListPath("\\Refresh groups\\SCOTT\\WEEKLY"), "RNAME", 0), "WEEKLY");
  EXPECT_EQ(Names(ListPath("\\Refresh groups\\SCOTT\\WEEKLY\\.CHILDREN")), std::vector<std::string>{".."});
  EXPECT_TRUE(Errors().empty());
}

TEST_F(ExactNames, PathsTypedInLowerCaseStillReachUpperCaseObjects) {
  LogOn("scott", "tiger");
  auto emp = ListPath("\\tables\\scott\\emp");
  EXPECT_EQ(Column(emp, "TABLE_NAME", 0), "EMP");
  EXPECT_EQ(Column(ListPath("\\tables\\scott\\emp\\.columns\\ename"), "COLUMN_NAME", 0), "ENAME");
  EXPECT_TRUE(Has(ListPath("\\views\\scott"), "EMP_NAMES_V"));
  EXPECT_TRUE(Has(ListPath("\\refresh groups\\scott"), "NIGHTLY_REFRESH"));
  EXPECT_EQ(Column(ListPath("\\refresh groups\\scott\\nightly_refresh"), "RNAME", 0), "NIGHTLY_REFRESH");
}

TEST_F(ExactNames, CountAndCommentHelpersUseTheNameAsWrittenWhenItExists) {
  LogOn("scott", "tiger");
  auto& m = module();
  EXPECT_EQ(m.GetComment("SCOTT", "Mixed Case Table"), "A table named in mixed case");
  EXPECT_EQ(m.GetComment("SCOTT", "Mixed Case Table", "Column One"), "The key, named in mixed case");
  EXPECT_EQ(m.GetComment("scott", "Mixed View", "lower col"), "A number, named in lower case");
  EXPECT_EQ(m.CountSynonymsFor("SCOTT", "Mixed Case Table"), 1);
  EXPECT_EQ(m.CountGrantsOn("SCOTT", "Mixed Case Table"), 1);
  // Typed in lower case, names that exist only in upper case.
  EXPECT_EQ(m.CountDependenciesOf("scott", "emp_names_v", "view"), 1);
  EXPECT_EQ(m.GetComment("scott", "emp_documents", "resume"), "Curriculum vitae as text");
}

}  // namespace
