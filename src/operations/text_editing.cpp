// text_editing.cpp — the view / edit / compile loop behind F3 and F4.
//
// One pass writes the text to a temporary file, opens it, and (for an
// edited compilable text) runs it back into the database and looks for
// the first compile error.  A pass ends either done or asking for another
// pass (reopen) after a compile error, which also sets where the editor
// opens; the text then comes afresh from the server, which holds it.  A
// save that stores nothing (refused by the server, a wrapped unit, the
// user declined to compile into another schema) never ends the pass: the
// editor opens again on the user's own text.
#include "operations/text_editing.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <stdexcept>

#include "connection/exact_names.h"
#include "host/host_services.h"
#include "host/messages.h"
#include "host/text_utils.h"
#include "operations/created_unit.h"
#include "operations/exact_names.h"
#include "operations/object_text.h"
#include "operations/text_file.h"
#include "oracle/lost_connection.h"
#include "oracle/oracle_error.h"
#include "platform/platform.h"

namespace operations {
namespace {

constexpr const char* kNoRows = "This object has no sources or you have no privileges of access";

// The one progress note of the action: a new note first puts back the
// screen behind the last one, and so does any message shown meanwhile.
class ProgressNote {
 public:
  ProgressNote() = default;
  ProgressNote(const ProgressNote&) = delete;
  ProgressNote& operator=(const ProgressNote&) = delete;
  ~ProgressNote() { Close(); }
  void Show(const std::string& text) {
    Close();
    saved_ = host::ShowProgressMessage(text);
    shown_ = true;
  }
  void Close() {
    if (shown_) host::RestoreProgress(saved_);
    shown_ = false;
  }

 private:
  far::HANDLE saved_ = nullptr;
  bool shown_ = false;
};

// Removes the temporary file on every way out of a pass, unless the host
// took it over (the non-modal viewer deletes it when it closes).
class TempFile {
 public:
  explicit TempFile(std::string path) : path_(std::move(path)) {}
  ~TempFile() {
    if (!path_.empty()) platform::RemoveFile(path_);
  }
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;
  const std::string& Path() const { return path_; }
  // The file is someone else's now (the host's viewer, or the user's).
  void Release() {
    kept_ = path_;
    path_.clear();
  }
  const std::string& KeptPath() const { return kept_; }

