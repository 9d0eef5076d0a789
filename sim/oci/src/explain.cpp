// EXPLAIN PLAN: see explain.h.
#include "explain.h"

#include "dictionary.h"
#include "sqlite_util.h"

namespace ocisim {

void ExplainInto(ServerSession& session, const sql::Translation& t, const BindValues&) {
  const sql::ExplainPlanInfo& e = *t.explain;
  sqlite3* db = session.db();
  struct Row {
    std::string operation, options, owner, name;
    int id, parent, position;
  };
  std::vector<Row> rows;
  const char* top = e.innerKind == sql::StmtKind::Insert   ? "INSERT STATEMENT"
                    : e.innerKind == sql::StmtKind::Update ? "UPDATE STATEMENT"
                    : e.innerKind == sql::StmtKind::Delete ? "DELETE STATEMENT"
                                                           : "SELECT STATEMENT";
  rows.push_back({top, "", "", "", 0, -1, 0});
  int parent = 0;
  if (e.innerKind == sql::StmtKind::Update || e.innerKind == sql::StmtKind::Delete) {
    rows.push_back({e.innerKind == sql::StmtKind::Update ? "UPDATE" : "DELETE", "",
                    e.objects.empty() ? "" : e.objects[0].owner, e.objects.empty() ? "" : e.objects[0].name, 1, 0, 1});
    parent = 1;
  }
  if (e.objects.size() > 1) {
    int id = static_cast<int>(rows.size());
    rows.push_back({"NESTED LOOPS", "", "", "", id, parent, 1});
    parent = id;
  }
  int position = 1;
  for (const auto& o : e.objects) {
    int id = static_cast<int>(rows.size());
    bool is_table = o.kind == "TABLE" || o.kind == "VIEW" || o.kind == "SYNONYM";
    rows.push_back({is_table ? "TABLE ACCESS" : o.kind, is_table ? "FULL" : "", o.owner, o.name, id, parent, position++});
  }
  std::string now = Now();
  for (const auto& r : rows) {
    Query q(db, "INSERT INTO " + e.intoSqlite +
                    " (STATEMENT_ID, TIMESTAMP, OPERATION, OPTIONS, OBJECT_OWNER, OBJECT_NAME, OPTIMIZER, ID, "
                    "PARENT_ID, POSITION, COST, CARDINALITY, BYTES) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    q.Bind(1, e.statementId.value_or("")).Bind(2, now).Bind(3, r.operation).Bind(4, r.options).Bind(5, r.owner);
    q.Bind(6, r.name).Bind(7, std::string(r.id == 0 ? "CHOOSE" : "")).Bind(8, static_cast<int64_t>(r.id));
    if (r.parent < 0) q.BindNull(9);
    else q.Bind(9, static_cast<int64_t>(r.parent));
    q.Bind(10, static_cast<int64_t>(r.id == 0 ? 0 : r.position));
    q.BindNull(11).BindNull(12).BindNull(13);
    q.Run();
  }
}

}  // namespace ocisim
