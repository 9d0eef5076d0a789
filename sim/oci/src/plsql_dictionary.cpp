// The PL/SQL compiler's view of the dictionary: see plsql_dictionary.h.
#include "plsql_dictionary.h"

#include "compile.h"
#include "sqlite_util.h"

namespace ocisim {

std::optional<plsql::ObjectRef> SqliteDictionary::Object(const std::string& owner, const std::string& name,
                                                         int depth) const {
  // Packages and types are found by their specification.
  Query q(db_, "SELECT OBJECT_TYPE FROM \"SYS.DBA_OBJECTS\" WHERE OWNER = ? AND OBJECT_NAME = ? AND OBJECT_TYPE NOT IN "
               "('PACKAGE BODY', 'TYPE BODY', 'INDEX', 'TRIGGER', 'LOB') ORDER BY OBJECT_TYPE");
  q.Bind(1, owner).Bind(2, name);
  if (!q.Step()) return std::nullopt;
  std::string type = q.Text(0);
  if (type != "SYNONYM") return plsql::ObjectRef{owner, name, type};
  if (depth > 8) return std::nullopt;
  Query s(db_, "SELECT TABLE_OWNER, TABLE_NAME FROM \"SYS.DBA_SYNONYMS\" WHERE OWNER = ? AND SYNONYM_NAME = ?");
  s.Bind(1, owner).Bind(2, name);
  if (!s.Step()) return std::nullopt;
  return Object(s.Text(0), s.Text(1), depth + 1);
}

std::optional<plsql::ObjectRef> SqliteDictionary::Resolve(const std::optional<std::string>& owner,
                                                          const std::string& name) const {
  if (owner) return Object(*owner, name, 0);
  if (auto o = Object(schema_, name, 0)) return o;
  if (auto o = Object("PUBLIC", name, 0)) return o;
  // DUAL is there for everyone, whether or not the dictionary lists it.
  if (name == "DUAL") return plsql::ObjectRef{"SYS", "DUAL", "TABLE"};
  return std::nullopt;
}

std::vector<std::string> SqliteDictionary::Columns(const plsql::ObjectRef& table) const {
  std::vector<std::string> out;
  if (table.owner == "SYS" && table.name == "DUAL") return {"DUMMY"};
  Query q(db_, "SELECT COLUMN_NAME FROM \"SYS.DBA_TAB_COLUMNS\" WHERE OWNER = ? AND TABLE_NAME = ? ORDER BY COLUMN_ID");
  q.Bind(1, table.owner).Bind(2, table.name);
  while (q.Step()) out.push_back(q.Text(0));
  return out;
}

std::optional<std::string> SqliteDictionary::Source(const std::string& owner, const std::string& name,
                                                    const std::string& type) const {
  Query q(db_, "SELECT TEXT FROM \"SYS.DBA_SOURCE\" WHERE OWNER = ? AND NAME = ? AND TYPE = ? ORDER BY LINE");
  q.Bind(1, owner).Bind(2, name).Bind(3, type);
  std::string text;
  bool any = false;
  while (q.Step()) {
    any = true;
    std::string l = q.Text(0);
    text += l;
    if (l.empty() || l.back() != '\n') text += '\n';
  }
  if (!any) return std::nullopt;
  return text;
}

bool SqliteDictionary::IsSchema(const std::string& name) const {
  Query q(db_, "SELECT 1 FROM \"SYS.DBA_USERS\" WHERE USERNAME = ?");
  q.Bind(1, name);
  return q.Step();
}

bool SqliteDictionary::EnsureValid(const plsql::ObjectRef& unit) const {
  return ocisim::EnsureValid(db_, unit.owner, unit.name, unit.type);
}

}  // namespace ocisim
