// posix_compat.h — the few POSIX calls of the client stand-in, on Windows.
//
// Forced into every translation unit of the stand-in's Windows build (the
// x86_64 oci.dll the wine runs load), so its sources stay as they are.
// File names here are ANSI code page strings, as the C runtime's narrow
// file functions take them; the stand-in's data folder is an ASCII path.
#pragma once

#ifdef _WIN32
// Only the core of windows.h: its RPC headers declare names (boolean) that
// OCI's own headers declare too, and min/max macros would hide std::min.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <direct.h>
#include <io.h>
#include <process.h>
#include <sys/stat.h>
#include <cerrno>
#include <cstring>
#include <ctime>

#ifndef S_ISREG
#define S_ISREG(m) (((m) & S_IFMT) == S_IFREG)
#endif

// mkdir with a mode: Windows folders have no POSIX mode.
inline int ocisim_mkdir(const char* path, int) { return _mkdir(path); }
#define mkdir(path, mode) ocisim_mkdir(path, mode)

// link(2) as the stand-in uses it: put a finished database file in place
// unless another process already did (then EEXIST).  A hard link keeps the
// temporary name valid for the caller's unlink.
inline int link(const char* from, const char* to) {
  if (CreateHardLinkA(to, from, nullptr)) return 0;
  errno = GetLastError() == ERROR_ALREADY_EXISTS || GetLastError() == ERROR_FILE_EXISTS ? EEXIST : EIO;
  return -1;
}

// The host name of V$SESSION.MACHINE: the computer name (ANSI).
inline int ocisim_gethostname(char* name, int size) {
  DWORD n = static_cast<DWORD>(size);
  return GetComputerNameA(name, &n) ? 0 : -1;
}
#define gethostname(name, size) ocisim_gethostname(name, size)

// kill(pid, 0): is that process still running?
inline int kill(int pid, int) {
  HANDLE h = OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(pid));
  if (!h) {
    errno = ESRCH;
    return -1;
  }
  const bool running = WaitForSingleObject(h, 0) == WAIT_TIMEOUT;
  CloseHandle(h);
  if (running) return 0;
  errno = ESRCH;
  return -1;
}
#ifndef EPERM
#define EPERM 1
#endif

// unsetenv: an empty value removes a variable from the C runtime's copy of
// the environment.
inline int unsetenv(const char* name) { return _putenv_s(name, ""); }


#if !defined(localtime_r)
inline std::tm* ocisim_localtime_r(const std::time_t* t, std::tm* out) {
  return localtime_s(out, t) == 0 ? out : nullptr;
}
#define localtime_r(t, out) ocisim_localtime_r(t, out)
#endif
#endif
