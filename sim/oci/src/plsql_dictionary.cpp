// The PL/SQL compiler's view of the dictionary: see plsql_dictionary.h.
#include "plsql_dictionary.h"

#include "compile.h"
#include "sqlite_util.h"

#include "sql/translate.h"

#include <set>

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

namespace {

// Every name is something, so that only the statement's syntax can fail:
// whether tables and columns exist the compiler checks on its own.
class AnyNameCatalog : public sql::Catalog {
 public:
  explicit AnyNameCatalog(const SqliteDictionary& dict) : dict_(dict) {}
  std::string CurrentUser() const override { return dict_.Schema(); }
  sql::ResolvedObject Resolve(const std::optional<std::string>& owner, const std::string& name) const override {
    sql::ResolvedObject r;
    auto obj = dict_.Resolve(owner, name);
    r.owner = obj ? obj->owner : owner.value_or(dict_.Schema());
    r.name = obj ? obj->name : name;
    r.kind = obj ? obj->type : "TABLE";
    r.sqliteName = "\"" + r.owner + "." + r.name + "\"";
    return r;
  }

 private:
  const SqliteDictionary& dict_;
};

// The errors of the SQL parser itself; the others (names, types, features
// the stand-in's SQL leaves out) are not syntax.
bool IsSyntaxError(int code) {
  static const std::set<int> codes = {903, 905, 906, 907, 908, 909, 911, 913, 917, 920, 921, 923, 924, 925,
                                      926, 927, 928, 931, 933, 936, 947, 969, 971, 1756};
  return codes.count(code) != 0;
}

}  // namespace

std::optional<plsql::Dictionary::SqlFault> SqliteDictionary::SqlSyntax(const std::string& sql) const {
  try {
    AnyNameCatalog catalog(*this);
    sql::Translate(sql, catalog);
  } catch (const sql::OraError& e) {
    if (IsSyntaxError(e.code)) return SqlFault{e.offset < 0 ? 0 : static_cast<size_t>(e.offset), e.what()};
  } catch (const std::exception&) {
    // Not the parser's: the statement runs (or fails) as it will.
  }
  return std::nullopt;
}

bool SqliteDictionary::EnsureValid(const plsql::ObjectRef& unit) const {
  return ocisim::EnsureValid(db_, unit.owner, unit.name, unit.type);
}

}  // namespace ocisim
