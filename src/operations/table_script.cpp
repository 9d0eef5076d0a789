// table_script.cpp — the script writer. The script, in order:
//   REM header (table, owner, time, row count, commits, columns left out)
//   SET DEFINE OFF / SQLBLANKLINES ON ("&" is data; blank lines belong to values)
//   SET FEEDBACK OFF                          (when output is hidden, up to the end;
//                                             not TERMOUT OFF, which would hide the
//                                             error that stops a load as well)
//   WHENEVER SQLERROR EXIT FAILURE ROLLBACK   (checks always stop the script)
//   user check, character-set check           (PL/SQL blocks, when asked)
//   WHENEVER SQLERROR CONTINUE                (when error handling is off)
//   DELETE FROM "T";                          (when asked)
//   INSERT INTO "T" (...) VALUES (...);       one per row; a LONG over 4000
//                                             bytes goes through a PL/SQL block;
//                                             a CLOB too large for one command
//                                             (500 lines) is inserted as a marker
//                                             and appended in UPDATEs that fit
//   COMMIT;                                   (and every kCommitEvery rows when
//                                             error handling is off: with it on,
//                                             the whole load is one transaction)
//   row-count check                           (when counting)
// Values are fetched already converted by the server (TO_CHAR for numbers
// and dates, RAWTOHEX), so nothing depends on the client's number format.
#include "operations/table_script.h"

#include <cstdio>
#include <filesystem>
#include <memory>
#include <random>
#include <stdexcept>

#include "operations/script_literals.h"
#include "oracle/oracle_query.h"
#include "oracle/oracle_session.h"
#include "platform/console_input.h"
#include "platform/platform.h"

namespace operations {
namespace {

struct TypeRow {
  const char* type;
  ScriptColumnKind kind;
};

// What the script carries; every other type is left out.
const TypeRow kTypes[] = {
    {"NUMBER", ScriptColumnKind::Number},   {"FLOAT", ScriptColumnKind::Number},
    {"CHAR", ScriptColumnKind::Text},       {"VARCHAR2", ScriptColumnKind::Text},
    {"VARCHAR", ScriptColumnKind::Text},    {"NCHAR", ScriptColumnKind::NText},
    {"NVARCHAR2", ScriptColumnKind::NText}, {"DATE", ScriptColumnKind::Date},
    {"RAW", ScriptColumnKind::Raw},         {"CLOB", ScriptColumnKind::Clob},
    {"NCLOB", ScriptColumnKind::NClob},     {"LONG", ScriptColumnKind::Long},
};

std::string Literal(const std::string& text) {
  std::string out = "'";
  for (char c : text) out += c == '\'' ? std::string("''") : std::string(1, c);
  return out + "'";
}

// The file being written: a temporary name beside the target that did not
// exist before (created exclusively, so no file of the user's is ever
// reused), removed unless Commit() renamed it into place. File names are in
// the ANSI code page on Windows (UTF-8 elsewhere), as the plugin holds text
// inside. Errors name the file the user asked for.
class ScriptFile {
 public:
  explicit ScriptFile(const std::string& target) : target_(target) {
    for (int n = 0; n < 100 && temp_.empty(); ++n) {
      const std::string candidate = target + "." + std::to_string(n) + ".part";
      if (platform::CreateNewFile(candidate)) temp_ = candidate;
    }
    if (!temp_.empty()) file_ = platform::OpenFile(temp_, "wb");
    if (!file_) {
      if (!temp_.empty()) platform::RemoveFile(temp_);
      throw std::runtime_error("Cannot create the file " + target_);
    }
    std::setvbuf(file_, nullptr, _IOFBF, 1 << 16);
  }
  ~ScriptFile() {
    if (file_) std::fclose(file_);
    if (!committed_) platform::RemoveFile(temp_);
  }
  void Write(const std::string& text) {
    if (std::fwrite(text.data(), 1, text.size(), file_) != text.size())
      throw std::runtime_error("Cannot write the file " + target_);
  }
  void Line(const std::string& text) { Write(text + "\n"); }
  void Commit() {
    const bool ok = std::fclose(file_) == 0;
    file_ = nullptr;
    if (!ok) throw std::runtime_error("Cannot write the file " + target_);
    if (!platform::RenameFile(temp_, target_)) throw std::runtime_error("Cannot write the file " + target_);
    committed_ = true;
  }

