// table_helpers.cpp — keys, guarded counts and records for the table family.
#include "catalog/table_helpers.h"

#include <exception>

#include "catalog/item_builders.h"
#include "catalog/listing_errors.h"
#include "connection/field_text.h"
#include "host/host_services.h"
#include "host/messages.h"
#include "host/text_utils.h"

namespace catalog {

ListingNote::ListingNote(const panel::FindDataRequest& request) : shown_(!request.Searching()) {
  if (shown_) saved_ = host::ShowProgressMessage("Loading data ...");
}

ListingNote::~ListingNote() {
  if (shown_) host::RestoreProgress(saved_);
}

const char* ObjectTypeWord(TableKind kind) { return kind == TableKind::View ? "VIEW" : "TABLE"; }

std::string ObjectKey(const std::string& level) { return host::StripExtensionUpper(level); }

namespace {

// Path level `n` as the user wrote it (levels are numbered as Listing::Level).
std::string RawLevel(Listing& l, std::size_t n) {
  const std::string& path = l.controller.CurrentDirectory();
  std::size_t start = path.find('\\');
  for (std::size_t level = 2; start != std::string::npos; ++level) {
    std::size_t end = path.find('\\', start + 1);
    std::string field = path.substr(start + 1, end == std::string::npos ? std::string::npos : end - start - 1);
    if (field.empty()) break;
    if (level == n) return field;
    start = end;
  }
  return {};
}

}  // namespace

std::string ResolveLevelName(Listing& l, std::size_t level, const std::function<bool(const std::string&)>& exists) {
  const std::string key = ObjectKey(l.Level(level));
  const std::string raw = RawLevel(l, level);
  // Only a level written with lower case can name something else than its key.
  if (raw == l.Level(level) || host::UpperCase(raw) != l.Level(level) || raw.size() < key.size()) return key;
  const std::string written = raw.substr(0, key.size());
  try {
    if (exists(written)) return written;
  } catch (...) {
    // A failed lookup leaves the upper-cased key, which lists what exists.
  }
  return key;
}

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
    for (int i = 0; i < q->FieldCount(); ++i) {
      std::string comment;
      try {
        comment = l.Module().GetComment("SYS", commentView, q->FieldName(i));
      } catch (...) {
        // A comment that cannot be read leaves the column without one.
      }
      AddItem(l.request, q->FieldName(i), {connection::GetFieldText(*q, i), comment}, false);
    }
  } catch (...) {
    HandleListingError(l.request, std::current_exception());
  }
}

}  // namespace catalog
