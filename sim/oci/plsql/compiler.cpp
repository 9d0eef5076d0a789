// Name checks of PL/SQL units: see compiler.h.
#include "plsql/compiler.h"

#include "plsql/builtins.h"
#include "plsql/sql_refs.h"

#include <map>

namespace ocisim::plsql {

std::vector<SubprogramP> SubprogramsOf(const Unit& unit, const std::string& name) {
  std::vector<SubprogramP> out;
  if (unit.sub && unit.sub->name == name) out.push_back(unit.sub);
  for (const auto& d : unit.decls)
    if (d.kind == Decl::Sub && d.name == name) out.push_back(d.sub);
  return out;
}

namespace {

struct Sym {
  enum K { Var, Exc, Cursor, Type, Sub, PackageSelf } k = Var;
  bool record = false;       // has fields
  bool fieldsKnown = false;  // and we know them
  std::vector<std::string> fields;
  std::vector<SubprogramP> subs;
  const Decl* decl = nullptr;
};
using Scope = std::map<std::string, Sym>;

class Checker {
 public:
  Checker(std::string_view src, const Unit& u, const Dictionary& d, CompileResult& r)
      : src_(src), u_(u), d_(d), r_(r), toks_(u.toks) {}

  void Run() {
    scopes_.emplace_back();
    if (u_.type == "TRIGGER") CheckTriggerHead();
    if (u_.type == "PROCEDURE" || u_.type == "FUNCTION") {
      scopes_.back()[u_.sub->name].k = Sym::Sub;
      scopes_.back()[u_.sub->name].subs.push_back(u_.sub);
      CheckSub(*u_.sub);
    } else if (u_.type == "PACKAGE" || u_.type == "PACKAGE BODY") {
      Sym self;
      self.k = Sym::PackageSelf;
      scopes_.back()[u_.name] = self;
      scopes_.emplace_back();
      if (u_.type == "PACKAGE BODY") {
        auto spec = LoadUnit(d_.Schema(), u_.name, "PACKAGE");
        if (!spec) {
          // The server names the missing specification twice at the body's
          // name, then gives up on the unit (at line 0, column 0).
          int at = NameToken();
          Report(at, "PLS-00201: identifier '" + u_.name + "' must be declared");
          Report(at, "PLS-00304: cannot compile body of '" + u_.name + "' without its specification");
          r_.errors.push_back({0, 0, "PL/SQL: Compilation unit analysis terminated"});
          return;
        }
        r_.deps.insert({d_.Schema(), u_.name, "PACKAGE"});
        Declare(spec->decls, false);
        Declare(u_.decls, true);
        for (const auto& sd : spec->decls) {
          if (sd.kind != Decl::Sub) continue;
          bool defined = false;
          for (const auto& bd : u_.decls)
            if (bd.kind == Decl::Sub && bd.name == sd.name && bd.sub->block && SameParams(*bd.sub, *sd.sub)) defined = true;
          if (!defined) {
            const Token& at = spec->toks[sd.sub->nameTok];
            r_.errors.push_back({at.line, at.col,
                                 "PLS-00323: subprogram or cursor '" + sd.name +
                                     "' is declared in a package specification and must be defined in the package body"});
          }
        }
      } else {
        Declare(u_.decls, true);
      }
      if (u_.init) CheckBlock(*u_.init);
    } else if (u_.init) {
      CheckBlock(*u_.init);
    }
  }

 private:
  static bool SameParams(const Subprogram& a, const Subprogram& b) {
    if (a.params.size() != b.params.size()) return false;
    for (size_t i = 0; i < a.params.size(); ++i)
      if (a.params[i].name != b.params[i].name) return false;
    return true;
  }

  // The token of the unit's own name: PACKAGE BODY [owner.]NAME.
  int NameToken() const {
    int k = u_.type == "PACKAGE BODY" ? 2 : 1;
    if (k + 2 < static_cast<int>(toks_.size()) && toks_[static_cast<size_t>(k) + 1].IsOp(".")) k += 2;
    return k < static_cast<int>(toks_.size()) ? k : 0;
  }

  void Report(int tok, const std::string& text) {
    const Token& at = toks_[tok];
    r_.errors.push_back({at.line, at.col, text});
  }

