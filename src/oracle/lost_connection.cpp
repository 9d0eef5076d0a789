// lost_connection.cpp — see lost_connection.h.
#include "oracle/lost_connection.h"

#include <algorithm>
#include <iterator>

#include "oracle/oracle_error.h"

namespace oracle {
namespace {

// Errors after which the session is gone, by Oracle's message file.
constexpr int kLostConnectionCodes[] = {
    28,     // your session has been killed
    1012,   // not logged on
    1041,   // internal error. hostdef extension doesn't exist
    1089,   // immediate shutdown in progress - no operations are permitted
    1092,   // ORACLE instance terminated. Disconnection forced
    2396,   // exceeded maximum idle time, please connect again
    3113,   // end-of-file on communication channel
    3114,   // not connected to ORACLE
    3135,   // connection lost contact
    12152,  // TNS:unable to send break message
    12571,  // TNS:packet writer failure
};

}  // namespace

bool IsLostConnection(int oracleErrorCode) {
  return std::find(std::begin(kLostConnectionCodes), std::end(kLostConnectionCodes), oracleErrorCode) !=
         std::end(kLostConnectionCodes);
}

bool IsLostConnection(const std::exception& error) {
  const auto* oracleError = dynamic_cast<const EOracleError*>(&error);
  return oracleError != nullptr && IsLostConnection(oracleError->ErrorCode());
}

}  // namespace oracle
