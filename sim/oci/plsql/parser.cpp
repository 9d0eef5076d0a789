// PL/SQL parser: see parser.h.
#include "plsql/parser.h"

#include <set>

namespace ocisim::plsql {

namespace {

// Wraps the expected words the way the server lays them out in ALL_ERRORS:
// a blank line, then lines of at most 64 characters indented by three.
std::string Wrap(const std::vector<std::string>& words) {
  std::string out = "\n\n", line = "  ";
  for (const auto& w : words) {
    if (line.size() > 2 && line.size() + 1 + w.size() > 64) {
      out += line + "\n";
      line = "  ";
    }
    line += " " + w;
  }
  return out + line;
}

const std::vector<std::string> kAfterName = {":=", ".", "(", "@", "%", ";"};
const std::vector<std::string> kSemicolon = {";"};
const std::vector<std::string> kAfterExpr = {".", "(", "*", "@", "%", "&", "=", "-", "+", ";", "<", "/", ">", "at", "in",
                                             "is", "mod", "remainder", "not", "rem", "<an exponent (**)>", "<>",
                                             "or", "!=", "or", "~=", ">=", "<=", "<>", "and", "or", "like", "like2",
                                             "like4", "likec", "between", "||", "multiset", "member", "submultiset"};
const std::vector<std::string> kExprStart = {"(", "-", "+", "case", "mod", "new", "not", "null", "<an identifier>",
                                             "<a double-quoted delimited-identifier>", "<a bind variable>", "avg",
                                             "count", "current", "exists", "max", "min", "prior", "sql", "stddev",
                                             "sum", "variance", "execute", "forall", "merge", "time", "timestamp",
                                             "interval", "date", "<a string literal with character set specification>",
                                             "<a number>", "<a single-quoted SQL string>", "pipe"};
const std::vector<std::string> kDeclStart = {"begin", "function", "pragma", "procedure", "subtype", "type",
                                             "<an identifier>", "<a double-quoted delimited-identifier>", "current",
                                             "cursor", "delete", "exists", "prior"};
const std::vector<std::string> kIsAs = {"(", ";", "is", "with", "authid", "as", "cluster", "compress", "order", "using",
                                        "compiled", "wrapped", "external", "deterministic", "parallel_enable",
                                        "pipelined"};
const std::vector<std::string> kIdent = {"<an identifier>", "<a double-quoted delimited-identifier>"};

// Words that cannot name a variable or routine.
const std::set<std::string> kReserved = {
    "ALL", "ALTER", "AND", "ANY", "AS", "ASC", "BEGIN", "BETWEEN", "BY", "CASE", "CHECK", "CLUSTER", "CONNECT",
    "CREATE", "DECLARE", "DEFAULT", "DESC", "DISTINCT", "DROP", "ELSE", "ELSIF", "END", "EXCEPTION", "EXISTS",
    "FETCH", "FOR", "FROM", "GOTO", "GRANT", "GROUP", "HAVING", "IF", "IN", "INDEX", "INSERT", "INTERSECT", "INTO",
    "IS", "LIKE", "LOOP", "MINUS", "NOT", "NULL", "OF", "ON", "OR", "ORDER", "RAISE", "RETURN", "SELECT", "START",
    "THEN", "TO", "UNION", "UNIQUE", "UPDATE", "USING", "VALUES", "WHEN", "WHERE", "WHILE", "WITH", "EXIT", "LOOP",
    "ELSIF", "CLOSE", "OPEN", "COMMIT", "ROLLBACK", "DELETE", "SAVEPOINT"};

class Parser {
 public:
  explicit Parser(std::vector<Token> toks) : t_(std::move(toks)) {}
  std::vector<Token>& toks() { return t_; }

  const Token& Peek(size_t k = 0) const { return t_[std::min(i_ + k, t_.size() - 1)]; }
  int Here() const { return static_cast<int>(std::min(i_, t_.size() - 1)); }
  const Token& Next() {
    const Token& x = Peek();
    if (i_ < t_.size() - 1) ++i_;
    return x;
  }
  bool Accept(std::string_view w) {
    if (!Peek().Is(w)) return false;
    Next();
    return true;
  }
  bool AcceptOp(std::string_view o) {
    if (!Peek().IsOp(o)) return false;
    Next();
    return true;
  }
  // Expressions and statements nest by recursion; a bound keeps absurdly
  // deep nesting an error instead of a stack overflow of the host process.
  static constexpr int kMaxNesting = 400;
  int nesting_ = 0;
  struct Nest {
    int& n;
    Nest(int& depth, const Token& at) : n(depth) {
      if (++n > kMaxNesting) {
        --n;
        throw SyntaxError(at.line, at.col, "PLS-00123: program too large (Diana nodes)");
      }
    }
    ~Nest() { --n; }
  };
  [[noreturn]] void Fail(const std::vector<std::string>& expected, const std::string& substituted = "") const {
    const Token& at = Peek();
    // At the end of the text the server lists what may start a statement,
    // or a declaration when the text ends among declarations.
    if (at.type == T::Eof)
      throw SyntaxError(at.line, at.col, Pls103(at, &expected == &kDeclStart ? kDeclStart : StatementStarters()));
    throw SyntaxError(at.line, at.col, Pls103(at, expected, substituted));
  }
  // A symbol the server inserts before the offending one to go on.
  [[noreturn]] void FailInserted(const std::vector<std::string>& expected, const std::string& inserted) const {
    const Token& at = Peek();
    if (at.type == T::Eof) Fail(expected);
    throw SyntaxError(at.line, at.col,
                      Pls103(at, expected) + "\nThe symbol \"" + inserted + "\" was inserted before \"" + at.Symbol() +
                          "\" to continue.");
  }
  void Expect(std::string_view w, const std::vector<std::string>& expected) {
    if (!Accept(w)) Fail(expected);
  }
  void ExpectOp(std::string_view o, const std::vector<std::string>& expected) {
    if (!AcceptOp(o)) Fail(expected, o == ";" && Peek().type == T::Ident ? ";" : "");
  }
  bool IsName(const Token& k) const {
    return k.type == T::QuotedIdent || (k.type == T::Ident && !kReserved.count(k.text));
  }
  std::string Name() {
    if (!IsName(Peek())) Fail(kIdent);
    return Next().text;
  }

