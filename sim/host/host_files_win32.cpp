// host_files_win32.cpp — see host_files.h.  Paths are in the code page of
// the process's file functions (OEM after SetFileApisToOEM, as under FAR):
// the C runtime's fopen would read them as ANSI under some runtimes, so the
// A functions are called directly, as FAR's viewer and editor do.
#include "host_files.h"

#include <windows.h>

namespace hostsim {

bool HostReadFile(const std::string& path, std::string& out) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  out.clear();
  char buf[65536];
  DWORD n = 0;
  bool ok = true;
  while ((ok = ReadFile(h, buf, sizeof buf, &n, nullptr) != FALSE) && n > 0) out.append(buf, n);
  CloseHandle(h);
  return ok;
}

bool HostSaveFile(const std::string& path, const std::string& content) {
  const std::string temp = path + ".hostsim-save";
  HANDLE h = CreateFileA(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool ok = content.empty() ||
                  (WriteFile(h, content.data(), static_cast<DWORD>(content.size()), &written, nullptr) &&
                   written == content.size());
  CloseHandle(h);
  if (!ok || !MoveFileExA(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING)) {
    DeleteFileA(temp.c_str());
    return false;
  }
  return true;
}

void HostRemoveFile(const std::string& path) { DeleteFileA(path.c_str()); }

std::vector<std::string> HostMatchFiles(const std::string& dir, const std::string& pattern) {
  std::vector<std::string> matches;
  WIN32_FIND_DATAA found;
  HANDLE h = FindFirstFileA((dir + "\\" + pattern).c_str(), &found);
  if (h == INVALID_HANDLE_VALUE) return matches;
  do {
    const std::string name = found.cFileName;
    if (name == "." || name == ".." || (name[0] == '.' && pattern[0] != '.')) continue;
    matches.push_back(name);
  } while (FindNextFileA(h, &found));
  FindClose(h);
  return matches;
}

}  // namespace hostsim
