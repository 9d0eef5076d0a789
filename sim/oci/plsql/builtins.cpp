// Tables of the predeclared routines, exceptions and types: see builtins.h.
#include "plsql/builtins.h"

#include <cstring>

namespace ocisim::plsql {
namespace {

const BuiltinRoutine kRoutines[] = {
    {"", "RAISE_APPLICATION_ERROR", 2, 3, false},
    {"DBMS_OUTPUT", "PUT_LINE", 1, 1, false},
    {"DBMS_OUTPUT", "PUT", 1, 1, false},
    {"DBMS_OUTPUT", "NEW_LINE", 0, 0, false},
    {"DBMS_OUTPUT", "ENABLE", 0, 1, false},
    {"DBMS_OUTPUT", "DISABLE", 0, 0, false},
    {"DBMS_OUTPUT", "GET_LINE", 2, 2, false},
    {"DBMS_OUTPUT", "GET_LINES", 2, 2, false},
    {"DBMS_UTILITY", "DB_VERSION", 2, 2, false},
    {"DBMS_UTILITY", "PORT_STRING", 0, 0, true},
    {"DBMS_UTILITY", "COMPILE_SCHEMA", 1, 3, false},
    {"DBMS_UTILITY", "GET_TIME", 0, 0, true},
    {"DBMS_UTILITY", "FORMAT_ERROR_STACK", 0, 0, true},
    {"DBMS_TRANSACTION", "LOCAL_TRANSACTION_ID", 0, 1, true},
    {"DBMS_JOB", "SUBMIT", 2, 6, false},
    {"DBMS_JOB", "REMOVE", 1, 1, false},
    {"DBMS_JOB", "RUN", 1, 2, false},
    {"DBMS_JOB", "BROKEN", 2, 3, false},
    {"DBMS_APPLICATION_INFO", "SET_MODULE", 2, 2, false},
    {"DBMS_APPLICATION_INFO", "SET_ACTION", 1, 1, false},
    {"DBMS_APPLICATION_INFO", "SET_CLIENT_INFO", 1, 1, false},
    {"DBMS_APPLICATION_INFO", "READ_MODULE", 2, 2, false},
    {"DBMS_APPLICATION_INFO", "READ_CLIENT_INFO", 1, 1, false},
    {"DBMS_LOB", "CREATETEMPORARY", 2, 3, false},
    {"DBMS_LOB", "FREETEMPORARY", 1, 1, false},
    {"DBMS_LOB", "WRITEAPPEND", 3, 3, false},
    {"DBMS_LOB", "APPEND", 2, 2, false},
    {"DBMS_LOB", "GETLENGTH", 1, 1, true},
    {"DBMS_LOB", "SUBSTR", 1, 3, true},
    {"DBMS_LOB", "INSTR", 2, 4, true},
    {"DBMS_LOB", "CALL", 0, 0, true},
    {"DBMS_LOB", "SESSION", 0, 0, true},
};

const char* const kSqlFunctions[] = {
    "ABS", "ADD_MONTHS", "ASCII", "CEIL", "CHR", "COALESCE", "CONCAT", "COS", "DECODE", "EXP", "FLOOR", "GREATEST",
    "INITCAP", "INSTR", "LAST_DAY", "LEAST", "LENGTH", "LN", "LOG", "LOWER", "LPAD", "LTRIM", "MOD", "MONTHS_BETWEEN",
    "NEXT_DAY", "NVL", "NVL2", "NULLIF", "POWER", "REPLACE", "ROUND", "RPAD", "RTRIM", "SIGN", "SIN", "SQRT",
    "SUBSTR", "TO_CHAR", "TO_DATE", "TO_NUMBER", "TRANSLATE", "TRIM", "TRUNC", "UPPER", "SQLERRM", "TO_CLOB",
    "LENGTHB", "SUBSTRB", "INSTRB", "SYS_CONTEXT", "USERENV", "BITAND", "REMAINDER", "TAN", "EMPTY_CLOB", "EMPTY_BLOB"};

const char* const kNiladic[] = {"SYSDATE", "USER", "SQLCODE", "SQLERRM", "UID", "SYSTIMESTAMP", "CURRENT_DATE"};

struct Predefined {
  const char* name;
  int code;
};
const Predefined kExceptions[] = {
    {"NO_DATA_FOUND", 100},     {"TOO_MANY_ROWS", -1422},   {"ZERO_DIVIDE", -1476},     {"DUP_VAL_ON_INDEX", -1},
    {"VALUE_ERROR", -6502},     {"INVALID_NUMBER", -1722},  {"INVALID_CURSOR", -1001},  {"CURSOR_ALREADY_OPEN", -6511},
    {"PROGRAM_ERROR", -6501},   {"STORAGE_ERROR", -6500},   {"LOGIN_DENIED", -1017},    {"NOT_LOGGED_ON", -1012},
    {"TIMEOUT_ON_RESOURCE", -51}, {"ROWTYPE_MISMATCH", -6504}, {"COLLECTION_IS_NULL", -6531},
    {"SUBSCRIPT_BEYOND_COUNT", -6533}, {"SUBSCRIPT_OUTSIDE_LIMIT", -6532}, {"CASE_NOT_FOUND", -6592}};

const char* const kTypes[] = {
    "NUMBER", "INTEGER", "INT", "PLS_INTEGER", "BINARY_INTEGER", "NATURAL", "NATURALN", "POSITIVE", "POSITIVEN",
    "SIGNTYPE", "DECIMAL", "DEC", "NUMERIC", "FLOAT", "REAL", "SMALLINT", "VARCHAR2", "VARCHAR", "CHAR", "CHARACTER",
    "NVARCHAR2", "NCHAR", "STRING", "LONG", "LONG RAW", "RAW", "DATE", "TIMESTAMP", "BOOLEAN", "CLOB", "NCLOB", "BLOB",
    "BFILE", "ROWID", "UROWID", "INTERVAL", "SYS_REFCURSOR", "EXCEPTION"};

}  // namespace

const BuiltinRoutine* FindBuiltin(const std::string& package, const std::string& name) {
  for (const auto& r : kRoutines)
    if (package == r.package && name == r.name) return &r;
  return nullptr;
}

bool IsBuiltinPackage(const std::string& name) {
  for (const auto& r : kRoutines)
    if (*r.package && name == r.package) return true;
  return false;
}

bool IsSqlFunction(const std::string& name) {
  for (const char* f : kSqlFunctions)
    if (name == f) return true;
  return false;
}

bool IsNiladic(const std::string& name) {
  for (const char* f : kNiladic)
    if (name == f) return true;
  return false;
}

int PredefinedException(const std::string& name) {
  for (const auto& e : kExceptions)
    if (name == e.name) return e.code;
  return 0;
}

bool IsScalarType(const std::string& name) {
  for (const char* t : kTypes)
    if (name == t) return true;
  return false;
}

}  // namespace ocisim::plsql