  // ---- units ----
  Unit ParseUnit() {
    Unit u;
    if (Peek().Is("CREATE")) {
      Next();
      if (Accept("OR")) Expect("REPLACE", {"replace"});
    }
    const Token& k = Peek();
    if (k.Is("DECLARE") || k.Is("BEGIN") || k.IsOp("<<")) {
      u.type = "ANONYMOUS";
      u.init = ParseBlock();
      ExpectOp(";", kSemicolon);
      AcceptOp("/");
      if (Peek().type != T::Eof) Fail(StatementStarters());
      return u;
    }
    if (k.Is("PROCEDURE") || k.Is("FUNCTION")) {
      u.type = k.text;
      u.sub = ParseSubprogram(true);
      if (!u.sub->block) Fail({"is", "as"});
      u.name = u.sub->name;
      ExpectOp(";", kSemicolon);
    } else if (k.Is("PACKAGE")) {
      Next();
      u.type = Accept("BODY") ? "PACKAGE BODY" : "PACKAGE";
      u.name = DottedUnitName();
      SkipUnitOptions();
      if (!Accept("IS") && !Accept("AS")) Fail(kIsAs);
      u.decls = ParseDecls(true);
      if (u.type == "PACKAGE BODY" && Peek().Is("BEGIN")) {
        auto b = std::make_shared<Block>();
        b->tok = Here();
        Next();
        b->body = ParseStatements(true);
        if (Accept("EXCEPTION")) b->handlers = ParseHandlers();
        u.init = b;
      }
      if (!Peek().Is("END")) Fail(u.type == "PACKAGE" ? kDeclStart : std::vector<std::string>{"begin", "end", "function", "pragma", "procedure"});
      Next();
      if (IsName(Peek())) Next();
      ExpectOp(";", kSemicolon);
    } else if (k.Is("TRIGGER")) {
      u.type = "TRIGGER";
      Next();
      u.name = DottedUnitName();
      ParseTriggerHead(u.trigger);
      u.init = ParseBlock();
      ExpectOp(";", kSemicolon);
    } else {
      Fail({"function", "package", "procedure", "trigger"});
    }
    AcceptOp("/");
    if (Peek().type != T::Eof) Fail({"end-of-file"});
    return u;
  }

  std::string DottedUnitName() {
    std::string n = Name();
    if (AcceptOp(".")) n = Name();  // the owner is the CREATE statement's business
    return n;
  }

  void SkipUnitOptions() {
    if (Accept("AUTHID")) {
      if (!Accept("CURRENT_USER") && !Accept("DEFINER")) Fail({"current_user", "definer"});
    }
  }

  void ParseTriggerHead(TriggerInfo& tr) {
    if (Accept("BEFORE")) tr.timing = "BEFORE";
    else if (Accept("AFTER")) tr.timing = "AFTER";
    else if (Accept("INSTEAD")) {
      Expect("OF", {"of"});
      tr.timing = "INSTEAD OF";
    } else Fail({"after", "before", "instead"});
    do {
      const Token& e = Peek();
      if (!e.Is("INSERT") && !e.Is("UPDATE") && !e.Is("DELETE")) Fail({"delete", "insert", "update"});
      tr.events.push_back(Next().text);
      if (e.Is("UPDATE") && Accept("OF")) {
        do tr.updateColumns.push_back(Name());
        while (AcceptOp(","));
      }
    } while (Accept("OR"));
    Expect("ON", {"on", "or"});
    tr.tableTok = Here();
    tr.table = Name();
    if (AcceptOp(".")) {
      tr.tableOwner = tr.table;
      tr.tableTok = Here();
      tr.table = Name();
    }
    if (Accept("REFERENCING")) {
      while (Peek().Is("NEW") || Peek().Is("OLD") || Peek().Is("PARENT")) {
        std::string which = Next().text;
        Accept("AS");
        std::string alias = Name();
        if (which == "NEW") tr.newName = alias;
        if (which == "OLD") tr.oldName = alias;
      }
    }
    if (Accept("FOR")) {
      Expect("EACH", {"each"});
      Expect("ROW", {"row"});
      tr.forEachRow = true;
    }
    if (Peek().Is("WHEN")) {
      tr.whenTok = Here();
      Next();
      ExpectOp("(", {"("});
      tr.when = ParseExpr();
      ExpectOp(")", {")", "and", "or"});
    }
    if (!Peek().Is("BEGIN") && !Peek().Is("DECLARE") && !Peek().Is("CALL"))
      Fail({"begin", "call", "declare", "for", "when", "referencing"});
  }

