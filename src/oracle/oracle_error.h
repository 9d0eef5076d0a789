// oracle_error.h — the exceptions of the Oracle client layer.
//
// Server and client-library failures travel as EOracleError with the Oracle
// error number and the library's text; EOracleWarning marks a non-fatal one.
// Programming errors (undeclared variable, bad field index, ...) are plain
// std::runtime_error with the texts of the query and session classes.
#pragma once

#include <stdexcept>
#include <string>

namespace oracle {

class EOracleError : public std::runtime_error {
 public:
  EOracleError(int errorCode, const std::string& message)
      : std::runtime_error(message), errorCode_(errorCode) {}
  int ErrorCode() const { return errorCode_; }
  // Where in the statement text (0-based byte offset) the server found the
  // fault, when it said so; -1 otherwise.
  int ParseOffset() const { return parseOffset_; }
  void SetParseOffset(int offset) { parseOffset_ = offset; }

 private:
  int errorCode_;
  int parseOffset_ = -1;
};

class EOracleWarning : public EOracleError {
 public:
  using EOracleError::EOracleError;
};

}  // namespace oracle