  std::shared_ptr<Unit> LoadUnit(const std::string& owner, const std::string& name, const std::string& type) const {
    std::string key = owner + "." + name + "/" + type;
    auto it = cache_.find(key);
    if (it != cache_.end()) return it->second;
    std::shared_ptr<Unit> u;
    if (auto src = d_.Source(owner, name, type)) {
      try {
        u = std::make_shared<Unit>(Parse(*src));
      } catch (const SyntaxError&) {
      }
    }
    cache_[key] = u;
    return u;
  }

  const Sym* Find(const std::string& n) const {
    for (auto it = scopes_.rbegin(); it != scopes_.rend(); ++it) {
      auto f = it->find(n);
      if (f != it->end()) return &f->second;
    }
    return nullptr;
  }

  // Fields of a record type, when they can be known.
  void FieldsOf(const TypeSpec& ts, Sym& s) {
    if (ts.attr == "ROWTYPE") {
      s.record = true;
      const Sym* local = ts.name.size() == 1 ? Find(ts.name[0]) : nullptr;
      if (local && local->k == Sym::Cursor) return;  // fields from the cursor's query
      auto obj = ts.name.size() == 2 ? d_.Resolve(ts.name[0], ts.name[1]) : d_.Resolve(std::nullopt, ts.name[0]);
      if (obj) {
        s.fields = d_.Columns(*obj);
        s.fieldsKnown = !s.fields.empty();
      }
      return;
    }
    if (ts.attr.empty() && ts.name.size() == 1) {
      const Sym* t = Find(ts.name[0]);
      if (t && t->k == Sym::Type && t->decl && t->decl->typeKind == "RECORD") {
        s.record = true;
        s.fieldsKnown = true;
        for (const auto& f : t->decl->fields) s.fields.push_back(f.name);
      }
    }
  }

  // Reports an unknown datatype; true when it is fine.
  bool CheckType(const TypeSpec& ts) {
    if (ts.name.empty()) return true;
    std::string full;
    for (const auto& n : ts.name) full += (full.empty() ? "" : ".") + n;
    if (ts.attr.empty()) {
      if (ts.name.size() == 1 && IsScalarType(ts.name[0])) return true;
      const Sym* t = ts.name.size() == 1 ? Find(ts.name[0]) : nullptr;
      if (t && t->k == Sym::Type) return true;
      if (ts.name.size() == 2) {
        if (auto pkg = d_.Resolve(std::nullopt, ts.name[0]); pkg && pkg->type == "PACKAGE") {
          r_.deps.insert(*pkg);
          return true;
        }
      }
      auto obj = ts.name.size() == 1 ? d_.Resolve(std::nullopt, ts.name[0]) : d_.Resolve(ts.name[0], ts.name[1]);
      if (obj && obj->type == "TYPE") {
        r_.deps.insert(*obj);
        return true;
      }
      Report(ts.tok, "PLS-00201: identifier '" + full + "' must be declared");
      return false;
    }
    // X%ROWTYPE / X%TYPE of a variable, cursor, table or table.column.
    const Sym* local = Find(ts.name[0]);
    if (local) {
      if (ts.name.size() > 1 && local->fieldsKnown) {
        for (const auto& f : local->fields)
          if (f == ts.name[1]) return true;
        Report(ts.tok + 2, "PLS-00302: component '" + ts.name[1] + "' must be declared");
        return false;
      }
      return true;
    }
    std::optional<ObjectRef> obj;
    size_t used = 1;
    if (ts.attr == "ROWTYPE") {
      obj = ts.name.size() >= 2 ? d_.Resolve(ts.name[0], ts.name[1]) : d_.Resolve(std::nullopt, ts.name[0]);
      used = ts.name.size();
    } else {
      obj = d_.Resolve(std::nullopt, ts.name[0]);
      if (!obj && ts.name.size() >= 3 && d_.IsSchema(ts.name[0])) {
        obj = d_.Resolve(ts.name[0], ts.name[1]);
        used = 2;
      }
    }
    if (!obj) {
      Report(ts.tok, "PLS-00201: identifier '" + full + "' must be declared");
      return false;
    }
    r_.deps.insert(*obj);
    if (ts.attr == "TYPE" && (obj->type == "TABLE" || obj->type == "VIEW") && ts.name.size() > used) {
      auto cols = d_.Columns(*obj);
      const std::string& c = ts.name[used];
      bool found = false;
      for (const auto& x : cols) found = found || x == c;
      if (!found) {
        Report(ts.tok + 2 * static_cast<int>(used), "PLS-00302: component '" + c + "' must be declared");
        return false;
      }
    }
    return true;
  }

