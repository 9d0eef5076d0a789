// plan_listing.h — the lines of an execution plan in PLAN_TABLE as items.
#pragma once

#include <string>

#include "catalog/listing_context.h"

namespace catalog {

// One item per plan line of `statementId` (upper-cased), named by its row
// number, with operation (indented by level), options, object, position
// and a description.
void ShowPlan(Listing& listing, const std::string& statementId);

}  // namespace catalog
