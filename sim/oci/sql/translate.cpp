// Entry point of the translator: cleans the statement text, dispatches on the
// leading keyword, and translates queries, DML, EXPLAIN PLAN and the session
// and transaction statements. DDL is in ddl.cpp, PL/SQL blocks in plsql.cpp.
#include <cstdlib>

#include "sql/statements.h"

namespace ocisim::sql {
namespace {

bool IsProgramUnit(std::string_view sql);

// Drops a final line holding only "/" (SQL*Plus style terminator).
std::string_view StripSlash(std::string_view sql) {
  size_t end = sql.find_last_not_of(" \t\r\n");
  if (end == std::string_view::npos) return {};
  if (sql[end] == '/') {
    size_t lineStart = sql.find_last_of('\n', end);
    lineStart = lineStart == std::string_view::npos ? 0 : lineStart + 1;
    if (sql.substr(lineStart, end - lineStart).find_first_not_of(" \t") == std::string_view::npos) {
      sql = sql.substr(0, lineStart);
      end = sql.find_last_not_of(" \t\r\n");
      if (end == std::string_view::npos) return {};
    }
  }
  return sql.substr(0, end + 1);
}

Translation TranslateSelect(Parser& p, const Catalog& catalog) {
  QueryP q = p.ParseQuery();
  p.ExpectStatementEnd();
  Translation t;
  t.kind = StmtKind::Select;
  Emitter em(catalog, p);
  t.sqlite = FinalizeBinds(em.EmitQuery(*q, &t.columns), t.binds);
  t.objects = std::move(em.objects);
  return t;
}

// [owner.]table [alias] for DML; fills the target and returns the SQLite name.
std::string DmlTarget(Parser& p, Emitter& em, Translation& t, std::string& alias) {
  TableRef ref;
  if (p.Peek().IsOp("(")) throw MakeOraError(3001);
  if (!p.PeekName()) throw MakeOraError(903);
  p.QualifiedName(ref.owner, ref.name);
  if (p.AcceptOp("@")) throw MakeOraError(2019);
  alias = ref.name;
  if (p.PeekName() && !p.Peek().Is("SET") && !p.Peek().Is("VALUES")) alias = p.Next().text;
  ref.alias = alias;
  std::string name = em.TableName(ref, false);
  t.targetOwner = ref.object.owner;
  t.targetName = ref.object.name;
  return name;
}

Translation TranslateInsert(Parser& p, const Catalog& catalog) {
  Translation t;
  t.kind = StmtKind::Insert;
  Emitter em(catalog, p);
  p.Expect("INTO", 925);
  std::string alias;
  std::string sql = "INSERT INTO " + DmlTarget(p, em, t, alias);
  std::vector<std::string> columns;
  if (p.Peek().IsOp("(") && !p.Peek(1).Is("SELECT")) {
    p.Next();
    do {
      std::string c = p.Name(904);
      if (p.AcceptOp(".")) c = p.Name(904);  // alias.column
      columns.push_back(c);
    } while (p.AcceptOp(","));
    p.ExpectOp(")", 907);
    sql += " (";
    for (size_t i = 0; i < columns.size(); ++i) sql += (i ? ", " : "") + QuoteIdent(columns[i]);
    sql += ")";
  }
  if (p.Accept("VALUES")) {
    p.ExpectOp("(", 906);
    std::vector<std::string> values;
    do {
      values.push_back(em.EmitExpr(*p.ParseExpr()));
    } while (p.AcceptOp(","));
    p.ExpectOp(")", 907);
    if (!columns.empty() && values.size() != columns.size())
      throw MakeOraError(values.size() > columns.size() ? 913 : 947);
    sql += " VALUES (";
    for (size_t i = 0; i < values.size(); ++i) sql += (i ? ", " : "") + values[i];
    sql += ")";
  } else if (p.Peek().Is("SELECT") || p.Peek().IsOp("(")) {
    QueryP q = p.ParseQuery();
    if (!columns.empty() && !q->selects[0].items.empty() && q->selects[0].items[0].expr->kind != EK::Star &&
        q->selects[0].items.size() != columns.size())
      throw MakeOraError(q->selects[0].items.size() > columns.size() ? 913 : 947);
    sql += " " + em.EmitQuery(*q);
  } else {
    throw MakeOraError(926);
  }
  if (p.Peek().Is("RETURNING") || p.Peek().Is("RETURN")) throw MakeOraError(3001);
  p.ExpectStatementEnd();
  t.sqlite = FinalizeBinds(sql, t.binds);
  t.objects = std::move(em.objects);
  return t;
}

Translation TranslateUpdate(Parser& p, const Catalog& catalog) {
  Translation t;
  t.kind = StmtKind::Update;
  Emitter em(catalog, p);
  std::string alias;
  std::string sql = "UPDATE " + DmlTarget(p, em, t, alias);
  sql += " AS " + QuoteIdent(alias) + " SET ";
  p.Expect("SET", 971);
  bool first = true;
  do {
    sql += first ? "" : ", ";
    first = false;
    if (p.AcceptOp("(")) {
      std::string cols;
      do {
        std::string c = p.Name(904);
        if (p.AcceptOp(".")) c = p.Name(904);
        cols += (cols.empty() ? "" : ", ") + QuoteIdent(c);
      } while (p.AcceptOp(","));
      p.ExpectOp(")", 907);
      p.ExpectOp("=", 927);
      p.ExpectOp("(", 906);
      QueryP q = p.ParseQuery();
      p.ExpectOp(")", 907);
      sql += "(" + cols + ") = (" + em.EmitQuery(*q) + ")";
    } else {
      std::string c = p.Name(904);
      if (p.AcceptOp(".")) c = p.Name(904);
      p.ExpectOp("=", 927);
      sql += QuoteIdent(c) + " = " + em.EmitExpr(*p.ParseExpr());
    }
  } while (p.AcceptOp(","));
  if (p.Accept("WHERE")) sql += " WHERE " + em.EmitCondition(*p.ParseExpr());
  if (p.Peek().Is("RETURNING") || p.Peek().Is("RETURN")) throw MakeOraError(3001);
  p.ExpectStatementEnd();
  t.sqlite = FinalizeBinds(sql, t.binds);
  t.objects = std::move(em.objects);
  return t;
}

Translation TranslateDelete(Parser& p, const Catalog& catalog) {
  Translation t;
  t.kind = StmtKind::Delete;
  Emitter em(catalog, p);
  p.Accept("FROM");
  std::string alias;
  std::string sql = "DELETE FROM " + DmlTarget(p, em, t, alias);
  sql += " AS " + QuoteIdent(alias);
  if (p.Accept("WHERE")) sql += " WHERE " + em.EmitCondition(*p.ParseExpr());
  if (p.Peek().Is("RETURNING") || p.Peek().Is("RETURN")) throw MakeOraError(3001);
  p.ExpectStatementEnd();
  t.sqlite = FinalizeBinds(sql, t.binds);
  t.objects = std::move(em.objects);
  return t;
}

Translation TranslateExplain(Parser& p, const Catalog& catalog) {
  p.Expect("PLAN", 905);
  ExplainPlanInfo info;
  if (p.Accept("SET")) {
    p.Expect("STATEMENT_ID", 905);
    p.ExpectOp("=", 927);
    if (p.Peek().type != Tok::String) throw MakeOraError(1780);
    info.statementId = p.Next().text;
  }
  std::optional<std::string> owner;
  std::string table = "PLAN_TABLE";
  if (p.Accept("INTO")) p.QualifiedName(owner, table);
  p.Expect("FOR", 905);
  if (p.AtEnd()) throw MakeOraError(905);
  std::string_view inner = p.Source().substr(p.Peek().begin);
  Translation innerT = Translate(inner, catalog);
  if (innerT.kind != StmtKind::Select && innerT.kind != StmtKind::Insert && innerT.kind != StmtKind::Update &&
      innerT.kind != StmtKind::Delete)
    throw MakeOraError(905);
  try {
    ResolvedObject plan = catalog.Resolve(owner, table);
    info.intoOwner = plan.owner;
    info.intoTable = plan.name;
    info.intoSqlite = plan.sqliteName;
  } catch (const OraError& e) {
    if (e.code == 942) throw MakeOraError(2404);
    throw;
  }
  info.innerText = std::string(inner);
  while (!info.innerText.empty() && (info.innerText.back() == ';' || std::isspace(static_cast<unsigned char>(info.innerText.back()))))
    info.innerText.pop_back();
  info.innerKind = innerT.kind;
  info.objects = innerT.objects;
  Translation t;
  t.kind = StmtKind::ExplainPlan;
  t.sqlite = innerT.sqlite;
  t.binds = innerT.binds;
  t.columns = innerT.columns;
  t.objects = innerT.objects;
  t.explain = std::move(info);
  return t;
}

Translation TranslateTransaction(Parser& p, bool commit) {
  p.Accept("WORK");
  if (!commit && p.Peek().Is("TO")) throw MakeOraError(3001);
  if (commit && p.Accept("COMMENT")) {
    if (p.Peek().type != Tok::String) throw MakeOraError(905);
    p.Next();
  }
  p.ExpectStatementEnd();
  Translation t;
  t.kind = commit ? StmtKind::Commit : StmtKind::Rollback;
  return t;
}

}  // namespace

void SkipParens(Parser& p) {
  p.ExpectOp("(", 906);
  int depth = 1;
  while (depth > 0) {
    if (p.AtEnd()) throw MakeOraError(907);
    Token t = p.Next();
    if (t.IsOp("(")) ++depth;
    else if (t.IsOp(")")) --depth;
  }
}

int OciStatementType(StmtKind kind) {
  switch (kind) {
    case StmtKind::Select: return 1;
    case StmtKind::Update: return 2;
    case StmtKind::Delete: return 3;
    case StmtKind::Insert: return 4;
    case StmtKind::CreateTable:
    case StmtKind::CreateView:
    case StmtKind::CreateIndex:
    case StmtKind::CreateSequence:
    case StmtKind::CreateSynonym:
    case StmtKind::CreateProgramUnit:
    case StmtKind::CreateUser:
    case StmtKind::CreateRole: return 5;
    case StmtKind::Drop:
    case StmtKind::Disassociate: return 6;
    case StmtKind::AlterCompile:
    case StmtKind::AlterTable:
    case StmtKind::AlterSession:
    case StmtKind::AlterSystemKillSession:
    case StmtKind::AlterUser: return 7;
    case StmtKind::PlsqlBlock: return 8;
    default: return 0;
  }
}

namespace {

// CREATE [OR REPLACE] PROCEDURE/FUNCTION/PACKAGE/TRIGGER/TYPE: Oracle stores
// such a unit even when its body does not compile, so its body is not tokenized.
bool IsProgramUnit(std::string_view sql) {
  auto head = Tokenize(sql, true, 6);
  size_t i = 0;
  if (!head[i].Is("CREATE")) return false;
  ++i;
  if (head[i].Is("OR") && head[i + 1].Is("REPLACE")) i += 2;
  const Token& k = head[i];
  return k.Is("PROCEDURE") || k.Is("FUNCTION") || k.Is("PACKAGE") || k.Is("TRIGGER") || k.Is("TYPE");
}

Translation TranslateStatement(Parser& p, const Catalog& catalog) {
  const Token& first = p.Peek();
  if (first.type == Tok::End) throw MakeOraError(900);
  if (first.IsOp("(")) return TranslateSelect(p, catalog);
  if (first.type != Tok::Ident) throw MakeOraError(900);
  const std::string word = first.text;
  if (word == "SELECT") return TranslateSelect(p, catalog);
  if (word == "BEGIN" || word == "DECLARE") return TranslatePlsql(p, catalog);
  p.Next();
  if (word == "INSERT") return TranslateInsert(p, catalog);
  if (word == "UPDATE") return TranslateUpdate(p, catalog);
  if (word == "DELETE") return TranslateDelete(p, catalog);
  if (word == "CREATE") return TranslateCreate(p, catalog);
  if (word == "DROP") return TranslateDrop(p, catalog);
  if (word == "ALTER") return TranslateAlter(p, catalog);
  if (word == "TRUNCATE") return TranslateTruncate(p, catalog);
  if (word == "COMMENT") return TranslateComment(p, catalog);
  if (word == "GRANT") return TranslateGrant(p, catalog, false);
  if (word == "REVOKE") return TranslateGrant(p, catalog, true);
  if (word == "EXPLAIN") return TranslateExplain(p, catalog);
  if (word == "DISASSOCIATE") return TranslateDisassociate(p, catalog);
  if (word == "COMMIT") return TranslateTransaction(p, true);
  if (word == "ROLLBACK") return TranslateTransaction(p, false);
  if (word == "WITH" || word == "MERGE" || word == "SAVEPOINT" || word == "LOCK" || word == "SET" ||
      word == "CALL" || word == "ANALYZE" || word == "AUDIT" || word == "NOAUDIT" || word == "RENAME" ||
      word == "ASSOCIATE" || word == "FLASHBACK" || word == "PURGE")
    throw MakeOraError(3001);
  throw MakeOraError(900);
}

}  // namespace

Translation Translate(std::string_view oracleSql, const Catalog& catalog) {
  std::string_view sql = StripSlash(oracleSql);
  Parser p(sql, IsProgramUnit(sql));
  try {
    return TranslateStatement(p, catalog);
  } catch (OraError& e) {
    // Errors raised outside the parser's own checks stop where it stands.
    if (e.offset < 0) e.offset = static_cast<long>(p.Peek().begin);
    throw;
  }
}

}  // namespace ocisim::sql