 private:
  std::string target_, temp_;
  std::FILE* file_ = nullptr;
  bool committed_ = false;
};

std::string SelectExpression(const ScriptColumn& c) {
  const std::string q = QuotedName(c.name);
  switch (c.kind) {
    case ScriptColumnKind::Number: return "TO_CHAR(" + q + ")";
    case ScriptColumnKind::Date: return "TO_CHAR(" + q + ", '" + kDateFormat + "')";
    case ScriptColumnKind::Raw: return "RAWTOHEX(" + q + ")";
    default: return q;
  }
}

std::string SourceCharacterSet(oracle::TOracleSession& session) {
  oracle::TOracleQuery q(&session);
  q.SetSQL("SELECT VALUE FROM NLS_DATABASE_PARAMETERS WHERE PARAMETER = 'NLS_CHARACTERSET'");
  q.Execute();
  if (q.Eof() || q.FieldIsNull(0)) throw std::runtime_error("The database character set cannot be read.");
  return q.FieldAsString(0);
}

std::int64_t CountRows(oracle::TOracleSession& session, const std::string& from) {
  oracle::TOracleQuery q(&session);
  q.SetSQL("SELECT COUNT(*) FROM " + from);
  q.Execute();
  return q.Eof() ? 0 : q.FieldAsInteger(0);
}

// A list of items ("a", "b", ...) spread over lines of about kPieceBytes.
std::string ItemList(const std::vector<std::string>& items, const std::string& indent) {
  std::string out;
  std::size_t lineLength = 0;
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (i > 0) {
      out += ",";
      const std::size_t first = items[i].find('\n');
      const std::size_t len = first == std::string::npos ? items[i].size() : first;
      if (lineLength + len + 1 > kPieceBytes) {
        out += "\n" + indent;
        lineLength = indent.size();
      } else {
        out += " ";
        ++lineLength;
      }
    }
    out += items[i];
    const std::size_t last = items[i].rfind('\n');
    lineLength = last == std::string::npos ? lineLength + items[i].size() : items[i].size() - last - 1;
  }
  return out;
}

void WriteHeader(ScriptFile& f, const std::string& owner, const std::string& table,
                 const std::vector<ScriptColumn>& columns, const ScriptOptions& o, std::int64_t counted,
                 const std::string& charset) {
  f.Line("REM Rows of table " + QuotedName(table) + " of " + QuotedName(owner) + " as a SQL*Plus script.");
  f.Line("REM Run it with SQL*Plus in the schema that is to receive them; the table is named");
  f.Line("REM without its owner.");
  if (o.countRecords) f.Line("REM Rows counted before writing: " + std::to_string(counted));
  if (!charset.empty()) f.Line("REM Database character set of the source: " + charset);
  if (o.errorHandling)
    f.Line("REM The first error stops the script and rolls the whole load back (one transaction).");
  else
    f.Line("REM Errors do not stop the script; a COMMIT follows every " + std::to_string(kCommitEvery) + " rows.");
  bool header = false;
  for (const auto& c : columns) {
    if (c.kind != ScriptColumnKind::LeftOut) continue;
    if (!header) f.Line("REM Columns left out (this script cannot carry their type):");
    header = true;
    f.Line("REM   " + QuotedName(c.name) + " " + c.type);
  }
  f.Line("SET DEFINE OFF");
  f.Line("SET SQLBLANKLINES ON");
  if (o.hideOutput) f.Line("SET FEEDBACK OFF");
}

void WriteChecks(ScriptFile& f, const std::string& owner, const std::string& charset, const ScriptOptions& o) {
  // The checks stop the script whatever the error handling chosen.
  f.Line("WHENEVER SQLERROR EXIT FAILURE ROLLBACK");
  if (o.userCheck) {
    f.Line("BEGIN");
    f.Line("  IF USER <> " + Literal(owner) + " THEN");
    f.Line("    RAISE_APPLICATION_ERROR(-20001, " + Literal("This script loads rows of " + owner + "; connect as " +
                                                          owner + " to run it, not as ") +
           " || USER || '.');");
    f.Line("  END IF;");
    f.Line("END;");
    f.Line("/");
  }
  if (o.charsetCheck) {
    f.Line("DECLARE");
    f.Line("  target_charset VARCHAR2(64);");
    f.Line("BEGIN");
    f.Line("  SELECT VALUE INTO target_charset FROM NLS_DATABASE_PARAMETERS");
    f.Line("   WHERE PARAMETER = 'NLS_CHARACTERSET';");
    f.Line("  IF target_charset <> " + Literal(charset) + " THEN");
    f.Line("    RAISE_APPLICATION_ERROR(-20002, " +
           Literal("The rows were written from a " + charset + " database; this database uses ") +
           " || target_charset || '.');");
    f.Line("  END IF;");
    f.Line("END;");
    f.Line("/");
  }
  if (!o.errorHandling) f.Line("WHENEVER SQLERROR CONTINUE");
}

void WriteCountCheck(ScriptFile& f, const std::string& table, std::int64_t rows, bool exact) {
  const std::string n = std::to_string(rows);
  const std::string name = QuotedName(table);
  f.Line("SET SERVEROUTPUT ON");
  f.Line("DECLARE");
  f.Line("  rows_found NUMBER;");
  f.Line("BEGIN");
  f.Line("  SELECT COUNT(*) INTO rows_found FROM " + name + ";");
  f.Line("  IF rows_found " + std::string(exact ? "<>" : "<") + " " + n + " THEN");
  f.Line("    RAISE_APPLICATION_ERROR(-20003, " + Literal(table + " holds ") + " || rows_found || " +
         Literal(std::string(" rows; ") + (exact ? "" : "at least ") + n + " were expected.") + ");");
  f.Line("  END IF;");
  f.Line("  DBMS_OUTPUT.PUT_LINE(" + Literal(table + " holds ") + " || rows_found || " +
         Literal(std::string(" rows, as expected.")) + ");");
  f.Line("END;");
  f.Line("/");
  // SQL*Plus starts with SERVEROUTPUT off; a script run with @ leaves it so.
  f.Line("SET SERVEROUTPUT OFF");
}

std::size_t LineCount(const std::string& text) {
  std::size_t n = 1;
  for (char c : text) n += c == '\n';
  return n;
}

std::string JoinGroups(const std::vector<std::string>& groups) {
  std::string out;
  for (std::size_t i = 0; i < groups.size(); ++i) out += (i ? " ||\n  " : "") + groups[i];
  return out;
}

// A text no value holds by chance: the start of a CLOB inserted as a
// stand-in, found again by the UPDATEs that append the rest (LIKE 'M%':
// letters, digits and "-" only).
std::string MarkerBase() {
  std::random_device rd;
  char hex[40];
  std::snprintf(hex, sizeof hex, "QUARRY-%08X%08X%08X-", rd(), rd(), rd());
  return hex;
}

// A large CLOB's groups gathered into the pieces of its UPDATEs, each
// piece of at most kMaxStatementLines lines with its UPDATE.
std::vector<std::string> AppendPieces(const std::vector<std::string>& groups) {
  std::vector<std::string> pieces;
  std::string chunk;
  std::size_t chunkLines = 0;
  for (const std::string& g : groups) {
    const std::size_t gl = LineCount(g);
    if (!chunk.empty() && chunkLines + gl + 2 > kMaxStatementLines) {
      pieces.push_back(std::move(chunk));
      chunk.clear();
      chunkLines = 0;
    }
    chunk += (chunk.empty() ? "" : " ||\n  ") + g;
    chunkLines += gl;
  }
  if (!chunk.empty()) pieces.push_back(std::move(chunk));
  return pieces;
}

// The marker a split value starts with before its `step`th UPDATE; every
// step's marker has the same length, so SUBSTR cuts any of them.
std::string StepMarker(const std::string& prefix, std::size_t step, std::size_t steps) {
  std::string n = std::to_string(step);
  n.insert(0, std::to_string(steps).size() - n.size(), '0');
  return prefix + "S" + n + "-";
}

// The pieces of a large CLOB appended to its marker, one UPDATE each, then
// the marker cut off the front.  Each UPDATE finds the value by the marker
// the previous one left and moves it on to the next step's, so when one
// UPDATE fails (error handling off), none of the later ones touches the
// value: it keeps its marker, visibly incomplete, instead of losing a piece
// from its middle with the marker cut off as if it were whole.
void AppendClob(ScriptFile& f, const std::string& table, const std::string& column, const std::string& prefix,
                const std::vector<std::string>& pieces, bool national) {
  const std::string t = QuotedName(table), c = QuotedName(column);
  const std::string open = national ? "TO_NCLOB(N'" : "TO_CLOB('";
  const std::size_t steps = pieces.size() + 1;
  const std::size_t cut = StepMarker(prefix, 0, steps).size() + 1;
  auto where = [&](std::size_t step) { return " WHERE " + c + " LIKE '" + StepMarker(prefix, step, steps) + "%';"; };
  for (std::size_t k = 0; k < pieces.size(); ++k) {
    f.Line("UPDATE " + t + " SET " + c + " = " + open + StepMarker(prefix, k + 1, steps) + "') || SUBSTR(" + c +
           ", " + std::to_string(cut) + ") ||");
    f.Line("  " + pieces[k]);
    f.Line(where(k));
  }
  f.Line("UPDATE " + t + " SET " + c + " = SUBSTR(" + c + ", " + std::to_string(cut) + ")" + where(steps - 1));
}

// With error handling off a failed UPDATE leaves a split value with its
// marker; the script says so at its end rather than passing as loaded.
void WriteSplitCheck(ScriptFile& f, const std::string& table, const std::vector<std::string>& columns,
                     const std::string& markerBase) {
  f.Line("DECLARE");
  f.Line("  incomplete NUMBER;");
  f.Line("BEGIN");
  for (const std::string& column : columns) {
    f.Line("  SELECT COUNT(*) INTO incomplete FROM " + QuotedName(table) + " WHERE " + QuotedName(column) +
           " LIKE '" + markerBase + "%';");
    f.Line("  IF incomplete > 0 THEN");
    f.Line("    RAISE_APPLICATION_ERROR(-20004, incomplete || " +
           Literal(" values of " + column + " were not loaded whole; they start with " + markerBase + ".") + ");");
    f.Line("  END IF;");
  }
  f.Line("END;");
  f.Line("/");
}

}  // namespace

