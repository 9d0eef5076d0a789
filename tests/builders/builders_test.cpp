// The shared item builders on real rows from the client stand-in: names,
// custom columns, dates and sizes; which variables are bound; counted
// detail directories; record items; and the listing error rule.
#include <gtest/gtest.h>

#include "catalog/dataset_builders.h"
#include "catalog/item_builders.h"
#include "connected_panel.h"
#include "connection/field_text.h"
#include "host/file_time.h"

namespace {

using namespace paneltest;

class Builders : public ConnectedPanel {
 protected:
  // Runs `sql` through MakeItemsFromDataSetByColumns into a fresh array.
  std::vector<Item> Rows(const std::string& sql, const catalog::ItemColumns& shape,
                         const catalog::VariablePairs& pairs = {}, const std::vector<std::string>& declared = {},
                         int opMode = 0) {
    auto q = module().CreateNewOracleQuery(declared);
    EXPECT_TRUE(q);
    q->SetSQL(sql);
    far::PluginPanelItem* items = nullptr;
    int count = 0;
    panel::FindDataRequest r{&items, &count, opMode};
    catalog::MakeItemsFromDataSetByColumns(r, *q, shape, pairs);
    std::vector<Item> out = CopyItems(items, count);
    panel::FreeItems(items, count);
    return out;
  }
  template <class F>
  std::vector<Item> Build(F&& fill, int opMode = 0) {
    far::PluginPanelItem* items = nullptr;
    int count = 0;
    panel::FindDataRequest r{&items, &count, opMode};
    fill(r);
    std::vector<Item> out = CopyItems(items, count);
    panel::FreeItems(items, count);
    return out;
  }
};

// Item shape: columns only (no dates, no size).
catalog::ItemColumns Plain(std::vector<std::string> columns, bool directories = false) {
  return {std::move(columns), directories, "", "", ""};
}

bool SameTime(const far::FILETIME& a, const far::FILETIME& b) {
  return a.dwLowDateTime == b.dwLowDateTime && a.dwHighDateTime == b.dwHighDateTime;
}

TEST_F(Builders, RowsBecomeItemsWithBlankedZerosCutNamesDatesAndSizes) {
  LogOn("scott", "tiger");
  const std::string sql =
      "SELECT RPAD('N', 300, 'X') AS NAME, '0' AS A, '00' AS B, '0.0' AS C, "
      "TO_DATE('2003-07-04 23:59:30', 'YYYY-MM-DD HH24:MI:SS') AS MADE, "
      "TO_DATE('2004-01-02 03:04:05', 'YYYY-MM-DD HH24:MI:SS') AS CHANGED, 4096 AS BYTES FROM DUAL "
      "UNION ALL SELECT '0', ' padded ', NULL, '0', NULL, NULL, NULL FROM DUAL";
  auto items = Rows(sql, {{"NAME", "A", "B", "C"}, true, "MADE", "CHANGED", "BYTES"});
  ASSERT_EQ(items.size(), 2u);
  const Item& first = items[0];
  // Cut to 258 characters, or to what the host's name field holds.
  const std::size_t field = sizeof(far::PluginPanelItem{}.FindData.cFileName) - 1;
  EXPECT_EQ(first.name, "N" + std::string(std::min<std::size_t>(258, field) - 1, 'X'));
  EXPECT_TRUE(first.directory);
  EXPECT_EQ(first.columns, (std::vector<std::string>{"", "00", "0.0"}));
  // Dates are taken as they are, without a time-zone shift.
  EXPECT_TRUE(SameTime(first.created, host::DateToFileTime(2003, 7, 4, 23, 59, 30)));
  EXPECT_TRUE(SameTime(first.written, host::DateToFileTime(2004, 1, 2, 3, 4, 5)));
  EXPECT_EQ(first.size, 4096u);
  // The name column is never blanked; values are trimmed; missing dates and
  // sizes stay zero.
  const Item& second = items[1];
  EXPECT_EQ(second.name, "0");
  EXPECT_EQ(second.columns, (std::vector<std::string>{"padded", "", ""}));
  EXPECT_TRUE(SameTime(second.created, far::FILETIME{}));
  EXPECT_EQ(second.size, 0u);
  EXPECT_TRUE(Errors().empty());
}

TEST_F(Builders, OnlyNamedPairsAreBoundAndNoRowsAppendNothing) {
  LogOn("scott", "tiger");
  const std::string sql = "SELECT OBJECT_NAME FROM ALL_OBJECTS WHERE OWNER = :OWNER AND OBJECT_NAME = 'EMP_SEQ'";
  // The empty slot would name a variable the query does not have.
  auto items = Rows(sql, Plain({"OBJECT_NAME"}), {{"", "ignored"}, {"OWNER", "SCOTT"}}, {"OWNER"});
  EXPECT_EQ(Names(items), std::vector<std::string>{"EMP_SEQ"});
  EXPECT_TRUE(Errors().empty());
  EXPECT_TRUE(Rows(sql, Plain({"OBJECT_NAME"}), {{"OWNER", "NOBODY"}}, {"OWNER"}).empty());
  EXPECT_TRUE(Errors().empty());
}

TEST_F(Builders, UnreadableViewFollowsTheIgnoreSettingAndTheSearchMode) {
  LogOn("scott", "tiger");
  const std::string sql = "SELECT USERNAME FROM DBA_USERS";
  EXPECT_TRUE(Rows(sql, Plain({"USERNAME"})).empty());
  EXPECT_TRUE(Errors().empty());
  // "Loading data ..." was shown and its screen restored.
  EXPECT_EQ(fakehost::Current().saves, fakehost::Current().restores);
  EXPECT_GT(fakehost::Current().saves, 0);

  SetIgnoreOraErrors(false);
  EXPECT_TRUE(Rows(sql, Plain({"USERNAME"})).empty());
  ASSERT_EQ(Errors().size(), 1u);
  EXPECT_EQ(Errors()[0].rfind("MakeItemsFromDataSetByColumns: ORA-00942", 0), 0u) << Errors()[0];
  EXPECT_EQ(fakehost::Current().saves, fakehost::Current().restores);

  // While the host searches nothing is shown at all, not even the note.
  int saves = fakehost::Current().saves;
  std::size_t messages = fakehost::Current().messages.size();
  EXPECT_TRUE(Rows(sql, Plain({"USERNAME"}), {}, {}, far::OPM_FIND).empty());
  EXPECT_EQ(fakehost::Current().saves, saves);
  EXPECT_EQ(fakehost::Current().messages.size(), messages);
}

TEST_F(Builders, ItemsReadBeforeAFailureStay) {
  LogOn("scott", "tiger");
  SetIgnoreOraErrors(false);
  // Row n cannot be converted: first of all, inside the first fetch call, at
  // its last row, just past it, and deep in the second one.  Every row before
  // it is listed, then the error once.
  for (const int n : {1, 50, 100, 101, 250}) {
    const std::size_t before = Errors().size();
    const std::string sql = "SELECT TO_NUMBER(DECODE(ROWNUM, " + std::to_string(n) +
                            ", 'x', TO_CHAR(ROWNUM))) AS N FROM ALL_OBJECTS WHERE ROWNUM <= 300";
    auto items = Rows(sql, Plain({"N"}));
    ASSERT_EQ(Errors().size(), before + 1) << "row " << n;
    EXPECT_NE(Errors().back().find("ORA-01722"), std::string::npos) << Errors().back();
    ASSERT_EQ(items.size(), static_cast<std::size_t>(n - 1)) << "row " << n;
    for (std::size_t i = 0; i < items.size(); ++i) ASSERT_EQ(items[i].name, std::to_string(i + 1));
  }
}

TEST_F(Builders, CountedDirectoriesHideZeroAndShowTheirCount) {
  LogOn("scott", "tiger");
  auto items = Build([&](panel::FindDataRequest& r) {
    catalog::AddCountedDirectory(r, module(), "ALL_OBJECTS WHERE OWNER = :OWNER AND OBJECT_NAME = 'NONE'", ".NONE",
                                 "", {{"OWNER", "SCOTT"}});
    catalog::AddCountedDirectory(r, module(), "DUAL", ".ONE", "Exactly one row");
    catalog::AddCountedDirectory(r, module(), "ALL_OBJECTS WHERE OWNER = :OWNER AND OBJECT_TYPE = 'TABLE'",
                                 ".TABLES", "", {{"", "x"}, {"OWNER", "SCOTT"}});
    catalog::AddDetailDirectory(r, ".NEGATIVE", -1);
  });
  ASSERT_EQ(Names(items), (std::vector<std::string>{".ONE", ".TABLES"}));
  EXPECT_TRUE(items[0].directory);
  EXPECT_EQ(items[0].columns, (std::vector<std::string>{"1", "Exactly one row"}));
  EXPECT_EQ(items[1].columns.size(), 1u);
  EXPECT_NE(items[1].columns[0], "0");
  EXPECT_TRUE(Errors().empty());
}

TEST_F(Builders, RecordItemsCarryCommentsExceptWhileSearching) {
  LogOn("system", "manager");
  auto record = [&](int opMode) {
    return Build(
        [&](panel::FindDataRequest& r) {
          catalog::MakeRecordItemsWithComments(r, module(), "DBA_QUEUES", "QID = :ID", {{"ID", "30001"}});
        },
        opMode);
  };
  auto full = record(0);
  ASSERT_FALSE(full.empty());
  bool sawComment = false;
  for (const Item& i : full) {
    EXPECT_FALSE(i.directory);
    ASSERT_EQ(i.columns.size(), 2u) << i.name;
    if (i.name == "NAME") {
      EXPECT_EQ(i.columns[0], "ORDER_EVENTS");
      EXPECT_EQ(i.columns[1], "Name of the queue");
      sawComment = true;
    }
  }
  EXPECT_TRUE(sawComment);
  auto searching = record(far::OPM_FIND);
  ASSERT_EQ(searching.size(), full.size());
  for (const Item& i : searching) EXPECT_EQ(i.columns.size(), 1u) << i.name;
  // No row: nothing at all.
  EXPECT_TRUE(Build([&](panel::FindDataRequest& r) {
                catalog::MakeRecordItemsWithComments(r, module(), "DBA_QUEUES", "QID = :ID", {{"ID", "1"}});
              }).empty());
}

TEST_F(Builders, LongValuesLoseOneTrailingLineBreak) {
  LogOn("scott", "tiger");
  auto q = module().CreateNewOracleQuery({});
  q->SetSQL("INSERT INTO DOCS VALUES (3, 'CR LF', 'body' || CHR(13) || CHR(10))");
  q->Execute();
  q->SetSQL("INSERT INTO DOCS VALUES (4, 'CR', 'text' || CHR(13))");
  q->Execute();
  q->SetSQL("SELECT BODY, TITLE FROM DOCS WHERE DOC_ID >= 3 ORDER BY DOC_ID");
  q->Execute();
  ASSERT_FALSE(q->Eof());
  EXPECT_EQ(connection::GetFieldText(*q, "BODY"), "body");
  q->Next();
  EXPECT_EQ(connection::GetFieldText(*q, "BODY"), "text");
  EXPECT_EQ(connection::GetFieldText(*q, "NO_SUCH_COLUMN"), "");
  module().OracleSession().Rollback();
}

TEST_F(Builders, FixedItemsTakeNamesAndColumnsAsGiven) {
  LogOn("scott", "tiger");
  auto items = Build([&](panel::FindDataRequest& r) {
    catalog::AddItemPairs(r, {{"A", "0"}, {std::string(300, 'L'), "x"}}, true);
    catalog::AddItem(r, ".TABLES", {}, true);
    catalog::AddItem(r, "FILE", {"1", "2", "3"}, false);
  });
  ASSERT_EQ(items.size(), 4u);
  EXPECT_EQ(items[0].columns, std::vector<std::string>{"0"});  // fixed values are not blanked
  const std::size_t field = sizeof(far::PluginPanelItem{}.FindData.cFileName) - 1;
  EXPECT_EQ(items[1].name.size(), std::min(catalog::kFixedNameChars, field));
  EXPECT_TRUE(items[2].columns.empty());
  EXPECT_FALSE(items[3].directory);
  EXPECT_EQ(items[3].columns.size(), 3u);
}

}  // namespace
