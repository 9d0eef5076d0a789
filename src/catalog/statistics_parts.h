// statistics_parts.h — the branches of ".Statistics" that have files of
// their own: the SQL area with its statements and execution plans, and the
// audit options.
#pragma once

#include "catalog/listing_context.h"

namespace catalog {

// ".STATISTICS\.SQL AREA" and below (path level 4 onwards).
void ListSqlArea(Listing& l);
// ".STATISTICS\.APPLICATION INFO" and below.
void ListApplicationInfo(Listing& l);
// ".STATISTICS\.AUDIT OPTIONS" and below.
void ListAuditOptions(Listing& l);

}  // namespace catalog
