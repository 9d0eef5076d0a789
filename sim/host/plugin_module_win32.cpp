// plugin_module_win32.cpp — the module loader of the host stand-in on
// Windows: LoadLibrary/GetProcAddress as FAR loads Quarry.dll, and the crash
// report from an unhandled exception.  Path strings are in the ANSI code
// page; the module is loaded through its wide name, so the load does not
// depend on the process's file-function code page (FAR's is OEM).
#include "plugin_module.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

namespace hostsim {
namespace {

volatile LONG g_inside = 0;
const char* volatile g_export = nullptr;

// ANSI -> UTF-16.
std::wstring Wide(const std::string& ansi) {
  int n = MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), -1, nullptr, 0);
  std::wstring w(n > 0 ? static_cast<std::size_t>(n) : 1, L'\0');
  if (n > 0) MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), -1, w.data(), n);
  w.resize(w.size() - 1);
  return w;
}

// UTF-16 -> ANSI.
std::string Ansi(const std::wstring& wide) {
  int n = WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string a(n > 0 ? static_cast<std::size_t>(n) : 1, '\0');
  if (n > 0) WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, a.data(), n, nullptr, nullptr);
  a.resize(a.size() - 1);
  return a;
}

const char* ExceptionName(DWORD code) {
  switch (code) {
    case EXCEPTION_ACCESS_VIOLATION: return "access violation";
    case EXCEPTION_STACK_OVERFLOW: return "stack overflow";
    case EXCEPTION_INT_DIVIDE_BY_ZERO: return "division by zero";
    case EXCEPTION_ILLEGAL_INSTRUCTION: return "illegal instruction";
    default: return "exception";
  }
}

LONG WINAPI OnUnhandled(EXCEPTION_POINTERS* info) {
  if (!g_inside) return EXCEPTION_CONTINUE_SEARCH;
  const char* name = g_export ? g_export : "?";
  const char* what = ExceptionName(info && info->ExceptionRecord ? info->ExceptionRecord->ExceptionCode : 0);
  for (FILE* f : {stdout, stderr}) {
    std::fprintf(f, "error plugin crashed in %s (%s)\n", name, what);
    std::fflush(f);
  }
  ExitProcess(kExitCrash);
}

}  // namespace

PluginModule::~PluginModule() { Unload(); }

bool PluginModule::Load(const std::string& path, std::string& error) {
  Unload();
  const std::wstring wide = Wide(path);
  wchar_t full[MAX_PATH * 4];
  DWORD n = GetFullPathNameW(wide.c_str(), static_cast<DWORD>(sizeof full / sizeof full[0]), full, nullptr);
  if (n == 0 || n >= sizeof full / sizeof full[0] || GetFileAttributesW(full) == INVALID_FILE_ATTRIBUTES) {
    error = "No such file or directory";
    return false;
  }
  // The module's own folder is searched for its dependencies, as FAR does.
  HMODULE handle = LoadLibraryExW(full, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  if (!handle) {
    error = "LoadLibrary failed (error " + std::to_string(GetLastError()) + ")";
    return false;
  }
  PluginExports ex;
  const std::string missing =
      ResolveExports([handle](const char* name) { return reinterpret_cast<void*>(GetProcAddress(handle, name)); }, ex);
  if (!missing.empty()) {
    FreeLibrary(handle);
    error = "missing export(s) " + missing;
    return false;
  }
  static bool installed = false;
  if (!installed) {
    installed = true;
    SetUnhandledExceptionFilter(OnUnhandled);
  }
  handle_ = handle;
  path_ = Ansi(full);
  exports_ = ex;
  return true;
}

void PluginModule::Unload() {
  if (handle_) FreeLibrary(static_cast<HMODULE>(handle_));
  handle_ = nullptr;
  exports_ = {};
  path_.clear();
}

CallGuard::CallGuard(const char* exportName) : previous_(g_export) {
  g_export = exportName;
  InterlockedIncrement(&g_inside);
}

CallGuard::~CallGuard() {
  InterlockedDecrement(&g_inside);
  g_export = previous_;
}

}  // namespace hostsim
