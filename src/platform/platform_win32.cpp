// platform_win32.cpp — the platform layer on Windows (the FAR 1.70 DLL, and
// the x86_64 test build that runs under wine).
//
// Code pages: every string this file takes or gives is in the ANSI code page
// (CP_ACP), the plugin's own text.  FAR switches the process's "A" file
// functions to the OEM code page (SetFileApisToOEM), so file names never go
// through them: every file call is the wide-character one, with an explicit
// ANSI <-> UTF-16 conversion (Wide/Narrow below).  Registry, environment and
// command-line "A" calls are ANSI whatever that switch says.  Only calls
// present on Windows XP are used, as FAR 1.70 still runs there.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
// winuser.h maps these old names onto CharToOemA / OemToCharA; ours are functions.
#undef AnsiToOem
#undef OemToAnsi

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <cwchar>

#include "platform/console.h"
#include "platform/internal.h"
#include "platform/platform.h"

namespace platform {

namespace {

// ANSI code page -> UTF-16 and back: where file names change code page
// (console_win32.cpp's CreateNewFile converts the same way).
std::wstring Wide(std::string_view ansi) {
  if (ansi.empty()) return std::wstring();
  int n = MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
  std::wstring out(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), out.data(), n);
  return out;
}

std::string Narrow(std::wstring_view wide) {
  if (wide.empty()) return std::string();
  int n = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), out.data(), n, nullptr, nullptr);
  return out;
}

// The system's text for an error code, "(error N)" appended.
std::string ErrorText(DWORD code) {
  char* buf = nullptr;
  DWORD n = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                               FORMAT_MESSAGE_IGNORE_INSERTS,
                           nullptr, code, 0, reinterpret_cast<LPSTR>(&buf), 0, nullptr);
  std::string text = (n && buf) ? std::string(buf, n) : std::string();
  if (buf) LocalFree(buf);
  while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' '))
    text.pop_back();
  if (!text.empty()) text += ' ';
  return text + "(error " + std::to_string(code) + ")";
}

HKEY HiveHandle(Hive hive) { return hive == Hive::CurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE; }

std::string JoinKeyPath(const std::string& path) {
  std::string out;
  for (const std::string& part : internal::SplitKeyPath(path)) {
    if (!out.empty()) out += '\\';
    out += part;
  }
  return out;
}

class Win32Key final : public RegistryKey {
 public:
  explicit Win32Key(HKEY key) : key_(key) {}
  ~Win32Key() override { RegCloseKey(key_); }
  Win32Key(const Win32Key&) = delete;
  Win32Key& operator=(const Win32Key&) = delete;

