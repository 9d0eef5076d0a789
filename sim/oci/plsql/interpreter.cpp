// The PL/SQL interpreter: see interpreter.h.
#include "plsql/interpreter.h"

#include "plsql/builtins.h"
#include "plsql/sql_refs.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>

namespace ocisim::plsql {

std::string NumberText(const Val& v) {
  if (v.k == Val::Int) return std::to_string(v.i);
  double d = v.r;
  if (std::isnan(d) || std::isinf(d)) return d > 0 ? "~" : "-~";
  if (d == std::floor(d) && std::fabs(d) < 1e15) return std::to_string(static_cast<int64_t>(d));
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.15g", d);
  std::string s = buf;
  if (s.find('e') != std::string::npos) {
    std::snprintf(buf, sizeof buf, "%.14E", d);
    s = buf;
    return s;
  }
  if (s.rfind("0.", 0) == 0) s.erase(0, 1);
  else if (s.rfind("-0.", 0) == 0) s.erase(1, 1);
  return s;
}

namespace {

// An exception travelling through PL/SQL.
struct Raised {
  int sqlcode = 0;       // -1403 is 100; user-defined is 1
  std::string id;        // what handlers match: "ORA:1403", "U:<unique>"
  std::string message;   // SQLERRM: "ORA-01403: no data found"
  std::vector<std::string> stack;
  bool fatal = false;    // time and memory limits: no handler stops them
};
struct ExitSignal {
  std::string label;
};
struct ReturnSignal {
  Val value;
};

std::string Pad5(int code) {
  char b[16];
  std::snprintf(b, sizeof b, "%05d", code);
  return b;
}

Raised OraRaised(int code, const std::string& message) {
  Raised r;
  r.sqlcode = code == 1403 ? 100 : -code;
  r.id = "ORA:" + std::to_string(code);
  r.message = "ORA-" + Pad5(code) + ": " + message;
  return r;
}

Raised FromText(int code, const std::string& full) {
  Raised r = OraRaised(code, "");
  // The host's text may already hold a stack of its own (trigger errors).
  r.message = full;
  return r;
}

const char* PredefinedText(int code) {
  switch (code) {
    case 100: return "no data found";
    case -1422: return "exact fetch returns more than requested number of rows";
    case -1476: return "divisor is equal to zero";
    case -1: return "unique constraint violated";
    case -6502: return "PL/SQL: numeric or value error";
    case -1722: return "invalid number";
    case -1001: return "invalid cursor";
    case -6511: return "PL/SQL: cursor already open";
    case -6592: return "CASE not found while executing CASE statement";
    default: return "";
  }
}

struct CursorState {
  const Decl* decl = nullptr;
  bool open = false;
  QueryResult rs;
  size_t pos = 0;
  int64_t count = 0;
  bool found = false, fetched = false;
};

struct Var {
  Val v;
  const TypeSpec* type = nullptr;
  bool constant = false;
};

struct Ctx;
struct Scope {
  std::map<std::string, std::shared_ptr<Var>> vars;
  std::map<std::string, std::vector<SubprogramP>> subs;
  std::map<std::string, std::string> excs;  // name -> id
  std::map<std::string, std::shared_ptr<CursorState>> cursors;
  std::map<std::string, const Decl*> types;
};

// A parsed unit with what it needs at run time.
struct Ctx {
  std::shared_ptr<Unit> unit;
  std::string src;
  std::string owner;
  std::string display;  // "SCOTT.P" for the error stack, "" for an anonymous block
  std::map<const SqlText*, SqlRefs> sqlCache;
};

struct PackageInst {
  std::shared_ptr<Ctx> spec, body;
  Scope globals;
  bool ready = false;
};

}  // namespace

struct SessionState {
  std::map<std::string, std::shared_ptr<PackageInst>> packages;
  std::map<std::string, std::shared_ptr<Ctx>> units;  // "OWNER.NAME/TYPE"
  int exceptionSerial = 0;
};

std::shared_ptr<SessionState> NewSessionState() { return std::make_shared<SessionState>(); }

struct Interpreter::Impl {
  Host& host;
  SessionState& st;
  std::string user;
  Limits limits;
  int depth = 0;
  std::chrono::steady_clock::time_point deadline;
  int64_t sqlRowcount = 0;
  bool sqlFound = false;

  struct Frame {
    Ctx* ctx = nullptr;
    PackageInst* pkg = nullptr;
    std::vector<Scope*> scopes;
    int line = 1;
    std::vector<Raised> handling;       // exceptions being handled (SQLCODE, RAISE;)
    std::map<std::string, Val>* binds = nullptr;  // anonymous block placeholders
    Val* newRow = nullptr;
    Val* oldRow = nullptr;
    std::string newName = "NEW", oldName = "OLD";
  };

  Impl(Host& h, SessionState& s, std::string u, Limits l) : host(h), st(s), user(std::move(u)), limits(l) {}

  [[noreturn]] void Throw(Raised r) { throw r; }
  [[noreturn]] void Predef(int sqlcode, const std::string& suffix = "") {
    int code = sqlcode == 100 ? 1403 : -sqlcode;
    Throw(OraRaised(code, std::string(PredefinedText(sqlcode)) + suffix));
  }

  const Token& Tok(Frame& f, int i) { return f.ctx->unit->toks[static_cast<size_t>(i)]; }

  void Tick(Frame& f, int tok) {
    f.line = Tok(f, tok).line;
    if (std::chrono::steady_clock::now() > deadline) {
      Raised r = OraRaised(1013, "user requested cancel of current operation");
      r.fatal = true;
      Throw(r);
    }
  }

  // ---- conversions ----
  Val ToNumber(const Val& v) {
    if (v.IsNull() || v.IsNumber()) return v;
    if (v.k == Val::Text) {
      std::string s = v.s;
      while (!s.empty() && s.back() == ' ') s.pop_back();
      size_t b = s.find_first_not_of(' ');
      s = b == std::string::npos ? "" : s.substr(b);
      char* end = nullptr;
      errno = 0;
      if (!s.empty()) {
        long long ll = std::strtoll(s.c_str(), &end, 10);
        if (*end == '\0' && errno == 0) return Val::Of(ll);
        double d = std::strtod(s.c_str(), &end);
        if (*end == '\0') return Val::OfReal(d);
      }
      Predef(-6502, ": character to number conversion error");
    }
    Predef(-6502);
  }
  std::string ToText(const Val& v) {
    switch (v.k) {
      case Val::Null: return "";
      case Val::Int:
      case Val::Real: return NumberText(v);
      case Val::Date: return host.DateText(v.s);
      case Val::Text: return v.s;
      case Val::Bool: return v.b ? "TRUE" : "FALSE";
      case Val::Record: Predef(-6502);
    }
    return "";
  }
  Val Coerce(const Val& v, const TypeSpec* t) {
    if (!t || v.IsNull() || t->attr.size() || t->name.size() != 1) return v.k == Val::Record ? v.Copy() : v;
    const std::string& b = t->name[0];
    if (b == "NUMBER" || b == "FLOAT" || b == "REAL" || b == "DECIMAL" || b == "NUMERIC" || b == "DEC") return ToNumber(v);
    if (b == "INTEGER" || b == "INT" || b == "PLS_INTEGER" || b == "BINARY_INTEGER" || b == "NATURAL" ||
        b == "POSITIVE" || b == "SMALLINT") {
      Val n = ToNumber(v);
      if (n.k == Val::Real) n = Val::Of(static_cast<int64_t>(std::llround(n.r)));
      return n;
    }
    if (b == "VARCHAR2" || b == "VARCHAR" || b == "CHAR" || b == "STRING" || b == "NVARCHAR2" || b == "NCHAR" ||
        b == "LONG" || b == "CLOB") {
      if (v.k == Val::Bool) Predef(-6502);
      std::string s = ToText(v);
      if (t->size > 0 && static_cast<int>(s.size()) > t->size) Predef(-6502, ": character string buffer too small");
      return Val::OfText(s);
    }
    return v;
  }
  Val Truth(const Val& v) {
    if (v.IsNull() || v.k == Val::Bool) return v;
    Predef(-6502);
  }

