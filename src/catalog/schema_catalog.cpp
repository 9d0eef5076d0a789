// schema_catalog.cpp — the owner-grouped kinds as one table, and the kinds
// with records or branches of their own.
#include "catalog/schema_catalog.h"

#include <functional>
#include <map>

#include "catalog/code_family.h"
#include "catalog/code_queries.h"
#include "catalog/item_builders.h"
#include "catalog/listing_errors.h"
#include "connection/statement_catalogue.h"

namespace catalog {
namespace {

using namespace connection;

const char* const kUserNameCount = "UserNameCountPanelModes";
const char* const kDefault = "DefaultPanelModes";
const char* const kObjectValue = "ObjectValuePanelModes";

// Level 4 of an owner-grouped kind (level 5 and deeper are its own business).
using ObjectLevel = std::function<void(Listing&)>;

struct OwnerGroupedKind {
  int ownersStatement;
  std::string ownerColumn;
  std::string ownersModes;
  int objectsStatement;
  ItemColumns objects;
  std::string objectsModes;
  ObjectLevel objectLevel;  // null: nothing below an object
};

ItemColumns Owners(const std::string& column) { return {{column, "COUNTS"}, true, "", "", ""}; }

ItemColumns Objects(std::vector<std::string> columns, bool directories, bool dated = false) {
  return {std::move(columns), directories, dated ? "CREATED" : "", dated ? "LAST_DDL_TIME" : "", ""};
}

// Record listings of an object at level 4.
void Record(Listing& l, const std::string& view, const std::string& condition, const VariablePairs& vars) {
  l.UseModes(kObjectValue);
  MakeRecordItemsWithComments(l.request, l.Module(), view, condition, vars);
}

void QueueRecord(Listing& l) {
  if (l.Level(5).empty()) {
    l.UseModes(kObjectValue);
    MakeRecordItemsWithComments(l.request, l.Module(), l.Module().Prefix() + "QUEUES", "QID = :ID",
                                {{"ID", l.Level(4)}});
    AddItem(l.request, ".TABLES", {}, true);
  } else if (l.Level(5) == ".TABLES" && l.Level(6).empty()) {
    try {
      auto q = l.Module().CreateOracleQueryByKind(kStmtQueueTables);
      if (!q) return;
      q->SetVariable("OWNER", l.Level(4));
      q->Execute();
      l.UseModes(kObjectValue);
      MakeItemsFromRecord(l.request, *q, true);
    } catch (...) {
      HandleListingError(l.request, std::current_exception());
    }
  }
}

// A refresh group is no object of its own: it is looked up among the
// owner's refresh groups.
VariablePairs RefreshGroupKeys(Listing& l) {
  const std::string owner = ExactOwner(l, 3);
  return {{"OWNER", owner},
          {"NAME", ExactLevel(l, 4,
                              {"SELECT COUNT(*) FROM " + l.Module().Prefix() + "REFRESH WHERE ROWNER = :OWNER AND "
                               "RNAME = :N",
                               {{"OWNER", owner}}})}};
}

void RefreshGroupRecord(Listing& l) {
  if (l.Level(5).empty()) {
    l.UseModes(kObjectValue);
    AddItem(l.request, ".CHILDREN", {}, true);
    MakeRecordItemsWithComments(l.request, l.Module(), l.Module().Prefix() + "REFRESH",
                                "ROWNER = :OWNER AND RNAME = :NAME", RefreshGroupKeys(l));
  } else if (l.Level(5) == ".CHILDREN" && l.Level(6).empty()) {
    l.UseModes("NameTypeNameTypePanelModes");
    l.ListStatement(kStmtRefreshGroupChildren, Objects({"FILENAME", "TYPE"}, false), RefreshGroupKeys(l));
  }
}

const std::map<std::string, OwnerGroupedKind>& OwnerGroupedKinds() {
  static const std::map<std::string, OwnerGroupedKind> kinds = {
      {"TIMESERIES",
       {kStmtTimeseriesOwners, "OWNER", kUserNameCount, kStmtTimeseriesGroupsOfOwner,
        Objects({"GROUP_NAME", "STORAGE_MODEL", "DESCRIPTION"}, true), "NameStorageModelPanelModes", nullptr}},
      {"DIRECTORIES",
       {kStmtDirectoriesOwners, "OWNER", kUserNameCount, kStmtDirectoriesOfOwner,
        Objects({"DIRECTORY_NAME", "CUSTOM_DESCRIPTION"}, false, true), kDefault, nullptr}},
      {".CATALOG BY USER",
       {kStmtCatalogOwners, "OWNER", kUserNameCount, kStmtCatalogOfOwner,
        Objects({"FILENAME", "DESCRIPTION"}, true, true), kDefault, nullptr}},
      {".ERRORS",
       {kStmtErrorsOwners, "OWNER", kUserNameCount, kStmtErrorObjectsOfOwner,
        Objects({"FILENAME", "DESCRIPTION"}, true, true), kDefault,
        ListErrorsOfObject}},
      {"DATABASE LINKS",
       {kStmtDbLinksOwners, "OWNER", kUserNameCount, kStmtDbLinksOfOwner,
        Objects({"DB_LINK", "DESCRIPTION"}, false), kDefault, nullptr}},
      {"QUEUES",
       {kStmtQueuesOwners, "OWNER", kUserNameCount, kStmtQueuesOfOwner,
        Objects({"QID", "NAME", "QUEUE_TYPE", "QUEUE_TABLE", "MAX_RETRIES", "ENQUEUE_ENABLED",
                 "DEQUEUE_ENABLED", "RETENTION", "USER_COMMENT"},
                true),
        "QIDNameTypePanelModes", QueueRecord}},
      {"CONTEXTS",
       {kStmtContextsOwners, "SCHEMA", kUserNameCount, kStmtContextsOfOwner,
        Objects({"NAMESPACE", "PACKAGE"}, true), "NamespacePackagePanelModes", nullptr}},
      {"REFRESH GROUPS",
       {kStmtRefreshGroupsOwners, "ROWNER", kUserNameCount, kStmtRefreshGroupsOfOwner,
        Objects({"RNAME"}, true), kDefault, RefreshGroupRecord}},
      {"SNAPSHOT LOGS",
       {kStmtSnapshotLogsOwners, "LOG_OWNER", kUserNameCount, kStmtSnapshotLogsOfOwner,
        Objects({"LOG_TABLE"}, true), kDefault,
        [](Listing& l) {
          // The record reads the same prefixed view as the lists above it,
          // so a user without the catalog role sees it too.
          if (l.Level(5).empty())
            Record(l, l.Module().Prefix() + "SNAPSHOT_LOGS", "LOG_OWNER = :OWNER AND LOG_TABLE = :NAME",
                   {{"OWNER", ExactOwner(l, 3)}, {"NAME", ExactObject(l, 4, {"TABLE"})}});
        }}},
      {"SNAPSHOTS - REGISTERED",
       {kStmtRegisteredSnapshotsOwners, "OWNER", kUserNameCount, kStmtRegisteredSnapshotsOfOwner,
        Objects({"NAME"}, false), kDefault, nullptr}},
      {"SNAPSHOTS",
       {kStmtSnapshotsOwners, "OWNER", kUserNameCount, kStmtSnapshotsOfOwner, Objects({"NAME"}, true),
        kDefault,
        [](Listing& l) {
          if (l.Level(5).empty())
            Record(l, l.Module().Prefix() + "SNAPSHOTS", "OWNER = :OWNER AND NAME = :NAME",
                   {{"OWNER", ExactOwner(l, 3)}, {"NAME", ExactObject(l, 4)}});
        }}},
      // Grouped by object type instead of owner; the type is bound as OWNER.
      {"ALL OBJECTS",
       {kStmtAllObjectsTypes, "OBJECT_TYPE", kUserNameCount, kStmtAllObjectsOfType,
        Objects({"FILENAME", "CUSTOM_DESCRIPTION"}, true, true), kDefault, nullptr}},
  };
  return kinds;
}

void ListOwnerGrouped(Listing& l, const OwnerGroupedKind& kind) {
  if (l.Level(3).empty()) {
    l.UseModes(kind.ownersModes);
    l.ListStatement(kind.ownersStatement, Owners(kind.ownerColumn));
  } else if (l.Level(4).empty()) {
    l.UseModes(kind.objectsModes);
    l.ListStatement(kind.objectsStatement, kind.objects, {{"OWNER", ExactOwner(l, 3)}});
  } else if (kind.objectLevel) {
    kind.objectLevel(l);
  }
}

// Resource plans and their directives are no objects either.
std::string ResourcePlan(Listing& l) {
  return ExactLevel(l, 3, {"SELECT COUNT(*) FROM " + l.Module().Prefix() + "RSRC_PLANS WHERE PLAN = :N", {}});
}

void ListResourcePlans(Listing& l) {
  if (l.Level(3).empty()) {
    l.UseModes("PlanStatusMndDirsPanelModes");
    l.ListStatement(kStmtResourcePlans,
                    Objects({"PLAN", "STATUS", "MANDATORY", "NUM_PLAN_DIRECTIVES", "CPU_METHOD", "COMMENTS"}, true));
  } else if (l.Level(4).empty()) {
    l.UseModes("NameTypeStatusMndPanelModes");
    l.ListStatement(kStmtResourcePlanDirectives,
                    Objects({"GROUP_OR_SUBPLAN", "TYPE", "STATUS", "MANDATORY", "COMMENTS"}, true),
                    {{"OWNER", ResourcePlan(l)}});
  } else if (l.Level(5).empty()) {
    std::string view = l.Module().Prefix() + "RSRC_PLAN_DIRECTIVES";
    const std::string plan = ResourcePlan(l);
    VariablePairs keys{{"PLAN", plan},
                       {"NAME", ExactLevel(l, 4,
                                           {"SELECT COUNT(*) FROM " + view + " WHERE PLAN = :PLAN AND "
                                            "GROUP_OR_SUBPLAN = :N",
                                            {{"PLAN", plan}}})}};
    Record(l, view, "PLAN = :PLAN AND GROUP_OR_SUBPLAN = :NAME", keys);
    // A link to the consumer group or sub-plan the directive names.
    try {
      auto q = l.Module().CreateNewOracleQuery({"PLAN", "NAME"});
      if (!q) return;
      for (const auto& [k, v] : keys) q->SetVariable(k, v);
      q->SetSQL("SELECT TYPE, GROUP_OR_SUBPLAN FROM " + view + " WHERE PLAN = :PLAN AND GROUP_OR_SUBPLAN = :NAME");
      q->Execute();
      if (!q->Eof())
        AddItem(l.request, "." + q->FieldAsString("TYPE"),
                {q->FieldAsString("GROUP_OR_SUBPLAN"), "Link to the consumer group/sub-plan"}, true);
    } catch (...) {
      HandleListingError(l.request, std::current_exception());
    }
  }
}

struct MiscBranch {
  const char* name;
  const char* countedView;
  const char* description;
};

constexpr MiscBranch kMiscBranches[] = {
    {".WORDS", "V$RESERVED_WORDS", "All the keywords that are used by the PL/SQL compiler"},
    {".DICTIONARY DESCRIPTION", "DICTIONARY", "The descriptions of data dictionary tables and views"},
    {".FIXED TABLES", "V$FIXED_TABLE", "All dynamic performance tables, views, and derived tables in the database"},
    {".SQL*PLUS HELP", "SYSTEM.HELP", "SQL*PLUS help"},
};

void ListMisc(Listing& l) {
  const std::string branch = l.Level(3);
  if (branch.empty()) {
    l.UseModes(kObjectValue);
    for (const MiscBranch& b : kMiscBranches)
      AddCountedDirectory(l.request, l.Module(), b.countedView, b.name, b.description);
    return;
  }
  const bool top = l.Level(4).empty();
  if (branch == ".WORDS" && top) {
    l.ListStatement(kStmtReservedWords, Objects({"KEYWORD"}, false));
  } else if (branch == ".DICTIONARY DESCRIPTION") {
    l.UseModes(kDefault);
    if (top)
      l.ListStatement(kStmtDictionary, Objects({"TABLE_NAME", "COMMENTS"}, true));
    else if (l.Level(5).empty())
      l.ListStatement(kStmtDictionaryColumns, Objects({"COLUMN_NAME", "COMMENTS"}, false), {{"OWNER", l.Level(4)}});
  } else if (branch == ".FIXED TABLES") {
    if (top) {
      l.UseModes("NameTypeObjIDTablePanelModes");
      l.ListStatement(kStmtFixedTables, Objects({"NAME", "TYPE", "OBJECT_ID", "TABLE_NUM"}, true));
    } else if (l.Level(5).empty()) {
      l.UseModes("ColumnIndexPositionPanelModes");
      l.ListStatement(kStmtFixedTableIndexedColumns,
                      Objects({"COLUMN_NAME", "INDEX_NUMBER", "COLUMN_POSITION"}, false), {{"OWNER", l.Level(4)}});
    }
  } else if (branch == ".SQL*PLUS HELP") {
    if (top) {
      l.ListStatement(kStmtSqlPlusHelpTopics, Objects({"TOPIC", "TOPIC"}, true));
    } else if (l.Level(5).empty()) {
      l.UseModes("NTextPanelModes");
      l.ListStatement(kStmtSqlPlusHelpTopic, Objects({"NUM", "INFO"}, false), {{"OWNER", l.Level(4)}});
    }
  }
}

}  // namespace

bool ListSchemaKind(Listing& l, const std::string& kind) {
  const auto& kinds = OwnerGroupedKinds();
  auto it = kinds.find(kind);
  if (it != kinds.end()) {
    if (l.Connected()) ListOwnerGrouped(l, it->second);
    return true;
  }
  if (kind == "RESOURCE PLANS") {
    if (l.Connected()) ListResourcePlans(l);
    return true;
  }
  if (kind == ".MISC") {
    if (l.Connected()) ListMisc(l);
    return true;
  }
  return false;
}

void ListAllUsers(Listing& l) {
  if (!l.Connected() || !l.Level(3).empty()) return;
  l.ListStatement(kStmtAllUsers, Objects({"USERNAME"}, true));
}

}  // namespace catalog