  bool QueryString(const std::string& name, std::string& out) const override {
    DWORD type = 0;
    std::string data;
    if (!QueryRaw(name, type, data) || (type != REG_SZ && type != REG_EXPAND_SZ)) return false;
    // Stored strings normally end in NUL; the text is what precedes the first.
    out = data.substr(0, data.find('\0'));
    return true;
  }
  bool QueryDword(const std::string& name, std::uint32_t& out) const override {
    DWORD type = 0;
    std::string data;
    if (!QueryRaw(name, type, data) || type != REG_DWORD || data.size() != 4) return false;
    std::memcpy(&out, data.data(), 4);
    return true;
  }
  bool SetString(const std::string& name, const std::string& value) override {
    if (value.find('\0') != std::string::npos) return false;
    return RegSetValueExA(key_, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>(value.size() + 1)) == ERROR_SUCCESS;
  }
  bool SetDword(const std::string& name, std::uint32_t value) override {
    DWORD v = value;
    return RegSetValueExA(key_, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&v),
                          sizeof v) == ERROR_SUCCESS;
  }
  bool DeleteValue(const std::string& name) override {
    return RegDeleteValueA(key_, name.c_str()) == ERROR_SUCCESS;
  }
  std::vector<std::string> ValueNames() const override {
    std::vector<std::string> names;
    DWORD maxLen = 0;
    if (RegQueryInfoKeyA(key_, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &maxLen,
                         nullptr, nullptr, nullptr) != ERROR_SUCCESS)
      return names;
    std::string buf(maxLen + 2, '\0');
    for (DWORD index = 0;; ++index) {
      DWORD len = static_cast<DWORD>(buf.size());
      LONG rc = RegEnumValueA(key_, index, buf.data(), &len, nullptr, nullptr, nullptr, nullptr);
      if (rc == ERROR_MORE_DATA) {  // a longer name was added meanwhile
        buf.resize(buf.size() * 2 + 256);
        --index;
        continue;
      }
      if (rc != ERROR_SUCCESS) break;
      names.emplace_back(buf.data(), len);
    }
    return names;
  }

 private:
  bool QueryRaw(const std::string& name, DWORD& type, std::string& data) const {
    for (int attempt = 0; attempt < 4; ++attempt) {
      DWORD size = 0;
      if (RegQueryValueExA(key_, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return false;
      data.assign(size, '\0');
      LONG rc = RegQueryValueExA(key_, name.c_str(), nullptr, &type,
                                 reinterpret_cast<BYTE*>(data.data()), &size);
      if (rc == ERROR_MORE_DATA) continue;  // grew between the two calls
      if (rc != ERROR_SUCCESS) return false;
      data.resize(size);
      return true;
    }
    return false;
  }

  HKEY key_;
};

// RegDeleteTree needs Vista; walk the tree ourselves.
LONG DeleteTree(HKEY parent, const std::string& sub) {
  HKEY key;
  LONG rc = RegOpenKeyExA(parent, sub.c_str(), 0, KEY_READ | KEY_WRITE, &key);
  if (rc != ERROR_SUCCESS) return rc;
  for (;;) {
    char name[256];  // key names are at most 255 characters
    DWORD len = sizeof name;
    rc = RegEnumKeyExA(key, 0, name, &len, nullptr, nullptr, nullptr, nullptr);
    if (rc == ERROR_NO_MORE_ITEMS) break;
    if (rc == ERROR_SUCCESS) rc = DeleteTree(key, std::string(name, len));
    if (rc != ERROR_SUCCESS) {
      RegCloseKey(key);
      return rc;
    }
  }
  RegCloseKey(key);
  return RegDeleteKeyA(parent, sub.c_str());
}

std::string FixSlashes(std::string path) {
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
}

bool WriteAll(HANDLE file, const std::string& data) {
  std::size_t done = 0;
  while (done < data.size()) {
    DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(data.size() - done, 1u << 30));
    DWORD written = 0;
    if (!WriteFile(file, data.data() + done, chunk, &written, nullptr) || written == 0) return false;
    done += written;
  }
  return true;
}

}  // namespace

// ---- registry -----------------------------------------------------------

std::unique_ptr<RegistryKey> RegistryKey::Open(Hive hive, const std::string& path, bool create) {
  std::string sub = JoinKeyPath(path);
  HKEY key = nullptr;
  LONG rc;
  if (create) {
    rc = RegCreateKeyExA(HiveHandle(hive), sub.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                         KEY_READ | KEY_WRITE, nullptr, &key, nullptr);
  } else {
    rc = RegOpenKeyExA(HiveHandle(hive), sub.c_str(), 0, KEY_READ | KEY_WRITE, &key);
    // HKEY_LOCAL_MACHINE is usually read-only for users: reading is all we need there.
    if (rc == ERROR_ACCESS_DENIED) rc = RegOpenKeyExA(HiveHandle(hive), sub.c_str(), 0, KEY_READ, &key);
  }
  if (rc != ERROR_SUCCESS) return nullptr;
  return std::make_unique<Win32Key>(key);
}

bool DeleteKeyTree(Hive hive, const std::string& path) {
  std::string sub = JoinKeyPath(path);
  if (sub.empty()) return false;  // never a whole hive
  return DeleteTree(HiveHandle(hive), sub) == ERROR_SUCCESS;
}

// ---- locking between processes --------------------------------------------

internal::FileLock::FileLock(const std::string& path) {
  HANDLE file = CreateFileW(Wide(path).c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  handle_ = reinterpret_cast<std::intptr_t>(file);
  OVERLAPPED where{};
  locked_ = LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &where) != 0;
}

internal::FileLock::~FileLock() {
  if (handle_ == -1) return;
  HANDLE file = reinterpret_cast<HANDLE>(handle_);
  if (locked_) {
    OVERLAPPED where{};
    UnlockFileEx(file, 0, 1, 0, &where);
  }
  CloseHandle(file);
}

// ---- dynamic libraries ----------------------------------------------------

