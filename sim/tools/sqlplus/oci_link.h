// oci_link.h — the SQL*Plus stand-in's connection to the server, through
// the client library's OCI calls as the real program makes them: one
// session, statements run one at a time, query rows fetched as text.
#pragma once

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace sqlplus {

// A failed call: the Oracle number, the whole message stack (lines joined by
// '\n') and, for statements, the parse-error offset into the text sent.
struct OraFailure : std::runtime_error {
  OraFailure(int code_, std::string text_, int offset_ = 0)
      : std::runtime_error(text_), code(code_), text(std::move(text_)), offset(offset_) {}
  int code;
  std::string text;
  int offset;
};

enum class ColumnKind { Text, Number, Date, Long, Other };

struct ResultColumn {
  std::string name;
  ColumnKind kind = ColumnKind::Text;
  int size = 0;  // declared length of character columns
};

// One statement's result: for queries the columns, then rows pulled by Next().
class Statement {
 public:
  virtual ~Statement() = default;
  virtual bool IsQuery() const = 0;
  virtual int RowCount() const = 0;  // rows processed (DML)
  virtual const std::vector<ResultColumn>& Columns() const = 0;
  // Fills `row` (nullopt-like: `nulls[i]` true) and returns false at the end.
  virtual bool Next(std::vector<std::string>& row, std::vector<bool>& nulls) = 0;
  // A CREATE/ALTER of stored code that the server kept but could not compile.
  virtual bool CompiledWithErrors() const { return false; }
};

class Connection {
 public:
  Connection();
  ~Connection();
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  void Logon(const std::string& user, const std::string& password, const std::string& alias);
  void Logoff();  // commits first, as SQL*Plus does
  bool Connected() const { return svc_ != nullptr; }
  const std::string& User() const { return user_; }
  // The server's banner lines.
  std::vector<std::string> Banner();

  std::unique_ptr<Statement> Execute(const std::string& text);
  void Commit();
  void Rollback();
  // DBMS_OUTPUT: switch the buffer on/off; fetch what the last call wrote.
  void EnableOutput(bool on, int size);
  std::vector<std::string> OutputLines();

  struct Handles;

 private:
  std::unique_ptr<Handles> h_;
  void* svc_ = nullptr;
  std::string user_;
};

}  // namespace sqlplus