 private:
  std::string path_, kept_;
};

struct CompileError {
  bool found = false;
  int line = 0;
  int column = 0;
  std::string text;
};

// The first compile error of the unit; owner, name and kind as the server
// keeps them (the name rule has been applied already).
CompileError FirstCompileError(connection::TPluginDataModule& module, const std::string& owner,
                               const std::string& name, const std::string& kind) {
  CompileError e;
  auto q = module.CreateNewOracleQuery({"OWNER", "NAME", "TYPE"});
  if (!q) return e;
  q->SetSQL("SELECT * FROM " + module.Prefix() +
            "ERRORS WHERE OWNER = :OWNER AND NAME = :NAME AND TYPE = :TYPE ORDER BY SEQUENCE");
  q->SetVariable("OWNER", owner);
  q->SetVariable("NAME", name);
  q->SetVariable("TYPE", host::UpperCase(kind));
  q->Execute();
  if (q->Eof()) return e;
  e.found = true;
  e.line = static_cast<int>(q->FieldAsInteger("LINE"));
  e.column = static_cast<int>(q->FieldAsInteger("POSITION"));
  e.text = q->FieldAsString("TEXT");
  return e;
}

// "line N, column M" in a server message (PL/SQL reports where in the sent
// text it failed); false when the message names no position.
bool MessagePosition(const std::string& message, int& line, int& column) {
  const std::string upper = host::UpperCase(message);
  std::size_t at = upper.find("LINE ");
  while (at != std::string::npos) {
    char* end = nullptr;
    long l = std::strtol(upper.c_str() + at + 5, &end, 10);
    std::size_t after = static_cast<std::size_t>(end - upper.c_str());
    if (after > at + 5 && upper.compare(after, 9, ", COLUMN ") == 0) {
      long c = std::strtol(upper.c_str() + after + 9, &end, 10);
      if (static_cast<std::size_t>(end - upper.c_str()) > after + 9 && l > 0 && c > 0) {
        line = static_cast<int>(l);
        column = static_cast<int>(c);
        return true;
      }
    }
    at = upper.find("LINE ", at + 5);
  }
  return false;
}

// The lines with comments and string literals blanked out (same lengths),
// so a search for a name finds only where the code uses it.
std::vector<std::string> CodeOnly(const std::vector<std::string>& lines) {
  std::vector<std::string> code = lines;
  bool inBlock = false;
  for (std::string& l : code) {
    bool inString = false;
    for (std::size_t i = 0; i < l.size(); ++i) {
      if (inBlock) {
        if (l.compare(i, 2, "*/") == 0) {
          l[i] = l[i + 1] = ' ';
          ++i;
          inBlock = false;
        } else {
          l[i] = ' ';
        }
      } else if (inString) {
        if (l[i] == '\'') inString = false;
        l[i] = ' ';
      } else if (l.compare(i, 2, "--") == 0) {
        for (std::size_t j = i; j < l.size(); ++j) l[j] = ' ';
        break;
      } else if (l.compare(i, 2, "/*") == 0) {
        l[i] = l[i + 1] = ' ';
        ++i;
        inBlock = true;
      } else if (l[i] == '\'') {
        inString = true;
        l[i] = ' ';
      }
    }
  }
  return code;
}

// An invalid identifier (ORA-00904 names it in double quotes, qualified
// names as "E"."ENAMEX"): the first place the code (not a comment or a
// literal) uses its last part as a whole word, 1-based.  False when the
// message names none or the code does not hold it.
bool IdentifierPosition(const std::string& message, const std::vector<std::string>& lines, int& line,
                        int& column) {
  if (message.rfind("ORA-00904", 0) != 0) return false;
  const std::size_t colon = message.find(": ", 9);
  const std::size_t close = colon == std::string::npos ? colon : message.rfind('"', message.find(':', colon + 2));
  const std::size_t open = close == std::string::npos || close == 0 ? std::string::npos : message.rfind('"', close - 1);
  if (open == std::string::npos || close == open + 1) return false;
  const std::string name = host::UpperCase(message.substr(open + 1, close - open - 1));
  auto wordChar = [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '$' || c == '#'; };
  const std::vector<std::string> code = CodeOnly(lines);
  for (std::size_t l = 0; l < code.size(); ++l) {
    const std::string upper = host::UpperCase(code[l]);
    for (std::size_t at = upper.find(name); at != std::string::npos; at = upper.find(name, at + 1)) {
      bool before = at > 0 && wordChar(upper[at - 1]);
      bool after = at + name.size() < upper.size() && wordChar(upper[at + name.size()]);
      if (before || after) continue;
      line = static_cast<int>(l) + 1;
      column = static_cast<int>(at) + 1;
      return true;
    }
  }
  return false;
}

// The server's parse position (a byte offset into the lines as they were
// sent, joined by CR LF) as a 1-based line and column.
bool OffsetPosition(const std::exception& error, const std::vector<std::string>& lines, int& line, int& column) {
  const auto* oracleError = dynamic_cast<const oracle::EOracleError*>(&error);
  if (oracleError == nullptr || oracleError->ParseOffset() < 0) return false;
  std::size_t offset = static_cast<std::size_t>(oracleError->ParseOffset());
  for (std::size_t l = 0; l < lines.size(); ++l) {
    if (offset <= lines[l].size()) {
      line = static_cast<int>(l) + 1;
      column = static_cast<int>(offset) + 1;
      return true;
    }
    offset -= std::min(offset, lines[l].size() + 2);
  }
  return false;
}

enum class Pass { Done, Reopen };

// Asks before compiling into a schema that is not the user's own: the
// text's CREATE names the schema only if the user wrote it there.
bool ConfirmOtherSchema(connection::TPluginDataModule& module, const TextJob& job) {
  std::string owner = host::UpperCase(job.owner);
  std::string user = host::UpperCase(module.OracleSession().LogonUsername);
  if (owner == user) return true;
  std::string text = "You are about to compile the " + job.kind + " of different schema [" + owner +
                     "]. Make sure you have added the schema name to the CREATE command. " +
                     "Otherwise it will be created in your own schema [" + user + "]" + "\r\n\r\n" +
                     "Are you going to proceed?";
  return host::ShowQuestionMessage("WARNING!", text, {"Yes, Compile it", "No, Dismiss!"}) == 0;
}

class TextSession {
 public:
  TextSession(connection::TPluginDataModule& module, TextJob job, bool edit)
      : module_(module), job_(std::move(job)), edit_(edit), title_(host::ToOem(job_.Title())) {}