  // ---- scopes and names ----
  Var* FindVar(Frame& f, const std::string& n) {
    for (auto it = f.scopes.rbegin(); it != f.scopes.rend(); ++it) {
      auto x = (*it)->vars.find(n);
      if (x != (*it)->vars.end()) return x->second.get();
    }
    if (f.pkg) {
      auto x = f.pkg->globals.vars.find(n);
      if (x != f.pkg->globals.vars.end()) return x->second.get();
    }
    return nullptr;
  }
  template <class M>
  auto* FindIn(Frame& f, M Scope::*member, const std::string& n) {
    for (auto it = f.scopes.rbegin(); it != f.scopes.rend(); ++it) {
      auto x = ((*it)->*member).find(n);
      if (x != ((*it)->*member).end()) return &x->second;
    }
    if (f.pkg) {
      auto x = (f.pkg->globals.*member).find(n);
      if (x != (f.pkg->globals.*member).end()) return &x->second;
    }
    return static_cast<typename M::mapped_type*>(nullptr);
  }

  const Dictionary& Dict(Frame& f) { return host.DictFor(f.ctx->owner.empty() ? user : f.ctx->owner); }

  // ---- units and packages ----
  std::shared_ptr<Ctx> LoadUnit(const std::string& owner, const std::string& name, const std::string& type) {
    auto src = host.DictFor(owner).Source(owner, name, type);
    if (!src) return nullptr;
    std::string key = owner + "." + name + "/" + type;
    auto it = st.units.find(key);
    if (it != st.units.end() && it->second->src == *src) return it->second;
    auto c = std::make_shared<Ctx>();
    c->src = *src;
    c->owner = owner;
    c->display = owner + "." + name;
    c->unit = std::make_shared<Unit>(Parse(c->src));
    st.units[key] = c;
    return c;
  }

  void NotValid(Frame& f, int tok, const ObjectRef& o, const std::string& type) {
    (void)type;
    const Token& t = Tok(f, tok);
    std::string at = "ORA-06550: line " + std::to_string(t.line) + ", column " + std::to_string(t.col) + ":\n";
    Raised r = FromText(6550, at + "PLS-00905: object " + o.owner + "." + o.name + " is invalid\n" + at +
                                  "PL/SQL: Statement ignored");
    r.fatal = true;
    Throw(r);
  }

  PackageInst* Package(Frame& f, const ObjectRef& o, int tok) {
    std::string key = o.owner + "." + o.name;
    if (!host.EnsureValid(o.owner, o.name, "PACKAGE")) NotValid(f, tok, o, "PACKAGE");
    bool hasBody = host.DictFor(o.owner).Source(o.owner, o.name, "PACKAGE BODY").has_value();
    if (hasBody && !host.EnsureValid(o.owner, o.name, "PACKAGE BODY")) {
      Raised r = OraRaised(4063, "package body \"" + key + "\" has errors");
      Throw(r);
    }
    auto spec = LoadUnit(o.owner, o.name, "PACKAGE");
    auto body = hasBody ? LoadUnit(o.owner, o.name, "PACKAGE BODY") : nullptr;
    auto& inst = st.packages[key];
    if (inst && inst->spec == spec && inst->body == body) return inst.get();
    // New or recompiled: the session's state of the package starts over.
    inst = std::make_shared<PackageInst>();
    inst->spec = spec;
    inst->body = body;
    Frame pf;
    pf.pkg = inst.get();
    pf.ctx = spec.get();
    Declare(pf, inst->globals, spec->unit->decls);
    if (body) {
      pf.ctx = body.get();
      Declare(pf, inst->globals, body->unit->decls);
      if (body->unit->init) {
        try {
          RunBody(pf, *body->unit->init, nullptr);
        } catch (Raised& r) {
          r.stack.push_back("ORA-06512: at \"" + body->display + "\", line " + std::to_string(pf.line));
          throw;
        }
      }
    }
    inst->ready = true;
    return inst.get();
  }

  // ---- declarations ----
  Val NewRecordFor(Frame& f, const TypeSpec& t) {
    Val rec = Val::NewRecord();
    if (t.attr == "ROWTYPE") {
      if (auto* c = FindIn(f, &Scope::cursors, t.name[0])) {
        if ((*c)->decl && (*c)->decl->hasQuery) {
          // The cursor's select list: its columns as the query describes them.
          return rec;
        }
      }
      auto o = t.name.size() >= 2 ? Dict(f).Resolve(t.name[0], t.name[1]) : Dict(f).Resolve(std::nullopt, t.name[0]);
      if (o)
        for (const auto& c : Dict(f).Columns(*o)) rec.fields->push_back({c, Val()});
      return rec;
    }
    if (t.name.size() == 1)
      if (auto* d = FindIn(f, &Scope::types, t.name[0]))
        if ((*d)->typeKind == "RECORD") {
          for (const auto& fl : (*d)->fields) rec.fields->push_back({fl.name, Val()});
          return rec;
        }
    return Val();
  }

  bool IsRecordType(Frame& f, const TypeSpec& t) {
    if (t.attr == "ROWTYPE") return true;
    if (t.attr.empty() && t.name.size() == 1)
      if (auto* d = FindIn(f, &Scope::types, t.name[0])) return (*d)->typeKind == "RECORD";
    return false;
  }

  void Declare(Frame& f, Scope& s, const std::vector<Decl>& decls) {
    f.scopes.push_back(&s);
    struct Pop {
      Frame& f;
      ~Pop() { f.scopes.pop_back(); }
    } pop{f};
    for (const auto& d : decls) {
      Tick(f, d.tok);
      switch (d.kind) {
        case Decl::Var:
        case Decl::Const: {
          auto v = std::make_shared<Var>();
          v->type = &d.type;
          v->constant = d.kind == Decl::Const;
          if (IsRecordType(f, d.type)) v->v = NewRecordFor(f, d.type);
          if (d.init) v->v = Coerce(Eval(f, *d.init), &d.type);
          if (d.notNull && v->v.IsNull()) Predef(-6502);
          s.vars[d.name] = v;
          break;
        }
        case Decl::Exception:
          if (!s.excs.count(d.name)) s.excs[d.name] = "U:" + std::to_string(++st.exceptionSerial) + ":" + d.name;
          break;
        case Decl::Pragma:
          if (d.pragmaName == "EXCEPTION_INIT") {
            long long c = d.pragmaCode < 0 ? -d.pragmaCode : d.pragmaCode;
            s.excs[d.name] = "ORA:" + std::to_string(c == 100 ? 1403 : c);
          }
          break;
        case Decl::Cursor: {
          auto c = std::make_shared<CursorState>();
          c->decl = &d;
          s.cursors[d.name] = c;
          break;
        }
        case Decl::Type: s.types[d.name] = &d; break;
        case Decl::Sub: {
          auto& v = s.subs[d.name];
          bool replaced = false;
          for (auto& x : v)
            if (!x->block && SameParams(*x, *d.sub)) x = d.sub, replaced = true;
          if (!replaced) v.push_back(d.sub);
          break;
        }
      }
    }
  }