  SubprogramP ParseSubprogram(bool standalone) {
    auto s = std::make_shared<Subprogram>();
    s->tok = Here();
    s->isFunction = Next().Is("FUNCTION");
    s->nameTok = Here();
    s->name = standalone ? DottedUnitName() : Name();
    if (AcceptOp("(")) {
      do s->params.push_back(ParseParam(true));
      while (AcceptOp(","));
      ExpectOp(")", {")", ","});
    }
    if (s->isFunction) {
      Expect("RETURN", {"(", "return"});
      s->ret = ParseType();
    }
    while (Accept("DETERMINISTIC") || Accept("PIPELINED") || Accept("PARALLEL_ENABLE")) {
    }
    SkipUnitOptions();
    if (!standalone && Peek().IsOp(";")) return s;  // a declaration only
    if (!Accept("IS") && !Accept("AS")) Fail(kIsAs, Peek().Is("BEGIN") ? "is" : "");
    s->block = ParseBlockBody(s->tok);
    if (!standalone) ExpectOp(";", kSemicolon);
    return s;
  }

  Param ParseParam(bool modes) {
    Param p;
    p.tok = Here();
    p.name = Name();
    if (modes) {
      if (Accept("IN")) {
        p.mode = Accept("OUT") ? "IN OUT" : "IN";
      } else if (Accept("OUT")) {
        p.mode = "OUT";
      }
      Accept("NOCOPY");
    }
    p.type = ParseType();
    if (Accept("NOT")) Expect("NULL", {"null"});
    if (AcceptOp(":=") || Accept("DEFAULT")) p.deflt = ParseExpr();
    return p;
  }

  TypeSpec ParseType() {
    TypeSpec ts;
    ts.tok = Here();
    if (!IsName(Peek()) && !Peek().Is("DATE")) Fail(kIdent);
    ts.name.push_back(Next().text);
    if (ts.name[0] == "LONG" && Peek().Is("RAW")) ts.name[0] = "LONG RAW", Next();
    if (ts.name[0] == "DOUBLE" && Peek().Is("PRECISION")) ts.name[0] = "NUMBER", Next();
    while (AcceptOp(".")) ts.name.push_back(Name());
    if (AcceptOp("%")) {
      if (Accept("TYPE")) ts.attr = "TYPE";
      else if (Accept("ROWTYPE")) ts.attr = "ROWTYPE";
      else Fail({"rowtype", "type"});
      return ts;
    }
    if (AcceptOp("(")) {
      if (Peek().type == T::Number) ts.size = std::atoi(Peek().text.c_str());
      while (!Peek().IsOp(")")) {
        if (Peek().type == T::Eof) Fail({")"});
        Next();
      }
      Next();
    }
    if (Peek().Is("WITH") && (Peek(1).Is("TIME") || Peek(1).Is("LOCAL"))) {
      while (!Peek().Is("ZONE") && Peek().type != T::Eof) Next();
      Next();
    }
    return ts;
  }

  // ---- blocks ----
  BlockP ParseBlock() {
    std::string label;
    while (AcceptOp("<<")) {
      label = Name();
      ExpectOp(">>", {">>"});
    }
    int start = Here();
    if (Accept("DECLARE")) return ParseBlockBody(start);
    if (!Peek().Is("BEGIN")) Fail({"begin", "declare"});
    return ParseBlockBody(start);
  }

  // Declarations (after DECLARE or IS), BEGIN, statements, handlers, END [name];
  // The ';' after END is left for the caller.
  BlockP ParseBlockBody(int start) {
    auto b = std::make_shared<Block>();
    b->tok = start;
    b->decls = ParseDecls(false);
    if (!Accept("BEGIN")) Fail(kDeclStart);
    b->body = ParseStatements(true);
    if (Accept("EXCEPTION")) b->handlers = ParseHandlers();
    b->endTok = Here();
    if (!Accept("END")) Fail(StatementStarters());
    if (IsName(Peek())) Next();
    if (Peek().type == T::Eof) Fail(kSemicolon);
    if (!Peek().IsOp(";")) Fail(kSemicolon, Peek().type == T::Ident ? ";" : "");
    return b;
  }

