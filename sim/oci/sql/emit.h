// Turns the syntax tree into SQLite SQL with Oracle's semantics: Oracle
// functions become calls of the ora_* functions (functions.cpp), '||' and the
// arithmetic operators go through NULL- and date-aware helpers, (+) outer
// joins become LEFT JOINs, CONNECT BY becomes a recursive common table
// expression, ROWNUM becomes LIMIT or a row number. Object names are resolved
// through the Catalog; bind variables become '?' in order of emission.
#pragma once

#include <string>
#include <vector>

#include "sql/ast.h"
#include "sql/parser.h"

namespace ocisim::sql {

class Emitter {
 public:
  Emitter(const Catalog& catalog, const Parser& parser) : catalog_(catalog), parser_(parser) {}

  // A whole query; fills columns with the select list of its first block.
  std::string EmitQuery(Query& q, std::vector<SelectColumn>* columns = nullptr);
  std::string EmitExpr(const Expr& e);
  // A WHERE condition (ROWNUM is not allowed there outside a query's LIMIT form).
  std::string EmitCondition(const Expr& e);
  // Resolves and emits "<sqlite name> AS "ALIAS"" for a table reference.
  std::string TableName(TableRef& ref, bool withAlias = true);
  // The Oracle column name and type hint of a select-list item.
  SelectColumn Column(const SelectItem& item) const;
  std::string TypeHint(const Expr& e) const;

  std::vector<std::string> binds;
  std::vector<ResolvedObject> objects;

 private:
  std::string Block(Select& s, Query& q, bool ownsOrder, std::string* limit);
  std::string Hierarchical(Select& s, Query& q, std::string* limit);
  std::string FromClause(Select& s, std::vector<const Expr*>& whereConjuncts);
  std::string Func(const Expr& e);
  std::string ColumnRef(const std::vector<std::string>& parts);
  std::string OrderBy(Query& q);
  void CheckGrouping(const Select& s) const;

  const Catalog& catalog_;
  const Parser& parser_;
  // CONNECT BY emission context.
  std::string hierAlias_;        // alias of the hierarchical source: columns are requalified
  std::string hierQualifier_;    // qualifier to put on that source's columns ("" = none)
  std::string levelExpr_;        // what LEVEL reads as; empty: LEVEL not allowed
  bool priorAllowed_ = false;
  bool inWhere_ = false;
};

std::string QuoteIdent(const std::string& name);
// Replaces the bind markers the emitter writes by '?' and lists their names in order.
std::string FinalizeBinds(const std::string& sql, std::vector<std::string>& binds);
std::string QuoteString(const std::string& text);

}  // namespace ocisim::sql
