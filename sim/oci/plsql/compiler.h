// The compiler's front end: parses a unit and checks its names against the
// dictionary, giving the errors (in the server's order and words) and the
// objects the unit depends on.
#pragma once

#include "plsql/dictionary.h"
#include "plsql/parser.h"

#include <set>
#include <string>
#include <vector>

namespace ocisim::plsql {

struct CompileError {
  int line = 1, col = 1;
  std::string text;
};

struct CompileResult {
  std::vector<CompileError> errors;
  std::set<ObjectRef> deps;  // tables, views, sequences and units referenced
  std::string type;          // the unit's type as parsed (ANONYMOUS for a block)
};

// `owner` is the schema the unit belongs to (its names resolve there).
CompileResult Compile(std::string_view src, const Dictionary& dict);

// Parameters of a stored unit, for the checker of the callers (cached by the caller).
std::vector<SubprogramP> SubprogramsOf(const Unit& unit, const std::string& name);

}  // namespace ocisim::plsql
