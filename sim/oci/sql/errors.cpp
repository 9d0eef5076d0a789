// Oracle error numbers and their standard message texts, and the mapping of
// SQLite failures to the errors an Oracle server would report.
#include <sqlite3.h>

#include <cstdio>
#include <cstring>
#include <map>

#include "sql/translate.h"

namespace ocisim::sql {
namespace {

// Standard English texts; "%s" is filled from the arguments in order.
const std::map<int, const char*>& Texts() {
  static const std::map<int, const char*> texts = {
      {1, "unique constraint (%s) violated"},
      {28, "your session has been killed"},
      {30, "User session ID does not exist."},
      {31, "session marked for kill"},
      {54, "resource busy and acquire with NOWAIT specified"},
      {900, "invalid SQL statement"},
      {901, "invalid CREATE command"},
      {902, "invalid datatype"},
      {903, "invalid table name"},
      {904, "%s: invalid identifier"},
      {905, "missing keyword"},
      {906, "missing left parenthesis"},
      {907, "missing right parenthesis"},
      {908, "missing NULL keyword"},
      {909, "invalid number of arguments"},
      {911, "invalid character"},
      {913, "too many values"},
      {917, "missing comma"},
      {918, "column ambiguously defined"},
      {920, "invalid relational operator"},
      {921, "unexpected end of SQL command"},
      {922, "missing or invalid option"},
      {923, "FROM keyword not found where expected"},
      {924, "missing BY keyword"},
      {926, "missing VALUES keyword"},
      {927, "missing equal sign"},
      {928, "missing SELECT keyword"},
      {931, "missing identifier"},
      {932, "inconsistent datatypes"},
      {933, "SQL command not properly ended"},
      {934, "group function is not allowed here"},
      {936, "missing expression"},
      {937, "not a single-group group function"},
      {940, "invalid ALTER command"},
      {942, "table or view does not exist"},
      {947, "not enough values"},
      {950, "invalid DROP option"},
      {955, "name is already used by an existing object"},
      {972, "identifier is too long"},
      {979, "not a GROUP BY expression"},
      {1008, "not all variables bound"},
      {26, "missing or invalid session ID"},
      {910, "specified length too long for its datatype"},
      {925, "missing INTO keyword"},
      {969, "missing ON keyword"},
      {971, "missing SET keyword"},
      {987, "missing or invalid username(s)"},
      {988, "missing or invalid password(s)"},
      {990, "missing or invalid privilege"},
      {1027, "bind variables not allowed for data definition operations"},
      {1730, "invalid number of column names specified"},
      {1780, "string literal required"},
      {2216, "tablespace name expected"},
      {4002, "INCREMENT must be a non-zero integer"},
      {4021, "MINVALUE must be less than MAXVALUE"},
      {1428, "argument '%s' is out of range"},
      {1481, "invalid number format model"},
      {1855, "AM/A.M. or PM/P.M. required"},
      {975, "date + date not allowed"},
      {976, "Specified pseudocolumn or operator not allowed here."},
      {1416, "two tables cannot be outer-joined to each other"},
      {1465, "invalid hex number"},
      {1468, "a predicate may reference only one outer-joined table"},
      {1719, "outer join operator (+) not allowed in operand of OR or IN"},
      {1740, "missing double quote in identifier"},
      {1788, "CONNECT BY clause required in this query block"},
      {2019, "connection description for remote database not found"},
      {2404, "specified plan table not found"},
      {25156, "old style outer join (+) cannot be used with ANSI joins"},
      {30929, "ORDER SIBLINGS BY clause not allowed here"},
      {1013, "user requested cancel of current operation"},
      {1036, "illegal variable name/number"},
      {1400, "cannot insert NULL into (%s)"},
      {1401, "inserted value too large for column"},
      {1422, "exact fetch returns more than requested number of rows"},
      {1426, "numeric overflow"},
      {1427, "single-row subquery returns more than one row"},
      {1436, "CONNECT BY loop in user data"},
      {1438, "value larger than specified precision allows for this column"},
      {1476, "divisor is equal to zero"},
      {1722, "invalid number"},
      {1741, "illegal zero-length identifier"},
      {1747, "invalid user.table.column, table.column, or column specification"},
      {1756, "quoted string not properly terminated"},
      {1785, "ORDER BY item must be the number of a SELECT-list expression"},
      {1789, "query block has incorrect number of result columns"},
      {1821, "date format not recognized"},
      {1919, "role '%s' does not exist"},
      {1935, "missing user or role name"},
      {1937, "missing or invalid role name"},
      {2187, "invalid quota specification"},
      {1830, "date format picture ends before converting entire input string"},
      {1839, "date not valid for month specified"},
      {1840, "input value not long enough for date format"},
      {1841, "(full) year must be between -4713 and +9999, and not be 0"},
      {1843, "not a valid month"},
      {1847, "day of month must be between 1 and last day of month"},
      {1849, "hour must be between 1 and 12"},
      {1850, "hour must be between 0 and 23"},
      {1851, "minutes must be between 0 and 59"},
      {1852, "seconds must be between 0 and 59"},
      {1858, "a non-numeric character was found where a numeric was expected"},
      {1861, "literal does not match format string"},
      {2287, "sequence number not allowed here"},
      {2289, "sequence does not exist"},
      {2291, "integrity constraint (%s) violated - parent key not found"},
      {2292, "integrity constraint (%s) violated - child record found"},
      {2290, "check constraint (%s) violated"},
      {3001, "unimplemented feature"},
      {4043, "object %s does not exist"},
      {6550, "line %s, column %s:\n%s"},
      {6553, "PLS-%s"},
      {8002, "sequence %s.CURRVAL is not yet defined in this session"},
  };
  return texts;
}

}  // namespace

std::string OraMessage(int code, const std::vector<std::string>& args) {
  const auto& texts = Texts();
  auto it = texts.find(code);
  std::string pattern = it != texts.end() ? it->second : "Message " + std::to_string(code) + " not found";
  std::string out;
  size_t argIndex = 0;
  for (size_t i = 0; i < pattern.size(); ++i) {
    if (pattern[i] == '%' && i + 1 < pattern.size() && pattern[i + 1] == 's') {
      out += argIndex < args.size() ? args[argIndex] : std::string();
      ++argIndex;
      ++i;
    } else {
      out += pattern[i];
    }
  }
  return out;
}

OraError MakeOraError(int code, const std::vector<std::string>& args) {
  char prefix[16];
  std::snprintf(prefix, sizeof prefix, "ORA-%05d: ", code);
  return OraError(code, prefix + OraMessage(code, args));
}

OraError OraErrorFromSqlite(int rc, const char* msg) {
  std::string text = msg ? msg : "";
  // Our own functions raise "ORA-nnnnn: text" through sqlite3_result_error.
  if (auto pos = text.find("ORA-"); pos != std::string::npos && text.size() >= pos + 9 &&
                                     text[pos + 9] == ':') {
    int code = std::atoi(text.c_str() + pos + 4);
    if (code > 0) return OraError(code, text.substr(pos));
  }
  auto startsWith = [&](const char* prefix) { return text.rfind(prefix, 0) == 0; };
  auto upperQuoted = [](std::string s) {
    // SQLite reports "X.COL" for qualified names; Oracle names the column.
    if (auto dot = s.rfind('.'); dot != std::string::npos) s = s.substr(dot + 1);
    if (s.size() >= 2 && s.front() == '"' && s.back() == '"') s = s.substr(1, s.size() - 2);
    return "\"" + s + "\"";
  };
  if (startsWith("no such column: ")) return MakeOraError(904, {upperQuoted(text.substr(16))});
  if (startsWith("no such table: ")) return MakeOraError(942);
  if (startsWith("ambiguous column name: ")) return MakeOraError(918);
  if (startsWith("no such function: ")) return MakeOraError(904, {upperQuoted(text.substr(18))});
  if (startsWith("UNIQUE constraint failed: ") || startsWith("PRIMARY KEY constraint failed"))
    return MakeOraError(1, {text.substr(text.find(':') + 2)});
  if (startsWith("NOT NULL constraint failed: ")) {
    std::string col = text.substr(28);
    return MakeOraError(1400, {col});
  }
  if (startsWith("FOREIGN KEY constraint failed")) return MakeOraError(2291, {"FK"});
  if (startsWith("CHECK constraint failed")) return MakeOraError(2290, {text.substr(text.find(':') == std::string::npos ? text.size() : text.find(':') + 2)});
  if (startsWith("SELECTs to the left and right of")) return MakeOraError(1789);
  if (startsWith("integer overflow")) return MakeOraError(1426);
  if (startsWith("sub-select returns")) return MakeOraError(913);
  if (text.find("ORDER BY term") != std::string::npos) return MakeOraError(1785);
  if (startsWith("misuse of aggregate") || text.find("aggregate functions are not allowed") != std::string::npos)
    return MakeOraError(934);
  if (startsWith("wrong number of arguments to function")) return MakeOraError(909);
  if (startsWith("misuse of window function")) return MakeOraError(976);
  if (text.find("values were supplied") != std::string::npos) {
    // "table T has 3 columns but 2 values were supplied"
    auto has = text.find(" has "), but = text.find(" columns but ");
    if (has != std::string::npos && but != std::string::npos) {
      int columns = std::atoi(text.c_str() + has + 5), values = std::atoi(text.c_str() + but + 13);
      return MakeOraError(values > columns ? 913 : 947);
    }
  }
  int primary = rc & 0xff;
  if (primary == SQLITE_BUSY || primary == SQLITE_LOCKED) return MakeOraError(54);
  if (primary == SQLITE_INTERRUPT) return MakeOraError(1013);
  return OraError(900, "ORA-00900: invalid SQL statement (" + text + ")");
}

}  // namespace ocisim::sql