ScriptColumnKind ScriptKindOf(const std::string& dataType) {
  for (const auto& row : kTypes)
    if (dataType == row.type) return row.kind;
  return ScriptColumnKind::LeftOut;
}

std::vector<ScriptColumn> DescribeTableForScript(oracle::TOracleSession& session, const std::string& owner,
                                                 const std::string& table) {
  oracle::TOracleQuery q(&session);
  q.SetSQL("SELECT COLUMN_NAME, DATA_TYPE FROM ALL_TAB_COLUMNS WHERE OWNER = :OWNER AND TABLE_NAME = :TNAME "
           "ORDER BY COLUMN_ID");
  q.DeclareVariable("OWNER", oracle::otString);
  q.DeclareVariable("TNAME", oracle::otString);
  q.SetVariable("OWNER", owner);
  q.SetVariable("TNAME", table);
  q.Execute();
  std::vector<ScriptColumn> columns;
  for (; !q.Eof(); q.Next()) {
    ScriptColumn c;
    c.name = q.FieldAsString(0);
    c.type = q.FieldAsString(1);
    c.kind = ScriptKindOf(c.type);
    columns.push_back(std::move(c));
  }
  if (columns.empty()) throw std::runtime_error("Table " + owner + "." + table + " has no columns that can be read.");
  return columns;
}

