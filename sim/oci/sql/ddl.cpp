// DDL and privilege statements: CREATE (tables, views, indexes, sequences,
// synonyms, program units), DROP, ALTER (compile, table subset, session,
// kill session), TRUNCATE, COMMENT, GRANT/REVOKE. The results are parsed
// structures; the engine creates the SQLite objects and the dictionary rows.
#include <algorithm>
#include <array>

#include "sql/statements.h"

namespace ocisim::sql {
namespace {

// Physical and storage attributes accepted and ignored after tables, indexes
// and constraints: each is a word followed by one value or a (...) group.
constexpr std::array<std::string_view, 22> kPhysical = {
    "PCTFREE", "PCTUSED", "INITRANS", "MAXTRANS", "STORAGE",   "LOGGING", "NOLOGGING", "COMPRESS",
    "NOCOMPRESS", "CACHE", "NOCACHE", "PARALLEL", "NOPARALLEL", "MONITORING", "NOMONITORING", "ONLINE",
    "COMPUTE", "STATISTICS", "REVERSE", "NOSORT", "VISIBLE", "INVISIBLE"};

bool IsPhysical(const Token& t) {
  return t.type == Tok::Ident && std::find(kPhysical.begin(), kPhysical.end(), t.text) != kPhysical.end();
}

void SkipPhysical(Parser& p, std::optional<std::string>* tablespace = nullptr) {
  while (true) {
    if (p.Accept("TABLESPACE")) {
      std::string ts = p.Name(2216);
      if (tablespace && !*tablespace) *tablespace = ts;
      continue;
    }
    if (!IsPhysical(p.Peek())) return;
    p.Next();
    if (p.Peek().IsOp("(")) SkipParens(p);
    else if (p.Peek().type == Tok::Number) p.Next();
  }
}

std::string OwnerOr(const std::optional<std::string>& owner, const Catalog& catalog) {
  return owner ? *owner : catalog.CurrentUser();
}

std::vector<std::string> NameList(Parser& p) {
  std::vector<std::string> out;
  p.ExpectOp("(", 906);
  do {
    out.push_back(p.Name(904));
  } while (p.AcceptOp(","));
  p.ExpectOp(")", 907);
  return out;
}

void ConstraintState(Parser& p, ConstraintDef& c) {
  while (true) {
    if (p.Accept("ENABLE") || p.Accept("VALIDATE") || p.Accept("NOVALIDATE") || p.Accept("RELY") ||
        p.Accept("NORELY") || p.Accept("DEFERRABLE")) {
      continue;
    }
    if (p.Accept("DISABLE")) {
      c.disabled = true;
      continue;
    }
    if (p.Peek().Is("NOT") && p.Peek(1).Is("DEFERRABLE")) {
      p.Next();
      p.Next();
      continue;
    }
    if (p.Accept("INITIALLY")) {
      if (!p.Accept("IMMEDIATE")) p.Expect("DEFERRED", 905);
      continue;
    }
    if (p.Accept("USING")) {
      p.Expect("INDEX", 905);
      if (p.Peek().IsOp("(")) SkipParens(p);
      SkipPhysical(p);
      continue;
    }
    return;
  }
}

void References(Parser& p, ConstraintDef& c) {
  p.Expect("REFERENCES", 905);
  std::optional<std::string> owner;
  p.QualifiedName(owner, c.refTable);
  c.refOwner = owner;
  if (p.Peek().IsOp("(")) c.refColumns = NameList(p);
  if (p.Accept("ON")) {
    p.Expect("DELETE", 905);
    if (p.Accept("CASCADE")) {
      c.onDeleteCascade = true;
    } else {
      p.Expect("SET", 905);
      p.Expect("NULL", 905);
      c.onDeleteSetNull = true;
    }
  }
}

void CheckCondition(Parser& p, Emitter& em, ConstraintDef& c) {
  p.ExpectOp("(", 906);
  size_t b = p.Position();
  ExprP cond = p.ParseExpr();
  c.checkText = std::string(p.Slice(b, p.Position()));
  c.checkSqlite = em.EmitCondition(*cond);
  p.ExpectOp(")", 907);
}

bool AtConstraintStart(const Parser& p) {
  const Token& t = p.Peek();
  return t.Is("CONSTRAINT") || t.Is("PRIMARY") || t.Is("UNIQUE") || t.Is("CHECK") || t.Is("FOREIGN");
}

// Out-of-line constraint: [CONSTRAINT name] PRIMARY KEY (..) | UNIQUE (..) | CHECK (..) | FOREIGN KEY (..) REFERENCES ..
ConstraintDef OutOfLineConstraint(Parser& p, Emitter& em) {
  ConstraintDef c;
  if (p.Accept("CONSTRAINT")) c.name = p.Name(931);
  if (p.Accept("PRIMARY")) {
    p.Expect("KEY", 905);
    c.kind = ConstraintKind::PrimaryKey;
    c.columns = NameList(p);
  } else if (p.Accept("UNIQUE")) {
    c.kind = ConstraintKind::Unique;
    c.columns = NameList(p);
  } else if (p.Accept("CHECK")) {
    c.kind = ConstraintKind::Check;
    CheckCondition(p, em, c);
  } else if (p.Accept("FOREIGN")) {
    p.Expect("KEY", 905);
    c.kind = ConstraintKind::ForeignKey;
    c.columns = NameList(p);
    References(p, c);
  } else {
    throw MakeOraError(902);
  }
  ConstraintState(p, c);
  return c;
}

// Type of a column: fills type, length, precision, scale.
void DataType(Parser& p, ColumnDef& col) {
  if (!p.PeekName() && !p.Peek().Is("LONG") && !p.Peek().Is("DATE") && !p.Peek().Is("RAW") && !p.Peek().Is("NUMBER") &&
      !p.Peek().Is("CHAR") && !p.Peek().Is("INTEGER") && !p.Peek().Is("FLOAT") && !p.Peek().Is("VARCHAR2"))
    throw MakeOraError(902);
  std::string t = p.Next().text;
  auto number = [&]() -> int {
    if (p.Peek().type != Tok::Number) throw MakeOraError(910);
    return std::atoi(p.Next().text.c_str());
  };
  auto lengthUnit = [&]() {
    if (!p.Accept("BYTE")) p.Accept("CHAR");
  };
  if (t == "VARCHAR2" || t == "VARCHAR" || t == "NVARCHAR2" || t == "RAW") {
    col.type = t == "VARCHAR" ? "VARCHAR2" : t;
    p.ExpectOp("(", 906);
    col.length = number();
    lengthUnit();
    p.ExpectOp(")", 907);
  } else if (t == "CHAR" || t == "NCHAR" || t == "CHARACTER") {
    col.type = t == "CHARACTER" ? "CHAR" : t;
    if (p.Accept("VARYING")) col.type = "VARCHAR2";
    col.length = 1;
    if (p.AcceptOp("(")) {
      col.length = number();
      lengthUnit();
      p.ExpectOp(")", 907);
    } else if (col.type == "VARCHAR2") {
      throw MakeOraError(906);
    }
  } else if (t == "NUMBER" || t == "NUMERIC" || t == "DECIMAL" || t == "DEC") {
    col.type = "NUMBER";
    if (p.AcceptOp("(")) {
      if (p.AcceptOp("*")) {
      } else {
        col.precision = number();
      }
      if (p.AcceptOp(",")) {
        bool negative = p.AcceptOp("-");
        col.scale = number() * (negative ? -1 : 1);
      } else if (col.precision) {
        col.scale = 0;
      }
      p.ExpectOp(")", 907);
    }
    if (t != "NUMBER" && !col.scale) col.scale = 0;
  } else if (t == "INTEGER" || t == "INT" || t == "SMALLINT") {
    col.type = "NUMBER";
    col.scale = 0;
  } else if (t == "FLOAT") {
    col.type = "FLOAT";
    col.precision = 126;
    if (p.AcceptOp("(")) {
      col.precision = number();
      p.ExpectOp(")", 907);
    }
  } else if (t == "REAL") {
    col.type = "FLOAT";
    col.precision = 63;
  } else if (t == "DOUBLE") {
    p.Expect("PRECISION", 902);
    col.type = "FLOAT";
    col.precision = 126;
  } else if (t == "LONG") {
    col.type = p.Accept("RAW") ? "LONG RAW" : "LONG";
  } else if (t == "DATE" || t == "CLOB" || t == "NCLOB" || t == "BLOB" || t == "BFILE" || t == "ROWID" ||
             t == "XMLTYPE") {
    col.type = t;
  } else if (t == "UROWID") {
    col.type = t;
    if (p.AcceptOp("(")) {
      col.length = number();
      p.ExpectOp(")", 907);
    }
  } else if (t == "TIMESTAMP") {
    col.type = "TIMESTAMP";
    int frac = 6;
    if (p.AcceptOp("(")) {
      frac = number();
      p.ExpectOp(")", 907);
    }
    col.scale = frac;
    if (p.Accept("WITH")) {
      bool local = p.Accept("LOCAL");
      p.Expect("TIME", 905);
      p.Expect("ZONE", 905);
      col.type = "TIMESTAMP(" + std::to_string(frac) + ") WITH " + (local ? "LOCAL " : "") + "TIME ZONE";
    } else {
      col.type = "TIMESTAMP(" + std::to_string(frac) + ")";
    }
  } else {
    // A user-defined (object or collection) type, possibly owner-qualified;
    // the engine checks that it exists.
    col.type = t;
    if (p.AcceptOp(".")) col.type += "." + p.Name(902);
  }
}

// column type [DEFAULT expr] [inline constraints]
ColumnDef ColumnDefinition(Parser& p, Emitter& em, const std::string& table, std::vector<ConstraintDef>& constraints,
                           bool typeOptional) {
  ColumnDef col;
  col.name = p.Name(904);
  bool hasType = !(typeOptional && (p.Peek().Is("DEFAULT") || p.Peek().Is("NOT") || p.Peek().Is("NULL") ||
                                    p.Peek().IsOp(",") || p.Peek().IsOp(")")));
  if (hasType) DataType(p, col);
  (void)table;
  while (true) {
    if (p.Accept("DEFAULT")) {
      size_t b = p.Position();
      ExprP e = p.ParseExpr();
      col.defaultText = std::string(p.Slice(b, p.Position()));
      col.defaultSqlite = em.EmitExpr(*e);
      continue;
    }
    ConstraintDef c;
    if (p.Accept("CONSTRAINT")) c.name = p.Name(931);
    if (p.Peek().Is("NOT") && p.Peek(1).Is("NULL")) {
      p.Next();
      p.Next();
      col.nullable = false;
      c.kind = ConstraintKind::NotNull;
      c.columns = {col.name};
    } else if (p.Accept("NULL")) {
      continue;
    } else if (p.Accept("PRIMARY")) {
      p.Expect("KEY", 905);
      col.nullable = false;
      c.kind = ConstraintKind::PrimaryKey;
      c.columns = {col.name};
    } else if (p.Accept("UNIQUE")) {
      c.kind = ConstraintKind::Unique;
      c.columns = {col.name};
    } else if (p.Accept("CHECK")) {
      c.kind = ConstraintKind::Check;
      c.columns = {col.name};
      CheckCondition(p, em, c);
    } else if (p.Peek().Is("REFERENCES")) {
      c.kind = ConstraintKind::ForeignKey;
      c.columns = {col.name};
      References(p, c);
    } else {
      if (c.name) throw MakeOraError(902);
      break;
    }
    ConstraintState(p, c);
    constraints.push_back(std::move(c));
  }
  return col;
}

Translation CreateTable(Parser& p, const Catalog& catalog, bool temporary) {
  CreateTableInfo info;
  info.temporary = temporary;
  std::optional<std::string> owner;
  p.QualifiedName(owner, info.name);
  info.owner = OwnerOr(owner, catalog);
  Emitter em(catalog, p);
  Translation t;
  bool ctasColumns = false;
  if (p.Peek().IsOp("(")) {
    p.Next();
    // CREATE TABLE t (a, b) AS SELECT: names only.
    ctasColumns = p.PeekName() && (p.Peek(1).IsOp(",") || p.Peek(1).IsOp(")"));
    do {
      if (AtConstraintStart(p)) info.constraints.push_back(OutOfLineConstraint(p, em));
      else info.columns.push_back(ColumnDefinition(p, em, info.name, info.constraints, ctasColumns));
    } while (p.AcceptOp(","));
    p.ExpectOp(")", 907);
  }
  while (!p.AtEnd() && !p.Peek().IsOp(";")) {
    if (p.Peek().Is("TABLESPACE") || IsPhysical(p.Peek())) {
      SkipPhysical(p, &info.tablespace);
    } else if (p.Peek().Is("PARTITION") && p.Peek(1).Is("BY")) {
      info.partitioned = true;
      p.Next();
      p.Next();
      p.Next();  // RANGE / HASH / LIST
      while (!p.AtEnd() && !p.Peek().IsOp(";") && !p.Peek().Is("AS")) {
        if (p.Peek().IsOp("(")) SkipParens(p);
        else p.Next();
      }
    } else if (p.Peek().Is("ON") && p.Peek(1).Is("COMMIT")) {
      p.Next();
      p.Next();
      if (!p.Accept("DELETE")) p.Expect("PRESERVE", 905);
      p.Expect("ROWS", 905);
    } else if (p.Accept("AS")) {
      QueryP q = p.ParseQuery();
      info.asSelectSqlite = FinalizeBinds(em.EmitQuery(*q, &info.asSelectColumns), info.asSelectBinds);
      if (ctasColumns && info.asSelectColumns.size() != info.columns.size()) throw MakeOraError(1730);
    } else if (p.Peek().Is("ORGANIZATION") || p.Peek().Is("LOB") || p.Peek().Is("NESTED") || p.Peek().Is("VARRAY") ||
               p.Peek().Is("CLUSTER") || p.Peek().Is("ENABLE") || p.Peek().Is("DISABLE") || p.Peek().Is("ROW") ||
               p.Peek().Is("STORE") || p.Peek().Is("INDEX") || p.Peek().Is("HEAP") || p.Peek().Is("RETURN") ||
               p.Peek().Is("AS") || p.Peek().Is("MOVEMENT")) {
      // Clauses recorded nowhere: skip their words and groups up to the next clause.
      p.Next();
      while (!p.AtEnd() && !p.Peek().IsOp(";") && !p.Peek().Is("TABLESPACE") && !p.Peek().Is("PARTITION") &&
             !p.Peek().Is("AS") && !IsPhysical(p.Peek())) {
        if (p.Peek().IsOp("(")) SkipParens(p);
        else p.Next();
      }
    } else {
      throw MakeOraError(922);
    }
  }
  p.ExpectStatementEnd();
  if (info.columns.empty() && info.asSelectSqlite.empty()) throw MakeOraError(906);
  t.kind = StmtKind::CreateTable;
  t.objects = std::move(em.objects);
  t.createTable = std::move(info);
  return t;
}

Translation CreateView(Parser& p, const Catalog& catalog, bool orReplace, bool force) {
  CreateViewInfo info;
  info.orReplace = orReplace;
  info.force = force;
  std::optional<std::string> owner;
  p.QualifiedName(owner, info.name);
  info.owner = OwnerOr(owner, catalog);
  if (p.Peek().IsOp("(")) info.columnAliases = NameList(p);
  p.Expect("AS", 905);
  size_t b = p.Position();
  QueryP q = p.ParseQuery();
  size_t e = p.Position();
  if (p.Accept("WITH")) {
    if (p.Accept("READ")) p.Expect("ONLY", 905);
    else {
      p.Expect("CHECK", 905);
      p.Expect("OPTION", 905);
    }
    if (p.Accept("CONSTRAINT")) p.Name(931);
  }
  p.ExpectStatementEnd();
  info.text = std::string(p.Slice(b, e));
  Emitter em(catalog, p);
  std::vector<std::string> binds;
  info.sqlite = FinalizeBinds(em.EmitQuery(*q, &info.columns), binds);
  if (!binds.empty()) throw MakeOraError(1027);
  if (!info.columnAliases.empty()) {
    if (info.columnAliases.size() != info.columns.size()) throw MakeOraError(1730);
    for (size_t i = 0; i < info.columns.size(); ++i) info.columns[i].name = info.columnAliases[i];
  }
  Translation t;
  t.kind = StmtKind::CreateView;
  t.objects = std::move(em.objects);
  t.createView = std::move(info);
  return t;
}

Translation CreateIndex(Parser& p, const Catalog& catalog, bool unique, bool bitmap) {
  CreateIndexInfo info;
  info.unique = unique;
  info.bitmap = bitmap;
  std::optional<std::string> owner;
  p.QualifiedName(owner, info.name);
  info.owner = OwnerOr(owner, catalog);
  p.Expect("ON", 969);
  if (p.Peek().Is("CLUSTER")) throw MakeOraError(3001);
  TableRef ref;
  p.QualifiedName(ref.owner, ref.name);
  ref.alias = ref.name;
  if (p.PeekName()) ref.alias = p.Next().text;
  Emitter em(catalog, p);
  info.tableSqlite = em.TableName(ref, false);
  info.tableOwner = ref.object.owner;
  info.table = ref.object.name;
  p.ExpectOp("(", 906);
  do {
    size_t b = p.Position();
    ExprP e = p.ParseExpr();
    if (e->kind == EK::Column) {
      info.columns.push_back(e->parts.back());
      info.columnsSqlite.push_back(QuoteIdent(e->parts.back()));
    } else {
      info.functionBased = true;
      info.columns.push_back(p.ExpressionName(b, p.Position()));
      info.columnsSqlite.push_back(em.EmitExpr(*e));
    }
    if (!p.Accept("ASC") && p.Accept("DESC")) {
    }
  } while (p.AcceptOp(","));
  p.ExpectOp(")", 907);
  while (!p.AtEnd() && !p.Peek().IsOp(";")) {
    if (p.Peek().Is("TABLESPACE") || IsPhysical(p.Peek())) SkipPhysical(p, &info.tablespace);
    else if (p.Accept("LOCAL") || p.Accept("GLOBAL")) {
      if (p.Peek().IsOp("(")) SkipParens(p);
    } else if (p.Accept("INDEXTYPE")) {
      throw MakeOraError(3001);
    } else {
      throw MakeOraError(922);
    }
  }
  p.ExpectStatementEnd();
  Translation t;
  t.kind = StmtKind::CreateIndex;
  t.objects = std::move(em.objects);
  t.createIndex = std::move(info);
  return t;
}

long long SignedNumber(Parser& p) {
  bool negative = p.AcceptOp("-");
  if (!negative) p.AcceptOp("+");
  if (p.Peek().type != Tok::Number) throw MakeOraError(4002);
  long long v = std::atoll(p.Next().text.c_str());
  return negative ? -v : v;
}

Translation CreateSequence(Parser& p, const Catalog& catalog) {
  CreateSequenceInfo info;
  std::optional<std::string> owner;
  p.QualifiedName(owner, info.name);
  info.owner = OwnerOr(owner, catalog);
  bool startGiven = false;
  while (!p.AtEnd() && !p.Peek().IsOp(";")) {
    if (p.Accept("START")) {
      p.Expect("WITH", 905);
      info.startWith = SignedNumber(p);
      startGiven = true;
    } else if (p.Accept("INCREMENT")) {
      p.Expect("BY", 905);
      info.incrementBy = SignedNumber(p);
      if (info.incrementBy == 0) throw MakeOraError(4002);
    } else if (p.Accept("MINVALUE")) {
      info.minValue = SignedNumber(p);
    } else if (p.Accept("MAXVALUE")) {
      info.maxValue = SignedNumber(p);
    } else if (p.Accept("NOMINVALUE")) {
      info.minValue.reset();
    } else if (p.Accept("NOMAXVALUE")) {
      info.maxValue.reset();
    } else if (p.Accept("CYCLE")) {
      info.cycle = true;
    } else if (p.Accept("NOCYCLE")) {
      info.cycle = false;
    } else if (p.Accept("CACHE")) {
      info.cache = SignedNumber(p);
    } else if (p.Accept("NOCACHE")) {
      info.cache = 0;
    } else if (p.Accept("ORDER")) {
      info.order = true;
    } else if (p.Accept("NOORDER")) {
      info.order = false;
    } else {
      throw MakeOraError(933);
    }
  }
  p.ExpectStatementEnd();
  if (!startGiven) info.startWith = info.incrementBy > 0 ? info.minValue.value_or(1) : info.maxValue.value_or(-1);
  if (info.minValue && info.maxValue && *info.minValue >= *info.maxValue) throw MakeOraError(4021);
  Translation t;
  t.kind = StmtKind::CreateSequence;
  t.createSequence = std::move(info);
  return t;
}

Translation CreateSynonym(Parser& p, const Catalog& catalog, bool orReplace, bool isPublic) {
  CreateSynonymInfo info;
  info.isPublic = isPublic;
  info.orReplace = orReplace;
  std::optional<std::string> owner;
  p.QualifiedName(owner, info.name);
  if (isPublic && owner) throw MakeOraError(933);
  info.owner = isPublic ? "PUBLIC" : OwnerOr(owner, catalog);
  p.Expect("FOR", 905);
  std::optional<std::string> targetOwner;
  p.QualifiedName(targetOwner, info.targetName);
  info.targetOwner = OwnerOr(targetOwner, catalog);
  if (p.AcceptOp("@")) {
    std::string link = p.Name(903);
    while (p.AcceptOp(".")) link += "." + p.Name(903);
    info.dbLink = link;
  }
  p.ExpectStatementEnd();
  Translation t;
  t.kind = StmtKind::CreateSynonym;
  t.createSynonym = std::move(info);
  return t;
}

Translation CreateProgramUnit(Parser& p, const Catalog& catalog, bool orReplace) {
  ProgramUnitInfo info;
  info.orReplace = orReplace;
  size_t unitStart = p.Peek().begin;
  info.type = p.Next().text;
  if ((info.type == "PACKAGE" || info.type == "TYPE") && p.Peek().Is("BODY")) {
    p.Next();
    info.type += " BODY";
  }
  std::optional<std::string> owner;
  p.QualifiedName(owner, info.name);
  info.owner = OwnerOr(owner, catalog);
  if (info.type == "TRIGGER") {
    // The table is the name after the first ON (not ON DATABASE / ON SCHEMA).
    while (!p.AtEnd() && !p.Peek().Is("ON") && !p.Peek().Is("BEGIN") && !p.Peek().Is("DECLARE")) p.Next();
    if (p.Accept("ON") && !p.Peek().Is("DATABASE") && !p.Peek().Is("SCHEMA")) {
      std::optional<std::string> tOwner;
      p.QualifiedName(tOwner, info.triggerTable);
      info.triggerTableOwner = OwnerOr(tOwner, catalog);
    }
  }
  std::string source(p.Source().substr(unitStart));
  source.erase(std::remove(source.begin(), source.end(), '\r'), source.end());
  size_t start = 0;
  while (start < source.size()) {
    size_t nl = source.find('\n', start);
    if (nl == std::string::npos) {
      info.lines.push_back(source.substr(start));
      break;
    }
    info.lines.push_back(source.substr(start, nl - start + 1));
    start = nl + 1;
  }
  Translation t;
  t.kind = StmtKind::CreateProgramUnit;
  t.programUnit = std::move(info);
  return t;
}

std::string DottedName(Parser& p) {
  std::string name = p.Name(903);
  while (p.AcceptOp(".")) name += "." + p.Name(903);
  return name;
}

}  // namespace

Translation TranslateCreate(Parser& p, const Catalog& catalog) {
  bool orReplace = false;
  if (p.Accept("OR")) {
    p.Expect("REPLACE", 922);
    orReplace = true;
  }
  if (p.Accept("GLOBAL")) {
    p.Expect("TEMPORARY", 901);
    p.Expect("TABLE", 901);
    return CreateTable(p, catalog, true);
  }
  if (!orReplace && p.Accept("TABLE")) return CreateTable(p, catalog, false);
  bool force = false;
  if (p.Accept("FORCE")) force = true;
  else p.Accept("NOFORCE");
  if (p.Accept("VIEW")) return CreateView(p, catalog, orReplace, force);
  if (force) throw MakeOraError(901);
  if (!orReplace) {
    if (p.Accept("UNIQUE")) {
      p.Expect("INDEX", 901);
      return CreateIndex(p, catalog, true, false);
    }
    if (p.Accept("BITMAP")) {
      p.Expect("INDEX", 901);
      return CreateIndex(p, catalog, false, true);
    }
    if (p.Accept("INDEX")) return CreateIndex(p, catalog, false, false);
    if (p.Accept("SEQUENCE")) return CreateSequence(p, catalog);
  }
  if (p.Accept("PUBLIC")) {
    p.Expect("SYNONYM", 901);
    return CreateSynonym(p, catalog, orReplace, true);
  }
  if (p.Accept("SYNONYM")) return CreateSynonym(p, catalog, orReplace, false);
  const Token& t = p.Peek();
  if (t.Is("PROCEDURE") || t.Is("FUNCTION") || t.Is("PACKAGE") || t.Is("TRIGGER") || t.Is("TYPE"))
    return CreateProgramUnit(p, catalog, orReplace);
  if (!orReplace && (t.Is("USER") || t.Is("ROLE"))) return TranslateUserDdl(p, p.Next().text == "ROLE", false);
  if (t.type == Tok::Ident && !orReplace) {
    static const std::array<std::string_view, 16> known = {
        "USER", "ROLE", "TABLESPACE", "PROFILE", "CLUSTER", "DIRECTORY", "LIBRARY", "CONTEXT", "DATABASE",
        "DIMENSION", "OUTLINE", "OPERATOR", "INDEXTYPE", "SNAPSHOT", "MATERIALIZED", "ROLLBACK"};
    if (std::find(known.begin(), known.end(), t.text) != known.end()) throw MakeOraError(3001);
  }
  throw MakeOraError(901);
}

Translation TranslateDrop(Parser& p, const Catalog& catalog) {
  DropInfo info;
  // Object kind words, longest first.
  static const std::array<std::string_view, 31> kinds = {
      "PUBLIC DATABASE LINK", "PUBLIC ROLLBACK SEGMENT", "MATERIALIZED VIEW LOG ON", "SNAPSHOT LOG ON",
      "MATERIALIZED VIEW", "PUBLIC SYNONYM", "DATABASE LINK", "ROLLBACK SEGMENT", "PACKAGE BODY", "TYPE BODY",
      "JAVA CLASS", "JAVA SOURCE", "JAVA RESOURCE", "TABLE", "VIEW", "INDEX", "SEQUENCE", "SYNONYM",
      "PROCEDURE", "FUNCTION", "PACKAGE", "TRIGGER", "TYPE", "USER", "ROLE", "PROFILE", "TABLESPACE",
      "CLUSTER", "CONTEXT", "DIMENSION", "DIRECTORY"};
  static const std::array<std::string_view, 6> more = {"INDEXTYPE", "LIBRARY", "OPERATOR", "OUTLINE", "SNAPSHOT",
                                                       "LIBRARY"};
  std::string kind;
  for (auto k : kinds) {
    // Match the words of k against the next tokens.
    size_t ahead = 0, pos = 0;
    bool ok = true;
    while (pos < k.size() && ok) {
      size_t sp = k.find(' ', pos);
      std::string_view w = k.substr(pos, sp == std::string_view::npos ? std::string_view::npos : sp - pos);
      ok = p.Peek(ahead).Is(w);
      ++ahead;
      pos = sp == std::string_view::npos ? k.size() : sp + 1;
    }
    if (ok) {
      kind = std::string(k);
      for (size_t i = 0; i < ahead; ++i) p.Next();
      break;
    }
  }
  if (kind.empty()) {
    for (auto k : more)
      if (p.Accept(k)) {
        kind = std::string(k);
        break;
      }
  }
  if (kind.empty()) throw MakeOraError(950);
  info.type = kind;
  bool noSchema = kind == "USER" || kind == "ROLE" || kind == "PROFILE" || kind == "TABLESPACE" ||
                  kind == "ROLLBACK SEGMENT" || kind == "PUBLIC ROLLBACK SEGMENT" || kind == "CONTEXT" ||
                  kind == "DIRECTORY" || kind == "OUTLINE" || kind == "PUBLIC DATABASE LINK" || kind == "PUBLIC SYNONYM";
  if (kind == "DATABASE LINK" || kind == "PUBLIC DATABASE LINK") {
    info.name = DottedName(p);
  } else {
    std::optional<std::string> owner;
    p.QualifiedName(owner, info.name);
    if (owner && noSchema) throw MakeOraError(933);
    info.ownerGiven = owner.has_value();
    info.owner = owner ? *owner : (noSchema ? "" : catalog.CurrentUser());
  }
  if (kind.rfind("PUBLIC", 0) == 0) info.owner = "PUBLIC";
  while (!p.AtEnd() && !p.Peek().IsOp(";")) {
    if (p.Accept("CASCADE")) {
      if (p.Accept("CONSTRAINTS")) info.cascadeConstraints = true;
      else info.cascade = true;
    } else if (p.Accept("FORCE")) {
      info.force = true;
    } else if (p.Accept("PURGE")) {
      info.purge = true;
    } else if (p.Accept("VALIDATE")) {
    } else if (p.Accept("INCLUDING")) {
      if (p.Accept("TABLES")) {
        info.includingTables = true;
      } else {
        p.Expect("CONTENTS", 905);
        info.includingContents = true;
        info.cascade = true;
        if (p.Accept("AND")) p.Expect("DATAFILES", 905);
      }
    } else {
      throw MakeOraError(933);
    }
  }
  p.ExpectStatementEnd();
  Translation t;
  t.kind = StmtKind::Drop;
  t.drop = std::move(info);
  return t;
}

Translation TranslateTruncate(Parser& p, const Catalog& catalog) {
  TruncateInfo info;
  if (p.Accept("CLUSTER")) {
    // Clusters are not SQLite objects: the engine looks the cluster up itself.
    std::optional<std::string> owner;
    p.QualifiedName(owner, info.name);
    info.owner = OwnerOr(owner, catalog);
    info.cluster = true;
    if (p.Accept("DROP") || p.Accept("REUSE")) p.Expect("STORAGE", 905);
    p.ExpectStatementEnd();
    Translation t;
    t.kind = StmtKind::Truncate;
    t.truncate = std::move(info);
    return t;
  }
  p.Expect("TABLE", 905);
  std::optional<std::string> owner;
  p.QualifiedName(owner, info.name);
  ResolvedObject obj = catalog.Resolve(owner, info.name);
  info.owner = obj.owner;
  info.name = obj.name;
  info.sqliteName = obj.sqliteName;
  if (p.Accept("DROP") || p.Accept("REUSE")) p.Expect("STORAGE", 905);
  p.ExpectStatementEnd();
  Translation t;
  t.kind = StmtKind::Truncate;
  t.objects.push_back(obj);
  t.truncate = std::move(info);
  return t;
}

Translation TranslateComment(Parser& p, const Catalog& catalog) {
  p.Expect("ON", 905);
  CommentInfo info;
  std::optional<std::string> owner;
  std::string table;
  if (p.Accept("TABLE")) {
    p.QualifiedName(owner, table);
  } else if (p.Accept("COLUMN")) {
    info.onColumn = true;
    std::string a = p.Name(904);
    p.ExpectOp(".", 904);
    std::string b = p.Name(904);
    if (p.AcceptOp(".")) {
      owner = a;
      table = b;
      info.column = p.Name(904);
    } else {
      table = a;
      info.column = b;
    }
  } else {
    throw MakeOraError(905);
  }
  p.Expect("IS", 905);
  if (p.Peek().type != Tok::String) throw MakeOraError(1780);
  std::string text = p.Next().text;
  if (!text.empty()) info.text = text;
  p.ExpectStatementEnd();
  ResolvedObject obj = catalog.Resolve(owner, table);
  info.owner = obj.owner;
  info.table = obj.name;
  info.objectKind = obj.kind;
  Translation t;
  t.kind = StmtKind::Comment;
  t.objects.push_back(obj);
  t.comment = std::move(info);
  return t;
}

Translation TranslateGrant(Parser& p, const Catalog& catalog, bool revoke) {
  GrantInfo info;
  // Privileges: comma-separated lists of words, up to ON / TO / FROM.
  do {
    std::string priv;
    // A quoted name is a role named exactly so ("Mixed Role"); it keeps its
    // quotes here so the grant can tell it from a privilege's words.
    if (p.Peek().type == Tok::QuotedIdent) {
      priv = "\"" + p.Next().text + "\"";
    } else {
      while (p.Peek().type == Tok::Ident && !p.Peek().Is("ON") && !p.Peek().Is("TO") && !p.Peek().Is("FROM"))
        priv += (priv.empty() ? "" : " ") + p.Next().text;
    }
    if (priv.empty()) throw MakeOraError(990);
    if (priv == "ALL PRIVILEGES") priv = "ALL";
    if (p.Peek().IsOp("(")) SkipParens(p);  // column list of UPDATE/REFERENCES
    info.privileges.push_back(priv);
  } while (p.AcceptOp(","));
  if (p.Accept("ON")) {
    info.onObject = true;
    std::optional<std::string> owner;
    std::string name;
    p.QualifiedName(owner, name);
    ResolvedObject obj = catalog.Resolve(owner, name);
    info.owner = obj.owner;
    info.object = obj.name;
  }
  p.Expect(revoke ? "FROM" : "TO", revoke ? 988 : 905);
  do {
    info.grantees.push_back(p.Name(987));
  } while (p.AcceptOp(","));
  if (!revoke && p.Accept("WITH")) {
    if (!p.Accept("GRANT")) p.Expect("ADMIN", 905);
    p.Expect("OPTION", 905);
    info.withGrantOption = true;
  }
  if (revoke && p.Accept("CASCADE")) p.Expect("CONSTRAINTS", 905);
  p.ExpectStatementEnd();
  Translation t;
  t.kind = revoke ? StmtKind::Revoke : StmtKind::Grant;
  t.grant = std::move(info);
  return t;
}

Translation TranslateAlter(Parser& p, const Catalog& catalog) {
  Translation t;
  if (p.Accept("SESSION")) {
    p.Expect("SET", 922);
    AlterSessionInfo info;
    info.parameter = p.Name(922);
    p.ExpectOp("=", 922);
    const Token& v = p.Peek();
    if (v.type == Tok::String || v.type == Tok::Ident || v.type == Tok::QuotedIdent || v.type == Tok::Number)
      info.value = p.Next().text;
    else
      throw MakeOraError(922);
    // Some values are two words: ISOLATION_LEVEL = READ COMMITTED.
    while (!p.AtEnd() && p.Peek().type == Tok::Ident) info.value += " " + p.Next().text;
    if (!p.AtEnd() && !p.Peek().IsOp(";")) throw MakeOraError(3001);
    p.ExpectStatementEnd();
    t.kind = StmtKind::AlterSession;
    t.alterSession = std::move(info);
    return t;
  }
  if (p.Accept("SYSTEM")) {
    KillSessionInfo info;
    if (p.Accept("DISCONNECT")) info.disconnect = true;
    else if (!p.Accept("KILL")) throw MakeOraError(3001);
    p.Expect("SESSION", 922);
    if (p.Peek().type != Tok::String) throw MakeOraError(26);
    std::string id = p.Next().text;
    size_t comma = id.find(',');
    auto digits = [](const std::string& s) {
      return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)) || c == ' '; });
    };
    if (comma == std::string::npos || !digits(id.substr(0, comma)) || !digits(id.substr(comma + 1)))
      throw MakeOraError(26);
    info.sid = std::atoll(id.substr(0, comma).c_str());
    info.serial = std::atoll(id.substr(comma + 1).c_str());
    if (p.Accept("IMMEDIATE")) info.immediate = true;
    else if (info.disconnect) p.Expect("POST_TRANSACTION", 905);
    p.ExpectStatementEnd();
    t.kind = StmtKind::AlterSystemKillSession;
    t.killSession = info;
    return t;
  }
  if (p.Accept("TABLE")) {
    AlterTableInfo info;
    std::optional<std::string> owner;
    p.QualifiedName(owner, info.name);
    ResolvedObject obj = catalog.Resolve(owner, info.name);
    info.owner = obj.owner;
    info.name = obj.name;
    info.sqliteName = obj.sqliteName;
    t.objects.push_back(obj);
    size_t clauseStart = p.Position();
    Emitter em(catalog, p);
    using A = AlterTableInfo::Action;
    auto columnsClause = [&](A action) {
      info.action = action;
      bool group = p.AcceptOp("(");
      if (!group && AtConstraintStart(p)) {
        info.action = A::AddConstraint;
        info.constraints.push_back(OutOfLineConstraint(p, em));
        return;
      }
      do {
        if (group && AtConstraintStart(p)) info.constraints.push_back(OutOfLineConstraint(p, em));
        else info.columns.push_back(ColumnDefinition(p, em, info.name, info.constraints, action == A::ModifyColumns));
      } while (group && p.AcceptOp(","));
      if (group) p.ExpectOp(")", 907);
    };
    if (p.Accept("ADD")) {
      columnsClause(A::AddColumns);
    } else if (p.Accept("MODIFY")) {
      if (p.Peek().Is("CONSTRAINT")) throw MakeOraError(3001);
      columnsClause(A::ModifyColumns);
    } else if (p.Accept("DROP")) {
      if (p.Accept("UNUSED")) {
        p.Expect("COLUMNS", 905);
        info.action = A::DropUnused;
      } else if (p.Accept("PRIMARY")) {
        p.Expect("KEY", 905);
        info.action = A::DropConstraint;
        info.primaryKey = true;
      } else if (p.Accept("CONSTRAINT")) {
        info.action = A::DropConstraint;
        info.names.push_back(p.Name(931));
      } else if (p.Accept("COLUMN")) {
        info.action = A::DropColumns;
        info.names.push_back(p.Name(904));
      } else if (p.Peek().IsOp("(")) {
        info.action = A::DropColumns;
        info.names = NameList(p);
      } else {
        throw MakeOraError(905);
      }
      if (p.Accept("CASCADE")) {
        p.Accept("CONSTRAINTS");
        info.cascade = true;
      }
      if (p.Accept("KEEP") || p.Accept("DROP")) p.Expect("INDEX", 905);
    } else if (p.Accept("SET")) {
      p.Expect("UNUSED", 905);
      info.action = A::SetUnused;
      if (p.Accept("COLUMN")) info.names.push_back(p.Name(904));
      else info.names = NameList(p);
      if (p.Accept("CASCADE")) {
        p.Expect("CONSTRAINTS", 905);
        info.cascade = true;
      }
    } else if (p.Accept("RENAME")) {
      if (p.Accept("TO")) {
        info.action = A::RenameTo;
        info.names.push_back(p.Name(903));
      } else {
        p.Expect("COLUMN", 905);
        info.action = A::RenameColumn;
        info.names.push_back(p.Name(904));
        p.Expect("TO", 905);
        info.names.push_back(p.Name(904));
      }
    } else if (p.Peek().Is("ENABLE") || p.Peek().Is("DISABLE")) {
      info.action = p.Next().text == "ENABLE" ? A::EnableConstraint : A::DisableConstraint;
      p.Accept("VALIDATE") || p.Accept("NOVALIDATE");
      if (p.Accept("PRIMARY")) {
        p.Expect("KEY", 905);
        info.primaryKey = true;
      } else {
        p.Expect("CONSTRAINT", 905);
        info.names.push_back(p.Name(931));
      }
      if (p.Accept("CASCADE")) info.cascade = true;
    } else {
      throw MakeOraError(3001);
    }
    info.text = std::string(p.Slice(clauseStart, p.Position()));
    p.ExpectStatementEnd();
    t.kind = StmtKind::AlterTable;
    t.alterTable = std::move(info);
    return t;
  }
  // ALTER <unit> [owner.]name COMPILE [BODY | SPECIFICATION | PACKAGE] [DEBUG] [REUSE SETTINGS]
  const Token& k = p.Peek();
  if (k.Is("PROCEDURE") || k.Is("FUNCTION") || k.Is("PACKAGE") || k.Is("TRIGGER") || k.Is("VIEW") || k.Is("TYPE")) {
    AlterCompileInfo info;
    info.type = p.Next().text;
    std::optional<std::string> owner;
    p.QualifiedName(owner, info.name);
    info.owner = OwnerOr(owner, catalog);
    if (!p.Accept("COMPILE")) {
      if (info.type == "TRIGGER" && (p.Peek().Is("ENABLE") || p.Peek().Is("DISABLE"))) throw MakeOraError(3001);
      throw MakeOraError(922);
    }
    if (p.Accept("BODY")) {
      info.body = true;
      if (info.type == "PACKAGE" || info.type == "TYPE") info.type += " BODY";
    } else {
      p.Accept("SPECIFICATION") || p.Accept("PACKAGE");
    }
    p.Accept("DEBUG");
    if (p.Accept("REUSE")) p.Expect("SETTINGS", 905);
    p.ExpectStatementEnd();
    t.kind = StmtKind::AlterCompile;
    t.alterCompile = std::move(info);
    return t;
  }
  if (k.Is("USER")) {
    p.Next();
    return TranslateUserDdl(p, false, true);
  }
  if (k.Is("INDEX") || k.Is("SEQUENCE") || k.Is("TABLESPACE") || k.Is("ROLE") || k.Is("PROFILE") ||
      k.Is("DATABASE") || k.Is("CLUSTER") || k.Is("ROLLBACK"))
    throw MakeOraError(3001);
  throw MakeOraError(940);
}

