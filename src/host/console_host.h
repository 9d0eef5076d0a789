// console_host.h — the host's side of running a console program: its
// screen services on Windows, its terminal's Execute service on far2l.
#pragma once

#include <optional>
#include <string>

#include "host/far_abi.h"
#include "platform/console.h"

namespace host {

class HostConsole final : public platform::ConsoleHost {
 public:
  void SaveScreen() override;
  void ClearScreen(int width, int height) override;
  void RestoreScreen() override;
  std::optional<int> Execute(const std::string& commandLine, bool wait) override;

 private:
  far::HANDLE saved_ = nullptr;
};

// far2l's Execute service (copied out of the host's standard functions at
// start-up), or null when the host has none.
far::FARSTDEXECUTE HostExecute();

// Runs a console program through the host (platform::RunConsoleProgram);
// the command line is ANSI.
int RunConsoleProgram(const std::string& commandLine, bool minimized, bool wait, std::string* error = nullptr);

}  // namespace host
