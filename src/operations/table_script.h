// table_script.h — the script writer behind Shift+F5: a table's rows as a
// SQL*Plus script that, run in a schema holding the same table, inserts
// exactly those rows. The six options of the copy dialog shape it.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace oracle {
class TOracleSession;
}

namespace operations {

struct ScriptOptions {
  bool countRecords = true;    // row count in the header and a check at the end
  bool errorHandling = true;   // stop at the first error, nothing half-loaded
  bool charsetCheck = true;    // stop when the database character set differs
  bool userCheck = true;       // stop unless run by the table's owner
  bool deleteFirst = true;     // DELETE the table's rows first
  bool hideOutput = true;      // no "1 row created." per row
};

// How the script carries a column.
// NText and NClob are the national types (NCHAR, NVARCHAR2; NCLOB).
enum class ScriptColumnKind { Number, Text, NText, Date, Raw, Clob, NClob, Long, LeftOut };

struct ScriptColumn {
  std::string name;  // as the dictionary spells it
  std::string type;  // DATA_TYPE
  ScriptColumnKind kind = ScriptColumnKind::LeftOut;
};

// The kind a DATA_TYPE gets: one table decides what the script can carry.
ScriptColumnKind ScriptKindOf(const std::string& dataType);

// The table's columns in order (ORA errors as exceptions).
std::vector<ScriptColumn> DescribeTableForScript(oracle::TOracleSession& session, const std::string& owner,
                                                 const std::string& table);

// Called every kProgressRows rows written (and once at the end) with the
// rows so far and the total (-1 when not counted); returns false to stop.
// The caller decides how often to redraw its note; it can look at the
// keyboard on every call.
using ScriptProgress = std::function<bool(std::int64_t written, std::int64_t total)>;

struct ScriptResult {
  bool completed = false;  // false: stopped by the progress callback, no file left
  std::int64_t rows = 0;
};

// Longest LONG value a script can load (PL/SQL's limit for a LONG variable).
constexpr std::size_t kMaxLongBytes = 32760;
// Rows between COMMITs when a failure need not undo everything.
constexpr int kCommitEvery = 1000;
// Rows between calls of the progress callback.
constexpr int kProgressRows = 64;
// Lines one statement may take: SQL*Plus holds at most 500 lines of one
// command; the rest is margin for the INSERT's head.
constexpr std::size_t kMaxStatementLines = 480;

// Writes the script to `fileName` through a temporary file beside it that is
// renamed when complete; on any failure or stop the temporary file is
// removed and an existing file of that name is left as it was. Throws
// std::runtime_error (Oracle errors, file errors) with a text for the user.
ScriptResult WriteTableScript(oracle::TOracleSession& session, const std::string& owner, const std::string& table,
                              const std::string& fileName, const ScriptOptions& options,
                              const ScriptProgress& progress = {});

}  // namespace operations
