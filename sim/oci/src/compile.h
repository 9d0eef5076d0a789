// The compile step of stored program units. Procedures, functions, packages
// and triggers go through the PL/SQL front end (sim/oci/plsql): syntax, names
// against the dictionary, embedded SQL; object types keep the small shape
// check (balanced parentheses and BEGIN/END, closed quotes, a final END).
#pragma once

#include "plsql/dictionary.h"

#include <sqlite3.h>

#include <string>
#include <vector>

namespace ocisim {

struct CompileError {
  int line = 1;
  int position = 1;
  std::string text;
};

// The shape check alone. `type` is the OBJECT_TYPE (PROCEDURE, PACKAGE BODY,
// TYPE ...); `lines` the source as ALL_SOURCE keeps it.
std::vector<CompileError> CompileUnit(const std::string& type, const std::vector<std::string>& lines);

struct CompileOutcome {
  std::vector<CompileError> errors;
  std::vector<plsql::ObjectRef> deps;  // what the unit references (when it compiled)
  bool analysed = false;               // names were checked (not only the shape)
};

// Compiles a stored unit of `owner` against the database's dictionary.
CompileOutcome CompileStoredUnit(sqlite3* db, const std::string& owner, const std::string& type,
                                 const std::vector<std::string>& lines);

// A change to owner.name makes the units that depend on it (and theirs in
// turn) INVALID; they compile again when next used.
void InvalidateDependentUnits(sqlite3* db, const std::string& owner, const std::string& name);

// Compiles a stored unit and records the outcome: ALL_ERRORS rows (in order,
// with sequence), the status, and its dependencies when it compiled.
// Returns true when the unit has errors.
bool CompileAndRecord(sqlite3* db, const std::string& owner, const std::string& name, const std::string& type,
                      const std::vector<std::string>& lines);
// Compiles an INVALID unit again from its stored source; true when it is VALID
// (afterwards, or already).
bool EnsureValid(sqlite3* db, const std::string& owner, const std::string& name, const std::string& type);

}  // namespace ocisim