  // Passes until one is done; true when an edited compilable text came
  // back (and the panel can show what it changed: not after the connection
  // was lost, when a refresh would only meet the lost connection again).
  bool Run() {
    while (OnePass() == Pass::Reopen) {
    }
    note_.Close();
    return modified_ && !connectionLost_;
  }

 private:
  Pass OnePass() {
    std::string path = platform::CreateTempFile("SQL", ".sql");
    if (path.empty()) {
      note_.Close();
      host::ShowErrorMessage("Can't create file [" + platform::TempDirectory() + "SQL*.sql]");
      return Pass::Done;
    }
    TempFile file(path);
    try {
      note_.Show("Loading data ...");
      if (job_.startAtFirstError) {
        CompileError first = FirstCompileError(module_, job_.owner, job_.name, job_.kind);
        if (first.found) {
          job_.startLine = first.line;
          job_.startColumn = first.column;
        }
      }
      WrittenText written = WriteObjectText(module_, job_, path);
      note_.Close();
      if (!written.hasRows) {
        host::ShowErrorMessage(kNoRows);
        return Pass::Done;
      }
      if (!edit_) {
        View(file);
        return Pass::Done;
      }
      // An error line counts from the part the server compiled.
      int line = written.headerLines + (job_.startLine > 0 ? written.bodyOffset + job_.startLine : 0);
      return Edit(file, written, line, job_.startColumn);
    } catch (const std::exception& e) {
      note_.Close();
      if (oracle::IsLostConnection(e)) connectionLost_ = true;
      host::ShowErrorMessage(std::string("Data loading error: ") + e.what());
      return Pass::Done;
    }
  }

  void View(TempFile& file) {
    const far::PluginStartupInfo& h = host::Host();
    if (h.Viewer == nullptr) return;
    // The viewer stays open after this call returns, so the host deletes
    // the file when it closes; only a viewer that did not open leaves it to us.
    if (h.Viewer(host::ToOem(file.Path()).c_str(), title_.c_str(), 0, 0, -1, -1,
                 far::VF_NONMODAL | far::kViewerDeleteFileOnClose) != 0)
      file.Release();
  }

  // Edits the file until the text is stored, the user leaves the editor
  // without a change, or a compile error asks for the text afresh.  Every
  // way that does not store the text gives it back to the user in the
  // editor, as the user left it.
  Pass Edit(TempFile& file, const WrittenText& written, int line, int column) {
    const far::PluginStartupInfo& h = host::Host();
    if (h.Editor == nullptr) return Pass::Done;
    while (true) {
      std::string before;
      if (!platform::ReadWholeFile(file.Path(), before)) throw std::runtime_error("cannot read " + file.Path());
      h.Editor(host::ToOem(file.Path()).c_str(), title_.c_str(), 0, 0, -1, -1, 0, line, column);
      // Hosts differ in what the editor reports; what counts is whether the
      // text on disk changed.
      std::string after;
      if (!platform::ReadWholeFile(file.Path(), after) || after == before || !job_.compilable) return Pass::Done;
      modified_ = true;
      if (written.wrapped) {
        host::ShowErrorMessage("Cant save wrapped object");
        continue;
      }
      if (!ConfirmOtherSchema(module_, job_)) continue;
      std::optional<Pass> saved = Save(file, line, column);
      if (saved) return *saved;
    }
  }

