// bind_references.h — reads the bind variables a stored text refers to.
//
// The tests compare what a text binds with what the catalogue declares for
// it.  A bind reference is ":" followed by an identifier, outside quoted
// literals.  ":DBA_..." (the dictionary prefix macro) and ":TABLE_SCHEMA"
// (the owner column macro) are replaced before the text runs and are not
// binds; ":=" is PL/SQL assignment.
#pragma once

#include <cctype>
#include <set>
#include <string>
#include <string_view>

namespace catalogue_test {

inline bool IsIdentifierChar(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_' || c == '$' || c == '#';
}

inline std::set<std::string> BindReferences(std::string_view text) {
  std::set<std::string> binds;
  char quote = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (quote != 0) {
      if (c == quote) quote = 0;  // a doubled quote closes and reopens
      continue;
    }
    if (c == '\'' || c == '"') {
      quote = c;
      continue;
    }
    if (c != ':') continue;
    std::size_t end = i + 1;
    while (end < text.size() && IsIdentifierChar(text[end])) ++end;
    if (end == i + 1) continue;
    std::string name(text.substr(i + 1, end - i - 1));
    for (char& ch : name) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    i = end - 1;
    if (name.rfind("DBA_", 0) == 0 || name == "TABLE_SCHEMA") continue;
    binds.insert(name);
  }
  return binds;
}

}  // namespace catalogue_test
