// call_log.h — an optional log of the calls that show which interface a
// client used: with OCISIM_CALL_LOG set to a file name, each successful
// logon appends a line naming its call ("olog SCOTT", "OCISessionBegin
// SCOTT") and an OCI7 logoff the number of statements parsed with oparse
// on that logon.  Tests read it to see that a client really took the OCI7
// path; nothing is written without the variable.
#pragma once

#include <string>

namespace ocisim {

void LogCall(const std::string& line);

}  // namespace ocisim
