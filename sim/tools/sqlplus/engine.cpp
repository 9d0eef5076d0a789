// engine.cpp — reading input and telling its kinds apart: SQL*Plus's own
// commands (one line, "-" continues), SQL statements (ended by ";" at the
// end of a line, or a "/" line; a blank line ends one unrun unless
// SQLBLANKLINES is on) and PL/SQL blocks (ended by a "/" line, "." ends one
// unrun); running them, reporting errors and WHENEVER.
#include "engine.h"

#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>

namespace sqlplus {

std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

std::string Trim(const std::string& s) {
  size_t b = s.find_first_not_of(" \t\r");
  if (b == std::string::npos) return {};
  size_t e = s.find_last_not_of(" \t\r");
  return s.substr(b, e - b + 1);
}

bool Abbrev(const std::string& word, const std::string& full, size_t min) {
  const std::string u = Upper(word);
  return u.size() >= min && u.size() <= full.size() && full.compare(0, u.size(), u) == 0;
}

void Output::Line(const std::string& text, bool fromScript) {
  if (termout || !fromScript) {
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fputc('\n', stdout);
  }
  if (spool_.is_open()) spool_ << text << '\n';
}

void Output::Raw(const std::string& text) {
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fflush(stdout);
}

bool Output::StartSpool(const std::string& name) {
  StopSpool();
  spool_.open(name, std::ios::binary | std::ios::trunc);
  if (!spool_) return false;
  spoolName_ = name;
  return true;
}

void Output::StopSpool() {
  if (spool_.is_open()) spool_.close();
  spoolName_.clear();
}

Engine::Engine(bool silent, bool logonOnce) : silent_(silent), logonOnce_(logonOnce) {
  sqlError_.action = osError_.action = ExitRule::Action::None;
}

namespace {

std::string FirstWord(const std::string& line) {
  size_t b = line.find_first_not_of(" \t");
  if (b == std::string::npos) return {};
  size_t e = line.find_first_of(" \t;(", b);
  return Upper(line.substr(b, e == std::string::npos ? std::string::npos : e - b));
}

// The words after CREATE [OR REPLACE] that make the statement a PL/SQL unit.
bool StartsBlock(const std::string& line) {
  std::string u = Upper(Trim(line));
  if (u == "BEGIN" || u == "DECLARE" || u.rfind("BEGIN ", 0) == 0 || u.rfind("DECLARE ", 0) == 0 ||
      u.rfind("BEGIN\t", 0) == 0 || u.rfind("DECLARE\t", 0) == 0)
    return true;
  if (u.rfind("CREATE ", 0) != 0) return false;
  std::string rest = Trim(u.substr(7));
  if (rest.rfind("OR REPLACE ", 0) == 0) rest = Trim(rest.substr(11));
  for (const char* kind : {"FUNCTION", "LIBRARY", "PACKAGE", "PROCEDURE", "TRIGGER", "TYPE", "JAVA"})
    if (rest.rfind(kind, 0) == 0) return true;
  return false;
}

// First words of SQL statements (which are never SQL*Plus commands).
bool IsSqlWord(const std::string& word) {
  static const char* const kWords[] = {"SELECT", "INSERT", "UPDATE", "DELETE", "MERGE", "CREATE", "ALTER",
                                       "DROP", "WITH", "COMMIT", "ROLLBACK", "GRANT", "REVOKE", "TRUNCATE",
                                       "COMMENT", "LOCK", "EXPLAIN", "SAVEPOINT", "RENAME", "ANALYZE",
                                       "AUDIT", "NOAUDIT", "CALL"};
  for (const char* w : kWords)
    if (word == w) return true;
  return false;
}

std::string Banner1() {
  char date[64];
  std::time_t now = std::time(nullptr);
  std::tm tm{};
  localtime_r(&now, &tm);
  std::strftime(date, sizeof date, "%a %b %e %H:%M:%S %Y", &tm);
  std::string d = date;
  // The day is neither zero- nor space-padded.
  size_t dbl = d.find("  ");
  if (dbl != std::string::npos && dbl < 8) d.erase(dbl, 1);
  return "SQL*Plus: Release 9.2.0.1.0 - Production on " + d;
}

}  // namespace

int Engine::Run(const std::optional<std::string>& logon, const std::string& script,
                const std::vector<std::string>& args) {
  try {
    if (!silent_) {
      Print("");
      Print(Banner1());
      Print("");
      Print("Copyright (c) 1982, 2002, Oracle Corporation.  All rights reserved.");
      Print("");
    }
    if (logon) Connect(*logon, true);
    if (!script.empty()) {
      for (size_t i = 0; i < args.size(); ++i) defines_[std::to_string(i + 1)] = args[i];
      Source top{&std::cin, nullptr, ".", true};
      RunScript(script, false, top);
    }
    Source term{&std::cin, nullptr, ".", true};
    Loop(term);
    Exit(0, ExitRule::Action::Commit);
  } catch (const ExitRequest& e) {
    return e.code;
  }
}

bool Engine::ReadLine(Source& src, std::string& line, bool continuation) {
  if (src.terminal && !silent_) {
    if (continuation) {
      char num[16];
      std::snprintf(num, sizeof num, "%3zu  ", buffer_.size() + 1);
      out.Raw(num);
    } else {
      out.Raw("SQL> ");
    }
  }
  for (;;) {
    if (!std::getline(*src.in, line)) return false;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.size() <= kMaxLineChars) break;
    // SQL*Plus reads at most 2499 characters of a line: a longer one is
    // refused whole, and entry goes on with the next line.
    Print("SP2-0027: Input is too long (> " + std::to_string(kMaxLineChars) + " characters) - line ignored");
  }
  if (settings.echo && !src.terminal) {
    // Script lines are listed as typed, after the prompt (none with -S).
    char num[16];
    std::snprintf(num, sizeof num, "%3zu  ", buffer_.size() + 1);
    Print((silent_ ? std::string() : continuation ? std::string(num) : std::string("SQL> ")) + line);
  }
  return true;
}

