// Runs PL/SQL: anonymous blocks, stored procedures and functions, package
// state, cursors, exceptions with SQLCODE/SQLERRM and the ORA-06512 stack.
// The database is reached through Host; nothing here knows SQLite.
#pragma once

#include "plsql/compiler.h"
#include "plsql/value.h"

#include <chrono>
#include <map>
#include <stdexcept>

namespace ocisim::plsql {

struct QueryResult {
  std::vector<std::string> columns;
  std::vector<std::vector<Val>> rows;
};

// An error leaving PL/SQL: code is the ORA number (20001, 1403 ...), text the
// whole stack ("ORA-20001: x\nORA-06512: at line 3").
struct PlsqlError : std::runtime_error {
  int code;
  PlsqlError(int code, const std::string& text) : std::runtime_error(text), code(code) {}
};

class Host {
 public:
  virtual ~Host() = default;
  // The dictionary as `schema` sees it.
  virtual const Dictionary& DictFor(const std::string& schema) = 0;
  // Runs SQL with :PLSQL_Bn binds in order; errors come as PlsqlError with the ORA code.
  virtual QueryResult Query(const std::string& sql, const std::vector<Val>& binds) = 0;
  virtual int64_t Exec(const std::string& sql, const std::vector<Val>& binds) = 0;
  virtual void Commit() = 0;
  virtual void Rollback() = 0;
  // A routine of a SYS package (DBMS_OUTPUT.PUT_LINE ...). args may be written (OUT).
  virtual Val CallPackage(const std::string& package, const std::string& name, std::vector<Val*>& args) = 0;
  // Date to text as Oracle shows it without a format (DD-MON-RR).
  virtual std::string DateText(const std::string& internal) = 0;
  // The unit is VALID after compiling it when it needed that; false when it
  // has errors. Triggers of DML are fired by the host itself.
  virtual bool EnsureValid(const std::string& owner, const std::string& name, const std::string& type) = 0;
};

// Per session: package variables and the state of their initialisation.
struct SessionState;
std::shared_ptr<SessionState> NewSessionState();

struct Limits {
  int maxDepth = 1000;                                // nested calls before ORA-04030
  std::chrono::milliseconds timeLimit{10000};         // one top-level call, then ORA-01013
};

class Interpreter {
 public:
  Interpreter(Host& host, SessionState& state, std::string user, Limits limits = {});
  ~Interpreter();
  // Runs an anonymous block. binds: values of its :placeholders (upper-cased
  // names); what the block assigns to them is written back.
  void RunBlock(std::string_view src, std::map<std::string, Val>& binds);
  // Fires a row or statement trigger; row: the :NEW and :OLD records (NEW may be changed).
  void FireTrigger(const std::string& owner, const std::string& name, Val* newRow, Val* oldRow);

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace ocisim::plsql