Translation TranslateDisassociate(Parser& p, const Catalog& catalog) {
  p.Expect("STATISTICS", 905);
  p.Expect("FROM", 923);
  DisassociateInfo info;
  static const std::array<std::pair<std::string_view, std::string_view>, 6> kinds = {{{"COLUMNS", "COLUMN"},
                                                                                       {"FUNCTIONS", "FUNCTION"},
                                                                                       {"PACKAGES", "PACKAGE"},
                                                                                       {"TYPES", "TYPE"},
                                                                                       {"INDEXES", "INDEX"},
                                                                                       {"INDEXTYPES", "INDEXTYPE"}}};
  for (const auto& [plural, singular] : kinds)
    if (p.Accept(plural)) info.kind = std::string(singular);
  if (info.kind.empty()) throw MakeOraError(905);
  do {
    DisassociateInfo::Target target;
    std::string a = p.Name(904);
    if (info.kind == "COLUMN") {
      // [schema.]table.column
      p.ExpectOp(".", 904);
      std::string b = p.Name(904);
      if (p.AcceptOp(".")) {
        target = {a, b, p.Name(904)};
      } else {
        target = {catalog.CurrentUser(), a, b};
      }
    } else if (p.AcceptOp(".")) {
      target = {a, p.Name(904), ""};
    } else {
      target = {catalog.CurrentUser(), a, ""};
    }
    info.targets.push_back(std::move(target));
  } while (p.AcceptOp(","));
  if (p.Accept("FORCE")) info.force = true;
  p.ExpectStatementEnd();
  Translation t;
  t.kind = StmtKind::Disassociate;
  t.disassociate = std::move(info);
  return t;
}

}  // namespace ocisim::sql
