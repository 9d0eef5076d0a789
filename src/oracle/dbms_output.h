// dbms_output.h — the session's channel to the server package sys.dbms_output.
//
// Enable, disable and read lines of the server-side output buffer through
// small PL/SQL calls on the owning session.
#pragma once

#include <string>

namespace oracle {

class TOracleSession;

class TDBMS_Output {
 public:
  explicit TDBMS_Output(TOracleSession& session) : session_(session) {}
  // The package name the calls go to.
  static constexpr const char* kPackage = "sys.dbms_output";

  void Enable(int bufferSize);
  void Disable();
  // Reads one line; `status` 0 means a line was returned.
  void GetLine(std::string& line, int& status);

 private:
  TOracleSession& session_;
};

}  // namespace oracle
