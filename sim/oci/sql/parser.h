// Recursive-descent parser for Oracle SQL expressions and queries. Statement
// level parsing (DML, DDL, PL/SQL blocks) in statements.cpp drives it through
// the token helpers below. Errors are reported as Oracle reports them.
#pragma once

#include <string_view>
#include <vector>

#include "sql/ast.h"
#include "sql/lexer.h"

namespace ocisim::sql {

class Parser {
 public:
  // prefixOnly: tokenize only as far as the text is valid SQL (for program
  // units, whose bodies the translator does not read).
  explicit Parser(std::string_view source, bool prefixOnly = false);

  // Token helpers.
  const Token& Peek(size_t ahead = 0) const;
  Token Next();
  bool AtEnd() const { return Peek().type == Tok::End; }
  bool Accept(std::string_view word);              // keyword
  bool AcceptOp(std::string_view op);
  void Expect(std::string_view word, int oraCode);  // keyword or throw
  void ExpectOp(std::string_view op, int oraCode);
  // An identifier (quoted or not); throws oraCode when there is none.
  std::string Name(int oraCode = 931);
  bool PeekName() const;
  // [owner.]name[@link]
  void QualifiedName(std::optional<std::string>& owner, std::string& name);
  size_t Position() const { return pos_; }
  void Seek(size_t pos) { pos_ = pos; }
  std::string_view Source() const { return source_; }
  const std::vector<Token>& Tokens() const { return tokens_; }
  // Source text of tokens [from, to).
  std::string_view Slice(size_t fromTok, size_t toTok) const;
  // Oracle's name for an unaliased select-list expression, from its tokens.
  std::string ExpressionName(size_t fromTok, size_t toTok) const;
  // The same text without the 30-character cut, for comparing expressions.
  std::string ExpressionText(size_t fromTok, size_t toTok) const;
  [[noreturn]] void Fail(int oraCode) const;

  ExprP ParseExpr();      // a condition or value expression
  QueryP ParseQuery();    // SELECT ... [set operators] [ORDER BY]
  // Ends the statement: optional ';', then nothing (ORA-00933 otherwise).
  void ExpectStatementEnd();

 private:
  ExprP Or();
  ExprP And();
  ExprP NotExpr();
  ExprP Comparison();
  ExprP Additive();
  ExprP Multiplicative();
  ExprP Unary();
  ExprP Primary();
  ExprP IdentifierExpr();
  ExprP Function(std::string name, size_t beginTok);
  ExprP CaseExpr();
  void ParseSelectBody(Select& s);
  void ParseFrom(Select& s);
  TableRef ParseTableRef();
  bool IsAliasCandidate() const;
  ExprP Make(EK kind, size_t beginTok) const;
  void Finish(Expr& e) const;

  std::string_view source_;
  std::vector<Token> tokens_;
  size_t pos_ = 0;
  int nesting_ = 0;  // open parentheses and subqueries, bounded so no input exhausts the stack
};

// Words that end an expression or a list and so can never be an alias.
bool IsReservedWord(std::string_view word);

}  // namespace ocisim::sql
