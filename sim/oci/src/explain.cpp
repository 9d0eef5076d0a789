// EXPLAIN PLAN: see explain.h.
#include "explain.h"

#include "dictionary.h"
#include "sqlite_util.h"

#include <memory>
#include <regex>

namespace ocisim {
namespace {

struct Node {
  std::string operation, options, owner, name;
  std::vector<std::unique_ptr<Node>> children;
};

std::unique_ptr<Node> MakeNode(std::string operation, std::string options = "", std::string owner = "",
                               std::string name = "") {
  auto n = std::make_unique<Node>();
  n->operation = std::move(operation);
  n->options = std::move(options);
  n->owner = std::move(owner);
  n->name = std::move(name);
  return n;
}

// "OWNER.NAME" as SQLite names a table or index; false for anything else.
bool SplitSqliteName(const std::string& text, std::string& owner, std::string& name) {
  const size_t dot = text.find('.');
  if (dot == std::string::npos) return false;
  owner = text.substr(0, dot);
  name = text.substr(dot + 1);
  return true;
}

// The table behind an alias of the translated statement ("SCOTT.EMP" E).
std::string TableOfAlias(const std::string& sqlite, const std::string& alias) {
  const std::regex pattern("\"([^\"]+)\"\\s+(?:AS\\s+)?\"?" + alias + "\"?(?![A-Za-z0-9_$#])", std::regex::icase);
  std::smatch m;
  if (std::regex_search(sqlite, m, pattern)) return m[1];
  return alias;
}

struct IndexInfo {
  std::string owner, name;
  bool unique = false;
};

// SQLite's own index of a primary key or unique constraint stands for the
// Oracle index of that constraint.
IndexInfo OracleIndex(sqlite3* db, const std::string& sqliteIndex, const std::string& tableOwner,
                      const std::string& table) {
  IndexInfo info;
  if (sqliteIndex.rfind("sqlite_autoindex_", 0) == 0) {
    Query q(db, "SELECT OWNER, INDEX_NAME FROM \"SYS.DBA_INDEXES\" WHERE TABLE_OWNER = ? AND TABLE_NAME = ? AND "
                "UNIQUENESS = 'UNIQUE' ORDER BY INDEX_NAME");
    q.Bind(1, tableOwner).Bind(2, table);
    if (q.Step()) {
      info.owner = q.Text(0);
      info.name = q.Text(1);
    } else {
      info.owner = tableOwner;
      info.name = "SYS_C00" + table;
    }
    info.unique = true;
    return info;
  }
  if (!SplitSqliteName(sqliteIndex, info.owner, info.name)) info.name = sqliteIndex;
  Query q(db, "SELECT UNIQUENESS FROM \"SYS.DBA_INDEXES\" WHERE OWNER = ? AND INDEX_NAME = ?");
  q.Bind(1, info.owner).Bind(2, info.name);
  info.unique = q.Step() && q.Text(0) == "UNIQUE";
  return info;
}

// One table access of the query plan ("SCAN X", "SEARCH X USING INDEX I (A=?)").
std::unique_ptr<Node> Access(sqlite3* db, const std::string& sqlite, const std::string& detail) {
  const bool search = detail.rfind("SEARCH ", 0) == 0;
  std::string rest = detail.substr(search ? 7 : 5);
  const size_t space = rest.find(' ');
  std::string object = rest.substr(0, space);
  rest = space == std::string::npos ? "" : rest.substr(space + 1);
  std::string owner, table;
  std::string resolved = object.find('.') == std::string::npos ? TableOfAlias(sqlite, object) : object;
  if (!SplitSqliteName(resolved, owner, table)) table = resolved;
  if (rest.empty()) return MakeNode("TABLE ACCESS", "FULL", owner, table);
  if (rest.find("INTEGER PRIMARY KEY") != std::string::npos) return MakeNode("TABLE ACCESS", "BY USER ROWID", owner, table);
  const bool covering = rest.rfind("USING COVERING INDEX ", 0) == 0;
  const std::string prefix = covering ? "USING COVERING INDEX " : "USING INDEX ";
  if (rest.rfind(prefix, 0) != 0) return MakeNode("TABLE ACCESS", "FULL", owner, table);
  std::string index = rest.substr(prefix.size());
  std::string condition;
  if (const size_t paren = index.find(" ("); paren != std::string::npos) {
    condition = index.substr(paren + 2);
    index = index.substr(0, paren);
  }
  const IndexInfo info = OracleIndex(db, index, owner, table);
  // Equality on every key column of a unique index finds at most one row.
  const bool equalities = !condition.empty() && condition.find('>') == std::string::npos &&
                          condition.find('<') == std::string::npos;
  const char* scan = !search ? "FULL SCAN" : info.unique && equalities ? "UNIQUE SCAN" : "RANGE SCAN";
  auto indexNode = MakeNode("INDEX", scan, info.owner, info.name);
  if (covering) return indexNode;
  auto tableNode = MakeNode("TABLE ACCESS", "BY INDEX ROWID", owner, table);
  tableNode->children.push_back(std::move(indexNode));
  return tableNode;
}

// The plan of the statement as SQLite runs it; null when SQLite cannot say.
std::unique_ptr<Node> PlanOf(sqlite3* db, const sql::ExplainPlanInfo& e, const std::string& sqlite) {
  const char* top = e.innerKind == sql::StmtKind::Insert   ? "INSERT STATEMENT"
                    : e.innerKind == sql::StmtKind::Update ? "UPDATE STATEMENT"
                    : e.innerKind == sql::StmtKind::Delete ? "DELETE STATEMENT"
                                                           : "SELECT STATEMENT";
  std::vector<std::unique_ptr<Node>> accesses;
  std::vector<std::string> sorts;
  sqlite3_stmt* stmt = nullptr;
  if (sqlite.empty() || sqlite3_prepare_v2(db, ("EXPLAIN QUERY PLAN " + sqlite).c_str(), -1, &stmt, nullptr) != SQLITE_OK) {
    sqlite3_finalize(stmt);
    return nullptr;
  }
  while (sqlite3_step(stmt) == SQLITE_ROW) {
    const unsigned char* text = sqlite3_column_text(stmt, 3);
    const std::string detail = text ? reinterpret_cast<const char*>(text) : "";
    if (detail.rfind("SCAN ", 0) == 0 || detail.rfind("SEARCH ", 0) == 0) {
      if (detail.find("CONSTANT ROW") == std::string::npos) accesses.push_back(Access(db, sqlite, detail));
    } else if (detail == "USE TEMP B-TREE FOR ORDER BY" || detail == "USE TEMP B-TREE FOR RIGHT PART OF ORDER BY") {
      sorts.push_back("ORDER BY");
    } else if (detail == "USE TEMP B-TREE FOR GROUP BY") {
      sorts.push_back("GROUP BY");
    } else if (detail == "USE TEMP B-TREE FOR DISTINCT") {
      sorts.push_back("UNIQUE");
    }
  }
  sqlite3_finalize(stmt);
  auto root = MakeNode(top);
  Node* parent = root.get();
  if (e.innerKind == sql::StmtKind::Update || e.innerKind == sql::StmtKind::Delete) {
    const auto& target = e.objects.empty() ? sql::ResolvedObject{} : e.objects[0];
    parent->children.push_back(MakeNode(e.innerKind == sql::StmtKind::Update ? "UPDATE" : "DELETE", "", target.owner,
                                        target.name));
    parent = parent->children.back().get();
  }
  // The sort done last sits highest.
  for (auto it = sorts.rbegin(); it != sorts.rend(); ++it) {
    parent->children.push_back(MakeNode("SORT", *it));
    parent = parent->children.back().get();
  }
  if (accesses.empty()) return root;
  std::unique_ptr<Node> tree = std::move(accesses[0]);
  for (size_t i = 1; i < accesses.size(); ++i) {
    auto loops = MakeNode("NESTED LOOPS");
    loops->children.push_back(std::move(tree));
    loops->children.push_back(std::move(accesses[i]));
    tree = std::move(loops);
  }
  parent->children.push_back(std::move(tree));
  return root;
}

// Without a plan from SQLite: the statement row and a full scan of each object read.
std::unique_ptr<Node> PlanOfObjects(const sql::ExplainPlanInfo& e) {
  auto root = MakeNode("SELECT STATEMENT");
  for (const auto& o : e.objects) {
    bool table = o.kind == "TABLE" || o.kind == "VIEW" || o.kind == "SYNONYM";
    root->children.push_back(MakeNode(table ? "TABLE ACCESS" : o.kind, table ? "FULL" : "", o.owner, o.name));
  }
  return root;
}

struct Row {
  const Node* node;
  int id, parent, position;
};

void Number(const Node* node, int parent, int position, std::vector<Row>& rows) {
  const int id = static_cast<int>(rows.size());
  rows.push_back({node, id, parent, position});
  int child = 1;
  for (const auto& c : node->children) Number(c.get(), id, child++, rows);
}

}  // namespace

void ExplainInto(ServerSession& session, const sql::Translation& t, const BindValues&) {
  const sql::ExplainPlanInfo& e = *t.explain;
  sqlite3* db = session.db();
  std::unique_ptr<Node> plan = PlanOf(db, e, t.sqlite);
  if (!plan) plan = PlanOfObjects(e);
  std::vector<Row> rows;
  Number(plan.get(), -1, 0, rows);
  const std::string now = Now();
  for (const Row& r : rows) {
    Query q(db, "INSERT INTO " + e.intoSqlite +
                    " (STATEMENT_ID, TIMESTAMP, OPERATION, OPTIONS, OBJECT_OWNER, OBJECT_NAME, OPTIMIZER, ID, "
                    "PARENT_ID, POSITION, COST, CARDINALITY, BYTES) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    q.Bind(1, e.statementId.value_or("")).Bind(2, now).Bind(3, r.node->operation).Bind(4, r.node->options);
    q.Bind(5, r.node->owner).Bind(6, r.node->name).Bind(7, std::string(r.id == 0 ? "CHOOSE" : ""));
    q.Bind(8, static_cast<int64_t>(r.id));
    if (r.parent < 0) q.BindNull(9);
    else q.Bind(9, static_cast<int64_t>(r.parent));
    q.Bind(10, static_cast<int64_t>(r.position));
    q.BindNull(11).BindNull(12).BindNull(13);
    q.Run();
  }
}

}  // namespace ocisim
