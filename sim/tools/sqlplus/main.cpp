// main.cpp — the SQL*Plus stand-in's command line:
//   sqlplus [-S] [-L] {user[/password][@alias] | /NOLOG} [@script [args ...]]
// (-H usage, -V version). It is a test and demo tool for the plugin and its
// scripts; see README.md beside this file.
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "engine.h"

namespace {

void Usage() {
  std::puts("Usage: SQLPLUS [ [<option>] [<logon>] [<start>] ]");
  std::puts("where <option> ::= -H | -V | [ [-L] [-S] ]");
  std::puts("      <logon>  ::= <username>[/<password>][@<connect_string>] | / | /NOLOG");
  std::puts("      <start>  ::= @<filename>[.<ext>] [<parameter> ...]");
}

bool Is(const char* arg, const char* shortForm, const char* longForm) {
  std::string a = sqlplus::Upper(arg);
  return a == shortForm || (a.size() > 2 && std::string(longForm).rfind(a, 0) == 0);
}

}  // namespace

int main(int argc, char** argv) {
  bool silent = false, logonOnce = false;
  int i = 1;
  for (; i < argc && argv[i][0] == '-'; ++i) {
    if (Is(argv[i], "-S", "-SILENT")) silent = true;
    else if (Is(argv[i], "-L", "-LOGON")) logonOnce = true;
    else if (Is(argv[i], "-H", "-HELP")) { Usage(); return 0; }
    else if (std::string(argv[i]) == "--version") { std::printf("sqlplus (Quarry stand-in) %s\n", QUARRY_VERSION); return 0; }
    else if (Is(argv[i], "-V", "-VERSION")) { std::puts("\nSQL*Plus: Release 9.2.0.1.0 - Production\n"); return 0; }
    else { Usage(); return 1; }
  }
  std::optional<std::string> logon;
  std::string script;
  std::vector<std::string> args;
  if (i < argc && argv[i][0] != '@') {
    if (sqlplus::Upper(argv[i]) != "/NOLOG") logon = argv[i];
    ++i;
  }
  if (i < argc && argv[i][0] == '@') {
    script = argv[i] + 1;
    for (++i; i < argc; ++i) args.push_back(argv[i]);
  }
  sqlplus::Engine engine(silent, logonOnce);
  int code = engine.Run(logon, script, args);
  std::fflush(stdout);
  return code;
}