  std::vector<Decl> ParseDecls(bool package) {
    std::vector<Decl> out;
    for (;;) {
      const Token& k = Peek();
      if (k.Is("BEGIN") || k.Is("END") || k.type == T::Eof) break;
      Decl d;
      d.tok = Here();
      if (k.Is("PROCEDURE") || k.Is("FUNCTION")) {
        d.kind = Decl::Sub;
        d.sub = ParseSubprogram(false);
        d.name = d.sub->name;
        if (!d.sub->block) ExpectOp(";", kSemicolon);
        out.push_back(std::move(d));
        continue;
      }
      if (k.Is("CURSOR")) {
        Next();
        d.kind = Decl::Cursor;
        d.name = Name();
        if (AcceptOp("(")) {
          do d.params.push_back(ParseParam(true));
          while (AcceptOp(","));
          ExpectOp(")", {")", ","});
        }
        if (Accept("RETURN")) d.type = ParseType();
        if (Accept("IS")) {
          d.hasQuery = true;
          d.query = ParseSqlText(false);
        }
        ExpectOp(";", kSemicolon);
      } else if (k.Is("TYPE") || k.Is("SUBTYPE")) {
        bool sub = k.Is("SUBTYPE");
        Next();
        d.kind = Decl::Type;
        d.name = Name();
        Expect("IS", {"is"});
        if (sub) {
          d.typeKind = "SUBTYPE";
          d.element = ParseType();
          if (Accept("NOT")) Expect("NULL", {"null"});
        } else if (Accept("RECORD")) {
          d.typeKind = "RECORD";
          ExpectOp("(", {"("});
          do d.fields.push_back(ParseParam(false));
          while (AcceptOp(","));
          ExpectOp(")", {")", ","});
        } else if (Accept("TABLE")) {
          d.typeKind = "TABLE";
          Expect("OF", {"of"});
          d.element = ParseType();
          if (Accept("NOT")) Expect("NULL", {"null"});
          if (Accept("INDEX")) {
            Expect("BY", {"by"});
            ParseType();
          }
        } else if (Accept("VARRAY") || (Peek().Is("VARYING") && (Next(), Accept("ARRAY")))) {
          d.typeKind = "VARRAY";
          ExpectOp("(", {"("});
          ParseExpr();
          ExpectOp(")", {")"});
          Expect("OF", {"of"});
          d.element = ParseType();
        } else if (Accept("REF")) {
          Expect("CURSOR", {"cursor"});
          d.typeKind = "REF CURSOR";
          if (Accept("RETURN")) d.element = ParseType();
        } else {
          Fail({"record", "ref", "table", "varray"});
        }
        ExpectOp(";", kSemicolon);
      } else if (k.Is("PRAGMA")) {
        Next();
        d.kind = Decl::Pragma;
        d.pragmaName = Name();
        if (AcceptOp("(")) {
          if (d.pragmaName == "EXCEPTION_INIT") {
            d.name = Name();
            ExpectOp(",", {","});
            bool neg = AcceptOp("-");
            if (Peek().type != T::Number) Fail({"<a number>"});
            d.pragmaCode = std::atoll(Next().text.c_str()) * (neg ? -1 : 1);
            ExpectOp(")", {")"});
          } else {
            int depth = 1;
            while (depth > 0 && Peek().type != T::Eof) {
              if (Peek().IsOp("(")) ++depth;
              if (Peek().IsOp(")")) --depth;
              Next();
            }
          }
        }
        ExpectOp(";", kSemicolon);
      } else if (IsName(k)) {
        d.name = Next().text;
        if (Accept("EXCEPTION")) {
          d.kind = Decl::Exception;
        } else {
          d.kind = Accept("CONSTANT") ? Decl::Const : Decl::Var;
          d.type = ParseType();
          if (Accept("NOT")) {
            Expect("NULL", {"null"});
            d.notNull = true;
          }
          if (AcceptOp(":=") || Accept("DEFAULT")) d.init = ParseExpr();
          else if (Peek().IsOp("=")) Fail({":=", ".", "(", "@", "%", ";", "not", "null", "range", "default", "character"});
        }
        ExpectOp(";", kSemicolon);
      } else {
        if (package) break;
        Fail(kDeclStart);
      }
      out.push_back(std::move(d));
    }
    return out;
  }

  std::vector<Handler> ParseHandlers() {
    std::vector<Handler> hs;
    if (!Peek().Is("WHEN")) Fail({"pragma", "when"});
    while (Accept("WHEN")) {
      Handler h;
      do {
        int tk = Here();
        std::string n = Name();
        while (AcceptOp(".")) n += "." + Name();
        h.names.push_back({n, tk});
      } while (Accept("OR"));
      Expect("THEN", {"or", "then"});
      h.body = ParseStatements(true);
      hs.push_back(std::move(h));
    }
    return hs;
  }

  static bool Ends(const Token& k) {
    return k.Is("END") || k.Is("ELSE") || k.Is("ELSIF") || k.Is("EXCEPTION") || k.Is("WHEN") || k.type == T::Eof;
  }

