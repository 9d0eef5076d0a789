// sql_area_listing.cpp — the shared SQL area: all cached statements, the
// statements grouped by parsing user and by application module, and one
// statement with the objects it depends on and its execution plan (read
// from the cursor cache, explained into PLAN_TABLE and listed from there).
#include "catalog/statistics_parts.h"

#include "catalog/instance_support.h"
#include "catalog/item_builders.h"
#include "catalog/code_queries.h"
#include "catalog/plan_listing.h"
#include "connection/command_runner.h"
#include "connection/statement_catalogue.h"
#include "oracle/lost_connection.h"

namespace catalog {
namespace {

using namespace connection;

const ItemColumns kStatementShape{{"FILENAME", "SQL_TEXT", "VERSION_COUNT", "USERNAME", "SHARABLE_MEM",
                                    "PERSISTENT_MEM", "RUNTIME_MEM", "SORTS1", "LOADS", "EXECUTIONS",
                                    "USERS_OPENING1"},
                                   true, "", "", ""};

void ListExecutionPlan(Listing& l, const std::string& address, const std::string& hash) {
  l.UseModes("OperationOptionsObjectPanelModes");
  // No prompts while the host searches, so no explain either; and what the
  // plan table holds then is the plan of whatever was explained last, not
  // this statement's: the search finds nothing here.
  if (l.request.Searching()) return;
  std::vector<std::string> text;
  try {
    GetSqlText(l.Module(), address, hash, text);
  } catch (const std::exception& e) {
    // Gone with the connection: said once, and nothing more to try.
    if (oracle::IsLostConnection(e)) return ReportListingFailure(l, std::current_exception());
    text.clear();
  }
  // A statement that left the cache has no text to explain, and another
  // statement's plan left in the plan table is not its plan.
  if (text.empty() || text.front().empty()) return;
  try {
    ExplainPlan(l.Module(), text);
  } catch (...) {
    return ReportListingFailure(l, std::current_exception());
  }
  ShowPlan(l, "FAR SQL PLAN");
}

// One statement named "ADDRESS.HASH" at path level `level`.
void ListStatement(Listing& l, std::size_t level) {
  std::string address, hash;
  if (!SplitPair(l.Level(level), address, hash)) return;
  const std::string detail = l.Level(level + 1);
  if (detail.empty()) {
    l.UseModes("ObjectValuePanelModes");
    AddFixedDirectory(l, ".DEPENDENCIES", "To determine what objects are depended on by this");
    AddFixedDirectory(l, ".EXECUTION PLAN", nullptr);
    RecordByKind(l, kStmtSqlAreaStatement, {{"OWNER", address}});
  } else if (!l.Level(level + 2).empty()) {
    return;
  } else if (detail == ".DEPENDENCIES") {
    l.UseModes("TextPanelModes");
    ListByKind(l, kStmtCursorObjectDependencies, {{"FILENAME"}, false, "", "", ""},
               {{"ADDR", address}, {"HASH", hash}}, {"ADDR", "HASH"});
  } else if (detail == ".EXECUTION PLAN") {
    ListExecutionPlan(l, address, hash);
  }
}

}  // namespace

void ListSqlArea(Listing& l) {
  const std::string branch = l.Level(4);
  if (branch.empty()) {
    l.UseModes("ObjectValuePanelModes");
    AddFixedDirectory(l, ".ALL STATEMENTS", "All queries in SQL area");
    AddFixedDirectory(l, ".STATEMENTS BY SESSIONS", "Queries grouped by users");
  } else if (branch == ".ALL STATEMENTS") {
    if (l.Level(5).empty()) {
      l.UseModes("AddrSQLSortsLoadsPanelModes");
      ListByKind(l, kStmtSqlAreaStatements, kStatementShape);
    } else {
      ListStatement(l, 5);
    }
  } else if (branch == ".STATEMENTS BY SESSIONS") {
    if (l.Level(5).empty()) {
      l.UseModes("UserNameCountPanelModes");
      ListByKind(l, kStmtSqlAreaUsers, {{"USERNAME", "COUNTS"}, true, "", "", ""});
    } else if (l.Level(6).empty()) {
      l.UseModes("AddrSQLSortsLoadsPanelModes");
      ListByKind(l, kStmtSqlAreaStatementsOfUser, kStatementShape, {{"OWNER", l.Level(5)}});
    } else {
      ListStatement(l, 6);
    }
  }
}

void ListApplicationInfo(Listing& l) {
  const std::string module = l.Level(4);
  if (module.empty()) {
    l.UseModes("UserNameCountPanelModes");
    ListByKind(l, kStmtModules, {{"MODULE", "COUNTS"}, true, "", "", ""});
  } else if (l.Level(5).empty()) {
    l.UseModes("AddrActionSharMemPanelModes");
    ListByKind(l, kStmtModuleStatements,
               {{"FILENAME", "ACTION", "SHARABLE_MEM", "PERSISTENT_MEM", "RUNTIME_MEM", "SORTS", "EXECUTIONS",
                 "DISK_READS", "BUFFER_GETS", "SQL_TEXT"},
                true, "", "", ""},
               {{"OWNER", module}});
  } else if (l.Level(6).empty()) {
    std::string address, hash;
    if (!SplitPair(l.Level(5), address, hash)) return;
    l.UseModes("ObjectValuePanelModes");
    RecordByKind(l, kStmtModuleStatement, {{"OWNER", address}});
  }
}

}  // namespace catalog