  void Declare(const std::vector<Decl>& decls, bool check) {
    // Every name first, so bodies may call each other.
    for (const auto& d : decls) {
      if (d.kind == Decl::Sub) {
        Sym& s = scopes_.back()[d.name];
        s.k = Sym::Sub;
        bool dup = false;
        for (const auto& x : s.subs) dup = dup || (SameParams(*x, *d.sub) && (!x->block || !d.sub->block));
        if (!dup) s.subs.push_back(d.sub);
        else if (d.sub->block) {
          for (auto& x : s.subs)
            if (SameParams(*x, *d.sub)) x = d.sub;
        }
      }
    }
    for (const auto& d : decls) {
      size_t before = r_.errors.size();
      switch (d.kind) {
        case Decl::Sub: break;
        case Decl::Pragma:
          if (d.pragmaName == "EXCEPTION_INIT") {
            const Sym* e = Find(d.name);
            if (check && (!e || e->k != Sym::Exc)) Report(d.tok + 4, "PLS-00201: identifier '" + d.name + "' must be declared");
          }
          break;
        case Decl::Exception: scopes_.back()[d.name].k = Sym::Exc; break;
        case Decl::Type: {
          Sym s;
          s.k = Sym::Type;
          s.decl = &d;
          if (check) {
            for (const auto& f : d.fields) CheckType(f.type);
            if (!d.element.name.empty()) CheckType(d.element);
          }
          scopes_.back()[d.name] = s;
          break;
        }
        case Decl::Cursor: {
          Sym s;
          s.k = Sym::Cursor;
          s.decl = &d;
          if (check && d.hasQuery) {
            scopes_.emplace_back();
            for (const auto& p : d.params) {
              CheckType(p.type);
              scopes_.back()[p.name].k = Sym::Var;
            }
            CheckSql(d.query, d.query.first, false);
            scopes_.pop_back();
          }
          scopes_.back()[d.name] = s;
          break;
        }
        case Decl::Var:
        case Decl::Const: {
          Sym s;
          if (check) {
            CheckType(d.type);
            if (d.kind == Decl::Const && !d.init)
              Report(d.tok, "PLS-00322: declaration of a constant '" + d.name + "' must contain an initialization assignment");
            else if (d.notNull && !d.init)
              Report(d.tok, "PLS-00218: a variable declared NOT NULL must have an initialization assignment");
            if (d.init) CheckExpr(d.init);
          }
          FieldsOf(d.type, s);
          scopes_.back()[d.name] = s;
          break;
        }
      }
      if (check && r_.errors.size() > before) Report(d.tok, "PL/SQL: Item ignored");
    }
    if (!check) return;
    for (const auto& d : decls)
      if (d.kind == Decl::Sub && d.sub->block) CheckSub(*d.sub);
  }

  void CheckSub(const Subprogram& s) {
    scopes_.emplace_back();
    for (const auto& p : s.params) {
      size_t before = r_.errors.size();
      CheckType(p.type);
      if (p.deflt) CheckExpr(p.deflt);
      if (r_.errors.size() > before) Report(p.tok, "PL/SQL: Item ignored");
      Sym v;
      FieldsOf(p.type, v);
      scopes_.back()[p.name] = v;
    }
    if (s.isFunction) {
      size_t before = r_.errors.size();
      CheckType(s.ret);
      // The server gives up on the unit at line 0, column 0.
      if (r_.errors.size() > before) r_.errors.push_back({0, 0, "PL/SQL: Compilation unit analysis terminated"});
    }
    if (s.block) CheckBlock(*s.block);
    scopes_.pop_back();
  }

  void CheckBlock(const Block& b) {
    scopes_.emplace_back();
    Declare(b.decls, true);
    CheckStmts(b.body);
    for (const auto& h : b.handlers) {
      for (const auto& [n, tk] : h.names) {
        if (n == "OTHERS" || PredefinedException(n)) continue;
        const Sym* s = Find(n);
        if (s && s->k == Sym::Exc) continue;
        if (n.find('.') != std::string::npos) {
          auto pkg = d_.Resolve(std::nullopt, n.substr(0, n.find('.')));
          if (pkg && pkg->type == "PACKAGE") continue;
        }
        Report(tk, "PLS-00201: identifier '" + n + "' must be declared");
      }
      CheckStmts(h.body);
    }
    scopes_.pop_back();
  }

