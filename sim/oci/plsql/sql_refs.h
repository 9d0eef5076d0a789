// Names inside embedded SQL: which are tables (checked against the
// dictionary: ORA-00942), which are their columns (ORA-00904 otherwise), and
// which are PL/SQL variables that become bind variables when the statement runs.
#pragma once

#include "plsql/ast.h"
#include "plsql/dictionary.h"

#include <functional>
#include <optional>
#include <set>

namespace ocisim::plsql {

struct SqlRefs {
  struct Sub {
    int first, last;            // tokens [first, last) replaced by one bind
    std::vector<std::string> chain;  // the PL/SQL name: X, REC.FIELD, :NEW.X -> {":NEW", "X"}
  };
  std::vector<Sub> subs;
  std::set<ObjectRef> deps;
  // The first fault, with the token it is reported at.
  std::optional<std::pair<int, std::string>> error;  // "ORA-00942: table or view does not exist"
};

// How many leading parts of a dotted name are a PL/SQL variable in scope (0 if none).
using PlsqlNameLookup = std::function<int(const std::vector<std::string>& chain)>;

SqlRefs AnalyzeSql(const std::vector<Token>& toks, const SqlText& sql, const Dictionary& dict,
                   const PlsqlNameLookup& isPlsql);

// The statement text to run: the source between the SQL's tokens, INTO left
// out, PL/SQL names replaced by :PLSQL_B1, :PLSQL_B2 ... (in subs order).
// starts, when given, receives where each source token begins in the text.
std::string SqlToRun(std::string_view src, const std::vector<Token>& toks, const SqlText& sql, const SqlRefs& refs,
                     std::vector<std::pair<size_t, int>>* starts = nullptr);
// The source token at a byte offset of that text (the last one starting at or
// before it); endTok (the statement's ";") for the end of the text.
int SqlTokenAt(const std::vector<std::pair<size_t, int>>& starts, size_t offset, size_t textSize, int endTok);

}  // namespace ocisim::plsql
