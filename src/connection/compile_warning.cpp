// compile_warning.cpp — SQL*Plus's warning after a unit stored with
// compilation errors; see compile_warning.h.
#include "connection/compile_warning.h"

#include <cctype>
#include <string_view>
#include <vector>

namespace connection {
namespace {

// The first few words of the statement, upper-cased; comments and blanks
// in front of and between them are skipped.
std::vector<std::string> LeadingWords(const std::string& text, std::size_t count) {
  std::vector<std::string> words;
  std::size_t i = 0;
  while (i < text.size() && words.size() < count) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (std::isspace(c) != 0) {
      ++i;
    } else if (text.compare(i, 2, "--") == 0) {
      i = text.find('\n', i);
      if (i == std::string::npos) break;
    } else if (text.compare(i, 2, "/*") == 0) {
      i = text.find("*/", i + 2);
      if (i == std::string::npos) break;
      i += 2;
    } else if (std::isalpha(c) != 0) {
      std::string word;
      while (i < text.size() && (std::isalnum(static_cast<unsigned char>(text[i])) != 0 || text[i] == '_'))
        word += static_cast<char>(std::toupper(static_cast<unsigned char>(text[i++])));
      words.push_back(word);
    } else {
      break;  // a name in quotes or anything else: the kind is already known
    }
  }
  return words;
}

}  // namespace

std::string CompilationWarning(const std::string& statement) {
  const std::vector<std::string> w = LeadingWords(statement, 6);
  if (w.empty() || (w[0] != "CREATE" && w[0] != "ALTER")) return "";
  const char* verb = w[0] == "CREATE" ? "created" : "altered";
  std::size_t k = 1;
  if (w[0] == "CREATE" && k + 1 < w.size() && w[k] == "OR" && w[k + 1] == "REPLACE") k += 2;
  if (w[0] == "CREATE" && k < w.size() && (w[k] == "FORCE" || w[k] == "NOFORCE")) ++k;
  if (k >= w.size()) return "";
  const bool body = k + 1 < w.size() && w[k + 1] == "BODY";
  std::string kind;
  if (w[k] == "PROCEDURE") kind = "Procedure";
  else if (w[k] == "FUNCTION") kind = "Function";
  else if (w[k] == "PACKAGE") kind = body ? "Package Body" : "Package";
  else if (w[k] == "TYPE") kind = body ? "Type Body" : "Type";
  else if (w[k] == "TRIGGER") kind = "Trigger";
  else if (w[k] == "VIEW") kind = "View";
  else return "";
  return "Warning: " + kind + " " + verb + " with compilation errors.";
}

}  // namespace connection
