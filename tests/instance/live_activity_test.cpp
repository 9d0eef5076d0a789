// The live views as the panels show them: a second session's transaction,
// its lock and the object it locks, its statement in the SQL area, until it
// commits; the module a session sets; a job it submits; and the execution
// plan of a cached statement, which changes when an index is created.
#include <gtest/gtest.h>

#include "instance_support.h"

namespace {

using namespace paneltest;
using namespace instancetest;

class LiveActivity : public ConnectedPanel {
 protected:
  std::vector<Item> ListOn(panel::TOracleController& c, const std::string& path, int opMode = 0) {
    c.SetCurrentDirectory(path);
    far::PluginPanelItem* items = nullptr;
    int count = 0;
    panel::FindDataRequest r{&items, &count, opMode};
    EXPECT_TRUE(c.GetFindData(r));
    std::vector<Item> out = CopyItems(items, count);
    c.FreeFindData(items, count);
    return out;
  }
};

TEST_F(LiveActivity, SecondSessionsTransactionShowsUntilCommit) {
  auto& dba = LogOn("system", "manager");
  auto& scott = LogOn("scott", "tiger");
  const std::string update = "UPDATE EMP SET SAL = SAL + 1 WHERE EMPNO = 7369";
  RunSql(scott.DataModule(), update);
  const std::string session =
      Value(dba.DataModule(), "SELECT SID || '.' || SERIAL# FROM V$SESSION WHERE USERNAME = 'SCOTT'");

  auto root = ListOn(dba, "\\.Instance parameters");
  ASSERT_NE(Find(root, ".TRANSACTIONS"), nullptr);
  EXPECT_EQ(Column(Find(root, ".TRANSACTIONS"), 0), "1");
  EXPECT_EQ(Column(Find(root, ".LOCKS"), 0), "1");

  auto transactions = ListOn(dba, "\\.Instance parameters\\.TRANSACTIONS");
  ASSERT_EQ(transactions.size(), 2u);
  EXPECT_EQ(transactions[1].columns[0], "ACTIVE");
  EXPECT_EQ(transactions[1].columns[2], "SCOTT");
  EXPECT_EQ(transactions[1].columns[3], session);
  const std::string xidsqn = transactions[1].name;

  auto locks = ListOn(dba, "\\.Instance parameters\\.LOCKS");
  ASSERT_NE(Find(locks, "SCOTT.EMP"), nullptr);
  EXPECT_EQ(Find(locks, "SCOTT.EMP")->columns, (std::vector<std::string>{"TABLE", session, xidsqn}));

  // The session detail: the transaction lock held exclusively, the transaction
  // and the table it locks.
  auto detail = ListOn(dba, "\\.Instance parameters\\.SESSIONS\\" + session);
  EXPECT_NE(Find(detail, ".STATISTICS"), nullptr);
  EXPECT_EQ(Column(Find(detail, ".LOCKS"), 0), "1");
  EXPECT_EQ(Column(Find(detail, ".TRANSACTIONS"), 0), "1");
  EXPECT_EQ(Column(Find(detail, "COMMAND_NAME"), 0), "UPDATE");
  auto txLocks = ListOn(dba, "\\.Instance parameters\\.SESSIONS\\" + session + "\\.LOCKS");
  ASSERT_NE(Find(txLocks, "TX"), nullptr);
  EXPECT_EQ(Column(Find(txLocks, "TX"), 2), "EXCLUSIVE");
  EXPECT_EQ(Column(Find(txLocks, "TX"), 3), "NONE");
  auto objects = ListOn(dba, "\\.Instance parameters\\.SESSIONS\\" + session + "\\.TRANSACTIONS\\" + xidsqn);
  ASSERT_NE(Find(objects, "EMP"), nullptr);
  EXPECT_EQ(Find(objects, "EMP")->columns, (std::vector<std::string>{"SCOTT", "TABLE"}));

  // The statement is in the SQL area, under its parsing user too.
  auto all = ListOn(dba, "\\.Statistics\\.SQL AREA\\.ALL STATEMENTS");
  const Item* cached = FindByColumn(all, 0, update);
  ASSERT_NE(cached, nullptr);
  EXPECT_EQ(Column(cached, 2), "SCOTT");
  auto byUser = ListOn(dba, "\\.Statistics\\.SQL AREA\\.STATEMENTS BY SESSIONS\\SCOTT");
  EXPECT_NE(FindByColumn(byUser, 0, update), nullptr);
  auto deps = ListOn(dba, "\\.Statistics\\.SQL AREA\\.ALL STATEMENTS\\" + cached->name + "\\.DEPENDENCIES");
  EXPECT_NE(Find(deps, "EMP.SCOTT"), nullptr);

  RunSql(scott.DataModule(), "COMMIT");
  root = ListOn(dba, "\\.Instance parameters");
  EXPECT_EQ(Find(root, ".TRANSACTIONS"), nullptr);
  EXPECT_EQ(Find(root, ".LOCKS"), nullptr);
  EXPECT_EQ(Names(ListOn(dba, "\\.Instance parameters\\.TRANSACTIONS")), std::vector<std::string>{".."});
  EXPECT_EQ(Names(ListOn(dba, "\\.Instance parameters\\.LOCKS")), std::vector<std::string>{".."});
  detail = ListOn(dba, "\\.Instance parameters\\.SESSIONS\\" + session);
  EXPECT_EQ(Find(detail, ".LOCKS"), nullptr);
  EXPECT_EQ(Find(detail, ".TRANSACTIONS"), nullptr);
  EXPECT_TRUE(Errors().empty());
}

TEST_F(LiveActivity, StatisticsAreTheSessionsOwnAndAddUp) {
  auto& dba = LogOn("system", "manager");
  auto& scott = LogOn("scott", "tiger");
  RunSql(scott.DataModule(), "SELECT * FROM DEPT");
  RunSql(scott.DataModule(), "SELECT * FROM EMP");
  const std::string sid = Value(dba.DataModule(), "SELECT SID FROM V$SESSION WHERE USERNAME = 'SCOTT'");
  auto stats = ListOn(dba, "\\.Instance parameters\\.SESSIONS\\" +
                               Value(dba.DataModule(), "SELECT SID || '.' || SERIAL# FROM V$SESSION WHERE USERNAME = 'SCOTT'") +
                               "\\.STATISTICS");
  // Only counters above zero are listed.
  for (const Item& i : stats)
    if (i.name != "..") {
      EXPECT_NE(Column(&i, 0), "") << i.name;
    }
  ASSERT_NE(Find(stats, "execute count"), nullptr);
  const int scottExecutions = std::stoi(Column(Find(stats, "execute count"), 0));
  EXPECT_GE(scottExecutions, 2);
  // Instance totals are the sum over the sessions (none has left yet).
  EXPECT_EQ(Value(dba.DataModule(), "SELECT VALUE FROM V$SYSSTAT WHERE NAME = 'logons current'"), "2");
  EXPECT_EQ(Value(dba.DataModule(),
                  "SELECT COUNT(*) FROM V$SYSSTAT Y WHERE Y.VALUE <> (SELECT SUM(S.VALUE) FROM V$SESSTAT S WHERE "
                  "S.STATISTIC# = Y.STATISTIC#)"),
            "0");
  // Session I/O: logical reads are block gets plus consistent gets.
  EXPECT_EQ(Value(dba.DataModule(), "SELECT COUNT(*) FROM V$SESS_IO I, V$SESSTAT S, V$STATNAME N WHERE I.SID = S.SID "
                                    "AND S.STATISTIC# = N.STATISTIC# AND N.NAME = 'session logical reads' AND S.VALUE "
                                    "<> I.BLOCK_GETS + I.CONSISTENT_GETS"),
            "0");
  auto io = ListOn(dba, "\\.Statistics\\.SESSIONS I-O");
  ASSERT_NE(Find(io, sid), nullptr);
  EXPECT_EQ(Column(Find(io, sid), 0), "SCOTT");
  EXPECT_TRUE(Errors().empty());
}

TEST_F(LiveActivity, ModuleAndJobOfASession) {
  auto& dba = LogOn("system", "manager");
  auto& scott = LogOn("scott", "tiger");
  RunSql(scott.DataModule(), "BEGIN DBMS_APPLICATION_INFO.SET_MODULE('payroll', 'close month'); END;");
  RunSql(scott.DataModule(), "SELECT ENAME FROM EMP WHERE DEPTNO = 20");
  {
    auto submit = scott.DataModule().CreateNewOracleQuery({"J"});
    ASSERT_TRUE(submit);
    submit->SetSQL("BEGIN DBMS_JOB.SUBMIT(:J, 'LOG_RUN;', SYSDATE + 1, 'SYSDATE + 1'); END;");
    submit->Execute();
  }
  RunSql(scott.DataModule(), "COMMIT");
  EXPECT_EQ(Value(dba.DataModule(), "SELECT MODULE || '/' || ACTION FROM V$SESSION WHERE USERNAME = 'SCOTT'"),
            "payroll/close month");
  auto root = ListOn(dba, "\\.Statistics");
  EXPECT_NE(Find(root, ".APPLICATION INFO"), nullptr);
  auto modules = ListOn(dba, "\\.Statistics\\.APPLICATION INFO");
  ASSERT_NE(Find(modules, "payroll"), nullptr);
  auto statements = ListOn(dba, "\\.Statistics\\.APPLICATION INFO\\payroll");
  const Item* select = FindByColumn(statements, 8, "SELECT ENAME FROM EMP WHERE DEPTNO = 20");
  ASSERT_NE(select, nullptr);
  EXPECT_EQ(Column(select, 0), "close month");
  auto jobs = ListOn(dba, "\\.Instance parameters\\.JOBS");
  ASSERT_NE(Find(jobs, "2"), nullptr);
  EXPECT_EQ(Column(Find(jobs, "2"), 0), "SCOTT");
  EXPECT_EQ(Column(Find(jobs, "2"), 5), "LOG_RUN;");
  auto job = ListOn(dba, "\\.Instance parameters\\.JOBS\\2");
  EXPECT_EQ(Column(Find(job, "INTERVAL"), 0), "SYSDATE + 1");
  RunSql(scott.DataModule(), "BEGIN DBMS_JOB.REMOVE(2); END;");
  RunSql(scott.DataModule(), "COMMIT");
  EXPECT_EQ(Find(ListOn(dba, "\\.Instance parameters\\.JOBS"), "2"), nullptr);
  EXPECT_TRUE(Errors().empty());
}

TEST_F(LiveActivity, ExecutionPlanFollowsTheIndexes) {
  auto& dba = LogOn("system", "manager");
  const std::string query = "SELECT EMPNO, SAL FROM SCOTT.EMP WHERE JOB = 'CLERK'";
  RunSql(dba.DataModule(), query);
  auto all = ListOn(dba, "\\.Statistics\\.SQL AREA\\.ALL STATEMENTS");
  const Item* cached = FindByColumn(all, 0, query);
  ASSERT_NE(cached, nullptr);
  // The record names the statement by the two halves of the item's name.
  auto record = ListOn(dba, "\\.Statistics\\.SQL AREA\\.ALL STATEMENTS\\" + cached->name);
  EXPECT_EQ(Column(Find(record, "ADDRESS"), 0) + "." + Column(Find(record, "HASH_VALUE"), 0), cached->name);
  EXPECT_EQ(Column(Find(record, "SQL_TEXT"), 0), query);
  EXPECT_EQ(Column(Find(record, "PARSING_USER"), 0), "SYSTEM");
  const std::string planPath = "\\.Statistics\\.SQL AREA\\.ALL STATEMENTS\\" + cached->name + "\\.EXECUTION PLAN";
  auto plan = ListOn(dba, planPath);
  ASSERT_EQ(plan.size(), 3u);
  EXPECT_EQ(plan[1].name, "00001");
  EXPECT_EQ(plan[1].columns[0], "SELECT STATEMENT");
  EXPECT_EQ(plan[2].columns, (std::vector<std::string>{"..TABLE ACCESS", "FULL", "EMP", "1", "TABLE ACCESS - FULL"}));

  RunSql(dba.DataModule(), "CREATE INDEX SCOTT.EMP_JOB_IX ON SCOTT.EMP (JOB)");
  plan = ListOn(dba, planPath);
  ASSERT_EQ(plan.size(), 4u);
  EXPECT_EQ(plan[2].columns[0], "..TABLE ACCESS");
  EXPECT_EQ(plan[2].columns[1], "BY INDEX ROWID");
  EXPECT_EQ(plan[3].columns[0], "....INDEX");
  EXPECT_EQ(plan[3].columns[1], "RANGE SCAN");
  EXPECT_EQ(plan[3].columns[2], "EMP_JOB_IX");
  EXPECT_TRUE(Errors().empty());

  // A search never explains: the plan table still holds EMP's plan, which
  // is not the plan of another statement the search walks into.
  const std::string other = "SELECT DNAME FROM SCOTT.DEPT";
  RunSql(dba.DataModule(), other);
  all = ListOn(dba, "\\.Statistics\\.SQL AREA\\.ALL STATEMENTS");
  const Item* second = FindByColumn(all, 0, other);
  ASSERT_NE(second, nullptr);
  plan = ListOn(dba, "\\.Statistics\\.SQL AREA\\.ALL STATEMENTS\\" + second->name + "\\.EXECUTION PLAN",
                far::OPM_FIND);
  EXPECT_EQ(Names(plan), std::vector<std::string>{".."});
}

TEST_F(LiveActivity, PlanOfAStatementTheUserMayNotExplainShowsWhatThePlanTableHolds) {
  auto& dba = LogOn("system", "manager");
  auto& scott = LogOn("scott", "tiger");
  // SCOTT's unqualified EMP is SYSTEM's unknown table: the explain fails.
  RunSql(scott.DataModule(), "SELECT ENAME FROM EMP WHERE EMPNO = 7839");
  auto all = ListOn(dba, "\\.Statistics\\.SQL AREA\\.ALL STATEMENTS");
  const Item* cached = FindByColumn(all, 0, "SELECT ENAME FROM EMP WHERE EMPNO = 7839");
  ASSERT_NE(cached, nullptr);
  auto plan = ListOn(dba, "\\.Statistics\\.SQL AREA\\.ALL STATEMENTS\\" + cached->name + "\\.EXECUTION PLAN");
  EXPECT_EQ(Names(plan), std::vector<std::string>{".."});
  const auto errors = Errors();
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_NE(errors[0].find("Explain plan: error during executing \"EXPLAIN PLAN\""), std::string::npos) << errors[0];
}

}  // namespace
