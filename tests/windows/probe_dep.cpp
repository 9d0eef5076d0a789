// probe_dep.cpp — a library that says where it was loaded from, so a test
// can tell the home's copy from one planted in the current folder.
#include <windows.h>

namespace {
char g_path[MAX_PATH * 2];
}

extern "C" __declspec(dllexport) const char* ProbeDependencyPath() {
  HMODULE self = nullptr;
  GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCSTR>(&ProbeDependencyPath), &self);
  wchar_t wide[MAX_PATH];
  DWORD n = GetModuleFileNameW(self, wide, MAX_PATH);
  int len = WideCharToMultiByte(CP_ACP, 0, wide, static_cast<int>(n), g_path, sizeof g_path - 1, nullptr, nullptr);
  g_path[len > 0 ? len : 0] = '\0';
  return g_path;
}
