// console_host.cpp — the host services around a console program.
#include "host/console_host.h"

#include "host/host_services.h"

namespace host {

namespace {
constexpr int kActlRedrawAll = 27;
constexpr int kBlankColour = 7;
}  // namespace

void HostConsole::SaveScreen() {
  const far::PluginStartupInfo& h = Host();
  saved_ = h.SaveScreen ? h.SaveScreen(0, 0, -1, -1) : nullptr;
}

void HostConsole::ClearScreen(int width, int height) {
  const far::PluginStartupInfo& h = Host();
  if (h.Text == nullptr || width <= 0) return;
  const std::string blanks(static_cast<std::size_t>(width), ' ');
  for (int row = 0; row < height; ++row) h.Text(0, row, kBlankColour, blanks.c_str());
  h.Text(0, 0, 0, nullptr);  // flush
}

void HostConsole::RestoreScreen() {
  const far::PluginStartupInfo& h = Host();
  if (h.AdvControl) h.AdvControl(h.ModuleNumber, kActlRedrawAll, nullptr);
  if (saved_ != nullptr && h.RestoreScreen) h.RestoreScreen(saved_);
  saved_ = nullptr;
}

std::optional<int> HostConsole::Execute(const std::string& commandLine, bool wait) {
  far::FARSTDEXECUTE execute = HostExecute();
  if (execute == nullptr) return std::nullopt;
  // The line carries the logon's password: it stays out of the terminal's
  // echo and the command history.
  unsigned flags = far::EF_NOCMDPRINT | (wait ? 0u : far::EF_NOWAIT);
  return execute(ToOem(commandLine).c_str(), flags);
}

int RunConsoleProgram(const std::string& commandLine, bool minimized, bool wait, std::string* error) {
  HostConsole console;
  return platform::RunConsoleProgram(commandLine, minimized, wait, console, error);
}

}  // namespace host
