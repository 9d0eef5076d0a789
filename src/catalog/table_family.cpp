// table_family.cpp — entry points of the table family: the "Tables" tree
// (owners, the special branches of the tables root, each owner's tables)
// and the "Views" tree; indexes and clusters have files of their own, and
// everything below one table or view is table_detail's.
#include "catalog/table_family.h"

#include "catalog/cluster_listing.h"
#include "catalog/code_queries.h"
#include "catalog/index_listing.h"
#include "catalog/item_builders.h"
#include "catalog/table_detail.h"
#include "catalog/table_helpers.h"
#include "connection/statement_catalogue.h"

namespace catalog {
namespace {

using namespace connection;

constexpr const char* kUserNameCount = "UserNameCountPanelModes";
constexpr const char* kDefault = "DefaultPanelModes";

ItemColumns Owners() { return {{"OWNER", "COUNTS"}, true, "", "", ""}; }

// The counted directories of the tables root, in their order.  The name is
// shown as written; path levels compare it upper-cased.
struct RootBranch {
  const char* name;
  bool prefixed;  // the view takes the dictionary prefix
  const char* countFrom;
};

constexpr RootBranch kRootBranches[] = {
    {".ALL LOBS", true, "/*+ RULE */ COUNT(*) FROM %LOBS"},
    {".PARTITIONED TABLES", true, "COUNT(*) FROM %PART_TABLES"},
    {".REF COLUMNS", true, "COUNT(*) FROM %REFS"},
    {".UNUSED COLUMNS", true, "COUNT(*) FROM %UNUSED_COL_TABS"},
    {".VARRAY COLUMNS", true, "COUNT(*) FROM %VARRAYS"},
    {".Nested tables", false, "COUNT(*) FROM ALL_NESTED_TABLES"},
    {".Object tables", false, "COUNT(*) FROM ALL_OBJECT_TABLES"},
};

void TablesRoot(Listing& l) {
  l.UseModes(kUserNameCount);
  ListingNote note(l.request);
  for (const RootBranch& b : kRootBranches) {
    const std::string sql = "SELECT " + WithDictionaryPrefix(b.countFrom, l.Module().Prefix());
    AddGuardedDetail(l, b.name, [&] { return CountRows(l, sql, {}); });
  }
  l.ListStatement(kStmtTablesOwners, Owners());
}

// A branch of object or nested tables: owners, an owner's tables, a table.
void TypedTables(Listing& l, int ownersStatement, int tablesStatement, const ItemColumns& tables, TableKind kind) {
  if (l.Level(4).empty()) {
    l.UseModes(kUserNameCount);
    l.ListStatement(ownersStatement, Owners());
  } else if (l.Level(5).empty()) {
    l.UseModes(kDefault);
    l.ListStatement(tablesStatement, tables, {{"OWNER", ExactOwner(l, 4)}});
  } else {
    ListTableDirectory(l, ExactOwner(l, 4), 5, kind);
  }
}

// The lists of the tables root that have nothing below them.
void FlatBranch(Listing& l, const char* modes, int statement, const ItemColumns& shape) {
  if (!l.Level(4).empty()) return;
  l.UseModes(modes);
  l.ListStatement(statement, shape);
}

void ListTablesTree(Listing& l) {
  const std::string branch = l.Level(3);
  if (branch.empty()) {
    TablesRoot(l);
  } else if (branch == ".OBJECT TABLES") {
    TypedTables(l, kStmtObjectTablesOwners, kStmtObjectTablesOfOwner,
                {{"FILENAME", "CUSTOM_DESCRIPTION"}, true, "CREATED", "LAST_DDL_TIME", "BLOCKS"}, TableKind::Object);
  } else if (branch == ".NESTED TABLES") {
    TypedTables(l, kStmtNestedTablesOwners, kStmtNestedTablesOfOwner,
                {{"TABLE_NAME", "CUSTOM_DESCRIPTION"}, true, "CREATED", "LAST_DDL_TIME", ""}, TableKind::Nested);
  } else if (branch == ".VARRAY COLUMNS") {
    if (l.Level(4).empty()) {
      l.UseModes(kUserNameCount);
      l.ListStatement(kStmtVarrayColumnsOwners, Owners());
    } else if (l.Level(5).empty()) {
      l.UseModes("TableColumnPanelModes");
      l.ListStatement(kStmtVarrayColumnsOfOwner,
                      {{"PARENT_TABLE_NAME", "PARENT_TABLE_COLUMN", "TYPENAME", "RETURN_TYPE"}, true, "", "", ""},
                      {{"OWNER", ExactOwner(l, 4)}});
    }
  } else if (branch == ".UNUSED COLUMNS") {
    FlatBranch(l, kDefault, kStmtUnusedColumns, {{"FILENAME", "COUNT"}, true, "", "", ""});
  } else if (branch == ".ALL LOBS") {
    FlatBranch(l, "TableNameColumnNamePanelModes", kStmtAllLobs,
               {{"FILENAME", "COLUMN_NAME", "CUSTOM_DESCRIPTION"}, true, "", "", ""});
  } else if (branch == ".PARTITIONED TABLES") {
    FlatBranch(l, "TableNameOwnerCountPanelModes", kStmtPartitionedTables,
               {{"TABLE_NAME", "OWNER", "PARTITION_COUNT"}, true, "", "", ""});
  } else if (branch == ".REF COLUMNS") {
    // Offered by its count, but there is no listing of its own.
  } else if (l.Level(4).empty()) {
    l.UseModes(kDefault);
    l.ListStatement(kStmtTablesOfOwner,
                    {{"FILENAME", "DESCRIPTION"}, true, "CREATED", "LAST_DDL_TIME", "BLOCKS"},
                    {{"OWNER", ExactOwner(l, 3)}});
  } else {
    ListTableDirectory(l, ExactOwner(l, 3), 4, TableKind::Ordinary);
  }
}

void ListViewsTree(Listing& l) {
  if (l.Level(3).empty()) {
    l.UseModes(kUserNameCount);
    l.ListStatement(kStmtViewsOwners, Owners());
  } else if (l.Level(4).empty()) {
    l.UseModes(kDefault);
    l.ListStatement(kStmtViewsOfOwner,
                    {{"VIEW_NAME", "CUSTOM_DESCRIPTION"}, true, "CREATED", "LAST_DDL_TIME", "TEXT_LENGTH"},
                    {{"OWNER", ExactOwner(l, 3)}});
  } else {
    ListTableDirectory(l, ExactOwner(l, 3), 4, TableKind::View);
  }
}

}  // namespace

void ListTables(Listing& l) {
  if (l.Connected()) ListTablesTree(l);
}
void ListViews(Listing& l) {
  if (l.Connected()) ListViewsTree(l);
}
void ListIndexes(Listing& l) { ListIndexTree(l); }
void ListClusters(Listing& l) { ListClusterTree(l); }

}  // namespace catalog