  static bool SameParams(const Subprogram& a, const Subprogram& b) {
    if (a.params.size() != b.params.size()) return false;
    for (size_t i = 0; i < a.params.size(); ++i)
      if (a.params[i].name != b.params[i].name) return false;
    return true;
  }

  // ---- calls ----
  const Subprogram* Choose(const std::vector<SubprogramP>& subs, const NamePart& np) {
    for (const auto& s : subs) {
      std::vector<bool> given(s->params.size(), false);
      size_t pos = 0;
      bool ok = true;
      for (size_t i = 0; i < np.args.size() && ok; ++i) {
        if (np.argNames[i].empty()) {
          if (pos >= s->params.size()) ok = false;
          else given[pos++] = true;
        } else {
          bool found = false;
          for (size_t k = 0; k < s->params.size(); ++k)
            if (s->params[k].name == np.argNames[i]) found = given[k] = true;
          ok = found;
        }
      }
      for (size_t k = 0; k < s->params.size() && ok; ++k)
        if (!given[k] && !s->params[k].deflt) ok = false;
      if (ok) {
        if (!s->block)
          Throw(OraRaised(4067, "not executed, package body \"" + (cur_ && cur_->pkg && cur_->pkg->spec
                                                                      ? cur_->pkg->spec->display
                                                                      : s->name) +
                                    "\" does not exist"));
        return s.get();
      }
    }
    Predef(-6502);
  }

  // Where an OUT argument writes to.
  Val* LValue(Frame& f, const Expr& e) {
    if (e.kind == Expr::Bind) return BindSlot(f, e.text, e.ref.empty() ? "" : e.ref[0].name);
    if (e.kind == Expr::Ref) return RefSlot(f, e.ref);
    return nullptr;
  }

  Val* BindSlot(Frame& f, const std::string& name, const std::string& field) {
    if (!field.empty()) {
      Val* row = name == f.newName ? f.newRow : name == f.oldName ? f.oldRow : nullptr;
      if (row) {
        Val* x = row->Field(field);
        if (!x) {
          row->fields->push_back({field, Val()});
          x = &row->fields->back().second;
        }
        return x;
      }
    }
    if (f.binds) return &(*f.binds)[name];
    return nullptr;
  }

  Val* RefSlot(Frame& f, const std::vector<NamePart>& parts) {
    Var* v = FindVar(f, parts[0].name);
    size_t next = 1;
    if (!v && parts.size() > 1) {
      if (PackageInst* p = PackageFor(f, parts[0].name, parts[0].tok)) {
        auto x = p->globals.vars.find(parts[1].name);
        if (x != p->globals.vars.end()) v = x->second.get();
        next = 2;
      }
    }
    if (!v) return nullptr;
    Val* slot = &v->v;
    for (; next < parts.size() && slot; ++next) {
      if (slot->k != Val::Record) *slot = Val::NewRecord();
      Val* x = slot->Field(parts[next].name);
      if (!x) {
        slot->fields->push_back({parts[next].name, Val()});
        x = &slot->fields->back().second;
      }
      slot = x;
    }
    return slot;
  }

  // The package a name means in this frame: its own, or one in the dictionary.
  PackageInst* PackageFor(Frame& f, const std::string& name, int tok) {
    if (f.pkg && f.pkg->spec && f.pkg->spec->unit->name == name) return f.pkg;
    auto o = Dict(f).Resolve(std::nullopt, name);
    if (o && o->type == "PACKAGE") return Package(f, *o, tok);
    return nullptr;
  }

  Val CallSub(Frame& caller, Ctx* ctx, PackageInst* pkg, const std::vector<SubprogramP>& overloads, const NamePart& np,
              const std::vector<Scope*>* outer = nullptr) {
    Frame probe;
    probe.pkg = pkg;
    Frame* saved = cur_;
    cur_ = &probe;
    const Subprogram* chosen = nullptr;
    try {
      chosen = Choose(overloads, np);
    } catch (...) {
      cur_ = saved;
      throw;
    }
    cur_ = saved;
    const Subprogram& s = *chosen;
    if (++depth > limits.maxDepth) {
      --depth;
      Raised r = OraRaised(4030, "out of process memory when trying to allocate 16408 bytes (PLS non-lib hp,PL/SQL STACK)");
      r.fatal = true;
      Throw(r);
    }
    struct Down {
      int& d;
      ~Down() { --d; }
    } down{depth};
    Frame f;
    f.ctx = ctx;
    f.pkg = pkg;
    f.binds = nullptr;
    Scope params;
    std::vector<std::pair<Val*, Var*>> outs;
    std::vector<bool> given(s.params.size(), false);
    std::vector<const Expr*> argFor(s.params.size(), nullptr);
    size_t pos = 0;
    for (size_t i = 0; i < np.args.size(); ++i) {
      size_t k = pos;
      if (!np.argNames[i].empty()) {
        for (size_t j = 0; j < s.params.size(); ++j)
          if (s.params[j].name == np.argNames[i]) k = j;
      } else {
        ++pos;
      }
      argFor[k] = np.args[i].get();
    }
    for (size_t k = 0; k < s.params.size(); ++k) {
      const Param& p = s.params[k];
      auto v = std::make_shared<Var>();
      v->type = &p.type;
      v->constant = p.mode == "IN";
      if (argFor[k]) {
        if (p.mode != "IN") {
          Val* slot = LValue(caller, *argFor[k]);
          if (!slot) Predef(-6502);
          if (p.mode == "IN OUT") v->v = Coerce(*slot, &p.type);
          else if (IsRecordType(f, p.type)) v->v = slot->Copy();
          outs.push_back({slot, v.get()});
        } else {
          v->v = Coerce(Eval(caller, *argFor[k]), &p.type);
        }
      } else if (p.deflt) {
        v->v = Coerce(Eval(f, *p.deflt), &p.type);
      }
      params.vars[p.name] = v;
    }
    if (outer) {
      f.scopes = *outer;
      f.binds = caller.binds;
      f.newRow = caller.newRow;
      f.oldRow = caller.oldRow;
      f.newName = caller.newName;
      f.oldName = caller.oldName;
    }
    f.scopes.push_back(&params);
    Val result;
    bool returned = false;
    try {
      try {
        RunBody(f, *s.block, nullptr);
      } catch (ReturnSignal& r) {
        result = r.value;
        returned = true;
      }
      if (s.isFunction && !returned) {
        Tick(f, s.block->endTok);
        Throw(OraRaised(6503, "PL/SQL: Function returned without value"));
      }
    } catch (Raised& r) {
      r.stack.push_back(ctx->display.empty() ? "ORA-06512: at line " + std::to_string(f.line)
                                             : "ORA-06512: at \"" + ctx->display + "\", line " + std::to_string(f.line));
      throw;
    }
    for (auto& [slot, v] : outs) *slot = v->v.k == Val::Record ? v->v.Copy() : v->v;
    return s.isFunction ? Coerce(result, &s.ret) : Val();
  }

