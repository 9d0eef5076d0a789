// The routines every schema sees without declaring them: STANDARD's
// functions and exceptions, and the SYS packages the stand-in carries out.
#pragma once

#include <string>

namespace ocisim::plsql {

struct BuiltinRoutine {
  const char* package;  // "" for STANDARD
  const char* name;
  int minArgs, maxArgs;
  bool isFunction;
};

// nullptr when the package has no such routine (or no such package).
const BuiltinRoutine* FindBuiltin(const std::string& package, const std::string& name);
bool IsBuiltinPackage(const std::string& name);
// SQL functions STANDARD offers in PL/SQL expressions (UPPER, NVL, TO_CHAR ...).
bool IsSqlFunction(const std::string& name);
// Functions called without parentheses: SYSDATE, USER, SQLCODE, SQLERRM ...
bool IsNiladic(const std::string& name);
// Predefined exceptions and their SQLCODE (NO_DATA_FOUND -> 100 ...); 0 if none.
int PredefinedException(const std::string& name);
// Scalar datatypes.
bool IsScalarType(const std::string& name);

}  // namespace ocisim::plsql
