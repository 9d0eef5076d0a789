// created_unit.cpp — reads the head of a CREATE statement: just enough
// words to know the unit's kind, schema and name.
#include "operations/created_unit.h"

#include <cctype>

#include "host/text_utils.h"

namespace operations {
namespace {

struct Word {
  std::string text;  // upper-cased unless quoted
  bool quoted = false;
};

bool NameChar(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '$' || c == '#' ||
         static_cast<unsigned char>(c) >= 0x80;
}

// The first words of the text; "." comes as a word of its own.
std::vector<Word> HeadWords(const std::string& text, std::size_t wanted) {
  std::vector<Word> words;
  std::size_t i = 0;
  while (i < text.size() && words.size() < wanted) {
    char c = text[i];
    if (std::isspace(static_cast<unsigned char>(c))) {
      ++i;
    } else if (text.compare(i, 2, "--") == 0) {
      std::size_t end = text.find('\n', i);
      i = end == std::string::npos ? text.size() : end + 1;
    } else if (text.compare(i, 2, "/*") == 0) {
      std::size_t end = text.find("*/", i + 2);
      i = end == std::string::npos ? text.size() : end + 2;
    } else if (c == '"') {
      std::size_t end = text.find('"', i + 1);
      if (end == std::string::npos) break;
      words.push_back({text.substr(i + 1, end - i - 1), true});
      i = end + 1;
    } else if (NameChar(c)) {
      std::size_t start = i;
      while (i < text.size() && NameChar(text[i])) ++i;
      words.push_back({host::UpperCase(text.substr(start, i - start)), false});
    } else {
      words.push_back({std::string(1, c), false});
      ++i;
    }
  }
  return words;
}

bool Is(const std::vector<Word>& w, std::size_t k, const char* text) {
  return k < w.size() && !w[k].quoted && w[k].text == text;
}

}  // namespace

std::optional<CreatedUnit> ParseCreatedUnit(const std::vector<std::string>& lines, const std::string& user) {
  std::string text;
  for (const std::string& l : lines) text += l + "\n";
  std::vector<Word> w = HeadWords(text, 12);
  std::size_t k = 0;
  if (!Is(w, k++, "CREATE")) return std::nullopt;
  if (Is(w, k, "OR") && Is(w, k + 1, "REPLACE")) k += 2;
  if (Is(w, k, "FORCE") || Is(w, k, "NOFORCE")) ++k;
  CreatedUnit unit;
  static const char* const kKinds[] = {"PROCEDURE", "FUNCTION", "PACKAGE", "TYPE", "TRIGGER", "VIEW"};
  for (const char* kind : kKinds)
    if (Is(w, k, kind)) unit.kind = kind;
  if (unit.kind.empty()) return std::nullopt;
  ++k;
  if ((unit.kind == "PACKAGE" || unit.kind == "TYPE") && Is(w, k, "BODY")) {
    unit.kind += " BODY";
    ++k;
  }
  if (k >= w.size() || (!w[k].quoted && !NameChar(w[k].text[0]))) return std::nullopt;
  unit.name = w[k].text;
  if (Is(w, k + 1, ".") && k + 2 < w.size() && (w[k + 2].quoted || NameChar(w[k + 2].text[0]))) {
    unit.owner = unit.name;
    unit.name = w[k + 2].text;
  } else {
    unit.owner = host::UpperCase(user);
  }
  return unit;
}

}  // namespace operations
