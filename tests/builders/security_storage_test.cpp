// The Users and Storage trees through the panel controller: what a user
// without the catalog role sees and is told, names that carry two keys, the
// ".ROLE" grantees, object privileges by owner, and unlimited quotas.
#include <gtest/gtest.h>

#include <algorithm>

#include "catalog/detail_counts.h"
#include "connection/statement_catalogue.h"
#include "connected_panel.h"

namespace {

using namespace paneltest;

class SecurityStorage : public ConnectedPanel {};

bool Has(const std::vector<std::string>& names, const std::string& name) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

const Item* Find(const std::vector<Item>& items, const std::string& name) {
  for (const Item& i : items)
    if (i.name == name) return &i;
  return nullptr;
}

TEST(ItemNames, SplitAtTheDotThatSeparatesTheKeys) {
  std::string a, b;
  ASSERT_TRUE(catalog::SplitItemName("SYS_LOB.X.SCOTT", true, a, b));
  EXPECT_EQ(a, "SYS_LOB.X");
  EXPECT_EQ(b, "SCOTT");
  ASSERT_TRUE(catalog::SplitItemName("PUBLIC._SYSSMU1$", false, a, b));
  EXPECT_EQ(a, "PUBLIC");
  EXPECT_EQ(b, "_SYSSMU1$");
  EXPECT_FALSE(catalog::SplitItemName("NODOT", true, a, b));
  EXPECT_FALSE(catalog::SplitItemName(".LEADING", true, a, b));
  EXPECT_FALSE(catalog::SplitItemName("TRAILING.", false, a, b));
  EXPECT_TRUE(catalog::IsWholeNumber("42"));
  EXPECT_FALSE(catalog::IsWholeNumber("4a"));
  EXPECT_FALSE(catalog::IsWholeNumber("-1"));
  EXPECT_FALSE(catalog::IsWholeNumber(""));
}

TEST_F(SecurityStorage, WithoutTheCatalogRoleDetailsAreQuietOrReportedOnce) {
  LogOn("scott", "tiger");
  std::vector<std::string> detail = Names(ListPath("\\Users\\SCOTT"));
  EXPECT_TRUE(Has(detail, "TABLE"));
  EXPECT_TRUE(Has(detail, ".OBJECT PRIVILEGES")) << "his grants come from ALL_TAB_PRIVS";
  EXPECT_FALSE(Has(detail, ".QUOTAS"));
  EXPECT_TRUE(Errors().empty());
  // His own ALL_ views count what he can see in a tablespace; the DBA views
  // (segments, data files) stay out.
  EXPECT_EQ(Names(ListPath("\\Storage\\.TABLESPACES\\USERS")),
            (std::vector<std::string>{"..", ".TABLES", ".INDEXES", ".CLUSTERS"}));
  EXPECT_TRUE(Errors().empty());

  SetIgnoreOraErrors(false);
  EXPECT_EQ(Names(ListPath("\\Users\\SCOTT")), detail);
  ASSERT_EQ(Errors().size(), 1u) << "one report for a detail of many refused counts";
  EXPECT_NE(Errors()[0].find("ORA-00942"), std::string::npos);
  ListPath("\\Storage\\.TABLESPACES\\USERS");
  EXPECT_EQ(Errors().size(), 2u);
}

TEST_F(SecurityStorage, AllObjectPrivilegesOfTheSessionUserWithoutTheCatalogRole) {
  LogOn("scott", "tiger");
  std::vector<Item> privileges = ListPath("\\Users\\SCOTT\\.ALL OBJECT PRIVS");
  const Item* orders = Find(privileges, "ORDERS");
  ASSERT_NE(orders, nullptr);
  EXPECT_EQ(orders->columns.at(0), "SALES");
  EXPECT_EQ(orders->columns.at(1), "TABLE");
}

TEST_F(SecurityStorage, NamesThatNameNothingListNothingSilently) {
  LogOn("system", "manager");
  SetIgnoreOraErrors(false);
  for (const char* path : {"\\Storage\\.DATAFILES\\abc", "\\Storage\\.DATAFILES\\abc\\.STATUS",
                           "\\Storage\\.ALL SEGMENTS\\TABLE\\NODOT", "\\Storage\\.ROLLBACK SEGMENTS\\NODOT",
                           "\\Users\\SCOTT\\.AUDIT TRAIL\\1001", "\\Users\\SCOTT\\.AUDIT TRAIL\\A.B",
                           "\\Storage\\.TABLESPACES\\USERS\\.PITR CHECK\\NODOT"})
    EXPECT_EQ(Names(ListPath(path)), std::vector<std::string>{".."}) << path;
  EXPECT_TRUE(Errors().empty());
  // A data file id shows its five details even where a view has no row.
  std::vector<std::string> file = Names(ListPath("\\Storage\\.DATAFILES\\3"));
  for (const char* d : {".STATUS", ".HEADER", ".STATISTICS", ".BACKUP", ".FILE PING"}) EXPECT_TRUE(Has(file, d)) << d;
  EXPECT_EQ(Names(ListPath("\\Storage\\.DATAFILES\\3\\.FILE PING")), std::vector<std::string>{".."});
}

TEST_F(SecurityStorage, RoleGranteesAndObjectPrivilegesByOwner) {
  LogOn("system", "manager");
  std::vector<std::string> grantees = Names(ListPath("\\Users\\.ROLES\\SELECT_CATALOG_ROLE"));
  EXPECT_TRUE(Has(grantees, "DBA.ROLE"));
  EXPECT_TRUE(Has(grantees, "SYSTEM"));
  EXPECT_FALSE(Has(grantees, "SYSTEM.ROLE"));
  // PUBLIC holds privileges on SCOTT's table and on SYS's packages: under
  // SCOTT only the table type is offered.
  EXPECT_EQ(Names(ListPath("\\Users\\PUBLIC\\.OBJECT PRIVILEGES\\SCOTT")),
            (std::vector<std::string>{"..", "TABLE"}));
  EXPECT_TRUE(Has(Names(ListPath("\\Users\\PUBLIC\\.OBJECT PRIVILEGES\\SYS")), "PACKAGE"));
  std::vector<Item> quotas = ListPath("\\Users\\ADAMS\\.QUOTAS");
  const Item* users = Find(quotas, "USERS");
  ASSERT_NE(users, nullptr);
  EXPECT_EQ(users->columns.at(1), "UNLIMITED");
  EXPECT_EQ(users->columns.at(3), "UNLIMITED");
}

TEST_F(SecurityStorage, AFullTablespaceShowsNoFreeSpace) {
  LogOn("system", "manager");
  // The query gives a zero, not nothing: the free percentage of a full
  // tablespace is a number the panel then blanks.
  auto q = module().CreateOracleQueryByKind(connection::kStmtTablespaceSpace);
  ASSERT_TRUE(q);
  q->Execute();
  bool seen = false;
  for (; !q->Eof(); q->Next()) {
    if (q->FieldAsString("TABLESPACE_NAME") != "TOOLS") continue;
    seen = true;
    EXPECT_FALSE(q->FieldIsNull("FREE_P"));
    EXPECT_EQ(q->FieldAsString("FREE_P"), "0");
    EXPECT_TRUE(q->FieldIsNull("FREE_SIZE")) << "no free extent at all";
    EXPECT_EQ(q->FieldAsString("USED_SIZE"), q->FieldAsString("ALL_SIZE"));
  }
  EXPECT_TRUE(seen);
  std::vector<Item> spaces = ListPath("\\Storage\\.TABLESPACES");
  const Item* tools = Find(spaces, "TOOLS");
  const Item* users = Find(spaces, "USERS");
  ASSERT_NE(tools, nullptr);
  ASSERT_NE(users, nullptr);
  // STATUS, ALL_SIZE, USED_SIZE, FREE_SIZE, FREE_P; a zero shows blank.
  EXPECT_EQ(tools->columns.at(1), tools->columns.at(2)) << "all of it used";
  EXPECT_EQ(tools->columns.at(3), "");
  EXPECT_EQ(tools->columns.at(4), "");
  EXPECT_NE(users->columns.at(4), "") << "a tablespace with room shows its free part";
}

TEST_F(SecurityStorage, ExtentsListInIdOrder) {
  LogOn("system", "manager");
  std::vector<std::string> extents = Names(ListPath("\\Storage\\.ALL SEGMENTS\\TABLE\\HELP.SYSTEM\\.EXTENTS"));
  ASSERT_EQ(extents.size(), 13u);
  extents.erase(extents.begin());
  // The panel sorts the names as text: that must be the order of the ids.
  std::vector<std::string> sorted = extents;
  std::sort(sorted.begin(), sorted.end());
  EXPECT_EQ(sorted, extents);
  EXPECT_EQ(sorted.front(), "00");
  EXPECT_EQ(sorted.back(), "11");
  // A segment of fewer than ten extents keeps its plain ids.
  EXPECT_EQ(Names(ListPath("\\Storage\\.ALL SEGMENTS\\TABLE\\EMP.SCOTT\\.EXTENTS")),
            (std::vector<std::string>{"..", "0", "1", "2"}));
}

TEST_F(SecurityStorage, ARoleShowsTheRolesItHoldsToADbaWhoDoesNot) {
  LogOn("system", "manager");
  std::vector<Item> detail = ListPath("\\Users\\.ROLES\\SALES_CLERK");
  const Item* roles = Find(detail, ".ROLES");
  ASSERT_NE(roles, nullptr) << "SYSTEM does not hold SALES_CLERK, which holds CONNECT";
  EXPECT_EQ(roles->columns.at(0), "1");
  EXPECT_NE(Find(detail, ".ALL PRIVILEGES"), nullptr);
  EXPECT_EQ(Names(ListPath("\\Users\\.ROLES\\SALES_CLERK\\.ROLES")), (std::vector<std::string>{"..", "CONNECT"}));
  EXPECT_TRUE(Has(Names(ListPath("\\Users\\.ROLES\\SALES_CLERK\\.ALL PRIVILEGES")), "CREATE SESSION"));
  EXPECT_TRUE(Errors().empty());
}

}  // namespace
