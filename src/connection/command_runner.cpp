// command_runner.cpp — the command runner: execute, write headings, rows,
// counts, server output or the error into a temporary file, and open it in
// the host's editor.
#include "connection/command_runner.h"

#include <cctype>
#include <cstdio>
#include <exception>
#include <memory>

#include "connection/compile_warning.h"
#include "connection/data_module.h"
#include "connection/field_text.h"
#include "host/host_services.h"
#include "host/messages.h"
#include "host/text_utils.h"
#include "oracle/dbms_output.h"
#include "oracle/lost_connection.h"
#include "platform/platform.h"

namespace connection {
namespace {

constexpr int kServerOutputBuffer = 100000;
constexpr const char* kPlanId = "FAR SQL PLAN";

// The result file is written through this small writer so a failed open
// or write is noticed (and reported) instead of showing a silently short
// or empty file.
class ResultFile {
 public:
  explicit ResultFile(const std::string& path) : file_(platform::OpenFile(path, "wb")) {}
  ~ResultFile() {
    if (file_ != nullptr) std::fclose(file_);
  }
  ResultFile(const ResultFile&) = delete;
  ResultFile& operator=(const ResultFile&) = delete;
  bool IsOpen() const { return file_ != nullptr; }
  void Line(const std::string& text = "") {
    if (file_ == nullptr) return;
    if ((!text.empty() && std::fwrite(text.data(), 1, text.size(), file_) != text.size()) ||
        std::fwrite("\r\n", 1, 2, file_) != 2)
      failed_ = true;
  }
  // False when any write, the final flush or the close failed.
  bool Close() {
    if (file_ == nullptr) return false;
    if (std::ferror(file_) != 0) failed_ = true;
    if (std::fclose(file_) != 0) failed_ = true;
    file_ = nullptr;
    return !failed_;
  }