  void CheckStmts(const std::vector<StmtP>& ss) {
    for (const auto& s : ss) CheckStmt(*s);
  }

  void Ignored(size_t before, int tok) {
    if (r_.errors.size() > before) Report(tok, "PL/SQL: Statement ignored");
  }

  void CheckStmt(const Stmt& s) {
    size_t before = r_.errors.size();
    switch (s.kind) {
      case Stmt::Null:
      case Stmt::Commit:
      case Stmt::Rollback:
      case Stmt::Savepoint:
      case Stmt::Goto:
      case Stmt::Label: break;
      case Stmt::Assign:
        if (!s.bindTarget.empty()) CheckBind(s.tok, s.bindTarget, s.bindField);
        else CheckRef(s.target, false);
        CheckExpr(s.expr);
        Ignored(before, s.tok);
        break;
      case Stmt::Call:
        CheckRef(s.target, true);
        Ignored(before, s.tok);
        break;
      case Stmt::If:
      case Stmt::Case:
        if (s.expr) CheckExpr(s.expr);
        for (const auto& c : s.conds) CheckExpr(c);
        Ignored(before, s.tok);
        for (const auto& b : s.branches) CheckStmts(b);
        break;
      case Stmt::Loop:
        CheckStmts(s.body);
        break;
      case Stmt::While:
        CheckExpr(s.expr);
        Ignored(before, s.tok);
        CheckStmts(s.body);
        break;
      case Stmt::ForNum:
        CheckExpr(s.lo);
        CheckExpr(s.hi);
        Ignored(before, s.tok);
        scopes_.emplace_back();
        scopes_.back()[s.var] = Sym{};
        CheckStmts(s.body);
        scopes_.pop_back();
        break;
      case Stmt::ForCursor: {
        Sym rec;
        rec.record = true;
        if (s.cursorQuery) {
          CheckSql(s.sql, s.sql.first, false);
        } else {
          const Sym* c = Find(s.target[0].name);
          if (!c || c->k != Sym::Cursor) CheckRef(s.target, false);
          else
            for (const auto& a : s.target[0].args) CheckExpr(a);
        }
        Ignored(before, s.tok);
        scopes_.emplace_back();
        scopes_.back()[s.var] = rec;
        CheckStmts(s.body);
        scopes_.pop_back();
        break;
      }
      case Stmt::Exit:
      case Stmt::Return:
        if (s.expr) CheckExpr(s.expr);
        Ignored(before, s.tok);
        break;
      case Stmt::Raise:
        if (!s.target.empty()) {
          const std::string& n = s.target[0].name;
          const Sym* e = Find(n);
          if (!(e && e->k == Sym::Exc) && !PredefinedException(n)) CheckRef(s.target, false);
        }
        Ignored(before, s.tok);
        break;
      case Stmt::Sql:
        CheckSql(s.sql, s.tok, s.sqlVerb == "SELECT");
        break;
      case Stmt::Open:
      case Stmt::Fetch:
      case Stmt::Close:
        CheckRef(s.target, false);
        if (s.cursorQuery) CheckSql(s.sql, s.sql.first, false);
        if (s.expr) CheckExpr(s.expr);
        for (const auto& t : s.into) CheckRef(t, false);
        Ignored(before, s.tok);
        break;
      case Stmt::ExecImm:
        CheckExpr(s.expr);
        for (const auto& t : s.into) CheckRef(t, false);
        for (const auto& a : s.args) CheckExpr(a);
        Ignored(before, s.tok);
        break;
      case Stmt::BlockStmt:
        CheckBlock(*s.block);
        break;
    }
  }

  void CheckBind(int tok, const std::string& name, const std::string& field) {
    if (u_.type != "TRIGGER") return;
    const TriggerInfo& tr = u_.trigger;
    if ((name == tr.newName || name == tr.oldName) && !field.empty()) {
      if (!triggerColsKnown_) return;
      for (const auto& c : triggerCols_)
        if (c == field) return;
    }
    Report(tok, "PLS-00049: bad bind variable '" + name + (field.empty() ? "" : "." + field) + "'");
  }