  std::vector<StmtP> ParseStatements(bool needOne) {
    std::vector<StmtP> out;
    while (!Ends(Peek())) out.push_back(ParseStatement());
    if (needOne && out.empty()) Fail(StatementStarters());
    if (Peek().type == T::Eof) Fail(StatementStarters());
    return out;
  }

  StmtP ParseStatement() {
    Nest guard(nesting_, Peek());
    auto s = std::make_shared<Stmt>();
    while (Peek().IsOp("<<")) {
      Next();
      s->label = Name();
      ExpectOp(">>", {">>"});
      if (Ends(Peek())) Fail(StatementStarters());
    }
    s->tok = Here();
    const Token& k = Peek();
    auto semi = [&] { ExpectOp(";", kSemicolon); };
    if (k.Is("NULL")) {
      Next();
      s->kind = Stmt::Null;
      semi();
    } else if (k.Is("IF")) {
      Next();
      s->kind = Stmt::If;
      do {
        s->conds.push_back(ParseExpr());
        if (!Accept("THEN")) {
          // "IF a > 1, b < 2 THEN": the server goes on as if AND were there;
          // before a word it supposes the THEN.
          static const std::vector<std::string> kAfterCond = {"*", "&", "-", "+", "/", "at", "mod", "remainder", "rem",
                                                              "then", "<an exponent (**)>", "and", "or", "||", "multiset"};
          if (Peek().IsOp(",")) FailInserted(kAfterCond, "and");
          if (Peek().type == T::Ident || Peek().type == T::QuotedIdent) FailInserted(kAfterCond, "then");
          Fail(kAfterCond);
        }
        s->branches.push_back(ParseStatements(true));
      } while (Accept("ELSIF"));
      if (Accept("ELSE")) {
        s->hasElse = true;
        s->branches.push_back(ParseStatements(true));
      }
      Expect("END", StatementStarters());
      Expect("IF", {"if"});
      semi();
    } else if (k.Is("CASE")) {
      Next();
      s->kind = Stmt::Case;
      if (!Peek().Is("WHEN")) s->expr = ParseExpr();
      if (!Peek().Is("WHEN")) Fail({"when"});
      while (Accept("WHEN")) {
        s->conds.push_back(ParseExpr());
        Expect("THEN", {"then"});
        s->branches.push_back(ParseStatements(true));
      }
      if (Accept("ELSE")) {
        s->hasElse = true;
        s->branches.push_back(ParseStatements(true));
      }
      Expect("END", StatementStarters());
      Expect("CASE", {"case"});
      if (IsName(Peek())) Next();
      semi();
    } else if (k.Is("LOOP") || k.Is("WHILE") || k.Is("FOR")) {
      if (k.Is("WHILE")) {
        Next();
        s->kind = Stmt::While;
        s->expr = ParseExpr();
      } else if (k.Is("FOR")) {
        Next();
        s->varTok = Here();
        s->var = Name();
        Expect("IN", {"in"});
        if (Peek().IsOp("(") && (Peek(1).Is("SELECT") || Peek(1).Is("WITH"))) {
          Next();
          s->kind = Stmt::ForCursor;
          s->cursorQuery = true;
          s->sql = ParseSqlText(true);
          ExpectOp(")", {")"});
        } else if (IsName(Peek()) && !Peek(1).IsOp("..") && !Peek(1).IsOp(".") && !Peek().Is("REVERSE") &&
                   (Peek(1).Is("LOOP") || Peek(1).IsOp("("))) {
          // FOR r IN cursor[(args)] LOOP; a function call bound would need "..".
          size_t save = i_;
          std::vector<NamePart> ref = ParseRef();
          if (Peek().Is("LOOP")) {
            s->kind = Stmt::ForCursor;
            s->target = ref;
          } else {
            i_ = save;
          }
        }
        if (s->kind != Stmt::ForCursor) {
          s->kind = Stmt::ForNum;
          s->reverse = Accept("REVERSE");
          s->lo = ParseExpr();
          ExpectOp("..", {"..", "*", "&", "-", "+", "/", "at", "mod", "remainder", "rem", "<an exponent (**)>", "||"});
          s->hi = ParseExpr();
        }
      } else {
        s->kind = Stmt::Loop;
      }
      Expect("LOOP", {"loop"});
      s->body = ParseStatements(true);
      Expect("END", StatementStarters());
      Expect("LOOP", {"loop"});
      if (IsName(Peek())) Next();
      semi();
    } else if (k.Is("EXIT")) {
      Next();
      s->kind = Stmt::Exit;
      if (IsName(Peek()) && !Peek().Is("WHEN")) s->var = Next().text;
      if (Accept("WHEN")) s->expr = ParseExpr();
      semi();
    } else if (k.Is("RETURN")) {
      Next();
      s->kind = Stmt::Return;
      if (!Peek().IsOp(";")) s->expr = ParseExpr();
      semi();
    } else if (k.Is("RAISE")) {
      Next();
      s->kind = Stmt::Raise;
      if (!Peek().IsOp(";")) s->target = ParseRef();
      semi();
    } else if (k.Is("GOTO")) {
      Next();
      s->kind = Stmt::Goto;
      s->var = Name();
      semi();
    } else if (k.Is("COMMIT") || k.Is("ROLLBACK") || k.Is("SAVEPOINT")) {
      s->kind = k.Is("COMMIT") ? Stmt::Commit : k.Is("ROLLBACK") ? Stmt::Rollback : Stmt::Savepoint;
      Next();
      Accept("WORK");
      if (s->kind == Stmt::Savepoint) s->var = Name();
      if (s->kind == Stmt::Rollback && Accept("TO")) {
        Accept("SAVEPOINT");
        s->var = Name();
      }
      if (s->kind == Stmt::Commit && Accept("COMMENT")) {
        if (Peek().type != T::String) Fail({"<a single-quoted SQL string>"});
        Next();
      }
      semi();
    } else if (k.Is("OPEN")) {
      Next();
      s->kind = Stmt::Open;
      s->target = ParseRef();
      if (Accept("FOR")) {
        if (Peek().Is("SELECT") || Peek().Is("WITH")) {
          s->cursorQuery = true;
          s->sql = ParseSqlText(false);
        } else {
          s->expr = ParseExpr();
        }
      }
      semi();
    } else if (k.Is("FETCH")) {
      Next();
      s->kind = Stmt::Fetch;
      s->target = ParseRef();
      if (Accept("BULK")) {
        Expect("COLLECT", {"collect"});
        s->sql.bulk = true;
      }
      Expect("INTO", {"into", "bulk"});
      do s->into.push_back(ParseRef());
      while (AcceptOp(","));
      if (Accept("LIMIT")) ParseExpr();
      semi();
    } else if (k.Is("CLOSE")) {
      Next();
      s->kind = Stmt::Close;
      s->target = ParseRef();
      semi();
    } else if (k.Is("EXECUTE")) {
      Next();
      Expect("IMMEDIATE", {"immediate"});
      s->kind = Stmt::ExecImm;
      s->expr = ParseExpr();
      if (Accept("INTO")) {
        do s->into.push_back(ParseRef());
        while (AcceptOp(","));
      }
      if (Accept("USING")) {
        do {
          if (Accept("IN")) Accept("OUT");
          else Accept("OUT");
          s->args.push_back(ParseExpr());
        } while (AcceptOp(","));
      }
      semi();
    } else if (k.Is("DECLARE") || k.Is("BEGIN")) {
      s->kind = Stmt::BlockStmt;
      s->block = ParseBlock();
      semi();
    } else if (k.Is("SELECT") || k.Is("INSERT") || k.Is("UPDATE") || k.Is("DELETE") || k.Is("MERGE") ||
               k.Is("LOCK") || k.Is("WITH") || (k.Is("SET") && Peek(1).Is("TRANSACTION"))) {
      s->kind = Stmt::Sql;
      s->sqlVerb = k.Is("WITH") ? "SELECT" : k.text;
      s->sql = ParseSqlText(false);
      semi();
    } else if (k.type == T::Bind) {
      s->kind = Stmt::Assign;
      s->bindTarget = Next().text;
      if (AcceptOp(".")) s->bindField = Name();
      ExpectOp(":=", {":=", ".", "(", "@", "%"});
      s->expr = ParseExpr();
      semi();
    } else if (IsName(k)) {
      s->target = ParseRef();
      if (AcceptOp(":=")) {
        s->kind = Stmt::Assign;
        s->expr = ParseExpr();
        // "c := a b;" goes on as "a.b"; a missing ";" before END as ";".
        if (!AcceptOp(";")) Fail(kAfterExpr, Peek().Is("END") ? ";" : Peek().type == T::Ident ? "." : "");
      } else if (Peek().IsOp(";")) {
        s->kind = Stmt::Call;
        Next();
      } else {
        Fail(kAfterName, Peek().type == T::Ident || Peek().type == T::Eof ? ";" : "");
      }
    } else {
      Fail(StatementStarters());
    }
    return s;
  }

