// Recursive-descent parser of PL/SQL. The first syntax error stops it with a
// SyntaxError that reads as the server's PLS-00103.
#pragma once

#include "plsql/ast.h"

#include <stdexcept>

namespace ocisim::plsql {

struct SyntaxError : std::runtime_error {
  int line, col;
  SyntaxError(int line, int col, const std::string& text) : std::runtime_error(text), line(line), col(col) {}
};

// Parses stored source ("PROCEDURE x ...", "PACKAGE BODY x ...", "TRIGGER x ...")
// or an anonymous block ("DECLARE ..." / "BEGIN ..."). Throws SyntaxError.
Unit Parse(std::string_view src);

// The PLS-00103 text for an unexpected token and the words that would have fitted.
std::string Pls103(const Token& at, const std::vector<std::string>& expected, const std::string& substituted = "");

// Words that may start a statement: the list the server gives inside a body.
const std::vector<std::string>& StatementStarters();

}  // namespace ocisim::plsql
