// The PL/SQL compiler's view of the stand-in's dictionary tables.
#pragma once

#include "plsql/dictionary.h"

#include <sqlite3.h>

namespace ocisim {

class SqliteDictionary : public plsql::Dictionary {
 public:
  SqliteDictionary(sqlite3* db, std::string schema) : db_(db), schema_(std::move(schema)) {}
  std::string Schema() const override { return schema_; }
  std::optional<plsql::ObjectRef> Resolve(const std::optional<std::string>& owner, const std::string& name) const override;
  std::vector<std::string> Columns(const plsql::ObjectRef& table) const override;
  std::optional<std::string> Source(const std::string& owner, const std::string& name,
                                    const std::string& type) const override;
  bool IsSchema(const std::string& name) const override;
  bool EnsureValid(const plsql::ObjectRef& unit) const override;
  std::optional<SqlFault> SqlSyntax(const std::string& sql) const override;

 private:
  std::optional<plsql::ObjectRef> Object(const std::string& owner, const std::string& name, int depth) const;
  sqlite3* db_;
  std::string schema_;
};

}  // namespace ocisim