  // A dotted name with calls: a.b(c).d, x(1), SQL%ROWCOUNT is an Attr expression instead.
  std::vector<NamePart> ParseRef() {
    std::vector<NamePart> parts;
    for (;;) {
      NamePart np;
      np.tok = Here();
      if (!parts.empty() && (Peek().type == T::Ident || Peek().type == T::QuotedIdent)) np.name = Next().text;
      else np.name = Name();
      if (Peek().IsOp("(")) ParseArgs(np);
      parts.push_back(std::move(np));
      if (!AcceptOp(".")) break;
    }
    return parts;
  }

  void ParseArgs(NamePart& np) {
    Next();  // (
    np.called = true;
    if (AcceptOp(")")) return;
    do {
      std::string an;
      if (IsName(Peek()) && Peek(1).IsOp("=>")) {
        an = Next().text;
        Next();
      }
      np.argNames.push_back(an);
      np.args.push_back(ParseExpr());
    } while (AcceptOp(","));
    ExpectOp(")", {")", ",", "*", "&", "-", "+", "/", "at", "mod", "remainder", "rem", "<an exponent (**)>", "and", "or", "||", "multiset"});
  }

  // Embedded SQL: to the ';' (or the closing ')' of FOR r IN (...)) outside
  // parentheses. A PL/SQL word that SQL cannot hold ends it.
  SqlText ParseSqlText(bool inParens) {
    SqlText st;
    st.first = Here();
    int depth = 0, caseDepth = 0;
    bool select = Peek().Is("SELECT");
    for (;;) {
      const Token& k = Peek();
      if (k.type == T::Eof) Fail(StatementStarters());
      if (depth == 0 && k.IsOp(";")) {
        if (inParens) Fail({")"});
        break;
      }
      if (k.IsOp("(")) ++depth;
      if (k.IsOp(")")) {
        if (depth == 0) {
          if (inParens) break;
          Fail(StatementStarters());
        }
        --depth;
      }
      if (k.Is("CASE")) ++caseDepth;
      if (k.Is("END")) {
        if (caseDepth == 0) Fail(kAfterExpr, ";");
        --caseDepth;
      }
      if (depth == 0 && caseDepth == 0 &&
          (k.Is("BEGIN") || k.Is("DECLARE") || k.Is("ELSIF") || k.Is("EXCEPTION") || (k.Is("LOOP") && !inParens)))
        Fail(kAfterExpr, ";");
      if (select && depth == 0 && st.intoFirst < 0 && (k.Is("INTO") || k.Is("BULK"))) {
        st.intoFirst = Here();
        if (Accept("BULK")) {
          Expect("COLLECT", {"collect"});
          st.bulk = true;
        }
        Expect("INTO", {"into"});
        do st.into.push_back(ParseRef());
        while (AcceptOp(","));
        st.intoLast = Here();
        continue;
      }
      Next();
    }
    st.last = Here();
    return st;
  }

