// A constraint's columns: what each shows (the referenced column by its
// position for a foreign key, the column's comment) and that a key of many
// columns prepares no statement twice in the one listing.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include "connected_panel.h"
#include "oracle/client_library.h"

namespace {

using namespace paneltest;

class ConstraintColumns : public ConnectedPanel {
 protected:
  void Run(connection::TPluginDataModule& m, const std::string& sql) {
    auto q = m.CreateNewOracleQuery({});
    q->SetSQL(sql);
    q->Execute();
  }
};

TEST_F(ConstraintColumns, ManyColumnKeysShowTheirTargetsAndCommentsWithoutPreparingAStatementAgain) {
  auto& dba = LogOn("system", "manager").DataModule();
  Run(dba, "CREATE TABLE SCOTT.CC_PARENT (A NUMBER, B NUMBER, C NUMBER, CONSTRAINT CC_PARENT_PK PRIMARY KEY (C, A, B))");
  Run(dba,
      "CREATE TABLE SCOTT.CC_CHILD (X NUMBER, Y NUMBER, Z NUMBER, CONSTRAINT CC_CHILD_FK FOREIGN KEY (Z, X, Y) "
      "REFERENCES SCOTT.CC_PARENT (C, A, B))");
  Run(dba, "COMMENT ON COLUMN SCOTT.CC_CHILD.Y IS 'the second'");
  Run(dba, "COMMENT ON COLUMN SCOTT.CC_PARENT.A IS 'parent a'");

  LogOn("scott", "tiger");
  void* library = dlopen(oracle::OracleClient().OciDll().c_str(), RTLD_NOW | RTLD_NOLOAD);
  ASSERT_NE(library, nullptr) << oracle::OracleClient().OciDll();
  auto mark = reinterpret_cast<void (*)()>(dlsym(library, "ocisim_mark_statements"));
  auto repeats = reinterpret_cast<unsigned long long (*)(char*, unsigned long)>(dlsym(library, "ocisim_statement_repeats"));
  ASSERT_NE(mark, nullptr);
  ASSERT_NE(repeats, nullptr);

  panel().SetCurrentDirectory("\\Tables\\SCOTT\\CC_CHILD\\.CONSTRAINTS\\CC_CHILD_FK\\.COLUMNS");
  mark();
  auto items = List();
  char first[200] = "";
  EXPECT_EQ(repeats(first, sizeof first), 0u) << first;
  ASSERT_EQ(items.size(), 4u);
  // The key's columns in their own order, each with the parent's column of
  // the same position; the owner is the same, so it is not named.
  const std::vector<std::pair<std::string, std::string>> expected{{"Z", "-> CC_PARENT.C"}, {"X", "-> CC_PARENT.A"},
                                                                  {"Y", "-> CC_PARENT.B"}};
  std::vector<std::pair<std::string, std::string>> shown;
  for (std::size_t i = 1; i < items.size(); ++i) shown.emplace_back(items[i].name, items[i].columns.at(0));
  std::sort(shown.begin(), shown.end());
  auto sorted = expected;
  std::sort(sorted.begin(), sorted.end());
  EXPECT_EQ(shown, sorted);
  for (std::size_t i = 1; i < items.size(); ++i)
    EXPECT_EQ(items[i].columns.at(1), items[i].name == "Y" ? "the second" : "") << items[i].name;

  panel().SetCurrentDirectory("\\Tables\\SCOTT\\CC_PARENT\\.CONSTRAINTS\\CC_PARENT_PK\\.COLUMNS");
  mark();
  items = List();
  EXPECT_EQ(repeats(first, sizeof first), 0u) << first;
  ASSERT_EQ(items.size(), 4u);
  for (std::size_t i = 1; i < items.size(); ++i)
    EXPECT_EQ(items[i].columns.at(1), items[i].name == "A" ? "parent a" : "") << items[i].name;
  EXPECT_TRUE(Errors().empty());
  dlclose(library);
}

}  // namespace
