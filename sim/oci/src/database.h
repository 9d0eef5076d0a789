// A "server": one SQLite database file chosen by the connect string's alias.
// The file lives in the stand-in's data directory; the demo aliases are built
// from the seed on first use, atomically (built under a temporary name, then
// linked into place), so a crash never leaves a half-made database behind.
#pragma once

#include <memory>
#include <string>

namespace ocisim {

class Database {
 public:
  // Resolves the alias to a file (creating a demo database when the alias names
  // one); throws ORA-12154 for an alias with no database.
  static std::shared_ptr<Database> Attach(const std::string& alias);

  const std::string& path() const { return path_; }
  const std::string& alias() const { return alias_; }
  // The session registry lives in a file of its own, so that logons and kills
  // never wait for a session's open write transaction.
  const std::string& registry_path() const { return registry_path_; }

  // A value of the database's own settings (ocisim_settings), read on a
  // connection of its own; empty when missing.
  std::string ReadSetting(const std::string& name) const;

  // Directory holding the databases: $OCISIM_DATA_DIR, else
  // $XDG_DATA_HOME/quarry/ocisim, else ~/.local/share/quarry/ocisim.
  static std::string DataDir();

 private:
  std::string alias_;
  std::string path_;
  std::string registry_path_;
};

// Milliseconds a session waits for another session's write lock before it
// gives up with ORA-00054 ($OCISIM_LOCK_TIMEOUT_MS, default 3000).
int LockTimeoutMs();

}  // namespace ocisim
