// The stand-in's side of the PL/SQL interpreter: see plsql_runtime.h.
#include "plsql_runtime.h"

#include "compile.h"
#include "dictionary.h"
#include "ora_error.h"
#include "plsql/interpreter.h"
#include "plsql/parser.h"
#include "plsql_dictionary.h"
#include "sqlite_util.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdlib>
#include <map>

namespace ocisim {
namespace {

using plsql::Val;

Value ToValue(const Val& v) {
  switch (v.k) {
    case Val::Null:
    case Val::Record: return Value::MakeNull();
    case Val::Int: return Value::MakeInt(v.i);
    case Val::Real: return Value::MakeReal(v.r);
    case Val::Text:
    case Val::Date: return Value::MakeText(v.s);
    case Val::Bool: return Value::MakeInt(v.b ? 1 : 0);
  }
  return Value::MakeNull();
}

Val FromValue(const Value& v, bool date) {
  switch (v.kind) {
    case Value::Null: return Val();
    case Value::Int: return Val::Of(v.i);
    case Value::Real: return Val::OfReal(v.r);
    case Value::Text:
    case Value::Blob: return date ? Val::OfDate(v.s) : Val::OfText(v.s);
  }
  return Val();
}

BindValues BindsOf(const std::vector<Val>& binds) {
  BindValues out;
  for (size_t i = 0; i < binds.size(); ++i) out["PLSQL_B" + std::to_string(i + 1)] = ToValue(binds[i]);
  return out;
}

std::shared_ptr<plsql::SessionState> StateOf(ServerSession& s) {
  if (!s.plsql_state) s.plsql_state = plsql::NewSessionState();
  return std::static_pointer_cast<plsql::SessionState>(s.plsql_state);
}

std::string Text(const Val& v) {
  if (v.k == Val::Int || v.k == Val::Real) return plsql::NumberText(v);
  return v.s;
}

class SessionHost : public plsql::Host {
 public:
  explicit SessionHost(ServerSession& s) : s_(s) {}

  const plsql::Dictionary& DictFor(const std::string& schema) override {
    auto& d = dicts_[schema];
    if (!d) d = std::make_unique<SqliteDictionary>(s_.db(), schema);
    return *d;
  }

  plsql::QueryResult Query(const std::string& sql, const std::vector<Val>& binds) override {
    plsql::QueryResult r;
    try {
      Cursor c(s_);
      c.Prepare(sql);
      c.Execute(BindsOf(binds));
      std::vector<bool> date;
      for (const auto& col : c.Columns()) {
        r.columns.push_back(col.name);
        date.push_back(col.type == kDate);
      }
      while (c.Fetch()) {
        std::vector<Val> row;
        for (size_t i = 0; i < date.size(); ++i) row.push_back(FromValue(c.ColumnValue(static_cast<int>(i)), date[i]));
        r.rows.push_back(std::move(row));
      }
    } catch (const OraFailure& e) {
      throw plsql::PlsqlError(e.code, e.what());
    }
    return r;
  }

  int64_t Exec(const std::string& sql, const std::vector<Val>& binds) override {
    try {
      BeginBlockWrite();
      Cursor c(s_);
      c.Prepare(sql);
      c.Execute(BindsOf(binds));
      return c.RowCount();
    } catch (const OraFailure& e) {
      throw plsql::PlsqlError(e.code, e.what());
    }
  }

  void Commit() override {
    s_.Commit();
    savepoint_ = false;
  }
  void Rollback() override {
    s_.Rollback();
    savepoint_ = false;
  }

  std::string DateText(const std::string& internal) override { return sql::FormatOracleDate(internal, ""); }

  bool EnsureValid(const std::string& owner, const std::string& name, const std::string& type) override {
    return ocisim::EnsureValid(s_.db(), owner, name, type);
  }

  Val CallPackage(const std::string& pkg, const std::string& name, std::vector<Val*>& a) override {
    try {
      return Package(pkg, name, a);
    } catch (const OraFailure& e) {
      throw plsql::PlsqlError(e.code, e.what());
    }
  }

