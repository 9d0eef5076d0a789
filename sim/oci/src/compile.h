// The small compile step of stored program units: balanced parentheses and
// BEGIN/END, closed quotes and comments, a final END. What it cannot check
// (names, types, semantics) it accepts. Findings read like PL/SQL's PLS-00103.
#pragma once

#include <string>
#include <vector>

namespace ocisim {

struct CompileError {
  int line = 1;
  int position = 1;
  std::string text;
};

// `type` is the OBJECT_TYPE (PROCEDURE, PACKAGE BODY, TYPE ...); `lines` the
// source as ALL_SOURCE keeps it.
std::vector<CompileError> CompileUnit(const std::string& type, const std::vector<std::string>& lines);

}  // namespace ocisim