ScriptResult WriteTableScript(oracle::TOracleSession& session, const std::string& owner, const std::string& table,
                              const std::string& fileName, const ScriptOptions& options,
                              const ScriptProgress& progress) {
  // Values are written exactly as stored: no line-break conversion for the
  // editor on the way (restored whatever happens).
  struct KeepLineBreaks {
    oracle::TOracleSession& s;
    bool was;
    explicit KeepLineBreaks(oracle::TOracleSession& session) : s(session), was(session.Preferences.ConvertCRLF) {
      s.Preferences.ConvertCRLF = false;
    }
    ~KeepLineBreaks() { s.Preferences.ConvertCRLF = was; }
  } keepLineBreaks(session);
  const std::vector<ScriptColumn> columns = DescribeTableForScript(session, owner, table);
  std::vector<const ScriptColumn*> carried;
  for (const auto& c : columns)
    if (c.kind != ScriptColumnKind::LeftOut) carried.push_back(&c);
  if (carried.empty())
    throw std::runtime_error("None of the columns of " + owner + "." + table + " can be written to a script.");

  const std::string from = QuotedName(owner) + "." + QuotedName(table);
  const std::string charset = options.charsetCheck ? SourceCharacterSet(session) : std::string();
  const std::int64_t counted = options.countRecords ? CountRows(session, from) : -1;

  ScriptFile f(fileName);
  WriteHeader(f, owner, table, columns, options, counted, charset);
  if (options.userCheck || options.charsetCheck) WriteChecks(f, owner, charset, options);
  else if (options.errorHandling) f.Line("WHENEVER SQLERROR EXIT FAILURE ROLLBACK");
  if (options.deleteFirst) f.Line("DELETE FROM " + QuotedName(table) + ";");

  std::vector<std::string> names;
  std::string select;
  for (const ScriptColumn* c : carried) {
    names.push_back(QuotedName(c->name));
    select += (select.empty() ? "" : ", ") + SelectExpression(*c);
  }
  const std::string insertHead = "INSERT INTO " + QuotedName(table) + " (" + ItemList(names, "  ") + ")";

  oracle::TOracleQuery q(&session);
  q.WholeClobs = true;
  q.SetReadBuffer(100);
  q.SetSQL("SELECT " + select + " FROM " + from);
  q.Execute();
  ScriptResult result;
  std::vector<std::string> values(carried.size());
  std::vector<std::vector<std::string>> groups(carried.size());
  const std::string markerBase = MarkerBase();
  std::vector<bool> split(carried.size());  // a value of the column went in pieces
  std::vector<std::string> splitColumns;
  for (; !q.Eof(); q.Next()) {
    for (auto& g : groups) g.clear();
    bool block = false;  // a LONG too long for a SQL literal
    std::vector<std::string> declarations;
    for (std::size_t i = 0; i < carried.size(); ++i) {
      const int field = static_cast<int>(i);
      if (q.FieldIsNull(field)) {
        values[i] = "NULL";
        continue;
      }
      const std::string v = q.FieldAsString(field);
      switch (carried[i]->kind) {
        case ScriptColumnKind::Number: values[i] = NumberLiteral(v); break;
        case ScriptColumnKind::Date: values[i] = DateLiteral(v); break;
        case ScriptColumnKind::Raw: values[i] = RawLiteral(v, "  "); break;
        case ScriptColumnKind::Clob:
        case ScriptColumnKind::NClob: {
          const bool national = carried[i]->kind == ScriptColumnKind::NClob;
          groups[i] = ClobGroups(v, "  ", national);
          values[i] = groups[i].empty() ? "EMPTY_CLOB()" : JoinGroups(groups[i]);
          break;
        }
        case ScriptColumnKind::NText: values[i] = TextLiteral(v, false, "  ", true); break;
        case ScriptColumnKind::Long:
          if (v.size() > kMaxLongBytes)
            throw std::runtime_error("A value of the LONG column " + carried[i]->name + " holds " +
                                     std::to_string(v.size()) + " bytes; a SQL*Plus script can load at most " +
                                     std::to_string(kMaxLongBytes) + ".");
          if (v.size() > kMaxSqlLiteral) {
            block = true;
            const std::string var = "long_value_" + std::to_string(i + 1);
            declarations.push_back("  " + var + " LONG := " + TextLiteral(v, false, "    ") + ";");
            values[i] = var;
          } else {
            values[i] = TextLiteral(v, false, "  ");
          }
          break;
        default: values[i] = TextLiteral(v, false, "  "); break;
      }
    }
    std::string list = ItemList(values, "  ");
    // SQL*Plus reads at most 500 lines of one command.  Large CLOBs leave
    // the INSERT for a marker and follow in UPDATEs that each fit; a row
    // still too large is refused rather than written into a script that
    // cannot run.
    std::size_t lines = LineCount(insertHead) + LineCount(list) + (block ? 3 : 0);
    for (const auto& d : declarations) lines += LineCount(d);
    struct Deferred {
      std::size_t column;
      std::string prefix;  // of the step markers
      std::vector<std::string> pieces;
    };
    std::vector<Deferred> deferred;
    for (std::size_t i = 0; i < carried.size() && lines > kMaxStatementLines; ++i) {
      if (groups[i].size() < 2) continue;
      const bool national = carried[i]->kind == ScriptColumnKind::NClob;
      Deferred d{i, markerBase + "R" + std::to_string(result.rows + 1) + "C" + std::to_string(i + 1), AppendPieces(groups[i])};
      const std::string marker = StepMarker(d.prefix, 0, d.pieces.size() + 1);
      values[i] = national ? "TO_NCLOB(N'" + marker + "')" : "TO_CLOB('" + marker + "')";
      if (!split[i]) splitColumns.push_back(carried[i]->name);
      split[i] = true;
      deferred.push_back(std::move(d));
      list = ItemList(values, "  ");
      lines = LineCount(insertHead) + LineCount(list) + (block ? 3 : 0);
      for (const auto& d : declarations) lines += LineCount(d);
    }
    if (lines > kMaxStatementLines)
      throw std::runtime_error("Row " + std::to_string(result.rows + 1) + " of " + owner + "." + table +
                               " is too large for one SQL*Plus command (" + std::to_string(kMaxStatementLines) +
                               " lines of about " + std::to_string(kPieceBytes) + " bytes); no script was written.");
    if (block) {
      f.Line("DECLARE");
      for (const auto& d : declarations) f.Line(d);
      f.Line("BEGIN");
    }
    f.Write(insertHead);
    f.Write("\nVALUES (");
    f.Write(list);
    f.Write(");\n");
    if (block) {
      f.Line("END;");
      f.Line("/");
    }
    for (const Deferred& d : deferred)
      AppendClob(f, table, carried[d.column]->name, d.prefix, d.pieces,
                 carried[d.column]->kind == ScriptColumnKind::NClob);
    ++result.rows;
    if (!options.errorHandling && result.rows % kCommitEvery == 0) f.Line("COMMIT;");
    if (progress && result.rows % kProgressRows == 0 && !progress(result.rows, counted))
      return result;  // the file goes with f
  }
  f.Line("COMMIT;");
  if (!options.errorHandling && !splitColumns.empty()) WriteSplitCheck(f, table, splitColumns, markerBase);
  if (options.countRecords) WriteCountCheck(f, table, result.rows, options.deleteFirst);
  if (options.hideOutput) f.Line("SET FEEDBACK 6");
  f.Line("WHENEVER SQLERROR CONTINUE");
  f.Line("SET SQLBLANKLINES OFF");
  f.Line("SET DEFINE ON");
  if (progress && !progress(result.rows, counted)) return result;
  f.Commit();
  result.completed = true;
  return result;
}

}  // namespace operations
