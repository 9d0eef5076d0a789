// The stand-in's side of the PL/SQL interpreter: SQL through the session's
// cursors, the SYS packages (DBMS_OUTPUT, DBMS_UTILITY, DBMS_JOB, DBMS_LOB,
// DBMS_APPLICATION_INFO, DBMS_TRANSACTION), recompiling INVALID units before
// use, and firing triggers around DML.
#pragma once

#include "executor.h"

namespace ocisim {

// Runs an anonymous block (DECLARE/BEGIN ...). What it assigns to its
// placeholders lands in `outs`. Errors are OraFailure with the PL/SQL stack.
// True when the block compiles and names a table, view, sequence or stored
// unit: then only the interpreter can run it.
bool PlsqlBlockUsesStoredObjects(ServerSession& s, const std::string& text);
// True when only the interpreter runs the block as the server does: it uses
// stored objects, writes DBMS_OUTPUT or raises an application error.
bool PlsqlBlockNeedsInterpreter(ServerSession& s, const std::string& text);
// Compiles an anonymous block without running it: ORA-06550 with the errors.
void CheckPlsqlBlock(ServerSession& s, const std::string& text);
void RunPlsqlBlock(ServerSession& s, const std::string& text, const BindValues& binds, BindValues& outs);

// SQLite's "no such function: NAME" for a stored function the session can
// call: registers NAME on the session's connection (it runs the function
// through the interpreter) and returns true, so the statement can be prepared again.
bool RegisterStoredFunction(ServerSession& s, const std::string& sqliteMessage);

// The DML of `t` on its table with the table's triggers: statement triggers
// once before and after, row triggers per row with :NEW/:OLD and WHEN.
// Returns false when the table has no enabled triggers (the caller runs the
// statement as it is).
bool RunDmlWithTriggers(ServerSession& s, const sql::Translation& t, const BindValues& binds, int64_t* rows);

}  // namespace ocisim
