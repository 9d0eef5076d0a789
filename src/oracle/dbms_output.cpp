// dbms_output.cpp — see dbms_output.h.
#include "oracle/dbms_output.h"

#include "oracle/oracle_query.h"
#include "oracle/oracle_session.h"

namespace oracle {

void TDBMS_Output::Enable(int bufferSize) {
  TOracleQuery query(&session_);
  query.SetSQL(std::string("begin ") + kPackage + ".enable(:buffer_size); end;");
  query.DeclareVariable("buffer_size", otInteger);
  query.SetVariable("buffer_size", bufferSize);
  query.Execute();
}

void TDBMS_Output::Disable() {
  TOracleQuery query(&session_);
  query.SetSQL(std::string("begin ") + kPackage + ".disable; end;");
  query.Execute();
}

void TDBMS_Output::GetLine(std::string& line, int& status) {
  TOracleQuery query(&session_);
  query.SetSQL(std::string("begin ") + kPackage + ".get_line(:line, :status); end;");
  query.DeclareVariable("line", otString);
  query.DeclareVariable("status", otInteger);
  query.Execute();
  line = query.GetVariableText("line");
  const TOracleValue value = query.GetVariable("status");
  status = std::holds_alternative<std::int64_t>(value) ? static_cast<int>(std::get<std::int64_t>(value)) : 1;
}

}  // namespace oracle
