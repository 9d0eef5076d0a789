// script.h — the command language of quarry-host: one command per line,
// '#' starts a comment line.  The help text below is the reference; the
// CLI prints it for --help.
#pragma once

#include <istream>
#include <string>
#include <vector>

#include "host.h"

namespace hostsim {

class FaultProbe;

extern const char* const kScriptHelp;

// One word of a command line.  A word may be key=value; either side may be
// quoted ("User name:"="scott").  `quoted` tells "1" (a label) from 1 (an index).
struct Word {
  std::string text;  // the whole word, quotes removed
  bool quoted = false;
  bool hasValue = false;
  std::string key, value;
  bool keyQuoted = false, valueQuoted = false;
};

// False with `error` set on an unterminated quote or a bad escape.
bool SplitWords(const std::string& line, std::vector<Word>& words, std::string& error);

class Script {
 public:
  explicit Script(Host& host) : host_(host) {}

  // Runs one line; false when the command failed (an "error" record is written).
  bool Execute(const std::string& line);
  // Runs a whole script; stops at the first failure unless keepGoing.
  // Returns the process exit status: 0, or 1 after any failure.
  int Run(std::istream& in, bool keepGoing);
  // Checks made at the end of a script (answers left unused).
  bool Finish();
  // Forgets the transcript so far, before the next script of a repeated run.
  void Restart() {
    host_.transcript().Forget();
    windowStart_ = 0;
  }
  // With a probe, Run stops after the action during which a fault was
  // injected, once the probe has checked what follows (fault_probe.h).
  void SetFaultProbe(FaultProbe* probe) { probe_ = probe; }

 private:
  bool Answer(const std::vector<Word>& words, const std::string& rest);
  bool Expect(const std::string& verb, const std::string& arg);
  bool Set(const std::vector<Word>& words);
  bool Fail(const std::string& message);

  Host& host_;
  FaultProbe* probe_ = nullptr;
  std::size_t windowStart_ = 0;  // first transcript line that expect commands look at
};

}  // namespace hostsim
