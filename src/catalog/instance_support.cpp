// instance_support.cpp — see instance_support.h.
#include "catalog/instance_support.h"

#include <exception>

#include "catalog/dataset_builders.h"
#include "catalog/detail_counts.h"
#include "catalog/item_builders.h"
#include "catalog/listing_errors.h"
#include "connection/field_text.h"

namespace catalog {
namespace {

std::unique_ptr<oracle::TOracleQuery> MakeQuery(Listing& l, int number, const std::vector<std::string>& callerDeclared) {
  auto q = l.Module().CreateOracleQueryByKind(number);
  if (q)
    for (const std::string& name : callerDeclared) q->DeclareVariable(name, oracle::otString);
  return q;
}

}  // namespace

// The counts go to the server as one statement; when it fails, each count
// runs alone as it always did, so a refused view hides only its own
// directory.
void AddCountedViews(Listing& l, const std::vector<CountedView>& views) {
  CountBatch batch(l);
  std::vector<std::size_t> counts;
  for (const CountedView& v : views) {
    const std::string view = v.view;
    counts.push_back(batch.Add("SELECT COUNT(*) FROM " + view, {},
                               [&l, view] { return CountOfView(l.request, l.Module(), view); }));
  }
  for (std::size_t i = 0; i < views.size(); ++i)
    AddDetailDirectory(l.request, views[i].name, batch.Value(counts[i]),
                       views[i].description ? views[i].description : "");
}

void AddFixedDirectory(Listing& l, const std::string& name, const char* description) {
  AddItem(l.request, name, {"", description ? description : ""}, true);
}

void ListByKind(Listing& l, int number, const ItemColumns& shape, const VariablePairs& variables,
                const std::vector<std::string>& callerDeclared) {
  std::unique_ptr<oracle::TOracleQuery> q;
  try {
    q = MakeQuery(l, number, callerDeclared);
  } catch (...) {
    HandleListingError(l.request, std::current_exception());
    return;
  }
  if (q) MakeItemsFromDataSetByColumns(l.request, *q, shape, variables);
}

void RecordByKind(Listing& l, int number, const VariablePairs& variables,
                  const std::vector<std::string>& callerDeclared) {
  try {
    auto q = MakeQuery(l, number, callerDeclared);
    if (!q) return;
    for (const auto& [name, value] : variables)
      if (!name.empty()) q->SetVariable(name, value);
    q->Execute();
    MakeItemsFromRecord(l.request, *q, true);
  } catch (...) {
    HandleListingError(l.request, std::current_exception());
  }
}

bool ListFromTables(Listing& l, const std::string& kind, std::span<const SimpleListing> listings,
                    std::span<const RecordListing> records, const VariablePairs& variables) {
  for (const SimpleListing& s : listings) {
    if (kind != s.name) continue;
    l.UseModes(s.modes);
    ListByKind(l, s.statement, s.shape, variables);
    return true;
  }
  for (const RecordListing& r : records) {
    if (kind != r.name) continue;
    l.UseModes("ObjectValuePanelModes");
    RecordByKind(l, r.statement, variables);
    return true;
  }
  return false;
}

long long CountOf(Listing& l, const std::string& sql, const VariablePairs& variables) {
  std::vector<std::string> names;
  for (const auto& v : variables) names.push_back(v.first);
  try {
    auto q = l.Module().CreateNewOracleQuery(names);
    if (!q) return -1;
    for (const auto& [name, value] : variables) q->SetVariable(name, value);
    q->SetSQL(sql);
    q->Execute();
    return q->Eof() ? 0 : q->FieldAsInteger(0);
  } catch (...) {
    HandleListingError(l.request, std::current_exception());
    return -1;
  }
}

bool SplitPair(const std::string& item, std::string& first, std::string& second) {
  const std::size_t dot = item.find('.');
  if (dot == std::string::npos || item.find('.', dot + 1) != std::string::npos) return false;
  first = item.substr(0, dot);
  second = item.substr(dot + 1);
  return !first.empty() && !second.empty();
}

bool AllDigits(const std::string& text) {
  if (text.empty()) return false;
  for (char c : text)
    if (c < '0' || c > '9') return false;
  return true;
}

}  // namespace catalog