  Val Package(const std::string& pkg, const std::string& name, std::vector<Val*>& a) {
    auto arg = [&](size_t i) { return i < a.size() ? *a[i] : Val(); };
    auto set = [&](size_t i, Val v) {
      if (i < a.size()) *a[i] = std::move(v);
    };
    sqlite3* db = s_.db();
    if (pkg == "DBMS_OUTPUT") {
      if (name == "ENABLE") {
        s_.output_enabled = true;
        // The server keeps the size between 2,000 and 1,000,000 bytes; NULL means no limit.
        Val size = a.empty() ? Val::Of(20000) : arg(0);
        int64_t bytes = size.IsNumber() ? static_cast<int64_t>(size.Num())
                        : size.k == Val::Text ? std::atoll(size.s.c_str()) : 20000;
        s_.output_limit = size.k == Val::Null ? 0 : std::clamp<int64_t>(bytes, 2000, 1000000);
      }
      if (name == "DISABLE") {
        s_.output_enabled = false;
        s_.output_lines.clear();
        s_.output_partial.clear();
      }
      bool write = (name == "PUT" || name == "PUT_LINE" || name == "NEW_LINE") && s_.output_enabled;
      if (write) {
        std::string t;
        if (name != "NEW_LINE") {
          t = Text(arg(0));
          if (arg(0).k == Val::Date) t = DateText(arg(0).s);
          if (arg(0).k == Val::Bool) throw plsql::PlsqlError(6550, "PLS-00306: wrong number or types of arguments in call to '" + name + "'");
        }
        if (s_.output_partial.size() + t.size() > 255)
          throw plsql::PlsqlError(20000, "ORA-20000: ORU-10028: line length overflow, limit of 255 chars per line");
        // What the reader has not fetched yet counts against the buffer; the
        // text that does not fit is not kept.
        size_t held = s_.output_partial.size() + t.size();
        for (const auto& l : s_.output_lines) held += l.size();
        if (s_.output_limit > 0 && static_cast<int64_t>(held) > s_.output_limit)
          throw plsql::PlsqlError(20000, "ORA-20000: ORU-10027: buffer overflow, limit of " +
                                             std::to_string(s_.output_limit) + " bytes");
        s_.output_partial += t;
        if (name != "PUT") {
          s_.output_lines.push_back(s_.output_partial);
          s_.output_partial.clear();
        }
      }
      if (name == "GET_LINE") {
        bool have = !s_.output_lines.empty();
        set(0, have ? Val::OfText(s_.output_lines.front()) : Val());
        set(1, Val::Of(have ? 0 : 1));
        if (have) s_.output_lines.pop_front();
      }
      return Val();
    }
    if (pkg == "DBMS_UTILITY") {
      if (name == "DB_VERSION") {
        set(0, Val::OfText(Setting(db, "VERSION", "9.2.0.1.0")));
        set(1, Val::OfText(Setting(db, "COMPATIBLE", "9.2.0")));
      }
      if (name == "PORT_STRING") return Val::OfText(Setting(db, "PORT_STRING", "Linuxi386/Linux-2.0.34-8.1.0"));
      if (name == "GET_TIME") {
        auto cs = std::chrono::duration_cast<std::chrono::milliseconds>(
                      std::chrono::steady_clock::now().time_since_epoch()).count() / 10;
        return Val::Of(cs % 2147483647);
      }
      if (name == "FORMAT_ERROR_STACK") return Val();
      if (name == "COMPILE_SCHEMA") {
        std::string schema = Text(arg(0));
        if (schema != s_.user() && !s_.catalog().IsAdmin()) throw plsql::PlsqlError(20000, "ORA-20000: Insufficient privileges for schema " + schema);
        std::vector<std::pair<std::string, std::string>> units;
        ::ocisim::Query q(db, "SELECT OBJECT_NAME, OBJECT_TYPE FROM \"SYS.DBA_OBJECTS\" WHERE OWNER = ? AND OBJECT_TYPE IN "
                              "('PROCEDURE', 'FUNCTION', 'PACKAGE', 'PACKAGE BODY', 'TRIGGER') ORDER BY OBJECT_ID");
        q.Bind(1, schema);
        while (q.Step()) units.push_back({q.Text(0), q.Text(1)});
        BeginBlockWrite();
        for (const auto& [n, t] : units) SetObjectStatus(db, schema, n, t, "INVALID");
        for (const auto& [n, t] : units) ocisim::EnsureValid(db, schema, n, t);
      }
      return Val();
    }
    if (pkg == "DBMS_TRANSACTION") {
      std::string id = s_.TransactionId();
      return id.empty() ? Val() : Val::OfText(id);
    }
    if (pkg == "DBMS_JOB") {
      if (name == "REMOVE") {
        BeginBlockWrite();
        ::ocisim::Query del(db, "DELETE FROM \"SYS.DBA_JOBS\" WHERE JOB = ? AND (LOG_USER = ? OR ocisim_admin())");
        del.Bind(1, ToValue(arg(0))).Bind(2, s_.user()).Run();
        if (sqlite3_changes(db) == 0)
          throw plsql::PlsqlError(23421, "ORA-23421: job number " + Text(arg(0)) + " is not a job in the job queue");
      }
      if (name == "SUBMIT") {
        BeginBlockWrite();
        ::ocisim::Query n(db, "SELECT COALESCE(MAX(JOB), 0) + 1 FROM \"SYS.DBA_JOBS\"");
        n.Step();
        int64_t job = n.Int(0);
        ::ocisim::Query ins(db, "INSERT INTO \"SYS.DBA_JOBS\" (JOB, LOG_USER, PRIV_USER, SCHEMA_USER, NEXT_DATE, "
                                "NEXT_SEC, TOTAL_TIME, BROKEN, INTERVAL, FAILURES, WHAT, INSTANCE) VALUES (?, ?, ?, ?, "
                                "COALESCE(?, ora_sysdate()), '00:00:00', 0, 'N', COALESCE(?, 'null'), 0, ?, 0)");
        ins.Bind(1, job).Bind(2, s_.user()).Bind(3, s_.user()).Bind(4, s_.user());
        ins.Bind(5, ToValue(arg(2))).Bind(6, ToValue(arg(3))).Bind(7, Text(arg(1))).Run();
        set(0, Val::Of(job));
      }
      if (name == "RUN" || name == "BROKEN") {
        ::ocisim::Query q(db, "SELECT WHAT FROM \"SYS.DBA_JOBS\" WHERE JOB = ? AND (LOG_USER = ? OR ocisim_admin())");
        q.Bind(1, ToValue(arg(0))).Bind(2, s_.user());
        if (!q.Step()) throw plsql::PlsqlError(23421, "ORA-23421: job number " + Text(arg(0)) + " is not a job in the job queue");
        std::string what = q.Text(0);
        BeginBlockWrite();
        if (name == "BROKEN") {
          ::ocisim::Query u(db, "UPDATE \"SYS.DBA_JOBS\" SET BROKEN = ? WHERE JOB = ?");
          u.Bind(1, std::string(arg(1).k == Val::Bool && arg(1).b ? "Y" : "N")).Bind(2, ToValue(arg(0))).Run();
          return Val();
        }
        BindValues none, outs;
        RunPlsqlBlock(s_, "BEGIN " + what + " END;", none, outs);
        ::ocisim::Query u(db, "UPDATE \"SYS.DBA_JOBS\" SET LAST_DATE = ora_sysdate(), FAILURES = 0 WHERE JOB = ?");
        u.Bind(1, ToValue(arg(0))).Run();
      }
      return Val();
    }
    if (pkg == "DBMS_APPLICATION_INFO") {
      if (name == "SET_MODULE") module_ = Text(arg(0)), action_ = Text(arg(1));
      if (name == "SET_ACTION") action_ = Text(arg(0));
      if (name == "SET_CLIENT_INFO") client_ = Text(arg(0));
      if (name == "READ_MODULE") set(0, Val::OfText(module_)), set(1, Val::OfText(action_));
      if (name == "READ_CLIENT_INFO") set(0, Val::OfText(client_));
      return Val();
    }
    if (pkg == "DBMS_LOB") {
      // LOBs are their text: a temporary LOB starts empty.
      if (name == "CREATETEMPORARY") set(0, Val());
      if (name == "FREETEMPORARY") set(0, Val());
      if (name == "WRITEAPPEND") {
        std::string add = Text(arg(2));
        int64_t n = arg(1).IsNumber() ? static_cast<int64_t>(arg(1).Num()) : 0;
        if (n < 0 || n > static_cast<int64_t>(add.size()))
          throw plsql::PlsqlError(21560, "ORA-21560: argument 2 is null, invalid, or out of range");
        set(0, Val::OfText(Text(arg(0)) + add.substr(0, static_cast<size_t>(n))));
      }
      if (name == "APPEND") set(0, Val::OfText(Text(arg(0)) + Text(arg(1))));
      if (name == "GETLENGTH") return arg(0).IsNull() ? Val() : Val::Of(static_cast<int64_t>(Text(arg(0)).size()));
      if (name == "SUBSTR") {
        std::string t = Text(arg(0));
        int64_t amount = a.size() > 1 ? static_cast<int64_t>(arg(1).Num()) : 32767;
        int64_t offset = a.size() > 2 ? static_cast<int64_t>(arg(2).Num()) : 1;
        if (offset < 1 || amount < 1 || offset > static_cast<int64_t>(t.size())) return Val();
        return Val::OfText(t.substr(static_cast<size_t>(offset - 1), static_cast<size_t>(amount)));
      }
      if (name == "INSTR") {
        size_t p = Text(arg(0)).find(Text(arg(1)));
        return Val::Of(p == std::string::npos ? 0 : static_cast<int64_t>(p + 1));
      }
      return Val();
    }
    return Val();
  }

