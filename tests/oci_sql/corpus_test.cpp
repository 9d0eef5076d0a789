// Every statement of the plugin's corpus (corpus/statements.sql) goes
// through the translator under a permissive catalog: each object name
// resolves to a table created on the fly, with a column for every name the
// statement mentions (narrowed when SQLite finds a name ambiguous). The test
// proves that each statement parses under Oracle's rules, that the generated
// SQLite text is valid SQL whose functions exist with the right arity, and
// that its column references can all be satisfied; statements marked
// "@error" must fail with that Oracle number. Results against real data are
// the engine's end-to-end run.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <fstream>
#include <map>
#include <algorithm>
#include <cctype>
#include <set>
#include <sstream>

#include "corpus/corpus.h"
#include "sql/translate.h"

using namespace ocisim::sql;

namespace {

using corpus::Record;
using corpus::Rewrite;

// Resolves every name; remembers what was asked for.
class PermissiveCatalog : public Catalog {
 public:
  mutable std::vector<ResolvedObject> resolved;
  std::string CurrentUser() const override { return "SYSTEM"; }
  ResolvedObject Resolve(const std::optional<std::string>& owner, const std::string& name) const override {
    std::string o = owner.value_or("SYSTEM");
    std::string kind = name.find("SEQ") != std::string::npos ? "SEQUENCE" : "TABLE";
    ResolvedObject obj{"\"" + o + "." + name + "\"", o, name, kind};
    resolved.push_back(obj);
    return obj;
  }
};

// Creates the tables a translated statement needs and prepares it; returns
// "" on success or SQLite's last complaint.
std::string PrepareOnGenericSchema(const std::string& sqlite, const std::string& oracleText,
                                   const std::vector<ResolvedObject>& objects) {
  sqlite3* db = nullptr;
  sqlite3_open(":memory:", &db);
  RegisterFunctions(db);
  sqlite3_create_function(
      db, "ora_nextval", 2, SQLITE_UTF8, nullptr, [](sqlite3_context* c, int, sqlite3_value**) { sqlite3_result_int(c, 1); },
      nullptr, nullptr);
  sqlite3_create_function(
      db, "ora_currval", 2, SQLITE_UTF8, nullptr, [](sqlite3_context* c, int, sqlite3_value**) { sqlite3_result_int(c, 1); },
      nullptr, nullptr);
  // Every word of the statement may be a column.
  std::set<std::string> words;
  for (size_t i = 0; i < oracleText.size();) {
    unsigned char c = static_cast<unsigned char>(oracleText[i]);
    if (!std::isalpha(c) && c != '_') {
      ++i;
      continue;
    }
    std::string w;
    while (i < oracleText.size()) {
      unsigned char d = static_cast<unsigned char>(oracleText[i]);
      if (!std::isalnum(d) && d != '_' && d != '$' && d != '#') break;
      w += static_cast<char>(std::toupper(d));
      ++i;
    }
    words.insert(w);
  }
  std::vector<std::string> tables;
  for (const auto& o : objects)
    if (std::find(tables.begin(), tables.end(), o.sqliteName) == tables.end()) tables.push_back(o.sqliteName);
  std::map<std::string, std::set<std::string>> columns;
  for (const auto& t : tables) columns[t] = words;
  auto build = [&] {
    for (const auto& t : tables) {
      sqlite3_exec(db, ("DROP TABLE IF EXISTS " + t).c_str(), nullptr, nullptr, nullptr);
      std::string ddl = "CREATE TABLE " + t + " (\"__D\"";
      for (const auto& c : columns[t]) ddl += ", \"" + c + "\"";
      ddl += ")";
      sqlite3_exec(db, ddl.c_str(), nullptr, nullptr, nullptr);
    }
  };
  build();
  std::string error;
  std::set<std::string> narrowed;
  for (int attempt = 0; attempt < 64; ++attempt) {
    sqlite3_stmt* stmt = nullptr;
    int rc = sqlite3_prepare_v2(db, sqlite.c_str(), -1, &stmt, nullptr);
    if (rc == SQLITE_OK) {
      rc = sqlite3_step(stmt);
      error = rc == SQLITE_ROW || rc == SQLITE_DONE ? "" : sqlite3_errmsg(db);
      sqlite3_finalize(stmt);
      break;
    }
    error = sqlite3_errmsg(db);
    // An unqualified name found in several tables: keep it in one of them.
    const std::string amb = "ambiguous column name: ";
    if (error.rfind(amb, 0) != 0) break;
    std::string col = error.substr(amb.size());
    if (narrowed.count(col)) break;
    narrowed.insert(col);
    bool fixed = false;
    for (const auto& keep : tables) {
      for (const auto& t : tables)
        if (t != keep) columns[t].erase(col);
        else columns[t].insert(col);
      build();
      sqlite3_stmt* probe = nullptr;
      int prc = sqlite3_prepare_v2(db, sqlite.c_str(), -1, &probe, nullptr);
      std::string msg = sqlite3_errmsg(db);
      sqlite3_finalize(probe);
      if (prc == SQLITE_OK || msg.find(col) == std::string::npos) {
        fixed = true;
        break;
      }
      for (const auto& t : tables) columns[t].insert(col);
    }
    if (!fixed) break;
  }
  sqlite3_close(db);
  return error;
}

}  // namespace

TEST(Corpus, EveryPluginStatementTranslatesAndPrepares) {
  auto records = corpus::Load(OCISQL_CORPUS);
  ASSERT_GT(records.size(), 400u);
  int queries = 0, others = 0;
  for (const auto& r : records) {
    std::string text = Rewrite(r.text);
    PermissiveCatalog catalog;
    Translation t;
    try {
      t = Translate(text, catalog);
    } catch (const OraError& e) {
      EXPECT_EQ(e.code, r.error) << "line " << r.line << ": " << e.what() << "\n" << text;
      continue;
    }
    EXPECT_EQ(r.error, 0) << "line " << r.line << " should fail:\n" << text;
    // Every bind the statement uses is declared in the record.
    for (const auto& b : t.binds) EXPECT_TRUE(r.vars.count(b)) << "line " << r.line << ": undeclared bind " << b;
    std::vector<std::pair<std::string, std::string>> sqls;  // SQLite text, Oracle text for column names
    if (!t.sqlite.empty()) sqls.push_back({t.sqlite, text});
    if (t.createTable && !t.createTable->asSelectSqlite.empty()) sqls.push_back({t.createTable->asSelectSqlite, text});
    if (t.createView) sqls.push_back({t.createView->sqlite, text});
    for (const auto& step : t.plsql) {
      if (!step.exprSqlite.empty()) sqls.push_back({"SELECT " + step.exprSqlite, text});
      if (step.dml) sqls.push_back({step.dml->sqlite, text});
    }
    (sqls.empty() ? others : queries)++;
    for (const auto& [sql, oracle] : sqls) {
      std::string err = PrepareOnGenericSchema(sql, oracle, catalog.resolved);
      EXPECT_EQ(err, "") << "line " << r.line << ":\n" << text << "\n=> " << sql;
    }
  }
  EXPECT_GT(queries, 380);
  EXPECT_GT(others, 30);
}
