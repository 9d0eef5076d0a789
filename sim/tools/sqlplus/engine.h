// engine.h — the SQL*Plus stand-in: reads commands from the terminal and
// from scripts, tells SQL statements, PL/SQL blocks and its own commands
// apart, runs them on the connection and prints what SQL*Plus prints.
#pragma once

#include <fstream>
#include <iostream>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "oci_link.h"

namespace sqlplus {

struct Settings {
  bool define = true;
  char defineChar = '&';
  int feedback = 6;  // 0 = OFF
  bool termout = true;
  bool echo = false;
  bool heading = true;
  int pagesize = 14;
  int linesize = 80;
  int numwidth = 10;
  int longWidth = 80;
  bool serveroutput = false;
  int serverSize = 2000;
  bool sqlblanklines = false;
  bool verify = true;
  bool timing = false;
  std::string nullText;
};

// WHENEVER SQLERROR / OSERROR.
struct ExitRule {
  bool exit = false;
  int code = 0;
  enum class Action { Commit, Rollback, None } action = Action::Commit;
};

// Where output goes: the terminal (unless TERMOUT OFF hides script output)
// and the spool file.
class Output {
 public:
  void Line(const std::string& text, bool fromScript);
  void Raw(const std::string& text);  // prompts: terminal only, no newline
  bool Spooling() const { return spool_.is_open(); }
  const std::string& SpoolName() const { return spoolName_; }
  bool StartSpool(const std::string& name);
  void StopSpool();
  bool termout = true;

 private:
  std::ofstream spool_;
  std::string spoolName_;
};

// Thrown to leave the program (EXIT, WHENEVER ... EXIT).
struct ExitRequest {
  int code;
};

class Engine {
 public:
  Engine(bool silent, bool logonOnce);
  // Runs the program with the parsed command line; returns the exit status.
  int Run(const std::optional<std::string>& logon, const std::string& script, const std::vector<std::string>& args);

  // Parts used by the command files.
  Settings settings;
  Output out;
  Connection conn;

 private:
  struct Source {
    std::istream* in;
    std::unique_ptr<std::ifstream> file;
    std::string directory;  // for @@
    bool terminal;
  };

  void Loop(Source& src);
  bool ReadLine(Source& src, std::string& line, bool continuation);
  void Print(const std::string& line) { out.Line(line, depth_ > 0); }
  void Blank() { Print(""); }

  // One command line of SQL*Plus's own; false when the word is not one.
  bool RunCommand(const std::string& line, Source& src);
  void RunScript(const std::string& spec, bool relative, Source& src);
  void RunBuffer();
  // Adds a line of the command being entered; past the buffer's 500 lines the
  // command is marked too long (and is refused when it would run).
  void AddLine(const std::string& line);
  void RunStatement(const std::string& text, bool block);
  void ShowError(const OraFailure& e, const std::string& text);
  void AfterSqlError();
  void PrintRows(Statement& st);
  void PrintServerOutput();
  void Connect(const std::string& logon, bool initial);
  [[noreturn]] void Exit(int code, ExitRule::Action action);
  void Set(const std::string& rest);
  void Define(const std::string& rest);
  void Whenever(const std::string& rest);
  void ExitCommand(const std::string& rest);
  // Substitution (& and &&): returns the line with variables replaced.
  std::string Substitute(const std::string& line, Source& src);
  std::string PromptValue(const std::string& name);

  bool silent_;
  bool logonOnce_;
  int depth_ = 0;  // nesting of scripts; 0 = the terminal
  std::vector<std::string> buffer_;
  bool bufferIsBlock_ = false;
  bool bufferOverflow_ = false;
  // SQL*Plus's input limits: characters of one line, lines of one command.
  static constexpr std::size_t kMaxLineChars = 2499;
  static constexpr std::size_t kMaxCommandLines = 500;
  std::vector<std::pair<std::string, std::string>> verifyLines_;
  std::map<std::string, std::string> defines_;
  ExitRule sqlError_, osError_;
  int lastSqlCode_ = 0;
  std::istream* terminal_ = &std::cin;
};

// Helpers shared by the command files.
std::string Upper(std::string s);
std::string Trim(const std::string& s);
// True when `word` abbreviates `full`, given at least `min` characters.
bool Abbrev(const std::string& word, const std::string& full, size_t min);
// The confirmation SQL*Plus prints after a statement that is not a query
// (empty for none), from its first words, the rows processed.
std::string FeedbackMessage(const std::string& text, bool block, int rows);
// "Warning: Package Body created with compilation errors." from the plain
// confirmation ("Package body created."): each word of the kind capitalised.
std::string CompileWarning(const std::string& feedback);
// Lays out query rows in columns.
class RowPrinter {
 public:
  RowPrinter(const Settings& s, const std::vector<ResultColumn>& cols);
  // The lines of one row, and the heading lines of a page.
  std::vector<std::string> RowLines(const std::vector<std::string>& row, const std::vector<bool>& nulls) const;
  std::vector<std::string> HeadingLines() const;
  bool Wrapped() const { return groups_.size() > 1; }

 private:
  const Settings& s_;
  std::vector<ResultColumn> cols_;
  std::vector<int> widths_;
  std::vector<std::vector<size_t>> groups_;  // columns of each printed line
};

}  // namespace sqlplus
