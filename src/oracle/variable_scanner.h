// variable_scanner.h — finding ":NAME" variable references in SQL text.
//
// Used to decide which declared variables a statement binds and where
// substitution variables are replaced.  Strings (also q'[...]'), quoted
// names and both comment forms are skipped; ":=" is no reference.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace oracle {

struct VariableReference {
  std::string name;       // upper-cased, without the colon
  std::size_t position;   // of the colon in the text
  std::size_t length;     // of the name as written
};

std::vector<VariableReference> FindVariables(std::string_view text, bool withDuplicates);

// Replaces the references of `values` (upper-cased name -> text) from the
// last to the first, so earlier positions stay valid.
template <typename Lookup>
std::string SubstituteVariables(std::string text, Lookup&& lookup) {
  auto references = FindVariables(text, true);
  for (auto it = references.rbegin(); it != references.rend(); ++it) {
    std::string replacement;
    if (lookup(it->name, replacement)) text.replace(it->position, it->length + 1, replacement);
  }
  return text;
}

}  // namespace oracle
