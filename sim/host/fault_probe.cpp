// fault_probe.cpp — see fault_probe.h.
#include "fault_probe.h"

#include <sys/stat.h>

#include <cctype>
#include <cstdio>

#include "host.h"

namespace hostsim {
namespace {

constexpr const char* kLogonDialog = "&Oracle Logon";

// What a message line says when the action could not reach the server.
constexpr const char* kLostConnection[] = {"ORA-03113", "ORA-03114", "ORA-01012", "not connected"};

bool StartsWith(const std::string& s, const char* prefix) { return s.rfind(prefix, 0) == 0; }

std::string Verb(const std::string& line) {
  std::size_t b = 0;
  while (b < line.size() && std::isspace(static_cast<unsigned char>(line[b]))) ++b;
  std::size_t e = b;
  while (e < line.size() && !std::isspace(static_cast<unsigned char>(line[e]))) ++e;
  return line.substr(b, e - b);
}

}  // namespace

bool FaultProbe::IsAction(const std::string& line) {
  const std::string verb = Verb(line);
  return !verb.empty() && verb[0] != '#' && verb != "answer" && verb != "set" && verb != "echo" &&
         !StartsWith(verb, "expect");
}

int FaultProbe::ErrorBoxes(const std::vector<std::string>& lines, std::size_t from, std::size_t to) {
  int boxes = 0;
  for (std::size_t i = from; i < to && i < lines.size(); ++i) {
    if (!StartsWith(lines[i], "message flags=")) continue;
    bool error = lines[i].size() >= 13 && lines[i].compare(lines[i].size() - 13, 13, "title=\"Error\"") == 0;
    bool buttons = false;
    for (std::size_t k = i + 1; k < to && k < lines.size(); ++k) {
      if (StartsWith(lines[k], "message-line ")) error = error || lines[k].find("ORA-") != std::string::npos;
      else if (StartsWith(lines[k], "message-button ")) buttons = true;
      else break;
    }
    if (error && buttons) ++boxes;
  }
  return boxes;
}

std::uint64_t FaultProbe::LogSize() const {
  struct stat st;
  return ::stat(faultLog_.c_str(), &st) == 0 ? static_cast<std::uint64_t>(st.st_size) : 0;
}

void FaultProbe::Before(const std::string& line, int lineNo) {
  line_ = line;
  lineNo_ = lineNo;
  firstRecord_ = host_.transcript().Lines().size();
  answers_ = host_.answers();
  logSize_ = LogSize();
  panelOpen_ = host_.panelOpen();
  directory_ = panelOpen_ ? host_.snapshot().curDir.value_or("") : "";
  const HostItem* current = panelOpen_ ? host_.panel().CurrentItem() : nullptr;
  cursor_ = current ? current->name : "";
  selection_.clear();
  if (panelOpen_)
    for (const HostItem& item : host_.panel().items())
      if (item.selected) selection_.push_back(item.name);
}

bool FaultProbe::After() {
  if (LogSize() != logSize_) return true;
  int boxes = BoxesSince(firstRecord_);
  if (boxes > 0)
    host_.transcript().Line("action-boxes line=" + std::to_string(lineNo_) + " error-boxes=" + std::to_string(boxes));
  else if (UsedLogonDialogSince(firstRecord_))
    goodLogon_ = host_.LastDialogAnswer(kLogonDialog);
  return false;
}

// Whether the logon dialog was shown and answered (not cancelled) in the
// transcript from `from` on.
bool FaultProbe::UsedLogonDialogSince(std::size_t from) const {
  const auto& lines = host_.transcript().Lines();
  bool shown = false;
  for (std::size_t i = from; i < lines.size(); ++i) {
    if (StartsWith(lines[i], "dialog-item 0 ")) shown = lines[i].find(Quote(kLogonDialog)) != std::string::npos;
    else if (shown && StartsWith(lines[i], "dialog-result ") && !StartsWith(lines[i], "dialog-result -1")) return true;
  }
  return false;
}

int FaultProbe::BoxesSince(std::size_t from) const {
  const auto& lines = host_.transcript().Lines();
  return ErrorBoxes(lines, from, lines.size());
}

bool FaultProbe::LostConnectionShownSince(std::size_t from) const {
  const auto& lines = host_.transcript().Lines();
  for (std::size_t i = from; i < lines.size(); ++i) {
    if (!StartsWith(lines[i], "message-line ")) continue;
    for (const char* text : kLostConnection)
      if (lines[i].find(text) != std::string::npos) return true;
  }
  return false;
}

bool FaultProbe::Check(bool ok, const std::string& failure) {
  if (!ok) {
    host_.transcript().Line("error probe: " + failure);
    failed_ = true;
  }
  return ok;
}

// ".." from where the fault left the panel.  At the root it closes the
// panel whatever the plugin does, so there is nothing to learn there.
bool FaultProbe::LeaveListing() {
  if (!host_.panelOpen()) {
    host_.transcript().Line("probe dotdot skipped: the panel is closed");
    return true;
  }
  const std::string from = host_.snapshot().curDir.value_or("");
  if (from.empty() || from == "\\") {
    host_.transcript().Line("probe dotdot skipped: the panel is at the root");
    return true;
  }
  const std::size_t mark = host_.transcript().Lines().size();
  host_.ChangeDirectory("..");
  const std::string to = host_.panelOpen() ? host_.snapshot().curDir.value_or("") : "(closed)";
  const int boxes = BoxesSince(mark);
  host_.transcript().Line("probe dotdot from=" + Quote(from) + " to=" + Quote(to) +
                          " error-boxes=" + std::to_string(boxes));
  bool ok = Check(to != from, "\"..\" did not leave " + Quote(from));
  return Check(boxes <= 1, "\"..\" showed " + std::to_string(boxes) + " error boxes") && ok;
}

// Whether the last fault played lost the connection (the fault log's line
// says so); a server error or a stall leaves the session and its work.
bool FaultProbe::LastFaultDropped() const {
  std::FILE* in = std::fopen(faultLog_.c_str(), "r");
  if (!in) return true;
  std::string last, line;
  char buffer[256];
  while (std::fgets(buffer, sizeof buffer, in)) {
    line += buffer;
    if (!line.empty() && line.back() == '\n') {
      last = line;
      line.clear();
    }
  }
  std::fclose(in);
  if (!line.empty()) last = line;
  return last.find("connection dropped") != std::string::npos;
}

// Alt+F10 answered as the script answered the logon dialog the last time
// the answer let it log on (an action with no error box; a script may try a
// wrong password on purpose, and the fault may meet that action).  After a
// drop nothing may stand before the logon (the server rolled the session's
// work back); after any other fault the work is still there, and a question
// about it is answered "Roll back".
bool FaultProbe::LogOnAgain() {
  if (!host_.panelOpen() && !host_.Open()) return Check(false, "the panel does not open again");
  std::optional<DialogAnswer> logon = goodLogon_ ? goodLogon_ : host_.LastDialogAnswer(kLogonDialog);
  if (!logon) {
    host_.transcript().Line("probe relogon skipped: the script never logged on");
    return true;
  }
  host_.answers().Clear();
  const bool dropped = LastFaultDropped();
  if (!dropped) host_.answers().Add(MessageAnswer{false, Choice{false, -1, "Roll back"}, true});
  host_.answers().Add(*logon);
  const std::size_t mark = host_.transcript().Lines().size();
  host_.PressKey("Alt+F10");
  const int boxes = BoxesSince(mark);
  host_.transcript().Line("probe relogon error-boxes=" + std::to_string(boxes));
  bool used = host_.answers().PendingDialogs() == 0;
  host_.answers().Clear();
  bool ok = Check(used, "Alt+F10 showed no logon dialog");
  // A question the user could not expect stands between Alt+F10 and the
  // logon (after it, the listing may show boxes of its own).
  const std::vector<std::string> lines = host_.transcript().Lines();  // a copy: Check adds lines
  for (std::size_t i = mark; dropped && i < lines.size() && !StartsWith(lines[i], "dialog-result "); ++i)
    if (lines[i].find("(no answer queued)") != std::string::npos) {
      ok = Check(false, "Alt+F10 asked more than the logon dialog") && ok;
      break;
    }
  // Logged on: the info panel names the user, and no box said the
  // connection was lost.  (Other boxes may be the listing's own: a script
  // can turn reporting of unreadable views on.)
  bool loggedOn = false;
  for (const PanelSnapshot::Line& info : host_.snapshot().infoLines)
    if (info.text == "User name:") loggedOn = !info.data.empty();
  return Check(loggedOn && !LostConnectionShownSince(mark), "Alt+F10 did not log on again") && ok;
}

// Back to the directory, item and selection the action started from.
void FaultProbe::ReturnToAction() {
  if (!panelOpen_) {
    if (host_.panelOpen()) host_.Close();
    return;
  }
  if (!host_.panelOpen()) host_.Open();
  if (host_.snapshot().curDir.value_or("") != directory_) host_.ChangeDirectory(directory_.empty() ? "\\" : directory_);
  if (!cursor_.empty() && host_.panel().Find(cursor_) >= 0) host_.MoveCursor(cursor_);
  if (!selection_.empty()) host_.Select(selection_, true);
}

bool FaultProbe::Probe(const std::function<bool(const std::string&)>& run) {
  const int boxes = BoxesSince(firstRecord_);
  host_.transcript().Line("probe fault line=" + std::to_string(lineNo_) + " " + Quote(line_) +
                          " error-boxes=" + std::to_string(boxes));
  // Answers the action did not get to use belong to nothing any more.
  if (std::string left = host_.answers().Pending(); !left.empty())
    host_.transcript().Line("probe unused answers: " + left);
  host_.answers().Clear();
  LeaveListing();
  if (LogOnAgain()) {
    ReturnToAction();
    const std::string line = line_;
    host_.answers() = answers_;
    const std::size_t mark = host_.transcript().Lines().size();
    run(line);
    host_.transcript().Line("probe replay line=" + std::to_string(lineNo_) +
                            " error-boxes=" + std::to_string(BoxesSince(mark)));
    Check(!LostConnectionShownSince(mark), "after Alt+F10 the action still meets a lost connection");
    host_.answers().Clear();
  }
  host_.transcript().Line("probe done");
  return !failed_;
}

}  // namespace hostsim