  // The block's first write opens a savepoint: a failing block undoes its own work.
  void BeginBlockWrite() {
    s_.BeginWrite();
    if (!savepoint_) {
      ExecSql(s_.db(), "SAVEPOINT ocisim_block");
      savepoint_ = true;
    }
  }
  void Undo() {
    if (savepoint_) sqlite3_exec(s_.db(), "ROLLBACK TO ocisim_block; RELEASE ocisim_block", nullptr, nullptr, nullptr);
    savepoint_ = false;
  }
  void Keep() {
    if (savepoint_) sqlite3_exec(s_.db(), "RELEASE ocisim_block", nullptr, nullptr, nullptr);
    savepoint_ = false;
  }

 private:
  static std::string Setting(sqlite3* db, const char* name, const char* fallback) {
    ::ocisim::Query q(db, "SELECT VALUE FROM ocisim_settings WHERE NAME = ?");
    q.Bind(1, std::string(name));
    return q.Step() ? q.Text(0) : fallback;
  }

  ServerSession& s_;
  std::map<std::string, std::unique_ptr<SqliteDictionary>> dicts_;
  bool savepoint_ = false;
  std::string module_, action_, client_;
};

plsql::Limits LimitsFromEnv() {
  plsql::Limits l;
  if (const char* ms = std::getenv("OCISIM_PLSQL_TIME_LIMIT_MS")) l.timeLimit = std::chrono::milliseconds(std::atoll(ms));
  return l;
}

}  // namespace

bool PlsqlBlockUsesStoredObjects(ServerSession& s, const std::string& text) {
  SqliteDictionary dict(s.db(), s.catalog().CurrentUser());
  plsql::CompileResult r = plsql::Compile(text, dict);
  return r.errors.empty() && !r.deps.empty();
}

bool PlsqlBlockNeedsInterpreter(ServerSession& s, const std::string& text) {
  // The output buffer's limits and the ORA-06512 line of a raised error are
  // the interpreter's: a block that writes output or raises goes there too.
  std::string up = text;
  for (char& ch : up) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
  for (const char* word : {"RAISE_APPLICATION_ERROR", "DBMS_OUTPUT.PUT", "DBMS_OUTPUT.NEW_LINE", "DBMS_OUTPUT.ENABLE"})
    if (up.find(word) != std::string::npos) return true;
  return PlsqlBlockUsesStoredObjects(s, text);
}

void CheckPlsqlBlock(ServerSession& s, const std::string& text) {
  SqliteDictionary dict(s.db(), s.catalog().CurrentUser());
  plsql::CompileResult r = plsql::Compile(text, dict);
  if (r.errors.empty()) return;
  std::string msg;
  for (const auto& e : r.errors) {
    if (!msg.empty()) msg += "\n";
    msg += "ORA-06550: line " + std::to_string(e.line) + ", column " + std::to_string(e.col) + ":\n" + e.text;
  }
  ThrowOraText(6550, msg);
}

void RunPlsqlBlock(ServerSession& s, const std::string& text, const BindValues& binds, BindValues& outs) {
  std::map<std::string, Val> vals;
  for (const auto& name : PlaceholdersOf(text)) {
    auto it = binds.find(name);
    if (it == binds.end()) ThrowOra(1008);
    vals[name] = FromValue(it->second, false);
  }
  SessionHost host(s);
  auto state = StateOf(s);
  plsql::Interpreter in(host, *state, s.catalog().CurrentUser(), LimitsFromEnv());
  try {
    in.RunBlock(text, vals);
  } catch (const plsql::PlsqlError& e) {
    host.Undo();
    ThrowOraText(e.code, e.what());
  } catch (...) {
    host.Undo();
    throw;
  }
  host.Keep();
  for (const auto& [name, v] : vals) outs[name] = ToValue(v);
}

namespace {

struct RowCapture {
  std::vector<std::vector<Value>> rows;
};

void CaptureRow(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  auto* cap = static_cast<RowCapture*>(sqlite3_user_data(ctx));
  std::vector<Value> row;
  for (int i = 0; i < argc; ++i) {
    sqlite3_value* v = argv[i];
    switch (sqlite3_value_type(v)) {
      case SQLITE_INTEGER: row.push_back(Value::MakeInt(sqlite3_value_int64(v))); break;
      case SQLITE_FLOAT: row.push_back(Value::MakeReal(sqlite3_value_double(v))); break;
      case SQLITE_TEXT:
        row.push_back(Value::MakeText(std::string(reinterpret_cast<const char*>(sqlite3_value_text(v)),
                                                  static_cast<size_t>(sqlite3_value_bytes(v)))));
        break;
      case SQLITE_BLOB:
        row.push_back(Value::MakeBlob(std::string(static_cast<const char*>(sqlite3_value_blob(v)),
                                                  static_cast<size_t>(sqlite3_value_bytes(v)))));
        break;
      default: row.push_back(Value::MakeNull());
    }
  }
  cap->rows.push_back(std::move(row));
}

struct TriggerDef {
  std::string owner, name;
  plsql::TriggerInfo info;
  bool parsed = false;
};

int g_trigger_depth = 0;

std::string Quote(const std::string& name) {
  std::string out = "\"";
  for (char c : name) out += c == '"' ? std::string("\"\"") : std::string(1, c);
  return out + "\"";
}

}  // namespace

bool RunDmlWithTriggers(ServerSession& s, const sql::Translation& t, const BindValues& binds, int64_t* rows) {
  const char* event = t.kind == sql::StmtKind::Insert ? "INSERT" : t.kind == sql::StmtKind::Update ? "UPDATE" : "DELETE";
  sqlite3* db = s.db();
  std::vector<TriggerDef> triggers;
  {
    Query q(db, "SELECT OWNER, TRIGGER_NAME FROM \"SYS.DBA_TRIGGERS\" WHERE TABLE_OWNER = ? AND TABLE_NAME = ? AND "
                "STATUS = 'ENABLED' ORDER BY OWNER, TRIGGER_NAME");
    q.Bind(1, t.targetOwner).Bind(2, t.targetName);
    while (q.Step()) triggers.push_back({q.Text(0), q.Text(1), {}, false});
  }
  if (triggers.empty()) return false;
  SqliteDictionary dict(db, t.targetOwner);
  std::vector<TriggerDef*> fire;
  for (auto& tr : triggers) {
    auto src = dict.Source(tr.owner, tr.name, "TRIGGER");
    if (!src) continue;
    try {
      plsql::Unit u = plsql::Parse(*src);
      tr.info = u.trigger;
      tr.parsed = true;
    } catch (const plsql::SyntaxError&) {
      // Fires anyway, to fail with ORA-04098; the events come from the dictionary then.
      Query e(db, "SELECT TRIGGERING_EVENT, TRIGGER_TYPE FROM \"SYS.DBA_TRIGGERS\" WHERE OWNER = ? AND TRIGGER_NAME = ?");
      e.Bind(1, tr.owner).Bind(2, tr.name);
      if (e.Step()) {
        std::string ev = e.Text(0), ty = e.Text(1);
        for (const char* x : {"INSERT", "UPDATE", "DELETE"})
          if (ev.find(x) != std::string::npos) tr.info.events.push_back(x);
        tr.info.timing = ty.rfind("AFTER", 0) == 0 ? "AFTER" : "BEFORE";
        tr.info.forEachRow = ty.find("EACH ROW") != std::string::npos;
      }
    }
    bool match = false;
    for (const auto& e : tr.info.events) match = match || e == event;
    if (match && t.kind == sql::StmtKind::Update && !tr.info.updateColumns.empty()) {
      // UPDATE OF columns: only when the statement sets one of them.
      std::string upper;
      for (char c : t.sqlite) upper += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
      bool any = false;
      for (const auto& c : tr.info.updateColumns) any = any || upper.find("\"" + c + "\"") != std::string::npos ||
                                                              upper.find(" " + c + " ") != std::string::npos;
      match = any;
    }
    if (match) fire.push_back(&tr);
  }
  if (fire.empty()) return false;
  if (g_trigger_depth > 50) ThrowOra(36, {"50"});
  ++g_trigger_depth;
  struct Down {
    ~Down() { --g_trigger_depth; }
  } down;

  s.catalog().CheckWrite(t.targetOwner, t.targetName, event);
  s.BeginWrite();
  std::vector<DictColumn> cols = GetColumns(db, t.targetOwner, t.targetName);
  SessionHost host(s);
  auto state = StateOf(s);
  plsql::Interpreter in(host, *state, s.catalog().CurrentUser(), LimitsFromEnv());
  auto fireAll = [&](const char* timing, bool row, Val* nw, Val* old) {
    for (TriggerDef* tr : fire)
      if (tr->info.timing == timing && tr->info.forEachRow == row) {
        try {
          in.FireTrigger(tr->owner, tr->name, nw, old);
        } catch (const plsql::PlsqlError& e) {
          ThrowOraText(e.code, e.what());
        }
      }
  };
  std::string sp = "ocisim_trg" + std::to_string(g_trigger_depth);
  ExecSql(db, "SAVEPOINT " + sp);
  try {
    fireAll("BEFORE", false, nullptr, nullptr);
    RowCapture cap;
    std::string fn = "ocisim_trg_row" + std::to_string(g_trigger_depth);
    sqlite3_create_function(db, fn.c_str(), -1, SQLITE_UTF8, &cap, CaptureRow, nullptr, nullptr);
    std::string args = t.kind == sql::StmtKind::Delete ? "old.rowid" : "new.rowid";
    for (const auto& c : cols) args += ", " + std::string(t.kind == sql::StmtKind::Insert ? "NULL" : "old." + Quote(c.name));
    for (const auto& c : cols) args += ", " + std::string(t.kind == sql::StmtKind::Delete ? "NULL" : "new." + Quote(c.name));
    std::string trig = "ocisim_capture" + std::to_string(g_trigger_depth);
    ExecSql(db, "DROP TRIGGER IF EXISTS temp." + trig);
    ExecSql(db, "CREATE TEMP TRIGGER " + trig + " AFTER " + event + " ON main." + SqliteName(t.targetOwner, t.targetName) +
                    " FOR EACH ROW BEGIN SELECT " + fn + "(" + args + "); END");
    try {
      Query q(db, t.sqlite);
      BindAll(q.get(), t.binds, binds);
      q.Run();
      *rows = sqlite3_changes(db);
    } catch (...) {
      sqlite3_exec(db, ("DROP TRIGGER IF EXISTS temp." + trig).c_str(), nullptr, nullptr, nullptr);
      throw;
    }
    ExecSql(db, "DROP TRIGGER IF EXISTS temp." + trig);
    size_t n = cols.size();
    for (const auto& r : cap.rows) {
      Val nw = Val::NewRecord(), old = Val::NewRecord();
      for (size_t i = 0; i < n; ++i) {
        bool date = cols[i].data_type == "DATE";
        old.fields->push_back({cols[i].name, FromValue(r[1 + i], date)});
        nw.fields->push_back({cols[i].name, FromValue(r[1 + n + i], date)});
      }
      Val before = nw.Copy();
      Val* np = t.kind == sql::StmtKind::Delete ? nullptr : &nw;
      Val* op = t.kind == sql::StmtKind::Insert ? nullptr : &old;
      fireAll("BEFORE", true, np, op);
      if (np) {
        // What a BEFORE trigger assigned to :NEW goes into the row.
        std::string set;
        std::vector<Value> vals;
        for (size_t i = 0; i < n; ++i) {
          const Val& a = (*nw.fields)[i].second;
          const Val& b = (*before.fields)[i].second;
          bool same = a.k == b.k && a.i == b.i && a.r == b.r && a.s == b.s && a.b == b.b;
          if (same) continue;
          set += std::string(set.empty() ? "" : ", ") + Quote(cols[i].name) + " = ?";
          Value v = ToValue(a);
          if (cols[i].data_type == "DATE" && a.k == Val::Text) v = Value::MakeText(a.s);
          vals.push_back(v);
        }
        if (!set.empty()) {
          Query u(db, "UPDATE " + SqliteName(t.targetOwner, t.targetName) + " SET " + set + " WHERE rowid = ?");
          int k = 0;
          for (const auto& v : vals) u.Bind(++k, v);
          u.Bind(++k, r[0]).Run();
        }
      }
      fireAll("AFTER", true, np, op);
    }
    fireAll("AFTER", false, nullptr, nullptr);
  } catch (...) {
    sqlite3_exec(db, ("ROLLBACK TO " + sp + "; RELEASE " + sp).c_str(), nullptr, nullptr, nullptr);
    throw;
  }
  ExecSql(db, "RELEASE " + sp);
  return true;
}

namespace {

struct StoredFunction {
  ServerSession* session;
  std::string owner, name;
};

void CallStoredFunction(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  auto* f = static_cast<StoredFunction*>(sqlite3_user_data(ctx));
  BindValues binds, outs;
  std::string call = "BEGIN :R := \"" + f->owner + "\".\"" + f->name + "\"";
  for (int i = 0; i < argc; ++i) {
    std::string n = "A" + std::to_string(i + 1);
    call += std::string(i ? ", :" : "(:") + n;
    sqlite3_value* v = argv[i];
    switch (sqlite3_value_type(v)) {
      case SQLITE_INTEGER: binds[n] = Value::MakeInt(sqlite3_value_int64(v)); break;
      case SQLITE_FLOAT: binds[n] = Value::MakeReal(sqlite3_value_double(v)); break;
      case SQLITE_NULL: binds[n] = Value::MakeNull(); break;
      default: binds[n] = Value::MakeText(reinterpret_cast<const char*>(sqlite3_value_text(v)));
    }
  }
  call += std::string(argc ? ")" : "") + "; END;";
  binds["R"] = Value::MakeNull();
  try {
    RunPlsqlBlock(*f->session, call, binds, outs);
  } catch (const OraFailure& e) {
    sqlite3_result_error(ctx, e.what(), -1);
    return;
  }
  const Value& r = outs["R"];
  switch (r.kind) {
    case Value::Int: sqlite3_result_int64(ctx, r.i); break;
    case Value::Real: sqlite3_result_double(ctx, r.r); break;
    case Value::Text: sqlite3_result_text(ctx, r.s.c_str(), static_cast<int>(r.s.size()), SQLITE_TRANSIENT); break;
    default: sqlite3_result_null(ctx);
  }
}

}  // namespace

bool RegisterStoredFunction(ServerSession& s, const std::string& message) {
  const std::string prefix = "no such function: ";
  if (message.rfind(prefix, 0) != 0) return false;
  std::string name = message.substr(prefix.size());
  for (auto& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  SqliteDictionary dict(s.db(), s.catalog().CurrentUser());
  auto o = dict.Resolve(std::nullopt, name);
  if (!o || o->type != "FUNCTION") return false;
  auto* f = new StoredFunction{&s, o->owner, o->name};
  return sqlite3_create_function_v2(s.db(), name.c_str(), -1, SQLITE_UTF8, f, CallStoredFunction, nullptr, nullptr,
                                    [](void* p) { delete static_cast<StoredFunction*>(p); }) == SQLITE_OK;
}

}  // namespace ocisim
