// Tokenizer for Oracle SQL and the PL/SQL subset: identifiers (unquoted ones
// upper-cased, '#' and '$' allowed), quoted identifiers, string literals with
// doubled quotes and q-quotes, numbers, :binds and operators. Comments and
// optimizer hints are dropped. Offsets into the source are kept so callers
// can slice the text as written (view text, program unit source, column names).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace ocisim::sql {

enum class Tok { Ident, QuotedIdent, String, Number, Bind, Op, End };

struct Token {
  Tok type = Tok::End;
  std::string text;   // Ident: upper-cased; QuotedIdent/String: the value; Bind: name upper-cased
  size_t begin = 0;   // offset of the first character in the source
  size_t end = 0;     // offset after the last character
  bool Is(std::string_view word) const { return type == Tok::Ident && text == word; }
  bool IsOp(std::string_view op) const { return type == Tok::Op && text == op; }
};

// Splits the text; the last token is Tok::End. Throws OraError 1756 for an
// unterminated string, 911 for a character Oracle would not accept, 972 for an
// identifier over 30 bytes. With
// prefixOnly, stops at the first such error instead (program unit bodies are
// checked later by the engine's compile step). maxTokens > 0 stops early.
std::vector<Token> Tokenize(std::string_view sql, bool prefixOnly = false, size_t maxTokens = 0);

}  // namespace ocisim::sql
