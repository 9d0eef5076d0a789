// Tokens of PL/SQL source with the line and column the compiler reports
// (both from 1; a tab counts as one column, as in ALL_ERRORS.POSITION).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace ocisim::plsql {

enum class T { Ident, QuotedIdent, String, Number, Bind, Op, Eof };

struct Token {
  T type = T::Eof;
  std::string text;  // Ident upper-cased; QuotedIdent/String the value; Bind the name upper-cased
  int line = 1;
  int col = 1;
  size_t begin = 0, end = 0;  // byte offsets into the source
  bool Is(std::string_view w) const { return type == T::Ident && text == w; }
  bool IsOp(std::string_view o) const { return type == T::Op && text == o; }
  // How PLS-00103 names the token: "END", ";", "end-of-file".
  std::string Symbol() const;
};

// Splits the whole text. An unterminated quote or comment runs to the end of
// the text, which then reads "end-of-file" at its start (as the server does).
// The last token is Eof, placed where the last real token starts (as the
// server places "end-of-file").
std::vector<Token> Lex(std::string_view src);

}  // namespace ocisim::plsql
