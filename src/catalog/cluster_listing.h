// cluster_listing.h — the "Clusters" tree: owners, an owner's clusters, and
// one cluster's tables, indexes, columns and record.
#pragma once

#include "catalog/listing_context.h"

namespace catalog {

void ListClusterTree(Listing& l);

}  // namespace catalog
