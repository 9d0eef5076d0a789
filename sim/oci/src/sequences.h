// Sequences in SQL: the translator writes SEQ.NEXTVAL as
// ora_nextval('OWNER', 'SEQ') and SEQ.CURRVAL as ora_currval(...); these
// functions keep the value in DBA_SEQUENCES.LAST_NUMBER and the session's
// current values.
#pragma once

#include <sqlite3.h>

namespace ocisim {

void RegisterSequenceFunctions(sqlite3* db);

}  // namespace ocisim
