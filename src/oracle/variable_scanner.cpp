// variable_scanner.cpp — see variable_scanner.h.
#include "oracle/variable_scanner.h"

#include <algorithm>

#include "oracle/text_util.h"

namespace oracle {
namespace {

bool IsNameChar(char c) {
  const unsigned char u = static_cast<unsigned char>(c);
  return c == '#' || c == '$' || c == '_' || (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') ||
         (c >= 'A' && c <= 'Z') || u >= 128;
}

enum class State { Normal, Name, Quote, QQuote, QuotedName, BlockComment, LineComment };

// The closing bracket of q'[...]', q'{...}', q'(...)', q'<...>'; any other
// character closes itself.
char QuoteClose(char open) {
  switch (open) {
    case '[': return ']';
    case '{': return '}';
    case '(': return ')';
    case '<': return '>';
    default: return open;
  }
}

}  // namespace

std::vector<VariableReference> FindVariables(std::string_view source, bool withDuplicates) {
  const std::string text = std::string(source) + "\r\n";
  std::vector<VariableReference> found;
  State state = State::Normal;
  std::size_t start = 0;
  char qClose = '\0';
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    const char next = i + 1 < text.size() ? text[i + 1] : '\0';
    switch (state) {
      case State::Name:
        if (IsNameChar(c)) break;
        if (i > start + 1) {
          std::string name = UpperCase(text.substr(start + 1, i - start - 1));
          const bool seen = std::any_of(found.begin(), found.end(),
                                        [&](const VariableReference& r) { return r.name == name; });
          if (withDuplicates || !seen) found.push_back({name, start, i - start - 1});
        }
        // The character that ended the name is looked at again: it may open
        // a string, a comment or the next reference.
        state = State::Normal;
        [[fallthrough]];
      case State::Normal:
        if (c == ':') {
          state = State::Name;
          start = i;
        } else if ((c == 'q' || c == 'Q') && next == '\'' && (i == 0 || !IsNameChar(text[i - 1])) &&
                   i + 2 < text.size()) {
          // q'[it's :no variable]'
          state = State::QQuote;
          qClose = QuoteClose(text[i + 2]);
          i += 2;
        } else if (c == '\'') {
          state = State::Quote;
        } else if (c == '"') {
          // A quoted name may hold a colon or an apostrophe.
          state = State::QuotedName;
        } else if (c == '/' && next == '*') {
          state = State::BlockComment;
          ++i;
        } else if (c == '-' && next == '-') {
          state = State::LineComment;
          ++i;
        }
        break;
      case State::Quote:
        if (c == '\'') state = State::Normal;
        break;
      case State::QQuote:
        if (c == qClose && next == '\'') {
          state = State::Normal;
          ++i;
        }
        break;
      case State::QuotedName:
        if (c == '"') state = State::Normal;
        break;
      case State::BlockComment:
        if (c == '*' && next == '/') {
          state = State::Normal;
          ++i;
        }
        break;
      case State::LineComment:
        // Ends at the line break, whether the text uses CR LF or LF.
        if (c == '\n' || c == '\r') state = State::Normal;
        break;
    }
  }
  return found;
}

}  // namespace oracle
