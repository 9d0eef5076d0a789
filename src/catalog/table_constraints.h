// table_constraints.h — constraints of a table and of one column, the
// record of a constraint and the columns it covers.
#pragma once

#include <string>

#include "catalog/listing_context.h"

namespace catalog {

// Check, primary, unique and read-only constraints, then the foreign keys
// with the table they point at ("-> OWNER.TABLE").
void ListTableConstraints(Listing& l, const std::string& owner, const std::string& table);
// The same restricted to one column; foreign keys name the referenced column.
void ListColumnConstraints(Listing& l, const std::string& owner, const std::string& table, const std::string& column);
// ".COLUMNS" (always) and the constraint's record.
void ListConstraintRecord(Listing& l, const std::string& owner, const std::string& constraint);
// One item per constraint column: a foreign key's column is described by the
// column it references, any other by the constraint's condition.
void MakeItemsForConstraintColumns(Listing& l, const std::string& owner, const std::string& constraint);

}  // namespace catalog