  // Evaluates or calls a dotted name.
  Val EvalRef(Frame& f, const std::vector<NamePart>& parts, bool statement) {
    const NamePart& p0 = parts[0];
    if (Var* v = FindVar(f, p0.name)) {
      Val* slot = &v->v;
      for (size_t i = 1; i < parts.size(); ++i) {
        Val* x = slot->k == Val::Record ? slot->Field(parts[i].name) : nullptr;
        if (!x) return Val();
        slot = x;
      }
      return *slot;
    }
    for (size_t k = f.scopes.size(); k-- > 0;) {
      auto x = f.scopes[k]->subs.find(p0.name);
      if (x == f.scopes[k]->subs.end()) continue;
      // A local subprogram sees the scopes around its declaration.
      std::vector<Scope*> outer(f.scopes.begin(), f.scopes.begin() + static_cast<long>(k) + 1);
      return CallSub(f, f.ctx, f.pkg, x->second, p0, &outer);
    }
    if (f.pkg) {
      auto x = f.pkg->globals.subs.find(p0.name);
      if (x != f.pkg->globals.subs.end()) return CallSub(f, f.ctx, f.pkg, x->second, p0);
    }
    if (p0.name == "MOD" && p0.called && p0.args.size() == 2)
      return Arith("MOD", Eval(f, *p0.args[0]), Eval(f, *p0.args[1]));
    if (parts.size() == 1 && !p0.called) {
      if (p0.name == "SQLCODE") return Val::Of(f.handling.empty() ? 0 : f.handling.back().sqlcode);
      if (p0.name == "SQLERRM")
        return Val::OfText(f.handling.empty() ? "ORA-0000: normal, successful completion" : f.handling.back().message);
    }
    if (parts.size() == 1 && p0.name == "SQLERRM" && p0.called) {
      Val c = ToNumber(Eval(f, *p0.args[0]));
      int code = static_cast<int>(c.Num());
      if (code == 0) return Val::OfText("ORA-0000: normal, successful completion");
      if (code == 100) return Val::OfText("ORA-01403: no data found");
      return Val::OfText("ORA-" + Pad5(-code) + ": " + PredefinedText(code));
    }
    if (parts.size() == 1 && p0.name == "RAISE_APPLICATION_ERROR") {
      Val n = ToNumber(Eval(f, *p0.args[0]));
      std::string msg = ToText(Eval(f, *p0.args[1]));
      int code = static_cast<int>(-n.Num());
      if (code < 20000 || code > 20999)
        Throw(OraRaised(21000, "error number argument to raise_application_error of " + NumberText(n) +
                                   " is out of range"));
      if (msg.size() > 2048) msg.resize(2048);
      Throw(OraRaised(code, msg));
    }
    if (parts.size() == 1 && (IsNiladic(p0.name) || (p0.called && IsSqlFunction(p0.name)))) {
      std::vector<Val> args;
      std::string sql = "SELECT " + p0.name;
      if (p0.called) {
        sql += "(";
        for (size_t i = 0; i < p0.args.size(); ++i) {
          args.push_back(Eval(f, *p0.args[i]));
          sql += (i ? ", :PLSQL_B" : ":PLSQL_B") + std::to_string(i + 1);
        }
        sql += ")";
      }
      sql += " FROM DUAL";
      QueryResult r = Sql(f, sql, args, true);
      return r.rows.empty() || r.rows[0].empty() ? Val() : r.rows[0][0];
    }
    size_t base = p0.name == "SYS" && parts.size() > 1 && IsBuiltinPackage(parts[1].name) ? 1 : 0;
    if (IsBuiltinPackage(parts[base].name) && parts.size() > base + 1) {
      const NamePart& m = parts[base + 1];
      std::vector<Val> vals(m.args.size());
      std::vector<Val*> ptrs;
      for (size_t i = 0; i < m.args.size(); ++i) {
        Val* slot = LValue(f, *m.args[i]);
        vals[i] = Eval(f, *m.args[i]);
        ptrs.push_back(slot ? slot : &vals[i]);
      }
      try {
        return host.CallPackage(parts[base].name, m.name, ptrs);
      } catch (const PlsqlError& e) {
        Throw(FromText(e.code, e.what()));
      }
    }
    if (PackageInst* p = parts.size() > 1 ? PackageFor(f, p0.name, p0.tok) : nullptr) {
      const NamePart& m = parts[1];
      auto v = p->globals.vars.find(m.name);
      if (v != p->globals.vars.end()) return v->second->v;
      auto s = p->globals.subs.find(m.name);
      if (s != p->globals.subs.end()) return CallSub(f, p->body ? p->body.get() : p->spec.get(), p, s->second, m);
      Predef(-6502);
    }
    auto o = Dict(f).Resolve(std::nullopt, p0.name);
    size_t at = 0;
    if (!o && parts.size() > 1 && Dict(f).IsSchema(p0.name)) {
      o = Dict(f).Resolve(p0.name, parts[1].name);
      at = 1;
    }
    if (o && (o->type == "PROCEDURE" || o->type == "FUNCTION")) {
      if (!host.EnsureValid(o->owner, o->name, o->type)) NotValid(f, p0.tok, *o, o->type);
      auto ctx = LoadUnit(o->owner, o->name, o->type);
      if (!ctx || !ctx->unit->sub) Predef(-6502);
      return CallSub(f, ctx.get(), nullptr, {ctx->unit->sub}, parts[at]);
    }
    if (o && o->type == "PACKAGE" && parts.size() > at + 1) {
      PackageInst* p = Package(f, *o, p0.tok);
      const NamePart& m = parts[at + 1];
      auto v = p->globals.vars.find(m.name);
      if (v != p->globals.vars.end()) return v->second->v;
      auto s = p->globals.subs.find(m.name);
      if (s != p->globals.subs.end()) return CallSub(f, p->body ? p->body.get() : p->spec.get(), p, s->second, m);
    }
    (void)statement;
    std::string full;
    for (const auto& p : parts) full += (full.empty() ? "" : ".") + p.name;
    const Token& t = Tok(f, p0.tok);
    std::string pos = "ORA-06550: line " + std::to_string(t.line) + ", column " + std::to_string(t.col) + ":\n";
    Raised r = FromText(6550, pos + "PLS-00201: identifier '" + full + "' must be declared\n" + pos +
                                  "PL/SQL: Statement ignored");
    r.fatal = true;
    Throw(r);
  }

  // ---- expressions ----
  static int Compare(const Val& a, const Val& b) {
    if (a.IsNumber() && b.IsNumber()) {
      if (a.k == Val::Int && b.k == Val::Int) return a.i < b.i ? -1 : a.i > b.i ? 1 : 0;
      return a.Num() < b.Num() ? -1 : a.Num() > b.Num() ? 1 : 0;
    }
    if (a.k == Val::Bool && b.k == Val::Bool) return static_cast<int>(a.b) - static_cast<int>(b.b);
    return a.s < b.s ? -1 : a.s > b.s ? 1 : 0;
  }

