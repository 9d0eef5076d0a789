// detail_counts.h — what the users and storage trees share: counted detail
// directories each guarded on its own, and item names that carry two keys
// joined by a dot.
#pragma once

#include <string>

#include "catalog/listing_context.h"

namespace catalog {

// Splits a compound item name ("NAME.OWNER", "SID.SERIAL#") at one dot:
// the last when `atLast`, else the first.  False when there is no dot or
// either side is empty: such an item names nothing and lists nothing.
bool SplitItemName(const std::string& item, bool atLast, std::string& before, std::string& after);

// A guarded COUNT(*) over `fromWhere` (the text after "COUNT(*) FROM "); -1
// when it failed (the failure went through the listing rule).  `hint` puts
// the rule-based optimiser hint in front of the count.
long long CountFrom(Listing& l, const std::string& fromWhere, const VariablePairs& vars, bool hint = false);

// Adds a directory with `count` (when above zero) as its first column.
void AddCounted(Listing& l, const std::string& name, long long count, const std::string& description = "");

// True when `text` is a whole number without sign (a file id, a segment
// number): keys the server compares as numbers.  Anything else names
// nothing, and its listing stays empty rather than failing.
bool IsWholeNumber(const std::string& text);

}  // namespace catalog
