// win32_process.cpp — see win32_process.h.  Registry and environment
// strings here are ANSI code page strings (the A functions, which the OEM
// switch does not affect).
#include "win32_process.h"

#include <windows.h>
#include <shlwapi.h>

#include <cstdio>
#include <string>

namespace hostsim {
namespace {

constexpr char kHomeName[] = "OraHome92";

bool SetString(HKEY root, const std::string& key, const char* name, const std::string& value) {
  HKEY h = nullptr;
  if (RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &h, nullptr) != ERROR_SUCCESS)
    return false;
  const LONG rc = RegSetValueExA(h, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                 static_cast<DWORD>(value.size() + 1));
  RegCloseKey(h);
  return rc == ERROR_SUCCESS;
}

std::string GetString(HKEY root, const std::string& key, const char* name) {
  HKEY h = nullptr;
  if (RegOpenKeyExA(root, key.c_str(), 0, KEY_QUERY_VALUE, &h) != ERROR_SUCCESS) return "";
  std::string value(32768, '\0');
  DWORD size = static_cast<DWORD>(value.size() - 1);
  DWORD type = 0;
  const LONG rc = RegQueryValueExA(h, name, nullptr, &type, reinterpret_cast<BYTE*>(value.data()), &size);
  RegCloseKey(h);
  if (rc != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return "";
  value.resize(size);
  while (!value.empty() && value.back() == '\0') value.pop_back();
  return value;
}

// `bin` first in a PATH value, once.
std::string PathWithFirst(const std::string& bin, const std::string& path) {
  if (path.rfind(bin + ";", 0) == 0 || path == bin) return path;
  return path.empty() ? bin : bin + ";" + path;
}

bool RegisterOracleHome(const std::string& home) {
  const std::string root = "SOFTWARE\\ORACLE";
  const std::string bin = home + "\\bin";
  bool ok = SetString(HKEY_LOCAL_MACHINE, root + "\\HOME0", "ORACLE_HOME", home) &&
            SetString(HKEY_LOCAL_MACHINE, root + "\\HOME0", "ORACLE_HOME_NAME", kHomeName) &&
            SetString(HKEY_LOCAL_MACHINE, root + "\\HOME0", "ORACLE_HOME_KEY", root + "\\HOME0") &&
            SetString(HKEY_LOCAL_MACHINE, root + "\\ALL_HOMES", "HOME_COUNTER", "1") &&
            SetString(HKEY_LOCAL_MACHINE, root + "\\ALL_HOMES", "DEFAULT_HOME", kHomeName) &&
            SetString(HKEY_LOCAL_MACHINE, root + "\\ALL_HOMES", "LAST_HOME", "0") &&
            SetString(HKEY_LOCAL_MACHINE, root + "\\ALL_HOMES\\ID0", "NAME", kHomeName) &&
            SetString(HKEY_LOCAL_MACHINE, root + "\\ALL_HOMES\\ID0", "PATH", home);
  // The installer puts the home's bin first in the machine's PATH; programs
  // started afterwards (this one, here) see it in their environment.
  const std::string envKey = "SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment";
  ok = ok && SetString(HKEY_LOCAL_MACHINE, envKey, "Path", PathWithFirst(bin, GetString(HKEY_LOCAL_MACHINE, envKey, "Path")));
  char current[32768];
  DWORD n = GetEnvironmentVariableA("PATH", current, sizeof current);
  const std::string path = n > 0 && n < sizeof current ? std::string(current, n) : std::string();
  ok = ok && SetEnvironmentVariableA("PATH", PathWithFirst(bin, path).c_str());
  return ok;
}

}  // namespace

bool MatchesFileMask(const char* pattern, const char* text) { return PathMatchSpecA(text, pattern) != FALSE; }

const char* PluginsRootKey() {
  static const std::string root = [] {
    char buf[1024];
    DWORD n = GetEnvironmentVariableA("QUARRY_HOST_ROOT_KEY", buf, sizeof buf);
    return n > 0 && n < sizeof buf ? std::string(buf, n) : std::string("Software\\Far\\Plugins");
  }();
  return root.c_str();
}

bool PrepareWindowsProcess() {
  SetFileApisToOEM();
  wchar_t tmp[MAX_PATH * 2];
  DWORD t = GetEnvironmentVariableW(L"QUARRY_HOST_TMP", tmp, MAX_PATH * 2);
  if (t > 0 && t < MAX_PATH * 2) {
    CreateDirectoryW(tmp, nullptr);
    SetEnvironmentVariableW(L"TMP", tmp);
    SetEnvironmentVariableW(L"TEMP", tmp);
  }
  char home[MAX_PATH * 2];
  SetLastError(ERROR_SUCCESS);
  DWORD n = GetEnvironmentVariableA("QUARRY_HOST_ORACLE_HOME", home, sizeof home);
  if (n == 0 && GetLastError() != ERROR_ENVVAR_NOT_FOUND) {
    // Set but empty: a machine without an Oracle client (an earlier run in
    // the same prefix may have registered one).
    SHDeleteKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\ORACLE");
  } else if (n > 0 && n < sizeof home) {
    if (!RegisterOracleHome(std::string(home, n))) {
      std::fprintf(stderr, "quarry-host: cannot register the Oracle home %s\n", home);
      return false;
    }
  }
  return true;
}

}  // namespace hostsim