void Engine::Loop(Source& src) {
  std::string line;
  bool inStatement = false;
  while (ReadLine(src, line, inStatement)) {
    const std::string trimmed = Trim(line);
    if (!inStatement) {
      if (trimmed.empty()) continue;
      if (trimmed == "/") {
        RunBuffer();
        continue;
      }
      const std::string word = FirstWord(trimmed);
      if (word == "REM" || word == "REMARK" || trimmed.rfind("--", 0) == 0) continue;
      if (StartsBlock(trimmed)) {
        buffer_.clear();
        bufferOverflow_ = false;
        verifyLines_.clear();
        bufferIsBlock_ = true;
        inStatement = true;
        std::string s = Substitute(line, src);
        if (s != line) verifyLines_.push_back({line, s});
        buffer_.push_back(s);
        continue;
      }
      // SQL*Plus's own command: a trailing "-" continues it on the next line
      // (in SQL a "-" is the minus sign).
      std::string cmd = line;
      while (!IsSqlWord(word) && !Trim(cmd).empty() && Trim(cmd).back() == '-' && Trim(cmd) != "-") {
        std::string t = Trim(cmd);
        cmd = t.substr(0, t.size() - 1);
        std::string more;
        if (!ReadLine(src, more, false)) break;
        cmd += " " + more;
      }
      if (RunCommand(cmd, src)) continue;
      // A SQL statement.
      buffer_.clear();
      bufferOverflow_ = false;
      verifyLines_.clear();
      bufferIsBlock_ = false;
      inStatement = true;
    } else if (bufferIsBlock_) {
      if (trimmed == "/") {
        inStatement = false;
        RunBuffer();
        continue;
      }
      if (trimmed == ".") {
        inStatement = false;
        continue;
      }
    } else {
      if (trimmed == "/") {
        inStatement = false;
        RunBuffer();
        continue;
      }
      if (trimmed == "." || (trimmed.empty() && !settings.sqlblanklines)) {
        inStatement = false;
        continue;
      }
    }
    std::string s = Substitute(line, src);
    if (!bufferIsBlock_) {
      // ";" at the end of a line runs the statement and is not sent.
      auto endsStatement = [](std::string& t) {
        std::string u = t;
        while (!u.empty() && (u.back() == ' ' || u.back() == '\t')) u.pop_back();
        if (u.empty() || u.back() != ';') return false;
        u.pop_back();
        t = u;
        return true;
      };
      std::string original = line;
      if (endsStatement(s)) {
        endsStatement(original);
        if (s != original) verifyLines_.push_back({original, s});
        if (!Trim(s).empty() || buffer_.empty()) AddLine(s);
        inStatement = false;
        RunBuffer();
        continue;
      }
    }
    if (s != line) verifyLines_.push_back({line, s});
    AddLine(s);
  }
  if (inStatement) {
    // An unfinished statement stays in the buffer, unrun.
  }
}