  // Runs the saved text.  Nothing when the server refused it (the editor
  // then opens again on it, at `line` and `column`, which this sets to the
  // place the message names); otherwise whether a compile error asks for
  // another pass.
  std::optional<Pass> Save(TempFile& file, int& line, int& column) {
    std::vector<std::string> lines;
    if (!ReadTextLines(file.Path(), lines)) throw std::runtime_error("cannot read " + file.Path());
    auto query = module_.CreateNewOracleQuery({});
    if (!query) throw std::runtime_error("the query could not be created");
    query->SQL = lines;
    note_.Show("Saving object ...");
    try {
      query->Execute();
    } catch (const std::exception& e) {
      note_.Close();
      // With the connection gone nothing can be saved before the user logs
      // on again, and that means leaving the editor: the text stays in its
      // file, and the user is told where.
      if (oracle::IsLostConnection(e)) {
        connectionLost_ = true;
        file.Release();
        host::ShowErrorMessage("The text was not saved. It is kept in the file\r" + file.KeptPath() + "\r\r" +
                               e.what());
        return Pass::Done;
      }
      // The server refused the text itself (a view's unknown column, any
      // DDL error): show why and give the text back, at the place the
      // message names (a line and column, or an invalid identifier).
      host::ShowErrorMessage(e.what());
      if (!OffsetPosition(e, lines, line, column) && !MessagePosition(e.what(), line, column))
        IdentifierPosition(e.what(), lines, line, column);
      return std::nullopt;
    }
    // The unit is where the text put it: a CREATE without a schema lands in
    // the user's own schema, whoever owned the unit that was opened.
    CreatedUnit unit{job_.kind, job_.owner, job_.name};
    if (auto created = ParseCreatedUnit(lines, module_.OracleSession().LogonUsername)) unit = *created;
    CompileError first = FirstCompileError(module_, unit.owner, unit.name, unit.kind);
    note_.Close();
    if (!first.found) return Pass::Done;
    host::ShowErrorMessage(first.text);
    // The server holds the new text there; the next pass fetches it afresh.
    if (unit.owner != job_.owner || unit.name != job_.name || unit.kind != job_.kind) {
      job_ = UnitTextJob(unit.kind, unit.owner, unit.name, module_.Prefix());
      title_ = host::ToOem(job_.Title());
    }
    job_.startLine = first.line;
    job_.startColumn = first.column;
    job_.startAtFirstError = false;
    return Pass::Reopen;
  }

  connection::TPluginDataModule& module_;
  TextJob job_;
  bool edit_;
  std::string title_;
  ProgressNote note_;
  bool modified_ = false;
  bool connectionLost_ = false;
};

}  // namespace

bool ReadTextLines(const std::string& path, std::vector<std::string>& lines) {
  std::string text;
  if (!platform::ReadWholeFile(path, text)) return false;
  lines.clear();
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    std::string line = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return true;
}

bool ShowObjectText(panel::TOracleController& controller, bool edit, bool alternative) {
  connection::TPluginDataModule& module = controller.DataModule();
  if (!module.Connected()) return false;
  CurrentItem item = ReadCurrentItem(controller);
  std::vector<std::string> levels;
  for (std::size_t n = 2; n <= 8; ++n) levels.push_back(controller.GetPathLevel(n));
  std::vector<std::string> exactLevels = ExactPathLevels(host::FromOem(controller.CurrentDirectory()));
  NameRule rule = [&module](const std::string& asWritten, const std::string& owner, const std::string& kind) {
    if (owner.empty()) return connection::ExactName(module, asWritten, connection::UserLookup());
    return connection::ExactName(module, asWritten,
                                 connection::ObjectLookup(owner, kind.empty() ? std::vector<std::string>{}
                                                                              : std::vector<std::string>{kind}));
  };
  std::optional<TextJob> job = ChooseText(levels, item, alternative, module.Prefix(), exactLevels, rule);
  if (!job) return false;
  return TextSession(module, std::move(*job), edit).Run();
}

}  // namespace operations