  int CompareMixed(const Val& a, const Val& b) {
    if (a.IsNumber() != b.IsNumber() && a.k != Val::Date && b.k != Val::Date)
      return Compare(a.IsNumber() ? a : ToNumber(a), b.IsNumber() ? b : ToNumber(b));
    return Compare(a, b);
  }

  static bool Like(const std::string& s, size_t i, const std::string& p, size_t j, char esc) {
    while (j < p.size()) {
      char c = p[j];
      if (esc && c == esc && j + 1 < p.size()) {
        if (i >= s.size() || s[i] != p[j + 1]) return false;
        ++i, j += 2;
        continue;
      }
      if (c == '%') {
        for (size_t k = i; k <= s.size(); ++k)
          if (Like(s, k, p, j + 1, esc)) return true;
        return false;
      }
      if (i >= s.size() || (c != '_' && s[i] != c)) return false;
      ++i, ++j;
    }
    return i == s.size();
  }

  Val Arith(const std::string& op, Val a, Val b) {
    if (a.IsNull() || b.IsNull()) return Val();
    if (a.k == Val::Date || b.k == Val::Date) {
      QueryResult r = Sql(*cur_, "SELECT :PLSQL_B1 " + op + " :PLSQL_B2 FROM DUAL", {a, b}, true);
      return r.rows.empty() ? Val() : r.rows[0][0];
    }
    a = ToNumber(a);
    b = ToNumber(b);
    if (a.k == Val::Int && b.k == Val::Int) {
      int64_t r;
      if (op == "+" && !__builtin_add_overflow(a.i, b.i, &r)) return Val::Of(r);
      if (op == "-" && !__builtin_sub_overflow(a.i, b.i, &r)) return Val::Of(r);
      if (op == "*" && !__builtin_mul_overflow(a.i, b.i, &r)) return Val::Of(r);
      if (op == "/" && b.i != 0 && a.i % b.i == 0) return Val::Of(a.i / b.i);
      if (op == "MOD") {
        if (b.i == 0) return a;
        return Val::Of(a.i % b.i);
      }
    }
    double x = a.Num(), y = b.Num();
    if (op == "+") return Val::OfReal(x + y);
    if (op == "-") return Val::OfReal(x - y);
    if (op == "*") return Val::OfReal(x * y);
    if (op == "/") {
      if (y == 0) Predef(-1476);
      return Val::OfReal(x / y);
    }
    if (op == "MOD") return y == 0 ? a : Val::OfReal(x - y * std::trunc(x / y));
    if (op == "**") return Val::OfReal(std::pow(x, y));
    return Val();
  }

  Frame* cur_ = nullptr;

  Val Eval(Frame& f, const Expr& e) {
    Frame* saved = cur_;
    cur_ = &f;
    struct Restore {
      Frame*& c;
      Frame* s;
      ~Restore() { c = s; }
    } restore{cur_, saved};
    switch (e.kind) {
      case Expr::Number: {
        const std::string& t = e.text;
        if (t.find_first_of(".E") == std::string::npos && t.size() < 18) return Val::Of(std::atoll(t.c_str()));
        return Val::OfReal(std::strtod(t.c_str(), nullptr));
      }
      case Expr::String: return Val::OfText(e.text);
      case Expr::Null: return Val();
      case Expr::Bool: return Val::OfBool(e.text == "TRUE");
      case Expr::Ref: return EvalRef(f, e.ref, false);
      case Expr::Bind: {
        Val* slot = BindSlot(f, e.text, e.ref.empty() ? "" : e.ref[0].name);
        return slot ? *slot : Val();
      }
      case Expr::Attr: {
        if (e.ref.size() == 1 && e.ref[0].name == "SQL") {
          if (e.text == "ROWCOUNT") return Val::Of(sqlRowcount);
          if (e.text == "FOUND") return Val::OfBool(sqlFound);
          if (e.text == "NOTFOUND") return Val::OfBool(!sqlFound);
          return Val::OfBool(false);
        }
        CursorState* c = CursorOf(f, e.ref[0].name);
        if (!c) Predef(-1001);
        if (e.text == "ISOPEN") return Val::OfBool(c->open);
        if (!c->open) Predef(-1001);
        if (e.text == "ROWCOUNT") return Val::Of(c->count);
        if (!c->fetched) return Val();
        return Val::OfBool(e.text == "FOUND" ? c->found : !c->found);
      }
      case Expr::Unary: {
        Val v = Eval(f, *e.kids[0]);
        if (e.text == "NOT") {
          v = Truth(v);
          return v.IsNull() ? v : Val::OfBool(!v.b);
        }
        if (v.IsNull()) return v;
        v = ToNumber(v);
        if (e.text == "-") return v.k == Val::Int ? Val::Of(-v.i) : Val::OfReal(-v.r);
        return v;
      }
      case Expr::Binary: {
        const std::string& op = e.text;
        if (op == "AND" || op == "OR") {
          Val a = Truth(Eval(f, *e.kids[0]));
          if (op == "AND" && a.k == Val::Bool && !a.b) return a;
          if (op == "OR" && a.k == Val::Bool && a.b) return a;
          Val b = Truth(Eval(f, *e.kids[1]));
          if (op == "AND") {
            if (b.k == Val::Bool && !b.b) return b;
            return a.IsNull() || b.IsNull() ? Val() : Val::OfBool(true);
          }
          if (b.k == Val::Bool && b.b) return b;
          return a.IsNull() || b.IsNull() ? Val() : Val::OfBool(false);
        }
        Val a = Eval(f, *e.kids[0]);
        Val b = Eval(f, *e.kids[1]);
        if (op == "||") return Val::OfText(ToText(a) + ToText(b));
        if (op == "=" || op == "<>" || op == "<" || op == ">" || op == "<=" || op == ">=") {
          if (a.IsNull() || b.IsNull()) return Val();
          int c = CompareMixed(a, b);
          bool r = op == "=" ? c == 0 : op == "<>" ? c != 0 : op == "<" ? c < 0 : op == ">" ? c > 0 : op == "<=" ? c <= 0 : c >= 0;
          return Val::OfBool(r);
        }
        return Arith(op, a, b);
      }
      case Expr::IsNull: {
        bool n = Eval(f, *e.kids[0]).IsNull();
        return Val::OfBool(e.negated ? !n : n);
      }
      case Expr::Between: {
        Val v = Eval(f, *e.kids[0]), lo = Eval(f, *e.kids[1]), hi = Eval(f, *e.kids[2]);
        if (v.IsNull() || lo.IsNull() || hi.IsNull()) return Val();
        bool in = CompareMixed(v, lo) >= 0 && CompareMixed(v, hi) <= 0;
        return Val::OfBool(e.negated ? !in : in);
      }
      case Expr::In: {
        Val v = Eval(f, *e.kids[0]);
        if (v.IsNull()) return Val();
        bool sawNull = false;
        for (size_t i = 1; i < e.kids.size(); ++i) {
          Val x = Eval(f, *e.kids[i]);
          if (x.IsNull()) {
            sawNull = true;
            continue;
          }
          if (CompareMixed(v, x) == 0) return Val::OfBool(!e.negated);
        }
        return sawNull ? Val() : Val::OfBool(e.negated);
      }
      case Expr::Like: {
        Val v = Eval(f, *e.kids[0]), p = Eval(f, *e.kids[1]);
        if (v.IsNull() || p.IsNull()) return Val();
        char esc = 0;
        if (e.kids.size() > 2) {
          std::string es = ToText(Eval(f, *e.kids[2]));
          esc = es.empty() ? 0 : es[0];
        }
        bool m = Like(ToText(v), 0, ToText(p), 0, esc);
        return Val::OfBool(e.negated ? !m : m);
      }
      case Expr::Case: {
        size_t i = 0;
        Val sel;
        if (e.hasSelector) sel = Eval(f, *e.kids[i++]);
        size_t pairsEnd = e.kids.size() - (e.hasElse ? 1 : 0);
        for (; i + 1 < pairsEnd + 1 && i < pairsEnd; i += 2) {
          Val w = Eval(f, *e.kids[i]);
          bool hit = e.hasSelector ? (!sel.IsNull() && !w.IsNull() && CompareMixed(sel, w) == 0)
                                   : (w.k == Val::Bool && w.b);
          if (hit) return Eval(f, *e.kids[i + 1]);
        }
        return e.hasElse ? Eval(f, *e.kids.back()) : Val();
      }
    }
    return Val();
  }