void Engine::AddLine(const std::string& line) {
  if (buffer_.size() >= kMaxCommandLines) bufferOverflow_ = true;
  else buffer_.push_back(line);
}

void Engine::RunBuffer() {
  if (bufferOverflow_) {
    // The command never reached the buffer whole: nothing of it runs.
    Print("Input is too long: more than " + std::to_string(kMaxCommandLines) +
          " lines in one command - command ignored");
    buffer_.clear();
    bufferOverflow_ = false;
    verifyLines_.clear();
    return;
  }
  if (buffer_.empty()) {
    Print("SP2-0103: Nothing in SQL buffer to run.");
    return;
  }
  std::string text;
  for (size_t i = 0; i < buffer_.size(); ++i) text += (i ? "\n" : "") + buffer_[i];
  if (settings.verify) {
    for (const auto& [oldLine, newLine] : verifyLines_) {
      size_t n = 0;
      for (size_t i = 0; i < buffer_.size(); ++i)
        if (buffer_[i] == newLine) n = i + 1;
      char num[16];
      std::snprintf(num, sizeof num, "%4zu", n);
      Print("old" + std::string(num) + ": " + oldLine);
      Print("new" + std::string(num) + ": " + newLine);
    }
  }
  verifyLines_.clear();
  RunStatement(text, bufferIsBlock_);
}

void Engine::RunStatement(const std::string& text, bool block) {
  if (!conn.Connected()) {
    Print("SP2-0640: Not connected");
    return;
  }
  const auto started = std::chrono::steady_clock::now();
  try {
    auto st = conn.Execute(text);
    lastSqlCode_ = 0;
    if (st->IsQuery()) {
      PrintRows(*st);
    } else {
      PrintServerOutput();
      std::string msg = FeedbackMessage(text, block, st->RowCount());
      if (st->CompiledWithErrors()) {
        // Not an SQL error: WHENEVER SQLERROR does not fire, and the warning
        // shows whatever FEEDBACK says.
        Blank();
        Print(CompileWarning(msg));
        Blank();
      } else if (settings.feedback > 0 && !msg.empty()) {
        Blank();
        Print(msg);
        Blank();
      }
    }
  } catch (const OraFailure& e) {
    lastSqlCode_ = e.code < 0 ? -e.code : e.code;
    ShowError(e, text);
    PrintServerOutput();
    AfterSqlError();
  }
  if (settings.timing) {
    auto cs = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started).count() / 10;
    char buf[64];
    std::snprintf(buf, sizeof buf, "Elapsed: %02lld:%02lld:%02lld.%02lld", static_cast<long long>(cs / 360000),
                  static_cast<long long>(cs / 6000 % 60), static_cast<long long>(cs / 100 % 60),
                  static_cast<long long>(cs % 100));
    Print(buf);
  }
}

