// wine_support.h — scaffolding for the tests of the Windows code paths:
// ANSI <-> UTF-16 conversions done by the test itself (so a fault in the
// platform layer's own conversions cannot hide), a scratch folder with a
// non-ASCII name made through the wide-character calls, and registered
// Oracle homes in HKEY_LOCAL_MACHINE as an 8i/9i installer writes them.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "platform/platform.h"

namespace wine_test {

// Cyrillic "Квари" (U+041A U+0432 U+0430 U+0440 U+0438): in code page 1251
// and 866 alike, but at different byte values.
inline const wchar_t* kCyrillic = L"\u041a\u0432\u0430\u0440\u0438";

inline std::string Ansi(const std::wstring& wide) {
  int n = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), out.data(), n, nullptr, nullptr);
  return out;
}

inline std::wstring FromAnsi(const std::string& ansi) {
  int n = MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
  std::wstring out(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), out.data(), n);
  return out;
}

inline std::wstring SystemTempW() {
  wchar_t buf[MAX_PATH + 1];
  DWORD n = GetTempPathW(MAX_PATH, buf);
  return std::wstring(buf, n);
}

inline void RemoveTreeW(const std::wstring& dir) {
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW((dir + L"\\*").c_str(), &data);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      std::wstring name = data.cFileName;
      if (name == L"." || name == L"..") continue;
      std::wstring full = dir + L"\\" + name;
      if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTreeW(full);
      } else {
        SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(full.c_str());
      }
    } while (FindNextFileW(find, &data));
    FindClose(find);
  }
  RemoveDirectoryW(dir.c_str());
}

// A fresh folder "<temp>\Квари-<tag>" (ANSI path in path()), removed with
// everything in it at the end of the scope.
class ScratchDir {
 public:
  ScratchDir() {
    wide_ = SystemTempW() + kCyrillic + L"-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
            std::to_wstring(++counter_);
    CreateDirectoryW(wide_.c_str(), nullptr);
  }
  ~ScratchDir() { RemoveTreeW(wide_); }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  std::string path() const { return Ansi(wide_); }
  const std::wstring& wide() const { return wide_; }
  // Makes a sub-folder (and its parents) and gives its ANSI path.
  std::string Mkdir(const std::wstring& sub) const {
    std::wstring at = wide_;
    std::size_t start = 0;
    while (start <= sub.size()) {
      std::size_t end = sub.find(L'\\', start);
      if (end == std::wstring::npos) end = sub.size();
      at += L"\\" + sub.substr(start, end - start);
      CreateDirectoryW(at.c_str(), nullptr);
      start = end + 1;
    }
    return Ansi(at);
  }

 private:
  std::wstring wide_;
  static inline int counter_ = 0;
};

inline bool CopyInto(const std::wstring& from, const std::string& toAnsi) {
  return CopyFileW(from.c_str(), FromAnsi(toAnsi).c_str(), FALSE) != 0;
}

// The folder of this test program (the probe libraries are built beside it).
inline std::wstring ProgramFolderW() {
  wchar_t buf[MAX_PATH];
  DWORD n = GetModuleFileNameW(nullptr, buf, MAX_PATH);
  std::wstring path(buf, n);
  return path.substr(0, path.find_last_of(L"\\/"));
}

// Registered homes below HKLM\SOFTWARE\ORACLE, as the 8i/9i installer keeps
// them (ALL_HOMES\HOME_COUNTER and HOMEn with ORACLE_HOME and
// ORACLE_HOME_NAME; no ORACLE_HOME directly below SOFTWARE\ORACLE); the key
// tree is removed at the end of the scope.
class RegisteredHomes {
 public:
  RegisteredHomes() { platform::DeleteKeyTree(platform::Hive::LocalMachine, "SOFTWARE\\ORACLE"); }
  ~RegisteredHomes() { platform::DeleteKeyTree(platform::Hive::LocalMachine, "SOFTWARE\\ORACLE"); }
  RegisteredHomes(const RegisteredHomes&) = delete;
  RegisteredHomes& operator=(const RegisteredHomes&) = delete;
  // Adds HOMEn for the next n; strings in the ANSI code page.
  void Add(const std::string& name, const std::string& dir) {
    const std::string key = "SOFTWARE\\ORACLE\\HOME" + std::to_string(count_);
    auto home = platform::RegistryKey::Open(platform::Hive::LocalMachine, key, true);
    home->SetString("ORACLE_HOME", dir);
    home->SetString("ORACLE_HOME_NAME", name);
    home->SetString("ORACLE_HOME_KEY", key);
    ++count_;
    auto all = platform::RegistryKey::Open(platform::Hive::LocalMachine, "SOFTWARE\\ORACLE\\ALL_HOMES", true);
    all->SetString("HOME_COUNTER", std::to_string(count_));
    all->SetString("LAST_HOME", std::to_string(count_ - 1));
    all->SetString("DEFAULT_HOME", name);
    auto id = platform::RegistryKey::Open(platform::Hive::LocalMachine,
                                          "SOFTWARE\\ORACLE\\ALL_HOMES\\ID" + std::to_string(count_ - 1), true);
    id->SetString("NAME", name);
    id->SetString("PATH", dir);
  }

 private:
  int count_ = 0;
};

}  // namespace wine_test
