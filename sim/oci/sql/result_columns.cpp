// Maps the select-list items of a translated query onto the result columns
// of its prepared SQLite statement, expanding * and T.* items.
#include <sqlite3.h>

#include <algorithm>

#include "sql/translate.h"

namespace ocisim::sql {

std::vector<SelectColumn> ResultColumns(const Translation& t, sqlite3_stmt* stmt) {
  int n = sqlite3_column_count(stmt);
  auto nameOf = [&](int i) {
    const char* name = sqlite3_column_name(stmt, i);
    return std::string(name ? name : "");
  };
  auto expanded = [&](int i) {
    SelectColumn c;
    c.name = nameOf(i);
    c.star = true;
    return c;
  };
  size_t stars = static_cast<size_t>(std::count_if(t.columns.begin(), t.columns.end(), [](const SelectColumn& c) { return c.star; }));
  std::vector<SelectColumn> out;
  if (stars == 0 && t.columns.size() == static_cast<size_t>(n)) return t.columns;
  if (stars == 1) {
    // The one star takes whatever the other items leave.
    int starWidth = n - static_cast<int>(t.columns.size() - 1);
    int i = 0;
    for (const auto& c : t.columns) {
      if (!c.star) {
        if (i < n) out.push_back(c);
        ++i;
        continue;
      }
      for (int k = 0; k < starWidth && i < n; ++k) out.push_back(expanded(i++));
    }
  } else {
    // Several stars: the last one takes what the items after it leave; an
    // earlier one takes the columns of one source table.
    int i = 0;
    auto table = [&](int k) {
      const char* name = sqlite3_column_table_name(stmt, k);
      return std::string(name ? name : "");
    };
    for (size_t j = 0; j < t.columns.size() && i < n; ++j) {
      const SelectColumn& c = t.columns[j];
      if (!c.star) {
        out.push_back(c);
        ++i;
        continue;
      }
      size_t starsAfter = 0, itemsAfter = t.columns.size() - j - 1;
      for (size_t k = j + 1; k < t.columns.size(); ++k) starsAfter += t.columns[k].star ? 1 : 0;
      if (starsAfter == 0) {
        int width = n - i - static_cast<int>(itemsAfter);
        for (int k = 0; k < width && i < n; ++k) out.push_back(expanded(i++));
        continue;
      }
      std::string source = table(i);
      do {
        out.push_back(expanded(i++));
      } while (i < n && !source.empty() && table(i) == source);
    }
  }
  while (static_cast<int>(out.size()) < n) out.push_back(expanded(static_cast<int>(out.size())));
  out.resize(static_cast<size_t>(n));
  return out;
}

}  // namespace ocisim::sql
