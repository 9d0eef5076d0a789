// platform.h — everything the plugin needs from the operating system.
//
// Names avoid the Win32 macros (LoadLibrary, DeleteFile, ...) on purpose.
// This is the only interface in the project whose implementation knows which
// OS it runs on (platform_win32.cpp / platform_posix.cpp).  Callers pass and
// receive plain std::string in the plugin's internal text.
//
// Code pages: on Windows every string of this interface is in the ANSI code
// page (file names, environment, registry, command line) except where a
// function says otherwise (AnsiToOem's result, OemToAnsi's argument).  The
// file functions do not depend on the process's file-API mode: FAR switches
// it to OEM, and the Win32 layer uses wide-character calls with explicit
// conversions.  Text for the host (OEM) is converted by the caller.  On POSIX
// every string is UTF-8, as far2l's.
//
// Registry paths are written the Windows way, with backslashes
// ("SOFTWARE\\ORACLE\\HOME0"); leading, trailing and doubled backslashes are
// ignored.  Key paths and value names compare without regard to (ASCII)
// letter case but keep the case they were created with, as on Windows.  On
// POSIX the registry is a small file-backed store of our own below
// $QUARRY_REGISTRY_DIR, else $XDG_CONFIG_HOME/quarry/registry, else
// $HOME/.config/quarry/registry (see the README and registry_store.cpp).
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// ---- registry -----------------------------------------------------------

enum class Hive { CurrentUser, LocalMachine };

class RegistryKey {
 public:
  // Opens a key; with `create` the key (and its parents) are created when
  // missing and the key is writable.  Returns null when it cannot be opened.
  static std::unique_ptr<RegistryKey> Open(Hive hive, const std::string& path, bool create);
  virtual ~RegistryKey() = default;

  // Raw reads: false when the value is missing or of another type.
  virtual bool QueryString(const std::string& name, std::string& out) const = 0;
  virtual bool QueryDword(const std::string& name, std::uint32_t& out) const = 0;
  // Text may hold any byte but NUL; a value containing NUL is refused (false).
  virtual bool SetString(const std::string& name, const std::string& value) = 0;
  virtual bool SetDword(const std::string& name, std::uint32_t value) = 0;
  virtual bool DeleteValue(const std::string& name) = 0;
  // Value names in the order the store returns them.
  virtual std::vector<std::string> ValueNames() const = 0;
};

// The one way the plugin reads a setting: the default when the key is null,
// the value missing, or of the wrong type; never an error.
// ReadBool: a DWORD is true when non-zero.  A string is read too: a decimal
// number is true when non-zero ("1", "0", Delphi's "-1"), "true"/"false" in
// any case as such; any other text gives the default.
std::string ReadString(const RegistryKey* key, const std::string& name, const std::string& def);
std::uint32_t ReadDword(const RegistryKey* key, const std::string& name, std::uint32_t def);
bool ReadBool(const RegistryKey* key, const std::string& name, bool def);

// Deletes a key and everything below it.  True when it existed and is gone.
bool DeleteKeyTree(Hive hive, const std::string& path);

// ---- dynamic libraries ----------------------------------------------------

using LibraryHandle = void*;
// Null on failure; `error` (optional) receives the system's reason.
// A bare file name is searched as the system searches it, minus the current
// folder (Windows); any other path is loaded by its full path, with the
// library's own folder searched first for its dependencies.
LibraryHandle OpenLibrary(const std::string& path, std::string* error = nullptr);
void* FindSymbol(LibraryHandle lib, const char* name);
void CloseLibrary(LibraryHandle lib);
// The full path of a loaded library; "" when unknown.
std::string LibraryPath(LibraryHandle lib);
// Windows: the full path a bare library name would be loaded from (the host
// program's folder, the system folders, then PATH, never the current
// folder); "" when none.  POSIX: the name itself (the dynamic loader's own
// search never includes the current folder).
std::string FindSystemLibrary(const std::string& fileName);

// ---- files and directories -----------------------------------------------