namespace {

bool IsAbsolute(const std::string& path) {
  return (path.size() >= 3 && path[1] == ':' && internal::IsPathSeparator(path[2])) ||
         (path.size() >= 2 && internal::IsPathSeparator(path[0]) && internal::IsPathSeparator(path[1]));
}

std::string FullPath(const std::string& path) {
  std::wstring wide = Wide(path);
  DWORD n = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
  if (n == 0) return path;
  std::wstring buf(n, L'\0');
  n = GetFullPathNameW(wide.c_str(), n, buf.data(), nullptr);
  if (n == 0 || n >= buf.size()) return path;
  buf.resize(n);
  return Narrow(buf);
}

std::string ModulePath(HMODULE module) {
  std::wstring buf(MAX_PATH, L'\0');
  for (;;) {
    DWORD n = GetModuleFileNameW(module, buf.data(), static_cast<DWORD>(buf.size()));
    if (n == 0) return "";
    if (n < buf.size()) {
      buf.resize(n);
      return Narrow(buf);
    }
    buf.resize(buf.size() * 2);  // truncated
  }
}

// While it lives, the current folder is the library's own: the altered
// search path still looks in the current folder (after the system's, before
// PATH), so a dependency that is not beside the library must not come from
// the panel's folder.  (SetDllDirectory("") would say the same from XP SP1
// on, but not every loader honours it for the dependencies.)  The folder is
// put back at once.
class LoadingInOwnFolder {
 public:
  explicit LoadingInOwnFolder(const std::wstring& library) {
    DWORD n = GetCurrentDirectoryW(0, nullptr);
    if (n == 0) return;
    previous_.assign(n, L'\0');
    n = GetCurrentDirectoryW(n, previous_.data());
    if (n == 0 || n >= previous_.size()) {
      previous_.clear();
      return;
    }
    previous_.resize(n);
    const std::size_t slash = library.find_last_of(L"\\/");
    if (slash == std::wstring::npos || !SetCurrentDirectoryW(library.substr(0, slash + 1).c_str()))
      previous_.clear();
  }
  ~LoadingInOwnFolder() {
    if (!previous_.empty()) SetCurrentDirectoryW(previous_.c_str());
  }
  LoadingInOwnFolder(const LoadingInOwnFolder&) = delete;
  LoadingInOwnFolder& operator=(const LoadingInOwnFolder&) = delete;

 private:
  std::wstring previous_;
};

}  // namespace

// ANSI code page.  The system's search order for a bare name, less the
// current folder (where a stray or planted library would win): the host
// program's folder, the system folders, then PATH.  XP has no flag that
// leaves the current folder out of LoadLibrary's own search, so we walk it.
std::string FindSystemLibrary(const std::string& fileName) {
  std::vector<std::string> dirs{DirectoryOf(ModulePath(nullptr))};
  wchar_t buf[MAX_PATH + 1];
  UINT n = GetSystemDirectoryW(buf, MAX_PATH);
  if (n > 0 && n < MAX_PATH) dirs.push_back(Narrow(std::wstring_view(buf, n)));
  n = GetWindowsDirectoryW(buf, MAX_PATH);
  if (n > 0 && n < MAX_PATH) {
    std::string windows = Narrow(std::wstring_view(buf, n));
    dirs.push_back(JoinPath(windows, "System"));
    dirs.push_back(windows);
  }
  std::string path = GetEnv("PATH").value_or("");
  std::size_t start = 0;
  while (start < path.size()) {
    std::size_t end = path.find(';', start);
    if (end == std::string::npos) end = path.size();
    std::string dir = path.substr(start, end - start);
    start = end + 1;
    if (dir.size() >= 2 && dir.front() == '"' && dir.back() == '"') dir = dir.substr(1, dir.size() - 2);
    // "." and other relative entries name the current folder too.
    if (!dir.empty() && IsAbsolute(dir)) dirs.push_back(dir);
  }
  for (const std::string& dir : dirs) {
    if (dir.empty()) continue;
    std::string candidate = JoinPath(dir, fileName);
    if (FileExists(candidate)) return candidate;
  }
  return "";
}