  // ---- expressions ----
  ExprP Make(Expr::Kind k, int tok, std::string text = "") {
    auto e = std::make_shared<Expr>();
    e->kind = k;
    e->tok = tok;
    e->text = std::move(text);
    return e;
  }

  ExprP ParseExpr() {
    Nest guard(nesting_, Peek());
    return ParseOr();
  }
  ExprP ParseOr() {
    ExprP l = ParseAnd();
    while (Peek().Is("OR")) {
      auto e = Make(Expr::Binary, Here(), "OR");
      Next();
      e->kids = {l, ParseAnd()};
      l = e;
    }
    return l;
  }
  ExprP ParseAnd() {
    ExprP l = ParseNot();
    while (Peek().Is("AND")) {
      auto e = Make(Expr::Binary, Here(), "AND");
      Next();
      e->kids = {l, ParseNot()};
      l = e;
    }
    return l;
  }
  ExprP ParseNot() {
    Nest guard(nesting_, Peek());
    if (Peek().Is("NOT")) {
      auto e = Make(Expr::Unary, Here(), "NOT");
      Next();
      e->kids = {ParseNot()};
      return e;
    }
    return ParseCmp();
  }
  ExprP ParseCmp() {
    ExprP l = ParseConcat();
    for (;;) {
      const Token& k = Peek();
      int at = Here();
      if (k.type == T::Op && (k.text == "=" || k.text == "<>" || k.text == "!=" || k.text == "~=" || k.text == "^=" ||
                              k.text == "<" || k.text == ">" || k.text == "<=" || k.text == ">=")) {
        std::string op = Next().text;
        if (op == "!=" || op == "~=" || op == "^=") op = "<>";
        auto e = Make(Expr::Binary, at, op);
        e->kids = {l, ParseConcat()};
        l = e;
        continue;
      }
      if (k.Is("IS")) {
        Next();
        auto e = Make(Expr::IsNull, at);
        e->negated = Accept("NOT");
        Expect("NULL", {"null", "not"});
        e->kids = {l};
        l = e;
        continue;
      }
      bool neg = false;
      if (k.Is("NOT") && (Peek(1).Is("BETWEEN") || Peek(1).Is("IN") || Peek(1).Is("LIKE"))) {
        Next();
        neg = true;
      }
      if (Accept("BETWEEN")) {
        auto e = Make(Expr::Between, at);
        e->negated = neg;
        ExprP lo = ParseConcat();
        Expect("AND", {"and"});
        e->kids = {l, lo, ParseConcat()};
        l = e;
        continue;
      }
      if (Accept("LIKE")) {
        auto e = Make(Expr::Like, at);
        e->negated = neg;
        e->kids = {l, ParseConcat()};
        if (Accept("ESCAPE")) e->kids.push_back(ParseConcat());
        l = e;
        continue;
      }
      if (Accept("IN")) {
        auto e = Make(Expr::In, at);
        e->negated = neg;
        e->kids = {l};
        ExpectOp("(", {"("});
        do e->kids.push_back(ParseExpr());
        while (AcceptOp(","));
        ExpectOp(")", {")", ","});
        l = e;
        continue;
      }
      return l;
    }
  }
  ExprP ParseConcat() {
    ExprP l = ParseMul();
    while (Peek().IsOp("+") || Peek().IsOp("-") || Peek().IsOp("||")) {
      auto e = Make(Expr::Binary, Here(), Next().text);
      e->kids = {l, ParseMul()};
      l = e;
    }
    return l;
  }
  ExprP ParseMul() {
    ExprP l = ParseUnary();
    while (Peek().IsOp("*") || Peek().IsOp("/") || Peek().Is("MOD")) {
      auto e = Make(Expr::Binary, Here(), Next().text);
      e->kids = {l, ParseUnary()};
      l = e;
    }
    return l;
  }
  ExprP ParseUnary() {
    Nest guard(nesting_, Peek());
    if (Peek().IsOp("-") || Peek().IsOp("+")) {
      auto e = Make(Expr::Unary, Here(), Next().text);
      e->kids = {ParseUnary()};
      return e;
    }
    ExprP b = ParsePrimary();
    if (Peek().IsOp("**")) {
      auto e = Make(Expr::Binary, Here(), Next().text);
      e->kids = {b, ParseUnary()};
      return e;
    }
    return b;
  }
  ExprP ParsePrimary() {
    const Token& k = Peek();
    int at = Here();
    if (k.type == T::Number) return Make(Expr::Number, at, Next().text);
    if (k.type == T::String) return Make(Expr::String, at, Next().text);
    if (k.Is("NULL")) return Next(), Make(Expr::Null, at);
    if (k.Is("TRUE") || k.Is("FALSE")) return Make(Expr::Bool, at, Next().text);
    if (k.type == T::Bind) {
      auto e = Make(Expr::Bind, at, Next().text);
      if (AcceptOp(".")) {
        NamePart np;
        np.tok = Here();
        np.name = Name();
        e->ref.push_back(np);
      }
      return e;
    }
    if (k.IsOp("(")) {
      Next();
      ExprP e = ParseExpr();
      ExpectOp(")", {")", "*", "&", "-", "+", "/", "at", "mod", "remainder", "rem", "<an exponent (**)>", "and", "or", "||", "multiset"});
      return e;
    }
    if (k.Is("CASE")) {
      Next();
      auto e = Make(Expr::Case, at);
      if (!Peek().Is("WHEN")) {
        e->hasSelector = true;
        e->kids.push_back(ParseExpr());
      }
      if (!Peek().Is("WHEN")) Fail({"when"});
      while (Accept("WHEN")) {
        e->kids.push_back(ParseExpr());
        Expect("THEN", {"then"});
        e->kids.push_back(ParseExpr());
      }
      if (Accept("ELSE")) {
        e->hasElse = true;
        e->kids.push_back(ParseExpr());
      }
      Expect("END", {"else", "end", "when"});
      return e;
    }
    if (IsName(k) || k.Is("SQL")) {
      auto e = Make(Expr::Ref, at);
      e->ref = ParseRef();
      if (AcceptOp("%")) {
        e->kind = Expr::Attr;
        e->attrTok = Here();
        const bool known = Peek().Is("FOUND") || Peek().Is("NOTFOUND") || Peek().Is("ROWCOUNT") || Peek().Is("ISOPEN");
        // A wrong attribute of SQL is a name error (PLS-00207), not syntax.
        const bool sqlWord = e->ref.size() == 1 && e->ref[0].name == "SQL" && Peek().type == T::Ident;
        if (!known && !sqlWord) Fail({"found", "isopen", "notfound", "rowcount"});
        e->text = Next().text;
      }
      return e;
    }
    Fail(kExprStart);
  }

