// Oracle error numbers and their standard texts, and the exception that carries
// one through the stand-in. Every failure the client can see is an OraError; the
// OCI entry points turn it into an error record ("ORA-nnnnn: text").
#pragma once

#include <string>
#include <initializer_list>

#include "sql/translate.h"

namespace ocisim {

// The one exception type of the stand-in; shared with the SQL translator.
// code is the ORA number, what() the full text "ORA-01017: invalid ...".
using OraFailure = sql::OraError;

// Builds the full message of `code`, filling its "%s" places from `args` in order.
std::string OraMessage(int code, std::initializer_list<std::string> args = {});

// Throws OraFailure for `code` with its standard text.
[[noreturn]] void ThrowOra(int code, std::initializer_list<std::string> args = {});

// Throws with a message assembled by the caller (PL/SQL stacks, compiler errors).
[[noreturn]] void ThrowOraText(int code, std::string message);

}  // namespace ocisim
