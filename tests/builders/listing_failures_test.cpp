// Catalog listings through the panel controller when things go wrong: views
// the user may not read, a session killed on the server, no session at all,
// and level names in another letter case.
#include <gtest/gtest.h>

#include "connected_panel.h"

namespace {

using namespace paneltest;

class Listings : public ConnectedPanel {};

// Kills `victim`'s session from a DBA session of its own.
void KillSessionOf(connection::TPluginDataModule& dba, const std::string& user) {
  auto q = dba.CreateNewOracleQuery({});
  q->SetSQL("SELECT SID, SERIAL# FROM V$SESSION WHERE USERNAME = '" + user + "'");
  q->Execute();
  ASSERT_FALSE(q->Eof());
  std::string id = std::to_string(q->FieldAsInteger(0)) + "," + std::to_string(q->FieldAsInteger(1));
  q->Next();
  ASSERT_TRUE(q->Eof()) << "more than one session of " << user;
  q->SetSQL("ALTER SYSTEM KILL SESSION '" + id + "'");
  q->Execute();
}

TEST_F(Listings, UnreadableViewsAreEmptyQuietlyOrReportedWithTheSettingOff) {
  LogOn("scott", "tiger");
  // Resource plans exist only as DBA views.
  EXPECT_EQ(Names(ListPath("\\Resource plans")), std::vector<std::string>{".."});
  EXPECT_EQ(Names(ListPath("\\.Misc")), (std::vector<std::string>{"..", ".DICTIONARY DESCRIPTION", ".SQL*PLUS HELP"}));
  EXPECT_TRUE(Errors().empty());

  SetIgnoreOraErrors(false);
  EXPECT_EQ(Names(ListPath("\\Resource plans")), std::vector<std::string>{".."});
  ASSERT_EQ(Errors().size(), 1u);
  EXPECT_EQ(Errors()[0], "MakeItemsFromDataSetByColumns: ORA-00942: table or view does not exist");
  // Searching stays silent whatever the setting.
  EXPECT_EQ(Names(ListPath("\\Resource plans", far::OPM_FIND)), std::vector<std::string>{".."});
  EXPECT_EQ(Errors().size(), 1u);
}

TEST_F(Listings, LostConnectionIsReportedOnceAndLeavesTheWayOut) {
  auto& dba = LogOn("system", "manager");
  LogOn("scott", "tiger");
  ASSERT_EQ(ListPath("\\All objects").size() > 1, true);
  KillSessionOf(dba.DataModule(), "SCOTT");

  // One listing query, several counts, a record after a fixed item: each
  // listing reports the lost session once and keeps ".." (and what came
  // before the failure).
  const std::vector<std::pair<std::string, std::vector<std::string>>> cases = {
      {"\\All objects", {".."}},
      {"\\.Misc", {".."}},
      {"\\Refresh groups\\SCOTT\\DEPT_REFRESH", {"..", ".CHILDREN"}},
      {"\\Resource plans\\SYSTEM_PLAN\\SYS_GROUP", {".."}},
  };
  for (const auto& [path, expected] : cases) {
    std::size_t before = Errors().size();
    EXPECT_EQ(Names(ListPath(path)), expected) << path;
    ASSERT_EQ(Errors().size(), before + 1) << path;
    EXPECT_NE(Errors().back().find("ORA-00028"), std::string::npos) << path << ": " << Errors().back();
  }
  // The panel still answers the host and the user climbs out to the root.
  far::OpenPluginInfo info{};
  EXPECT_NO_THROW(panel().GetOpenPluginInfo(info));
  panel().SetCurrentDirectory("\\All objects");
  EXPECT_TRUE(panel().SetDirectory("..", 0));
  EXPECT_EQ(panel().CurrentDirectory(), "\\");
  EXPECT_EQ(List().size(), 34u);
}

TEST_F(Listings, WithoutASessionOnlyTheWayOutIsListed) {
  panels_.push_back(std::make_unique<panel::TOracleController>());
  for (const char* path : {"\\All objects", "\\Queues\\SALES\\30001", "\\.Misc", "\\Resource plans", "\\Nobody"})
    EXPECT_EQ(Names(ListPath(path)), std::vector<std::string>{".."}) << path;
  EXPECT_TRUE(fakehost::Current().messages.empty());
}

TEST_F(Listings, LevelsInAnyLetterCaseReachTheSameListing) {
  LogOn("system", "manager");
  auto upper = ListPath("\\ALL OBJECTS\\TABLE");
  ASSERT_GT(upper.size(), 5u);
  EXPECT_EQ(Names(ListPath("\\all objects\\table")), Names(upper));
  EXPECT_EQ(Names(ListPath("\\All Objects\\Table")), Names(upper));
  auto lower = Names(ListPath("\\queues\\sales\\30001\\.tables"));
  // The path keeps its letter case for the title.
  EXPECT_EQ(panel().CurrentDirectory(), "\\queues\\sales\\30001\\.tables");
  EXPECT_EQ(lower, Names(ListPath("\\QUEUES\\SALES\\30001\\.TABLES")));
  EXPECT_GT(lower.size(), 5u);
  // Below an object that has nothing further, and below an unknown kind's
  // users, only ".." is listed.
  EXPECT_EQ(Names(ListPath("\\Timeseries\\SALES\\DAILY_SALES")), std::vector<std::string>{".."});
  EXPECT_EQ(Names(ListPath("\\Nobody\\SCOTT")), std::vector<std::string>{".."});
  EXPECT_GT(ListPath("\\Nobody").size(), 5u);
  EXPECT_TRUE(Errors().empty());
}

}  // namespace