  bool IsTrue(Frame& f, const Expr& e) {
    Val v = Truth(Eval(f, e));
    return v.k == Val::Bool && v.b;
  }

  CursorState* CursorOf(Frame& f, const std::string& n) {
    auto* c = FindIn(f, &Scope::cursors, n);
    return c ? c->get() : nullptr;
  }

  // ---- SQL ----
  QueryResult Sql(Frame& f, const std::string& text, const std::vector<Val>& binds, bool query) {
    (void)f;
    try {
      if (query) return host.Query(text, binds);
      QueryResult r;
      sqlRowcount = host.Exec(text, binds);
      sqlFound = sqlRowcount > 0;
      return r;
    } catch (const PlsqlError& e) {
      Throw(FromText(e.code, e.what()));
    }
  }

  const SqlRefs& Refs(Frame& f, const SqlText& sql) {
    auto it = f.ctx->sqlCache.find(&sql);
    if (it != f.ctx->sqlCache.end()) return it->second;
    SqlRefs r = AnalyzeSql(f.ctx->unit->toks, sql, Dict(f), [&](const std::vector<std::string>& chain) {
      if (Var* v = FindVar(f, chain[0])) return chain.size() > 1 && v->v.k == Val::Record ? 2 : 1;
      if (chain.size() > 1 && PackageFor(f, chain[0], sql.first)) return 2;
      return 0;
    });
    return f.ctx->sqlCache.emplace(&sql, std::move(r)).first->second;
  }

  std::pair<std::string, std::vector<Val>> Prepare(Frame& f, const SqlText& sql) {
    const SqlRefs& refs = Refs(f, sql);
    if (refs.error) {
      const Token& t = Tok(f, refs.error->first);
      (void)t;
      int code = std::atoi(refs.error->second.c_str() + 4);
      Throw(FromText(code, refs.error->second));
    }
    std::vector<Val> binds;
    for (const auto& s : refs.subs) {
      if (s.chain[0][0] == ':') {
        Val* slot = BindSlot(f, s.chain[0].substr(1), s.chain.size() > 1 ? s.chain[1] : "");
        binds.push_back(slot ? *slot : Val());
        continue;
      }
      std::vector<NamePart> parts;
      for (const auto& c : s.chain) {
        NamePart np;
        np.name = c;
        np.tok = sql.first;
        parts.push_back(np);
      }
      binds.push_back(EvalRef(f, parts, false));
    }
    return {SqlToRun(f.ctx->src, f.ctx->unit->toks, sql, refs), binds};
  }

  void Assign(Frame& f, const std::vector<std::vector<NamePart>>& into, const std::vector<std::string>& cols,
              const std::vector<Val>& row) {
    if (into.size() == 1 && row.size() >= 1) {
      Var* v = FindVar(f, into[0][0].name);
      if (v && into[0].size() == 1 && (v->v.k == Val::Record || (v->type && IsRecordType(f, *v->type)))) {
        Val rec = Val::NewRecord();
        for (size_t i = 0; i < row.size(); ++i) rec.fields->push_back({i < cols.size() ? cols[i] : "", row[i]});
        v->v = rec;
        return;
      }
    }
    for (size_t i = 0; i < into.size() && i < row.size(); ++i) {
      Val* slot = RefSlot(f, into[i]);
      if (!slot) continue;
      Var* v = into[i].size() == 1 ? FindVar(f, into[i][0].name) : nullptr;
      *slot = Coerce(row[i], v ? v->type : nullptr);
    }
  }

  void OpenCursor(Frame& f, CursorState& c, const SqlText& query, const std::vector<Param>& params,
                  const std::vector<ExprP>& args) {
    if (c.open) Predef(-6511);
    Scope ps;
    for (size_t i = 0; i < params.size(); ++i) {
      auto v = std::make_shared<Var>();
      v->type = &params[i].type;
      if (i < args.size()) v->v = Coerce(Eval(f, *args[i]), &params[i].type);
      else if (params[i].deflt) v->v = Eval(f, *params[i].deflt);
      ps.vars[params[i].name] = v;
    }
    f.scopes.push_back(&ps);
    struct Pop {
      Frame& f;
      ~Pop() { f.scopes.pop_back(); }
    } pop{f};
    auto [text, binds] = Prepare(f, query);
    c.rs = Sql(f, text, binds, true);
    c.open = true;
    c.pos = 0;
    c.count = 0;
    c.fetched = false;
  }

  // ---- statements ----
  void RunStmts(Frame& f, const std::vector<StmtP>& ss) {
    for (const auto& s : ss) Exec(f, *s);
  }

  void Loop(Frame& f, const Stmt& s, const std::function<bool()>& step) {
    for (;;) {
      Tick(f, s.tok);
      if (!step()) return;
      try {
        RunStmts(f, s.body);
      } catch (ExitSignal& x) {
        if (x.label.empty() || x.label == s.label) return;
        throw;
      }
    }
  }

