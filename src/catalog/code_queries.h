// code_queries.h — small helpers the code-object listings share: running a
// statement put together at run time (dictionary prefix in front of a view)
// into items, the "Loading data ..." note for listings that build items by
// hand, and object keys read from the path in the letter case of the items.
#pragma once

#include <exception>
#include <string>

#include "catalog/dataset_builders.h"
#include "catalog/listing_context.h"
#include "connection/exact_names.h"

namespace catalog {

// Declares the variables of `vars`, runs `sql` and appends one item per row.
// Errors follow the listing rule; the items read before them stay.
void ListQueryText(Listing& l, const std::string& sql, const ItemColumns& shape, const VariablePairs& vars);

// Counts with a statement built at run time; -1 when the count fails (the
// failure is handled by the listing rule, so the caller just leaves the
// detail out).
long long CountText(Listing& l, const std::string& sql, const VariablePairs& vars);

// Reports a failed listing step by the listing rule.
void ReportListingFailure(Listing& l, const std::exception_ptr& error);

// Runs a count that may throw and returns it, or -1 after the listing rule.
template <typename F>
long long GuardedCount(Listing& l, F&& count) {
  try {
    return static_cast<long long>(count());
  } catch (...) {
    ReportListingFailure(l, std::current_exception());
    return -1;
  }
}

// Path level `n` as the name to send to the server, by the one rule for
// names (connection/exact_names.h): levels are compared in upper case, but a
// name created as a quoted identifier ("Mixed Case", "with blank") reaches
// the server as the item showed it, while a level typed in another case
// that names nothing as written (a path typed in lower case) is taken in
// upper case.  The look-up says where names of the level's kind live.
std::string ExactLevel(Listing& l, std::size_t n, const connection::NameLookup& lookup);
std::string ExactLevel(Listing& l, std::size_t n, connection::NameKind kind);
// An owner level: looked up among the users.
std::string ExactOwner(Listing& l, std::size_t n);
// An object level whose owner is level n - 1: looked up within that owner
// and, when given, those object types.
std::string ExactObject(Listing& l, std::size_t n, const std::vector<std::string>& types = {});
// The same for an item that may carry a type after a dot ("NAME.TYPE"):
// the name before the last dot (see connection::ExactKey).
std::string ExactLevelKey(Listing& l, std::size_t n, const connection::NameLookup& lookup);
std::string ExactObjectKey(Listing& l, std::size_t n, const std::vector<std::string>& types = {});

// The "Loading data ..." note of listings that append items themselves;
// nothing is shown while the host is searching.
class LoadingMessage {
 public:
  explicit LoadingMessage(const panel::FindDataRequest& request);
  ~LoadingMessage();
  LoadingMessage(const LoadingMessage&) = delete;
  LoadingMessage& operator=(const LoadingMessage&) = delete;
  void Remove();

 private:
  far::HANDLE saved_;
  bool shown_;
};

}  // namespace catalog
