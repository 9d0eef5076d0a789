// index_listing.h — the "Indexes" tree: owners, the foreign keys that no
// index covers, an owner's indexes and the record of one index with its
// columns, expressions and partitions.  Index columns also serve clusters.
#pragma once

#include <string>

#include "catalog/listing_context.h"

namespace catalog {

void ListIndexTree(Listing& l);
// The columns of one index, named by their position.
void ListIndexColumns(Listing& l, const std::string& owner, const std::string& index);

}  // namespace catalog