  void Exec(Frame& f, const Stmt& s) {
    Tick(f, s.tok);
    switch (s.kind) {
      case Stmt::Null:
      case Stmt::Label:
      case Stmt::Goto: return;
      case Stmt::Assign: {
        Val v = Eval(f, *s.expr);
        if (!s.bindTarget.empty()) {
          Val* slot = BindSlot(f, s.bindTarget, s.bindField);
          if (slot) *slot = v;
          return;
        }
        Var* var = s.target.size() == 1 ? FindVar(f, s.target[0].name) : nullptr;
        Val* slot = RefSlot(f, s.target);
        if (!slot) Predef(-6502);
        *slot = Coerce(v, var ? var->type : nullptr);
        return;
      }
      case Stmt::Call: EvalRef(f, s.target, true); return;
      case Stmt::If:
        for (size_t i = 0; i < s.conds.size(); ++i)
          if (IsTrue(f, *s.conds[i])) return RunStmts(f, s.branches[i]);
        if (s.hasElse) RunStmts(f, s.branches.back());
        return;
      case Stmt::Case: {
        Val sel;
        if (s.expr) sel = Eval(f, *s.expr);
        for (size_t i = 0; i < s.conds.size(); ++i) {
          Val w = Eval(f, *s.conds[i]);
          bool hit = s.expr ? (!sel.IsNull() && !w.IsNull() && CompareMixed(sel, w) == 0) : (w.k == Val::Bool && w.b);
          if (hit) return RunStmts(f, s.branches[i]);
        }
        if (s.hasElse) return RunStmts(f, s.branches.back());
        Predef(-6592);
      }
      case Stmt::Loop: Loop(f, s, [] { return true; }); return;
      case Stmt::While: Loop(f, s, [&] { return IsTrue(f, *s.expr); }); return;
      case Stmt::ForNum: {
        Val lo = ToNumber(Eval(f, *s.lo)), hi = ToNumber(Eval(f, *s.hi));
        if (lo.IsNull() || hi.IsNull()) Predef(-6502);
        int64_t a = std::llround(lo.Num()), b = std::llround(hi.Num());
        Scope sc;
        auto v = std::make_shared<Var>();
        v->constant = true;
        sc.vars[s.var] = v;
        f.scopes.push_back(&sc);
        struct Pop {
          Frame& f;
          ~Pop() { f.scopes.pop_back(); }
        } pop{f};
        int64_t i = s.reverse ? b : a;
        Loop(f, s, [&] {
          if (s.reverse ? i < a : i > b) return false;
          v->v = Val::Of(i);
          s.reverse ? --i : ++i;
          return true;
        });
        return;
      }
      case Stmt::ForCursor: {
        std::shared_ptr<CursorState> own;
        CursorState* c = nullptr;
        if (s.cursorQuery) {
          own = std::make_shared<CursorState>();
          c = own.get();
          OpenCursor(f, *c, s.sql, {}, {});
        } else {
          c = CursorOf(f, s.target[0].name);
          if (!c || !c->decl) Predef(-1001);
          OpenCursor(f, *c, c->decl->query, c->decl->params, s.target[0].args);
        }
        Scope sc;
        auto v = std::make_shared<Var>();
        sc.vars[s.var] = v;
        f.scopes.push_back(&sc);
        struct Pop {
          Frame& f;
          CursorState* c;
          ~Pop() {
            f.scopes.pop_back();
            c->open = false;
          }
        } pop{f, c};
        Loop(f, s, [&] {
          if (c->pos >= c->rs.rows.size()) return false;
          Val rec = Val::NewRecord();
          const auto& row = c->rs.rows[c->pos++];
          for (size_t i = 0; i < row.size(); ++i) rec.fields->push_back({c->rs.columns[i], row[i]});
          ++c->count;
          v->v = rec;
          return true;
        });
        return;
      }
      case Stmt::Exit:
        if (!s.expr || IsTrue(f, *s.expr)) throw ExitSignal{s.var};
        return;
      case Stmt::Return: {
        ReturnSignal r;
        if (s.expr) r.value = Eval(f, *s.expr);
        throw r;
      }
      case Stmt::Raise: {
        if (s.target.empty()) {
          if (f.handling.empty()) Predef(-6502);
          Raised r = f.handling.back();
          r.stack.clear();
          Throw(r);
        }
        const std::string& n = s.target.back().name;
        std::string id;
        if (s.target.size() == 1) {
          if (auto* x = FindIn(f, &Scope::excs, n)) id = *x;
        } else if (PackageInst* p = PackageFor(f, s.target[0].name, s.target[0].tok)) {
          auto x = p->globals.excs.find(n);
          if (x != p->globals.excs.end()) id = x->second;
        }
        if (id.empty()) {
          int code = PredefinedException(n);
          if (code) Predef(code);
          Predef(-6502);
        }
        Raised r;
        r.id = id;
        if (id.rfind("ORA:", 0) == 0) {
          int code = std::atoi(id.c_str() + 4);
          r = OraRaised(code, "");
          r.message = "ORA-" + Pad5(code) + ": ";
        } else {
          r.sqlcode = 1;
          r.message = "User-Defined Exception";
        }
        Throw(r);
      }
      case Stmt::Sql: {
        auto [text, binds] = Prepare(f, s.sql);
        if (s.sqlVerb == "SELECT") {
          QueryResult r = Sql(f, text, binds, true);
          sqlRowcount = static_cast<int64_t>(r.rows.size());
          if (s.sql.bulk) {
            sqlFound = !r.rows.empty();
            return;
          }
          if (r.rows.empty()) {
            sqlFound = false;
            Predef(100);
          }
          if (r.rows.size() > 1) Predef(-1422);
          sqlRowcount = 1;
          sqlFound = true;
          Assign(f, s.sql.into, r.columns, r.rows[0]);
        } else {
          Sql(f, text, binds, false);
        }
        return;
      }
      case Stmt::Open: {
        CursorState* c = CursorOf(f, s.target[0].name);
        if (s.cursorQuery) {
          if (!c) {
            Var* v = FindVar(f, s.target[0].name);
            if (!v) Predef(-1001);
            auto* holder = new CursorState;
            refCursors_.emplace_back(holder);
            c = holder;
            cursorVars_[v] = holder;
          }
          c->open = false;
          OpenCursor(f, *c, s.sql, {}, {});
          return;
        }
        if (!c || !c->decl) Predef(-1001);
        OpenCursor(f, *c, c->decl->query, c->decl->params, s.target[0].args);
        return;
      }
      case Stmt::Fetch: {
        CursorState* c = CursorOf(f, s.target[0].name);
        if (!c) {
          Var* v = FindVar(f, s.target[0].name);
          auto it = v ? cursorVars_.find(v) : cursorVars_.end();
          if (it != cursorVars_.end()) c = it->second;
        }
        if (!c || !c->open) Predef(-1001);
        c->fetched = true;
        if (c->pos >= c->rs.rows.size()) {
          c->found = false;
          return;
        }
        c->found = true;
        ++c->count;
        Assign(f, s.into, c->rs.columns, c->rs.rows[c->pos++]);
        return;
      }
      case Stmt::Close: {
        CursorState* c = CursorOf(f, s.target[0].name);
        if (!c) {
          Var* v = FindVar(f, s.target[0].name);
          auto it = v ? cursorVars_.find(v) : cursorVars_.end();
          if (it != cursorVars_.end()) c = it->second;
        }
        if (!c || !c->open) Predef(-1001);
        c->open = false;
        return;
      }
      case Stmt::Commit: host.Commit(); return;
      case Stmt::Rollback:
        if (!s.var.empty()) Sql(f, "ROLLBACK TO SAVEPOINT " + s.var, {}, false);
        else host.Rollback();
        return;
      case Stmt::Savepoint: Sql(f, "SAVEPOINT " + s.var, {}, false); return;
      case Stmt::ExecImm: {
        std::string text = ToText(Eval(f, *s.expr));
        while (!text.empty() && (text.back() == ';' || text.back() == ' ' || text.back() == '\n')) {
          if (text.back() == ';' && (Upper(text).find("END") == std::string::npos)) text.pop_back();
          else if (text.back() != ';') text.pop_back();
          else break;
        }
        std::vector<Val> binds;
        for (const auto& a : s.args) binds.push_back(Eval(f, *a));
        if (!s.into.empty()) {
          QueryResult r = Sql(f, text, binds, true);
          if (r.rows.empty()) Predef(100);
          if (r.rows.size() > 1) Predef(-1422);
          Assign(f, s.into, r.columns, r.rows[0]);
        } else {
          Sql(f, text, binds, false);
        }
        return;
      }
      case Stmt::BlockStmt: RunBody(f, *s.block, nullptr); return;
    }
  }

