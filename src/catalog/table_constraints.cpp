// table_constraints.cpp — constraint lists, records and constraint columns.
#include "catalog/table_constraints.h"

#include <cstdint>
#include <exception>
#include <map>
#include <optional>

#include "catalog/item_builders.h"
#include "catalog/listing_errors.h"
#include "catalog/table_helpers.h"
#include "connection/column_comments.h"
#include "connection/field_text.h"

namespace catalog {
namespace {

constexpr const char* kConstraintTypeName =
    "DECODE (C.CONSTRAINT_TYPE, 'C', 'Check', 'P', 'Primary', 'V', 'Check', 'O', 'ReadOnly', 'U', 'Unique', "
    "C.CONSTRAINT_TYPE) AS C_TYPE";

void RunInto(Listing& l, const std::string& sql, const std::vector<std::string>& columns, const VariablePairs& keys) {
  std::vector<std::string> names;
  for (const auto& k : keys) names.push_back(k.first);
  auto q = l.Module().CreateNewOracleQuery(names);
  if (!q) return;
  q->SetSQL(sql);
  MakeItemsFromDataSetByColumns(l.request, *q, {columns, true, "", "", ""}, keys);
}

}  // namespace

void ListTableConstraints(Listing& l, const std::string& owner, const std::string& table) {
  if (!l.Connected()) return;
  const std::string& p = l.Module().Prefix();
  const VariablePairs keys{{"TABLE_NAME", table}, {"OWNER", owner}};
  const std::vector<std::string> columns{"FILENAME", "C_TYPE", "STATUS", "DELETE_RULE", "CUSTOM_DESCRIPTION"};
  RunInto(l,
          std::string("SELECT C.CONSTRAINT_NAME AS FILENAME, C.DELETE_RULE,") + kConstraintTypeName +
              ", C.STATUS, C.SEARCH_CONDITION AS CUSTOM_DESCRIPTION FROM " + p +
              "CONSTRAINTS C WHERE C.TABLE_NAME = :TABLE_NAME AND C.OWNER = :OWNER AND C.CONSTRAINT_TYPE != 'R'",
          columns, keys);
  RunInto(l,
          "SELECT DISTINCT C.CONSTRAINT_NAME AS FILENAME, 'Foreign' AS C_TYPE, C.DELETE_RULE,C.STATUS, '-> ' || "
          "CL.OWNER || '.' || CL.TABLE_NAME AS CUSTOM_DESCRIPTION FROM " +
              p + "CONSTRAINTS C, " + p +
              "CONS_COLUMNS CL WHERE C.TABLE_NAME = :TABLE_NAME AND C.OWNER = :OWNER AND C.CONSTRAINT_TYPE = 'R' AND "
              "C.R_CONSTRAINT_NAME = CL.CONSTRAINT_NAME AND C.R_OWNER = CL.OWNER",
          columns, keys);
}

void ListColumnConstraints(Listing& l, const std::string& owner, const std::string& table, const std::string& column) {
  if (!l.Connected()) return;
  const std::string& p = l.Module().Prefix();
  const VariablePairs keys{{"TABLE_NAME", table}, {"OWNER", owner}, {"COLUMN_NAME", column}};
  const std::vector<std::string> columns{"FILENAME", "C_TYPE", "STATUS", "DELETE_RULE", "CUSTOM_DESCRIPTION",
                                         "REF_TABLE"};
  RunInto(l,
          std::string("SELECT C.CONSTRAINT_NAME AS FILENAME, ") + kConstraintTypeName +
              ", C.STATUS, C.LAST_CHANGE, C.SEARCH_CONDITION AS CUSTOM_DESCRIPTION, NULL AS REF_TABLE, C.DELETE_RULE "
              "FROM " +
              p + "CONSTRAINTS C, " + p +
              "CONS_COLUMNS CL WHERE C.TABLE_NAME = :TABLE_NAME AND C.OWNER = :OWNER AND C.CONSTRAINT_TYPE != 'R' "
              "AND C.OWNER = CL.OWNER AND C.TABLE_NAME = CL.TABLE_NAME AND C.CONSTRAINT_NAME = CL.CONSTRAINT_NAME "
              "AND CL.COLUMN_NAME = :COLUMN_NAME",
          columns, keys);
  RunInto(l,
          "SELECT DISTINCT C.CONSTRAINT_NAME AS FILENAME, 'Foreign' AS C_TYPE, C.STATUS, C.LAST_CHANGE, '-> ' || "
          "C.R_OWNER || '.' || CR.TABLE_NAME || '.' || CR.COLUMN_NAME AS CUSTOM_DESCRIPTION,C.R_OWNER || '.' || "
          "CR.TABLE_NAME AS REF_TABLE, C.DELETE_RULE FROM " +
              p + "CONSTRAINTS C, " + p + "CONS_COLUMNS CL, " + p +
              "CONS_COLUMNS CR WHERE C.TABLE_NAME = :TABLE_NAME AND C.OWNER = :OWNER AND C.CONSTRAINT_TYPE = 'R' AND "
              "C.OWNER = CL.OWNER AND C.TABLE_NAME = CL.TABLE_NAME AND C.CONSTRAINT_NAME = CL.CONSTRAINT_NAME AND "
              "CL.COLUMN_NAME = :COLUMN_NAME AND C.R_CONSTRAINT_NAME = CR.CONSTRAINT_NAME AND C.R_OWNER = CR.OWNER",
          columns, keys);
}

void ListConstraintRecord(Listing& l, const std::string& owner, const std::string& constraint) {
  if (!l.Connected()) return;
  l.UseModes("ObjectValuePanelModes");
  AddItem(l.request, ".COLUMNS", {""}, true);
  ListRecord(l, l.Module().Prefix() + "CONSTRAINTS", "CONSTRAINT_NAME = :NAME AND OWNER = :OWNER",
             {{"NAME", constraint}, {"OWNER", owner}});
}

void MakeItemsForConstraintColumns(Listing& l, const std::string& owner, const std::string& constraint) {
  if (!l.Connected()) return;
  auto& m = l.Module();
  const std::string& p = m.Prefix();
  try {
    auto c = m.CreateNewOracleQuery({"NAME", "OWNER"});
    auto cols = m.CreateNewOracleQuery({"NAME", "OWNER"});
    if (!c || !cols) return;
    c->SetSQL("SELECT C.* FROM " + p + "CONSTRAINTS C WHERE C.CONSTRAINT_NAME = :NAME AND C.OWNER = :OWNER");
    cols->SetSQL("SELECT * FROM " + p + "CONS_COLUMNS WHERE CONSTRAINT_NAME = :NAME AND OWNER = :OWNER");
    for (auto* q : {c.get(), cols.get()}) {
      q->SetVariable("NAME", constraint);
      q->SetVariable("OWNER", owner);
      q->Execute();
    }
    // A constraint that is not there (or not visible) has no columns to show.
    if (c->Eof()) return;
    const bool foreign = c->FieldAsString("CONSTRAINT_TYPE") == "R";
    const std::string refName = c->FieldAsString("R_CONSTRAINT_NAME");
    const std::string refOwner = c->FieldAsString("R_OWNER");
    const std::string condition = connection::GetFieldText(*c, "SEARCH_CONDITION");
    // A foreign key's referenced columns by position, read in one statement
    // before the loop rather than one statement per column.
    std::map<std::int64_t, std::string> referenced;
    if (foreign) {
      auto ref = m.CreateNewOracleQuery({"NAME", "OWNER"});
      if (!ref) return;
      ref->SetSQL("SELECT POSITION, TABLE_NAME, COLUMN_NAME FROM " + p +
                  "CONS_COLUMNS WHERE CONSTRAINT_NAME = :NAME AND OWNER = :OWNER");
      ref->SetVariable("NAME", refName);
      ref->SetVariable("OWNER", refOwner);
      for (ref->Execute(); !ref->Eof(); ref->Next())
        if (!ref->FieldIsNull("POSITION"))
          referenced.emplace(ref->FieldAsInteger("POSITION"),
                             ref->FieldAsString("TABLE_NAME") + "." + ref->FieldAsString("COLUMN_NAME"));
    }
    std::optional<connection::ColumnComments> comments;
    while (!cols->Eof()) {
      std::string description;
      if (foreign) {
        const auto target =
            cols->FieldIsNull("POSITION") ? referenced.end() : referenced.find(cols->FieldAsInteger("POSITION"));
        if (target != referenced.end()) {
          description = "-> ";
          if (refOwner != owner) description += refOwner + ".";
          description += target->second;
        }
      } else {
        description = condition;
      }
      const std::string column = cols->FieldAsString("COLUMN_NAME");
      // The table's comments in one statement, read at its first column.
      if (!comments) comments.emplace(m, owner, cols->FieldAsString("TABLE_NAME"));
      AddItem(l.request, column, {description, comments->Of(column)}, false);
      cols->Next();
    }
  } catch (...) {
    HandleListingError(l.request, std::current_exception(), "MakeItemsForConstraintColumns: ");
  }
}

}  // namespace catalog