 private:
  std::vector<Token> t_;
  size_t i_ = 0;
};

}  // namespace

const std::vector<std::string>& StatementStarters() {
  static const std::vector<std::string> w = {
      "begin", "case", "declare", "end", "exception", "exit", "for", "goto", "if", "loop", "mod", "null", "pragma",
      "raise", "return", "select", "update", "while", "with", "<an identifier>", "<a double-quoted delimited-identifier>",
      "<a bind variable>", "<<", "close", "current", "delete", "fetch", "lock", "insert", "open", "rollback",
      "savepoint", "set", "sql", "execute", "commit", "forall", "merge", "<a single-quoted SQL string>", "pipe"};
  return w;
}

std::string Pls103(const Token& at, const std::vector<std::string>& expected, const std::string& substituted) {
  std::string text = "PLS-00103: Encountered the symbol \"" + at.Symbol() + "\" when expecting one of the following:" +
                     Wrap(expected);
  if (!substituted.empty() && at.type != T::Eof)
    text += "\nThe symbol \"" + substituted + "\" was substituted for \"" + at.Symbol() + "\" to continue.";
  return text;
}

Unit Parse(std::string_view src) {
  Parser p(Lex(src));
  Unit u = p.ParseUnit();
  u.toks = std::move(p.toks());
  return u;
}

}  // namespace ocisim::plsql
