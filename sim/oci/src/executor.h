// The server side of one statement handle or OCI7 cursor: translation,
// binding, execution (queries, DML, DDL, PL/SQL blocks, session and
// transaction control) and the row source that fetches read from.
#pragma once

#include "server_session.h"
#include "sql/translate.h"
#include "value.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace ocisim {

using BindValues = std::map<std::string, Value>;  // upper-cased name without ':'

class Cursor {
 public:
  explicit Cursor(ServerSession& session) : session_(session) {}
  ~Cursor();
  Cursor(const Cursor&) = delete;
  Cursor& operator=(const Cursor&) = delete;

  // Keeps the text; nothing reaches the server yet (errors come at execute).
  void Prepare(std::string text);
  const std::string& text() const { return text_; }
  // OCI statement type from the leading keyword.
  int StmtType() const { return stmt_type_; }
  // Placeholder names of the text (":NAME" outside quotes and comments), upper-cased.
  const std::vector<std::string>& Placeholders() const { return placeholders_; }

  // Translates the text without running it: syntax and name errors now.
  void Validate();
  // Translates and runs the statement. For a query the rows are then read with
  // Fetch(); describe_only stops after describing the select list.
  void Execute(const BindValues& binds, bool describe_only = false);
  bool IsQuery() const { return is_query_; }
  bool executed() const { return executed_; }
  const std::vector<ColumnInfo>& Columns() const { return columns_; }
  // Advances to the next row; false at the end of the rows.
  bool Fetch();
  bool AtEnd() const { return at_end_; }
  Value ColumnValue(int index) const;
  // The current row's value as SQLite stores it, without copying: its
  // storage class (SQLITE_TEXT ...) and, for text, the bytes.
  int ColumnStorage(int index) const { return sqlite3_column_type(stmt_, index); }
  const char* ColumnChars(int index, size_t* n) const {
    const char* p = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, index));
    *n = static_cast<size_t>(sqlite3_column_bytes(stmt_, index));
    return p;
  }
  int64_t ColumnInt(int index) const { return sqlite3_column_int64(stmt_, index); }
  double ColumnReal(int index) const { return sqlite3_column_double(stmt_, index); }
  // DML: rows processed; queries: rows fetched so far.
  int64_t RowCount() const { return row_count_; }
  // 24344 when the DDL created a unit with compilation errors, else 0.
  int Warning() const { return warning_; }
  // Values that a PL/SQL block assigned to bind variables.
  const BindValues& OutBinds() const { return outs_; }
  // The SQLite text a query or DML statement was translated to (for the benchmark).
  const std::string& SqliteText() const { return sqlite_text_; }
  void Close();

 private:
  void RunQuery(const sql::Translation& t, const BindValues& binds, bool describe_only);
  void RunDml(const sql::Translation& t, const BindValues& binds);
  void RunPlsql(const sql::Translation& t, const BindValues& binds);
  void Describe(const sql::Translation& t);
  // Tells the session's activity (cursor cache, open cursors, counters).
  void NoteExecuted(const sql::Translation& t);

  ServerSession& session_;
  std::string text_;
  int stmt_type_ = 0;
  std::vector<std::string> placeholders_;
  sqlite3_stmt* stmt_ = nullptr;
  std::vector<ColumnInfo> columns_;
  bool is_query_ = false;
  bool executed_ = false;
  bool at_end_ = true;
  bool pending_row_ = false;  // the first row was stepped while describing
  int64_t row_count_ = 0;
  BindValues outs_;
  int warning_ = 0;
  std::string sqlite_text_;
  bool noted_ = false;  // the cursor is open in V$OPEN_CURSOR
};

// The OCI statement type of a text, from its leading keyword.
int StatementTypeOf(const std::string& text);
// Placeholder names of a text (":NAME" outside quotes and comments), upper-cased, once each.
std::vector<std::string> PlaceholdersOf(const std::string& text);

// Binds `names` (one per '?') from `binds`; ORA-01008 for a missing one.
void BindAll(sqlite3_stmt* stmt, const std::vector<std::string>& names, const BindValues& binds);

// Oracle's describe of a declared column type ("VARCHAR2(10)", "NUMBER(7,2)", ...).
ColumnInfo DescribeDeclaredType(const std::string& declared);

}  // namespace ocisim