void Engine::ShowError(const OraFailure& e, const std::string& text) {
  // The line holding the error offset, a marker under the column, the stack.
  size_t offset = static_cast<size_t>(e.offset > 0 ? e.offset : 0);
  if (offset > text.size()) offset = text.size();
  size_t lineStart = text.rfind('\n', offset == 0 ? 0 : offset - 1);
  lineStart = (lineStart == std::string::npos || offset == 0) ? 0 : lineStart + 1;
  if (offset > 0 && text[offset - 1] == '\n') lineStart = offset;
  size_t lineNo = 1;
  for (size_t i = 0; i < lineStart; ++i)
    if (text[i] == '\n') ++lineNo;
  size_t lineEnd = text.find('\n', lineStart);
  std::string line = text.substr(lineStart, lineEnd == std::string::npos ? std::string::npos : lineEnd - lineStart);
  std::string marker;
  for (size_t i = lineStart; i < offset; ++i) marker += text[i] == '\t' ? '\t' : ' ';
  Print(line);
  Print(marker + "*");
  Print("ERROR at line " + std::to_string(lineNo) + ":");
  size_t start = 0;
  while (start <= e.text.size()) {
    size_t nl = e.text.find('\n', start);
    Print(Trim(e.text.substr(start, nl == std::string::npos ? std::string::npos : nl - start)));
    if (nl == std::string::npos) break;
    start = nl + 1;
  }
  Blank();
  Blank();
}

void Engine::AfterSqlError() {
  if (sqlError_.exit) Exit(sqlError_.code == -1 ? lastSqlCode_ % 256 : sqlError_.code, sqlError_.action);
  try {
    if (sqlError_.action == ExitRule::Action::Rollback) conn.Rollback();
    else if (sqlError_.action == ExitRule::Action::Commit) conn.Commit();
  } catch (const OraFailure&) {
  }
}

void Engine::PrintServerOutput() {
  if (!settings.serveroutput) return;
  try {
    for (const auto& l : conn.OutputLines()) Print(l);
  } catch (const OraFailure&) {
  }
}

void Engine::PrintRows(Statement& st) {
  RowPrinter printer(settings, st.Columns());
  std::vector<std::string> row;
  std::vector<bool> nulls;
  long rows = 0;
  int onPage = 0;
  const bool paging = settings.pagesize > 0;
  auto newPage = [&] {
    Blank();
    onPage = 1;
    if (settings.heading) {
      for (const auto& h : printer.HeadingLines()) {
        Print(h);
        ++onPage;
      }
    }
  };
  while (st.Next(row, nulls)) {
    auto lines = printer.RowLines(row, nulls);
    if (printer.Wrapped()) lines.push_back("");
    if (paging && (rows == 0 || onPage + static_cast<int>(lines.size()) > settings.pagesize)) newPage();
    for (const auto& l : lines) {
      Print(l);
      ++onPage;
    }
    ++rows;
  }
  PrintServerOutput();
  if (rows == 0) {
    if (settings.feedback > 0) {
      Blank();
      Print("no rows selected");
    }
    Blank();
    return;
  }
  // The count stands between blank lines; without it a page ends with one
  // (a wrapped row already brought its own), and PAGESIZE 0 prints bare rows.
  if (settings.feedback > 0 && rows >= settings.feedback) {
    if (!printer.Wrapped()) Blank();
    Print(std::to_string(rows) + (rows == 1 ? " row selected." : " rows selected."));
    Blank();
  } else if (paging && !printer.Wrapped()) {
    Blank();
  }
}

