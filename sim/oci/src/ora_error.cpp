// The message table of the stand-in: Oracle's English texts for the numbers it
// raises. Unknown numbers still get a well-formed "ORA-nnnnn:" line.
#include "ora_error.h"

#include <cstdio>
#include <unordered_map>
#include <vector>

namespace ocisim {
namespace {

const std::unordered_map<int, const char*>& Texts() {
  static const std::unordered_map<int, const char*> texts = {
      {1, "unique constraint (%s.%s) violated"},
      {28, "your session has been killed"},
      {30, "User session ID does not exist."},
      {31, "session marked for kill"},
      {54, "resource busy and acquire with NOWAIT specified"},
      {60, "deadlock detected while waiting for resource"},
      {900, "invalid SQL statement"},
      {904, "%s: invalid identifier"},
      {907, "missing right parenthesis"},
      {911, "invalid character"},
      {913, "too many values"},
      {921, "unexpected end of SQL command"},
      {922, "missing or invalid option"},
      {933, "SQL command not properly ended"},
      {936, "missing expression"},
      {942, "table or view does not exist"},
      {947, "not enough values"},
      {955, "name is already used by an existing object"},
      {1001, "invalid cursor"},
      {1002, "fetch out of sequence"},
      {1003, "no statement parsed"},
      {1005, "null password given; logon denied"},
      {1007, "variable not in select list"},
      {1008, "not all variables bound"},
      {1009, "missing mandatory parameter"},
      {1010, "invalid OCI operation"},
      {1012, "not logged on"},
      {1013, "user requested cancel of current operation"},
      {1017, "invalid username/password; logon denied"},
      {1031, "insufficient privileges"},
      {1036, "illegal variable name/number"},
      {1400, "cannot insert NULL into (%s)"},
      {1401, "inserted value too large for column"},
      {1403, "no data found"},
      {1405, "fetched column value is NULL"},
      {1406, "fetched column value was truncated"},
      {1422, "exact fetch returns more than requested number of rows"},
      {1438, "value larger than specified precision allows for this column"},
      {1476, "divisor is equal to zero"},
      {1722, "invalid number"},
      {1756, "quoted string not properly terminated"},
      {1843, "not a valid month"},
      {1861, "literal does not match format string"},
      {2289, "sequence does not exist"},
      {2291, "integrity constraint (%s.%s) violated - parent key not found"},
      {2292, "integrity constraint (%s.%s) violated - child record found"},
      {3001, "unimplemented feature"},
      {3113, "end-of-file on communication channel"},
      {3114, "not connected to ORACLE"},
      {4043, "object %s does not exist"},
      {6550, "line %s, column %s:"},
      {12154, "TNS:could not resolve service name"},
      {24315, "illegal attribute type"},
      {24324, "service handle not initialized"},
      {24333, "zero iteration count"},
      {24334, "no descriptor for this position"},
      {24337, "statement handle not prepared"},
      {24338, "statement handle not executed"},
      {24344, "success with compilation error"},
      {24345, "A Truncation or null fetch error occurred"},
      {24374, "define not done before fetch or execute and fetch"},
      {28000, "the account is locked"},
      {28001, "the password has expired"},
      {28002, "the password will expire within %s days"},
  };
  return texts;
}

}  // namespace

std::string OraMessage(int code, std::initializer_list<std::string> args) {
  char prefix[16];
  std::snprintf(prefix, sizeof prefix, "ORA-%05d: ", code);
  auto it = Texts().find(code);
  if (it == Texts().end()) return prefix + sql::OraMessage(code, std::vector<std::string>(args));
  std::string text = it->second;
  std::string out = prefix;
  auto arg = args.begin();
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 1 < text.size() && text[i + 1] == 's') {
      out += arg != args.end() ? *arg++ : std::string();
      ++i;
    } else {
      out += text[i];
    }
  }
  return out;
}

void ThrowOra(int code, std::initializer_list<std::string> args) {
  throw OraFailure(code, OraMessage(code, args));
}

void ThrowOraText(int code, std::string message) { throw OraFailure(code, message); }

}  // namespace ocisim