  static std::string Upper(std::string s) {
    for (auto& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
  }

  bool Matches(Frame& f, const std::string& name, const Raised& r) {
    if (name == "OTHERS") return true;
    if (int code = PredefinedException(name)) return r.id == "ORA:" + std::to_string(code == 100 ? 1403 : -code);
    std::string id;
    size_t dot = name.find('.');
    if (dot == std::string::npos) {
      if (auto* x = FindIn(f, &Scope::excs, name)) id = *x;
    } else if (PackageInst* p = PackageFor(f, name.substr(0, dot), 0)) {
      auto x = p->globals.excs.find(name.substr(dot + 1));
      if (x != p->globals.excs.end()) id = x->second;
    }
    return !id.empty() && id == r.id;
  }

  void RunBody(Frame& f, const Block& b, Scope* extra) {
    Scope sc;
    if (extra) f.scopes.push_back(extra);
    Declare(f, sc, b.decls);
    f.scopes.push_back(&sc);
    struct Pop {
      Frame& f;
      bool extra;
      ~Pop() {
        f.scopes.pop_back();
        if (extra) f.scopes.pop_back();
      }
    } pop{f, extra != nullptr};
    try {
      RunStmts(f, b.body);
    } catch (Raised& r) {
      if (r.fatal) throw;
      for (const auto& h : b.handlers) {
        bool hit = false;
        for (const auto& n : h.names) hit = hit || Matches(f, n.first, r);
        if (!hit) continue;
        Raised caught = r;
        caught.stack.clear();
        f.handling.push_back(caught);
        struct PopH {
          Frame& f;
          ~PopH() { f.handling.pop_back(); }
        } poph{f};
        RunStmts(f, h.body);
        return;
      }
      throw;
    }
  }

  // The error text as the server returns it: the message, then the frames
  // from the innermost out. The server's message is at most 2K; a deeper
  // stack loses its outer frames, whole lines only.
  static constexpr size_t kMaxErrorText = 2048;
  static std::string Finish(const Raised& r) {
    std::string text = r.message;
    if (r.id.rfind("U:", 0) == 0) text = "ORA-06510: PL/SQL: unhandled user-defined exception";
    if (text.size() > kMaxErrorText) {
      size_t cut = text.rfind('\n', kMaxErrorText);
      text.resize(cut != std::string::npos && cut > 0 ? cut : kMaxErrorText);
    }
    for (const auto& s : r.stack) {
      if (text.size() + 1 + s.size() > kMaxErrorText) break;
      text += "\n" + s;
    }
    return text;
  }
  static int CodeOf(const Raised& r) {
    if (r.id.rfind("U:", 0) == 0) return 6510;
    if (r.id.rfind("ORA:", 0) == 0) return std::atoi(r.id.c_str() + 4);
    return 6502;
  }

  std::vector<std::unique_ptr<CursorState>> refCursors_;
  std::map<Var*, CursorState*> cursorVars_;
};

Interpreter::Interpreter(Host& host, SessionState& state, std::string user, Limits limits)
    : impl_(std::make_unique<Impl>(host, state, std::move(user), limits)) {}
Interpreter::~Interpreter() = default;

void Interpreter::RunBlock(std::string_view src, std::map<std::string, Val>& binds) {
  Impl& I = *impl_;
  I.deadline = std::chrono::steady_clock::now() + I.limits.timeLimit;
  const Dictionary& dict = I.host.DictFor(I.user);
  CompileResult cr = Compile(src, dict);
  if (!cr.errors.empty()) {
    std::string text;
    for (const auto& e : cr.errors) {
      if (!text.empty()) text += "\n";
      text += "ORA-06550: line " + std::to_string(e.line) + ", column " + std::to_string(e.col) + ":\n" + e.text;
    }
    throw PlsqlError(6550, text);
  }
  Ctx ctx;
  ctx.src = std::string(src);
  ctx.unit = std::make_shared<Unit>(Parse(ctx.src));
  Impl::Frame f;
  f.ctx = &ctx;
  f.binds = &binds;
  try {
    if (!ctx.unit->init) return;
    try {
      I.RunBody(f, *ctx.unit->init, nullptr);
    } catch (ReturnSignal&) {
    } catch (ExitSignal&) {
    }
  } catch (Raised& r) {
    if (!r.fatal || r.id != "ORA:6550") r.stack.push_back("ORA-06512: at line " + std::to_string(f.line));
    throw PlsqlError(Impl::CodeOf(r), Impl::Finish(r));
  }
}

void Interpreter::FireTrigger(const std::string& owner, const std::string& name, Val* newRow, Val* oldRow) {
  Impl& I = *impl_;
  if (I.depth == 0) I.deadline = std::chrono::steady_clock::now() + I.limits.timeLimit;
  std::string display = "'" + owner + "." + name + "'";
  if (!I.host.EnsureValid(owner, name, "TRIGGER"))
    throw PlsqlError(4098, "ORA-04098: trigger " + display + " is invalid and failed re-validation");
  auto ctx = I.LoadUnit(owner, name, "TRIGGER");
  if (!ctx || !ctx->unit->init) return;
  Impl::Frame f;
  f.ctx = ctx.get();
  f.newRow = newRow;
  f.oldRow = oldRow;
  f.newName = ctx->unit->trigger.newName;
  f.oldName = ctx->unit->trigger.oldName;
  try {
    if (ctx->unit->trigger.when && (newRow || oldRow)) {
      // WHEN names the rows without the colon.
      Scope rows;
      auto nv = std::make_shared<Var>();
      auto ov = std::make_shared<Var>();
      nv->v = newRow ? *newRow : Val::NewRecord();
      ov->v = oldRow ? *oldRow : Val::NewRecord();
      rows.vars[f.newName] = nv;
      rows.vars[f.oldName] = ov;
      f.scopes.push_back(&rows);
      bool fire = I.IsTrue(f, *ctx->unit->trigger.when);
      f.scopes.pop_back();
      if (!fire) return;
    }
    ++I.depth;
    struct Down {
      int& d;
      ~Down() { --d; }
    } down{I.depth};
    try {
      I.RunBody(f, *ctx->unit->init, nullptr);
    } catch (ReturnSignal&) {
    }
  } catch (Raised& r) {
    // Trigger lines count from the body (DECLARE or BEGIN), not from the header.
    int line = f.line - ctx->unit->toks[static_cast<size_t>(ctx->unit->init->tok)].line + 1;
    r.stack.push_back("ORA-06512: at \"" + ctx->display + "\", line " + std::to_string(line));
    r.stack.push_back("ORA-04088: error during execution of trigger " + display);
    throw PlsqlError(Impl::CodeOf(r), Impl::Finish(r));
  }
}

}  // namespace ocisim::plsql
