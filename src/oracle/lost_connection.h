// lost_connection.h — telling a lost connection from other Oracle errors.
//
// After one of these the session can do nothing more until the user logs
// on again, so work that was on its way to the server must be kept.
#pragma once

#include <exception>

namespace oracle {

// True for the errors a client gets when the connection or the session is
// gone (ORA-03113 end-of-file on communication channel, ORA-03114 not
// connected, a killed session, a shut-down instance ...).
bool IsLostConnection(int oracleErrorCode);
// The same for an exception: an EOracleError with such a code.
bool IsLostConnection(const std::exception& error);

}  // namespace oracle
