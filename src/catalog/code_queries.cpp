// code_queries.cpp — run-time statements, the waiting note and exact-case
// path levels for the code-object listings.
#include "catalog/code_queries.h"

#include "catalog/listing_errors.h"
#include "host/host_services.h"
#include "host/messages.h"
#include "host/text_utils.h"
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

std::string ExactLevel(Listing& l, std::size_t n, const connection::NameLookup& lookup) {
  std::string upper = l.Level(n);
  std::vector<std::string> exact = panel::SplitPathLevelsAsWritten(host::FromOem(l.controller.CurrentDirectory()));
  if (n < 1 || n > exact.size() || panel::UpperAnsi(exact[n - 1]) != upper) return upper;
  return connection::ExactName(l.Module(), exact[n - 1], lookup);
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
  if (!NeedsLookUp(l, n)) return l.Level(n);
  return ExactLevel(l, n, connection::ObjectLookup(ExactOwner(l, n - 1), types));
}

std::string ExactLevelKey(Listing& l, std::size_t n, const connection::NameLookup& lookup) {
  std::string upper = l.Level(n);
  std::vector<std::string> exact = panel::SplitPathLevelsAsWritten(host::FromOem(l.controller.CurrentDirectory()));
  if (n < 1 || n > exact.size() || panel::UpperAnsi(exact[n - 1]) != upper) return host::StripExtensionUpper(upper);
  return connection::ExactKey(l.Module(), exact[n - 1], lookup);
}

std::string ExactObjectKey(Listing& l, std::size_t n, const std::vector<std::string>& types) {
  if (!NeedsLookUp(l, n)) return host::StripExtensionUpper(l.Level(n));
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
