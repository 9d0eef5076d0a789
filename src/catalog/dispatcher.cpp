// dispatcher.cpp — the routing table of level-2 names.
#include "catalog/dispatcher.h"

#include <functional>
#include <string>
#include <vector>

#include "catalog/listing_context.h"
#include "catalog/code_family.h"
#include "catalog/instance_family.h"
#include "catalog/schema_catalog.h"
#include "catalog/storage_family.h"
#include "catalog/table_family.h"
#include "catalog/users_family.h"

namespace catalog {
namespace {

struct Route {
  const char* level2;
  std::function<void(Listing&)> list;
};

const std::vector<Route>& Routes() {
  static const std::vector<Route> routes = {
      {"JAVA", ListJava},
      {"DIMENSIONS", ListDimensions},
      {"OUTLINES", ListOutlines},
      {"OPERATORS", ListOperators},
      {".INSTANCE PARAMETERS", ListInstanceParameters},
      {".STATISTICS", ListStatistics},
      {"STORAGE", ListStorage},
      {"TABLES", ListTables},
      {"LIBRARIES", ListLibraries},
      {"ALL TYPES", ListAllTypes},
      {"USERS", ListUsers},
      {"CLUSTERS", ListClusters},
      {"INDEXES", ListIndexes},
      {"PACKAGE BODIES", ListPackageBodies},
      {"PACKAGES", ListPackages},
      {"FUNCTIONS", ListRoutines},
      {"PROCEDURES", ListRoutines},
      {"SEQUENCES", ListSequences},
      {"SYNONYMS", ListSynonyms},
      {"TRIGGERS", ListTriggers},
      {"VIEWS", ListViews},
  };
  return routes;
}

}  // namespace

bool DispatchListing(panel::TOracleController& controller, panel::FindDataRequest& request) {
  panel::AddUpDirectoryItem(request);
  Listing listing{controller, request};
  const std::string kind = listing.Level(2);
  if (ListSchemaKind(listing, kind)) return true;
  for (const Route& r : Routes()) {
    if (kind == r.level2) {
      r.list(listing);
      return true;
    }
  }
  ListAllUsers(listing);
  return true;
}

}  // namespace catalog
