// code_queries.cpp — run-time statements, the waiting note and exact-case
// path levels for the code-object listings.
#include "catalog/code_queries.h"

#include "catalog/listing_errors.h"
#include "host/host_services.h"
#include "host/messages.h"
#include "host/text_utils.h"
#include "oracle/oracle_error.h"
#include "panel/path_levels.h"

namespace catalog {
namespace {

std::vector<std::string> Names(const VariablePairs& vars) {
  std::vector<std::string> names;
  for (const auto& v : vars)
    if (!v.first.empty()) names.push_back(v.first);
  return names;
}

}  // namespace

void ReportListingFailure(Listing& l, const std::exception_ptr& error) { HandleListingError(l.request, error); }

void ListQueryText(Listing& l, const std::string& sql, const ItemColumns& shape, const VariablePairs& vars) {
  std::unique_ptr<oracle::TOracleQuery> query;
  try {
    query = l.Module().CreateNewOracleQuery(Names(vars));
    if (!query) return;
    query->SetSQL(sql);
  } catch (...) {
    HandleListingError(l.request, std::current_exception());
    return;
  }
  MakeItemsFromDataSetByColumns(l.request, *query, shape, vars);
}

long long CountText(Listing& l, const std::string& sql, const VariablePairs& vars) {
  try {
    auto query = l.Module().CreateNewOracleQuery(Names(vars));
    if (!query) return -1;
    for (const auto& [name, value] : vars)
      if (!name.empty()) query->SetVariable(name, value);
    query->SetSQL(sql);
    query->Execute();
    long long count = query->Eof() ? 0 : query->FieldAsInteger(0);
    query->Close();
    return count;
  } catch (...) {
    HandleListingError(l.request, std::current_exception());
    return -1;
  }
}

namespace {

// The longest name a server keeps is 30 bytes, so a level naming something
// longer names nothing and its listing can only be empty; the user is told
// why, in the server's own words for a statement naming it, once per
// listing.  Letters are counted rather than bytes (a byte that only
// continues a UTF-8 letter does not count): the server's limit is in its
// own character set, where a letter takes at least one byte, so no name it
// can hold is ever refused.
std::string Named(Listing& l, std::string name) {
  constexpr std::size_t kLongestName = 30;
  std::size_t letters = 0;
  for (unsigned char c : name) letters += (c & 0xC0) != 0x80;
  if (letters > kLongestName && !l.request.overlongNameReported) {
    l.request.overlongNameReported = true;
    HandleListingError(l.request,
                       std::make_exception_ptr(oracle::EOracleError(972, "ORA-00972: identifier is too long")));
  }
  return name;
}

// A level read without a look-up is not one name (an "OWNER.SEGMENT" pair,
// a name with its type): its length tells nothing.
std::string NamedBy(Listing& l, const connection::NameLookup& lookup, std::string name) {
  return lookup.sql.empty() ? name : Named(l, std::move(name));
}

std::string ExactLevelAsIs(Listing& l, std::size_t n, const connection::NameLookup& lookup) {
  std::string upper = l.Level(n);
  std::vector<std::string> exact = panel::SplitPathLevelsAsWritten(host::FromOem(l.controller.CurrentDirectory()));
  if (n < 1 || n > exact.size() || panel::UpperAnsi(exact[n - 1]) != upper) return upper;
  return connection::ExactName(l.Module(), exact[n - 1], lookup);
}

std::string ExactLevelKeyAsIs(Listing& l, std::size_t n, const connection::NameLookup& lookup) {
  std::string upper = l.Level(n);
  std::vector<std::string> exact = panel::SplitPathLevelsAsWritten(host::FromOem(l.controller.CurrentDirectory()));
  if (n < 1 || n > exact.size() || panel::UpperAnsi(exact[n - 1]) != upper) return host::StripExtensionUpper(upper);
  return connection::ExactKey(l.Module(), exact[n - 1], lookup);
}

}  // namespace

std::string ExactLevel(Listing& l, std::size_t n, const connection::NameLookup& lookup) {
  return NamedBy(l, lookup, ExactLevelAsIs(l, n, lookup));
}

std::string ExactLevel(Listing& l, std::size_t n, connection::NameKind kind) {
  return ExactLevel(l, n, connection::NameIn(kind));
}

std::string ExactOwner(Listing& l, std::size_t n) { return ExactLevel(l, n, connection::UserLookup()); }

// True when level n is written with lower case, so it needs a look-up (and
// its owner with it).
bool NeedsLookUp(Listing& l, std::size_t n) {
  std::vector<std::string> exact = panel::SplitPathLevelsAsWritten(host::FromOem(l.controller.CurrentDirectory()));
  return n >= 2 && n <= exact.size() && exact[n - 1] != panel::UpperAnsi(exact[n - 1]);
}

std::string ExactObject(Listing& l, std::size_t n, const std::vector<std::string>& types) {
  if (!NeedsLookUp(l, n)) return Named(l, l.Level(n));
  return ExactLevel(l, n, connection::ObjectLookup(ExactOwner(l, n - 1), types));
}

std::string ExactLevelKey(Listing& l, std::size_t n, const connection::NameLookup& lookup) {
  return NamedBy(l, lookup, ExactLevelKeyAsIs(l, n, lookup));
}

std::string ExactObjectKey(Listing& l, std::size_t n, const std::vector<std::string>& types) {
  if (!NeedsLookUp(l, n)) return Named(l, host::StripExtensionUpper(l.Level(n)));
  return ExactLevelKey(l, n, connection::ObjectLookup(ExactOwner(l, n - 1), types));
}

LoadingMessage::LoadingMessage(const panel::FindDataRequest& request)
    : saved_(request.Searching() ? far::InvalidHandle() : host::ShowProgressMessage("Loading data ...")),
      shown_(!request.Searching()) {}

LoadingMessage::~LoadingMessage() { Remove(); }

void LoadingMessage::Remove() {
  if (shown_) host::RestoreProgress(saved_);
  shown_ = false;
}

}  // namespace catalog
