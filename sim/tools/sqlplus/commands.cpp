// commands.cpp — SQL*Plus's own commands: SET, PROMPT, SPOOL, CONNECT,
// DISCONNECT, DEFINE, UNDEFINE, WHENEVER, EXIT/QUIT, @, @@, START, SHOW USER;
// the few others scripts use are accepted (COLUMN, TTITLE ...). A word that
// is none of these starts a SQL statement.
#include <sstream>

#include "engine.h"

namespace sqlplus {
namespace {

struct CommandWord {
  const char* full;
  size_t min;
};

// Commands accepted and not acted on.
const CommandWord kQuiet[] = {{"COLUMN", 3}, {"TTITLE", 3}, {"BTITLE", 3}, {"BREAK", 3}, {"COMPUTE", 4},
                              {"CLEAR", 2}, {"PAUSE", 3}, {"ACCEPT", 3}, {"VARIABLE", 3}, {"REPHEADER", 5},
                              {"REPFOOTER", 5}, {"STORE", 3}, {"ARCHIVE", 4}, {"ATTRIBUTE", 4}};

// "WHENEVER SQLERROR EXIT 3 ROLLBACK" and friends; false on a bad clause.
bool ParseRule(const std::vector<std::string>& w, size_t i, ExitRule& rule) {
  if (i >= w.size()) return false;
  ExitRule r;
  const std::string verb = Upper(w[i++]);
  if (verb == "EXIT") {
    r.exit = true;
    r.action = ExitRule::Action::Commit;
    if (i < w.size()) {
      const std::string c = Upper(w[i]);
      if (c == "SUCCESS") r.code = 0, ++i;
      else if (c == "FAILURE") r.code = 1, ++i;
      else if (c == "WARNING") r.code = 2, ++i;
      else if (c == "SQL.SQLCODE") r.code = -1, ++i;
      else if (!c.empty() && c.find_first_not_of("0123456789") == std::string::npos) r.code = std::stoi(c.substr(0, 9)) & 255, ++i;
    }
  } else if (verb == "CONTINUE") {
    r.action = ExitRule::Action::None;
  } else {
    return false;
  }
  if (i < w.size()) {
    const std::string a = Upper(w[i++]);
    if (a == "COMMIT") r.action = ExitRule::Action::Commit;
    else if (a == "ROLLBACK") r.action = ExitRule::Action::Rollback;
    else if (a == "NONE" && !r.exit) r.action = ExitRule::Action::None;
    else return false;
  }
  if (i < w.size()) return false;
  rule = r;
  return true;
}

std::vector<std::string> Words(const std::string& s) {
  std::istringstream in(s);
  std::vector<std::string> w;
  for (std::string x; in >> x;) w.push_back(x);
  if (!w.empty() && w.back() == ";") w.pop_back();
  if (!w.empty() && w.back().size() > 1 && w.back().back() == ';') w.back().pop_back();
  return w;
}

}  // namespace

void Engine::Whenever(const std::string& rest) {
  auto w = Words(rest);
  if (w.empty()) {
    Print("SP2-0306: Invalid option.");
    return;
  }
  const std::string kind = Upper(w[0]);
  ExitRule* target = kind == "SQLERROR" ? &sqlError_ : kind == "OSERROR" ? &osError_ : nullptr;
  if (!target || !ParseRule(w, 1, *target)) Print("SP2-0306: Invalid option.");
}

void Engine::ExitCommand(const std::string& rest) {
  auto w = Words(rest);
  int code = 0;
  ExitRule::Action action = ExitRule::Action::Commit;
  size_t i = 0;
  if (i < w.size()) {
    const std::string c = Upper(w[i]);
    if (c == "SUCCESS") code = 0, ++i;
    else if (c == "FAILURE") code = 1, ++i;
    else if (c == "WARNING") code = 2, ++i;
    else if (c == "SQL.SQLCODE") code = lastSqlCode_, ++i;
    else if (c.find_first_not_of("0123456789") == std::string::npos) code = std::stoi(c.substr(0, 9)), ++i;
  }
  if (i < w.size()) {
    const std::string a = Upper(w[i++]);
    if (a == "ROLLBACK") action = ExitRule::Action::Rollback;
    else if (a != "COMMIT") code = 1;
  }
  // A bad option acts as EXIT FAILURE COMMIT.
  if (i < w.size()) code = 1, action = ExitRule::Action::Commit;
  Exit(code, action);
}

bool Engine::RunCommand(const std::string& rawLine, Source& src) {
  std::string line = Trim(rawLine);
  if (line.rfind("@@", 0) == 0) {
    RunScript(Substitute(line.substr(2), src), true, src);
    return true;
  }
  if (line[0] == '@') {
    RunScript(Substitute(line.substr(1), src), false, src);
    return true;
  }
  size_t sp = line.find_first_of(" \t");
  std::string word = line.substr(0, sp);
  if (!word.empty() && word.back() == ';') word.pop_back();
  std::string rest = sp == std::string::npos ? std::string() : line.substr(sp + 1);
  if (Abbrev(word, "REMARK", 3)) return true;
  if (Abbrev(word, "PROMPT", 3)) {
    Print(Substitute(Trim(rest), src));
    return true;
  }
  static const CommandWord kActed[] = {{"SET", 3}, {"START", 3}, {"SPOOL", 3}, {"CONNECT", 4}, {"DISCONNECT", 4},
                                       {"DEFINE", 3}, {"UNDEFINE", 5}, {"WHENEVER", 5}, {"EXIT", 3}, {"QUIT", 4},
                                       {"SHOW", 3}, {"EXECUTE", 4}};
  bool acted = false;
  for (const auto& a : kActed) acted = acted || Abbrev(word, a.full, a.min);
  if (!acted) {
    for (const auto& q : kQuiet)
      if (Abbrev(word, q.full, q.min)) return true;
    return false;
  }
  if (Upper(word) == "SET") {
    // SET TRANSACTION and SET ROLE are SQL.
    auto w = Words(rest);
    if (!w.empty() && (Upper(w[0]) == "TRANSACTION" || Upper(w[0]) == "ROLE")) return false;
  }
  rest = Substitute(rest, src);
  if (Upper(word) == "SET") {
    Set(rest);
    return true;
  }
  if (Abbrev(word, "START", 3)) {
    RunScript(rest, false, src);
    return true;
  }
  if (Abbrev(word, "SPOOL", 3)) {
    auto w = Words(rest);
    if (w.empty()) {
      Print(out.Spooling() ? "currently spooling to " + out.SpoolName() : "not spooling currently");
    } else if (Upper(w[0]) == "OFF" || Upper(w[0]) == "OUT") {
      if (!out.Spooling()) Print("not spooling currently");
      out.StopSpool();
    } else {
      std::string name = w[0];
      if (name.find('.', name.find_last_of('/') == std::string::npos ? 0 : name.find_last_of('/')) == std::string::npos)
        name += ".lst";
      if (!out.StartSpool(name)) Print("SP2-0606: Cannot create SPOOL file \"" + name + "\"");
    }
    return true;
  }
  if (Abbrev(word, "CONNECT", 4)) {
    std::string logon = Trim(rest);
    if (!logon.empty() && logon.back() == ';') logon.pop_back();
    Connect(logon, false);
    return true;
  }
  if (Abbrev(word, "DISCONNECT", 4)) {
    if (conn.Connected()) {
      auto banner = conn.Banner();
      conn.Logoff();
      if (!silent_ && !banner.empty()) {
        Print("Disconnected from " + banner[0]);
        for (size_t i = 1; i < banner.size(); ++i) Print(banner[i]);
      }
    }
    return true;
  }
  if (Abbrev(word, "DEFINE", 3)) {
    Define(rest);
    return true;
  }
  if (Abbrev(word, "UNDEFINE", 5)) {
    for (const auto& w : Words(rest)) defines_.erase(Upper(w));
    return true;
  }
  if (Abbrev(word, "WHENEVER", 5)) {
    Whenever(rest);
    return true;
  }
  if (Abbrev(word, "EXIT", 3) || Abbrev(word, "QUIT", 4)) {
    ExitCommand(rest);
    return true;
  }
  if (Abbrev(word, "SHOW", 3)) {
    auto w = Words(rest);
    if (!w.empty() && Upper(w[0]) == "USER") Print("USER is \"" + conn.User() + "\"");
    return true;
  }
  if (Abbrev(word, "EXECUTE", 4)) {
    std::string stmt = Trim(rest);
    if (!stmt.empty() && stmt.back() == ';') stmt.pop_back();
    RunStatement("BEGIN " + stmt + "; END;", true);
    return true;
  }
  return false;
}

}  // namespace sqlplus
