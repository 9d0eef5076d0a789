// instance_support.h — small helpers the instance, statistics and session
// listings share: catalogue statements run as lists or as records with the
// keys some of them declare themselves, compound item names split at their
// dot, and counted directories given as constant tables.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "catalog/listing_context.h"

namespace catalog {

// A directory offered when its view has rows: ".NAME" with the count and the
// description (empty: none).
struct CountedView {
  const char* name;
  const char* view;
  const char* description;
};
void AddCountedViews(Listing& l, const std::vector<CountedView>& views);

// A directory whose columns are fixed: column 1 empty, column 2 the text
// (both empty when `description` is null).
void AddFixedDirectory(Listing& l, const std::string& name, const char* description);

// A directory whose whole listing is one catalogue statement: its items
// take `shape`, its panel uses the mode set `modes`.
struct SimpleListing {
  const char* name;
  int statement;
  ItemColumns shape;
  const char* modes;
};
// A directory whose content is the first row of a catalogue statement as a
// value-only record.
struct RecordListing {
  const char* name;
  int statement;
};
// Lists `kind` from whichever table names it, with `variables` bound (an
// item's key as OWNER below a level-3 listing); false when neither does.
bool ListFromTables(Listing& l, const std::string& kind, std::span<const SimpleListing> listings,
                    std::span<const RecordListing> records, const VariablePairs& variables = {});

// Runs catalogue statement `number` into items. `callerDeclared` names the
// string variables the statement needs beyond those the factory declares.
void ListByKind(Listing& l, int number, const ItemColumns& shape, const VariablePairs& variables = {},
                const std::vector<std::string>& callerDeclared = {});
// Runs catalogue statement `number` and lists its first row as a value-only
// record.
void RecordByKind(Listing& l, int number, const VariablePairs& variables = {},
                  const std::vector<std::string>& callerDeclared = {});
// The first column of the first row of a counting statement put together at
// run time; -1 when it fails (the failure follows the listing rule).
long long CountOf(Listing& l, const std::string& sql, const VariablePairs& variables);

// Splits "A.B" at its only dot; false (nothing listed) when the name has no
// dot, more than one, or an empty part.
bool SplitPair(const std::string& item, std::string& first, std::string& second);
// True when the text is a (non-empty) run of decimal digits.
bool AllDigits(const std::string& text);

}  // namespace catalog
