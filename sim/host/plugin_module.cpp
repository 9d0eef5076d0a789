// plugin_module.cpp — dlopen/dlsym of a plugin module and the crash report.
//
// Linux only, like the rest of the stand-in: it stands in for far2l, which
// loads "*.far-plug-mb" modules exactly this way.
#include "plugin_module.h"

#include <dlfcn.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace hostsim {
namespace {

// The export being executed; read by the signal handler.
volatile sig_atomic_t g_inside = 0;
const char* volatile g_export = nullptr;

void WriteAll(int fd, const char* text) {
  std::size_t len = std::strlen(text);
  while (len > 0) {
    ssize_t n = write(fd, text, len);
    if (n <= 0) return;
    text += n;
    len -= static_cast<std::size_t>(n);
  }
}

const char* SignalName(int sig) {
  switch (sig) {
    case SIGSEGV: return "SIGSEGV";
    case SIGBUS: return "SIGBUS";
    case SIGFPE: return "SIGFPE";
    case SIGILL: return "SIGILL";
    case SIGABRT: return "SIGABRT";
    default: return "signal";
  }
}

void OnFatalSignal(int sig) {
  if (!g_inside) {
    signal(sig, SIG_DFL);
    raise(sig);
    return;
  }
  // Only async-signal-safe calls from here on.
  const char* name = g_export ? g_export : "?";
  for (int fd : {STDOUT_FILENO, STDERR_FILENO}) {
    WriteAll(fd, "error plugin crashed in ");
    WriteAll(fd, name);
    WriteAll(fd, " (");
    WriteAll(fd, SignalName(sig));
    WriteAll(fd, ")\n");
  }
  _exit(kExitCrash);
}

void InstallHandlers() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  // An own stack, so that a stack overflow in the plugin is reported too.
  static char altStack[1 << 16];
  stack_t ss{};
  ss.ss_sp = altStack;
  ss.ss_size = sizeof altStack;
  sigaltstack(&ss, nullptr);
  struct sigaction sa {};
  sa.sa_handler = OnFatalSignal;
  sa.sa_flags = SA_ONSTACK;
  sigemptyset(&sa.sa_mask);
  for (int sig : {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT}) sigaction(sig, &sa, nullptr);
}

}  // namespace

PluginModule::~PluginModule() { Unload(); }

bool PluginModule::Load(const std::string& path, std::string& error) {
  Unload();
  char resolved[PATH_MAX];
  if (!realpath(path.c_str(), resolved)) {
    error = std::strerror(errno);
    return false;
  }
  dlerror();
  void* handle = dlopen(resolved, RTLD_LOCAL | RTLD_LAZY);
  if (!handle) {
    const char* why = dlerror();
    error = why ? why : "dlopen failed";
    return false;
  }
  PluginExports ex;
  const std::string missing =
      ResolveExports([handle](const char* name) { return dlsym(handle, name); }, ex);
  if (!missing.empty()) {
    dlclose(handle);
    error = "missing export(s) " + missing;
    return false;
  }
  InstallHandlers();
  // far2l tells a module its own path right after loading it, when it asks.
  if (auto moduleOpen = reinterpret_cast<void (*)(const char*)>(dlsym(handle, "PluginModuleOpen"))) {
    CallGuard guard("PluginModuleOpen");
    moduleOpen(resolved);
  }
  handle_ = handle;
  path_ = resolved;
  exports_ = ex;
  return true;
}

void PluginModule::Unload() {
  if (handle_) dlclose(handle_);
  handle_ = nullptr;
  exports_ = {};
  path_.clear();
}

CallGuard::CallGuard(const char* exportName) : previous_(g_export) {
  g_export = exportName;
  g_inside = g_inside + 1;
}

CallGuard::~CallGuard() {
  g_inside = g_inside - 1;
  g_export = previous_;
}

}  // namespace hostsim
