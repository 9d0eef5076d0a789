// Tokenizer for Oracle SQL; see lexer.h.
#include "sql/lexer.h"

#include <cctype>

#include "sql/translate.h"

namespace ocisim::sql {
namespace {

bool IdentStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) || (static_cast<unsigned char>(c) & 0x80); }
bool IdentPart(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '$' || c == '#' ||
         (static_cast<unsigned char>(c) & 0x80);
}
std::string Upper(std::string_view s) {
  std::string out(s);
  for (auto& ch : out) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
  return out;
}

// A 9.2 server keeps identifiers of at most 30 bytes (the AL32UTF8 bytes of a
// quoted name, not its letters) and refuses a longer one while parsing.
constexpr size_t kMaxIdentifierBytes = 30;

void CheckIdentifierLength(const std::string& name) {
  if (name.size() > kMaxIdentifierBytes) throw MakeOraError(972);
}

char QClose(char open) {
  switch (open) {
    case '[': return ']';
    case '{': return '}';
    case '(': return ')';
    case '<': return '>';
    default: return open;
  }
}

void Scan(std::string_view s, std::vector<Token>& out, size_t maxTokens) {
  size_t i = 0, n = s.size();
  while (maxTokens == 0 || out.size() < maxTokens) {
    while (i < n && std::isspace(static_cast<unsigned char>(s[i]))) ++i;
    if (i >= n) break;
    char c = s[i];
    size_t start = i;
    if (c == '-' && i + 1 < n && s[i + 1] == '-') {
      while (i < n && s[i] != '\n') ++i;
      continue;
    }
    if (c == '/' && i + 1 < n && s[i + 1] == '*') {
      size_t close = s.find("*/", i + 2);
      i = close == std::string_view::npos ? n : close + 2;
      continue;
    }
    Token t;
    t.begin = start;
    // q-quote: q'[...]' (also N'..' and Nq'..')
    if ((c == 'q' || c == 'Q') && i + 2 < n && s[i + 1] == '\'') {
      char close = QClose(s[i + 2]);
      size_t j = i + 3;
      while (j + 1 < n && !(s[j] == close && s[j + 1] == '\'')) ++j;
      if (j + 1 >= n) throw MakeOraError(1756);
      t.type = Tok::String;
      t.text = std::string(s.substr(i + 3, j - (i + 3)));
      i = j + 2;
    } else if ((c == 'n' || c == 'N') && i + 1 < n && s[i + 1] == '\'') {
      ++i;
      continue;  // national literal: the quote that follows is read next
    } else if (c == '\'') {
      std::string value;
      size_t j = i + 1;
      while (true) {
        if (j >= n) throw MakeOraError(1756);
        if (s[j] == '\'') {
          if (j + 1 < n && s[j + 1] == '\'') {
            value += '\'';
            j += 2;
            continue;
          }
          break;
        }
        value += s[j++];
      }
      t.type = Tok::String;
      t.text = std::move(value);
      i = j + 1;
    } else if (c == '"') {
      size_t close = s.find('"', i + 1);
      if (close == std::string_view::npos) throw MakeOraError(1740);
      if (close == i + 1) throw MakeOraError(1741);
      t.type = Tok::QuotedIdent;
      t.text = std::string(s.substr(i + 1, close - i - 1));
      CheckIdentifierLength(t.text);
      i = close + 1;
    } else if (IdentStart(c)) {
      while (i < n && IdentPart(s[i])) ++i;
      t.type = Tok::Ident;
      t.text = Upper(s.substr(start, i - start));
      CheckIdentifierLength(t.text);
    } else if (std::isdigit(static_cast<unsigned char>(c)) ||
               (c == '.' && i + 1 < n && std::isdigit(static_cast<unsigned char>(s[i + 1])))) {
      while (i < n && std::isdigit(static_cast<unsigned char>(s[i]))) ++i;
      if (i < n && s[i] == '.' && !(i + 1 < n && s[i + 1] == '.')) {
        ++i;
        while (i < n && std::isdigit(static_cast<unsigned char>(s[i]))) ++i;
      }
      if (i < n && (s[i] == 'e' || s[i] == 'E')) {
        size_t j = i + 1;
        if (j < n && (s[j] == '+' || s[j] == '-')) ++j;
        if (j < n && std::isdigit(static_cast<unsigned char>(s[j]))) {
          i = j;
          while (i < n && std::isdigit(static_cast<unsigned char>(s[i]))) ++i;
        }
      }
      t.type = Tok::Number;
      t.text = std::string(s.substr(start, i - start));
    } else if (c == ':' && i + 1 < n && (IdentPart(s[i + 1]) || s[i + 1] == '"')) {
      ++i;
      if (s[i] == '"') {
        size_t close = s.find('"', i + 1);
        if (close == std::string_view::npos) throw MakeOraError(1740);
        t.text = std::string(s.substr(i + 1, close - i - 1));
        i = close + 1;
      } else {
        size_t b = i;
        while (i < n && IdentPart(s[i])) ++i;
        t.text = Upper(s.substr(b, i - b));
      }
      t.type = Tok::Bind;
    } else {
      static const char* const two[] = {"||", "<>", "!=", "^=", "<=", ">=", ":=", "=>", ".."};
      t.type = Tok::Op;
      for (const char* op : two) {
        if (s.substr(i, 2) == op) {
          t.text = op;
          i += 2;
          break;
        }
      }
      if (t.text.empty()) {
        if (std::string_view("(),.;+-*/=<>|@%&:").find(c) == std::string_view::npos) throw MakeOraError(911);
        t.text = std::string(1, c);
        ++i;
      }
      // The outer-join marker "(+)" is one token, with or without inner blanks.
      if (t.text == "(") {
        size_t j = i;
        while (j < n && std::isspace(static_cast<unsigned char>(s[j]))) ++j;
        if (j < n && s[j] == '+') {
          size_t k = j + 1;
          while (k < n && std::isspace(static_cast<unsigned char>(s[k]))) ++k;
          if (k < n && s[k] == ')') {
            t.text = "(+)";
            i = k + 1;
          }
        }
      }
    }
    t.end = i;
    out.push_back(std::move(t));
  }
}

}  // namespace

std::vector<Token> Tokenize(std::string_view s, bool prefixOnly, size_t maxTokens) {
  std::vector<Token> out;
  out.reserve(maxTokens ? maxTokens + 1 : s.size() / 4 + 2);
  try {
    Scan(s, out, maxTokens);
  } catch (const OraError&) {
    if (!prefixOnly) throw;  // a prefix stops at the first token it cannot read
  }
  Token end;
  end.type = Tok::End;
  end.begin = end.end = s.size();
  out.push_back(end);
  return out;
}

}  // namespace ocisim::sql
