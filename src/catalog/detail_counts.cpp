// detail_counts.cpp — guarded counts and two-key item names.
#include "catalog/detail_counts.h"

#include <cctype>
#include <exception>

#include "catalog/item_builders.h"
#include "catalog/listing_errors.h"
#include "catalog/table_helpers.h"
#include "host/text_utils.h"
#include "oracle/oracle_error.h"

namespace catalog {

bool SplitItemName(const std::string& item, bool atLast, std::string& before, std::string& after) {
  const std::size_t dot = atLast ? item.rfind('.') : item.find('.');
  if (dot == std::string::npos || dot == 0 || dot + 1 >= item.size()) return false;
  before = item.substr(0, dot);
  after = item.substr(dot + 1);
  return true;
}

long long CountFrom(Listing& l, const std::string& fromWhere, const VariablePairs& vars, bool hint) {
  try {
    std::vector<std::string> names;
    for (const auto& v : vars) names.push_back(v.first);
    auto query = l.Module().CreateNewOracleQuery(names);
    if (!query) return -1;
    for (const auto& [name, value] : vars)
      if (!name.empty()) query->SetVariable(name, value);
    query->SetSQL(std::string(hint ? "SELECT /*+ RULE */ COUNT(*) FROM " : "SELECT COUNT(*) FROM ") + fromWhere);
    query->Execute();
    const long long count = query->Eof() ? 0 : query->FieldAsInteger(0);
    query->Close();
    return count;
  } catch (...) {
    HandleListingError(l.request, std::current_exception());
    // A detail runs many counts over the same kind of view: the user hears
    // of a refused view once, not once per count.
    try {
      throw;
    } catch (const oracle::EOracleError& e) {
      if (e.ErrorCode() == 942) l.request.missingViewReported = true;
    } catch (...) {
    }
    return -1;
  }
}

void AddCounted(Listing& l, const std::string& name, long long count, const std::string& description) {
  if (count <= 0) return;
  std::vector<std::string> columns{std::to_string(count)};
  if (!description.empty()) columns.push_back(description);
  AddItem(l.request, name, columns, true);
}

namespace {

bool IdentifierChar(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '$' || c == '#';
}

// `sql` with the placeholder :FROM renamed :TO (whole names only, outside
// quotes).
std::string RenamePlaceholder(const std::string& sql, const std::string& from, const std::string& to) {
  std::string out;
  char quote = 0;
  for (std::size_t i = 0; i < sql.size(); ++i) {
    const char c = sql[i];
    if (quote) {
      if (c == quote) quote = 0;
    } else if (c == '\'' || c == '"') {
      quote = c;
    } else if (c == ':' && sql.compare(i + 1, from.size(), from) == 0 &&
               (i + 1 + from.size() >= sql.size() || !IdentifierChar(sql[i + 1 + from.size()]))) {
      out += ':' + to;
      i += from.size();
      continue;
    }
    out += c;
  }
  return out;
}

}  // namespace

std::string BatchStatement(const std::vector<std::pair<std::string, VariablePairs>>& counts, VariablePairs& vars) {
  vars.clear();
  std::string sql = "SELECT ";
  for (std::size_t i = 0; i < counts.size(); ++i) {
    std::string sub = counts[i].first;
    for (const auto& [name, value] : counts[i].second) {
      if (name.empty()) continue;
      std::string bound = name;
      for (int k = 2;; ++k) {
        const std::pair<std::string, std::string>* same = nullptr;
        for (const auto& v : vars)
          if (v.first == bound) same = &v;
        if (!same) {
          vars.push_back({bound, value});
          break;
        }
        if (same->second == value) break;
        bound = name + "_" + std::to_string(k);
      }
      if (bound != name) sub = RenamePlaceholder(sub, name, bound);
    }
    if (i) sql += ", ";
    sql += "(" + sub + ") C" + std::to_string(i + 1);
  }
  return sql + " FROM DUAL";
}

std::size_t CountBatch::Add(const std::string& sql, const VariablePairs& vars, std::function<long long()> alone) {
  entries_.push_back({sql, vars, std::move(alone)});
  if (sql.empty()) {
    entries_.back().inBatch = false;
  } else if (l_.Module().Prefix() == "ALL_") {
    const std::string upper = host::UpperCase(sql);
    entries_.back().inBatch = upper.find("DBA_") == std::string::npos && upper.find("V$") == std::string::npos;
  }
  return entries_.size() - 1;
}

std::size_t CountBatch::AddFrom(const std::string& fromWhere, const VariablePairs& vars, bool hint) {
  Listing& l = l_;
  return Add(std::string(hint ? "SELECT /*+ RULE */ COUNT(*) FROM " : "SELECT COUNT(*) FROM ") + fromWhere, vars,
             [&l, fromWhere, vars, hint] { return CountFrom(l, fromWhere, vars, hint); });
}

void CountBatch::Run() {
  if (ran_) return;
  ran_ = true;
  try {
    std::vector<std::pair<std::string, VariablePairs>> counts;
    std::vector<Entry*> batched;
    for (Entry& e : entries_) {
      if (!e.inBatch) continue;
      counts.push_back({e.sql, e.vars});
      batched.push_back(&e);
    }
    if (batched.empty()) return;
    VariablePairs vars;
    const std::string sql = BatchStatement(counts, vars);
    std::vector<std::string> names;
    for (const auto& v : vars) names.push_back(v.first);
    auto q = l_.Module().CreateNewOracleQuery(names);
    if (!q) return;
    for (const auto& [name, value] : vars) q->SetVariable(name, value);
    q->SetSQL(sql);
    q->Execute();
    if (q->Eof() || q->FieldCount() != static_cast<int>(batched.size())) return;
    for (std::size_t i = 0; i < batched.size(); ++i) {
      const int field = static_cast<int>(i);
      batched[i]->value = q->FieldIsNull(field) ? 0 : q->FieldAsInteger(field);
    }
    q->Close();
    ok_ = true;
  } catch (...) {
    ok_ = false;  // each count runs alone when asked for
  }
}

long long CountBatch::Value(std::size_t i) {
  Run();
  Entry& e = entries_.at(i);
  if (ok_ && e.inBatch) return e.value;
  if (e.alone) return e.alone();
  return CountRows(l_, e.sql, e.vars);
}

long long CountBatch::Guarded(std::size_t i) {
  Run();
  Entry& e = entries_.at(i);
  if (ok_ && e.inBatch) return e.value;
  if (e.alone) return e.alone();  // AddFrom's: CountFrom handles its errors
  try {
    return CountRows(l_, e.sql, e.vars);
  } catch (...) {
    HandleListingError(l_.request, std::current_exception());
    return -1;
  }
}

bool IsWholeNumber(const std::string& text) {
  if (text.empty() || text.size() > 18) return false;
  for (char c : text)
    if (c < '0' || c > '9') return false;
  return true;
}

}  // namespace catalog