  void CheckSql(const SqlText& sql, int stmtTok, bool needInto) {
    if (needInto && sql.intoFirst < 0) {
      Report(sql.first, "PLS-00428: an INTO clause is expected in this SELECT statement");
      return;
    }
    for (const auto& t : sql.into) {
      size_t before = r_.errors.size();
      CheckRef(t, false);
      if (r_.errors.size() > before) {
        Report(stmtTok, "PL/SQL: SQL Statement ignored");
        return;
      }
    }
    SqlRefs refs = AnalyzeSql(toks_, sql, d_, [&](const std::vector<std::string>& chain) { return PlsqlParts(chain); });
    r_.deps.insert(refs.deps.begin(), refs.deps.end());
    // The statement's own syntax first, as the server's SQL parser sees it.
    std::vector<std::pair<size_t, int>> starts;
    const std::string text = SqlToRun(src_, toks_, sql, refs, &starts);
    if (auto fault = RecordDml(sql) ? std::nullopt : d_.SqlSyntax(text)) {
      Report(SqlTokenAt(starts, fault->offset, text.size(), sql.last), "PL/SQL: " + fault->text);
      Report(stmtTok, "PL/SQL: SQL Statement ignored");
      return;
    }
    size_t before = r_.errors.size();
    for (const auto& sub : refs.subs)
      if (sub.chain[0][0] == ':') CheckBind(sub.first, sub.chain[0].substr(1), sub.chain.size() > 1 ? sub.chain[1] : "");
    if (r_.errors.size() > before) {
      Report(stmtTok, "PL/SQL: SQL Statement ignored");
      return;
    }
    if (refs.error) {
      Report(refs.error->first, "PL/SQL: " + refs.error->second);
      Report(stmtTok, "PL/SQL: SQL Statement ignored");
    }
  }

  // INSERT ... VALUES rec and UPDATE ... SET ROW = rec take a whole record,
  // which only PL/SQL knows; SQL's parser would call it a syntax error.
  bool RecordDml(const SqlText& sql) const {
    for (int j = sql.first; j + 1 < sql.last; ++j) {
      if (toks_[static_cast<size_t>(j)].Is("VALUES") && !toks_[static_cast<size_t>(j) + 1].IsOp("(")) return true;
      if (toks_[static_cast<size_t>(j)].Is("SET") && toks_[static_cast<size_t>(j) + 1].Is("ROW")) return true;
    }
    return false;
  }

  int PlsqlParts(const std::vector<std::string>& chain) const {
    const Sym* s = Find(chain[0]);
    if (s && (s->k == Sym::Var)) {
      if (chain.size() > 1 && s->record) return 2;
      return 1;
    }
    if (s && s->k == Sym::PackageSelf && chain.size() > 1) return 2;
    if (chain.size() > 1) {
      auto pkg = d_.Resolve(std::nullopt, chain[0]);
      if (pkg && pkg->type == "PACKAGE") {
        auto spec = LoadUnit(pkg->owner, pkg->name, "PACKAGE");
        if (spec)
          for (const auto& d : spec->decls)
            if (d.name == chain[1] && (d.kind == Decl::Var || d.kind == Decl::Const)) return 2;
      }
    }
    return 0;
  }

  // Does one of the overloads take these arguments?
  static bool Fits(const std::vector<SubprogramP>& subs, const NamePart& np) {
    for (const auto& s : subs) {
      size_t positional = 0;
      bool named = false, ok = true;
      std::vector<bool> given(s->params.size(), false);
      for (size_t i = 0; i < np.args.size() && ok; ++i) {
        if (np.argNames[i].empty()) {
          if (named || positional >= s->params.size()) ok = false;
          else given[positional++] = true;
        } else {
          named = true;
          bool found = false;
          for (size_t k = 0; k < s->params.size(); ++k)
            if (s->params[k].name == np.argNames[i]) found = given[k] = true;
          ok = found;
        }
      }
      for (size_t k = 0; k < s->params.size() && ok; ++k)
        if (!given[k] && !s->params[k].deflt) ok = false;
      if (ok) return true;
    }
    return false;
  }

  void CheckArgs(const NamePart& np) {
    for (const auto& a : np.args) CheckExpr(a);
  }

  void Undeclared(const std::vector<NamePart>& parts, size_t upto) {
    std::string full;
    for (size_t i = 0; i < parts.size() && i < upto; ++i) full += (i ? "." : "") + parts[i].name;
    Report(parts[0].tok, "PLS-00201: identifier '" + full + "' must be declared");
  }

