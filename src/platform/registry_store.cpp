// registry_store.cpp — the file-backed registry that stands in for the
// Windows registry on POSIX (the Win32 build uses the real one).
//
// Layout below the root directory (see internal.h for how it is chosen):
//   <root>/CurrentUser/<Key>/<Subkey>/.values
//   <root>/LocalMachine/...
// A key is a directory; its name keeps the letter case it was created with,
// and lookups compare without case.  ".values" is a text file, one value per
// line after a header:
//   # Quarry registry key
//   sz Server=ORCL
//   dword Timeout=30
// Names and data escape '\\' as \\, newline/CR/tab as \n \r \t, other control
// bytes (and '=' in names) as \xHH; every other byte is stored as is.
//
// Every read loads the file afresh, so two handles see each other's writes;
// every write rewrites it through WriteFileAtomic, so a crash leaves either the
// old or the new file, and readers need no lock.  Writers take "<root>/.lock"
// around read-change-replace, so concurrent writers (two far2l instances, or
// two threads) do not drop each other's values.  Unreadable files and
// malformed lines read as missing values.
#include <filesystem>
#include <optional>
#include <system_error>

#include "platform/internal.h"
#include "platform/platform.h"

namespace platform::internal {

namespace fs = std::filesystem;

namespace {

constexpr const char* kHeader = "# Quarry registry key";

const char* HiveDirectoryName(Hive hive) {
  return hive == Hive::CurrentUser ? "CurrentUser" : "LocalMachine";
}

const char kHex[] = "0123456789ABCDEF";

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// ---- key directory names ----

std::string EncodeComponent(const std::string& name) {
  std::string out;
  for (std::size_t i = 0; i < name.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(name[i]);
    if (c == '/' || c == '%' || c < 0x20 || c == 0x7F || (i == 0 && c == '.')) {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

std::string DecodeComponent(const std::string& encoded) {
  std::string out;
  for (std::size_t i = 0; i < encoded.size(); ++i) {
    int hi, lo;
    if (encoded[i] == '%' && i + 2 < encoded.size() && (hi = HexDigit(encoded[i + 1])) >= 0 &&
        (lo = HexDigit(encoded[i + 2])) >= 0) {
      out += static_cast<char>(hi * 16 + lo);
      i += 2;
    } else {
      out += encoded[i];
    }
  }
  return out;
}

// The subdirectory of `dir` that holds key `name`, whatever its letter case.
// Entries starting with '.' are ours (values, temporaries, trees being
// deleted), never keys.  Should two spellings exist, the smallest wins so
// every process agrees.
std::optional<fs::path> FindChildKey(const fs::path& dir, const std::string& name) {
  std::error_code ec;
  fs::directory_iterator it(dir, ec);
  std::string best;
  for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
    std::string entry = it->path().filename().string();
    if (entry.empty() || entry[0] == '.') continue;
    std::error_code typeEc;
    if (!it->is_directory(typeEc)) continue;
    if (SameName(DecodeComponent(entry), name) && (best.empty() || entry < best)) best = entry;
  }
  if (best.empty()) return std::nullopt;
  return dir / best;
}

// The directory of a key; with `create` missing keys are made.  Empty on failure.
std::optional<fs::path> ResolveKey(const std::string& root, Hive hive, const std::string& path,
                                   bool create) {
  if (root.empty()) return std::nullopt;
  std::error_code ec;
  fs::path dir = fs::path(root);
  if (create && !fs::is_directory(dir, ec)) {
    if (!fs::create_directories(dir, ec)) return std::nullopt;
  }
  // The store may hold a saved password: every folder on the way to a key
  // that is read or written is its owner's alone, also when another program
  // (or an older Quarry) made it with looser permissions.
  if (fs::is_directory(dir, ec)) MakeDirectoryPrivate(dir.string());
  dir /= HiveDirectoryName(hive);
  if (create) fs::create_directory(dir, ec);
  if (!fs::is_directory(dir, ec)) return std::nullopt;
  MakeDirectoryPrivate(dir.string());
  for (const std::string& part : SplitKeyPath(path)) {
    if (auto child = FindChildKey(dir, part)) {
      dir = *child;
      MakeDirectoryPrivate(dir.string());
      continue;
    }
    if (!create) return std::nullopt;
    fs::path child = dir / EncodeComponent(part);
    fs::create_directory(child, ec);
    if (!fs::is_directory(child, ec)) return std::nullopt;
    MakeDirectoryPrivate(child.string());
    dir = child;
  }
  return dir;
}

// ---- the values file ----

std::string Escape(std::string_view s, bool isName) {
  std::string out;
  for (char ch : s) {
    unsigned char c = static_cast<unsigned char>(ch);
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (c < 0x20 || c == 0x7F || (isName && c == '=')) {
          out += "\\x";
          out += kHex[c >> 4];
          out += kHex[c & 15];
        } else {
          out += ch;
        }
    }
  }
  return out;
}

// A NUL, escaped or not, makes the line malformed: the store never writes
// one, and a value holding one could not be written back when the key is
// next saved.
bool Unescape(std::string_view s, std::string& out) {
  out.clear();
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\0') return false;
    if (s[i] != '\\') {
      out += s[i];
      continue;
    }
    if (++i >= s.size()) return false;
    switch (s[i]) {
      case '\\': out += '\\'; break;
      case 'n': out += '\n'; break;
      case 'r': out += '\r'; break;
      case 't': out += '\t'; break;
      case 'x': {
        if (i + 2 >= s.size()) return false;
        int hi = HexDigit(s[i + 1]), lo = HexDigit(s[i + 2]);
        if (hi < 0 || lo < 0) return false;
        char c = static_cast<char>(hi * 16 + lo);
        if (c == '\0') return false;
        out += c;
        i += 2;
        break;
      }
      default: return false;
    }
  }
  return true;
}

bool ParseDword(const std::string& text, std::uint32_t& out) {
  if (text.empty() || text.size() > 10) return false;
  std::uint64_t n = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    n = n * 10 + static_cast<unsigned>(c - '0');
  }
  if (n > 0xFFFFFFFFull) return false;
  out = static_cast<std::uint32_t>(n);
  return true;
}

}  // namespace

