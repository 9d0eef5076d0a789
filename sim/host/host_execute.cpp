// host_execute.cpp — far2l's Execute service: the plugin's console programs
// (SQL*Plus, the export utility) run for real, without a terminal, and what
// they print goes into the transcript.
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "host.h"

namespace hostsim {

int Host::SvcExecute(const char* command, unsigned int flags) {
  const bool wait = (flags & far::EF_NOWAIT) == 0;
  char cwd[4096];
  const std::string dir = getcwd(cwd, sizeof cwd) ? cwd : "?";
  Record("execute cwd=" + Quote(dir) + " flags=" + Hex(flags) + " wait=" + (wait ? "yes" : "no") +
         " cmd=" + QuoteOrDash(command));
  if (!command) {
    Record("execute-result not-started");
    return -1;
  }
  // A terminal's user who types nothing: the programs read end of input.
  const std::string line = "( " + std::string(command) + " ) </dev/null 2>&1";
  FILE* out = popen(line.c_str(), "r");
  if (!out) {
    Record("execute-result not-started");
    return -1;
  }
  std::string text;
  char buf[4096];
  for (std::size_t n; (n = fread(buf, 1, sizeof buf, out)) > 0;) text.append(buf, n);
  const int status = pclose(out);
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t nl = text.find('\n', start);
    std::size_t end = nl == std::string::npos ? text.size() : nl;
    Record("execute-text " + Quote(text.substr(start, end - start)));
    start = end + 1;
  }
  const int code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  Record("execute-result exit=" + std::to_string(code));
  return code;
}

}  // namespace hostsim
