// SQLite SQL from the Oracle syntax tree; see emit.h.
#include "sql/emit.h"

#include <algorithm>
#include <cctype>
#include <functional>
#include <map>
#include <set>

namespace ocisim::sql {
namespace {

// An Oracle function of the subset: the SQLite function that implements it,
// its argument counts and the type its result has.
struct FunctionInfo {
  const char* sqlite;
  int minArgs, maxArgs;  // maxArgs -1: any
  const char* type;      // "" when it depends on the arguments
  bool aggregate;
};

const std::map<std::string, FunctionInfo, std::less<>>& Functions() {
  static const std::map<std::string, FunctionInfo, std::less<>> table = {
      {"COUNT", {"count", 0, 1, "NUMBER", true}},
      {"SUM", {"sum", 1, 1, "NUMBER", true}},
      {"AVG", {"avg", 1, 1, "NUMBER", true}},
      {"MIN", {"min", 1, 1, "", true}},
      {"MAX", {"max", 1, 1, "", true}},
      {"NVL", {"ifnull", 2, 2, "", false}},
      {"COALESCE", {"coalesce", 2, -1, "", false}},
      {"LPAD", {"ora_lpad", 2, 3, "VARCHAR2", false}},
      {"RPAD", {"ora_rpad", 2, 3, "VARCHAR2", false}},
      {"LOWER", {"ora_lower", 1, 1, "VARCHAR2", false}},
      {"UPPER", {"ora_upper", 1, 1, "VARCHAR2", false}},
      {"INITCAP", {"ora_initcap", 1, 1, "VARCHAR2", false}},
      {"ROUND", {"ora_round", 1, 2, "", false}},
      {"TRUNC", {"ora_trunc", 1, 2, "", false}},
      {"TO_CHAR", {"ora_to_char", 1, 3, "VARCHAR2", false}},
      {"TO_DATE", {"ora_to_date", 1, 3, "DATE", false}},
      {"TO_NUMBER", {"ora_to_number", 1, 3, "NUMBER", false}},
      {"CHR", {"ora_chr", 1, 1, "VARCHAR2", false}},
      {"ASCII", {"ora_ascii", 1, 1, "NUMBER", false}},
      {"HEXTORAW", {"ora_hextoraw", 1, 1, "RAW", false}},
      {"RAWTOHEX", {"ora_rawtohex", 1, 1, "VARCHAR2", false}},
      {"TO_CLOB", {"ora_concat", 1, 1, "CLOB", false}},
      {"TO_NCLOB", {"ora_concat", 1, 1, "NCLOB", false}},
      {"SUBSTR", {"ora_substr", 2, 3, "VARCHAR2", false}},
      {"INSTR", {"ora_instr", 2, 4, "NUMBER", false}},
      {"LENGTH", {"ora_length", 1, 1, "NUMBER", false}},
      {"LTRIM", {"ora_ltrim", 1, 2, "VARCHAR2", false}},
      {"RTRIM", {"ora_rtrim", 1, 2, "VARCHAR2", false}},
      {"TRIM", {"ora_trim", 1, 1, "VARCHAR2", false}},
      {"REPLACE", {"ora_replace", 2, 3, "VARCHAR2", false}},
      {"GREATEST", {"ora_greatest", 1, -1, "", false}},
      {"LEAST", {"ora_least", 1, -1, "", false}},
      {"SIGN", {"ora_sign", 1, 1, "NUMBER", false}},
      {"MOD", {"ora_mod", 2, 2, "NUMBER", false}},
      {"ABS", {"ora_abs", 1, 1, "NUMBER", false}},
      {"FLOOR", {"ora_floor", 1, 1, "NUMBER", false}},
      {"CEIL", {"ora_ceil", 1, 1, "NUMBER", false}},
      {"POWER", {"ora_power", 2, 2, "NUMBER", false}},
      {"ADD_MONTHS", {"ora_add_months", 2, 2, "DATE", false}},
      {"MONTHS_BETWEEN", {"ora_months_between", 2, 2, "NUMBER", false}},
      {"LAST_DAY", {"ora_last_day", 1, 1, "DATE", false}},
      {"DECODE", {"", 3, -1, "", false}},
      {"NVL2", {"", 3, 3, "", false}},
  };
  return table;
}

constexpr char kBindOpen = '\x01';
constexpr char kBindClose = '\x02';

void SplitAnd(const Expr* e, std::vector<const Expr*>& out) {
  if (!e) return;
  if (e->kind == EK::Binary && e->text == "AND") {
    SplitAnd(e->args[0].get(), out);
    SplitAnd(e->args[1].get(), out);
  } else {
    out.push_back(e);
  }
}

// Visits e and its arguments, not descending into subqueries.
void Walk(const Expr& e, const std::function<void(const Expr&)>& fn) {
  fn(e);
  for (const auto& a : e.args) Walk(*a, fn);
}

bool HasAggregate(const Expr& e) {
  bool found = false;
  Walk(e, [&](const Expr& x) {
    if (x.kind == EK::Func) {
      auto it = Functions().find(x.text);
      if (it != Functions().end() && it->second.aggregate) found = true;
    }
  });
  return found;
}

bool IsConstant(const Expr& e) {
  bool constant = true;
  Walk(e, [&](const Expr& x) {
    if (x.kind != EK::Number && x.kind != EK::Bind && x.kind != EK::Unary && x.kind != EK::Binary &&
        x.kind != EK::Null)
      constant = false;
    if (x.kind == EK::Binary && x.text != "+" && x.text != "-" && x.text != "*" && x.text != "/") constant = false;
  });
  return constant;
}

// 'DD-MON-RR' or 'DD-MON-YYYY' literal, e.g. '01-JAN-81'.
bool LooksLikeDefaultDate(const Expr& e) {
  if (e.kind != EK::String) return false;
  const std::string& s = e.text;
  if (s.size() != 9 && s.size() != 11) return false;
  auto digit = [&](size_t i) { return std::isdigit(static_cast<unsigned char>(s[i])) != 0; };
  auto alpha = [&](size_t i) { return std::isalpha(static_cast<unsigned char>(s[i])) != 0; };
  if (!digit(0) || !digit(1) || s[2] != '-' || !alpha(3) || !alpha(4) || !alpha(5) || s[6] != '-') return false;
  for (size_t i = 7; i < s.size(); ++i)
    if (!digit(i)) return false;
  return true;
}

std::string Qualifier(const Expr& column) {
  return column.parts.size() >= 2 ? column.parts[column.parts.size() - 2] : std::string();
}

}  // namespace

std::string QuoteIdent(const std::string& name) {
  std::string out = "\"";
  for (char c : name) {
    out += c;
    if (c == '"') out += '"';
  }
  return out + "\"";
}

std::string QuoteString(const std::string& text) {
  std::string out = "'";
  for (char c : text) {
    out += c;
    if (c == '\'') out += '\'';
  }
  return out + "'";
}

std::string FinalizeBinds(const std::string& sql, std::vector<std::string>& binds) {
  std::string out;
  out.reserve(sql.size());
  for (size_t i = 0; i < sql.size(); ++i) {
    // A statement's own text (a literal, a quoted name) may hold the marker
    // bytes too: markers that span a quote or another opening marker are
    // that text, not a bind.
    size_t close = sql[i] == kBindOpen ? sql.find(kBindClose, i) : std::string::npos;
    if (close != std::string::npos && sql.find_first_of(std::string("'\"") + kBindOpen, i + 1) < close)
      close = std::string::npos;
    if (close != std::string::npos && close > i + 1) {
      binds.push_back(sql.substr(i + 1, close - i - 1));
      out += '?';
      i = close;
    } else {
      out += sql[i];
    }
  }
  return out;
}

std::string Emitter::ColumnRef(const std::vector<std::string>& parts) {
  if (!hierQualifier_.empty()) {
    if (parts.size() == 1) return hierQualifier_ + "." + QuoteIdent(parts[0]);
    if (parts[parts.size() - 2] == hierAlias_) return hierQualifier_ + "." + QuoteIdent(parts.back());
  }
  size_t first = parts.size() == 3 ? 1 : 0;
  std::string out;
  for (size_t i = first; i < parts.size(); ++i) {
    if (!out.empty()) out += '.';
    out += QuoteIdent(parts[i]);
  }
  return out;
}

std::string Emitter::TableName(TableRef& ref, bool withAlias) {
  std::string out;
  if (ref.subquery) {
    Emitter inner(catalog_, parser_);
    out = "(" + inner.EmitQuery(*ref.subquery) + ")";
    objects.insert(objects.end(), inner.objects.begin(), inner.objects.end());
    if (withAlias && !ref.alias.empty()) out += " AS " + QuoteIdent(ref.alias);
    return out;
  }
  if (ref.dbLink) throw MakeOraError(2019);
  ref.object = catalog_.Resolve(ref.owner, ref.name);
  objects.push_back(ref.object);
  out = ref.object.sqliteName;
  if (withAlias) out += " AS " + QuoteIdent(ref.alias);
  return out;
}

std::string Emitter::Func(const Expr& e) {
  auto it = Functions().find(e.text);
  if (it == Functions().end()) {
    // A stored function: the engine makes it known to SQLite under its name.
    bool stored = false;
    try {
      stored = !e.star && catalog_.Resolve(std::nullopt, e.text).kind == "FUNCTION";
    } catch (const OraError&) {
    }
    if (!stored) throw MakeOraError(904, {"\"" + e.text + "\""});
    bool plain = e.text.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_") == std::string::npos;
    std::string out = (plain ? e.text : QuoteIdent(e.text)) + "(";
    for (size_t i = 0; i < e.args.size(); ++i) out += (i ? ", " : "") + EmitExpr(*e.args[i]);
    return out + ")";
  }
  const FunctionInfo& f = it->second;
  int n = static_cast<int>(e.args.size());
  if (e.star) {
    if (e.text != "COUNT") throw MakeOraError(936);
    return "count(*)";
  }
  if (n < f.minArgs || (f.maxArgs >= 0 && n > f.maxArgs)) throw MakeOraError(909);
  if (e.distinct && !f.aggregate) throw MakeOraError(936);
  std::vector<std::string> args;
  for (const auto& a : e.args) args.push_back(EmitExpr(*a));
  if (e.text == "DECODE") {
    std::string out = "CASE";
    size_t i = 1;
    for (; i + 1 < args.size(); i += 2) out += " WHEN (" + args[0] + ") IS (" + args[i] + ") THEN " + args[i + 1];
    if (i < args.size()) out += " ELSE " + args[i];
    return out + " END";
  }
  if (e.text == "NVL2") return "CASE WHEN (" + args[0] + ") IS NOT NULL THEN " + args[1] + " ELSE " + args[2] + " END";
  if ((e.text == "GREATEST" || e.text == "LEAST") && n == 1) return args[0];
  std::string out = std::string(f.sqlite) + "(";
  if (e.distinct) out += "DISTINCT ";
  for (size_t i = 0; i < args.size(); ++i) out += (i ? ", " : "") + args[i];
  return out + ")";
}

std::string Emitter::EmitExpr(const Expr& e) {
  switch (e.kind) {
    case EK::Null:
      return "NULL";
    case EK::Number:
      return e.text;
    case EK::String:
      return QuoteString(e.text);
    case EK::Bind:
      return std::string(1, kBindOpen) + e.text + kBindClose;
    case EK::Column:
      return ColumnRef(e.parts);
    case EK::Star:
      if (e.parts.empty()) return "*";
      return QuoteIdent(e.parts.back()) + ".*";
    case EK::Func:
      return Func(e);
    case EK::Unary:
      if (e.text == "+") return EmitExpr(*e.args[0]);
      if (e.args[0]->kind == EK::Number) return "-" + e.args[0]->text;
      return "ora_mul(-1, " + EmitExpr(*e.args[0]) + ")";
    case EK::Binary: {
      const std::string& op = e.text;
      if (op == "||") {
        // Flatten a || b || c into one call.
        std::vector<const Expr*> items;
        std::function<void(const Expr&)> collect = [&](const Expr& x) {
          if (x.kind == EK::Binary && x.text == "||") {
            collect(*x.args[0]);
            collect(*x.args[1]);
          } else {
            items.push_back(&x);
          }
        };
        collect(e);
        // SQLite takes at most 127 arguments per call: long chains become
        // calls of calls (the concatenation is associative).
        constexpr size_t kMaxArgs = 100;
        std::vector<std::string> parts;
        for (const Expr* item : items) parts.push_back(EmitExpr(*item));
        while (parts.size() > kMaxArgs) {
          std::vector<std::string> grouped;
          for (size_t i = 0; i < parts.size(); i += kMaxArgs) {
            std::string call = "ora_concat(";
            for (size_t k = i; k < parts.size() && k < i + kMaxArgs; ++k) call += (k > i ? ", " : "") + parts[k];
            grouped.push_back(call + ")");
          }
          parts = std::move(grouped);
        }
        std::string out = "ora_concat(";
        for (size_t i = 0; i < parts.size(); ++i) out += (i ? ", " : "") + parts[i];
        return out + ")";
      }
      std::string l = EmitExpr(*e.args[0]), r = EmitExpr(*e.args[1]);
      if (op == "=" || op == "<>" || op == "<" || op == ">" || op == "<=" || op == ">=") {
        // A column compared with a literal in the default date form: Oracle
        // reads the literal as a date when the column is one.
        if (e.args[0]->kind == EK::Column && LooksLikeDefaultDate(*e.args[1])) r = "ora_implicit_date(" + l + ", " + r + ")";
        else if (e.args[1]->kind == EK::Column && LooksLikeDefaultDate(*e.args[0])) l = "ora_implicit_date(" + r + ", " + l + ")";
      }
      if (op == "+") return "ora_add(" + l + ", " + r + ")";
      if (op == "-") return "ora_sub(" + l + ", " + r + ")";
      if (op == "*") return "ora_mul(" + l + ", " + r + ")";
      if (op == "/") return "ora_div(" + l + ", " + r + ")";
      return "(" + l + " " + op + " " + r + ")";
    }
    case EK::Not:
      return "(NOT " + EmitExpr(*e.args[0]) + ")";
    case EK::IsNull:
      return "(" + EmitExpr(*e.args[0]) + (e.negated ? " IS NOT NULL)" : " IS NULL)");
    case EK::Like: {
      std::string out = "(" + EmitExpr(*e.args[0]) + (e.negated ? " NOT LIKE " : " LIKE ") + EmitExpr(*e.args[1]);
      if (e.args.size() > 2) out += " ESCAPE " + EmitExpr(*e.args[2]);
      return out + ")";
    }
    case EK::Between:
      return "(" + EmitExpr(*e.args[0]) + (e.negated ? " NOT BETWEEN " : " BETWEEN ") + EmitExpr(*e.args[1]) +
             " AND " + EmitExpr(*e.args[2]) + ")";
    case EK::InList: {
      std::string out = "(" + EmitExpr(*e.args[0]) + (e.negated ? " NOT IN (" : " IN (");
      for (size_t i = 1; i < e.args.size(); ++i) out += (i > 1 ? ", " : "") + EmitExpr(*e.args[i]);
      return out + "))";
    }
    case EK::InQuery: {
      Emitter inner(catalog_, parser_);
      std::string sub = inner.EmitQuery(*e.query);
      objects.insert(objects.end(), inner.objects.begin(), inner.objects.end());
      return "(" + EmitExpr(*e.args[0]) + (e.negated ? " NOT IN (" : " IN (") + sub + "))";
    }
    case EK::Exists:
    case EK::Subquery: {
      Emitter inner(catalog_, parser_);
      std::string sub = inner.EmitQuery(*e.query);
      objects.insert(objects.end(), inner.objects.begin(), inner.objects.end());
      if (e.kind == EK::Exists) return "EXISTS (" + sub + ")";
      // SQLite takes the first row of a scalar subquery; Oracle refuses more than one.
      return "ora_single((" + sub + "), (SELECT count(*) FROM (SELECT 1 FROM (" + sub + ") LIMIT 2)))";
    }
    case EK::Case: {
      std::string out = "CASE";
      size_t i = 0;
      if (e.hasOperand) out += " " + EmitExpr(*e.args[i++]);
      size_t whenEnd = e.args.size() - (e.hasElse ? 1 : 0);
      for (; i + 1 < whenEnd + 1 && i < whenEnd; i += 2)
        out += " WHEN " + EmitExpr(*e.args[i]) + " THEN " + EmitExpr(*e.args[i + 1]);
      if (e.hasElse) out += " ELSE " + EmitExpr(*e.args.back());
      return out + " END";
    }
    case EK::Prior: {
      if (!priorAllowed_) throw MakeOraError(976);
      std::string saved = hierQualifier_;
      hierQualifier_ = "\"__cb\"";
      std::string out = EmitExpr(*e.args[0]);
      hierQualifier_ = saved;
      return out;
    }
    case EK::Row: {
      std::string out = "(";
      for (size_t i = 0; i < e.args.size(); ++i) out += (i ? ", " : "") + EmitExpr(*e.args[i]);
      return out + ")";
    }
    case EK::Pseudo:
      if (e.text == "SYSDATE") return "ora_sysdate()";
      if (e.text == "USER") return QuoteString(catalog_.CurrentUser());
      if (e.text == "UID") return std::to_string(catalog_.CurrentUserId());
      if (e.text == "LEVEL") {
        if (levelExpr_.empty()) throw MakeOraError(1788);
        return levelExpr_;
      }
      if (e.text == "ROWNUM") {
        if (inWhere_) throw MakeOraError(3001);
        return "row_number() OVER ()";
      }
      if (e.text == "ROWID") return e.parts.empty() ? "rowid" : QuoteIdent(e.parts.back()) + ".rowid";
      throw MakeOraError(904, {"\"" + e.text + "\""});
    case EK::Sequence: {
      std::optional<std::string> owner;
      if (e.parts.size() == 2) owner = e.parts[0];
      ResolvedObject obj;
      try {
        obj = catalog_.Resolve(owner, e.parts.back());
      } catch (const OraError& err) {
        if (err.code == 942) throw MakeOraError(2289);
        throw;
      }
      if (obj.kind != "SEQUENCE") throw MakeOraError(2289);
      return std::string(e.text == "NEXTVAL" ? "ora_nextval(" : "ora_currval(") + QuoteString(obj.owner) + ", " +
             QuoteString(obj.name) + ")";
    }
  }
  throw MakeOraError(900);
}

std::string Emitter::EmitCondition(const Expr& e) {
  bool saved = inWhere_;
  inWhere_ = true;
  std::string out = EmitExpr(e);
  inWhere_ = saved;
  return out;
}

std::string Emitter::TypeHint(const Expr& e) const {
  switch (e.kind) {
    case EK::Number:
      return "NUMBER";
    case EK::String:
      return "VARCHAR2";
    case EK::Pseudo:
      if (e.text == "SYSDATE") return "DATE";
      if (e.text == "USER") return "VARCHAR2";
      if (e.text == "ROWID") return "ROWID";
      return "NUMBER";
    case EK::Func: {
      if (e.text == "DECODE" && e.args.size() >= 3) return TypeHint(*e.args[2]);
      if ((e.text == "NVL" || e.text == "COALESCE" || e.text == "GREATEST" || e.text == "LEAST" || e.text == "MIN" ||
           e.text == "MAX") &&
          !e.args.empty())
        return TypeHint(*e.args[0]);
      if (e.text == "NVL2") return TypeHint(*e.args[1]);
      if (e.text == "ROUND" || e.text == "TRUNC") {
        std::string inner = e.args.empty() ? "" : TypeHint(*e.args[0]);
        return inner.empty() ? "" : inner;
      }
      auto it = Functions().find(e.text);
      return it == Functions().end() ? "" : it->second.type;
    }
    case EK::Unary:
      return "NUMBER";
    case EK::Binary: {
      if (e.text == "||") return "VARCHAR2";
      std::string l = TypeHint(*e.args[0]), r = TypeHint(*e.args[1]);
      if (e.text == "+" && (l == "DATE" || r == "DATE")) return "DATE";
      if (e.text == "-" && l == "DATE") return r == "DATE" ? "NUMBER" : (r == "NUMBER" ? "DATE" : "");
      if (e.text == "*" || e.text == "/" || ((e.text == "+" || e.text == "-") && l == "NUMBER" && r == "NUMBER"))
        return "NUMBER";
      return "";
    }
    case EK::Case:
      return e.args.size() >= 2 ? TypeHint(*e.args[e.hasOperand ? 2 : 1]) : "";
    case EK::Sequence:
      return "NUMBER";
    default:
      return "";
  }
}

SelectColumn Emitter::Column(const SelectItem& item) const {
  SelectColumn c;
  const Expr& e = *item.expr;
  if (e.kind == EK::Star) {
    c.star = true;
    c.name = "*";
    return c;
  }
  if (!item.alias.empty()) c.name = item.alias;
  else if (e.kind == EK::Column) c.name = e.parts.back();
  else c.name = parser_.ExpressionName(item.begin, item.end);
  c.typeHint = TypeHint(e);
  return c;
}

std::string Emitter::FromClause(Select& s, std::vector<const Expr*>& conjuncts) {
  // Conditions that carry (+) markers become the ON clause of a LEFT JOIN of
  // the table they mark.
  std::map<size_t, std::vector<const Expr*>> outerConds;
  bool ansi = std::any_of(s.from.begin(), s.from.end(), [](const FromItem& f) { return !f.join.empty(); });
  auto indexOf = [&](const std::string& alias) -> std::optional<size_t> {
    for (size_t i = 0; i < s.from.size(); ++i)
      if (s.from[i].ref.alias == alias) return i;
    return std::nullopt;
  };
  for (auto it = conjuncts.begin(); it != conjuncts.end();) {
    std::set<std::string> marked;
    bool underOr = false;
    std::function<void(const Expr&, bool)> visit = [&](const Expr& x, bool inOr) {
      if (x.kind == EK::Column && x.outer) {
        marked.insert(Qualifier(x));
        if (inOr) underOr = true;
      }
      bool orHere = inOr || (x.kind == EK::Binary && x.text == "OR") || x.kind == EK::InList;
      for (const auto& a : x.args) visit(*a, orHere);
    };
    visit(**it, false);
    if (marked.empty()) {
      ++it;
      continue;
    }
    if (ansi) throw MakeOraError(25156);
    if (underOr) throw MakeOraError(1719);
    if (marked.size() > 1) throw MakeOraError(1468);
    std::string q = *marked.begin();
    std::optional<size_t> idx;
    if (q.empty()) {
      if (s.from.size() == 1) idx = 0;
      else throw MakeOraError(3001);
    } else {
      idx = indexOf(q);
      if (!idx) throw MakeOraError(904, {"\"" + q + "\""});
    }
    outerConds[*idx].push_back(*it);
    it = conjuncts.erase(it);
  }

  std::vector<std::string> names;
  for (auto& item : s.from) names.push_back(TableName(item.ref));
  if (outerConds.empty()) {
    std::string out;
    for (size_t i = 0; i < s.from.size(); ++i) {
      const FromItem& f = s.from[i];
      if (i == 0) {
        out = names[i];
        continue;
      }
      if (f.join.empty()) {
        out += ", " + names[i];
        continue;
      }
      out += " " + f.join + " " + names[i];
      if (f.on) out += " ON " + EmitExpr(*f.on);
      if (!f.usingColumns.empty()) {
        out += " USING (";
        for (size_t k = 0; k < f.usingColumns.size(); ++k) out += (k ? ", " : "") + QuoteIdent(f.usingColumns[k]);
        out += ")";
      }
    }
    return out;
  }
  std::string out;
  for (size_t i = 0; i < s.from.size(); ++i) {
    if (outerConds.count(i)) continue;
    out += (out.empty() ? "" : ", ") + names[i];
  }
  // Outer tables whose conditions name another outer table come after it.
  std::set<size_t> done, active;
  std::function<void(size_t)> place = [&](size_t i) {
    if (done.count(i)) return;
    if (active.count(i)) throw MakeOraError(1416);
    active.insert(i);
    for (const Expr* c : outerConds[i]) {
      Walk(*c, [&](const Expr& x) {
        if (x.kind != EK::Column) return;
        std::string q = Qualifier(x);
        if (q.empty()) return;
        auto dep = indexOf(q);
        if (dep && *dep != i && outerConds.count(*dep)) place(*dep);
      });
    }
    active.erase(i);
    done.insert(i);
    std::string on;
    for (const Expr* c : outerConds[i]) on += (on.empty() ? "" : " AND ") + EmitExpr(*c);
    out += " LEFT JOIN " + names[i] + " ON " + on;
  };
  for (auto& [i, conds] : outerConds) place(i);
  // Every table outer-joined (and no loop between them): there is nothing to join to.
  if (outerConds.size() == s.from.size()) throw MakeOraError(3001);
  return out;
}

std::string Emitter::OrderBy(Query& q) {
  if (q.orderBy.empty() || q.siblings) return "";
  std::string out = " ORDER BY ";
  for (size_t i = 0; i < q.orderBy.size(); ++i) {
    const OrderItem& o = q.orderBy[i];
    bool nullsFirst = o.nullsFirst.value_or(o.desc);
    out += (i ? ", " : "") + EmitExpr(*o.expr) + (o.desc ? " DESC" : " ASC") + (nullsFirst ? " NULLS FIRST" : " NULLS LAST");
  }
  return out;
}

namespace {

// Takes the "ROWNUM <= n" style conditions out of the list and returns the
// SQLite LIMIT expression they amount to ("" when there are none).
std::string TakeRownumLimit(std::vector<const Expr*>& conjuncts, Emitter& em) {
  std::string limit;
  for (auto it = conjuncts.begin(); it != conjuncts.end();) {
    const Expr& c = **it;
    bool isCmp = c.kind == EK::Binary &&
                 (c.text == "<=" || c.text == "<" || c.text == "=" || c.text == ">=" || c.text == ">");
    auto isRownum = [](const Expr& x) { return x.kind == EK::Pseudo && x.text == "ROWNUM"; };
    if (!isCmp || !(isRownum(*c.args[0]) || isRownum(*c.args[1]))) {
      ++it;
      continue;
    }
    std::string op = c.text;
    const Expr* other = c.args[1].get();
    if (isRownum(*c.args[1])) {
      other = c.args[0].get();
      static const std::map<std::string, std::string> flip = {{"<=", ">="}, {"<", ">"}, {">=", "<="}, {">", "<"}, {"=", "="}};
      op = flip.at(op);
    }
    if (!IsConstant(*other)) throw MakeOraError(3001);
    std::string value;
    if (other->kind == EK::Number) {
      double v = std::stod(other->text);
      long long n = 0;
      if (op == "<=") n = static_cast<long long>(v);
      else if (op == "<") n = static_cast<long long>(v) == v ? static_cast<long long>(v) - 1 : static_cast<long long>(v);
      else if (op == "=" && v == 1) n = 1;
      else if ((op == ">=" && v <= 1) || (op == ">" && v < 1)) {
        it = conjuncts.erase(it);  // always true
        continue;
      } else if (op == "=" || op == ">" || op == ">=") {
        n = 0;  // ROWNUM never gets past 1 when row 1 is rejected
      }
      value = std::to_string(std::max(0LL, n));
    } else {
      std::string e = em.EmitExpr(*other);
      if (op == "<=") value = "max(0, CAST(" + e + " AS INTEGER))";
      else if (op == "<") value = "max(0, CAST(ora_ceil(" + e + ") AS INTEGER) - 1)";
      else throw MakeOraError(3001);
    }
    limit = limit.empty() ? value : "min(" + limit + ", " + value + ")";
    it = conjuncts.erase(it);
  }
  return limit;
}

}  // namespace

// Oracle refuses select-list columns that are neither grouped nor inside a
// group function; SQLite would pick a value from some row instead.
void Emitter::CheckGrouping(const Select& s) const {
  bool aggregate = s.having != nullptr;
  for (const auto& item : s.items) aggregate = aggregate || HasAggregate(*item.expr);
  if (!aggregate && s.groupBy.empty()) return;
  std::vector<std::string> groupTexts;
  std::vector<const Expr*> groupColumns;
  for (const auto& g : s.groupBy) {
    groupTexts.push_back(parser_.ExpressionText(g->begin, g->end));
    if (g->kind == EK::Column) groupColumns.push_back(g.get());
  }
  auto grouped = [&](const Expr& c) {
    for (const Expr* g : groupColumns) {
      if (g->parts.back() != c.parts.back()) continue;
      std::string qa = Qualifier(*g), qb = Qualifier(c);
      if (qa.empty() || qb.empty() || qa == qb) return true;
    }
    return false;
  };
  // Column references outside group functions (not descending into subqueries).
  std::function<bool(const Expr&)> ok = [&](const Expr& e) -> bool {
    if (std::find(groupTexts.begin(), groupTexts.end(), parser_.ExpressionText(e.begin, e.end)) != groupTexts.end())
      return true;
    if (e.kind == EK::Func) {
      auto it = Functions().find(e.text);
      if (it != Functions().end() && it->second.aggregate) return true;
    }
    if (e.kind == EK::Column) return grouped(e);
    if (e.kind == EK::Star) return false;
    for (const auto& a : e.args)
      if (!ok(*a)) return false;
    return true;
  };
  for (const auto& item : s.items)
    if (!ok(*item.expr)) throw MakeOraError(s.groupBy.empty() ? 937 : 979);
  if (s.having && !ok(*s.having)) throw MakeOraError(979);
}

std::string Emitter::Block(Select& s, Query& q, bool ownsOrder, std::string* limitOut) {
  if (s.connectBy) return Hierarchical(s, q, limitOut);
  CheckGrouping(s);
  std::vector<const Expr*> conjuncts;
  SplitAnd(s.where.get(), conjuncts);
  std::string limit = TakeRownumLimit(conjuncts, *this);
  std::string cutFrom;  // FROM clause when ROWNUM cuts rows before grouping
  if (!limit.empty()) {
    bool grouped = s.distinct || !s.groupBy.empty() || s.having;
    for (const auto& item : s.items) grouped = grouped || HasAggregate(*item.expr);
    if (grouped) {
      // Oracle numbers the rows before grouping: cut them in a derived table.
      // Only a single source keeps its column names that way.
      if (s.from.size() != 1 || !s.from[0].join.empty()) throw MakeOraError(3001);
      std::string inner = "SELECT * FROM " + TableName(s.from[0].ref);
      if (!conjuncts.empty()) {
        inWhere_ = true;
        inner += " WHERE ";
        for (size_t i = 0; i < conjuncts.size(); ++i) inner += (i ? " AND " : "") + EmitExpr(*conjuncts[i]);
        inWhere_ = false;
      }
      inner += " LIMIT " + limit;
      cutFrom = "(" + inner + ")";
      if (!s.from[0].ref.alias.empty()) cutFrom += " AS " + QuoteIdent(s.from[0].ref.alias);
      conjuncts.clear();
      limit.clear();
    }
  }
  std::string sql = "SELECT ";
  if (s.distinct) sql += "DISTINCT ";
  for (size_t i = 0; i < s.items.size(); ++i) {
    const SelectItem& item = s.items[i];
    sql += i ? ", " : "";
    sql += EmitExpr(*item.expr);
    if (item.expr->kind != EK::Star) sql += " AS " + QuoteIdent(Column(item).name);
  }
  sql += " FROM " + (cutFrom.empty() ? FromClause(s, conjuncts) : cutFrom);
  if (!conjuncts.empty()) {
    inWhere_ = true;
    sql += " WHERE ";
    for (size_t i = 0; i < conjuncts.size(); ++i) sql += (i ? " AND " : "") + EmitExpr(*conjuncts[i]);
    inWhere_ = false;
  }
  if (!s.groupBy.empty()) {
    sql += " GROUP BY ";
    for (size_t i = 0; i < s.groupBy.size(); ++i) sql += (i ? ", " : "") + EmitExpr(*s.groupBy[i]);
  }
  if (s.having) {
    inWhere_ = true;
    sql += " HAVING " + EmitExpr(*s.having);
    inWhere_ = false;
  }
  if (ownsOrder) {
    if (q.siblings) throw MakeOraError(30929);
    sql += OrderBy(q);
    if (!limit.empty()) sql += " LIMIT " + limit;
  } else {
    *limitOut = limit;
  }
  return sql;
}

std::string Emitter::Hierarchical(Select& s, Query& q, std::string* limitOut) {
  if (s.from.size() != 1 || !s.groupBy.empty() || s.having || s.nocycle) throw MakeOraError(3001);
  for (const auto& item : s.items)
    if (item.expr->kind == EK::Star) throw MakeOraError(3001);
  if (limitOut == nullptr || q.selects.size() != 1) throw MakeOraError(3001);
  TableRef& ref = s.from[0].ref;
  std::string src = TableName(ref, false);
  std::string alias = ref.alias.empty() ? "__src" : ref.alias;
  std::string qa = QuoteIdent(alias);

  std::vector<const Expr*> keys;
  Walk(*s.connectBy, [&](const Expr& x) {
    if (x.kind == EK::Prior) keys.push_back(x.args[0].get());
  });
  auto withContext = [&](const std::string& qualifier, const std::string& level, bool prior, auto fn) {
    std::string savedQ = hierQualifier_, savedA = hierAlias_, savedL = levelExpr_;
    bool savedP = priorAllowed_;
    hierQualifier_ = qualifier;
    hierAlias_ = alias;
    levelExpr_ = level;
    priorAllowed_ = prior;
    std::string out = fn();
    hierQualifier_ = savedQ;
    hierAlias_ = savedA;
    levelExpr_ = savedL;
    priorAllowed_ = savedP;
    return out;
  };
  const std::string childLevel = "(\"__cb\".\"__lvl\" + 1)";
  auto keyList = [&](const std::string& level) {
    return withContext(qa, level, false, [&] {
      std::string out;
      for (const Expr* k : keys) out += ", " + EmitExpr(*k);
      return out;
    });
  };
  std::vector<std::string> siblingOrder;
  auto siblingCols = [&](const std::string& level) {
    return withContext(qa, level, false, [&] {
      std::string out;
      if (!q.siblings) return out;
      for (size_t i = 0; i < q.orderBy.size(); ++i) out += ", " + EmitExpr(*q.orderBy[i].expr) + " AS \"__s" + std::to_string(i) + "\"";
      return out;
    });
  };
  std::string cte = "WITH RECURSIVE \"__cb\" AS (SELECT " + qa + ".*, 1 AS \"__lvl\", ora_cb_path(NULL, 1" + keyList("1") +
                    ") AS \"__path\"" + siblingCols("1") + " FROM " + src + " AS " + qa;
  if (s.startWith) cte += " WHERE " + withContext(qa, "1", false, [&] { return EmitExpr(*s.startWith); });
  cte += " UNION ALL SELECT " + qa + ".*, " + childLevel + ", ora_cb_path(\"__cb\".\"__path\", " + childLevel +
         keyList(childLevel) + ")" + siblingCols(childLevel) + " FROM " + src + " AS " + qa + " JOIN \"__cb\" ON " +
         withContext(qa, childLevel, true, [&] { return EmitExpr(*s.connectBy); });
  cte += " ORDER BY \"__lvl\" DESC";
  if (q.siblings) {
    for (size_t i = 0; i < q.orderBy.size(); ++i) {
      const OrderItem& o = q.orderBy[i];
      bool nullsFirst = o.nullsFirst.value_or(o.desc);
      cte += ", \"__s" + std::to_string(i) + "\"" + (o.desc ? " DESC" : " ASC") + (nullsFirst ? " NULLS FIRST" : " NULLS LAST");
    }
  }
  cte += ")";

  std::vector<const Expr*> conjuncts;
  SplitAnd(s.where.get(), conjuncts);
  std::string sql;
  withContext("", qa + ".\"__lvl\"", false, [&] {
    std::string limit = TakeRownumLimit(conjuncts, *this);
    sql = cte + " SELECT ";
    if (s.distinct) sql += "DISTINCT ";
    for (size_t i = 0; i < s.items.size(); ++i) {
      sql += (i ? ", " : "") + EmitExpr(*s.items[i].expr) + " AS " + QuoteIdent(Column(s.items[i]).name);
    }
    sql += " FROM \"__cb\" AS " + qa;
    if (!conjuncts.empty()) {
      inWhere_ = true;
      sql += " WHERE ";
      for (size_t i = 0; i < conjuncts.size(); ++i) sql += (i ? " AND " : "") + EmitExpr(*conjuncts[i]);
      inWhere_ = false;
    }
    sql += OrderBy(q);
    if (!limit.empty()) sql += " LIMIT " + limit;
    return std::string();
  });
  return sql;
}

std::string Emitter::EmitQuery(Query& q, std::vector<SelectColumn>* columns) {
  if (columns) {
    for (const auto& item : q.selects[0].items) columns->push_back(Column(item));
  }
  if (q.selects.size() == 1) {
    std::string limit;
    return Block(q.selects[0], q, true, &limit);
  }
  if (q.siblings) throw MakeOraError(30929);
  for (auto& s : q.selects)
    if (s.connectBy) throw MakeOraError(3001);
  size_t width = q.selects[0].items.size();
  std::string sql;
  for (size_t i = 0; i < q.selects.size(); ++i) {
    Select& s = q.selects[i];
    bool star = std::any_of(s.items.begin(), s.items.end(), [](const SelectItem& it) { return it.expr->kind == EK::Star; });
    if (!star && s.items.size() != width) throw MakeOraError(1789);
    std::string limit;
    std::string part = Block(s, q, false, &limit);
    if (!limit.empty()) part = "SELECT * FROM (" + part + " LIMIT " + limit + ")";
    if (i) {
      const std::string& op = q.ops[i - 1];
      sql += " " + (op == "MINUS" ? std::string("EXCEPT") : op) + " ";
    }
    sql += part;
  }
  return sql + OrderBy(q);
}

}  // namespace ocisim::sql
