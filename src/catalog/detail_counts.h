// detail_counts.h — what the users and storage trees share: counted detail
// directories each guarded on its own, and item names that carry two keys
// joined by a dot.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

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

// The counts of a detail directory in one statement: each count a scalar
// subquery of one SELECT ... FROM DUAL, so a detail of a dozen counted
// directories costs one round trip instead of a dozen.  When that statement
// fails (a view the user may not read, a server without scalar subqueries)
// nothing is shown for it, and each count runs alone when it is asked for,
// exactly as it would have without the batch: a refused view still hides
// only its own directory, and errors are reported in the same order.
class CountBatch {
 public:
  explicit CountBatch(Listing& l) : l_(l) {}

  // A count over a DBA_ or V$ view while the session reads the ALL_ views
  // (no catalog role) would only make the whole batch fail: such a count
  // stays out of the batch and runs alone when asked for.
  //
  // Registers a complete one-number query ("SELECT COUNT(*) FROM ...") with
  // its variables; `alone` runs the count by itself after the batch failed
  // (the default runs `sql`).  Returns the count's index.
  std::size_t Add(const std::string& sql, const VariablePairs& vars, std::function<long long()> alone = {});
  // A count written as CountFrom's tail ("VIEW WHERE ...").
  std::size_t AddFrom(const std::string& fromWhere, const VariablePairs& vars, bool hint = false);

  // Runs the batch (once; later calls do nothing).  No error is shown.
  void Run();

  // The count `i` as the batch found it (NULL counts as 0), or, after a
  // failed batch, run alone; errors of a count run alone pass to the caller.
  long long Value(std::size_t i);
  // The same with CountFrom's handling: -1 after an error reported by the
  // listing rule.
  long long Guarded(std::size_t i);

  bool Batched() const { return ran_ && ok_; }

 private:
  struct Entry {
    std::string sql;
    VariablePairs vars;
    std::function<long long()> alone;
    bool inBatch = true;
    long long value = 0;
  };
  Listing& l_;
  std::vector<Entry> entries_;
  bool ran_ = false, ok_ = false;
};

// The one statement a batch sends: the counts as scalar subqueries, their
// variables merged by name (a name bound to two different values is renamed
// in the subqueries that use the second).  Exposed for tests.
std::string BatchStatement(const std::vector<std::pair<std::string, VariablePairs>>& counts, VariablePairs& vars);

}  // namespace catalog
