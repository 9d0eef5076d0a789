// The instance and statistics trees: what the roots offer to a DBA and to a
// user without the catalog role, the flags and names the listings derive,
// and item names that do not carry their keys.
#include <gtest/gtest.h>

#include <ctime>

#include "instance_support.h"
#include "operations/jump_rules.h"

namespace {

using namespace paneltest;
using namespace instancetest;

class InstanceListings : public ConnectedPanel {};

TEST_F(InstanceListings, RootOffersTheCountedViewsTheRecordAndTheUndocumentedParameters) {
  LogOn("system", "manager");
  auto root = ListPath("\\.Instance parameters");
  for (const char* name : {".OPTIONS", ".PARAMETERS", ".PROCESS", ".SESSIONS", ".DISPATCHERS", ".THREADS",
                           ".BACKGROUND PROCESS", ".VERSION", ".REDO LOGS", ".NLS DATABASE", ".JOBS", ".JOBS RUNNING",
                           ".BUFFER POOLS", ".DBMS ALERTS", ".DBMS LOCKS", ".CARTRIDGES", ".RECOVERY", ".License",
                           ".Database", ".PARAMETERS UNDOCUMENTED", "INSTANCE_NAME", "HOST_NAME"})
    EXPECT_NE(Find(root, name), nullptr) << name;
  // No transaction is open, so neither transactions nor locks are offered.
  EXPECT_EQ(Find(root, ".TRANSACTIONS"), nullptr);
  EXPECT_EQ(Find(root, ".LOCKS"), nullptr);
  EXPECT_EQ(Column(Find(root, ".SESSIONS"), 0), "1");
  EXPECT_EQ(Find(root, ".DISPATCHERS")->columns,
            (std::vector<std::string>{"1", "Provides information on the dispatcher processes"}));
  EXPECT_EQ(Find(root, ".PARAMETERS UNDOCUMENTED")->columns,
            (std::vector<std::string>{"", "Undocumented INIT.ORA parameters, you must have enough privileges"}));
  EXPECT_TRUE(Errors().empty());
}

TEST_F(InstanceListings, UserWithoutTheCatalogRoleSeesEmptyDirectoriesAndNoBox) {
  LogOn("scott", "tiger");
  auto root = ListPath("\\.Instance parameters");
  EXPECT_NE(Find(root, ".PARAMETERS UNDOCUMENTED"), nullptr);
  EXPECT_NE(Find(root, ".License"), nullptr);
  EXPECT_EQ(Find(root, ".SESSIONS"), nullptr);
  EXPECT_EQ(Names(ListPath("\\.Instance parameters\\.PARAMETERS UNDOCUMENTED")), std::vector<std::string>{".."});
  EXPECT_EQ(Names(ListPath("\\.Instance parameters\\.SESSIONS")), std::vector<std::string>{".."});
  EXPECT_EQ(Names(ListPath("\\.Instance parameters\\.SESSIONS\\7.101")).front(), "..");
  auto statistics = ListPath("\\.Statistics");
  EXPECT_NE(Find(statistics, ".SYSTEM"), nullptr);
  EXPECT_NE(Find(statistics, ".AUDIT OPTIONS"), nullptr);
  EXPECT_EQ(Find(statistics, ".SQL AREA"), nullptr);
  EXPECT_EQ(Names(ListPath("\\.Statistics\\.SQL AREA\\.ALL STATEMENTS")), std::vector<std::string>{".."});
  EXPECT_EQ(Names(ListPath("\\.Statistics\\.AUDIT OPTIONS")), std::vector<std::string>{".."});
  EXPECT_TRUE(Errors().empty());
}

TEST_F(InstanceListings, ParameterFlagsReadYesOrStayEmpty) {
  LogOn("system", "manager");
  auto parameters = ListPath("\\.Instance parameters\\.PARAMETERS");
  // TYPE_NAME, VALUE, DEFAULT_NAME, ISSES, ISSYS, ...
  const Item* trace = Find(parameters, "sql_trace");
  ASSERT_NE(trace, nullptr);
  EXPECT_EQ(Column(trace, 0), "BOL");
  EXPECT_EQ(Column(trace, 3), "Yes");
  EXPECT_EQ(Column(trace, 4), "IMMEDIATE");
  const Item* processes = Find(parameters, "processes");
  ASSERT_NE(processes, nullptr);
  EXPECT_EQ(Column(processes, 0), "INT");
  EXPECT_EQ(Column(processes, 1), "150");
  EXPECT_EQ(Column(processes, 2), "");
  EXPECT_EQ(Column(processes, 3), "");
  EXPECT_EQ(Column(processes, 4), "");
  auto hidden = ListPath("\\.Instance parameters\\.PARAMETERS UNDOCUMENTED");
  ASSERT_NE(Find(hidden, "_trace_files_public"), nullptr);
  EXPECT_EQ(Column(Find(hidden, "_trace_files_public"), 0), "BOOL");
}

TEST_F(InstanceListings, SystemStatisticClassesAreNamedWithTheirNumber) {
  LogOn("system", "manager");
  auto classes = Names(ListPath("\\.Statistics\\.SYSTEM"));
  for (const char* name : {"USER.1", "REDO.2", "ENQUEUE.4", "CACHE.8", "OS.16", "PARALLEL SERVER.32", "SQL.64",
                           "DEBUG.128", "40.40"})
    EXPECT_NE(std::find(classes.begin(), classes.end(), name), classes.end()) << name;
  auto user = ListPath("\\.Statistics\\.SYSTEM\\USER.1");
  EXPECT_NE(Find(user, "logons current"), nullptr);
  EXPECT_EQ(Find(user, "redo size"), nullptr);
  EXPECT_EQ(Column(Find(user, "logons current"), 0), "1");
  EXPECT_EQ(Names(ListPath("\\.Statistics\\.SYSTEM\\40.40")).size(), 3u);
}

TEST_F(InstanceListings, ItemNamesWithoutTheirKeysListNothing) {
  LogOn("system", "manager");
  for (const char* path : {"\\.Instance parameters\\.SESSIONS\\7", "\\.Instance parameters\\.SESSIONS\\7.101.3",
                           "\\.Instance parameters\\.SESSIONS\\.101", "\\.Instance parameters\\.REDO LOGS\\1",
                           "\\.Statistics\\.SQL AREA\\.ALL STATEMENTS\\66A1B2C0",
                           "\\.Statistics\\.SORT SEGMENTS\\201", "\\.Statistics\\.SYSTEM\\USER",
                           "\\.Statistics\\.AUDIT OPTIONS\\.AUDIT TRAIL\\LOGON\\901",
                           "\\.Instance parameters\\.JOBS\\x"})
    EXPECT_EQ(Names(ListPath(path)), std::vector<std::string>{".."}) << path;
  EXPECT_TRUE(Errors().empty());
}

TEST_F(InstanceListings, OwnSessionDetailHasStatisticsCursorsAndRecord) {
  LogOn("system", "manager");
  const std::string session = Value(module(), "SELECT SID || '.' || SERIAL# FROM V$SESSION WHERE USERNAME = 'SYSTEM'");
  auto detail = ListPath("\\.Instance parameters\\.SESSIONS\\" + session);
  EXPECT_EQ(Find(detail, ".STATISTICS")->columns, (std::vector<std::string>{"", "User session statistics"}));
  EXPECT_EQ(Column(Find(detail, ".CONNECT INFO"), 0), "3");
  EXPECT_NE(Find(detail, ".CURSORS"), nullptr) << "the counting cursor itself is open";
  EXPECT_EQ(Find(detail, ".LONG RUNNING"), nullptr);
  EXPECT_EQ(Column(Find(detail, "USERNAME"), 0), "SYSTEM");
  EXPECT_EQ(Column(Find(detail, "STATUS"), 0), "ACTIVE");
  EXPECT_EQ(Column(Find(detail, "COMMAND_NAME"), 0), "SELECT");
  // SYSTEM has no audit entries in this session: no audit trail.
  EXPECT_EQ(Find(detail, ".AUDIT TRAIL"), nullptr);
  auto banner = ListPath("\\.Instance parameters\\.SESSIONS\\" + session + "\\.CONNECT INFO\\.BANNER");
  EXPECT_EQ(banner.size(), 4u);
  auto info = ListPath("\\.Instance parameters\\.SESSIONS\\" + session + "\\.CONNECT INFO");
  EXPECT_EQ(Column(Find(info, "AUTHENTICATION_TYPE"), 0), "DATABASE");
  EXPECT_TRUE(Errors().empty());
}

TEST_F(InstanceListings, IdleSessionHasNoCursors) {
  LogOn("scott", "tiger");
  LogOn("system", "manager");
  const std::string session = Value(module(), "SELECT SID || '.' || SERIAL# FROM V$SESSION WHERE USERNAME = 'SCOTT'");
  auto detail = ListPath("\\.Instance parameters\\.SESSIONS\\" + session);
  EXPECT_EQ(Find(detail, ".CURSORS"), nullptr);
  EXPECT_EQ(Column(Find(detail, "STATUS"), 0), "INACTIVE");
}

TEST_F(InstanceListings, NlsParametersListTheirValidValues) {
  LogOn("system", "manager");
  auto languages = Names(ListPath("\\.Instance parameters\\.NLS DATABASE\\NLS_LANGUAGE"));
  EXPECT_EQ(languages, (std::vector<std::string>{"..", "AMERICAN", "GERMAN", "FRENCH"}));
}

TEST_F(InstanceListings, GrowthPerMonthCountsOnlyTheLastYear) {
  LogOn("system", "manager");
  auto growth = ListPath("\\.Statistics\\.DB GROWTH PER MONTH");
  ASSERT_EQ(growth.size(), 2u);
  std::time_t t = std::time(nullptr) - 40 * 86400;
  std::tm tm{};
  localtime_r(&t, &tm);
  char month[16];
  std::strftime(month, sizeof month, "%Y-%m", &tm);
  EXPECT_EQ(growth[1].name.substr(0, 7), month);
  EXPECT_EQ(Column(&growth[1], 0), "10");
}

TEST_F(InstanceListings, LatchesWithChildrenOfferThem) {
  LogOn("system", "manager");
  auto latch = ListPath("\\.Statistics\\.LATCHES\\98");
  EXPECT_EQ(Column(Find(latch, ".CHILD LATCHES"), 0), "2");
  EXPECT_EQ(Column(Find(latch, "GETS"), 0), "9912345");
  EXPECT_EQ(Names(ListPath("\\.Statistics\\.LATCHES\\98\\.CHILD LATCHES")),
            (std::vector<std::string>{"..", "1", "2"}));
  EXPECT_EQ(Find(ListPath("\\.Statistics\\.LATCHES\\3"), ".CHILD LATCHES"), nullptr);
}

TEST_F(InstanceListings, LongOperationsListTheServersColumns) {
  LogOn("sys", "change_on_install");
  const std::string session = Value(module(), "SELECT SID || '.' || SERIAL# FROM V$SESSION WHERE USERNAME = 'SYS'");
  RunSql(module(),
         "INSERT INTO SYS.V_$SESSION_LONGOPS (SID, SERIAL#, OPNAME, TARGET, SOFAR, TOTALWORK, UNITS, START_TIME, "
         "LAST_UPDATE_TIME, TIME_REMAINING, ELAPSED_SECONDS, MESSAGE, USERNAME) SELECT SID, SERIAL#, 'Table Scan', "
         "'SCOTT.EMP', 120, 500, 'Blocks', SYSDATE, SYSDATE, 30, 9, 'Table Scan:  SCOTT.EMP: 120 out of 500 Blocks "
         "done', USERNAME FROM V$SESSION WHERE USERNAME = 'SYS'");
  auto detail = ListPath("\\.Instance parameters\\.SESSIONS\\" + session);
  EXPECT_EQ(Find(detail, ".LONG RUNNING")->columns,
            (std::vector<std::string>{"1", "The status of long-running operations"}));
  auto operations = ListPath("\\.Instance parameters\\.SESSIONS\\" + session + "\\.LONG RUNNING");
  ASSERT_EQ(operations.size(), 2u);
  const Item* scan = Find(operations, "Table Scan");
  ASSERT_NE(scan, nullptr);
  // TARGET, UNITS, SOFAR, TOTALWORK, TIME_REMAINING, ELAPSED_SECONDS, START_TIME, LAST_UPDATE_TIME, USERNAME, MESSAGE
  EXPECT_EQ(Column(scan, 0), "SCOTT.EMP");
  EXPECT_EQ(Column(scan, 1), "Blocks");
  EXPECT_EQ(Column(scan, 2), "120");
  EXPECT_EQ(Column(scan, 3), "500");
  EXPECT_EQ(Column(scan, 4), "30");
  EXPECT_EQ(Column(scan, 8), "SYS");
  EXPECT_EQ(Column(scan, 9), "Table Scan:  SCOTT.EMP: 120 out of 500 Blocks done");
  EXPECT_TRUE(Errors().empty());
}

TEST_F(InstanceListings, RedoLogMembersHaveNamesOfTheirOwn) {
  LogOn("system", "manager");
  for (const Item& log : ListPath("\\.Instance parameters\\.REDO LOGS")) {
    if (log.name == "..") continue;
    auto files = ListPath("\\.Instance parameters\\.REDO LOGS\\" + log.name + "\\.FILES");
    ASSERT_GT(files.size(), 1u) << log.name;
    std::vector<std::string> names = Names(files);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(std::adjacent_find(names.begin(), names.end()), names.end()) << "unique in " << log.name;
    for (const Item& f : files) {
      if (f.name == "..") continue;
      EXPECT_FALSE(f.name.empty());
      // MEMBER, STATUS: a member in use (no status) is named by its file.
      if (Column(&f, 1).empty()) {
        EXPECT_EQ(f.name, Column(&f, 0));
      }
    }
  }
  EXPECT_TRUE(Errors().empty());
}

TEST_F(InstanceListings, LicenseHighWaterAgreesWithTheLogons) {
  LogOn("scott", "tiger");
  LogOn("system", "manager");
  auto license = ListPath("\\.Instance parameters\\.License");
  EXPECT_EQ(Column(Find(license, "SESSIONS_CURRENT"), 0), "2");
  EXPECT_EQ(Column(Find(license, "SESSIONS_HIGHWATER"), 0), "2");
  EXPECT_EQ(Value(module(), "SELECT VALUE FROM V$SYSSTAT WHERE NAME = 'logons cumulative'"), "2");
  // A session that leaves does not lower the mark.
  panels_.erase(panels_.begin());
  license = ListPath("\\.Instance parameters\\.License");
  EXPECT_EQ(Column(Find(license, "SESSIONS_CURRENT"), 0), "1");
  EXPECT_EQ(Column(Find(license, "SESSIONS_HIGHWATER"), 0), "2");
}

// Enter on a locked object or a transaction opens the transaction of the
// session that holds it: the columns the rules read must be where the
// listings put them.
TEST_F(InstanceListings, LocksAndTransactionsJumpToTheSessionsTransaction) {
  LogOn("system", "manager");
  const std::string session = Value(module(), "SELECT SID || '.' || SERIAL# FROM V$SESSION WHERE USERNAME = 'SYSTEM'");
  RunSql(module(), "UPDATE SCOTT.EMP SET SAL = SAL WHERE EMPNO = 7369");
  auto current = [](const Item& i) {
    operations::CurrentItem c;
    c.valid = true;
    c.name = i.name;
    c.directory = i.directory;
    c.columns = i.columns;
    return c;
  };
  auto locks = ListPath("\\.Instance parameters\\.LOCKS");
  const Item* emp = Find(locks, "SCOTT.EMP");
  ASSERT_NE(emp, nullptr);
  const std::string xidsqn = Column(emp, 2);
  const std::string transaction = "\\.SESSIONS\\" + session + "\\.TRANSACTIONS\\" + xidsqn;
  std::string target = operations::GetJumpTarget(panel(), current(*emp));
  EXPECT_NE(target.find(transaction), std::string::npos) << target;
  auto transactions = ListPath("\\.Instance parameters\\.TRANSACTIONS");
  const Item* tx = Find(transactions, xidsqn);
  ASSERT_NE(tx, nullptr);
  EXPECT_EQ(operations::GetJumpTarget(panel(), current(*tx)), target);
  // The target lists the transaction with the object it locks.
  EXPECT_EQ(Column(Find(ListPath(target), "EMP"), 0), "SCOTT");
  RunSql(module(), "ROLLBACK");
  EXPECT_TRUE(Errors().empty());
}

}  // namespace
