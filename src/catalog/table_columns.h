// table_columns.h — the columns of a table or view and the detail of one
// column: its constraints, grants, LOB storage and record.
#pragma once

#include <string>

#include "catalog/listing_context.h"
#include "catalog/table_helpers.h"

namespace catalog {

// The ".COLUMNS" list; views add whether each column is updatable.
void ListColumns(Listing& l, const std::string& owner, const std::string& table, bool view);

// A column directory (path level `level`) and what lies below it.
void ListColumnBranch(Listing& l, const std::string& owner, const std::string& table, std::size_t level,
                      TableKind kind);

}  // namespace catalog