void Engine::Connect(const std::string& logonText, bool initial) {
  std::string logon = Trim(logonText);
  for (int attempt = 1;; ++attempt) {
    std::string user = logon, password, alias;
    size_t at = user.rfind('@');
    if (at != std::string::npos) {
      alias = user.substr(at + 1);
      user.erase(at);
    }
    size_t slash = user.find('/');
    if (slash != std::string::npos) {
      password = user.substr(slash + 1);
      user.erase(slash);
    }
    if (!initial) conn.Logoff();
    try {
      conn.Logon(user, password, alias);
      if (initial && !silent_) {
        Blank();
        Print("Connected to:");
        for (const auto& b : conn.Banner()) Print(b);
        Blank();
      } else if (!initial && !silent_) {
        Print("Connected.");
      }
      if (settings.serveroutput) conn.EnableOutput(true, settings.serverSize);
      return;
    } catch (const OraFailure& e) {
      Print("ERROR:");
      Print(e.text);
      Blank();
      if (!initial) {
        Print("Warning: You are no longer connected to ORACLE.");
        lastSqlCode_ = e.code;
        if (sqlError_.exit) Exit(sqlError_.code == -1 ? e.code % 256 : sqlError_.code, sqlError_.action);
        return;
      }
      if (logonOnce_) {
        Print("SP2-0751: Unable to connect to Oracle.  Exiting SQL*Plus");
        throw ExitRequest{1};
      }
      if (attempt >= 3) {
        Print("SP2-0157: unable to CONNECT to ORACLE after 3 attempts, exiting SQL*Plus");
        throw ExitRequest{1};
      }
      Blank();
      out.Raw("Enter user-name: ");
      if (!std::getline(*terminal_, logon)) {
        Print("SP2-0157: unable to CONNECT to ORACLE after 3 attempts, exiting SQL*Plus");
        throw ExitRequest{1};
      }
      logon = Trim(logon);
    }
  }
}

void Engine::Exit(int code, ExitRule::Action action) {
  try {
    if (action == ExitRule::Action::Rollback) conn.Rollback();
    else if (action == ExitRule::Action::Commit) conn.Commit();
  } catch (const OraFailure&) {
  }
  if (conn.Connected()) {
    auto banner = conn.Banner();
    conn.Logoff();
    if (!silent_ && !banner.empty()) {
      Print("Disconnected from " + banner[0]);
      for (size_t i = 1; i < banner.size(); ++i) Print(banner[i]);
    }
  }
  out.StopSpool();
  std::fflush(stdout);
  throw ExitRequest{code & 255};
}

void Engine::RunScript(const std::string& specText, bool relative, Source& caller) {
  std::string spec = Trim(specText);
  std::vector<std::string> args;
  {
    // The file name, then its arguments (quoted ones keep their blanks).
    std::vector<std::string> words;
    std::string cur;
    char quote = 0;
    for (char c : spec) {
      if (quote) {
        if (c == quote) quote = 0;
        else cur += c;
      } else if (c == '"' || c == '\'') {
        quote = c;
      } else if (c == ' ' || c == '\t') {
        if (!cur.empty()) words.push_back(cur), cur.clear();
      } else {
        cur += c;
      }
    }
    if (!cur.empty()) words.push_back(cur);
    if (words.empty()) {
      Print("SP2-0310: unable to open file \"\"");
      return;
    }
    spec = words[0];
    args.assign(words.begin() + 1, words.end());
  }
  if (!spec.empty() && spec.back() == ';') spec.pop_back();
  namespace fs = std::filesystem;
  fs::path path(spec);
  if (!path.has_extension()) path += ".sql";
  if (relative && path.is_relative()) path = fs::path(caller.directory) / path;
  if (depth_ >= 20) {
    Print("SP2-0309: SQL*Plus command procedures may only be nested to a depth of 20.");
    return;
  }
  auto file = std::make_unique<std::ifstream>(path, std::ios::binary);
  if (!*file) {
    Print("SP2-0310: unable to open file \"" + path.string() + "\"");
    if (osError_.exit) Exit(osError_.code == -1 ? 1 : osError_.code, osError_.action);
    return;
  }
  for (size_t i = 0; i < args.size(); ++i) defines_[std::to_string(i + 1)] = args[i];
  Source src{file.get(), std::move(file), path.parent_path().empty() ? "." : path.parent_path().string(), false};
  ++depth_;
  try {
    Loop(src);
  } catch (...) {
    --depth_;
    throw;
  }
  --depth_;
}

}  // namespace sqlplus
