// Recursive-descent parser for Oracle SQL expressions and queries; see parser.h.
#include "sql/parser.h"

#include <algorithm>
#include <array>

namespace ocisim::sql {
namespace {

// Oracle reserved words (and clause keywords) that cannot be aliases or names.
constexpr std::string_view kReserved[] = {
    "ALL",     "AND",       "ANY",     "AS",        "ASC",      "BETWEEN", "BY",      "CHECK",   "CONNECT",
    "CREATE",  "CROSS",     "DEFAULT", "DELETE",    "DESC",     "DISTINCT", "DROP",   "ELSE",    "END",
    "EXISTS",  "FOR",       "FROM",    "FULL",      "GROUP",    "HAVING",  "IN",      "INNER",   "INSERT",
    "INTERSECT", "INTO",    "IS",      "JOIN",      "LEFT",     "LIKE",    "MINUS",   "NATURAL", "NOT",
    "NULL",    "ON",        "OR",      "ORDER",     "OUTER",    "PRIOR",   "RIGHT",   "SELECT",  "SET",
    "START",   "THEN",      "UNION",   "UPDATE",    "USING",    "VALUES",  "WHEN",    "WHERE",   "WITH",
    "NOCYCLE", "UNIQUE",    "TABLE",   "VIEW"};

bool IsWordToken(const Token& t) {
  return t.type == Tok::Ident || t.type == Tok::QuotedIdent || t.type == Tok::Number || t.type == Tok::Bind;
}

}  // namespace

bool IsReservedWord(std::string_view word) {
  return std::find(std::begin(kReserved), std::end(kReserved), word) != std::end(kReserved);
}

Parser::Parser(std::string_view source, bool prefixOnly)
    : source_(source), tokens_(Tokenize(source, prefixOnly, prefixOnly ? 400 : 0)) {}

const Token& Parser::Peek(size_t ahead) const {
  size_t i = std::min(pos_ + ahead, tokens_.size() - 1);
  return tokens_[i];
}

Token Parser::Next() {
  Token t = Peek();
  if (pos_ < tokens_.size() - 1) ++pos_;
  return t;
}

bool Parser::Accept(std::string_view word) {
  if (Peek().Is(word)) {
    ++pos_;
    return true;
  }
  return false;
}

bool Parser::AcceptOp(std::string_view op) {
  if (Peek().IsOp(op)) {
    ++pos_;
    return true;
  }
  return false;
}

void Parser::Expect(std::string_view word, int oraCode) {
  if (!Accept(word)) Fail(oraCode);
}

void Parser::ExpectOp(std::string_view op, int oraCode) {
  if (!AcceptOp(op)) Fail(oraCode);
}

void Parser::Fail(int oraCode) const {
  OraError e = MakeOraError(oraCode);
  e.offset = static_cast<long>(Peek().begin);
  throw e;
}

bool Parser::PeekName() const {
  const Token& t = Peek();
  return t.type == Tok::QuotedIdent || (t.type == Tok::Ident && !IsReservedWord(t.text));
}

std::string Parser::Name(int oraCode) {
  if (!PeekName()) Fail(oraCode);
  return Next().text;
}

void Parser::QualifiedName(std::optional<std::string>& owner, std::string& name) {
  name = Name(903);
  if (Peek().IsOp(".")) {
    ++pos_;
    owner = name;
    name = Name(903);
  }
}

std::string_view Parser::Slice(size_t fromTok, size_t toTok) const {
  if (toTok <= fromTok) return {};
  size_t b = tokens_[fromTok].begin, e = tokens_[toTok - 1].end;
  return source_.substr(b, e - b);
}

std::string Parser::ExpressionName(size_t fromTok, size_t toTok) const {
  std::string out = ExpressionText(fromTok, toTok);
  if (out.size() > 30) out.resize(30);
  return out;
}

std::string Parser::ExpressionText(size_t fromTok, size_t toTok) const {
  std::string out;
  const Token* prev = nullptr;
  for (size_t i = fromTok; i < toTok; ++i) {
    const Token& t = tokens_[i];
    if (prev && IsWordToken(*prev) && IsWordToken(t)) out += ' ';
    std::string_view raw = source_.substr(t.begin, t.end - t.begin);
    if (t.type == Tok::QuotedIdent) {
      out += t.text;
    } else {
      for (char c : raw) out += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    prev = &t;
  }
  return out;
}

void Parser::ExpectStatementEnd() {
  AcceptOp(";");
  if (!AtEnd()) Fail(933);
}

ExprP Parser::Make(EK kind, size_t beginTok) const {
  auto e = std::make_unique<Expr>(kind);
  e->begin = beginTok;
  return e;
}

// Limits that keep recursion (here and in the emitter) far from the stack's end.
constexpr int kMaxHeight = 1000;
constexpr int kMaxNesting = 200;

void Parser::Finish(Expr& e) const {
  e.end = pos_;
  int h = 0;
  for (const auto& a : e.args) h = std::max(h, a->height);
  e.height = h + 1;
  if (e.height > kMaxHeight) Fail(3001);
}

namespace {
struct NestingGuard {
  int& n;
  explicit NestingGuard(int& counter) : n(counter) {
    if (++n > kMaxNesting) {
      --n;
      throw MakeOraError(3001);
    }
  }
  ~NestingGuard() { --n; }
};
}  // namespace

ExprP Parser::ParseExpr() {
  NestingGuard guard(nesting_);
  return Or();
}

ExprP Parser::Or() {
  size_t b = pos_;
  ExprP left = And();
  while (Accept("OR")) {
    auto e = Make(EK::Binary, b);
    e->text = "OR";
    e->args.push_back(std::move(left));
    e->args.push_back(And());
    Finish(*e);
    left = std::move(e);
  }
  return left;
}

ExprP Parser::And() {
  size_t b = pos_;
  ExprP left = NotExpr();
  while (Accept("AND")) {
    auto e = Make(EK::Binary, b);
    e->text = "AND";
    e->args.push_back(std::move(left));
    e->args.push_back(NotExpr());
    Finish(*e);
    left = std::move(e);
  }
  return left;
}

ExprP Parser::NotExpr() {
  NestingGuard guard(nesting_);
  size_t b = pos_;
  if (Accept("NOT")) {
    auto e = Make(EK::Not, b);
    e->args.push_back(NotExpr());
    Finish(*e);
    return e;
  }
  return Comparison();
}

ExprP Parser::Comparison() {
  size_t b = pos_;
  if (Peek().Is("EXISTS")) {
    ++pos_;
    ExpectOp("(", 906);
    auto e = Make(EK::Exists, b);
    e->query = ParseQuery();
    ExpectOp(")", 907);
    Finish(*e);
    return e;
  }
  ExprP left = Additive();
  static constexpr std::string_view ops[] = {"=", "<>", "!=", "^=", "<", ">", "<=", ">="};
  const Token& t = Peek();
  if (t.type == Tok::Op && std::find(std::begin(ops), std::end(ops), t.text) != std::end(ops)) {
    std::string op = (t.text == "!=" || t.text == "^=") ? std::string("<>") : t.text;
    ++pos_;
    if (Peek().Is("ANY") || Peek().Is("ALL") || Peek().Is("SOME")) Fail(3001);
    auto e = Make(EK::Binary, b);
    e->text = op;
    e->args.push_back(std::move(left));
    e->args.push_back(Additive());
    Finish(*e);
    return e;
  }
  if (t.Is("IS")) {
    ++pos_;
    auto e = Make(EK::IsNull, b);
    e->negated = Accept("NOT");
    Expect("NULL", 908);
    e->args.push_back(std::move(left));
    Finish(*e);
    return e;
  }
  bool negated = false;
  if (t.Is("NOT")) {
    if (!(Peek(1).Is("LIKE") || Peek(1).Is("BETWEEN") || Peek(1).Is("IN"))) Fail(920);
    ++pos_;
    negated = true;
  }
  if (Accept("LIKE")) {
    auto e = Make(EK::Like, b);
    e->negated = negated;
    e->args.push_back(std::move(left));
    e->args.push_back(Additive());
    if (Accept("ESCAPE")) e->args.push_back(Additive());
    Finish(*e);
    return e;
  }
  if (Accept("BETWEEN")) {
    auto e = Make(EK::Between, b);
    e->negated = negated;
    e->args.push_back(std::move(left));
    e->args.push_back(Additive());
    Expect("AND", 905);
    e->args.push_back(Additive());
    Finish(*e);
    return e;
  }
  if (Accept("IN")) {
    ExpectOp("(", 906);
    if (Peek().Is("SELECT") || (Peek().IsOp("(") && Peek(1).Is("SELECT"))) {
      auto e = Make(EK::InQuery, b);
      e->negated = negated;
      e->args.push_back(std::move(left));
      e->query = ParseQuery();
      ExpectOp(")", 907);
      Finish(*e);
      return e;
    }
    auto e = Make(EK::InList, b);
    e->negated = negated;
    e->args.push_back(std::move(left));
    do {
      e->args.push_back(Additive());
    } while (AcceptOp(","));
    ExpectOp(")", 907);
    Finish(*e);
    return e;
  }
  if (negated) Fail(920);
  return left;
}

ExprP Parser::Additive() {
  size_t b = pos_;
  ExprP left = Multiplicative();
  while (Peek().IsOp("+") || Peek().IsOp("-") || Peek().IsOp("||")) {
    auto e = Make(EK::Binary, b);
    e->text = Next().text;
    e->args.push_back(std::move(left));
    e->args.push_back(Multiplicative());
    Finish(*e);
    left = std::move(e);
  }
  return left;
}

ExprP Parser::Multiplicative() {
  size_t b = pos_;
  ExprP left = Unary();
  while (Peek().IsOp("*") || Peek().IsOp("/")) {
    auto e = Make(EK::Binary, b);
    e->text = Next().text;
    e->args.push_back(std::move(left));
    e->args.push_back(Unary());
    Finish(*e);
    left = std::move(e);
  }
  return left;
}

ExprP Parser::Unary() {
  NestingGuard guard(nesting_);
  size_t b = pos_;
  if (Peek().IsOp("-") || Peek().IsOp("+")) {
    auto e = Make(EK::Unary, b);
    e->text = Next().text;
    e->args.push_back(Unary());
    Finish(*e);
    return e;
  }
  if (Accept("PRIOR")) {
    auto e = Make(EK::Prior, b);
    e->args.push_back(Unary());
    Finish(*e);
    return e;
  }
  return Primary();
}

ExprP Parser::Primary() {
  size_t b = pos_;
  const Token& t = Peek();
  switch (t.type) {
    case Tok::Number: {
      auto e = Make(EK::Number, b);
      e->text = Next().text;
      Finish(*e);
      return e;
    }
    case Tok::String: {
      auto e = Make(t.text.empty() ? EK::Null : EK::String, b);
      e->text = Next().text;
      Finish(*e);
      return e;
    }
    case Tok::Bind: {
      auto e = Make(EK::Bind, b);
      e->text = Next().text;
      Finish(*e);
      return e;
    }
    case Tok::Op:
      if (t.text == "(") {
        ++pos_;
        if (Peek().Is("SELECT") || (Peek().IsOp("(") && Peek(1).Is("SELECT"))) {
          auto e = Make(EK::Subquery, b);
          e->query = ParseQuery();
          ExpectOp(")", 907);
          Finish(*e);
          return e;
        }
        ExprP inner = ParseExpr();
        if (Peek().IsOp(",")) {
          auto row = Make(EK::Row, b);
          row->args.push_back(std::move(inner));
          while (AcceptOp(",")) row->args.push_back(ParseExpr());
          ExpectOp(")", 907);
          Finish(*row);
          return row;
        }
        ExpectOp(")", 907);
        // Keep the parentheses in the span so names read as written.
        inner->begin = b;
        Finish(*inner);
        return inner;
      }
      Fail(936);
    case Tok::QuotedIdent:
    case Tok::Ident:
      return IdentifierExpr();
    case Tok::End:
      Fail(936);
  }
  Fail(936);
}

ExprP Parser::CaseExpr() {
  size_t b = pos_ - 1;
  auto e = Make(EK::Case, b);
  if (!Peek().Is("WHEN")) {
    e->hasOperand = true;
    e->args.push_back(Additive());
  }
  if (!Peek().Is("WHEN")) Fail(905);
  while (Accept("WHEN")) {
    e->args.push_back(ParseExpr());
    Expect("THEN", 905);
    e->args.push_back(ParseExpr());
  }
  if (Accept("ELSE")) {
    e->hasElse = true;
    e->args.push_back(ParseExpr());
  }
  Expect("END", 905);
  Finish(*e);
  return e;
}

ExprP Parser::IdentifierExpr() {
  size_t b = pos_;
  const Token first = Peek();
  if (first.type == Tok::Ident) {
    const std::string& w = first.text;
    if (w == "NULL") {
      ++pos_;
      auto e = Make(EK::Null, b);
      Finish(*e);
      return e;
    }
    if (w == "CASE") {
      ++pos_;
      return CaseExpr();
    }
    if (w == "DATE" && Peek(1).type == Tok::String) {
      pos_ += 2;
      auto e = Make(EK::Func, b);
      e->text = "TO_DATE";
      auto lit = Make(EK::String, b + 1);
      lit->text = tokens_[b + 1].text;
      lit->end = b + 2;
      auto fmt = Make(EK::String, b + 1);
      fmt->text = "YYYY-MM-DD";
      fmt->end = b + 2;
      e->args.push_back(std::move(lit));
      e->args.push_back(std::move(fmt));
      Finish(*e);
      return e;
    }
    if (!Peek(1).IsOp(".") && !Peek(1).IsOp("(")) {
      static const std::array<std::string_view, 7> pseudo = {"LEVEL", "ROWNUM", "SYSDATE", "USER", "UID",
                                                             "ROWID", "SYSTIMESTAMP"};
      if (std::find(pseudo.begin(), pseudo.end(), w) != pseudo.end()) {
        ++pos_;
        auto e = Make(EK::Pseudo, b);
        e->text = w == "SYSTIMESTAMP" ? "SYSDATE" : w;
        Finish(*e);
        return e;
      }
    }
    if (IsReservedWord(w)) Fail(936);
  }
  // name[.name[.name]] [ ( args ) | .* | (+) ]
  std::vector<std::string> parts;
  parts.push_back(Next().text);
  while (Peek().IsOp(".")) {
    ++pos_;
    if (Peek().IsOp("*")) {
      ++pos_;
      auto e = Make(EK::Star, b);
      e->parts = parts;
      Finish(*e);
      return e;
    }
    const Token& n = Peek();
    if (n.type != Tok::Ident && n.type != Tok::QuotedIdent) Fail(1747);
    parts.push_back(Next().text);
  }
  if (Peek().IsOp("(")) {
    if (parts.size() != 1) {
      // Package functions are outside the subset: Oracle would not find them either.
      throw MakeOraError(904, {"\"" + parts.back() + "\""});
    }
    return Function(parts[0], b);
  }
  bool lastQuoted = tokens_[pos_ - 1].type == Tok::QuotedIdent;
  if (parts.size() >= 2 && !lastQuoted && (parts.back() == "NEXTVAL" || parts.back() == "CURRVAL")) {
    auto e = Make(EK::Sequence, b);
    e->text = parts.back();
    parts.pop_back();
    if (parts.size() > 2) Fail(1747);
    e->parts = parts;
    Finish(*e);
    return e;
  }
  if (parts.size() >= 2 && !lastQuoted && parts.back() == "ROWID") {
    auto e = Make(EK::Pseudo, b);
    e->text = "ROWID";
    parts.pop_back();
    e->parts = parts;
    Finish(*e);
    return e;
  }
  if (parts.size() > 3) Fail(1747);
  auto e = Make(EK::Column, b);
  e->parts = std::move(parts);
  if (AcceptOp("(+)")) e->outer = true;
  Finish(*e);
  return e;
}

ExprP Parser::Function(std::string name, size_t b) {
  ExpectOp("(", 906);
  auto e = Make(EK::Func, b);
  e->text = std::move(name);
  if (AcceptOp(")")) {
    Finish(*e);
    return e;
  }
  if (Peek().IsOp("*") && Peek(1).IsOp(")")) {
    pos_ += 2;
    e->star = true;
    Finish(*e);
    return e;
  }
  if (Accept("DISTINCT")) e->distinct = true;
  else Accept("ALL");
  do {
    e->args.push_back(ParseExpr());
  } while (AcceptOp(","));
  ExpectOp(")", 907);
  Finish(*e);
  return e;
}

bool Parser::IsAliasCandidate() const {
  const Token& t = Peek();
  return t.type == Tok::QuotedIdent || (t.type == Tok::Ident && !IsReservedWord(t.text));
}

QueryP Parser::ParseQuery() {
  NestingGuard guard(nesting_);
  auto q = std::make_unique<Query>();
  auto operand = [&]() {
    if (AcceptOp("(")) {
      QueryP inner = ParseQuery();
      ExpectOp(")", 907);
      if (inner->selects.size() != 1 || !inner->orderBy.empty()) Fail(3001);
      q->selects.push_back(std::move(inner->selects[0]));
      return;
    }
    if (!Peek().Is("SELECT")) Fail(928);
    ++pos_;
    Select s;
    ParseSelectBody(s);
    q->selects.push_back(std::move(s));
  };
  operand();
  while (true) {
    if (Accept("UNION")) {
      q->ops.push_back(Accept("ALL") ? "UNION ALL" : "UNION");
    } else if (Accept("MINUS")) {
      q->ops.push_back("MINUS");
    } else if (Accept("INTERSECT")) {
      q->ops.push_back("INTERSECT");
    } else {
      break;
    }
    operand();
  }
  if (Peek().Is("ORDER")) {
    ++pos_;
    if (Accept("SIBLINGS")) q->siblings = true;
    Expect("BY", 924);
    do {
      OrderItem item;
      item.expr = ParseExpr();
      if (Accept("DESC")) item.desc = true;
      else Accept("ASC");
      if (Accept("NULLS")) {
        if (Accept("FIRST")) item.nullsFirst = true;
        else if (Accept("LAST")) item.nullsFirst = false;
        else Fail(933);
      }
      q->orderBy.push_back(std::move(item));
    } while (AcceptOp(","));
  }
  if (Accept("FOR")) {
    Expect("UPDATE", 933);
    q->forUpdate = true;
    if (Accept("OF")) {
      do {
        IdentifierExpr();
      } while (AcceptOp(","));
    }
    if (!Accept("NOWAIT") && Accept("WAIT")) Next();
  }
  return q;
}

void Parser::ParseSelectBody(Select& s) {
  if (Accept("DISTINCT") || Accept("UNIQUE")) s.distinct = true;
  else Accept("ALL");
  do {
    SelectItem item;
    item.begin = pos_;
    if (Peek().IsOp("*")) {
      auto e = Make(EK::Star, pos_);
      ++pos_;
      Finish(*e);
      item.expr = std::move(e);
    } else {
      if (Peek().Is("FROM")) Fail(936);
      item.expr = ParseExpr();
    }
    item.end = pos_;
    if (Accept("AS")) {
      item.alias = Name(923);
    } else if (IsAliasCandidate()) {
      item.alias = Next().text;
    }
    s.items.push_back(std::move(item));
  } while (AcceptOp(","));
  if (!Accept("FROM")) Fail(923);
  ParseFrom(s);
  if (Accept("WHERE")) s.where = ParseExpr();
  // START WITH and CONNECT BY come in either order, before or after WHERE... Oracle
  // accepts them after WHERE and before GROUP BY.
  for (int i = 0; i < 2; ++i) {
    if (Peek().Is("START") && Peek(1).Is("WITH")) {
      pos_ += 2;
      s.startWith = ParseExpr();
    } else if (Peek().Is("CONNECT") && Peek(1).Is("BY")) {
      pos_ += 2;
      if (Accept("NOCYCLE")) s.nocycle = true;
      s.connectBy = ParseExpr();
    }
  }
  if (s.startWith && !s.connectBy) Fail(924);
  if (Peek().Is("GROUP")) {
    ++pos_;
    Expect("BY", 924);
    do {
      s.groupBy.push_back(ParseExpr());
    } while (AcceptOp(","));
  }
  if (Accept("HAVING")) s.having = ParseExpr();
}

TableRef Parser::ParseTableRef() {
  TableRef ref;
  if (AcceptOp("(")) {
    ref.subquery = ParseQuery();
    ExpectOp(")", 907);
  } else {
    if (Peek().Is("TABLE") && Peek(1).IsOp("(")) Fail(3001);
    if (!PeekName()) Fail(903);
    QualifiedName(ref.owner, ref.name);
    if (AcceptOp("@")) {
      std::string link = Name(903);
      while (AcceptOp(".")) link += "." + Name(903);
      ref.dbLink = link;
    }
    ref.alias = ref.name;
  }
  if (IsAliasCandidate() && !Peek().Is("PARTITION") && !Peek().Is("SAMPLE")) ref.alias = Next().text;
  return ref;
}

void Parser::ParseFrom(Select& s) {
  FromItem first;
  first.ref = ParseTableRef();
  s.from.push_back(std::move(first));
  while (true) {
    FromItem item;
    if (AcceptOp(",")) {
      item.ref = ParseTableRef();
      s.from.push_back(std::move(item));
      continue;
    }
    std::string join;
    if (Accept("JOIN") || (Accept("INNER") && (Expect("JOIN", 905), true))) {
      join = "JOIN";
    } else if (Peek().Is("LEFT") || Peek().Is("RIGHT") || Peek().Is("FULL")) {
      std::string side = Next().text;
      Accept("OUTER");
      Expect("JOIN", 905);
      join = side + " JOIN";
    } else if (Peek().Is("CROSS")) {
      ++pos_;
      Expect("JOIN", 905);
      join = "CROSS JOIN";
    } else if (Peek().Is("NATURAL")) {
      Fail(3001);
    } else {
      break;
    }
    item.join = join;
    item.ref = ParseTableRef();
    if (join != "CROSS JOIN") {
      if (Accept("ON")) {
        item.on = ParseExpr();
      } else if (Accept("USING")) {
        ExpectOp("(", 906);
        do {
          item.usingColumns.push_back(Name(904));
        } while (AcceptOp(","));
        ExpectOp(")", 907);
      } else {
        Fail(905);
      }
    }
    s.from.push_back(std::move(item));
  }
}

}  // namespace ocisim::sql
