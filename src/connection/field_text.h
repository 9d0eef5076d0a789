// field_text.h — the display text of a fetched field, as listings and the
// command results show it.
#pragma once

#include <string>

#include "oracle/oracle_query.h"

namespace connection {

// Empty at the end of the rows or for a column that does not exist.  LONG
// values lose surrounding blanks and one trailing line break; dates keep the
// client's text as it is; everything else is trimmed.
std::string GetFieldText(const oracle::TOracleQuery& query, int index);
std::string GetFieldText(const oracle::TOracleQuery& query, const std::string& name);

}  // namespace connection
