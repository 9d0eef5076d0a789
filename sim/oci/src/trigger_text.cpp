// The parts of a trigger's text: see trigger_text.h.
#include "trigger_text.h"

#include <cctype>

namespace ocisim {
namespace {

bool WordChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '$' || c == '#'; }

std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

// Where the next token starts after blanks and comments.
size_t SkipBlanks(const std::string& t, size_t i) {
  while (i < t.size()) {
    if (std::isspace(static_cast<unsigned char>(t[i]))) {
      ++i;
    } else if (t.compare(i, 2, "--") == 0) {
      size_t e = t.find('\n', i);
      i = e == std::string::npos ? t.size() : e + 1;
    } else if (t.compare(i, 2, "/*") == 0) {
      size_t e = t.find("*/", i + 2);
      i = e == std::string::npos ? t.size() : e + 2;
    } else {
      break;
    }
  }
  return i;
}

// End of the token that starts at i (a word, a quoted text or one character).
size_t TokenEnd(const std::string& t, size_t i) {
  if (t[i] == '\'' || t[i] == '"') {
    char q = t[i];
    size_t e = i + 1;
    while (e < t.size()) {
      if (t[e] == q) {
        if (q == '\'' && e + 1 < t.size() && t[e + 1] == '\'') {
          e += 2;
          continue;
        }
        return e + 1;
      }
      ++e;
    }
    return t.size();
  }
  if (WordChar(t[i])) {
    size_t e = i;
    while (e < t.size() && WordChar(t[e])) ++e;
    return e;
  }
  return i + 1;
}

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t nl = text.find('\n', start);
    if (nl == std::string::npos) {
      lines.push_back(text.substr(start));
      break;
    }
    lines.push_back(text.substr(start, nl - start + 1));
    start = nl + 1;
  }
  return lines;
}

}  // namespace

TriggerText SplitTrigger(const std::vector<std::string>& lines) {
  std::string text;
  for (const auto& l : lines) text += l;
  TriggerText parts;
  size_t i = SkipBlanks(text, 0);
  // The description starts after the word TRIGGER.
  if (i < text.size() && Upper(text.substr(i, TokenEnd(text, i) - i)) == "TRIGGER") i = SkipBlanks(text, TokenEnd(text, i));
  size_t descStart = i, descEnd = std::string::npos, whenOpen = 0, whenClose = 0, bodyStart = text.size();
  int depth = 0;
  while (i < text.size()) {
    size_t e = TokenEnd(text, i);
    std::string word = Upper(text.substr(i, e - i));
    if (word == "(") {
      ++depth;
    } else if (word == ")") {
      --depth;
    } else if (depth == 0 && word == "WHEN" && descEnd == std::string::npos) {
      size_t open = SkipBlanks(text, e);
      if (open < text.size() && text[open] == '(') {
        // The condition: up to the matching parenthesis.
        int d = 0;
        size_t k = open;
        while (k < text.size()) {
          size_t ke = TokenEnd(text, k);
          if (text[k] == '(') ++d;
          if (text[k] == ')' && --d == 0) break;
          k = SkipBlanks(text, ke);
        }
        descEnd = i;
        whenOpen = open;
        whenClose = k < text.size() ? k : text.size();
        // The body is all that follows the condition, comments included:
        // only white space is left out.
        size_t b = whenClose + 1;
        while (b < text.size() && std::isspace(static_cast<unsigned char>(text[b]))) ++b;
        bodyStart = b;
        break;
      }
    } else if (depth == 0 && (word == "DECLARE" || word == "BEGIN" || word == "CALL")) {
      bodyStart = i;
      break;
    }
    i = SkipBlanks(text, e);
  }
  if (descEnd == std::string::npos) descEnd = bodyStart;
  parts.description = text.substr(descStart, descEnd - descStart);
  if (whenClose > whenOpen) parts.whenClause = text.substr(whenOpen + 1, whenClose - whenOpen - 1);
  parts.body = text.substr(bodyStart);
  parts.bodyLines = SplitLines(parts.body);
  return parts;
}

}  // namespace ocisim
