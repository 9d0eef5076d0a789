// instance_family.h — the running instance (".Instance parameters") and its
// performance statistics (".Statistics").
#pragma once

#include "catalog/listing_context.h"

namespace catalog {

void ListInstanceParameters(Listing& listing);
void ListStatistics(Listing& listing);

}  // namespace catalog
