// CREATE USER, ALTER USER and CREATE ROLE on the dictionary: DBA_USERS,
// DBA_ROLES (the creator holds a new role WITH ADMIN OPTION, as in Oracle)
// and DBA_TS_QUOTAS.  Needs the DBA role (ORA-01031 otherwise), but a user
// may change his own password.
#pragma once

#include "server_session.h"
#include "sql/translate.h"

namespace ocisim {

void ExecuteUserDdl(ServerSession& s, const sql::Translation& t);

}  // namespace ocisim
