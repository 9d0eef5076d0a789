// table_helpers.cpp — keys, guarded counts and records for the table family.
#include "catalog/table_helpers.h"

#include <exception>

#include "catalog/item_builders.h"
#include "catalog/listing_errors.h"
#include "connection/column_comments.h"
#include "connection/field_text.h"
#include "host/host_services.h"
#include "host/messages.h"

namespace catalog {

ListingNote::ListingNote(const panel::FindDataRequest& request) : shown_(!request.Searching()) {
  if (shown_) saved_ = host::ShowProgressMessage("Loading data ...");
}

ListingNote::~ListingNote() {
  if (shown_) host::RestoreProgress(saved_);
}

const char* ObjectTypeWord(TableKind kind) { return kind == TableKind::View ? "VIEW" : "TABLE"; }

std::string WithDictionaryPrefix(const std::string& text, const std::string& prefix) {
  std::string out;
  for (char c : text) {
    if (c == '%')
      out += prefix;
    else
      out += c;
  }
  return out;
}

long long CountRows(Listing& l, const std::string& sql, const VariablePairs& variables) {
  std::vector<std::string> names;
  for (const auto& v : variables) names.push_back(v.first);
  auto q = l.Module().CreateNewOracleQuery(names);
  if (!q) return 0;
  for (const auto& [name, value] : variables)
    if (!name.empty()) q->SetVariable(name, value);
  q->SetSQL(sql);
  q->Execute();
  return q->Eof() ? 0 : q->FieldAsInteger(0);
}

void AddGuardedDetail(Listing& l, const std::string& name, const std::function<long long()>& count,
                      const std::string& description, const std::function<std::string(long long)>& firstColumn) {
  long long n = 0;
  try {
    n = count();
  } catch (...) {
    HandleListingError(l.request, std::current_exception());
    return;
  }
  if (n <= 0) return;
  std::vector<std::string> columns{firstColumn ? firstColumn(n) : std::to_string(n)};
  if (!description.empty()) columns.push_back(description);
  AddItem(l.request, name, columns, true);
}

void ListRecord(Listing& l, const std::string& view, const std::string& condition, const VariablePairs& variables) {
  l.UseModes("ObjectValuePanelModes");
  MakeRecordItemsWithComments(l.request, l.Module(), view, condition, variables);
}

void ListRecordOfQuery(Listing& l, const std::string& sql, const std::string& commentView,
                       const VariablePairs& variables) {
  l.UseModes("ObjectValuePanelModes");
  std::vector<std::string> names;
  for (const auto& v : variables) names.push_back(v.first);
  try {
    auto q = l.Module().CreateNewOracleQuery(names);
    if (!q) return;
    for (const auto& [name, value] : variables)
      if (!name.empty()) q->SetVariable(name, value);
    q->SetSQL(sql);
    q->Execute();
    if (l.request.Searching()) {
      MakeItemsFromRecord(l.request, *q, true);
      return;
    }
    if (q->Eof()) return;
    const connection::ColumnComments comments(l.Module(), "SYS", commentView);
    for (int i = 0; i < q->FieldCount(); ++i)
      AddItem(l.request, q->FieldName(i), {connection::GetFieldText(*q, i), comments.Of(q->FieldName(i))}, false);
  } catch (...) {
    HandleListingError(l.request, std::current_exception());
  }
}

}  // namespace catalog