// ANSI code page.  A bare name goes through FindSystemLibrary; any other
// path is made absolute and loaded with the altered search path, so the
// library's own dependencies come from its own folder first, and with the
// current folder set to the library's while it loads, so never from the
// panel's folder.
LibraryHandle OpenLibrary(const std::string& path, std::string* error) {
  std::string file = FixSlashes(path);
  if (file.find_first_of("\\:") == std::string::npos) {
    std::string found = FindSystemLibrary(file);
    if (found.empty()) {
      if (error) *error = ErrorText(ERROR_MOD_NOT_FOUND);
      return nullptr;
    }
    file = found;
  }
  file = FullPath(file);
  const std::wstring wide = Wide(file);
  HMODULE lib;
  {
    LoadingInOwnFolder folder(wide);
    lib = LoadLibraryExW(wide.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  }
  if (!lib && error) *error = ErrorText(GetLastError());
  return reinterpret_cast<LibraryHandle>(lib);
}

// ANSI code page.
std::string LibraryPath(LibraryHandle lib) { return lib ? ModulePath(static_cast<HMODULE>(lib)) : ""; }

void* FindSymbol(LibraryHandle lib, const char* name) {
  if (!lib) return nullptr;
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(lib), name));
}

void CloseLibrary(LibraryHandle lib) {
  if (lib) FreeLibrary(static_cast<HMODULE>(lib));
}

// ---- files and directories -----------------------------------------------

char PathSeparator() { return '\\'; }

