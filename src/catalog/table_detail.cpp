// table_detail.cpp — the object-detail builder of tables and views and the
// routing of their detail directories to the lists that fill them.
#include "catalog/table_detail.h"

#include <iterator>

#include "catalog/code_queries.h"
#include "catalog/detail_counts.h"
#include "catalog/item_builders.h"
#include "catalog/listing_errors.h"
#include "catalog/object_lists.h"
#include "catalog/table_columns.h"
#include "catalog/table_constraints.h"
#include "catalog/table_partitions.h"
#include "connection/statement_catalogue.h"

namespace catalog {
namespace {

using namespace connection;

// The record view and its key column by kind.
struct RecordSource {
  std::string view;
  std::string key;
};

RecordSource RecordOf(Listing& l, TableKind kind) {
  const std::string& prefix = l.Module().Prefix();
  switch (kind) {
    case TableKind::Ordinary: return {l.Module().Caps().tablesView, "TABLE_NAME"};
    case TableKind::Object: return {prefix + "OBJECT_TABLES", "TABLE_NAME"};
    case TableKind::Nested: return {prefix + "NESTED_TABLES", "TABLE_NAME"};
    case TableKind::View: break;
  }
  return {prefix + "VIEWS", "VIEW_NAME"};
}

// One counted detail of the object directory, in the order of the table
// below: its name, the kinds it applies to, and either a plain
// "SELECT COUNT(*) FROM ..." tail (the prefix written as "%") or null when
// the count is special.
struct CountedDetail {
  const char* name;
  bool ordinary, object, nested, view;
  const char* countTail;
  const char* description;
};

constexpr CountedDetail kCountedDetails[] = {
    {".COLUMNS", true, true, true, true, "%TAB_COLUMNS WHERE TABLE_NAME = :NAME AND OWNER = :OWNER", ""},
    {".QUEUES", true, true, true, true, "%QUEUES WHERE OWNER = :OWNER AND QUEUE_TABLE = :NAME", ""},
    {".REF BY CONSTRAINTS", true, true, true, true,
     "%CONS_COLUMNS CR,%CONSTRAINTS C WHERE CR.OWNER = :OWNER AND CR.TABLE_NAME = :NAME AND "
     "CR.OWNER = C.R_OWNER AND CR.CONSTRAINT_NAME = C.R_CONSTRAINT_NAME AND C.CONSTRAINT_TYPE = 'R'",
     ""},
    {".REFERENCED FROM", true, true, true, true,
     "%DEPENDENCIES WHERE REFERENCED_NAME = :NAME AND REFERENCED_OWNER = :OWNER AND REFERENCED_TYPE = :TYPE", ""},
    {".TRIGGERS", true, true, false, true, "%TRIGGERS WHERE TABLE_OWNER = :OWNER AND TABLE_NAME = :NAME", ""},
    {".INDEXES", true, true, true, false, "%INDEXES WHERE TABLE_NAME = :NAME AND TABLE_OWNER = :OWNER", ""},
    {".CONSTRAINTS", true, true, true, true, "%CONSTRAINTS WHERE OWNER = :OWNER AND TABLE_NAME = :NAME", ""},
    {".GRANTEE", true, true, true, true, nullptr, "The users to whom access is granted"},
    {".PARTITIONS", true, true, true, true, "%TAB_PARTITIONS WHERE TABLE_OWNER = :OWNER AND TABLE_NAME = :NAME", ""},
    {".CLUSTER COLUMNS", true, true, true, true, "DBA_CLU_COLUMNS WHERE OWNER = :OWNER AND TABLE_NAME = :NAME", ""},
    {".UNUSED COLUMNS", true, true, true, true, nullptr, ""},
    {".DIMENSIONS", true, true, true, true, nullptr, "The dimensions references to this table"},
    {".SYNONYMS", true, true, true, true, nullptr, ""},
    {".ERRORS", false, false, false, true, nullptr, ""},
    {".DEPENDENCIES", false, false, false, true, nullptr, ""},
    {".AUDIT OPTIONS", true, true, true, true,
     "DBA_OBJ_AUDIT_OPTS WHERE OWNER = :OWNER AND OBJECT_NAME = :NAME AND (ALT != '-/-' OR AUD != '-/-' OR "
     "COM != '-/-' OR CRE != '-/-' OR DEL != '-/-' OR EXE != '-/-' OR GRA != '-/-' OR IND != '-/-' OR "
     "INS != '-/-' OR LOC != '-/-' OR REA != '-/-' OR REF != '-/-' OR REN != '-/-' OR SEL != '-/-' OR "
     "UPD != '-/-' OR WRI != '-/-')",
     "The auditing options"},
};

bool AppliesTo(const CountedDetail& d, TableKind kind) {
  switch (kind) {
    case TableKind::Ordinary: return d.ordinary;
    case TableKind::Object: return d.object;
    case TableKind::Nested: return d.nested;
    case TableKind::View: break;
  }
  return d.view;
}

// The count of a detail whose query is not a plain COUNT(*) tail.
long long SpecialCount(Listing& l, const std::string& detail, const std::string& owner, const std::string& name,
                       TableKind kind) {
  auto& m = l.Module();
  const std::string& prefix = m.Prefix();
  const VariablePairs keys{{"OWNER", owner}, {"NAME", name}};
  if (detail == ".GRANTEE") {
    return prefix == "ALL_"
               ? CountRows(l, "SELECT COUNT(*) FROM ALL_TAB_PRIVS WHERE TABLE_SCHEMA = :OWNER AND TABLE_NAME = :NAME",
                           keys)
               : CountRows(l, "SELECT COUNT(*) FROM DBA_TAB_PRIVS WHERE OWNER = :OWNER AND TABLE_NAME = :NAME", keys);
  }
  if (detail == ".UNUSED COLUMNS") {
    auto q = m.CreateNewOracleQuery({"OWNER", "NAME"});
    if (!q) return 0;
    q->SetVariable("OWNER", owner);
    q->SetVariable("NAME", name);
    q->SetSQL("SELECT * FROM " + prefix + "UNUSED_COL_TABS WHERE OWNER = :OWNER AND TABLE_NAME = :NAME");
    q->Execute();
    return q->Eof() || q->FieldIsNull("COUNT") ? 0 : q->FieldAsInteger("COUNT");
  }
  if (detail == ".DIMENSIONS") {
    return CountRows(l,
                     "SELECT COUNT(DISTINCT DIMENSION_NAME) FROM " + prefix +
                         "DIM_LEVELS WHERE DETAILOBJ_OWNER = :OWNER AND DETAILOBJ_NAME = :NAME",
                     keys);
  }
  if (detail == ".SYNONYMS") return m.CountSynonymsFor(owner, name);
  if (detail == ".ERRORS") return m.CountErrorsOf(owner, name, ObjectTypeWord(kind));
  if (detail == ".DEPENDENCIES") return m.CountDependenciesOf(owner, name, ObjectTypeWord(kind));
  return 0;
}

void ListTableStatement(Listing& l, int statement, const ItemColumns& shape, const std::string& owner,
                        const std::string& name) {
  l.ListStatement(statement, shape, {{"OWNER", owner}, {"NAME", name}});
}

ItemColumns Files(std::vector<std::string> columns, bool directories = false, bool dated = false) {
  return {std::move(columns), directories, dated ? "CREATED" : "", dated ? "LAST_DDL_TIME" : "", ""};
}

// The statement that counts a special detail in the batch (empty: none),
// giving what SpecialCount gives.
TPluginDataModule::CountStatement SpecialCountStatement(Listing& l, const std::string& detail,
                                                         const std::string& owner, const std::string& name,
                                                         TableKind kind) {
  auto& m = l.Module();
  const std::string& prefix = m.Prefix();
  const VariablePairs keys{{"OWNER", owner}, {"NAME", name}};
  if (detail == ".GRANTEE")
    return {prefix == "ALL_" ? "SELECT COUNT(*) FROM ALL_TAB_PRIVS WHERE TABLE_SCHEMA = :OWNER AND TABLE_NAME = :NAME"
                             : "SELECT COUNT(*) FROM DBA_TAB_PRIVS WHERE OWNER = :OWNER AND TABLE_NAME = :NAME",
            keys};
  // The view has a row per table with unused columns; no row is none.
  if (detail == ".UNUSED COLUMNS")
    return {"SELECT \"COUNT\" FROM " + prefix + "UNUSED_COL_TABS WHERE OWNER = :OWNER AND TABLE_NAME = :NAME", keys};
  if (detail == ".DIMENSIONS")
    return {"SELECT COUNT(DISTINCT DIMENSION_NAME) FROM " + prefix +
                "DIM_LEVELS WHERE DETAILOBJ_OWNER = :OWNER AND DETAILOBJ_NAME = :NAME",
            keys};
  if (detail == ".SYNONYMS") return m.SynonymsForCount(owner, name);
  if (detail == ".ERRORS") return m.ErrorsOfCount(owner, name, ObjectTypeWord(kind));
  if (detail == ".DEPENDENCIES") return m.DependenciesOfCount(owner, name, ObjectTypeWord(kind));
  return {};
}

}  // namespace

void MakeObjectDetailItems(Listing& l, const std::string& owner, const std::string& name, TableKind kind) {
  if (!l.Connected()) return;
  ListingNote note(l.request);
  const std::string& prefix = l.Module().Prefix();
  const VariablePairs keys{{"OWNER", owner}, {"NAME", name}};
  // Every count in one statement; should it fail, each runs alone below,
  // in this order, as if there were no batch.
  CountBatch batch(l);
  std::vector<std::size_t> index;
  for (const CountedDetail& d : kCountedDetails) {
    if (!AppliesTo(d, kind)) {
      index.push_back(0);
      continue;
    }
    const std::string detail = d.name;
    if (d.countTail != nullptr) {
      VariablePairs vars = keys;
      std::string tail = WithDictionaryPrefix(d.countTail, prefix);
      if (tail.find(":TYPE") != std::string::npos) vars.push_back({"TYPE", ObjectTypeWord(kind)});
      index.push_back(batch.Add("SELECT COUNT(*) FROM " + tail, vars));
    } else {
      const TPluginDataModule::CountStatement c = SpecialCountStatement(l, detail, owner, name, kind);
      index.push_back(batch.Add(c.sql, c.binds, [&l, detail, owner, name, kind] {
        return SpecialCount(l, detail, owner, name, kind);
      }));
    }
  }
  batch.Run();
  for (std::size_t k = 0; k < std::size(kCountedDetails); ++k) {
    const CountedDetail& d = kCountedDetails[k];
    if (!AppliesTo(d, kind)) continue;
    const std::string detail = d.name;
    const std::size_t i = index[k];
    if (detail == ".ERRORS") {
      AddGuardedDetail(l, detail, [&] { return batch.Value(i); }, d.description,
                       [](long long) { return std::string(); });
    } else {
      AddGuardedDetail(l, detail, [&] { return batch.Value(i); }, d.description);
    }
  }
  RecordSource record = RecordOf(l, kind);
  MakeRecordItemsWithComments(l.request, l.Module(), record.view, record.key + " = :NAME AND OWNER = :OWNER", keys);
}

void ListTableDirectory(Listing& l, const std::string& owner, std::size_t level, TableKind kind) {
  if (!l.Connected()) return;
  // An object table's item reads "TABLE.TYPE"; any other table or view
  // name has no type after it, so a dot there is part of the name.
  const connection::NameLookup lookup = connection::ObjectLookup(owner, {kind == TableKind::View ? "VIEW" : "TABLE"});
  const std::string name =
      kind == TableKind::Object ? ExactLevelKey(l, level, lookup) : ExactLevel(l, level, lookup);
  const std::string detail = l.Level(level + 1);
  const bool top = l.Level(level + 2).empty();
  const bool view = kind == TableKind::View;
  const bool ordinary = kind == TableKind::Ordinary;

  if (detail.empty()) {
    l.UseModes("ObjectValuePanelModes");
    MakeObjectDetailItems(l, owner, name, kind);
  } else if (detail == ".COLUMNS") {
    if (top) {
      l.UseModes(view ? "NameTypeLengthPrecPanelModes" : "NameTypePanelModes");
      ListColumns(l, owner, name, view);
    } else {
      ListColumnBranch(l, owner, name, level + 2, kind);
    }
  } else if (!top && detail != ".CONSTRAINTS" && detail != ".PARTITIONS") {
    // Only columns, constraints and partitions have levels of their own.
  } else if (detail == ".INDEXES" && !view) {
    ListTableStatement(l, kStmtTableIndexes, Files({"FILENAME", "CUSTOM_DESCRIPTION"}, true, true), owner, name);
  } else if (detail == ".TRIGGERS" && kind != TableKind::Nested) {
    ListTableStatement(l, kStmtTableTriggers, Files({"FILENAME", "CUSTOM_DESCRIPTION"}, true, true), owner, name);
  } else if (detail == ".REFERENCED FROM") {
    l.UseModes("NameObjectTypeTypeOwnerPanelModes");
    ListReferencedFrom(l, owner, name);
  } else if (detail == ".REF BY CONSTRAINTS" && ordinary) {
    l.UseModes("ColumnReferencedPanelModes");
    ListTableStatement(l, kStmtRefByConstraints, Files({"COLUMN_NAME", "FILENAME", "CONSTRAINT_NAME"}), owner, name);
  } else if (detail == ".QUEUES" && ordinary) {
    l.UseModes("QIDNameTypePanelModes");
    ListTableStatement(l, kStmtTableQueues,
                       Files({"QID", "NAME", "QUEUE_TYPE", "QUEUE_TABLE", "MAX_RETRIES", "ENQUEUE_ENABLED",
                              "DEQUEUE_ENABLED", "RETENTION", "USER_COMMENT"},
                             true),
                       owner, name);
  } else if (detail == ".CONSTRAINTS") {
    const std::string constraint =
        l.Level(level + 2).empty() ? std::string() : ExactLevelKey(l, level + 2, connection::ConstraintLookup(owner));
    if (top) {
      l.UseModes("NameTypeStatusPanelModes");
      ListTableConstraints(l, owner, name);
    } else if (!view && l.Level(level + 3).empty()) {
      ListConstraintRecord(l, owner, constraint);
    } else if (!view && l.Level(level + 4).empty()) {
      l.UseModes("ColumnReferencedPanelModes");
      MakeItemsForConstraintColumns(l, owner, constraint);
    }
  } else if (detail == ".GRANTEE") {
    l.UseModes("GrantorGranteePrivilegeAdmPanelModes");
    ListGrants(l, owner, name);
  } else if (detail == ".SYNONYMS") {
    ListSynonymsOf(l, owner, name);
  } else if (detail == ".PARTITIONS" && !view) {
    ListPartitions(l, owner, name, PartitionedObject::Table, level + 1);
  } else if (detail == ".CLUSTER COLUMNS" && !view) {
    l.UseModes("ClusterColumnTableColumnPanelModes");
    ListTableStatement(l, kStmtTableClusterColumns, Files({"CLU_COLUMN_NAME", "TAB_COLUMN_NAME"}), owner, name);
  } else if (detail == ".AUDIT OPTIONS") {
    ListRecord(l, "DBA_OBJ_AUDIT_OPTS", "OWNER = :OWNER AND OBJECT_NAME = :NAME AND OBJECT_TYPE = :OBJECTTYPE",
               {{"OWNER", owner}, {"NAME", name}, {"OBJECTTYPE", ObjectTypeWord(kind)}});
  } else if (detail == ".DIMENSIONS" && ordinary) {
    ListTableStatement(l, kStmtTableDimensions, Files({"DIMENSION_NAME"}, true), owner, name);
  } else if (detail == ".ERRORS" && view) {
    l.UseModes("NLCTextPanelModes");
    ListObjectErrors(l, owner, name, "VIEW");
  } else if (detail == ".DEPENDENCIES" && view) {
    l.UseModes("NameObjectTypeTypeOwnerPanelModes");
    ListDependencies(l, owner, name, "VIEW");
  }
}

}  // namespace catalog
