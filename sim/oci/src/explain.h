// EXPLAIN PLAN: writes a plausible plan tree for the explained statement into
// the plan table (a statement row, a join when several objects are read, and
// one access row per object), like a rule-based optimizer would show it.
#pragma once

#include "executor.h"

namespace ocisim {

void ExplainInto(ServerSession& session, const sql::Translation& t, const BindValues& binds);

}  // namespace ocisim
