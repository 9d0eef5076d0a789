// table_helpers.h — small pieces the table, view, index and cluster listings
// share: the waiting note, guarded counts that add one
// detail directory, and record listings in the name/value layout.
#pragma once

#include <functional>
#include <string>

#include "catalog/listing_context.h"

namespace catalog {

// The "Loading data ..." note over a directory built from several queries,
// removed when the listing is done (none while the host searches).
class ListingNote {
 public:
  explicit ListingNote(const panel::FindDataRequest& request);
  ~ListingNote();
  ListingNote(const ListingNote&) = delete;
  ListingNote& operator=(const ListingNote&) = delete;

 private:
  bool shown_;
  far::HANDLE saved_{};
};

// The kinds the object-detail builder knows.  The number is the one the
// listings are specified by: 1 ordinary, 2 object, 3 nested table, 4 view.
enum class TableKind { Ordinary = 1, Object = 2, Nested = 3, View = 4 };

// "TABLE" for every table kind, "VIEW" for views: the word type-keyed
// dictionary rows use.
const char* ObjectTypeWord(TableKind kind);


// A constant query text with "%" where the dictionary prefix goes.
std::string WithDictionaryPrefix(const std::string& text, const std::string& prefix);

// Runs a query returning one number in its first column (0 without a row).
// Errors pass to the caller.
long long CountRows(Listing& l, const std::string& sql, const VariablePairs& variables);

// Adds the detail directory `name` when `count` gives more than zero, with
// the count as custom column 1 (or `firstColumn` when given) and the
// optional description.  A failing count hides only this directory.
void AddGuardedDetail(Listing& l, const std::string& name, const std::function<long long()>& count,
                      const std::string& description = "", const std::function<std::string(long long)>& firstColumn = {});

// The property list of one row in the name/value layout.
void ListRecord(Listing& l, const std::string& view, const std::string& condition, const VariablePairs& variables);

// The same for a query of its own; comments are looked up for `commentView`
// (owner "SYS"), values only while the host searches.
void ListRecordOfQuery(Listing& l, const std::string& sql, const std::string& commentView,
                       const VariablePairs& variables);

}  // namespace catalog
