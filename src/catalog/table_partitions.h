// table_partitions.h — the ".PARTITIONS" directory of a table or an index:
// its partitions, the partition key and the record of one partition.
#pragma once

#include <string>

#include "catalog/listing_context.h"

namespace catalog {

enum class PartitionedObject { Table, Index };

// `level` is the path level that holds ".PARTITIONS".
void ListPartitions(Listing& l, const std::string& owner, const std::string& name, PartitionedObject object,
                    std::size_t level);

}  // namespace catalog
