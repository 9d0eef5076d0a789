// PL/SQL tokenizer: see lexer.h.
#include "plsql/lexer.h"

#include <cctype>

namespace ocisim::plsql {

std::string Token::Symbol() const {
  switch (type) {
    case T::Eof: return "end-of-file";
    case T::QuotedIdent: return "\"" + text + "\"";  // shown as written
    case T::String: return "'" + text + "'";
    default: return text;
  }
}

namespace {

bool IdentStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0 || static_cast<unsigned char>(c) >= 0x80; }
bool IdentChar(char c) {
  return IdentStart(c) || std::isdigit(static_cast<unsigned char>(c)) != 0 || c == '_' || c == '$' || c == '#';
}

}  // namespace

std::vector<Token> Lex(std::string_view src) {
  std::vector<Token> out;
  size_t i = 0;
  int line = 1, col = 1;
  auto step = [&]() {
    char c = src[i++];
    if (c == '\n') {
      ++line;
      col = 1;
    } else {
      ++col;
    }
  };
  // The server reports "end-of-file" at the last token before the end (the
  // final ";"), or at the start of the text when it has none.
  auto eof_place = [&]() { return out.empty() ? std::make_pair(1, 1) : std::make_pair(out.back().line, out.back().col); };
  auto eof_at = [&](int l, int c) {
    Token t;
    t.type = T::Eof;
    t.line = l;
    t.col = c;
    t.begin = t.end = src.size();
    out.push_back(t);
  };
  while (i < src.size()) {
    char c = src[i];
    if (std::isspace(static_cast<unsigned char>(c))) {
      step();
      continue;
    }
    if (c == '-' && i + 1 < src.size() && src[i + 1] == '-') {
      while (i < src.size() && src[i] != '\n') step();
      continue;
    }
    Token t;
    t.line = line;
    t.col = col;
    t.begin = i;
    if (c == '/' && i + 1 < src.size() && src[i + 1] == '*') {
      size_t e = src.find("*/", i + 2);
      if (e == std::string_view::npos) {
        auto [l, c2] = eof_place();
        eof_at(l, c2);
        return out;
      }
      while (i < e + 2) step();
      continue;
    }
    if (c == '\'' || c == '"') {
      step();
      bool closed = false;
      while (i < src.size()) {
        if (src[i] == c) {
          if (c == '\'' && i + 1 < src.size() && src[i + 1] == '\'') {
            t.text += '\'';
            step();
            step();
            continue;
          }
          step();
          closed = true;
          break;
        }
        t.text += src[i];
        step();
      }
      if (!closed) {
        eof_at(t.line, t.col);
        return out;
      }
      t.type = c == '\'' ? T::String : T::QuotedIdent;
    } else if (IdentStart(c)) {
      while (i < src.size() && IdentChar(src[i])) {
        t.text += static_cast<char>(std::toupper(static_cast<unsigned char>(src[i])));
        step();
      }
      t.type = T::Ident;
    } else if (std::isdigit(static_cast<unsigned char>(c)) ||
               (c == '.' && i + 1 < src.size() && std::isdigit(static_cast<unsigned char>(src[i + 1])))) {
      while (i < src.size() && std::isdigit(static_cast<unsigned char>(src[i]))) t.text += src[i], step();
      // "1..10" is a range, not a decimal point.
      if (i + 1 < src.size() && src[i] == '.' && src[i + 1] != '.') {
        t.text += '.', step();
        while (i < src.size() && std::isdigit(static_cast<unsigned char>(src[i]))) t.text += src[i], step();
      }
      if (i < src.size() && (src[i] == 'e' || src[i] == 'E') && i + 1 < src.size() &&
          (std::isdigit(static_cast<unsigned char>(src[i + 1])) ||
           ((src[i + 1] == '+' || src[i + 1] == '-') && i + 2 < src.size() &&
            std::isdigit(static_cast<unsigned char>(src[i + 2]))))) {
        t.text += 'E', step();
        if (src[i] == '+' || src[i] == '-') t.text += src[i], step();
        while (i < src.size() && std::isdigit(static_cast<unsigned char>(src[i]))) t.text += src[i], step();
      }
      t.type = T::Number;
    } else if (c == ':' && i + 1 < src.size() && (IdentStart(src[i + 1]) || std::isdigit(static_cast<unsigned char>(src[i + 1])))) {
      step();
      while (i < src.size() && IdentChar(src[i])) {
        t.text += static_cast<char>(std::toupper(static_cast<unsigned char>(src[i])));
        step();
      }
      t.type = T::Bind;
    } else {
      static const char* two[] = {":=", "=>", "..", "||", "**", "<>", "!=", "~=", "^=", "<=", ">=", "<<", ">>"};
      t.type = T::Op;
      for (const char* op : two)
        if (src.substr(i, 2) == op) t.text = op;
      if (t.text.empty()) t.text = std::string(1, c);
      for (size_t k = 0; k < t.text.size(); ++k) step();
    }
    t.end = i;
    out.push_back(std::move(t));
  }
  auto [l, c] = eof_place();
  eof_at(l, c);
  return out;
}

}  // namespace ocisim::plsql
