// oracle_query.h — one SQL statement or PL/SQL block on a session.
//
// TOracleQuery holds the statement text (SQL lines joined by CR LF) and its
// declared variables, executes in the session's mode (OCI8 statement handle
// or OCI7 cursor), fetches a query's rows in arrays sized by the row width
// (one row at a time when a LONG or LONG RAW column is selected, whose value
// is read whole) and hands out field values by index or by name.
#pragma once

#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "oracle/oci_api.h"
#include "oracle/oracle_value.h"
#include "oracle/oracle_variables.h"

namespace oracle {

class TOracleSession;

// One select-list column and its fetch buffers.
struct TFieldData {
  std::string name;
  int type = 0;            // 3 integer, 4 float, 5 string, 12 date, 8 LONG, 24 LONG RAW, other
  int internalType = 0;    // the server's column type
  oci::ub2 externalType = 0;  // SQLT code it is defined with (0: not fetched)
  std::size_t width = 0;   // bytes per row
  std::vector<unsigned char> data;
  std::vector<oci::sb2> indicators;
  std::vector<oci::ub2> lengths;
  std::vector<oci::ub2> codes;
  oci::OCIDefine* define = nullptr;
  // LONG / LONG RAW: the current row's value, collected piecewise.
  std::string longValue;
  std::size_t longUsed = 0;
  oci::ub4 pieceLength = 0;
  oci::sb2 longIndicator = -1;
  oci::ub2 longCode = 0;
  bool IsLong() const { return type == otLong || type == otLongRaw; }
};

class TOracleQuery {
 public:
  explicit TOracleQuery(TOracleSession* session = nullptr);
  ~TOracleQuery();
  TOracleQuery(const TOracleQuery&) = delete;
  TOracleQuery& operator=(const TOracleQuery&) = delete;

  TOracleSession* Session() const { return session_; }
  void SetSession(TOracleSession* session);
  // Rows per fetch call.  By default they are sized by the row width (see
  // kFetchArrayBytes in oracle_query.cpp); SetReadBuffer fixes the number.
  int ReadBuffer() const { return readBuffer_; }
  void SetReadBuffer(int rows) {
    readBuffer_ = rows < 1 ? 1 : rows;
    sizedByWidth_ = false;
  }
  // The rows per fetch call of the open query (0 before it is executed).
  int FetchRows() const { return batchRows_; }
  // The bound on the fetch array of one open query sized by row width: the
  // define buffers (values, indicators, lengths, codes) of all its rows stay
  // within it, except that a single row wider than the bound is fetched
  // alone (its own width then is the bound).
  static constexpr std::size_t kFetchArrayBound = 8 * 1024 * 1024;
  // The bytes the open query's define buffers take now.
  std::size_t FetchArrayBytes() const;
  bool Optimize = true;
  bool Debug = false;
  bool StringFieldsOnly = false;
  // CLOB columns read whole and piecewise (as LONG), not cut to a text buffer.
  bool WholeClobs = false;
  bool Threaded = false;
  bool ThreadSynchronized = true;
  std::function<void(TOracleQuery&)> BeforeQuery;
  std::function<void(TOracleQuery&)> AfterQuery;
  std::vector<std::string> SQL;
  TVariables Variables;

  // Replaces the SQL lines with one text.
  void SetSQL(const std::string& text) { SQL.assign(1, text); }
  // The SQL lines joined by CR LF.
  std::string Text() const;
  // The text as it is parsed: substitution variables replaced.
  std::string TextToParse() const;

  void DeclareVariable(const std::string& name, int type) { Variables.Declare(name, type); }
  void SetVariable(const std::string& name, const TOracleValue& value) { Variables.Set(name, value); }
  void SetVariable(const std::string& name, const std::string& value) { Variables.Set(name, value); }
  void SetVariable(const std::string& name, const char* value) { Variables.Set(name, std::string(value)); }
  void SetVariable(const std::string& name, std::int64_t value) { Variables.Set(name, value); }
  void SetVariable(const std::string& name, int value) { Variables.Set(name, std::int64_t{value}); }
  void SetVariable(const std::string& name, double value) { Variables.Set(name, value); }
  TOracleValue GetVariable(const std::string& name) const { return Variables.Get(name); }
  // Convenience: the variable's value as text ("" when null).
  std::string GetVariableText(const std::string& name) const { return ValueToText(GetVariable(name)); }

  void Execute();
  bool Eof() const { return eof_; }
  bool Open() const { return open_; }
  void Next();
  void Close();
  int RowsProcessed();

  int FieldCount() const { return static_cast<int>(fields_.size()); }
  std::string FieldName(int index) const;
  int FieldIndex(const std::string& name) const;
  int FieldType(int index) const;
  bool FieldIsNull(int index) const;
  bool FieldIsNull(const std::string& name) const { return FieldIsNull(IndexOf(name)); }
  std::string FieldAsString(int index) const;
  std::string FieldAsString(const std::string& name) const { return FieldAsString(IndexOf(name)); }
  std::int64_t FieldAsInteger(int index) const;
  std::int64_t FieldAsInteger(const std::string& name) const { return FieldAsInteger(IndexOf(name)); }
  double FieldAsFloat(int index) const;
  double FieldAsFloat(const std::string& name) const { return FieldAsFloat(IndexOf(name)); }
  TOracleValue Field(int index) const;
  TOracleValue Field(const std::string& name) const { return Field(IndexOf(name)); }

  // Called by a session that is being destroyed.
  void SessionGone() { session_ = nullptr; open_ = false; stmt_ = nullptr; }

 private:
  std::vector<TVariableData*> VariablesToBind(const std::string& text);
  void Execute8(const std::string& text, const std::vector<TVariableData*>& binds);
  void Execute7(const std::string& text, const std::vector<TVariableData*>& binds);
  void Describe8();
  void Describe7();
  void ChooseFieldBuffer(TFieldData& field, int dataSize, int precision, int scale, int charSize = 0);
  std::size_t TextWidth(int internalType, int dataSize, int charSize) const;
  void CheckTruncation() const;
  void Define8();
  void Define7();
  void Fetch();
  void Fetch8();
  void Fetch7();
  void ReadLongs7();
  int BatchSize() const { return batchRows_; }
  void ChooseBatchSize();
  const TFieldData& CheckedField(int index) const;
  int IndexOf(const std::string& name) const;
  std::string RawText(const TFieldData& field) const;

  TOracleSession* session_ = nullptr;
  int readBuffer_ = 25;
  bool sizedByWidth_ = true;
  int batchRows_ = 0;
  bool open_ = false;
  bool eof_ = true;
  bool oci8_ = true;
  std::vector<std::unique_ptr<TFieldData>> fields_;
  int rowsInBatch_ = 0;
  int currentRow_ = 0;
  bool endOfData_ = false;
  // The error of a fetch call that brought rows before it: raised once the
  // caller has read those rows.
  std::exception_ptr pendingError_;
  oci::ub4 rowCount_ = 0;
  oci::OCIStmt* stmt_ = nullptr;
  std::unique_ptr<oci::CdaDef> cda_;
  bool cursorOpen_ = false;
  bool executed7_ = false;
};

}  // namespace oracle
