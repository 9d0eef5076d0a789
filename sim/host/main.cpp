// main.cpp — quarry-host: the host stand-in's command-line front end.
// The command language is documented in script.cpp (kScriptHelp).
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "host.h"
#include "script.h"
#if defined(_WIN32)
#include "win32_process.h"
#endif

int main(int argc, char** argv) {
  hostsim::HostOptions options;
  bool keepGoing = false;
  std::vector<std::string> commands;
  std::string scriptPath;
  bool haveScript = false;
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
    } else if (arg == "--keep-going") {
      keepGoing = true;
    } else if (arg.rfind("--startup-size=", 0) == 0) {
      std::string v = arg.substr(std::strlen("--startup-size="));
      if (v != "4316" && v != "4324") {
        std::cerr << "quarry-host: --startup-size must be 4316 or 4324\n";
        return 2;
      }
      options.startupSize = std::stoi(v);
    } else if (arg == "-e") {
      if (++i >= argc) {
        std::cerr << "quarry-host: -e needs a command\n";
        return 2;
      }
      commands.push_back(argv[i]);
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
  int status = 0;
  for (const auto& c : commands) {
    if (!script.Execute(c)) {
      status = 1;
      if (!keepGoing) return status;
    }
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
