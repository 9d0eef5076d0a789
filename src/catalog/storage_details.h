// storage_details.h — the detail directories of one tablespace, data file,
// rollback segment or segment.  Each takes the path level `at` that holds
// the item naming it and lists that level's detail and everything below, so
// the same detail serves wherever its item is listed.
#pragma once

#include <cstddef>

#include "catalog/listing_context.h"

namespace catalog {

// The item is a tablespace name.
void ListTablespaceTree(Listing& l, std::size_t at);
// The item is a file id.
void ListDatafileTree(Listing& l, std::size_t at);
// The item is OWNER.SEGMENT_NAME.
void ListRollbackSegmentTree(Listing& l, std::size_t at);
// The item is SEGMENT_NAME.OWNER.
void ListSegmentTree(Listing& l, std::size_t at);

}  // namespace catalog
