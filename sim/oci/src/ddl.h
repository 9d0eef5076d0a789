// DDL and the data dictionary it maintains: CREATE/ALTER/DROP/TRUNCATE,
// COMMENT, GRANT/REVOKE. Each statement commits the session's open work first,
// as Oracle's DDL does, then changes the SQLite schema and the dictionary
// tables in one transaction of its own.
#pragma once

#include "server_session.h"
#include "sql/translate.h"

namespace ocisim {

// Runs a DDL translation. Returns true when a stored unit was created with
// compilation errors (the caller reports ORA-24344 as a warning).
bool ExecuteDdl(ServerSession& session, const sql::Translation& t);

}  // namespace ocisim
