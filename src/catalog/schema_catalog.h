// schema_catalog.h — the simpler object kinds: owner lists, object lists
// and records of timeseries groups, directories, the catalog by user,
// errors, database links, queues, contexts, refresh groups, snapshots and
// their logs, all objects, resource plans, the miscellaneous branch, and
// the list of all users for names no family knows.
#pragma once

#include <string>

#include "catalog/listing_context.h"

namespace catalog {

// True when `kind` (an upper-cased level 2) is listed here; then lists it.
bool ListSchemaKind(Listing& listing, const std::string& kind);
// The fallback for a level-2 name no family knows.
void ListAllUsers(Listing& listing);

}  // namespace catalog
