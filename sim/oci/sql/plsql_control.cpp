// Control statements and declarations of anonymous blocks: DECLARE of scalar
// variables, SELECT ... INTO, and IF ... THEN ... [ELSIF ...] [ELSE ...]
// END IF. Declared variables become binds the engine fills itself, so the
// expression and query machinery of the translator serves them unchanged.
#include <algorithm>

#include "sql/statements.h"

namespace ocisim::sql {
namespace {

[[noreturn]] void Expected(const Parser& p, const std::string& what) {
  const Token& at = p.Peek();
  std::string symbol = at.type == Tok::End ? "end-of-file" : std::string(p.Source().substr(at.begin, at.end - at.begin));
  size_t line = 1, column = 1;
  for (size_t i = 0; i < at.begin && i < p.Source().size(); ++i) {
    if (p.Source()[i] == '\n') ++line, column = 1;
    else ++column;
  }
  throw MakeOraError(6550, {std::to_string(line), std::to_string(column),
                            "PLS-00103: Encountered the symbol \"" + symbol +
                                "\" when expecting one of the following:\n\n   " + what});
}

// Statements up to (not including) one of the stop words.
std::shared_ptr<std::vector<PlsqlStep>> StepsUntil(Parser& p, const Catalog& catalog,
                                                   std::initializer_list<const char*> stops) {
  auto steps = std::make_shared<std::vector<PlsqlStep>>();
  for (;;) {
    for (const char* w : stops)
      if (p.Peek().Is(w)) return steps;
    if (p.AtEnd()) Expected(p, "end if");
    steps->push_back(ParsePlsqlStep(p, catalog));
  }
}

}  // namespace

PlsqlStep ParseIfStep(Parser& p, const Catalog& catalog) {
  p.Next();  // IF or ELSIF
  PlsqlStep step;
  step.kind = PlsqlStep::Kind::If;
  ExprP cond = p.ParseExpr();
  if (!p.Accept("THEN")) Expected(p, "then and or");
  Emitter em(catalog, p);
  step.exprSqlite = FinalizeBinds("CASE WHEN " + em.EmitExpr(*cond) + " THEN 1 ELSE 0 END", step.exprBinds);
  step.body = StepsUntil(p, catalog, {"ELSIF", "ELSE", "END"});
  if (p.Peek().Is("ELSIF")) {
    step.elseBody = std::make_shared<std::vector<PlsqlStep>>();
    step.elseBody->push_back(ParseIfStep(p, catalog));
    return step;  // the inner IF took END IF;
  }
  if (p.Accept("ELSE")) step.elseBody = StepsUntil(p, catalog, {"END"});
  p.Expect("END", 900);
  if (!p.Accept("IF")) Expected(p, "if");
  if (!p.AcceptOp(";")) Expected(p, ";");
  return step;
}

PlsqlStep ParseSelectIntoStep(Parser& p, const Catalog& catalog) {
  // SELECT list INTO :a [, :b] FROM ... ; -> the query without its INTO part.
  const size_t first = p.Position();
  size_t into = 0, from = 0;
  int depth = 0;
  std::vector<std::string> targets;
  while (!(depth == 0 && p.Peek().IsOp(";"))) {
    if (p.AtEnd()) Expected(p, ";");
    const Token tk = p.Next();
    if (tk.IsOp("(")) ++depth;
    if (tk.IsOp(")")) --depth;
    if (depth == 0 && tk.Is("INTO") && !into) {
      into = p.Position() - 1;
      while (p.Peek().type == Tok::Bind) {
        targets.push_back(p.Next().text);
        if (!p.AcceptOp(",")) break;
      }
      from = p.Position();
    }
  }
  const size_t last = p.Position();
  p.Next();  // ;
  if (!into) {
    throw MakeOraError(6550, {"1", "1", "PLS-00428: an INTO clause is expected in this SELECT statement"});
  }
  std::string text = std::string(p.Slice(first, into)) + " " + std::string(p.Slice(from, last));
  PlsqlStep step;
  step.kind = PlsqlStep::Kind::SelectInto;
  step.dml = std::make_shared<Translation>(Translate(text, catalog));
  step.outBinds = targets;
  return step;
}

Translation TranslateDeclareBlock(Parser& p, const Catalog& catalog) {
  p.Next();  // DECLARE
  // name type[(n[,m])] [NOT NULL] [:= expression | DEFAULT expression];
  std::vector<std::string> locals;
  std::vector<std::pair<std::string, std::string>> initial;  // name, expression text
  while (!p.Peek().Is("BEGIN")) {
    if (p.AtEnd()) Expected(p, "begin");
    std::string name = p.Name(900);
    // The type (NUMBER, VARCHAR2, LONG ... are reserved words, still words).
    if (p.Peek().type != Tok::Ident && p.Peek().type != Tok::QuotedIdent) Expected(p, "<an identifier>");
    p.Next();
    while (p.AcceptOp(".")) p.Next();
    if (p.Peek().IsOp("(")) SkipParens(p);
    if (p.Accept("NOT")) p.Expect("NULL", 900);
    if (p.AcceptOp(":=") || p.Accept("DEFAULT")) {
      size_t b = p.Position();
      while (!p.Peek().IsOp(";") && !p.AtEnd()) p.Next();
      initial.push_back({name, std::string(p.Slice(b, p.Position()))});
    }
    if (!p.AcceptOp(";")) Expected(p, ";");
    locals.push_back(name);
  }
  // The body again, every use of a variable written as a bind of its name.
  std::string_view src = p.Source();
  const size_t bodyStart = p.Peek().begin;
  std::string body;
  size_t copied = bodyStart;
  const auto& toks = p.Tokens();
  for (size_t i = p.Position(); i < toks.size(); ++i) {
    const Token& tk = toks[i];
    if (tk.type != Tok::Ident || std::find(locals.begin(), locals.end(), tk.text) == locals.end()) continue;
    if (i > 0 && toks[i - 1].IsOp(".")) continue;
    body.append(src.substr(copied, tk.begin - copied));
    body += ":" + tk.text;
    copied = tk.end;
  }
  body.append(src.substr(copied));
  // Initial values are assignments at the start of the body.
  std::string prefix;
  for (const auto& [name, expr] : initial) prefix += "SELECT " + expr + " INTO :" + name + " FROM DUAL; ";
  if (!prefix.empty()) body.insert(body.find_first_not_of(" \t\r\n") + 5, " " + prefix);
  Parser inner(body);
  Translation t = TranslatePlsql(inner, catalog);
  t.binds.erase(std::remove_if(t.binds.begin(), t.binds.end(),
                               [&](const std::string& b) {
                                 return std::find(locals.begin(), locals.end(), b) != locals.end();
                               }),
                t.binds.end());
  t.plsqlLocals = locals;
  return t;
}

}  // namespace ocisim::sql