 private:
  std::FILE* file_;
  bool failed_ = false;
};

std::string ErrorText(const std::exception& e) { return e.what(); }

// Where the statement itself starts: after blanks and any comments in
// front of it ("-- ..." to the end of the line, "/* ... */").
std::size_t StatementStart(const std::string& text) {
  std::size_t i = 0;
  while (i < text.size()) {
    if (std::isspace(static_cast<unsigned char>(text[i]))) {
      ++i;
    } else if (text.compare(i, 2, "--") == 0) {
      std::size_t end = text.find('\n', i);
      i = end == std::string::npos ? text.size() : end + 1;
    } else if (text.compare(i, 2, "/*") == 0) {
      std::size_t end = text.find("*/", i + 2);
      i = end == std::string::npos ? text.size() : end + 2;
    } else {
      break;
    }
  }
  return i;
}

// PL/SQL keeps its final ';' (it ends the block's last statement): only
// plain SQL loses it.  Leading comments do not make a block plain SQL.
bool IsPlsqlText(const std::string& text) {
  std::string upper = host::UpperCase(text);
  std::vector<std::string> words;
  std::size_t i = StatementStart(upper);
  while (words.size() < 4 && i < upper.size()) {
    while (i < upper.size() && std::isspace(static_cast<unsigned char>(upper[i]))) ++i;
    std::size_t start = i;
    while (i < upper.size() && (std::isalnum(static_cast<unsigned char>(upper[i])) || upper[i] == '_')) ++i;
    if (i == start) break;
    words.push_back(upper.substr(start, i - start));
  }
  if (words.empty()) return false;
  if (words[0] == "BEGIN" || words[0] == "DECLARE") return true;
  if (words[0] != "CREATE") return false;
  std::size_t k = 1;
  if (k + 1 < words.size() && words[k] == "OR" && words[k + 1] == "REPLACE") k += 2;
  if (k >= words.size()) return false;
  const std::string& unit = words[k];
  return unit == "PROCEDURE" || unit == "FUNCTION" || unit == "PACKAGE" || unit == "TRIGGER" || unit == "TYPE";
}

}  // namespace

const char* CreatePlanTableSql() {
  return "create table PLAN_TABLE (\r\n"
         "statement_id varchar2(30),\r\n"
         "timestamp date,\r\n"
         "remarks varchar2(80),\r\n"
         "operation varchar2(30),\r\n"
         "options varchar2(30),\r\n"
         "object_node varchar2(128),\r\n"
         "object_owner varchar2(30),\r\n"
         "object_name varchar2(30),\r\n"
         "object_instance numeric,\r\n"
         "object_type varchar2(30),\r\n"
         "optimizer varchar2(255),\r\n"
         "search_columns number,\r\n"
         "id numeric,\r\n"
         "parent_id numeric,\r\n"
         "position numeric,\r\n"
         "cost numeric,\r\n"
         "cardinality numeric,\r\n"
         "bytes numeric,\r\n"
         "other_tag varchar2(255),\r\n"
         "partition_start varchar2(255),\r\n"
         "partition_stop varchar2(255),\r\n"
         "partition_id numeric,\r\n"
         "other long)";
}

bool RunCommandLine(TPluginDataModule& module, const std::string& oemText, bool* notRun) {
  if (notRun != nullptr) *notRun = false;
  std::string text = host::Trim(oemText);
  if (text.empty()) return false;
  if (text.back() == ';' && !IsPlsqlText(text)) text.pop_back();
  // Only ";" (any number of them, with blanks or comments) is no statement:
  // run nothing.
  if (text.find_first_not_of("; \t\r\n", StatementStart(text)) == std::string::npos) return false;
  // A comment in front does not hide a DROP from the question.
  if (host::UpperCase(text.substr(StatementStart(text), 4)) == "DROP") {
    if (host::ShowQuestionMessage("Drop Command", "You really want to drop?", {"Drop", "Cancel"}) != 0)
      return false;
  }
  const bool ran = [&] {
    auto query = module.CreateNewOracleQuery({});
    if (!query) return false;
    query->SetSQL(host::FromOem(text));
    return ExecuteSqlCommand(module, *query);
  }();
  if (!ran && notRun != nullptr) *notRun = true;
  return ran;
}

namespace {

// Executes one query and writes its outcome: the success line or the
// heading and rows, the counts, the server output; an error ends it with an
// empty line and the message, which is also returned ("" on success), so a
// failure is never hidden in a file that could not be written.
std::string WriteOutcome(ResultFile& out, oracle::TOracleSession& session, oracle::TOracleQuery& query,
                         bool outputEnabled) {
  try {
    query.Execute();
    if (query.Eof() && session.ErrorCode() == kSuccessWithCompilationError) {
      // Stored, but with compilation errors: a warning, as SQL*Plus gives it.
      const std::string warning = CompilationWarning(query.Text());
      out.Line(warning.empty() ? session.ErrorText() : warning);
    } else if (query.Eof()) {
      out.Line("The command is successfully executed");
    } else {
      std::string heading, dashes;
      for (int i = 0; i < query.FieldCount(); ++i) {
        std::string name = query.FieldName(i);
        heading += name + " ";
        dashes += std::string(name.size(), '-') + " ";
      }
      out.Line(heading);
      out.Line(dashes);
    }
    int rows = 0;
    while (!query.Eof()) {
      std::string line;
      for (int i = 0; i < query.FieldCount(); ++i) line += GetFieldText(query, i) + " ";
      out.Line(line);
      ++rows;
      query.Next();
    }
    if (rows > 0) {
      out.Line();
      out.Line(std::to_string(rows) + " rows fetched");
    } else {
      int processed = query.RowsProcessed();
      if (processed > 0) {
        out.Line();
        out.Line(std::to_string(processed) + " rows processed");
      }
    }
    if (outputEnabled) {
      try {
        while (true) {
          std::string line;
          int status = 1;
          session.DBMS_Output().GetLine(line, status);
          if (status != 0) break;
          out.Line(line);
        }
      } catch (...) {
        // Unreadable server output ends the listing silently.
      }
    }
  } catch (const std::exception& e) {
    out.Line();
    out.Line(ErrorText(e));
    return ErrorText(e);
  } catch (...) {
    out.Line();
    out.Line("Unknown error");
    return "Unknown error";
  }
  return {};
}

// The frame around running: the temporary result file, the progress note,
// server output on, and the file opened in the editor afterwards.
template <typename Write>
bool RunWithResults(TPluginDataModule& module, Write write) {
  oracle::TOracleSession& session = module.OracleSession();
  if (!session.Connected()) {
    host::ShowErrorMessage("Not logged on!");
    return false;
  }
  std::string path = platform::CreateTempFile("SQL");
  if (path.empty()) {
    host::ShowErrorMessage("Error of creation temporary file");
    return false;
  }
  // Opened before the statement runs: a file that cannot take the results
  // must not let the statement run unseen.
  ResultFile file(path);
  if (!file.IsOpen()) {
    platform::RemoveFile(path);
    host::ShowErrorMessage("Can't open file [" + path + "]");
    return false;
  }
  far::HANDLE saved = host::ShowProgressMessage("Processing command ...");
  bool written = false;
  std::string failure;  // the first error a statement raised
  {
    bool outputEnabled = false;
    try {
      session.DBMS_Output().Enable(kServerOutputBuffer);
      outputEnabled = true;
    } catch (...) {
      // No server output package: the command still runs.
    }
    failure = write(file, session, outputEnabled);
    if (outputEnabled) {
      try {
        session.DBMS_Output().Disable();
      } catch (...) {
      }
    }
    written = file.Close();
  }
  host::RestoreProgress(saved);
  if (!written) {
    // The statement has run; say that its results could not be kept rather
    // than show a short or empty file as if it were all.
    platform::RemoveFile(path);
    if (failure.empty())
      host::ShowErrorMessage("The command was executed, but its results could not be written to the file [" +
                             path + "]");
    else
      host::ShowErrorMessage("The command failed, and its results could not be written to the file [" + path +
                             "]: " + failure);
    return true;
  }
  const far::PluginStartupInfo& h = host::Host();
  if (h.Editor != nullptr)
    h.Editor(host::ToOem(path).c_str(), host::ToOem("Command results").c_str(), 0, 0, -1, -1, 0, 0, 0);
  platform::RemoveFile(path);
  return true;
}

}  // namespace

bool ExecuteSqlCommand(TPluginDataModule& module, oracle::TOracleQuery& query) {
  return RunWithResults(module, [&](ResultFile& out, oracle::TOracleSession& session, bool outputEnabled) {
    return WriteOutcome(out, session, query, outputEnabled);
  });
}

bool ExecuteSqlCommands(TPluginDataModule& module, const std::vector<std::string>& statements) {
  if (statements.empty()) return false;
  return RunWithResults(module, [&](ResultFile& out, oracle::TOracleSession& session, bool outputEnabled) {
    std::string failure;
    auto keep = [&failure](const std::string& error) {
      if (failure.empty()) failure = error;
    };
    for (std::size_t i = 0; i < statements.size(); ++i) {
      // With several statements each outcome is headed by its statement.
      if (statements.size() > 1) {
        if (i > 0) out.Line();
        out.Line(statements[i]);
      }
      try {
        auto query = module.CreateNewOracleQuery({});
        if (!query) {
          out.Line();
          out.Line("The statement could not be prepared");
          keep("The statement could not be prepared");
          continue;
        }
        query->SetSQL(statements[i]);
        keep(WriteOutcome(out, session, *query, outputEnabled));
      } catch (const std::exception& e) {
        out.Line();
        out.Line(ErrorText(e));
        keep(ErrorText(e));
      }
    }
    return failure;
  });
}

bool ExplainPlan(TPluginDataModule& module, const std::vector<std::string>& lines) {
  if (!module.UserTableExists("PLAN_TABLE")) {
    std::string text = "Table \"PLAN_TABLE\" doesn't exist in scheme " +
                       host::UpperCase(module.OracleSession().LogonUsername) + ". Do you want to create it?";
    if (host::ShowQuestionMessage("Explain plan", text, {"[ Create! ]", "[ Don't create ]"}) != 0) return false;
    far::HANDLE saved = host::ShowProgressMessage("Creating \"PLAN_TABLE\" ...");
    try {
      auto create = module.CreateNewOracleQuery({});
      if (!create) throw std::runtime_error("the query could not be created");
      create->SetSQL(CreatePlanTableSql());
      create->Execute();
    } catch (const std::exception& e) {
      host::RestoreProgress(saved);
      host::ShowErrorMessage(
          "Explain plan: error during creating table \"PLAN_TABLE\" which is used for creating execution "
          "plans - " + ErrorText(e));
      return false;
    }
    host::RestoreProgress(saved);
  }
  try {
    auto del = module.CreateNewOracleQuery({});
    if (del) {
      del->SetSQL(std::string("DELETE FROM \"PLAN_TABLE\" WHERE STATEMENT_ID = '") + kPlanId + "'");
      del->Execute();
    }
  } catch (const std::exception& e) {
    if (oracle::IsLostConnection(e)) throw;
    host::ShowErrorMessage("Explain plan: Error during deleting old data - " + ErrorText(e));
  }
  try {
    auto explain = module.CreateNewOracleQuery({});
    if (!explain) return false;
    explain->SQL.clear();
    explain->SQL.push_back(std::string("EXPLAIN PLAN SET STATEMENT_ID = '") + kPlanId +
                           "' INTO \"PLAN_TABLE\" FOR ");
    explain->SQL.insert(explain->SQL.end(), lines.begin(), lines.end());
    explain->Execute();
    return true;
  } catch (const std::exception& e) {
    if (oracle::IsLostConnection(e)) throw;
    host::ShowErrorMessage("Explain plan: error during executing \"EXPLAIN PLAN\" - " + ErrorText(e));
    return false;
  }
}

void GetSqlText(TPluginDataModule& module, const std::string& address, const std::string& hash,
                std::vector<std::string>& target) {
  auto q = module.CreateNewOracleQuery({"ADDR", "HASH"});
  if (!q) return;
  q->SetVariable("ADDR", address);
  q->SetVariable("HASH", hash);
  q->SetSQL(
      "SELECT SQL_TEXT FROM V$SQLTEXT WHERE ADDRESS = HEXTORAW(:ADDR) AND HASH_VALUE = :HASH ORDER BY PIECE");
  q->Execute();
  std::string text;
  while (!q->Eof()) {
    text += q->FieldAsString("SQL_TEXT");
    q->Next();
  }
  target.push_back(text);
}

}  // namespace connection
