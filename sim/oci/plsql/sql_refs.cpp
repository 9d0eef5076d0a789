// Names inside embedded SQL: see sql_refs.h.
#include "plsql/sql_refs.h"

#include "plsql/builtins.h"

namespace ocisim::plsql {
namespace {

const std::set<std::string> kSqlWords = {
    "SELECT", "FROM", "WHERE", "AND", "OR", "NOT", "NULL", "IS", "IN", "LIKE", "BETWEEN", "EXISTS", "GROUP", "BY",
    "ORDER", "HAVING", "UNION", "ALL", "INTERSECT", "MINUS", "DISTINCT", "AS", "ASC", "DESC", "INSERT", "INTO",
    "VALUES", "UPDATE", "SET", "DELETE", "MERGE", "USING", "ON", "WHEN", "MATCHED", "THEN", "ELSE", "END", "CASE",
    "JOIN", "INNER", "LEFT", "RIGHT", "FULL", "OUTER", "CROSS", "NATURAL", "CONNECT", "PRIOR", "START", "WITH",
    "LEVEL", "ROWNUM", "ROWID", "SYSDATE", "SYSTIMESTAMP", "USER", "UID", "TRUE", "FALSE", "FOR", "NOWAIT", "OF",
    "ESCAPE", "ANY", "SOME", "LOCK", "TABLE", "SHARE", "EXCLUSIVE", "MODE", "ROW", "NULLS", "FIRST", "LAST",
    "DEFAULT", "RETURNING", "TRANSACTION", "READ", "ONLY", "WRITE", "ISOLATION", "SERIALIZABLE", "COMMITTED",
    "NEXTVAL", "CURRVAL", "DATE", "INTERVAL", "TIMESTAMP", "WAIT", "SKIP", "LOCKED", "BULK", "COLLECT", "SIBLINGS",
    "DAY", "MONTH", "YEAR", "HOUR", "MINUTE", "SECOND", "OVER", "PARTITION", "ROWS", "RANGE", "UNBOUNDED",
    "PRECEDING", "FOLLOWING", "CURRENT", "NOCYCLE", "SEGMENT", "NAME", "CURRENT_DATE"};

// Words after a table name that are not its alias.
bool EndsTableRef(const Token& k) {
  static const std::set<std::string> w = {"WHERE", "SET", "JOIN", "ON", "GROUP", "ORDER", "INNER", "LEFT", "RIGHT",
                                          "FULL", "CROSS", "NATURAL", "UNION", "CONNECT", "START", "VALUES", "HAVING",
                                          "MINUS", "INTERSECT", "WHEN", "USING", "FOR", "SELECT", "RETURNING", "IN",
                                          "WITH", "PARTITION", "LOG", "SAMPLE", "OUTER"};
  return k.type != T::Ident || w.count(k.text) != 0;
}

bool IsNameTok(const Token& k) { return k.type == T::Ident || k.type == T::QuotedIdent; }

}  // namespace

SqlRefs AnalyzeSql(const std::vector<Token>& toks, const SqlText& sql, const Dictionary& dict,
                   const PlsqlNameLookup& isPlsql) {
  SqlRefs r;
  struct Table {
    ObjectRef obj;
    std::string alias;
    std::vector<std::string> columns;
  };
  std::vector<Table> tables;
  std::set<int> skip;  // tokens already understood (table names and aliases)
  auto inInto = [&](int j) { return sql.intoFirst >= 0 && j >= sql.intoFirst && j < sql.intoLast; };
  auto fail = [&](int tok, const std::string& text) {
    if (!r.error) r.error = std::make_pair(tok, text);
  };
  const std::string verb = toks[sql.first].text;

  // Tables: after FROM, JOIN, UPDATE, INSERT INTO, DELETE [FROM], MERGE INTO, USING.
  for (int j = sql.first; j < sql.last; ++j) {
    if (inInto(j) || toks[j].type != T::Ident) continue;
    const std::string& w = toks[j].text;
    bool start = w == "FROM" || w == "JOIN" || (w == "UPDATE" && j == sql.first) ||
                 (w == "INTO" && (verb == "INSERT" || verb == "MERGE")) ||
                 (w == "DELETE" && j == sql.first && j + 1 < sql.last && !toks[j + 1].Is("FROM")) ||
                 (w == "USING" && verb == "MERGE") || (w == "TABLE" && verb == "LOCK");
    if (!start) continue;
    bool list = w == "FROM";
    int k = j + 1;
    for (;;) {
      if (k >= sql.last) break;
      if (toks[k].IsOp("(")) {
        int depth = 0;
        do {
          if (toks[k].IsOp("(")) ++depth;
          if (toks[k].IsOp(")")) --depth;
          ++k;
        } while (k < sql.last && depth > 0);
      } else if (IsNameTok(toks[k])) {
        int nameTok = k;
        std::optional<std::string> owner;
        std::string name = toks[k].text;
        skip.insert(k);
        if (k + 2 < sql.last && toks[k + 1].IsOp(".") && IsNameTok(toks[k + 2])) {
          owner = name;
          name = toks[k + 2].text;
          nameTok = k + 2;
          skip.insert(k + 1);
          skip.insert(k + 2);
          k += 2;
        }
        ++k;
        if (k < sql.last && toks[k].IsOp("@")) {
          skip.insert(k);
          ++k;
          while (k < sql.last && (IsNameTok(toks[k]) || toks[k].IsOp("."))) skip.insert(k++);
        }
        Table t;
        auto obj = dict.Resolve(owner, name);
        if (!obj || (obj->type != "TABLE" && obj->type != "VIEW")) {
          fail(nameTok, "ORA-00942: table or view does not exist");
        } else {
          t.obj = *obj;
          t.columns = dict.Columns(*obj);
          r.deps.insert(*obj);
        }
        t.alias = name;
        if (k < sql.last && IsNameTok(toks[k]) && !EndsTableRef(toks[k]) && !inInto(k)) {
          if (toks[k].Is("AS")) skip.insert(k++);
          if (k < sql.last && IsNameTok(toks[k])) {
            t.alias = toks[k].text;
            skip.insert(k++);
          }
        }
        tables.push_back(t);
      } else {
        break;
      }
      if (list && k < sql.last && toks[k].IsOp(",")) {
        ++k;
        continue;
      }
      break;
    }
  }
  if (r.error) return r;

  auto columnOf = [&](const Table& t, const std::string& c) {
    for (const auto& x : t.columns)
      if (x == c) return true;
    return false;
  };
  std::set<std::string> aliases;  // column aliases of the select list
  for (int j = sql.first; j < sql.last; ++j) {
    if (inInto(j) || skip.count(j)) continue;
    const Token& k = toks[j];
    if (k.type == T::Bind) {
      // :NEW.X in a trigger body.
      if (j + 2 < sql.last && toks[j + 1].IsOp(".") && IsNameTok(toks[j + 2])) {
        r.subs.push_back({j, j + 3, {":" + k.text, toks[j + 2].text}});
        j += 2;
      } else {
        // A placeholder of the block itself.
        r.subs.push_back({j, j + 1, {":" + k.text}});
      }
      continue;
    }
    if (!IsNameTok(k)) continue;
    if (j > sql.first && toks[j - 1].IsOp(".")) continue;
    std::vector<std::string> chain{k.text};
    int e = j + 1;
    while (e + 1 < sql.last && toks[e].IsOp(".") && IsNameTok(toks[e + 1])) {
      chain.push_back(toks[e + 1].text);
      e += 2;
    }
    bool call = e < sql.last && toks[e].IsOp("(");
    const Token* prev = j > sql.first ? &toks[j - 1] : nullptr;
    if (prev && inInto(j - 1)) prev = nullptr;
    if (k.type == T::Ident && chain.size() == 1 && kSqlWords.count(k.text) && !call) continue;
    if (k.type == T::Ident && chain.size() == 1 && (kSqlWords.count(k.text) || IsSqlFunction(k.text)) && call) continue;
    // A column alias: right after an expression, or after AS.
    if (chain.size() == 1 && prev &&
        (prev->Is("AS") || prev->Is("END") || prev->type == T::Number || prev->type == T::String || prev->IsOp(")") ||
         (IsNameTok(*prev) && !(prev->type == T::Ident && kSqlWords.count(prev->text))))) {
      aliases.insert(k.text);
      continue;
    }
    int plsqlParts = isPlsql ? isPlsql(chain) : 0;
    bool known = false;
    if (chain.size() == 1) {
      for (const auto& t : tables)
        if (columnOf(t, chain[0])) known = true;
      if (!known && aliases.count(chain[0])) known = true;
    } else {
      for (const auto& t : tables)
        if (t.alias == chain[0] || t.obj.name == chain[0]) {
          if (!t.columns.empty() && !columnOf(t, chain[1])) {
            fail(j + 2, "ORA-00904: \"" + chain[0] + "\".\"" + chain[1] + "\": invalid identifier");
          }
          known = true;
        }
      if (!known && chain.size() >= 2 && (chain[1] == "NEXTVAL" || chain[1] == "CURRVAL")) {
        auto seq = dict.Resolve(std::nullopt, chain[0]);
        if (seq && seq->type == "SEQUENCE") {
          r.deps.insert(*seq);
          known = true;
        } else if (!plsqlParts) {
          fail(j, "ORA-02289: sequence does not exist");
          known = true;
        }
      }
      if (!known && chain.size() == 3 && (chain[2] == "NEXTVAL" || chain[2] == "CURRVAL")) known = true;
    }
    if (known) {
      j = e - 1;
      continue;
    }
    if (plsqlParts > 0) {
      int last = j + 2 * plsqlParts - 1;
      r.subs.push_back({j, last, std::vector<std::string>(chain.begin(), chain.begin() + plsqlParts)});
      j = last - 1;
      continue;
    }
    if (call || chain.size() >= 2) {
      // A stored function, possibly in a package or another schema.
      auto obj = dict.Resolve(std::nullopt, chain[0]);
      if (!obj && chain.size() >= 2 && dict.IsSchema(chain[0])) obj = dict.Resolve(chain[0], chain[1]);
      if (obj && (obj->type == "FUNCTION" || obj->type == "PACKAGE" || obj->type == "TABLE" || obj->type == "VIEW")) {
        r.deps.insert(*obj);
        j = e - 1;
        continue;
      }
      if (call) {
        // Functions of SQL the list above does not name are left to the SQL engine.
        j = e - 1;
        continue;
      }
    }
    if (chain.size() == 1) fail(j, "ORA-00904: \"" + chain[0] + "\": invalid identifier");
    else fail(j, "ORA-00904: \"" + chain[0] + "\".\"" + chain[1] + "\": invalid identifier");
    j = e - 1;
  }
  return r;
}

std::string SqlToRun(std::string_view src, const std::vector<Token>& toks, const SqlText& sql, const SqlRefs& refs,
                     std::vector<std::pair<size_t, int>>* starts) {
  std::string out;
  size_t pos = toks[sql.first].begin;
  size_t sub = 0, n = 0;
  for (int j = sql.first; j < sql.last;) {
    const bool into = sql.intoFirst >= 0 && j == sql.intoFirst;
    if (starts && !into) starts->push_back({out.size() + (toks[j].begin - pos), j});
    if (into) {
      out.append(src.substr(pos, toks[j].begin - pos));
      j = sql.intoLast;
      pos = j < static_cast<int>(toks.size()) ? toks[j].begin : src.size();
      out += " ";
      continue;
    }
    if (sub < refs.subs.size() && refs.subs[sub].first == j) {
      out.append(src.substr(pos, toks[j].begin - pos));
      out += ":PLSQL_B" + std::to_string(++n);
      j = refs.subs[sub].last;
      pos = toks[j - 1].end;
      ++sub;
      continue;
    }
    ++j;
  }
  size_t end = toks[sql.last - 1 >= sql.first ? sql.last - 1 : sql.first].end;
  if (end > pos) out.append(src.substr(pos, end - pos));
  return out;
}

int SqlTokenAt(const std::vector<std::pair<size_t, int>>& starts, size_t offset, size_t textSize, int endTok) {
  if (offset >= textSize || starts.empty()) return endTok;
  int at = starts.front().second;
  for (const auto& [o, tok] : starts) {
    if (o > offset) break;
    at = tok;
  }
  return at;
}

}  // namespace ocisim::plsql
