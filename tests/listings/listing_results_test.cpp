// Listing results that were wrong: a type list joined to every owner's
// object of the same name, and a snapshot log's record read from the DBA
// view whatever the user's dictionary prefix.
#include <gtest/gtest.h>

#include <algorithm>

#include "connected_panel.h"

namespace {

using namespace paneltest;

class ListingResults : public ConnectedPanel {};

TEST_F(ListingResults, AnOwnersTypesAreListedOnceThoughAnotherOwnerHasTheSameName) {
  LogOn("system", "manager");
  // SALES has an ADDRESS_T too.
  auto scott = Names(ListPath("\\All types\\SCOTT"));
  EXPECT_EQ(std::count(scott.begin(), scott.end(), "ADDRESS_T"), 1);
  auto sales = Names(ListPath("\\All types\\SALES"));
  EXPECT_EQ(sales, (std::vector<std::string>{"..", "ADDRESS_T"}));
}

TEST_F(ListingResults, ASnapshotLogRecordReadsThePrefixedViewLikeItsList) {
  // SCOTT has no catalog role: every list of the branch reads ALL_ views.
  LogOn("scott", "tiger");
  SetIgnoreOraErrors(false);
  auto logs = Names(ListPath("\\Snapshot logs\\SCOTT"));
  ASSERT_NE(std::find(logs.begin(), logs.end(), "MLOG$_DEPT"), logs.end());
  auto record = ListPath("\\Snapshot logs\\SCOTT\\MLOG$_DEPT");
  std::string master;
  for (const Item& i : record)
    if (i.name == "MASTER" && !i.columns.empty()) master = i.columns[0];
  EXPECT_EQ(master, "DEPT");
  EXPECT_TRUE(Errors().empty()) << Errors().front();
}

}  // namespace
