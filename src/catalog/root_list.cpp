// root_list.cpp — the root list is constant data.
#include "catalog/root_list.h"

#include "catalog/item_builders.h"

namespace catalog {

const std::vector<std::pair<std::string, std::string>>& RootDirectories() {
  static const std::vector<std::pair<std::string, std::string>> kRoot = {
      {".Instance parameters", "The state of the current instance"},
      {".Statistics", ""},
      {".Catalog by User", "All tables, views, synonyms, and sequences accessible to the user"},
      {".Errors", "Current errors on all objects accessible to the user"},
      {".Misc", ""},
      {"All types", "The types accessible to the user"},
      {"All objects", "All objects in the database"},
      {"Clusters", "All clusters accessible to the user"},
      {"Contexts", "All active context information"},
      {"Database Links", "Database links accessible to the user"},
      {"Dimensions", "All dimension objects"},
      {"Directories", "All directories accessible to the user"},
      {"Functions", ""},
      {"Indexes", "List of indexes on tables accessible to the user"},
      {"Libraries", "All libraries that a user can access"},
      {"Operators", "The list of operators"},
      {"Outlines", "The information about outlines"},
      {"Packages", ""},
      {"Procedures", ""},
      {"Java", "All java objects in the database"},
      {"Queues", "The information about queues the user has enqueue or dequeue privilege on"},
      {"Refresh groups", ""},
      {"Resource plans", "All resource plans which exist in the database"},
      {"Sequences", ""},
      {"Snapshot logs", "All snapshot logs"},
      {"Snapshots", "All snapshots accessible to the user"},
      {"Snapshots - registered", "All registered snapshots"},
      {"Storage", ""},
      {"Synonyms", ""},
      {"Tables", ""},
      {"Timeseries", "The timeseries groups"},
      {"Triggers", ""},
      {"Users", ""},
      {"Views", ""},
  };
  return kRoot;
}

void ListRoot(panel::FindDataRequest& request) { AddItemPairs(request, RootDirectories(), true); }

}  // namespace catalog
