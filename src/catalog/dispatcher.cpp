// dispatcher.cpp — the routing table of level-2 names.
#include "catalog/dispatcher.h"

#include <functional>
#include <string>
#include <vector>

#include "catalog/listing_context.h"
#include "catalog/schema_catalog.h"

namespace catalog {
namespace {

// Families that arrive later are already claimed here, so their names never
// fall through to the all-users listing; until then they show only "..".
void NotYetListed(Listing&) {}

// Layouts some families leave to the dispatcher: level 3 empty / level 3
// set and level 4 empty.
void SimpleLayouts(Listing& l, const char* owners, const char* objects) {
  if (l.Level(3).empty()) {
    if (owners != nullptr) l.UseModes(owners);
  } else if (l.Level(4).empty()) {
    if (objects != nullptr) l.UseModes(objects);
  }
}

struct Route {
  const char* level2;
  std::function<void(Listing&)> list;
};

const std::vector<Route>& Routes() {
  static const std::vector<Route> routes = {
      {"JAVA", NotYetListed},
      {"DIMENSIONS", NotYetListed},
      {"OUTLINES", NotYetListed},
      {"OPERATORS", NotYetListed},
      {".INSTANCE PARAMETERS", NotYetListed},
      {".STATISTICS", NotYetListed},
      {"STORAGE", NotYetListed},
      {"TABLES", NotYetListed},
      {"LIBRARIES", NotYetListed},
      {"ALL TYPES", NotYetListed},
      {"USERS", NotYetListed},
      {"CLUSTERS", [](Listing& l) { SimpleLayouts(l, "UserNameCountPanelModes", "DefaultPanelModes"); }},
      {"INDEXES", [](Listing& l) { SimpleLayouts(l, "UserNameCountPanelModes", "DefaultPanelModes"); }},
      {"PACKAGE BODIES", [](Listing& l) { SimpleLayouts(l, nullptr, "DefaultPanelModes"); }},
      {"PACKAGES", NotYetListed},
      {"FUNCTIONS", NotYetListed},
      {"PROCEDURES", NotYetListed},
      {"SEQUENCES", NotYetListed},
      {"SYNONYMS", NotYetListed},
      {"TRIGGERS", NotYetListed},
      {"VIEWS", NotYetListed},
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
