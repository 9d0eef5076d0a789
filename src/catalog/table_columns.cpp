// table_columns.cpp — column lists and the column directory.
#include "catalog/table_columns.h"

#include "catalog/code_queries.h"
#include "catalog/item_builders.h"
#include "catalog/listing_errors.h"
#include "catalog/table_constraints.h"
#include "connection/statement_catalogue.h"

namespace catalog {
namespace {

using namespace connection;

// The query of a column list: the last-analyzed fragment (and for views the
// updatable-columns fragment) is pasted in, the keys are bound by name.
void RunColumnList(Listing& l, const std::string& sql, const ItemColumns& shape, const VariablePairs& keys) {
  auto q = l.Module().CreateNewOracleQuery({"NAME", "OWNER"});
  if (!q) return;
  q->DeclareVariable("LAST_ANALYZED", oracle::otSubst);
  q->SetVariable("LAST_ANALYZED", l.Module().Caps().lastAnalyzed);
  q->SetSQL(sql);
  MakeItemsFromDataSetByColumns(l.request, *q, shape, keys);
}

void ColumnDetail(Listing& l, const std::string& owner, const std::string& table, const std::string& column,
                  TableKind kind) {
  const std::string& prefix = l.Module().Prefix();
  const VariablePairs keys{{"OWNER", owner}, {"NAME", table}, {"COLUMN_NAME", column}};
  l.UseModes("ObjectValuePanelModes");
  AddGuardedDetail(l, ".CONSTRAINTS", [&] {
    return CountRows(l,
                     "SELECT COUNT(*) FROM " + prefix +
                         "CONS_COLUMNS WHERE OWNER = :OWNER AND TABLE_NAME = :NAME AND COLUMN_NAME = :COLUMN_NAME",
                     keys);
  });
  if (kind == TableKind::Ordinary || kind == TableKind::View) {
    AddGuardedDetail(
        l, ".GRANTEE",
        [&] {
          return prefix == "ALL_"
                     ? CountRows(l,
                                 "SELECT COUNT(*) FROM ALL_COL_PRIVS WHERE TABLE_SCHEMA = :OWNER AND TABLE_NAME = :NAME "
                                 "AND COLUMN_NAME = :COLUMN_NAME",
                                 keys)
                     : CountRows(l,
                                 "SELECT COUNT(*) FROM DBA_COL_PRIVS WHERE OWNER = :OWNER AND TABLE_NAME = :NAME AND "
                                 "COLUMN_NAME = :COLUMN_NAME",
                                 keys);
        },
        "", [](long long n) { return std::to_string(n) + " users to whom access is granted "; });
  }
  AddGuardedDetail(
      l, ".LOB PARAMS", [&] { return l.Module().IsLobColumn(owner, table, column) ? 1 : 0; }, "",
      [](long long) { return std::string(); });
  ListRecordOfQuery(l,
                    "SELECT T.*, C.COMMENTS FROM " + prefix + "TAB_COLUMNS T, " + prefix +
                        "COL_COMMENTS C WHERE T.TABLE_NAME = :NAME AND T.OWNER = :OWNER AND T.COLUMN_NAME = "
                        ":COLUMN_NAME AND T.TABLE_NAME = C.TABLE_NAME AND T.OWNER = C.OWNER AND T.COLUMN_NAME = "
                        "C.COLUMN_NAME",
                    prefix + "TAB_COLUMNS", keys);
}

}  // namespace

void ListColumns(Listing& l, const std::string& owner, const std::string& table, bool view) {
  if (!l.Connected()) return;
  const std::string& prefix = l.Module().Prefix();
  const std::string join =
      "WHERE T.TABLE_NAME = :NAME AND T.OWNER = :OWNER AND T.TABLE_NAME = C.TABLE_NAME AND T.OWNER = C.OWNER AND "
      "T.COLUMN_NAME = C.COLUMN_NAME";
  const VariablePairs keys{{"NAME", table}, {"OWNER", owner}};
  if (!view) {
    RunColumnList(l,
                  "SELECT T.*, DECODE(T.NULLABLE, 'Y', NULL, T.NULLABLE) AS NULLNAME, :LAST_ANALYZED C.COMMENTS AS "
                  "CUSTOM_DESCRIPTION FROM " +
                      prefix + "TAB_COLUMNS T, " + prefix + "COL_COMMENTS C " + join,
                  {{"COLUMN_NAME", "DATA_TYPE", "DATA_LENGTH", "DATA_PRECISION", "NULLNAME", "DATA_DEFAULT",
                    "CUSTOM_DESCRIPTION"},
                   true, "", "", ""},
                  keys);
  } else {
    RunColumnList(l,
                  "SELECT T.*, DECODE(T.NULLABLE, 'Y', NULL, T.NULLABLE) AS NULLNAME, " +
                      l.Module().Caps().updatableColumns + ",:LAST_ANALYZED C.COMMENTS AS CUSTOM_DESCRIPTION FROM " +
                      prefix + "TAB_COLUMNS T, " + prefix + "COL_COMMENTS C, " + prefix + "UPDATABLE_COLUMNS U " +
                      join + " AND T.TABLE_NAME = U.TABLE_NAME AND T.OWNER = U.OWNER AND T.COLUMN_NAME = U.COLUMN_NAME",
                  {{"COLUMN_NAME", "DATA_TYPE", "DATA_LENGTH", "DATA_PRECISION", "NULLNAME", "UPD", "INS", "DEL",
                    "CUSTOM_DESCRIPTION"},
                   true, "", "", ""},
                  keys);
  }
}

void ListColumnBranch(Listing& l, const std::string& owner, const std::string& table, std::size_t level,
                      TableKind kind) {
  if (!l.Connected()) return;
  const std::string column = ExactLevelKey(l, level, connection::ColumnLookup(owner, table));
  const std::string detail = l.Level(level + 1);
  if (!l.Level(level + 2).empty()) return;
  const VariablePairs keys{{"OWNER", owner}, {"NAME", table}, {"COLUMN_NAME", column}};
  if (detail.empty()) {
    ColumnDetail(l, owner, table, column, kind);
  } else if (detail == ".LOB PARAMS") {
    ListRecord(l, l.Module().Prefix() + "LOBS", "OWNER = :OWNER AND TABLE_NAME = :NAME AND COLUMN_NAME = :COLUMN_NAME",
               keys);
  } else if (detail == ".CONSTRAINTS") {
    l.UseModes("NameTypeStatusPanelModes");
    ListColumnConstraints(l, owner, table, column);
  } else if (detail == ".GRANTEE" && (kind == TableKind::Ordinary || kind == TableKind::View)) {
    l.UseModes("GrantorGranteePrivilegeAdmPanelModes");
    l.ListStatement(kStmtColumnGrants, {{"GRANTOR", "GRANTEE", "PRIVILEGE", "GRANTABLE"}, false, "", "", ""}, keys);
  }
}

}  // namespace catalog
