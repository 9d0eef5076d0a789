// internal.h — portable helpers shared by the two OS implementations of the
// platform layer (platform_posix.cpp, platform_win32.cpp) and by its tests.
//
// Nothing here touches the OS: these are the text rules (wildcards, the
// Windows command-line syntax, registry key paths) and the file-backed
// registry store that stands in for the Windows registry on POSIX.  The store
// is plain C++ on top of platform.h, so its tests also run under wine.
// Code outside src/platform and tests/platform must not include this header.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"

namespace platform::internal {

// ---- names and paths ---------------------------------------------------------

// 8 random hex digits for temporary file names (process-wide generator).
std::string RandomTag();

// True for the characters that separate path components on this OS.
bool IsPathSeparator(char c);

// Matches `name` against a pattern with '*' (any run) and '?' (one character),
// ASCII letters compared without regard to case.  "*.*" matches every name,
// as it does on Windows.
bool MatchWildcard(std::string_view pattern, std::string_view name);

// ---- Windows command lines ----------------------------------------------------

// Splits a command line the way the Microsoft C runtime does: argv[0] ends at
// the first blank outside quotes, with no escapes; later arguments honour
// quotes, backslash-quote escapes and "" inside quotes.
std::vector<std::string> SplitWindowsCommandLine(std::string_view line);
// Quotes one argument so that SplitWindowsCommandLine gives it back unchanged.
std::string QuoteWindowsArgument(const std::string& arg);

// ---- registry key paths ---------------------------------------------------------

// The components of a backslash-separated key path; empty components (leading,
// trailing or doubled backslashes) are dropped.
std::vector<std::string> SplitKeyPath(const std::string& path);
// ASCII case-insensitive equality of key and value names.
bool SameName(std::string_view a, std::string_view b);

// ---- locking between processes -------------------------------------------------

// An exclusive advisory lock on a file (created when missing), held while the
// object lives; other holders of the same file, in this process or another,
// wait.  When the file cannot be opened there is no lock (locked() is false)
// and the caller goes on unguarded rather than failing.
class FileLock {
 public:
  explicit FileLock(const std::string& path);
  ~FileLock();
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;
  bool locked() const { return locked_; }

 private:
  std::intptr_t handle_ = -1;
  bool locked_ = false;
};

// ---- the file-backed registry store ------------------------------------------------
//
// Layout below `root`: one directory per hive ("CurrentUser", "LocalMachine"),
// one directory per key below it, named after the key with the first-used
// letter case (bytes '/', '%', control characters and a leading '.' written as
// %HH), and the key's values in a text file ".values" inside that directory.
// Writers hold the lock file "<root>/.lock" while they read, change and
// replace a values file, so concurrent writers never lose each other's values.

// The store's root directory: $QUARRY_REGISTRY_DIR, else
// $XDG_CONFIG_HOME/quarry/registry, else $HOME/.config/quarry/registry.
// "" when none of these variables is set.
std::string RegistryStoreDirectory();

std::unique_ptr<RegistryKey> OpenStoreKey(const std::string& root, Hive hive,
                                          const std::string& path, bool create);
bool DeleteStoreKeyTree(const std::string& root, Hive hive, const std::string& path);

// The directory of a key in the store, or "" when the key does not exist.
std::string StoreKeyDirectory(const std::string& root, Hive hive, const std::string& path);
// Name of the values file inside a key's directory.
inline constexpr const char* kStoreValuesFile = ".values";

// One value of a values file.
struct StoredValue {
  bool isDword = false;
  std::string name;
  std::string text;
  std::uint32_t number = 0;
};
// A values file's text and back.  Decoding never fails: a file without the
// store's header holds nothing, malformed lines are skipped, and of two
// lines naming the same value the first counts.
std::string EncodeStoreValues(const std::vector<StoredValue>& values);
std::vector<StoredValue> DecodeStoreValues(const std::string& file);

}  // namespace platform::internal
