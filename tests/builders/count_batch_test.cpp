// The counts of a detail directory in one statement: the statement a batch
// sends, the same numbers as counts run alone, and the fallback when the
// batch fails (a refused view hides only its own count, reported as before).
#include <gtest/gtest.h>

#include "catalog/detail_counts.h"
#include "connected_panel.h"

namespace {

using namespace paneltest;

TEST(BatchStatement, SubqueriesShareEqualVariablesAndRenameConflictingOnes) {
  catalog::VariablePairs vars;
  const std::string sql = catalog::BatchStatement(
      {{"SELECT COUNT(*) FROM A WHERE OWNER = :OWNER AND NAME = :NAME", {{"OWNER", "SCOTT"}, {"NAME", "EMP"}}},
       {"SELECT COUNT(*) FROM B WHERE OWNER = :OWNER AND X = ':OWNER' AND NAME = :NAMES",
        {{"OWNER", "Mixed"}, {"NAMES", "E"}}},
       {"SELECT COUNT(*) FROM C WHERE OWNER = :OWNER", {{"OWNER", "SCOTT"}}}},
      vars);
  EXPECT_EQ(sql,
            "SELECT (SELECT COUNT(*) FROM A WHERE OWNER = :OWNER AND NAME = :NAME) C1, "
            "(SELECT COUNT(*) FROM B WHERE OWNER = :OWNER_2 AND X = ':OWNER' AND NAME = :NAMES) C2, "
            "(SELECT COUNT(*) FROM C WHERE OWNER = :OWNER) C3 FROM DUAL");
  EXPECT_EQ(vars, (catalog::VariablePairs{{"OWNER", "SCOTT"}, {"NAME", "EMP"}, {"OWNER_2", "Mixed"}, {"NAMES", "E"}}));
}

class CountBatchTest : public ConnectedPanel {
 protected:
  // A listing of the panel's directory with `body` as its builder.
  template <typename F>
  void WithListing(F&& body) {
    far::PluginPanelItem* items = nullptr;
    int count = 0;
    panel::FindDataRequest request{&items, &count, 0};
    catalog::Listing l{panel(), request};
    body(l);
    panel().FreeFindData(items, count);
  }
};

TEST_F(CountBatchTest, OneStatementGivesWhatEachCountGivesAlone) {
  LogOn("system", "manager");
  WithListing([&](catalog::Listing& l) {
    const catalog::VariablePairs scott{{"OWNER", "SCOTT"}};
    catalog::CountBatch batch(l);
    auto tables = batch.AddFrom("DBA_TABLES WHERE OWNER = :OWNER", scott);
    auto emp = batch.Add("SELECT COUNT(*) FROM DBA_TAB_COLUMNS WHERE OWNER = :OWNER AND TABLE_NAME = :NAME",
                         {{"OWNER", "SCOTT"}, {"NAME", "EMP"}});
    auto none = batch.AddFrom("DBA_TABLES WHERE OWNER = :OWNER", {{"OWNER", "NOBODY"}});
    EXPECT_EQ(batch.Value(emp), 8);
    EXPECT_TRUE(batch.Batched());
    EXPECT_EQ(batch.Value(tables), catalog::CountFrom(l, "DBA_TABLES WHERE OWNER = :OWNER", scott));
    EXPECT_EQ(batch.Guarded(none), 0);
  });
  EXPECT_TRUE(Errors().empty());
}

TEST_F(CountBatchTest, AFailedBatchRunsEachCountAloneAndOnlyTheRefusedOneFails) {
  LogOn("system", "manager");
  SetIgnoreOraErrors(false);
  WithListing([&](catalog::Listing& l) {
    catalog::CountBatch batch(l);
    auto good = batch.AddFrom("DBA_TABLES WHERE OWNER = :OWNER", {{"OWNER", "SCOTT"}});
    auto missing = batch.AddFrom("NO_SUCH_VIEW WHERE OWNER = :OWNER", {{"OWNER", "SCOTT"}});
    auto plain = batch.Add("SELECT COUNT(*) FROM DBA_USERS WHERE USERNAME = :NAME", {{"NAME", "SCOTT"}});
    batch.Run();
    EXPECT_FALSE(batch.Batched());
    EXPECT_TRUE(Errors().empty()) << "the batch itself fails quietly";
    EXPECT_GT(batch.Guarded(good), 0);
    EXPECT_EQ(batch.Guarded(missing), -1);
    EXPECT_EQ(batch.Value(plain), 1);
  });
  ASSERT_EQ(Errors().size(), 1u);
  EXPECT_NE(Errors()[0].find("ORA-00942"), std::string::npos) << Errors()[0];
}

TEST_F(CountBatchTest, WithoutACatalogRoleDbaViewsStayOutOfTheBatch) {
  LogOn("scott", "tiger");
  WithListing([&](catalog::Listing& l) {
    catalog::CountBatch batch(l);
    auto mine = batch.AddFrom("ALL_TABLES WHERE OWNER = :OWNER", {{"OWNER", "SCOTT"}});
    auto refused = batch.AddFrom("DBA_USERS WHERE USERNAME = :NAME", {{"NAME", "SCOTT"}});
    EXPECT_GT(batch.Guarded(mine), 0);
    EXPECT_TRUE(batch.Batched()) << "the readable count went in one statement";
    EXPECT_EQ(batch.Guarded(refused), -1);
  });
  EXPECT_TRUE(Errors().empty()) << "ORA-00942 stays quiet while IgnoreORAErrors is on";
}

}  // namespace
