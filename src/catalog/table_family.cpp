// table_family.cpp — entry points of the table family.
#include "catalog/table_family.h"

namespace catalog {
namespace {

void OwnerAndObjectLayouts(Listing& l) {
  if (l.Level(3).empty())
    l.UseModes("UserNameCountPanelModes");
  else if (l.Level(4).empty())
    l.UseModes("DefaultPanelModes");
}

}  // namespace

void ListTables(Listing&) {}
void ListViews(Listing&) {}
void ListIndexes(Listing& l) { OwnerAndObjectLayouts(l); }
void ListClusters(Listing& l) { OwnerAndObjectLayouts(l); }

}  // namespace catalog
