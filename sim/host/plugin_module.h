// plugin_module.h — a plugin module loaded by path, with its eleven exports.
//
// The stand-in resolves the exports the way far2l does (dlopen, then dlsym by
// plain name) and refuses a module that lacks any of them.  Calls into the
// plugin go through CallGuard so that a crash names the export it happened in.
#pragma once

#include <string>
#include <type_traits>

#include "host/far_abi.h"

namespace hostsim {

struct PluginExports {
  far::SetStartupInfoFn SetStartupInfo = nullptr;
  far::GetPluginInfoFn GetPluginInfo = nullptr;
  far::OpenPluginFn OpenPlugin = nullptr;
  far::ClosePluginFn ClosePlugin = nullptr;
  far::GetFindDataFn GetFindData = nullptr;
  far::FreeFindDataFn FreeFindData = nullptr;
  far::SetDirectoryFn SetDirectory = nullptr;
  far::GetOpenPluginInfoFn GetOpenPluginInfo = nullptr;
  far::ProcessKeyFn ProcessKey = nullptr;
  far::ProcessEventFn ProcessEvent = nullptr;
  far::ConfigureFn Configure = nullptr;
};

// Fills every export through `lookup(name)` (dlsym or GetProcAddress, as a
// void*); returns the names not found, comma-separated, empty when complete.
template <class Lookup>
std::string ResolveExports(Lookup lookup, PluginExports& ex) {
  std::string missing;
  auto one = [&](const char* name, auto& slot) {
    slot = reinterpret_cast<std::remove_reference_t<decltype(slot)>>(lookup(name));
    if (!slot) missing += std::string(missing.empty() ? "" : ", ") + name;
  };
  one("SetStartupInfo", ex.SetStartupInfo);
  one("GetPluginInfo", ex.GetPluginInfo);
  one("OpenPlugin", ex.OpenPlugin);
  one("ClosePlugin", ex.ClosePlugin);
  one("GetFindData", ex.GetFindData);
  one("FreeFindData", ex.FreeFindData);
  one("SetDirectory", ex.SetDirectory);
  one("GetOpenPluginInfo", ex.GetOpenPluginInfo);
  one("ProcessKey", ex.ProcessKey);
  one("ProcessEvent", ex.ProcessEvent);
  one("Configure", ex.Configure);
  return missing;
}

class PluginModule {
 public:
  PluginModule() = default;
  ~PluginModule();
  PluginModule(const PluginModule&) = delete;
  PluginModule& operator=(const PluginModule&) = delete;

  // False with `error` set when the file cannot be loaded or an export is
  // missing (all missing names are listed).  `path` is made absolute.
  bool Load(const std::string& path, std::string& error);
  void Unload();

  bool loaded() const { return handle_ != nullptr; }
  const std::string& path() const { return path_; }
  const PluginExports& exports() const { return exports_; }

 private:
  void* handle_ = nullptr;
  std::string path_;
  PluginExports exports_;
};

// Marks the time spent inside one export.  While any guard is alive, a fatal
// signal prints "error plugin crashed in <export> (<signal>)" and ends the
// process with exit status 3; there is no attempt to recover.
class CallGuard {
 public:
  explicit CallGuard(const char* exportName);
  ~CallGuard();
  CallGuard(const CallGuard&) = delete;
  CallGuard& operator=(const CallGuard&) = delete;

 private:
  const char* previous_;
};

constexpr int kExitCrash = 3;

}  // namespace hostsim
