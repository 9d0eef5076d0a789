// storage_family.h — the "Storage" tree: tablespaces with their space and
// contents, data files, rollback segments, segments by type with their
// extents, control files and the backup status of the data files.
#pragma once

#include "catalog/listing_context.h"

namespace catalog {

void ListStorage(Listing& listing);

}  // namespace catalog