char PathSeparator();                           // '\\' on Windows, '/' on POSIX
std::string JoinPath(const std::string& dir, const std::string& name);  // one separator between
std::string DirectoryOf(const std::string& path);  // with a trailing separator; "" when none
bool FileExists(const std::string& path);       // a regular file
bool DirectoryExists(const std::string& path);
bool RemoveFile(const std::string& path);
// Renames a file, replacing an existing target; false on failure.
bool RenameFile(const std::string& from, const std::string& to);
// Names (not paths) of the regular files in `dir` matching a pattern with
// '*' and '?' wildcards, compared case-insensitively, in directory order.
// "*.*" matches every name, as on Windows.
std::vector<std::string> ListFiles(const std::string& dir, const std::string& pattern);
std::string CurrentDirectory();
bool ChangeDirectory(const std::string& dir);
// The 8.3 short form of an existing path on Windows; the path itself elsewhere.
std::string ShortPathName(const std::string& path);
// Reads / writes a whole file; false on failure.  WriteFileAtomic writes to a
// sibling temporary file and renames it over the target.
bool ReadWholeFile(const std::string& path, std::string& out);
// fopen for a path in the plugin's text (Windows: ANSI, whatever the
// process's file-API mode); null on failure.
std::FILE* OpenFile(const std::string& path, const char* mode);
bool WriteFileAtomic(const std::string& path, const std::string& content);
// The same for a file only its owner may read (POSIX mode 0600, also when it
// replaces a file that was readable by others); as WriteFileAtomic on Windows.
bool WritePrivateFileAtomic(const std::string& path, const std::string& content);
// Makes a directory private to its owner (POSIX mode 0700); false when that
// fails.  Does nothing on Windows, where the profile's ACLs already are.
bool MakeDirectoryPrivate(const std::string& dir);
// The same for an existing file (POSIX mode 0600); does nothing on Windows.
bool MakeFilePrivate(const std::string& path);
// Opens `path` for use as a private scratch file, creating it empty when
// missing: POSIX mode 0600, and refused (false) when it is a link or not a
// regular file of the user's own, so a file planted in a shared temporary
// folder is never used.  On Windows: created when missing.
bool EnsurePrivateFile(const std::string& path);

// The folder for Quarry's temporary files, with a trailing separator.
// POSIX: $TMPDIR when set; otherwise a folder of the user's own below /tmp
// ("/tmp/quarry-<uid>", mode 0700, refused when another user owns it), so
// the files are neither readable nor plantable by other local users.
// Windows: a folder "Quarry" below the system temporary directory, so the
// host's delete-on-close, which also removes a folder left empty, never
// removes the system's own.  The folder is made when missing; a folder that
// cannot be made gives the temporary directory itself.
std::string TempDirectory();
// Creates a new, empty file in the temporary directory whose name starts with
// `prefix` (and ends with `extension`, e.g. ".sql", when given), exclusively:
// an existing file is never reused.  Returns its path, or "" on failure.
std::string CreateTempFile(const std::string& prefix, const std::string& extension = "");

// ---- processes --------------------------------------------------------------

struct ProcessResult {
  bool started = false;
  int exitCode = -1;
  std::string error;  // why it did not start
};
// Starts `program` with `args` (not including argv[0]) in `workDir` ("" = the
// current one), and waits for it when `wait` is true.  A program name without
// a directory is searched on PATH.  exitCode is -1 when not waited for; a
// POSIX child killed by a signal gives 128 + the signal number.
ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& args,
                         const std::string& workDir, bool wait);
// Searches PATH for an executable by file name; "" when not found.
std::string FindOnPath(const std::string& fileName);
// The file name of a program: "SQLPLUS" gives "SQLPLUS.EXE" on Windows and
// "sqlplus" elsewhere.
std::string ProgramFileName(const std::string& baseName);

// The host process's command-line arguments, argv[0] first
// (POSIX: /proc/self/cmdline; Windows: GetCommandLine, split the Windows way).
std::vector<std::string> ProcessCommandLine();

// ---- environment ------------------------------------------------------------

std::optional<std::string> GetEnv(const std::string& name);
void SetEnv(const std::string& name, const std::string& value);
void UnsetEnv(const std::string& name);
char PathListSeparator();  // ';' on Windows, ':' on POSIX

// ---- the last system error ------------------------------------------------

// The calling thread's last system error (errno; on Windows GetLastError()),
// and setting it: the hosts show it in message boxes that ask for it, so it
// is cleared before every such box that has no failing call of its own.
int LastSystemError();
void SetLastSystemError(int code);

// ---- text -------------------------------------------------------------------

// ANSI <-> OEM code pages on Windows; far2l talks UTF-8 on both sides, so
// these are the identity on POSIX.  (winuser.h defines macros with these two
// names; platform_win32.cpp, the only file that includes it, undefines them.)
std::string AnsiToOem(std::string_view text);
std::string OemToAnsi(std::string_view text);

// ---- the plugin module ------------------------------------------------------

// Full path of the module (DLL / shared object) that contains this code.
std::string ModuleFileName();
// The "FileVersion" of the module's version resource on Windows; on POSIX the
// version compiled into the module.  "" when there is none.
std::string ModuleFileVersion();

// ---- synchronisation ----------------------------------------------------------

// A process-wide recursive lock.
class CriticalSection {
 public:
  CriticalSection();
  ~CriticalSection();
  CriticalSection(const CriticalSection&) = delete;
  CriticalSection& operator=(const CriticalSection&) = delete;
  void Enter();
  void Leave();

 private:
  struct Impl;
  Impl* impl_;
};

}  // namespace platform
