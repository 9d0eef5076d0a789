// EXPLAIN PLAN: writes the plan tree of the explained statement into the plan
// table. The tree is read from how SQLite runs the translated statement
// (EXPLAIN QUERY PLAN) and told in Oracle's words: a full scan, an access by
// index with its unique, range or full index scan, nested loops for each
// further table, and the sort an ORDER BY, GROUP BY or DISTINCT needs. So the
// plan changes when an index is created or dropped.
#pragma once

#include "executor.h"

namespace ocisim {

void ExplainInto(ServerSession& session, const sql::Translation& t, const BindValues& binds);

}  // namespace ocisim
