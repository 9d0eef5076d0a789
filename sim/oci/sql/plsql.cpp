// Anonymous PL/SQL blocks: BEGIN ... END; made of the package calls the
// plugin makes (DBMS_OUTPUT, DBMS_UTILITY, DBMS_TRANSACTION, DBMS_JOB), NULL,
// COMMIT/ROLLBACK and DML statements. Anything else is reported the way the
// PL/SQL compiler reports it (ORA-06550 with a PLS- error).
#include "sql/statements.h"

#include <algorithm>

namespace ocisim::sql {
namespace {

struct Position {
  int line, column;
};

Position LineColumn(std::string_view src, size_t offset) {
  Position pos{1, 1};
  for (size_t i = 0; i < offset && i < src.size(); ++i) {
    if (src[i] == '\n') {
      ++pos.line;
      pos.column = 1;
    } else {
      ++pos.column;
    }
  }
  return pos;
}

[[noreturn]] void Pls(const Parser& p, const Token& at, const std::string& plsError, bool statementIgnored) {
  Position pos = LineColumn(p.Source(), at.begin);
  std::string l = std::to_string(pos.line), c = std::to_string(pos.column);
  std::string text = plsError;
  if (statementIgnored) text += "\nORA-06550: line " + l + ", column " + c + ":\nPL/SQL: Statement ignored";
  throw MakeOraError(6550, {l, c, text});
}

// The packages are SYS's; "SYS.DBMS_OUTPUT.PUT_LINE" names the same routine.
std::string WithoutSys(std::string name) {
  if (name.rfind("SYS.DBMS_", 0) == 0) name.erase(0, 4);
  return name;
}

[[noreturn]] void Unexpected(const Parser& p, const Token& at) {
  std::string symbol = at.type == Tok::End ? "end-of-file" : std::string(p.Source().substr(at.begin, at.end - at.begin));
  Pls(p, at, "PLS-00103: Encountered the symbol \"" + symbol + "\" when expecting one of the following:\n\n   ;",
      false);
}

void ExpectSemicolon(Parser& p) {
  if (!p.AcceptOp(";")) Unexpected(p, p.Peek());
}

// Argument list of a call: expressions; binds where the callee writes.
std::vector<ExprP> CallArgs(Parser& p) {
  std::vector<ExprP> args;
  if (!p.AcceptOp("(")) return args;
  do {
    args.push_back(p.ParseExpr());
  } while (p.AcceptOp(","));
  if (!p.AcceptOp(")")) Unexpected(p, p.Peek());
  return args;
}

void WrongArgs(const Parser& p, const Token& at, const std::string& name) {
  Pls(p, at, "PLS-00306: wrong number or types of arguments in call to '" + name + "'", true);
}

}  // namespace

PlsqlStep ParsePlsqlStep(Parser& p, const Catalog& catalog) {
    const Token start = p.Peek();
    if (start.type == Tok::End) Unexpected(p, start);
    if (start.Is("EXCEPTION")) throw MakeOraError(3001);
    PlsqlStep step;
    if (start.Is("IF")) {
      return ParseIfStep(p, catalog);
    } else if (start.Is("NULL")) {
      p.Next();
      step.kind = PlsqlStep::Kind::Null;
      ExpectSemicolon(p);
    } else if (start.Is("COMMIT") || start.Is("ROLLBACK")) {
      p.Next();
      p.Accept("WORK");
      step.kind = start.Is("COMMIT") ? PlsqlStep::Kind::Commit : PlsqlStep::Kind::Rollback;
      ExpectSemicolon(p);
    } else if (start.Is("INSERT") || start.Is("UPDATE") || start.Is("DELETE")) {
      // The statement runs to the next ';' outside parentheses.
      int depth = 0;
      size_t b = p.Position();
      while (!(depth == 0 && p.Peek().IsOp(";"))) {
        if (p.AtEnd()) Unexpected(p, p.Peek());
        Token tk = p.Next();
        if (tk.IsOp("(")) ++depth;
        if (tk.IsOp(")")) --depth;
      }
      std::string_view text = p.Slice(b, p.Position());
      p.Next();
      step.kind = PlsqlStep::Kind::Dml;
      step.dml = std::make_shared<Translation>(Translate(text, catalog));
    } else if (start.Is("SELECT")) {
      return ParseSelectIntoStep(p, catalog);
    } else if (start.type == Tok::Bind) {
      // :x := PACKAGE.FUNCTION[(args)];
      std::string target = p.Next().text;
      if (!p.AcceptOp(":=")) Unexpected(p, p.Peek());
      const Token fnTok = p.Peek();
      std::string name;
      if (fnTok.type == Tok::Ident) {
        name = p.Next().text;
        while (p.AcceptOp(".")) name += "." + p.Name(900);
        name = WithoutSys(name);
      } else {
        Pls(p, fnTok, "PLS-00201: identifier '" + std::string(p.Source().substr(fnTok.begin, fnTok.end - fnTok.begin)) +
                          "' must be declared", true);
      }
      auto args = CallArgs(p);
      if (name == "DBMS_UTILITY.PORT_STRING") {
        if (!args.empty()) WrongArgs(p, fnTok, "PORT_STRING");
        step.kind = PlsqlStep::Kind::PortString;
      } else if (name == "DBMS_TRANSACTION.LOCAL_TRANSACTION_ID") {
        if (args.size() > 1) WrongArgs(p, fnTok, "LOCAL_TRANSACTION_ID");
        step.kind = PlsqlStep::Kind::LocalTransactionId;
      } else {
        Pls(p, fnTok, "PLS-00201: identifier '" + name + "' must be declared", true);
      }
      step.outBinds.push_back(target);
      ExpectSemicolon(p);
    } else if (start.type == Tok::Ident || start.type == Tok::QuotedIdent) {
      std::string name = p.Next().text;
      while (p.AcceptOp(".")) name += "." + p.Name(900);
      name = WithoutSys(name);
      auto args = CallArgs(p);
      auto exprArg = [&](size_t i) {
        Emitter em(catalog, p);
        step.exprSqlite = FinalizeBinds(em.EmitExpr(*args[i]), step.exprBinds);
      };
      auto bindArg = [&](size_t i) {
        if (args[i]->kind != EK::Bind) Pls(p, start, "PLS-00363: expression '" + std::string(p.Slice(args[i]->begin, args[i]->end)) + "' cannot be used as an assignment target", true);
        step.outBinds.push_back(args[i]->text);
      };
      if (name == "DBMS_OUTPUT.PUT_LINE" || name == "DBMS_OUTPUT.PUT") {
        if (args.size() != 1) WrongArgs(p, start, name.substr(11));
        step.kind = name == "DBMS_OUTPUT.PUT" ? PlsqlStep::Kind::Put : PlsqlStep::Kind::PutLine;
        exprArg(0);
        // The argument is VARCHAR2: numbers and dates convert as Oracle converts them.
        step.exprSqlite = "ora_concat(" + step.exprSqlite + ")";
      } else if (name == "DBMS_OUTPUT.NEW_LINE") {
        if (!args.empty()) WrongArgs(p, start, "NEW_LINE");
        step.kind = PlsqlStep::Kind::NewLine;
      } else if (name == "DBMS_OUTPUT.ENABLE") {
        if (args.size() > 1) WrongArgs(p, start, "ENABLE");
        step.kind = PlsqlStep::Kind::Enable;
        step.number = 20000;
        if (!args.empty()) {
          if (args[0]->kind == EK::Number) step.number = std::atoll(args[0]->text.c_str());
          else if (args[0]->kind == EK::Null) step.number = 0;
          exprArg(0);
        }
      } else if (name == "DBMS_OUTPUT.DISABLE") {
        if (!args.empty()) WrongArgs(p, start, "DISABLE");
        step.kind = PlsqlStep::Kind::Disable;
      } else if (name == "DBMS_OUTPUT.GET_LINE") {
        if (args.size() != 2) WrongArgs(p, start, "GET_LINE");
        step.kind = PlsqlStep::Kind::GetLine;
        bindArg(0);
        bindArg(1);
      } else if (name == "DBMS_UTILITY.DB_VERSION") {
        if (args.size() != 2) WrongArgs(p, start, "DB_VERSION");
        step.kind = PlsqlStep::Kind::DbVersion;
        bindArg(0);
        bindArg(1);
      } else if (name == "DBMS_JOB.SUBMIT") {
        if (args.size() < 2 || args.size() > 5) WrongArgs(p, start, "SUBMIT");
        step.kind = PlsqlStep::Kind::JobSubmit;
        bindArg(0);
        // What, when next and how often, as one text for the executor to split.
        std::vector<std::string> allBinds;
        std::string joined;
        for (size_t i = 1; i < 4 && i < args.size(); ++i) {
          std::vector<std::string> binds;
          Emitter em(catalog, p);
          std::string e = FinalizeBinds(em.EmitExpr(*args[i]), binds);
          joined += std::string(joined.empty() ? "" : " || char(1) || ") + "ifnull(ora_concat(" + e + "), '')";
          allBinds.insert(allBinds.end(), binds.begin(), binds.end());
        }
        for (size_t i = args.size(); i < 4; ++i) joined += " || char(1) || ''";
        step.exprSqlite = joined;
        step.exprBinds = allBinds;
      } else if (name == "DBMS_APPLICATION_INFO.SET_MODULE" || name == "DBMS_APPLICATION_INFO.SET_ACTION") {
        const bool actionOnly = name == "DBMS_APPLICATION_INFO.SET_ACTION";
        if (args.size() != (actionOnly ? 1u : 2u)) WrongArgs(p, start, actionOnly ? "SET_ACTION" : "SET_MODULE");
        step.kind = PlsqlStep::Kind::SetModule;
        step.number = actionOnly ? 1 : 0;
        std::string joined = actionOnly ? std::string("''") : std::string();
        std::vector<std::string> allBinds;
        for (size_t i = 0; i < args.size(); ++i) {
          std::vector<std::string> binds;
          Emitter em(catalog, p);
          std::string e = FinalizeBinds(em.EmitExpr(*args[i]), binds);
          joined += std::string(joined.empty() ? "" : " || char(1) || ") + "ifnull(ora_concat(" + e + "), '')";
          allBinds.insert(allBinds.end(), binds.begin(), binds.end());
        }
        step.exprSqlite = joined;
        step.exprBinds = allBinds;
      } else if (name == "DBMS_JOB.REMOVE") {
        if (args.size() != 1) WrongArgs(p, start, "REMOVE");
        step.kind = PlsqlStep::Kind::JobRemove;
        if (args[0]->kind == EK::Number) step.number = std::atoll(args[0]->text.c_str());
        exprArg(0);
      } else if (name == "RAISE_APPLICATION_ERROR") {
        if (args.size() != 2) WrongArgs(p, start, name);
        step.kind = PlsqlStep::Kind::Raise;
        // The number must be a literal -20000 .. -20999 here.
        std::string code = std::string(p.Slice(args[0]->begin, args[0]->end));
        code.erase(std::remove(code.begin(), code.end(), ' '), code.end());
        step.number = std::atoll(code.c_str());
        exprArg(1);
        step.exprSqlite = "ora_concat(" + step.exprSqlite + ")";
      } else {
        Pls(p, start, "PLS-00201: identifier '" + name + "' must be declared", true);
      }
      ExpectSemicolon(p);
    } else {
      Unexpected(p, start);
    }
    return step;
}

Translation TranslatePlsql(Parser& p, const Catalog& catalog) {
  if (p.Peek().Is("DECLARE")) return TranslateDeclareBlock(p, catalog);
  Translation t;
  t.kind = StmtKind::PlsqlBlock;
  p.Expect("BEGIN", 900);
  for (const Token& tok : p.Tokens())
    if (tok.type == Tok::Bind) t.binds.push_back(tok.text);
  while (!p.Peek().Is("END")) t.plsql.push_back(ParsePlsqlStep(p, catalog));
  p.Next();  // END
  if (p.PeekName()) p.Next();  // END label
  if (!p.AcceptOp(";")) Unexpected(p, p.Peek());
  if (!p.AtEnd()) Unexpected(p, p.Peek());
  return t;
}

}  // namespace ocisim::sql
