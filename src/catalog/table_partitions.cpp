// table_partitions.cpp — partitions of tables and indexes.
#include "catalog/table_partitions.h"

#include "catalog/code_queries.h"
#include "catalog/item_builders.h"
#include "catalog/table_helpers.h"

namespace catalog {
namespace {

// What differs between table and index partitions.
struct PartitionViews {
  const char* view;      // without the prefix
  const char* ownerKey;  // owner column of the view
  const char* nameKey;   // object column of the view
  const char* keyType;   // OBJECT_TYPE in the partition-key view
};

constexpr PartitionViews kTable{"TAB_PARTITIONS", "TABLE_OWNER", "TABLE_NAME", "TABLE"};
constexpr PartitionViews kIndex{"IND_PARTITIONS", "INDEX_OWNER", "INDEX_NAME", "INDEX"};

}  // namespace

void ListPartitions(Listing& l, const std::string& owner, const std::string& name, PartitionedObject object,
                    std::size_t level) {
  if (!l.Connected()) return;
  const PartitionViews& v = object == PartitionedObject::Table ? kTable : kIndex;
  const std::string& prefix = l.Module().Prefix();
  const std::string entry = l.Level(level + 1);
  if (!l.Level(level + 2).empty()) return;
  const std::string keys = std::string(v.ownerKey) + " = :OWNER AND " + v.nameKey + " = :NAME";

  if (entry.empty()) {
    l.UseModes("DefaultPanelModes");
    AddItem(l.request, ".COLUMNS", {""}, true);
    auto q = l.Module().CreateNewOracleQuery({"OWNER", "NAME"});
    if (!q) return;
    q->SetSQL("SELECT PARTITION_NAME FROM " + prefix + v.view + " WHERE " + keys);
    MakeItemsFromDataSetByColumns(l.request, *q, {{"PARTITION_NAME"}, true, "", "", ""},
                                  {{"OWNER", owner}, {"NAME", name}});
  } else if (entry == ".COLUMNS") {
    // Positions padded to five characters sort in key order by name.
    l.UseModes("PosNamePanelModes");
    auto q = l.Module().CreateNewOracleQuery({"OWNER", "NAME", "TYPE"});
    if (!q) return;
    q->SetSQL("SELECT K.COLUMN_NAME, LPAD(K.COLUMN_POSITION, 5, ' ') AS COLUMN_POSITION FROM " + prefix +
              "PART_KEY_COLUMNS K WHERE K.OWNER = :OWNER AND K.NAME = :NAME AND RTRIM(LTRIM(K.OBJECT_TYPE)) = :TYPE");
    MakeItemsFromDataSetByColumns(l.request, *q, {{"COLUMN_POSITION", "COLUMN_NAME"}, false, "", "", ""},
                                  {{"OWNER", owner}, {"NAME", name}, {"TYPE", v.keyType}});
  } else {
    const std::string partition = ExactLevelKey(
        l, level + 1,
        {"SELECT COUNT(*) FROM " + prefix + v.view + " WHERE " + keys + " AND PARTITION_NAME = :N",
         {{"OWNER", owner}, {"NAME", name}}});
    ListRecord(l, prefix + v.view, keys + " AND PARTITION_NAME = :PARTITION",
               {{"OWNER", owner}, {"NAME", name}, {"PARTITION", partition}});
  }
}

}  // namespace catalog
