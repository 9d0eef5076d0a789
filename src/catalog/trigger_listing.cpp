// trigger_listing.cpp — "Triggers": by owner, by type and by event; a
// trigger's columns, dependencies and record.
#include "catalog/code_details.h"
#include "catalog/code_family.h"
#include "catalog/code_queries.h"
#include "catalog/item_builders.h"
#include "catalog/object_lists.h"
#include "connection/statement_catalogue.h"

namespace catalog {
namespace {

using namespace connection;

constexpr const char* kByType = ".TRIGGERS BY TYPE";
constexpr const char* kByEvents = ".TRIGGERS BY EVENTS";

const ItemColumns kTriggerList{{"FILENAME", "CUSTOM_DESCRIPTION"}, true, "CREATED", "LAST_DDL_TIME", ""};

// The triggers grouped by type or by event; the group is bound as OWNER.
void ListTriggerGroups(Listing& l, bool byType) {
  if (l.Level(4).empty()) {
    l.UseModes("UserNameCountPanelModes");
    l.ListStatement(byType ? kStmtTriggerTypes : kStmtTriggerEvents,
                    {{byType ? "TRIGGER_TYPE" : "TRIGGERING_EVENT", "COUNTS"}, true, "", "", ""});
  } else if (l.Level(5).empty()) {
    l.UseModes("DefaultPanelModes");
    l.ListStatement(byType ? kStmtTriggersOfType : kStmtTriggersOfEvent, kTriggerList,
                    {{"OWNER", ExactOwner(l, 4)}});
  }
}

void ListTriggerDetail(Listing& l, const CodeObject& o) {
  l.UseModes("ObjectValuePanelModes");
  LoadingMessage note(l.request);
  AddItem(l.request, ".COLUMNS", {}, true);
  AddDependenciesDetail(l, o, false);
  MakeRecordItemsWithComments(l.request, l.Module(), l.Module().Prefix() + "TRIGGERS",
                              "TRIGGER_NAME = :NAME AND OWNER = :OWNER", {{"NAME", o.name}, {"OWNER", o.owner}});
}

}  // namespace

void ListTriggers(Listing& l) {
  if (!l.Connected()) return;
  const std::string level3 = l.Level(3);
  if (level3.empty()) {
    l.UseModes("UserNameCountPanelModes");
    l.ListStatement(kStmtTriggersOwners, {{"OWNER", "COUNTS"}, true, "", "", ""});
    AddItem(l.request, kByEvents, {}, true);
    AddItem(l.request, kByType, {}, true);
    return;
  }
  if (level3 == kByType || level3 == kByEvents) {
    ListTriggerGroups(l, level3 == kByType);
    return;
  }
  const CodeObject o{ExactOwner(l, 3), ExactObject(l, 4, {"TRIGGER"}), "TRIGGER"};
  if (l.Level(4).empty()) {
    l.UseModes("DefaultPanelModes");
    l.ListStatement(kStmtTriggersOfOwner,
                    {{"TRIGGER_NAME", "CUSTOM_DESCRIPTION"}, true, "CREATED", "LAST_DDL_TIME", ""},
                    {{"OWNER", o.owner}});
  } else if (l.Level(5).empty()) {
    ListTriggerDetail(l, o);
  } else if (l.Level(6).empty()) {
    if (l.Level(5) == ".COLUMNS") {
      l.UseModes("NameUsagePanelModes");
      l.ListStatement(kStmtTriggerColumns, {{"COLUMN_NAME", "COLUMN_LIST", "COLUMN_USAGE"}, false, "", "", ""},
                      {{"NAME", o.name}, {"OWNER", o.owner}});
    } else if (l.Level(5) == ".DEPENDENCIES") {
      ListDependencies(l, o.owner, o.name, o.type);
    }
  }
}

}  // namespace catalog