  void CheckRef(const std::vector<NamePart>& parts, bool statement) {
    (void)statement;
    const NamePart& p0 = parts[0];
    if (const Sym* s = Find(p0.name)) {
      switch (s->k) {
        case Sym::Sub:
          CheckArgs(p0);
          if (!Fits(s->subs, p0)) Report(p0.tok, "PLS-00306: wrong number or types of arguments in call to '" + p0.name + "'");
          return;
        case Sym::PackageSelf:
          if (parts.size() > 1) {
            const NamePart& p1 = parts[1];
            const Sym* m = nullptr;
            for (size_t i = 0; i < scopes_.size() && i < 2; ++i) {
              auto f = scopes_[i].find(p1.name);
              if (f != scopes_[i].end()) m = &f->second;
            }
            if (!m) {
              Report(p1.tok, "PLS-00302: component '" + p1.name + "' must be declared");
              return;
            }
            CheckArgs(p1);
            if (m->k == Sym::Sub && !Fits(m->subs, p1))
              Report(p1.tok, "PLS-00306: wrong number or types of arguments in call to '" + p1.name + "'");
          }
          return;
        case Sym::Var:
          CheckArgs(p0);
          if (parts.size() > 1 && s->fieldsKnown) {
            bool found = false;
            for (const auto& f : s->fields) found = found || f == parts[1].name;
            if (!found) Report(parts[1].tok, "PLS-00302: component '" + parts[1].name + "' must be declared");
          }
          return;
        default: CheckArgs(p0); return;
      }
    }
    if (parts.size() == 1) {
      if (IsNiladic(p0.name) && !p0.called) return;
      if (p0.name == "RAISE_APPLICATION_ERROR" || IsSqlFunction(p0.name)) {
        CheckArgs(p0);
        const BuiltinRoutine* b = FindBuiltin("", p0.name);
        if (b && (static_cast<int>(p0.args.size()) < b->minArgs || static_cast<int>(p0.args.size()) > b->maxArgs))
          Report(p0.tok, "PLS-00306: wrong number or types of arguments in call to '" + p0.name + "'");
        return;
      }
      if (PredefinedException(p0.name)) return;
    }
    size_t base = 0;
    if (p0.name == "SYS" && parts.size() > 1 && IsBuiltinPackage(parts[1].name)) base = 1;
    if (IsBuiltinPackage(parts[base].name)) {
      if (parts.size() <= base + 1) return;
      const NamePart& m = parts[base + 1];
      const BuiltinRoutine* b = FindBuiltin(parts[base].name, m.name);
      if (!b) {
        Report(m.tok, "PLS-00302: component '" + m.name + "' must be declared");
        return;
      }
      CheckArgs(m);
      int n = static_cast<int>(m.args.size());
      if (n < b->minArgs || n > b->maxArgs)
        Report(parts[0].tok, "PLS-00306: wrong number or types of arguments in call to '" + m.name + "'");
      return;
    }
    auto obj = d_.Resolve(std::nullopt, p0.name);
    if (!obj && parts.size() > 1 && d_.IsSchema(p0.name)) {
      obj = d_.Resolve(p0.name, parts[1].name);
      base = 1;
    }
    if (!obj) {
      Undeclared(parts, parts.size());
      return;
    }
    const NamePart& pn = parts[base];
    if ((obj->type == "PROCEDURE" || obj->type == "FUNCTION" || obj->type == "PACKAGE") && !d_.EnsureValid(*obj)) {
      r_.deps.insert(*obj);
      Report(p0.tok, "PLS-00905: object " + obj->owner + "." + obj->name + " is invalid");
      return;
    }
    if (obj->type == "PROCEDURE" || obj->type == "FUNCTION") {
      r_.deps.insert(*obj);
      CheckArgs(pn);
      auto unit = LoadUnit(obj->owner, obj->name, obj->type);
      if (unit && unit->sub && !Fits({unit->sub}, pn))
        Report(pn.tok, "PLS-00306: wrong number or types of arguments in call to '" + pn.name + "'");
      return;
    }
    if (obj->type == "PACKAGE") {
      r_.deps.insert(*obj);
      if (parts.size() <= base + 1) {
        Undeclared(parts, parts.size());
        return;
      }
      const NamePart& m = parts[base + 1];
      auto spec = LoadUnit(obj->owner, obj->name, "PACKAGE");
      if (!spec) return;
      std::vector<SubprogramP> subs = SubprogramsOf(*spec, m.name);
      bool other = false;
      for (const auto& d : spec->decls) other = other || (d.kind != Decl::Sub && d.name == m.name);
      if (subs.empty() && !other) {
        Report(m.tok, "PLS-00302: component '" + m.name + "' must be declared");
        return;
      }
      CheckArgs(m);
      if (!subs.empty() && !Fits(subs, m))
        Report(m.tok, "PLS-00306: wrong number or types of arguments in call to '" + m.name + "'");
      return;
    }
    if (obj->type == "SEQUENCE" || obj->type == "TABLE" || obj->type == "VIEW" || obj->type == "TYPE") {
      r_.deps.insert(*obj);
      return;
    }
    Undeclared(parts, parts.size());
  }

