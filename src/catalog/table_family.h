// table_family.h — tables, views, indexes and clusters: the richest family,
// down to columns, constraints, partitions, index records and cluster members.
#pragma once

#include "catalog/listing_context.h"

namespace catalog {

void ListTables(Listing& listing);
void ListViews(Listing& listing);
void ListIndexes(Listing& listing);
void ListClusters(Listing& listing);

}  // namespace catalog
