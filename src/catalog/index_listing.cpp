// index_listing.cpp — the index listings.
#include "catalog/index_listing.h"

#include "catalog/code_queries.h"
#include "catalog/item_builders.h"
#include "catalog/listing_errors.h"
#include "catalog/table_helpers.h"
#include "catalog/table_partitions.h"
#include "connection/statement_catalogue.h"

namespace catalog {
namespace {

using namespace connection;

constexpr const char* kNonIndexedForeignKeys = ".NON-INDEXED FOREIGN KEYS";

// ".COLUMNS" always, ".PARTITIONS" for a partitioned index, ".EXPRESSIONS"
// when it has any, then the record.
void IndexRecord(Listing& l, const std::string& owner, const std::string& index) {
  auto& m = l.Module();
  const std::string& prefix = m.Prefix();
  const VariablePairs keys{{"NAME", index}, {"OWNER", owner}};
  l.UseModes("ObjectValuePanelModes");
  AddItem(l.request, ".COLUMNS", {""}, true);
  try {
    auto q = m.CreateNewOracleQuery({"NAME", "OWNER"});
    if (q) {
      q->SetVariable("NAME", index);
      q->SetVariable("OWNER", owner);
      q->SetSQL("SELECT PARTITIONED FROM " + prefix + "INDEXES WHERE INDEX_NAME = :NAME AND OWNER = :OWNER");
      q->Execute();
      if (!q->Eof() && q->FieldAsString("PARTITIONED") == "YES") AddItem(l.request, ".PARTITIONS", {""}, true);
    }
  } catch (...) {
    HandleListingError(l.request, std::current_exception());
  }
  AddGuardedDetail(l, ".EXPRESSIONS", [&] {
    return CountRows(l,
                     "SELECT COUNT(*) FROM " + prefix +
                         "IND_EXPRESSIONS WHERE INDEX_OWNER = :OWNER AND INDEX_NAME = :NAME",
                     keys);
  });
  ListRecord(l, prefix + "INDEXES", "INDEX_NAME = :NAME AND OWNER = :OWNER", keys);
}

}  // namespace

void ListIndexColumns(Listing& l, const std::string& owner, const std::string& index) {
  if (!l.Connected()) return;
  l.UseModes("PosNameLengthPanelModes");
  auto q = l.Module().CreateNewOracleQuery({"NAME", "OWNER"});
  if (!q) return;
  q->SetSQL("SELECT C.*, C.TABLE_NAME || '.' || C.COLUMN_NAME AS FILENAME FROM " + l.Module().Prefix() +
            "IND_COLUMNS C WHERE C.INDEX_NAME = :NAME AND C.INDEX_OWNER = :OWNER");
  MakeItemsFromDataSetByColumns(l.request, *q, {{"COLUMN_POSITION", "FILENAME", "COLUMN_LENGTH"}, false, "", "", ""},
                                {{"NAME", index}, {"OWNER", owner}});
}

void ListIndexTree(Listing& l) {
  if (!l.Connected()) return;
  if (l.Level(3).empty()) {
    l.UseModes("UserNameCountPanelModes");
    AddItem(l.request, kNonIndexedForeignKeys, {"", "Finding Non-Indexed Foreign Keys"}, true);
    l.ListStatement(kStmtIndexesOwners, {{"OWNER", "COUNTS"}, true, "", "", ""});
    return;
  }
  if (l.Level(3) == kNonIndexedForeignKeys) {
    if (l.Level(4).empty()) {
      l.UseModes("FromTableColumnPanelModes");
      l.ListStatement(kStmtNonIndexedForeignKeys,
                      {{"FROM_TABLE", "COLUMN_NAME", "CONSTRAINT_NAME", "TO_TABLE"}, false, "", "", ""});
    }
    return;
  }
  const std::string owner = ExactOwner(l, 3);
  if (l.Level(4).empty()) {
    l.UseModes("DefaultPanelModes");
    l.ListStatement(kStmtIndexesOfOwner, {{"FILENAME", "DESCRIPTION"}, true, "CREATED", "LAST_DDL_TIME", ""},
                    {{"OWNER", owner}});
    return;
  }
  const std::string index = ExactObjectKey(l, 4, {"INDEX"});
  const std::string detail = l.Level(5);
  if (detail.empty()) {
    IndexRecord(l, owner, index);
  } else if (detail == ".PARTITIONS") {
    ListPartitions(l, owner, index, PartitionedObject::Index, 5);
  } else if (!l.Level(6).empty()) {
    // Columns and expressions have nothing below them.
  } else if (detail == ".COLUMNS") {
    ListIndexColumns(l, owner, index);
  } else if (detail == ".EXPRESSIONS") {
    l.UseModes("PosTextPanelModes");
    l.ListStatement(kStmtIndexExpressions, {{"COLUMN_POSITION", "COLUMN_EXPRESSION"}, false, "", "", ""},
                    {{"OWNER", owner}, {"NAME", index}});
  }
}

}  // namespace catalog