  void CheckExpr(const ExprP& e) {
    if (!e) return;
    switch (e->kind) {
      case Expr::Ref: CheckRef(e->ref, false); return;
      case Expr::Bind:
        CheckBind(e->tok, e->text, e->ref.empty() ? "" : e->ref[0].name);
        return;
      case Expr::Attr:
        if (e->ref.size() == 1 && e->ref[0].name == "SQL") {
          if (e->text != "FOUND" && e->text != "NOTFOUND" && e->text != "ROWCOUNT" && e->text != "ISOPEN")
            Report(e->attrTok, "PLS-00207: identifier '" + e->text +
                                   "', applied to implicit cursor SQL, is not a legal cursor attribute");
          return;
        }
        CheckRef(e->ref, false);
        return;
      default:
        for (const auto& k : e->kids) CheckExpr(k);
    }
  }

  void CheckTriggerHead() {
    const TriggerInfo& tr = u_.trigger;
    auto obj = d_.Resolve(tr.tableOwner.empty() ? std::nullopt : std::optional<std::string>(tr.tableOwner), tr.table);
    if (obj) {
      triggerCols_ = d_.Columns(*obj);
      triggerColsKnown_ = !triggerCols_.empty();
      r_.deps.insert(*obj);
    }
    if (!tr.when) return;
    // The WHEN condition names the row as NEW and OLD, without the colon.
    std::vector<ExprP> todo{tr.when};
    while (!todo.empty()) {
      ExprP x = todo.back();
      todo.pop_back();
      if (x->kind == Expr::Ref && x->ref.size() == 2 && (x->ref[0].name == tr.newName || x->ref[0].name == tr.oldName)) {
        bool found = !triggerColsKnown_;
        for (const auto& c : triggerCols_) found = found || c == x->ref[1].name;
        if (!found) Report(x->ref[0].tok, "PLS-00049: bad bind variable '" + x->ref[0].name + "." + x->ref[1].name + "'");
        continue;
      }
      if (x->kind == Expr::Ref && !x->ref[0].called && !IsNiladic(x->ref[0].name)) {
        Report(x->ref[0].tok, "PLS-00201: identifier '" + x->ref[0].name + "' must be declared");
        continue;
      }
      for (const auto& k : x->kids) todo.push_back(k);
      for (const auto& p : x->ref)
        for (const auto& a : p.args) todo.push_back(a);
    }
  }

  std::string_view src_;
  const Unit& u_;
  const Dictionary& d_;
  CompileResult& r_;
  const std::vector<Token>& toks_;
  std::vector<Scope> scopes_;
  mutable std::map<std::string, std::shared_ptr<Unit>> cache_;
  std::vector<std::string> triggerCols_;
  bool triggerColsKnown_ = false;
};

}  // namespace

CompileResult Compile(std::string_view src, const Dictionary& dict) {
  CompileResult r;
  Unit u;
  try {
    u = Parse(src);
  } catch (const SyntaxError& e) {
    r.errors.push_back({e.line, e.col, e.what()});
    return r;
  }
  r.type = u.type;
  Checker c(src, u, dict, r);
  c.Run();
  // Units do not depend on themselves.
  for (auto it = r.deps.begin(); it != r.deps.end();) {
    if (it->owner == dict.Schema() && it->name == u.name &&
        (it->type == u.type || (u.type == "PACKAGE BODY" && it->type == "PACKAGE" && false)))
      it = r.deps.erase(it);
    else
      ++it;
  }
  return r;
}

}  // namespace ocisim::plsql
