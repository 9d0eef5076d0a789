// Alias → database file, and first-use creation of the demo databases.
#include "database.h"

#include "ora_error.h"
#include "seed_loader.h"

#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <mutex>

namespace ocisim {
namespace {

struct DemoAlias {
  const char* alias;   // upper case; "" is the default database
  const char* file;
  const char* banner;  // version setting stored in the new database
};

// The demo databases that are built from the seed when first used.
constexpr DemoAlias kDemoAliases[] = {
    {"", "demo.db", "9i"},
    {"DEMO", "demo.db", "9i"},
    {"DEMO73", "demo73.db", "7.3"},
    {"DEMO19", "demo19.db", "19c"},
};

bool FileExists(const std::string& p) {
  struct stat st;
  return ::stat(p.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

void MakeDirs(const std::string& dir) {
  for (size_t pos = 1; pos <= dir.size(); ++pos) {
    if (pos == dir.size() || dir[pos] == '/') {
      std::string part = dir.substr(0, pos);
      if (::mkdir(part.c_str(), 0755) != 0 && errno != EEXIST) return;
    }
  }
}

std::string Upper(std::string s) {
  for (auto& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

std::string Trim(const std::string& s) {
  size_t b = s.find_first_not_of(" \t\r\n");
  if (b == std::string::npos) return {};
  size_t e = s.find_last_not_of(" \t\r\n");
  return s.substr(b, e - b + 1);
}

// An alias may only name a file inside the data directory.
bool SafeAlias(const std::string& a) {
  return std::all_of(a.begin(), a.end(), [](unsigned char c) { return std::isalnum(c) || c == '_' || c == '-'; });
}

// Builds the database under a temporary name and links it into place; when
// another process won the race its file is kept and ours is discarded.
void CreateFromSeed(const std::string& path, const std::string& banner) {
  std::string tmp = path + ".tmp." + std::to_string(::getpid());
  ::unlink(tmp.c_str());
  try {
    BuildDemoDatabase(tmp, banner);
  } catch (...) {
    ::unlink(tmp.c_str());
    throw;
  }
  if (::link(tmp.c_str(), path.c_str()) != 0 && errno != EEXIST) {
    int err = errno;
    ::unlink(tmp.c_str());
    ThrowOraText(12154, OraMessage(12154) + "\ncannot create " + path + ": " + std::to_string(err));
  }
  ::unlink(tmp.c_str());
}

std::mutex& CreateMutex() {
  static std::mutex m;
  return m;
}

}  // namespace

std::string Database::DataDir() {
  if (const char* d = std::getenv("OCISIM_DATA_DIR"); d && *d) return d;
  if (const char* x = std::getenv("XDG_DATA_HOME"); x && *x) return std::string(x) + "/quarry/ocisim";
  const char* home = std::getenv("HOME");
  return std::string(home && *home ? home : "/tmp") + "/.local/share/quarry/ocisim";
}

int LockTimeoutMs() {
  if (const char* t = std::getenv("OCISIM_LOCK_TIMEOUT_MS"); t && *t) {
    int v = std::atoi(t);
    if (v >= 0) return v;
  }
  return 3000;
}

std::string Database::ReadSetting(const std::string& name) const {
  sqlite3* db = nullptr;
  std::string value;
  if (sqlite3_open_v2(path_.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
    sqlite3_stmt* s = nullptr;
    if (sqlite3_prepare_v2(db, "SELECT VALUE FROM ocisim_settings WHERE NAME = ?", -1, &s, nullptr) == SQLITE_OK) {
      sqlite3_bind_text(s, 1, name.c_str(), -1, SQLITE_TRANSIENT);
      if (sqlite3_step(s) == SQLITE_ROW && sqlite3_column_text(s, 0))
        value = reinterpret_cast<const char*>(sqlite3_column_text(s, 0));
      sqlite3_finalize(s);
    }
  }
  sqlite3_close(db);
  return value;
}

std::shared_ptr<Database> Database::Attach(const std::string& alias_in) {
  std::string alias = Upper(Trim(alias_in));
  if (!SafeAlias(alias)) ThrowOra(12154);
  std::string dir = DataDir();
  auto db = std::make_shared<Database>();
  db->alias_ = alias;
  const DemoAlias* demo = nullptr;
  for (const auto& d : kDemoAliases)
    if (alias == d.alias) demo = &d;
  std::string file = demo ? demo->file : [&] {
    std::string lower = alias;
    for (auto& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower + ".db";
  }();
  db->path_ = dir + "/" + file;
  db->registry_path_ = db->path_ + ".sessions";
  // SYNTH_<tables>_<columns>: a demo database with a big generated schema;
  // SYNTHOBJ_<objects>: one whose many objects are dictionary rows only.
  int synth_tables = 0, synth_columns = 0, synth_objects = 0;
  char tail = 0;
  bool synthetic = !demo && std::sscanf(alias.c_str(), "SYNTH_%d_%d%c", &synth_tables, &synth_columns, &tail) == 2 &&
                   synth_tables > 0 && synth_tables <= 100000 && synth_columns > 0 && synth_columns <= 1000;
  bool synthetic_objects = !demo && !synthetic &&
                           std::sscanf(alias.c_str(), "SYNTHOBJ_%d%c", &synth_objects, &tail) == 1 &&
                           synth_objects > 0 && synth_objects <= 1000000;
  if (!FileExists(db->path_) && (synthetic || synthetic_objects)) {
    std::lock_guard<std::mutex> lock(CreateMutex());
    MakeDirs(dir);
    if (!FileExists(db->path_)) {
      std::string tmp = db->path_ + ".tmp." + std::to_string(::getpid());
      ::unlink(tmp.c_str());
      try {
        if (synthetic)
          BuildSyntheticDatabase(tmp, synth_tables, synth_columns);
        else
          BuildSyntheticObjectsDatabase(tmp, synth_objects);
      } catch (...) {
        ::unlink(tmp.c_str());
        throw;
      }
      if (::link(tmp.c_str(), db->path_.c_str()) != 0 && errno != EEXIST) {
        ::unlink(tmp.c_str());
        ThrowOra(12154);
      }
      ::unlink(tmp.c_str());
    }
  }
  if (!FileExists(db->path_)) {
    if (!demo) ThrowOra(12154);
    std::lock_guard<std::mutex> lock(CreateMutex());
    MakeDirs(dir);
    if (!FileExists(db->path_)) CreateFromSeed(db->path_, demo->banner);
  }
  return db;
}

}  // namespace ocisim
