// main.cpp — quarry-host: the host stand-in's command-line front end.
// The command language is documented in script.cpp (kScriptHelp).
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "fault_probe.h"
#include "host.h"
#include "script.h"
#if defined(_WIN32)
#include "win32_process.h"
#endif

namespace {

// A long session: every script once per pass, passes repeated until the time
// is up.  Failures are counted, not fatal (the scripts' expectations assume a
// fresh database each); only a plugin crash ends the run, as always.
int RepeatScripts(hostsim::Host& host, hostsim::Script& script, const std::vector<std::string>& paths,
                  double seconds, const std::string& afterPass) {
  const auto start = std::chrono::steady_clock::now();
  long failures = 0;
  int pass = 0;
  do {
    ++pass;
    for (const auto& path : paths) {
      std::ifstream in(path);
      if (!in) {
        std::cerr << "quarry-host: cannot read script " << path << "\n";
        return 2;
      }
      script.Restart();
      if (script.Run(in, true) != 0) ++failures;
      script.Finish();
      host.CloseBetweenScripts();
    }
    script.Restart();
    if (!afterPass.empty()) {
      const std::string command = afterPass + " " + std::to_string(pass);
      if (std::system(command.c_str()) != 0) std::cerr << "quarry-host: after-pass command failed: " << command << "\n";
    }
  } while (std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() < seconds);
  std::cerr << "quarry-host: " << pass << " passes of " << paths.size() << " scripts, " << failures
            << " script runs with failures\n";
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  hostsim::HostOptions options;
  bool keepGoing = false;
  std::vector<std::string> commands;
  std::string scriptPath, faultLog;
  bool haveScript = false;
  double repeatSeconds = -1;
  std::string afterPass;
  std::vector<std::string> repeatScripts;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      std::cout << hostsim::kScriptHelp;
      return 0;
    } else if (arg == "--version") {
      std::cout << "quarry-host " << QUARRY_VERSION << "\n";
      return 0;
    } else if (arg == "--trace") {
      options.trace = true;
    } else if (arg == "--plain-keys") {
      options.preprocessKeys = false;
    } else if (arg == "--fault-probe") {
      if (++i >= argc) {
        std::cerr << "quarry-host: --fault-probe needs a file\n";
        return 2;
      }
      faultLog = argv[i];
    } else if (arg == "--keep-going") {
      keepGoing = true;
    } else if (arg.rfind("--startup-size=", 0) == 0) {
      std::string v = arg.substr(std::strlen("--startup-size="));
      if (v != "4316" && v != "4324") {
        std::cerr << "quarry-host: --startup-size must be 4316 or 4324\n";
        return 2;
      }
      options.startupSize = std::stoi(v);
    } else if (arg == "--repeat-for" || arg == "--after-pass") {
      if (++i >= argc) {
        std::cerr << "quarry-host: " << arg << " needs a value\n";
        return 2;
      }
      if (arg == "--after-pass") {
        afterPass = argv[i];
        continue;
      }
      char* end = nullptr;
      repeatSeconds = std::strtod(argv[i], &end);
      if (end == argv[i] || *end != '\0' || repeatSeconds < 0) {
        std::cerr << "quarry-host: --repeat-for needs a number of seconds\n";
        return 2;
      }
    } else if (arg == "-e") {
      if (++i >= argc) {
        std::cerr << "quarry-host: -e needs a command\n";
        return 2;
      }
      commands.push_back(argv[i]);
    } else if (repeatSeconds >= 0 && arg[0] != '-') {
      repeatScripts.push_back(arg);
    } else if (!haveScript && (arg == "-" || arg[0] != '-')) {
      scriptPath = arg;
      haveScript = true;
    } else {
      std::cerr << "quarry-host: unknown option " << arg << " (see --help)\n";
      return 2;
    }
  }

#if defined(_WIN32)
  if (!hostsim::PrepareWindowsProcess()) return 2;
#endif
  hostsim::Host host(&std::cout, options);
  hostsim::Script script(host);
  std::unique_ptr<hostsim::FaultProbe> probe;
  if (!faultLog.empty()) {
    probe = std::make_unique<hostsim::FaultProbe>(host, faultLog);
    script.SetFaultProbe(probe.get());
  }
  int status = 0;
  for (const auto& c : commands) {
    if (!script.Execute(c)) {
      status = 1;
      if (!keepGoing) return status;
    }
  }
  if (repeatSeconds >= 0) {
    if (repeatScripts.empty()) {
      std::cerr << "quarry-host: --repeat-for needs script files after it\n";
      return 2;
    }
    return RepeatScripts(host, script, repeatScripts, repeatSeconds, afterPass);
  }
  if (haveScript && scriptPath != "-") {
    std::ifstream in(scriptPath);
    if (!in) {
      std::cerr << "quarry-host: cannot read script " << scriptPath << "\n";
      return 2;
    }
    status |= script.Run(in, keepGoing);
  } else if (haveScript || commands.empty()) {
    status |= script.Run(std::cin, keepGoing);
  }
  if (status != 0 && !keepGoing) return status;
  if (!script.Finish()) status = 1;
  return status;
}
