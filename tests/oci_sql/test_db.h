// Test fixture for the translator: an in-memory SQLite database with the
// Oracle functions registered, a small catalog (SCOTT's EMP/DEPT/SALGRADE, a
// PLAN_TABLE, DUAL) and a helper that translates an Oracle statement, binds
// values by name and returns the rows as text ("<null>" for NULL).
#pragma once

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <map>
#include <string>
#include <vector>

#include "sql/translate.h"

namespace ocisql_test {

using ocisim::sql::Catalog;
using ocisim::sql::OraError;
using ocisim::sql::ResolvedObject;
using Rows = std::vector<std::vector<std::string>>;

class FakeCatalog : public Catalog {
 public:
  std::string user = "SCOTT";
  std::map<std::string, ResolvedObject> objects;  // "OWNER.NAME"

  void Add(const std::string& owner, const std::string& name, const std::string& kind = "TABLE") {
    objects[owner + "." + name] = {"\"" + owner + "." + name + "\"", owner, name, kind};
  }
  std::string CurrentUser() const override { return user; }
  long long CurrentUserId() const override { return 42; }
  ResolvedObject Resolve(const std::optional<std::string>& owner, const std::string& name) const override {
    auto it = objects.find(owner.value_or(user) + "." + name);
    if (it == objects.end() && !owner) it = objects.find("PUBLIC." + name);
    if (it == objects.end()) throw ocisim::sql::MakeOraError(942);
    return it->second;
  }
};

class TestDb {
 public:
  TestDb();
  ~TestDb() { sqlite3_close(db); }
  void Exec(const std::string& sqliteSql);
  // Translates and runs; binds come from the map by name.
  Rows Query(const std::string& oracleSql, const std::map<std::string, std::string>& binds = {});
  // Runs and returns the ORA code of the error (0 when none).
  int ErrorCode(const std::string& oracleSql);

  sqlite3* db = nullptr;
  FakeCatalog catalog;
};

}  // namespace ocisql_test