std::string EncodeStoreValues(const std::vector<StoredValue>& values) {
  std::string out = kHeader;
  out += '\n';
  for (const StoredValue& v : values) {
    out += v.isDword ? "dword " : "sz ";
    out += Escape(v.name, true);
    out += '=';
    out += v.isDword ? std::to_string(v.number) : Escape(v.text, false);
    out += '\n';
  }
  return out;
}

std::vector<StoredValue> DecodeStoreValues(const std::string& file) {
  std::vector<StoredValue> values;
  std::size_t pos = 0;
  bool first = true;
  while (pos < file.size()) {
    std::size_t end = file.find('\n', pos);
    if (end == std::string::npos) end = file.size();
    std::string line = file.substr(pos, end - pos);
    pos = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (first) {
      if (line != kHeader) return {};
      first = false;
      continue;
    }
    if (line.empty() || line[0] == '#') continue;
    std::size_t space = line.find(' ');
    std::size_t equals = line.find('=');
    if (space == std::string::npos || equals == std::string::npos || equals < space) continue;
    std::string type = line.substr(0, space);
    StoredValue v;
    if (!Unescape(std::string_view(line).substr(space + 1, equals - space - 1), v.name)) continue;
    std::string data = line.substr(equals + 1);
    if (type == "sz") {
      if (!Unescape(data, v.text)) continue;
    } else if (type == "dword") {
      if (!ParseDword(data, v.number)) continue;
      v.isDword = true;
    } else {
      continue;
    }
    bool duplicate = false;
    for (const StoredValue& seen : values) duplicate = duplicate || SameName(seen.name, v.name);
    if (!duplicate) values.push_back(std::move(v));
  }
  return values;
}

namespace {

class StoreKey final : public RegistryKey {
 public:
  StoreKey(std::string dir, std::string lockPath) : dir_(std::move(dir)), lockPath_(std::move(lockPath)) {}

  bool QueryString(const std::string& name, std::string& out) const override {
    return Query(name, false, [&](const StoredValue& v) { out = v.text; });
  }
  bool QueryDword(const std::string& name, std::uint32_t& out) const override {
    return Query(name, true, [&](const StoredValue& v) { out = v.number; });
  }
  bool SetString(const std::string& name, const std::string& value) override {
    if (value.find('\0') != std::string::npos || name.find('\0') != std::string::npos) return false;
    return Store(name, [&](StoredValue& v) {
      v.isDword = false;
      v.text = value;
    });
  }
  bool SetDword(const std::string& name, std::uint32_t value) override {
    if (name.find('\0') != std::string::npos) return false;
    return Store(name, [&](StoredValue& v) {
      v.isDword = true;
      v.text.clear();
      v.number = value;
    });
  }
  bool DeleteValue(const std::string& name) override {
    try {
      FileLock lock(lockPath_);
      std::vector<StoredValue> values = Load();
      for (auto it = values.begin(); it != values.end(); ++it) {
        if (SameName(it->name, name)) {
          values.erase(it);
          return Save(values);
        }
      }
    } catch (...) {
    }
    return false;
  }
  std::vector<std::string> ValueNames() const override {
    std::vector<std::string> names;
    try {
      for (const StoredValue& v : Load()) names.push_back(v.name);
    } catch (...) {
      names.clear();
    }
    return names;
  }

