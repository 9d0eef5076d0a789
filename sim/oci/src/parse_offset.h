// parse_offset.h — where in a statement the server places a parse error
// (OCI_ATTR_PARSE_ERROR_OFFSET on the error handle).
#pragma once

#include <string>

namespace ocisim {

// The 0-based byte offset of the fault in `sql` for the error `code` with
// text `message`, or 0 when the error has no position.  For ORA-00904 it is
// the first use of the identifier the message names (its last quoted part)
// outside comments and string literals, as the server reports it.
unsigned ParseErrorOffset(const std::string& sql, int code, const std::string& message);

}  // namespace ocisim
