// Syntax tree of the Oracle SQL subset: expressions and queries. The parser
// (parser.cpp) builds it, the emitter (emit.cpp) turns it into SQLite SQL.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "sql/translate.h"

namespace ocisim::sql {

struct Query;
struct Expr;
using ExprP = std::unique_ptr<Expr>;
using QueryP = std::unique_ptr<Query>;

enum class EK {
  Null,      // NULL, and the literal ''
  Number,    // text
  String,    // text (never empty)
  Bind,      // text = name
  Column,    // parts (1-3), e.g. {"E","ENAME"}
  Star,      // parts = qualifier (may be empty): * or E.*
  Func,      // text = upper-cased name, args; distinct; star (COUNT(*))
  Unary,     // text = "-" or "+", args[0]
  Binary,    // text = operator (+ - * / || = <> < > <= >= AND OR), args[0..1]
  Not,       // args[0]
  IsNull,    // args[0]; negated = IS NOT NULL
  Like,      // args: value, pattern [, escape]; negated
  Between,   // args: value, low, high; negated
  InList,    // args: value, items...; negated
  InQuery,   // args[0] (a Row for multi-column IN), query; negated
  Exists,    // query
  Subquery,  // query (scalar)
  Case,      // args: [operand], when, then, when, then, ..., [else]; hasOperand, hasElse
  Prior,     // args[0]
  Row,       // (a, b) list
  Pseudo,    // text: LEVEL, ROWNUM, SYSDATE, USER, UID, ROWID(parts = qualifier)
  Sequence,  // parts = {owner?, name}, text = NEXTVAL/CURRVAL
};

struct Expr {
  EK kind;
  std::string text;
  std::vector<std::string> parts;
  std::vector<ExprP> args;
  QueryP query;
  bool outer = false;     // column followed by (+)
  bool negated = false;
  bool distinct = false;
  bool star = false;
  bool hasOperand = false, hasElse = false;
  size_t begin = 0, end = 0;  // source span (token indexes)
  int height = 1;             // levels below and including this node
  explicit Expr(EK k) : kind(k) {}
};

struct TableRef {
  std::optional<std::string> owner;
  std::string name;   // object name as written (upper-cased unless quoted)
  std::string alias;  // alias, or the object name
  std::optional<std::string> dbLink;
  QueryP subquery;    // derived table (then name is empty)
  ResolvedObject object;
};

struct FromItem {
  TableRef ref;
  std::string join;  // "" for the first item or a comma; else "JOIN", "LEFT JOIN", "CROSS JOIN", ...
  ExprP on;
  std::vector<std::string> usingColumns;
};

struct SelectItem {
  ExprP expr;
  std::string alias;  // empty: none
  size_t begin = 0, end = 0;
};

struct OrderItem {
  ExprP expr;
  bool desc = false;
  std::optional<bool> nullsFirst;
};

struct Select {
  bool distinct = false;
  std::vector<SelectItem> items;
  std::vector<FromItem> from;
  ExprP where;
  ExprP startWith, connectBy;
  bool nocycle = false;
  std::vector<ExprP> groupBy;
  ExprP having;
};

struct Query {
  std::vector<Select> selects;  // joined by ops
  std::vector<std::string> ops;  // UNION, UNION ALL, MINUS, INTERSECT
  std::vector<OrderItem> orderBy;
  bool siblings = false;
  bool forUpdate = false;
};

}  // namespace ocisim::sql
