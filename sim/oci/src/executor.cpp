// Statement execution on a session: see executor.h.
#include "executor.h"

#include <functional>
#include "plsql_runtime.h"

#include "ddl.h"
#include "dictionary.h"
#include "explain.h"
#include "ora_error.h"
#include "sqlite_util.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>

namespace ocisim {
namespace {

std::string Upper(std::string s) {
  for (auto& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

// Finds ":NAME" references outside quoted strings and comments.
std::vector<std::string> ScanPlaceholders(const std::string& text) {
  std::vector<std::string> names;
  size_t i = 0, n = text.size();
  while (i < n) {
    char c = text[i];
    if (c == '\'') {
      size_t e = text.find('\'', i + 1);
      i = e == std::string::npos ? n : e + 1;
    } else if (c == '"') {
      size_t e = text.find('"', i + 1);
      i = e == std::string::npos ? n : e + 1;
    } else if (c == '-' && i + 1 < n && text[i + 1] == '-') {
      size_t e = text.find('\n', i);
      i = e == std::string::npos ? n : e + 1;
    } else if (c == '/' && i + 1 < n && text[i + 1] == '*') {
      size_t e = text.find("*/", i + 2);
      i = e == std::string::npos ? n : e + 2;
    } else if (c == ':') {
      size_t j = i + 1;
      while (j < n) {
        unsigned char d = static_cast<unsigned char>(text[j]);
        if (std::isalnum(d) || d == '_' || d == '#' || d == '$' || d >= 128) ++j;
        else break;
      }
      if (j > i + 1) {
        std::string name = Upper(text.substr(i + 1, j - i - 1));
        bool seen = false;
        for (const auto& x : names) seen = seen || x == name;
        if (!seen) names.push_back(name);
      }
      i = j;
    } else {
      ++i;
    }
  }
  return names;
}

std::string FirstWord(const std::string& text) {
  size_t i = 0;
  // Leading comments and parentheses do not decide the kind.
  while (i < text.size()) {
    if (std::isspace(static_cast<unsigned char>(text[i])) || text[i] == '(') {
      ++i;
    } else if (text.compare(i, 2, "--") == 0) {
      size_t e = text.find('\n', i);
      i = e == std::string::npos ? text.size() : e + 1;
    } else if (text.compare(i, 2, "/*") == 0) {
      size_t e = text.find("*/", i + 2);
      i = e == std::string::npos ? text.size() : e + 2;
    } else {
      break;
    }
  }
  size_t j = i;
  while (j < text.size() && std::isalpha(static_cast<unsigned char>(text[j]))) ++j;
  return Upper(text.substr(i, j - i));
}

int StmtTypeOf(const std::string& word) {
  static const std::pair<const char*, int> kTypes[] = {
      {"SELECT", 1}, {"WITH", 1}, {"UPDATE", 2}, {"DELETE", 3}, {"INSERT", 4}, {"CREATE", 5},
      {"DROP", 6},   {"ALTER", 7}, {"BEGIN", 8}, {"DECLARE", 9}, {"CALL", 10}, {"MERGE", 16},
  };
  for (const auto& [w, t] : kTypes)
    if (word == w) return t;
  return 0;
}

Value ReadColumn(sqlite3_stmt* s, int i) {
  switch (sqlite3_column_type(s, i)) {
    case SQLITE_INTEGER: return Value::MakeInt(sqlite3_column_int64(s, i));
    case SQLITE_FLOAT: return Value::MakeReal(sqlite3_column_double(s, i));
    case SQLITE_TEXT: {
      const char* t = reinterpret_cast<const char*>(sqlite3_column_text(s, i));
      return Value::MakeText(std::string(t, sqlite3_column_bytes(s, i)));
    }
    case SQLITE_BLOB: {
      const char* b = static_cast<const char*>(sqlite3_column_blob(s, i));
      return Value::MakeBlob(std::string(b ? b : "", sqlite3_column_bytes(s, i)));
    }
    default: return Value::MakeNull();
  }
}

// Evaluates a PL/SQL step's expression with "SELECT <expr>".
Value Evaluate(sqlite3* db, const std::string& expr, const std::vector<std::string>& names, const BindValues& binds) {
  Query q(db, "SELECT " + expr);
  BindAll(q.get(), names, binds);
  if (!q.Step()) return Value::MakeNull();
  return ReadColumn(q.get(), 0);
}

// A column read straight from a table column is nullable as that column is.
bool Nullable(sqlite3_stmt* s, int i) {
  const char* table = sqlite3_column_table_name(s, i);
  const char* origin = sqlite3_column_origin_name(s, i);
  int not_null = 0;
  if (table && origin &&
      sqlite3_table_column_metadata(sqlite3_db_handle(s), sqlite3_column_database_name(s, i), table, origin, nullptr,
                                    nullptr, &not_null, nullptr, nullptr) == SQLITE_OK)
    return not_null == 0;
  return true;
}

bool Aligned(const sql::Translation& t, sqlite3_stmt* s) {
  bool aligned = t.columns.size() == static_cast<size_t>(sqlite3_column_count(s));
  for (const auto& c : t.columns) aligned = aligned && c.name.find('*') == std::string::npos;
  return aligned;
}

// Oracle's name of a select-list column. A '*' in the select list expands to
// several SQLite columns; then SQLite's names (the stored column names) count.
std::string ColumnName(const sql::Translation& t, sqlite3_stmt* s, int i) {
  if (Aligned(t, s)) return t.columns[i].name;
  const char* n = sqlite3_column_name(s, i);
  return n ? n : "";
}

std::string Setting(sqlite3* db, const char* name, const char* fallback) {
  Query q(db, "SELECT VALUE FROM ocisim_settings WHERE NAME = ?");
  q.Bind(1, std::string(name));
  return q.Step() ? q.Text(0) : std::string(fallback);
}

// The command codes of AUDIT_ACTIONS that V$SESSION.COMMAND and the cursor
// cache show for a statement.
int CommandTypeOf(sql::StmtKind kind) {
  using K = sql::StmtKind;
  static const std::pair<K, int> kCodes[] = {
      {K::Select, 3},        {K::Insert, 2},        {K::Update, 6},       {K::Delete, 7},
      {K::CreateTable, 1},   {K::CreateView, 21},   {K::CreateIndex, 9},  {K::CreateSequence, 13},
      {K::CreateSynonym, 19}, {K::CreateProgramUnit, 24}, {K::Drop, 12},  {K::Truncate, 85},
      {K::AlterTable, 15},   {K::Comment, 29},      {K::Grant, 17},       {K::Revoke, 18},
      {K::ExplainPlan, 50},  {K::AlterSession, 42}, {K::Commit, 44},      {K::Rollback, 45},
      {K::PlsqlBlock, 47},
  };
  for (const auto& [k, code] : kCodes)
    if (k == kind) return code;
  return 0;
}

}  // namespace

int StatementTypeOf(const std::string& text) { return StmtTypeOf(FirstWord(text)); }
std::vector<std::string> PlaceholdersOf(const std::string& text) { return ScanPlaceholders(text); }

void BindAll(sqlite3_stmt* stmt, const std::vector<std::string>& names, const BindValues& binds) {
  for (size_t i = 0; i < names.size(); ++i) {
    auto it = binds.find(Upper(names[i]));
    if (it == binds.end()) ThrowOra(1008);
    const Value& v = it->second;
    int pos = static_cast<int>(i + 1);
    switch (v.kind) {
      case Value::Null: sqlite3_bind_null(stmt, pos); break;
      case Value::Int: sqlite3_bind_int64(stmt, pos, v.i); break;
      case Value::Real: sqlite3_bind_double(stmt, pos, v.r); break;
      case Value::Text:
        if (v.s.empty()) sqlite3_bind_null(stmt, pos);  // Oracle: '' is NULL
        else sqlite3_bind_text(stmt, pos, v.s.data(), static_cast<int>(v.s.size()), SQLITE_TRANSIENT);
        break;
      case Value::Blob:
        sqlite3_bind_blob(stmt, pos, v.s.data(), static_cast<int>(v.s.size()), SQLITE_TRANSIENT);
        break;
    }
  }
}

ColumnInfo DescribeDeclaredType(const std::string& declared_in) {
  ColumnInfo c;
  std::string d = Upper(declared_in);
  std::string base = d.substr(0, d.find('('));
  while (!base.empty() && base.back() == ' ') base.pop_back();
  int a = -1, b = -1;
  if (auto p = d.find('('); p != std::string::npos) {
    a = std::atoi(d.c_str() + p + 1);
    if (auto comma = d.find(',', p); comma != std::string::npos) b = std::atoi(d.c_str() + comma + 1);
  }
  if (base == "VARCHAR2" || base == "VARCHAR" || base == "NVARCHAR2") {
    c.type = kVarchar2;
    c.size = a > 0 ? a : 4000;
  } else if (base == "CHAR" || base == "NCHAR") {
    c.type = kChar;
    c.size = a > 0 ? a : 1;
  } else if (base == "NUMBER" || base == "NUMERIC" || base == "DECIMAL") {
    c.type = kNumber;
    c.size = 22;
    c.precision = a > 0 ? a : 0;
    c.scale = a > 0 ? (b >= 0 ? b : 0) : -127;
  } else if (base == "INTEGER" || base == "INT" || base == "SMALLINT") {
    c.type = kNumber;
    c.size = 22;
    c.precision = 38;
    c.scale = 0;
  } else if (base == "FLOAT" || base == "REAL" || base == "DOUBLE PRECISION") {
    c.type = kNumber;
    c.size = 22;
    c.precision = 126;
    c.scale = -127;
  } else if (base == "DATE") {
    c.type = kDate;
    c.size = 7;
  } else if (base == "LONG") {
    c.type = kLong;
    c.size = 0;
  } else if (base == "LONG RAW") {
    c.type = kLongRaw;
    c.size = 0;
  } else if (base == "RAW") {
    c.type = kRaw;
    c.size = a > 0 ? a : 2000;
  } else if (base == "CLOB" || base == "NCLOB") {
    c.type = kClob;
    c.size = 4000;
  } else if (base == "BLOB") {
    c.type = kBlob;
    c.size = 4000;
  } else if (base == "ROWID" || base == "UROWID") {
    c.type = kRowid;
    c.size = 18;
  } else {
    c.type = kVarchar2;
    c.size = 4000;
  }
  return c;
}

Cursor::~Cursor() {
  Close();
  if (noted_ && session_.activity()) session_.activity()->CursorClosed(reinterpret_cast<intptr_t>(this), row_count_);
}

void Cursor::Close() {
  if (stmt_) sqlite3_finalize(stmt_);
  stmt_ = nullptr;
  at_end_ = true;
  pending_row_ = false;
}

void Cursor::Prepare(std::string text) {
  Close();
  text_ = std::move(text);
  stmt_type_ = StmtTypeOf(FirstWord(text_));
  placeholders_ = ScanPlaceholders(text_);
  columns_.clear();
  executed_ = false;
  is_query_ = stmt_type_ == 1;
  row_count_ = 0;
  outs_.clear();
}

void Cursor::Validate() {
  session_.CheckAlive();
  sql::Translation t;
  try {
    t = sql::Translate(text_, session_.catalog());
  } catch (const OraFailure&) {
    // Blocks beyond the package calls the translator knows go to the PL/SQL compiler.
    if (stmt_type_ != 8 && stmt_type_ != 9) throw;
    CheckPlsqlBlock(session_, text_);
  }
  is_query_ = t.kind == sql::StmtKind::Select;
}

void Cursor::Execute(const BindValues& binds, bool describe_only) {
  Close();
  executed_ = false;
  row_count_ = 0;
  warning_ = 0;
  outs_.clear();
  session_.CheckAlive();
  session_.RefreshPrivilegesIfChanged();
  sql::Translation t;
  try {
    // Blocks that use stored objects (units, tables), write output or raise go to the interpreter.
    if ((stmt_type_ == 8 || stmt_type_ == 9) && PlsqlBlockNeedsInterpreter(session_, text_))
      throw OraFailure(6550, "stored objects");
    t = sql::Translate(text_, session_.catalog());
  } catch (const OraFailure&) {
    if (stmt_type_ != 8 && stmt_type_ != 9) throw;
    // The interpreter runs what the translator's block steps do not cover.
    if (describe_only) CheckPlsqlBlock(session_, text_);
    else RunPlsqlBlock(session_, text_, binds, outs_);
    executed_ = true;
    return;
  }
  is_query_ = t.kind == sql::StmtKind::Select;
  switch (t.kind) {
    case sql::StmtKind::Select:
      // A query is open while it runs: it counts itself among the open cursors.
      if (!describe_only) NoteExecuted(t);
      RunQuery(t, binds, describe_only);
      break;
    case sql::StmtKind::Insert:
    case sql::StmtKind::Update:
    case sql::StmtKind::Delete:
      if (!describe_only) RunDml(t, binds);
      break;
    case sql::StmtKind::Commit:
      if (!describe_only) session_.Commit();
      break;
    case sql::StmtKind::Rollback:
      if (!describe_only) session_.Rollback();
      break;
    case sql::StmtKind::PlsqlBlock:
      if (!describe_only) RunPlsql(t, binds);
      break;
    case sql::StmtKind::AlterSession:
      if (!describe_only && t.alterSession && t.alterSession->parameter == "CURRENT_SCHEMA")
        session_.catalog().SetCurrentSchema(Upper(t.alterSession->value));
      // Other session parameters (sql_trace, optimizer_goal, isolation_level,
      // NLS settings) are accepted and have no effect on the stand-in.
      break;
    case sql::StmtKind::AlterSystemKillSession:
      if (!describe_only) session_.KillSession(t.killSession->sid, t.killSession->serial);
      break;
    case sql::StmtKind::ExplainPlan:
      if (!describe_only) {
        session_.BeginWrite();
        ExplainInto(session_, t, binds);
      }
      break;
    default:
      if (!describe_only) warning_ = ExecuteDdl(session_, t) ? 24344 : 0;
      break;
  }
  executed_ = true;
  if (!describe_only && t.kind != sql::StmtKind::Select) NoteExecuted(t);
}

void Cursor::NoteExecuted(const sql::Translation& t) {
  SessionActivity* activity = session_.activity();
  if (activity == nullptr) return;
  std::vector<StatementObject> objects;
  for (const auto& o : t.explain ? t.explain->objects : t.objects) objects.push_back({o.owner, o.name, o.kind});
  const std::string upper = Upper(text_);
  const bool sorts = upper.find("ORDER BY") != std::string::npos || upper.find("GROUP BY") != std::string::npos ||
                     upper.find("DISTINCT") != std::string::npos;
  try {
    activity->StatementExecuted(reinterpret_cast<intptr_t>(this), text_, CommandTypeOf(t.kind),
                                session_.user_id(), objects, is_query_ ? 0 : row_count_, is_query_,
                                sorts);
    noted_ = true;
  } catch (...) {
    // The cursor cache misses this statement; the statement itself ran.
  }
}

void Cursor::Describe(const sql::Translation& t) {
  columns_.clear();
  int n = sqlite3_column_count(stmt_);
  bool need_row = false;
  for (int i = 0; i < n; ++i) {
    ColumnInfo c;
    const sql::SelectColumn* sc = Aligned(t, stmt_) ? &t.columns[i] : nullptr;
    const char* decl = sqlite3_column_decltype(stmt_, i);
    if (sc && !sc->typeHint.empty()) {
      c = DescribeDeclaredType(sc->typeHint == "VARCHAR2" ? "VARCHAR2(4000)" : sc->typeHint);
      if (decl && sc->typeHint == "NUMBER" && Upper(decl).rfind("NUMBER", 0) == 0) c = DescribeDeclaredType(decl);
    } else if (decl) {
      c = DescribeDeclaredType(decl);
    } else {
      c.type = -1;  // decided by the first row below
      need_row = true;
    }
    c.name = ColumnName(t, stmt_, i);
    c.nullable = Nullable(stmt_, i);
    columns_.push_back(c);
  }
  if (!need_row) return;
  // Expressions of unknown type take the type of their first value.
  int rc = sqlite3_step(stmt_);
  if (rc == SQLITE_ROW) {
    pending_row_ = true;
  } else if (rc != SQLITE_DONE) {
    ThrowSqlite(session_.db(), rc);
  } else {
    at_end_ = true;
  }
  for (int i = 0; i < n; ++i) {
    if (columns_[i].type != -1) continue;
    int st = pending_row_ ? sqlite3_column_type(stmt_, i) : SQLITE_NULL;
    ColumnInfo d = DescribeDeclaredType(st == SQLITE_INTEGER || st == SQLITE_FLOAT ? "NUMBER"
                                        : st == SQLITE_BLOB                        ? "RAW(2000)"
                                                                                   : "VARCHAR2(4000)");
    d.name = columns_[i].name;
    columns_[i] = d;
  }
}

void Cursor::RunQuery(const sql::Translation& t, const BindValues& binds, bool describe_only) {
  sqlite_text_ = t.sqlite;
  if (std::getenv("OCISIM_TRACE")) std::fprintf(stderr, "ocisim: query: %s\n", t.sqlite.c_str());
  int rc = sqlite3_prepare_v2(session_.db(), t.sqlite.c_str(), static_cast<int>(t.sqlite.size()), &stmt_, nullptr);
  // A stored function in the query: known to SQLite from its first use on.
  if (rc != SQLITE_OK && RegisterStoredFunction(session_, sqlite3_errmsg(session_.db())))
    rc = sqlite3_prepare_v2(session_.db(), t.sqlite.c_str(), static_cast<int>(t.sqlite.size()), &stmt_, nullptr);
  if (rc != SQLITE_OK) ThrowSqlite(session_.db(), rc);
  if (!describe_only) BindAll(stmt_, t.binds, binds);
  at_end_ = false;
  pending_row_ = false;
  if (describe_only) {
    // Describing never runs the query: unknown expression types read as VARCHAR2.
    columns_.clear();
    for (int i = 0; i < sqlite3_column_count(stmt_); ++i) {
      const char* decl = sqlite3_column_decltype(stmt_, i);
      const sql::SelectColumn* sc = Aligned(t, stmt_) ? &t.columns[i] : nullptr;
      ColumnInfo c = DescribeDeclaredType(sc && !sc->typeHint.empty() ? sc->typeHint : decl ? decl : "VARCHAR2(4000)");
      c.name = ColumnName(t, stmt_, i);
      c.nullable = Nullable(stmt_, i);
      columns_.push_back(c);
    }
    sqlite3_finalize(stmt_);
    stmt_ = nullptr;
    at_end_ = true;
    return;
  }
  Describe(t);
}

bool Cursor::Fetch() {
  if (!stmt_ || at_end_) return false;
  if (pending_row_) {
    pending_row_ = false;
    ++row_count_;
    return true;
  }
  int rc = sqlite3_step(stmt_);
  if (rc == SQLITE_ROW) {
    ++row_count_;
    return true;
  }
  at_end_ = true;
  if (rc != SQLITE_DONE) ThrowSqlite(session_.db(), rc);
  return false;
}

Value Cursor::ColumnValue(int index) const {
  if (!stmt_ || index < 0 || index >= static_cast<int>(columns_.size())) return Value::MakeNull();
  return ReadColumn(stmt_, index);
}

// The privilege a DML statement needs on the table it writes.
void CheckDmlPrivilege(ServerSession& s, const sql::Translation& t) {
  const char* priv = t.kind == sql::StmtKind::Insert ? "INSERT" : t.kind == sql::StmtKind::Update ? "UPDATE" : "DELETE";
  s.catalog().CheckWrite(t.targetOwner, t.targetName, priv);
}

void Cursor::RunDml(const sql::Translation& t, const BindValues& binds) {
  sqlite_text_ = t.sqlite;
  if (RunDmlWithTriggers(session_, t, binds, &row_count_)) {
    // The transaction and its table lock show in the V$ views either way.
    session_.NoteTableWritten(t.targetOwner, t.targetName, row_count_);
    return;
  }
  CheckDmlPrivilege(session_, t);
  session_.BeginWrite();
  Query q(session_.db(), t.sqlite);
  BindAll(q.get(), t.binds, binds);
  // A failed statement undoes only its own changes, as in Oracle.
  ExecSql(session_.db(), "SAVEPOINT ocisim_stmt");
  try {
    q.Run();
  } catch (...) {
    sqlite3_exec(session_.db(), "ROLLBACK TO ocisim_stmt; RELEASE ocisim_stmt", nullptr, nullptr, nullptr);
    throw;
  }
  ExecSql(session_.db(), "RELEASE ocisim_stmt");
  row_count_ = sqlite3_changes(session_.db());
  session_.NoteTableWritten(t.targetOwner, t.targetName, row_count_);
}

void Cursor::RunPlsql(const sql::Translation& t, const BindValues& binds_in) {
  // Oracle wants every placeholder of the block bound, out variables too.
  for (const auto& name : t.binds)
    if (binds_in.find(Upper(name)) == binds_in.end()) ThrowOra(1008);
  BindValues binds = binds_in;  // later steps see what earlier steps assigned
  sqlite3* db = session_.db();
  // A block that fails undoes its own changes (since its last COMMIT), as a
  // call to the server would.
  bool savepoint = false;
  auto begin_write = [&] {
    session_.BeginWrite();
    if (!savepoint) {
      ExecSql(db, "SAVEPOINT ocisim_block");
      savepoint = true;
    }
  };
  try {
  auto assign = [&](const std::string& name, Value v) {
    outs_[Upper(name)] = v;
    binds[Upper(name)] = std::move(v);
  };
  // Declared variables start NULL.
  for (const auto& name : t.plsqlLocals) binds[Upper(name)] = Value::MakeNull();
  std::function<void(const std::vector<sql::PlsqlStep>&)> run = [&](const std::vector<sql::PlsqlStep>& steps) {
  for (const auto& step : steps) {
    using K = sql::PlsqlStep::Kind;
    switch (step.kind) {
      case K::If: {
        Value c = Evaluate(db, step.exprSqlite, step.exprBinds, binds);
        const bool yes = c.kind == Value::Int && c.i != 0;
        if (yes && step.body) run(*step.body);
        if (!yes && step.elseBody) run(*step.elseBody);
        break;
      }
      case K::SelectInto: {
        Query q(db, step.dml->sqlite);
        BindAll(q.get(), step.dml->binds, binds);
        if (!q.Step()) ThrowOra(1403);
        std::vector<Value> values;
        for (size_t i = 0; i < step.outBinds.size(); ++i) values.push_back(ReadColumn(q.get(), static_cast<int>(i)));
        if (q.Step()) ThrowOra(1422);
        for (size_t i = 0; i < step.outBinds.size(); ++i) binds[Upper(step.outBinds[i])] = values[i];
        break;
      }
      case K::Raise: {
        Value m = Evaluate(db, step.exprSqlite, step.exprBinds, binds);
        if (step.number > -20000 || step.number < -20999)
          ThrowOraText(21000, "ORA-21000: error number argument to raise_application_error of " +
                                  std::to_string(step.number) + " is out of range");
        char code[32];  // room for any long long the format may be given
        std::snprintf(code, sizeof code, "ORA-%05lld: ", -step.number);
        ThrowOraText(static_cast<int>(-step.number), code + (m.kind == Value::Text ? m.s : std::string()));
      }
      case K::PutLine:
      case K::Put: {
        Value v = Evaluate(db, step.exprSqlite, step.exprBinds, binds);
        std::string text = v.kind == Value::Int    ? std::to_string(v.i)
                           : v.kind == Value::Real ? std::to_string(v.r)
                                                   : v.s;
        if (!session_.output_enabled) break;
        session_.output_partial += text;
        if (step.kind == K::PutLine) {
          session_.output_lines.push_back(session_.output_partial);
          session_.output_partial.clear();
        }
        break;
      }
      case K::NewLine:
        if (session_.output_enabled) {
          session_.output_lines.push_back(session_.output_partial);
          session_.output_partial.clear();
        }
        break;
      case K::Enable: session_.output_enabled = true; break;
      case K::Disable:
        session_.output_enabled = false;
        session_.output_lines.clear();
        session_.output_partial.clear();
        break;
      case K::GetLine: {
        bool have = !session_.output_lines.empty();
        if (step.outBinds.size() >= 1)
          assign(step.outBinds[0], have ? Value::MakeText(session_.output_lines.front()) : Value::MakeNull());
        if (step.outBinds.size() >= 2) assign(step.outBinds[1], Value::MakeInt(have ? 0 : 1));
        if (have) session_.output_lines.pop_front();
        break;
      }
      case K::DbVersion:
        if (step.outBinds.size() >= 1) assign(step.outBinds[0], Value::MakeText(Setting(db, "VERSION", "9.2.0.1.0")));
        if (step.outBinds.size() >= 2) assign(step.outBinds[1], Value::MakeText(Setting(db, "COMPATIBLE", "9.2.0")));
        break;
      case K::PortString:
        if (!step.outBinds.empty())
          assign(step.outBinds[0], Value::MakeText(Setting(db, "PORT_STRING", "Linuxi386/Linux-2.0.34-8.1.0")));
        break;
      case K::LocalTransactionId: {
        std::string id = session_.TransactionId();
        if (!step.outBinds.empty()) assign(step.outBinds[0], id.empty() ? Value::MakeNull() : Value::MakeText(id));
        break;
      }
      case K::JobRemove: {
        Value job = Evaluate(db, step.exprSqlite, step.exprBinds, binds);
        begin_write();
        Query del(db, "DELETE FROM \"SYS.DBA_JOBS\" WHERE JOB = ? AND (LOG_USER = ? OR ocisim_admin())");
        del.Bind(1, job).Bind(2, session_.user());
        del.Run();
        if (sqlite3_changes(db) == 0)
          ThrowOraText(23421, "ORA-23421: job number " +
                                  (job.kind == Value::Int ? std::to_string(job.i) : job.s) +
                                  " is not a job in the job queue\nORA-06512: at \"SYS.DBMS_JOB\", line 86");
        break;
      }
      case K::JobSubmit: {
        // What, next date and interval arrive joined by char(1).
        Value all = Evaluate(db, step.exprSqlite, step.exprBinds, binds);
        std::vector<std::string> parts(3);
        size_t part = 0;
        for (char c : all.s) {
          if (c == '\x01') ++part;
          else if (part < parts.size()) parts[part] += c;
        }
        std::string next = parts[1].empty() ? Now() : parts[1];
        begin_write();
        int64_t job = 1;
        {
          Query n(db, "SELECT COALESCE(MAX(JOB), 0) + 1 FROM \"SYS.DBA_JOBS\"");
          if (n.Step()) job = n.Int(0);
        }
        Query ins(db, "INSERT INTO \"SYS.DBA_JOBS\" (JOB, LOG_USER, PRIV_USER, SCHEMA_USER, NEXT_DATE, NEXT_SEC, "
                      "TOTAL_TIME, BROKEN, INTERVAL, FAILURES, WHAT, INSTANCE) VALUES (?, ?, ?, ?, ?, ?, 0, 'N', ?, 0, "
                      "?, 0)");
        ins.Bind(1, job).Bind(2, session_.user()).Bind(3, session_.user()).Bind(4, session_.user()).Bind(5, next);
        ins.Bind(6, next.size() >= 19 ? next.substr(11, 8) : std::string("00:00:00"));
        ins.Bind(7, parts[2].empty() ? std::string("null") : parts[2]).Bind(8, parts[0]);
        ins.Run();
        if (!step.outBinds.empty()) assign(step.outBinds[0], Value::MakeInt(job));
        break;
      }
      case K::SetModule: {
        Value all = Evaluate(db, step.exprSqlite, step.exprBinds, binds);
        const size_t cut = all.s.find('\x01');
        std::string module = cut == std::string::npos ? all.s : all.s.substr(0, cut);
        std::string action = cut == std::string::npos ? std::string() : all.s.substr(cut + 1);
        if (session_.activity()) {
          if (step.number == 1) session_.activity()->SetAction(action);
          else session_.activity()->SetModule(module, action);
        }
        break;
      }
      case K::Dml:
        if (step.dml) {
          CheckDmlPrivilege(session_, *step.dml);
          begin_write();
          Query q(db, step.dml->sqlite);
          BindAll(q.get(), step.dml->binds, binds);
          q.Run();
          row_count_ += sqlite3_changes(db);
          session_.NoteTableWritten(step.dml->targetOwner, step.dml->targetName, sqlite3_changes(db));
        }
        break;
      case K::Commit:
        session_.Commit();
        savepoint = false;
        break;
      case K::Rollback:
        session_.Rollback();
        savepoint = false;
        break;
      case K::Null: break;
    }
  }
  };
  run(t.plsql);
  } catch (...) {
    if (savepoint) sqlite3_exec(db, "ROLLBACK TO ocisim_block; RELEASE ocisim_block", nullptr, nullptr, nullptr);
    throw;
  }
  if (savepoint) ExecSql(db, "RELEASE ocisim_block");
}

}  // namespace ocisim
