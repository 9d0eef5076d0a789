// table_detail.h — the directory of one table or view: its dot-named detail
// directories (shown only when they have rows) and its record, and the
// listings below each detail.
#pragma once

#include <string>

#include "catalog/listing_context.h"
#include "catalog/table_helpers.h"

namespace catalog {

// The object directory itself: counted details in their fixed order, then
// the object's record.  Nothing while the session is closed.
void MakeObjectDetailItems(Listing& l, const std::string& owner, const std::string& name, TableKind kind);

// Everything at and below the object directory whose name is path level
// `level` (the owner is given).  Details a kind has no listing for are empty.
void ListTableDirectory(Listing& l, const std::string& owner, std::size_t level, TableKind kind);

}  // namespace catalog
