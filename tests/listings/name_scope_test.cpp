// The name rule looks a name up where names of its kind live: within the
// owner and object kind for schema objects, among roles, profiles, consumer
// groups and tablespaces for those.  A name that exists as written only in
// another schema or as another kind does not count, and a quoted name with
// a dot stays one name.
#include <gtest/gtest.h>

#include <algorithm>

#include "connected_panel.h"
#include "connection/data_module.h"
#include "connection/exact_names.h"
#include "operations/drop_names.h"
#include "operations/drop_statements.h"

namespace {

using namespace paneltest;
using connection::ExactName;
using connection::NameKind;

class NameScope : public ConnectedPanel {
 protected:
  void Run(const std::string& sql) {
    auto q = module().CreateNewOracleQuery({});
    ASSERT_TRUE(q);
    q->SetSQL(sql);
    q->Execute();
  }
};

std::string Column(const std::vector<Item>& items, const std::string& name, std::size_t c) {
  for (const Item& i : items)
    if (i.name == name) return c < i.columns.size() ? i.columns[c] : "<none>";
  return "<none>";
}

TEST_F(NameScope, ALowerCaseNameOfAnotherOwnerOrKindDoesNotCaptureAPath) {
  LogOn("system", "manager");
  Run("create table sales.\"emp\" (x number)");
  Run("create table sales.\"scott\" (x number)");
  Run("create sequence scott.\"dept\"");
  auto& m = module();
  // SALES."emp" is no object of SCOTT: the path still means SCOTT.EMP.
  EXPECT_EQ(ExactName(m, "emp", connection::ObjectLookup("SCOTT", {"TABLE"})), "EMP");
  EXPECT_EQ(ExactName(m, "emp", connection::ObjectLookup("SALES", {"TABLE"})), "emp");
  // SCOTT."dept" is a sequence, not a table.
  EXPECT_EQ(ExactName(m, "dept", connection::ObjectLookup("SCOTT", {"TABLE"})), "DEPT");
  // An object named "scott" is no user.
  EXPECT_EQ(ExactName(m, "scott", connection::UserLookup()), "SCOTT");
  // Through the panel: the record, its columns and the owner's list.
  EXPECT_EQ(Column(ListPath("\\Tables\\scott\\emp"), "TABLE_NAME", 0), "EMP");
  EXPECT_EQ(Names(ListPath("\\Tables\\scott\\emp\\.COLUMNS")).size(), 9u);  // ".." and 8 columns
  EXPECT_EQ(Column(ListPath("\\Tables\\scott\\dept"), "TABLE_NAME", 0), "DEPT");
  EXPECT_EQ(Column(ListPath("\\Tables\\SALES\\emp"), "TABLE_NAME", 0), "emp");
  EXPECT_TRUE(Errors().empty());
}

TEST_F(NameScope, AQuotedNameWithADotIsOneName) {
  LogOn("system", "manager");
  Run("create table scott.\"Dot.Name\" (x number)");
  EXPECT_EQ(Column(ListPath("\\Tables\\SCOTT\\Dot.Name"), "TABLE_NAME", 0), "Dot.Name");
  EXPECT_EQ(Names(ListPath("\\Tables\\SCOTT\\Dot.Name\\.COLUMNS")), (std::vector<std::string>{"..", "X"}));
  // An item with a type after the dot still addresses the name before it.
  EXPECT_EQ(connection::ExactKey(module(), "Mixed Syn.SYNONYM", connection::ObjectLookup("SCOTT")), "Mixed Syn");
  EXPECT_EQ(connection::ExactKey(module(), "Dot.Name", connection::ObjectLookup("SCOTT")), "Dot.Name");
  EXPECT_TRUE(Errors().empty());
}

TEST_F(NameScope, RolesProfilesGroupsAndTablespacesFollowTheRule) {
  LogOn("system", "manager");
  auto& m = module();
  EXPECT_EQ(ExactName(m, "Mixed Role", NameKind::Role), "Mixed Role");
  EXPECT_EQ(ExactName(m, "connect", NameKind::Role), "CONNECT");
  EXPECT_EQ(ExactName(m, "Mixed Profile", NameKind::Profile), "Mixed Profile");
  EXPECT_EQ(ExactName(m, "Mixed Group", NameKind::ConsumerGroup), "Mixed Group");
  EXPECT_EQ(ExactName(m, "Mixed Space", NameKind::Tablespace), "Mixed Space");
  EXPECT_EQ(ExactName(m, "users", NameKind::Tablespace), "USERS");
  // A role of that name is no tablespace.
  EXPECT_EQ(ExactName(m, "Mixed Role", NameKind::Tablespace), "MIXED ROLE");
  // The trees reach them as shown.
  EXPECT_EQ(Names(ListPath("\\Users\\.ROLES\\Mixed Role\\.PRIVILEGES")), (std::vector<std::string>{"..", "CREATE SESSION"}));
  auto grantees = Names(ListPath("\\Users\\.ROLES\\Mixed Role"));
  EXPECT_NE(std::find(grantees.begin(), grantees.end(), "SCOTT"), grantees.end());
  EXPECT_EQ(Column(ListPath("\\Users\\.PROFILES\\Mixed Profile\\.LIMITS"), "SESSIONS_PER_USER", 1), "2");
  auto groupGrantees = Names(ListPath("\\Users\\.CONSUMERS\\Mixed Group"));
  EXPECT_NE(std::find(groupGrantees.begin(), groupGrantees.end(), "SCOTT"), groupGrantees.end());
  EXPECT_TRUE(Errors().empty());
}

}  // namespace

// F8 names what it drops by the same rule, within the listing's owner and
// kind: another schema's "emp" or another kind's "dept" of SCOTT must not
// turn DROP TABLE "SCOTT"."EMP" into a statement about "emp".
TEST_F(NameScope, F8DropsScottsTablesWhateverOtherOwnersAndKindsAreNamed) {
  LogOn("system", "manager");
  Run("create table sales.\"emp\" (x number)");
  Run("create sequence scott.\"dept\"");
  Run("create table scott.\"Mixed T\" (x number)");
  panel().SetCurrentDirectory("\\tables\\scott");
  operations::DropRequest r;
  r.levels = panel().PathLevels();
  r.exactLevels = operations::ExactPathLevels(panel());
  r.items = {{"emp", {}}, {"dept", {}}, {"Mixed T", {}}};
  r.logonUser = "SYSTEM";
  auto& m = module();
  auto exact = [&](const std::string& shown, const operations::NameScope& scope) {
    return operations::ExactItemName(m, shown, scope);
  };
  const operations::DropPlan plan = operations::BuildDropPlan(r, exact);
  EXPECT_EQ(plan.statements, (std::vector<std::string>{"DROP TABLE \"SCOTT\".\"EMP\"", "DROP TABLE \"SCOTT\".\"DEPT\"",
                                                       "DROP TABLE \"SCOTT\".\"Mixed T\""}));
  // The same names in the all-objects list ("NAME.OWNER") and as another
  // schema's index of the table.
  panel().SetCurrentDirectory("\\All objects\\table");
  r.levels = panel().PathLevels();
  r.exactLevels = operations::ExactPathLevels(panel());
  r.items = {{"emp.scott", {}}, {"emp.sales", {}}};
  EXPECT_EQ(operations::BuildDropPlan(r, exact).statements,
            (std::vector<std::string>{"DROP TABLE \"SCOTT\".\"EMP\"", "DROP TABLE \"SALES\".\"emp\""}));
}