// Paths here and below: ANSI code page.
bool FileExists(const std::string& path) {
  DWORD attr = GetFileAttributesW(Wide(path).c_str());
  return attr != INVALID_FILE_ATTRIBUTES && !(attr & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirectoryExists(const std::string& path) {
  DWORD attr = GetFileAttributesW(Wide(path).c_str());
  return attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY);
}

bool RemoveFile(const std::string& path) { return DeleteFileW(Wide(path).c_str()) != 0; }

bool RenameFile(const std::string& from, const std::string& to) {
  return MoveFileExW(Wide(from).c_str(), Wide(to).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED) != 0;
}

std::vector<std::string> ListFiles(const std::string& dir, const std::string& pattern) {
  std::vector<std::string> names;
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW(Wide(JoinPath(dir.empty() ? "." : dir, "*")).c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    std::string name = Narrow(data.cFileName);
    if (internal::MatchWildcard(pattern, name)) names.push_back(name);
  } while (FindNextFileW(find, &data));
  FindClose(find);
  return names;
}

std::string CurrentDirectory() {
  DWORD n = GetCurrentDirectoryW(0, nullptr);
  if (n == 0) return "";
  std::wstring buf(n, L'\0');
  n = GetCurrentDirectoryW(static_cast<DWORD>(buf.size()), buf.data());
  if (n == 0 || n >= buf.size()) return "";
  buf.resize(n);
  return Narrow(buf);
}

bool ChangeDirectory(const std::string& dir) { return SetCurrentDirectoryW(Wide(dir).c_str()) != 0; }

std::string ShortPathName(const std::string& path) {
  std::wstring wide = Wide(path);
  DWORD n = GetShortPathNameW(wide.c_str(), nullptr, 0);
  if (n == 0) return path;
  std::wstring buf(n, L'\0');
  n = GetShortPathNameW(wide.c_str(), buf.data(), static_cast<DWORD>(buf.size()));
  if (n == 0 || n >= buf.size()) return path;
  buf.resize(n);
  return Narrow(buf);
}

std::FILE* OpenFile(const std::string& path, const char* mode) {
  return _wfopen(Wide(path).c_str(), Wide(mode).c_str());
}

bool WriteFileAtomic(const std::string& path, const std::string& content) {
  std::string temp;
  HANDLE file = INVALID_HANDLE_VALUE;
  for (int attempt = 0; attempt < 100 && file == INVALID_HANDLE_VALUE; ++attempt) {
    temp = path + ".tmp" + internal::RandomTag();
    file = CreateFileW(Wide(temp).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS &&
        GetLastError() != ERROR_ALREADY_EXISTS)
      return false;
  }
  if (file == INVALID_HANDLE_VALUE) return false;
  bool ok = WriteAll(file, content) && FlushFileBuffers(file);
  ok = CloseHandle(file) && ok;
  if (ok) ok = MoveFileExW(Wide(temp).c_str(), Wide(path).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
  if (!ok) DeleteFileW(Wide(temp).c_str());
  return ok;
}

bool WritePrivateFileAtomic(const std::string& path, const std::string& content) {
  // The user's profile folders are private by their ACLs already.
  return WriteFileAtomic(path, content);
}

bool MakeDirectoryPrivate(const std::string&) { return true; }
bool MakeFilePrivate(const std::string&) { return true; }

// ANSI code page.
bool EnsurePrivateFile(const std::string& path) {
  HANDLE file = CreateFileW(Wide(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  return CloseHandle(file) != 0;
}

// ANSI code page.  The viewer's and editor's delete-on-close also removes the
// file's folder when it is left empty: Quarry's files live in a folder of
// their own, so that is never the system temporary folder.
std::string TempDirectory() {
  wchar_t buf[MAX_PATH + 2];
  DWORD n = GetTempPathW(MAX_PATH + 1, buf);
  std::string dir = (n > 0 && n <= MAX_PATH) ? Narrow(std::wstring_view(buf, n)) : std::string("C:\\");
  if (!internal::IsPathSeparator(dir.back())) dir += '\\';
  std::string own = dir + "Quarry";
  if (CreateDirectoryW(Wide(own).c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS) {
    if (DirectoryExists(own)) return own + '\\';
  }
  return dir;
}

int LastSystemError() { return static_cast<int>(GetLastError()); }

void SetLastSystemError(int code) {
  // The host reads GetLastError(); errno is cleared with it, as the C
  // library's calls leave their reason there.
  SetLastError(static_cast<DWORD>(code));
  errno = code;
}

std::string CreateTempFile(const std::string& prefix, const std::string& extension) {
  std::string dir = TempDirectory();
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string path = dir + prefix + internal::RandomTag() + extension;
    HANDLE file = CreateFileW(Wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      CloseHandle(file);
      return path;
    }
    DWORD err = GetLastError();
    if (err != ERROR_FILE_EXISTS && err != ERROR_ALREADY_EXISTS) return "";
  }
  return "";
}

// ---- processes --------------------------------------------------------------

ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& args,
                         const std::string& workDir, bool wait) {
  ProcessResult result;
  if (program.empty()) {
    result.error = "no program given";
    return result;
  }
  if (!workDir.empty() && !DirectoryExists(workDir)) {
    result.error = "working directory not found: " + workDir;
    return result;
  }
  std::string line = internal::QuoteWindowsArgument(program);
  for (const std::string& arg : args) line += ' ' + internal::QuoteWindowsArgument(arg);
  std::wstring mutableLine = Wide(line);  // CreateProcessW may write to it
  std::wstring wideDir = Wide(workDir);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (!CreateProcessW(nullptr, mutableLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      workDir.empty() ? nullptr : wideDir.c_str(), &startup, &info)) {
    result.error = program + ": " + ErrorText(GetLastError());
    return result;
  }
  CloseHandle(info.hThread);
  result.started = true;
  if (wait) {
    WaitForSingleObject(info.hProcess, INFINITE);
    DWORD code = 0;
    if (GetExitCodeProcess(info.hProcess, &code)) {
      result.exitCode = static_cast<int>(code);
    } else {
      result.error = "exit status lost: " + ErrorText(GetLastError());
    }
  }
  CloseHandle(info.hProcess);
  return result;
}

std::string ConsoleCommandLine(const std::vector<std::string>& words) {
  std::string line;
  for (const std::string& w : words) line += (line.empty() ? "" : " ") + w;
  return line;
}

int RunConsoleProgram(const std::string& commandLine, bool minimized, bool wait, ConsoleHost& host,
                      std::string* error) {
  constexpr DWORD kInputMode = 23;  // processed, line and echo input, mouse input
  constexpr DWORD kWaitStep = 1000;
  HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
  host.SaveScreen();
  CONSOLE_SCREEN_BUFFER_INFO screen{};
  if (GetConsoleScreenBufferInfo(out, &screen)) {
    host.ClearScreen(screen.dwSize.X, screen.srWindow.Bottom - screen.srWindow.Top + 1);
    COORD cursor{0, screen.dwCursorPosition.Y};
    SetConsoleCursorPosition(out, cursor);
  }
  DWORD oldMode = 0;
  const bool haveMode = GetConsoleMode(in, &oldMode) != 0;
  SetConsoleMode(in, kInputMode);

  // The wide call: CreateProcessA reads the line in the file functions' code
  // page, which FAR has switched to OEM.
  std::wstring line = Wide(commandLine);  // CreateProcessW may write to it
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = static_cast<WORD>(minimized ? SW_SHOWMINIMIZED : SW_SHOWNORMAL);
  PROCESS_INFORMATION info{};
  int code = -1;
  if (CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, NORMAL_PRIORITY_CLASS, nullptr, nullptr,
                     &startup, &info)) {
    CloseHandle(info.hThread);
    if (wait) {
      DWORD exitCode = STILL_ACTIVE;
      do {
        while (WaitForSingleObject(info.hProcess, kWaitStep) == WAIT_TIMEOUT) {
        }
        if (!GetExitCodeProcess(info.hProcess, &exitCode)) break;
      } while (exitCode == STILL_ACTIVE);
      if (exitCode != STILL_ACTIVE) code = static_cast<int>(exitCode);
    }
    CloseHandle(info.hProcess);
  } else if (error) {
    *error = ErrorText(GetLastError());
  }
  if (haveMode) SetConsoleMode(in, oldMode);
  host.RestoreScreen();
  return code;
}

// ANSI code page.
bool CanWriteIn(const std::string& dir) {
  if (!DirectoryExists(dir)) return false;
  std::string probe = JoinPath(dir, "quarry" + internal::RandomTag() + ".tmp");
  HANDLE file = CreateFileW(Wide(probe).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  CloseHandle(file);
  return true;
}

std::string UserDataDirectory() { return ""; }

namespace {
// The volume and index that identify a file, however its path is spelt.
bool FileIdentity(const std::string& path, BY_HANDLE_FILE_INFORMATION& info) {
  HANDLE file = CreateFileW(Wide(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  const bool ok = GetFileInformationByHandle(file, &info) != 0;
  CloseHandle(file);
  return ok;
}
}  // namespace

// ANSI code page.
bool SameFile(const std::string& a, const std::string& b) {
  BY_HANDLE_FILE_INFORMATION ia{}, ib{};
  return FileIdentity(a, ia) && FileIdentity(b, ib) && ia.dwVolumeSerialNumber == ib.dwVolumeSerialNumber &&
         ia.nFileIndexHigh == ib.nFileIndexHigh && ia.nFileIndexLow == ib.nFileIndexLow;
}

// ANSI code page.
std::optional<FileStamp> StampOf(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(Wide(path).c_str(), GetFileExInfoStandard, &data) ||
      (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
    return std::nullopt;
  const auto wide = [](DWORD high, DWORD low) {
    return static_cast<long long>((static_cast<unsigned long long>(high) << 32) | low);
  };
  return FileStamp{wide(data.ftLastWriteTime.dwHighDateTime, data.ftLastWriteTime.dwLowDateTime),
                   wide(data.nFileSizeHigh, data.nFileSizeLow)};
}

std::string ProgramFileName(const std::string& baseName) { return baseName + ".EXE"; }

std::string FindOnPath(const std::string& fileName) {
  if (fileName.empty()) return "";
  if (fileName.find_first_of("\\/:") != std::string::npos) return FileExists(fileName) ? fileName : "";
  // A name without an extension is tried with each of PATHEXT's, as cmd does.
  std::vector<std::string> names{fileName};
  if (fileName.find('.') == std::string::npos) {
    std::string exts = GetEnv("PATHEXT").value_or(".COM;.EXE;.BAT;.CMD");
    std::size_t start = 0;
    while (start <= exts.size()) {
      std::size_t end = exts.find(';', start);
      if (end == std::string::npos) end = exts.size();
      if (end > start) names.push_back(fileName + exts.substr(start, end - start));
      start = end + 1;
    }
  }
  std::string path = GetEnv("PATH").value_or("");
  std::size_t start = 0;
  while (start < path.size()) {
    std::size_t end = path.find(';', start);
    if (end == std::string::npos) end = path.size();
    std::string dir = path.substr(start, end - start);
    start = end + 1;
    if (dir.size() >= 2 && dir.front() == '"' && dir.back() == '"') dir = dir.substr(1, dir.size() - 2);
    if (dir.empty()) continue;
    for (const std::string& name : names) {
      std::string candidate = JoinPath(dir, name);
      if (FileExists(candidate)) return candidate;
    }
  }
  return "";
}

std::vector<std::string> ProcessCommandLine() {
  return internal::SplitWindowsCommandLine(GetCommandLineA());
}

// ---- environment ------------------------------------------------------------

std::optional<std::string> GetEnv(const std::string& name) {
  for (int attempt = 0; attempt < 4; ++attempt) {
    SetLastError(ERROR_SUCCESS);
    DWORD n = GetEnvironmentVariableA(name.c_str(), nullptr, 0);
    if (n == 0) {
      if (GetLastError() == ERROR_ENVVAR_NOT_FOUND) return std::nullopt;
      return std::string();
    }
    std::string buf(n, '\0');
    DWORD got = GetEnvironmentVariableA(name.c_str(), buf.data(), n);
    if (got < n) {
      buf.resize(got);
      return buf;
    }
  }
  return std::nullopt;
}

// The process environment (what children inherit and GetEnv reads) and the C
// runtime's copy (what getenv in other code reads) are both updated.
void SetEnv(const std::string& name, const std::string& value) {
  _putenv((name + "=" + value).c_str());
  SetEnvironmentVariableA(name.c_str(), value.c_str());
}

void UnsetEnv(const std::string& name) {
  _putenv((name + "=").c_str());
  SetEnvironmentVariableA(name.c_str(), nullptr);
}

char PathListSeparator() { return ';'; }

// ---- text -------------------------------------------------------------------

std::string AnsiToOem(std::string_view text) {
  if (text.empty()) return "";
  std::string out(text.size(), '\0');
  CharToOemBuffA(text.data(), out.data(), static_cast<DWORD>(text.size()));
  return out;
}

std::string OemToAnsi(std::string_view text) {
  if (text.empty()) return "";
  std::string out(text.size(), '\0');
  OemToCharBuffA(text.data(), out.data(), static_cast<DWORD>(text.size()));
  return out;
}

// ---- the plugin module ------------------------------------------------------

// ANSI code page.
std::string ModuleFileName() {
  HMODULE module = nullptr;
  if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                          reinterpret_cast<LPCWSTR>(&ModuleFileName), &module))
    return "";
  return ModulePath(module);
}

// ANSI code page (a version number is ASCII anyway).
std::string ModuleFileVersion() {
  std::wstring file = Wide(ModuleFileName());
  DWORD handle = 0;
  DWORD size = GetFileVersionInfoSizeW(file.c_str(), &handle);
  if (size == 0) return "";
  std::vector<char> data(size);
  if (!GetFileVersionInfoW(file.c_str(), 0, size, data.data())) return "";
  // Look the string up under each language the resource declares, then under
  // the two usual English ones.
  std::vector<std::wstring> blocks;
  struct Translation {
    WORD language;
    WORD codePage;
  };
  Translation* translations = nullptr;
  UINT len = 0;
  if (VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translations), &len)) {
    for (UINT i = 0; i < len / sizeof(Translation); ++i) {
      wchar_t block[64];
      wsprintfW(block, L"\\StringFileInfo\\%04x%04x\\FileVersion", translations[i].language,
                translations[i].codePage);
      blocks.push_back(block);
    }
  }
  blocks.push_back(L"\\StringFileInfo\\040904b0\\FileVersion");
  blocks.push_back(L"\\StringFileInfo\\040904e4\\FileVersion");
  for (const std::wstring& block : blocks) {
    wchar_t* value = nullptr;
    UINT valueLen = 0;
    if (VerQueryValueW(data.data(), block.c_str(), reinterpret_cast<void**>(&value), &valueLen) && value &&
        valueLen > 0)
      return Narrow(std::wstring_view(value, wcsnlen(value, valueLen)));
  }
  return "";
}

// ---- synchronisation ----------------------------------------------------------

struct CriticalSection::Impl {
  CRITICAL_SECTION section;
};

CriticalSection::CriticalSection() : impl_(new Impl) { InitializeCriticalSection(&impl_->section); }

CriticalSection::~CriticalSection() {
  DeleteCriticalSection(&impl_->section);
  delete impl_;
}

void CriticalSection::Enter() { EnterCriticalSection(&impl_->section); }
void CriticalSection::Leave() { LeaveCriticalSection(&impl_->section); }

}  // namespace platform