 private:
  std::string ValuesPath() const { return JoinPath(dir_, kStoreValuesFile); }

  std::vector<StoredValue> Load() const {
    std::string data;
    if (!ReadWholeFile(ValuesPath(), data)) return {};
    // A values file left readable by others (an older Quarry) is put right
    // as soon as it is read, not only when a value is next written.
    MakeFilePrivate(ValuesPath());
    return DecodeStoreValues(data);
  }
  bool Save(const std::vector<StoredValue>& values) {
    // A deleted key stays deleted, as with a stale handle on Windows.
    if (!DirectoryExists(dir_)) return false;
    return WritePrivateFileAtomic(ValuesPath(), EncodeStoreValues(values));
  }
  template <typename Fn>
  bool Query(const std::string& name, bool wantDword, Fn take) const {
    try {
      for (const StoredValue& v : Load()) {
        if (!SameName(v.name, name)) continue;
        if (v.isDword != wantDword) return false;
        take(v);
        return true;
      }
    } catch (...) {
    }
    return false;
  }
  template <typename Fn>
  bool Store(const std::string& name, Fn assign) {
    try {
      FileLock lock(lockPath_);
      std::vector<StoredValue> values = Load();
      for (StoredValue& v : values) {
        if (SameName(v.name, name)) {  // keeps its place and the name's first spelling
          assign(v);
          return Save(values);
        }
      }
      StoredValue v;
      v.name = name;
      assign(v);
      values.push_back(std::move(v));
      return Save(values);
    } catch (...) {
      return false;
    }
  }

  std::string dir_;
  std::string lockPath_;
};

std::string LockPath(const std::string& root) { return JoinPath(root, ".lock"); }

}  // namespace

std::string RegistryStoreDirectory() {
  if (auto dir = GetEnv("QUARRY_REGISTRY_DIR"); dir && !dir->empty()) return *dir;
  // XDG: a relative XDG_CONFIG_HOME is invalid and ignored.
  if (auto xdg = GetEnv("XDG_CONFIG_HOME"); xdg && !xdg->empty() && IsPathSeparator((*xdg)[0]))
    return JoinPath(JoinPath(*xdg, "quarry"), "registry");
  if (auto home = GetEnv("HOME"); home && !home->empty())
    return JoinPath(JoinPath(JoinPath(*home, ".config"), "quarry"), "registry");
  return "";
}

std::unique_ptr<RegistryKey> OpenStoreKey(const std::string& root, Hive hive,
                                          const std::string& path, bool create) {
  try {
    auto dir = ResolveKey(root, hive, path, create);
    if (!dir) return nullptr;
    return std::make_unique<StoreKey>(dir->string(), LockPath(root));
  } catch (...) {
    return nullptr;
  }
}

std::string StoreKeyDirectory(const std::string& root, Hive hive, const std::string& path) {
  try {
    auto dir = ResolveKey(root, hive, path, false);
    return dir ? dir->string() : std::string();
  } catch (...) {
    return "";
  }
}

bool DeleteStoreKeyTree(const std::string& root, Hive hive, const std::string& path) {
  try {
    if (SplitKeyPath(path).empty()) return false;  // never a whole hive
    FileLock lock(LockPath(root));
    auto dir = ResolveKey(root, hive, path, false);
    if (!dir) return false;
    // Move the tree out of sight in one step, then remove it: readers never
    // see half a tree, and an interrupted removal leaves only a hidden leftover.
    std::error_code ec;
    fs::path graveyard = fs::path(root) / HiveDirectoryName(hive) / (".deleted-" + RandomTag());
    fs::rename(*dir, graveyard, ec);
    const fs::path& doomed = ec ? *dir : graveyard;
    fs::remove_all(doomed, ec);
    bool gone = !fs::exists(*dir, ec);
    // Sweep what an earlier, interrupted deletion left (we hold the lock, so
    // nobody else is removing one right now).
    std::error_code sweepEc;
    for (fs::directory_iterator it(graveyard.parent_path(), sweepEc);
         !sweepEc && it != fs::directory_iterator(); it.increment(sweepEc)) {
      if (it->path().filename().string().rfind(".deleted-", 0) == 0) {
        std::error_code removeEc;
        fs::remove_all(it->path(), removeEc);
      }
    }
    return gone;
  } catch (...) {
    return false;
  }
}

}  // namespace platform::internal
