// Faults injected into the OCI stand-in's round trips: a dropped connection
// (ORA-03113, then ORA-03114 until a new logon, the dropped session's work
// rolled back), a chosen server error, a stall, faults by chance from a
// seed, and the OCI7 calls.  Each test sets its plan through
// ocisim_set_fault, which counts round trips from 1 again.
#include "oci_fixture.h"
#include "ocisim/fault_injection.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

using namespace ocitest;

namespace {

struct NoFaultAfterwards : ::testing::Test {
  ~NoFaultAfterwards() override { ocisim_set_fault(nullptr); }
};

sb4 Code(Conn& c, const std::string& sql) {
  sb4 code = 0;
  RunSql(c, sql, &code);
  return code;
}

sb4 Ping(Conn& c) {
  if (OCIPing(c.svc, c.err, OCI_DEFAULT) == OCI_SUCCESS) return 0;
  sb4 code = 0;
  ErrorText(c.err, &code);
  return code;
}

using FaultPlans = NoFaultAfterwards;

TEST_F(FaultPlans, WellFormedPlansAreTakenOthersLeaveThePlanAsItWas) {
  Conn c("scott", "tiger");
  ASSERT_TRUE(c.ok()) << c.logon_text;
  for (const char* good : {"drop@1", "drop@18446744073709551615", "ORA-00054@3", "ora-1013@2", "stall=0@1",
                           "stall=600000@9", "drop@p=1", "drop@p=0.05", "ORA-01555@p=.5,seed=42"})
    EXPECT_EQ(ocisim_set_fault(good), 0) << good;
  ASSERT_EQ(ocisim_set_fault("ORA-00942@1"), 0);
  for (const char* bad : {"drop", "drop@", "drop@0", "drop@-1", "drop@1x", "drop@18446744073709551616", "@1",
                          "explode@1", "ORA-@1", "ORA-0@1", "ORA-100000@1", "stall=@1", "stall=600001@1",
                          "stall=-5@1", "drop@p=0", "drop@p=1.01", "drop@p=abc", "drop@p=0.5,sed=3",
                          "drop@p=0.5,seed=", "drop@p="})
    EXPECT_EQ(ocisim_set_fault(bad), -1) << bad;
  // The plan taken last still holds.
  EXPECT_EQ(Ping(c), 942);
  EXPECT_EQ(Ping(c), 0);
}

TEST_F(FaultPlans, ADroppedConnectionFailsEveryLaterCallUntilANewLogon) {
  Conn a("scott", "tiger");
  ASSERT_TRUE(a.ok()) << a.logon_text;
  ASSERT_EQ(ocisim_set_fault("drop@2"), 0);
  const unsigned long long before = ocisim_faults_injected();
  // Trip 1: the change is made, not committed.  Trip 2 is lost.
  EXPECT_EQ(Code(a, "UPDATE EMP SET SAL = 1 WHERE EMPNO = 7369"), 0);
  std::string text;
  sb4 code = 0;
  RunSql(a, "UPDATE EMP SET SAL = 2 WHERE EMPNO = 7499", &code, &text);
  EXPECT_EQ(code, 3113);
  EXPECT_EQ(text, "ORA-03113: end-of-file on communication channel");
  EXPECT_EQ(ocisim_faults_injected(), before + 1);
  RunSql(a, "SELECT * FROM DUAL", &code, &text);
  EXPECT_EQ(code, 3114);
  EXPECT_EQ(text, "ORA-03114: not connected to ORACLE");
  EXPECT_EQ(Ping(a), 3114);
  EXPECT_NE(OCITransCommit(a.svc, a.err, OCI_DEFAULT), OCI_SUCCESS);
  EXPECT_NE(OCIServerVersion(a.srv, a.err, nullptr, 0, OCI_HTYPE_SERVER), OCI_SUCCESS);
  // The server rolled the lost session's change back and let go of its
  // lock: a new session changes the same row at once and saw the old value.
  Conn b("scott", "tiger");
  ASSERT_TRUE(b.ok()) << b.logon_text;
  EXPECT_EQ(RunSql(b, "SELECT SAL FROM EMP WHERE EMPNO = 7369"), (Rows{{"800"}}));
  EXPECT_EQ(Code(b, "UPDATE EMP SET SAL = 3 WHERE EMPNO = 7369"), 0);
  EXPECT_EQ(OCITransRollback(b.svc, b.err, OCI_DEFAULT), OCI_SUCCESS);
  // Only that one trip was hit.
  EXPECT_EQ(ocisim_faults_injected(), before + 1);
}

TEST_F(FaultPlans, ANewAttachOnTheSameServerHandleIsANewConnection) {
  Conn a("scott", "tiger");
  ASSERT_TRUE(a.ok()) << a.logon_text;
  ASSERT_EQ(ocisim_set_fault("drop@1"), 0);
  EXPECT_EQ(Ping(a), 3113);
  // Ending the session and detaching report the lost connection ...
  EXPECT_NE(OCISessionEnd(a.svc, a.err, a.ses, OCI_DEFAULT), OCI_SUCCESS);
  EXPECT_NE(OCIServerDetach(a.srv, a.err, OCI_DEFAULT), OCI_SUCCESS);
  // ... and the same handles log on again.
  ASSERT_EQ(OCIServerAttach(a.srv, a.err, reinterpret_cast<const OraText*>(""), 0, OCI_DEFAULT), OCI_SUCCESS)
      << ErrorText(a.err);
  ASSERT_EQ(OCISessionBegin(a.svc, a.err, a.ses, OCI_CRED_RDBMS, OCI_DEFAULT), OCI_SUCCESS) << ErrorText(a.err);
  OCIAttrSet(a.svc, OCI_HTYPE_SVCCTX, a.ses, 0, OCI_ATTR_SESSION, a.err);
  EXPECT_EQ(Ping(a), 0);
  EXPECT_EQ(RunSql(a, "SELECT DUMMY FROM DUAL"), (Rows{{"X"}}));
}

TEST_F(FaultPlans, AChosenErrorFailsOneCallAndTheConnectionStays) {
  Conn c("scott", "tiger");
  ASSERT_TRUE(c.ok()) << c.logon_text;
  ASSERT_EQ(ocisim_set_fault("ORA-00054@2"), 0);
  EXPECT_EQ(Ping(c), 0);
  std::string text;
  sb4 code = 0;
  RunSql(c, "UPDATE DEPT SET LOC = LOC WHERE DEPTNO = 10", &code, &text);
  EXPECT_EQ(code, 54);
  EXPECT_EQ(text, "ORA-00054: resource busy and acquire with NOWAIT specified");
  EXPECT_EQ(RunSql(c, "SELECT DNAME FROM DEPT WHERE DEPTNO = 10"), (Rows{{"ACCOUNTING"}}));
}

TEST_F(FaultPlans, AStallDelaysOneCallAndChangesNothingElse) {
  Conn c("scott", "tiger");
  ASSERT_TRUE(c.ok()) << c.logon_text;
  ASSERT_EQ(ocisim_set_fault("stall=300@1"), 0);
  const auto t0 = std::chrono::steady_clock::now();
  EXPECT_EQ(Ping(c), 0);
  const auto waited = std::chrono::steady_clock::now() - t0;
  EXPECT_GE(waited, std::chrono::milliseconds(300));
  EXPECT_EQ(RunSql(c, "SELECT DNAME FROM DEPT WHERE DEPTNO = 10"), (Rows{{"ACCOUNTING"}}));
}

// Which of `n` pings fail under the plan.
std::vector<int> FailingPings(Conn& c, const char* plan, int n) {
  EXPECT_EQ(ocisim_set_fault(plan), 0);
  std::vector<int> failed;
  for (int i = 1; i <= n; ++i)
    if (Ping(c) != 0) failed.push_back(i);
  return failed;
}

TEST_F(FaultPlans, FaultsByChanceRepeatWithTheirSeed) {
  Conn c("scott", "tiger");
  ASSERT_TRUE(c.ok()) << c.logon_text;
  const std::vector<int> first = FailingPings(c, "ORA-01013@p=0.25,seed=7", 400);
  EXPECT_EQ(FailingPings(c, "ORA-01013@p=0.25,seed=7", 400), first);
  EXPECT_NE(FailingPings(c, "ORA-01013@p=0.25,seed=8", 400), first);
  // A quarter, give or take what chance allows (well beyond 4 sigma).
  EXPECT_GT(first.size(), 50u);
  EXPECT_LT(first.size(), 150u);
  EXPECT_EQ(FailingPings(c, "ORA-01013@p=1", 5).size(), 5u);
}

TEST_F(FaultPlans, EveryFaultPlayedIsLogged) {
  char path[] = "/tmp/ocisim-fault-log-XXXXXX";
  const int fd = mkstemp(path);
  ASSERT_GE(fd, 0);
  close(fd);
  setenv("OCISIM_FAULT_LOG", path, 1);
  {
    Conn c("scott", "tiger");
    ASSERT_TRUE(c.ok()) << c.logon_text;
    ASSERT_EQ(ocisim_set_fault("ORA-00600@2"), 0);
    Ping(c);
    Ping(c);
    ASSERT_EQ(ocisim_set_fault("drop@1"), 0);
    Code(c, "UPDATE DEPT SET LOC = LOC WHERE DEPTNO = 10");
  }
  unsetenv("OCISIM_FAULT_LOG");
  std::ifstream in(path);
  std::vector<std::string> lines;
  for (std::string l; std::getline(in, l);) lines.push_back(l);
  std::remove(path);
  EXPECT_EQ(lines, (std::vector<std::string>{"round trip 2 (other): ORA-00600",
                                             "round trip 1 (execute): ORA-03113 (connection dropped)"}));
}

// OCI7: the logon data area's calls.
struct Logon7 {
  Lda_Def lda{};
  unsigned char hda[OCISIM_HDA_SIZE] = {};
  sword rc;
  explicit Logon7(const char* connect) {
    UseFreshDataDir();
    rc = olog(&lda, hda, reinterpret_cast<OraText*>(const_cast<char*>(connect)), -1, nullptr, -1, nullptr, -1, 0);
  }
};

sword Exec7(Logon7& l, const char* sql) {
  Cda_Def cda{};
  oopen(&cda, &l.lda, nullptr, -1, -1, nullptr, -1);
  sword rc = oparse(&cda, reinterpret_cast<OraText*>(const_cast<char*>(sql)), -1, 1, 2);
  if (rc == 0) rc = oexec(&cda);
  oclose(&cda);
  return rc;
}

TEST_F(FaultPlans, Oci7CallsSeeTheDropToo) {
  Logon7 l("scott/tiger");
  ASSERT_EQ(l.rc, 0);
  ASSERT_EQ(ocisim_set_fault("drop@2"), 0);
  EXPECT_EQ(Exec7(l, "UPDATE EMP SET SAL = 1 WHERE EMPNO = 7369"), 0);
  EXPECT_EQ(Exec7(l, "UPDATE EMP SET SAL = 1 WHERE EMPNO = 7499"), -3113);
  EXPECT_EQ(Exec7(l, "UPDATE EMP SET SAL = 1 WHERE EMPNO = 7521"), -3114);
  EXPECT_EQ(ocom(&l.lda), -3114);
  // Logging off lets go of the area and says the connection was gone.
  EXPECT_EQ(ologof(&l.lda), -3114);
  Logon7 again("scott/tiger");
  ASSERT_EQ(again.rc, 0);
  Cda_Def cda{};
  oopen(&cda, &again.lda, nullptr, -1, -1, nullptr, -1);
  ASSERT_EQ(oparse(&cda, reinterpret_cast<OraText*>(const_cast<char*>("SELECT SAL FROM EMP WHERE EMPNO = 7369")), -1,
                   1, 2), 0);
  int sal = 0;
  odefin(&cda, 1, reinterpret_cast<ub1*>(&sal), sizeof sal, SQLT_INT, -1, nullptr, nullptr, -1, -1, nullptr, nullptr);
  EXPECT_EQ(oexfet(&cda, 1, 0, 0), 0);
  EXPECT_EQ(sal, 800) << "the lost session's change was rolled back";
  oclose(&cda);
  EXPECT_EQ(ologof(&again.lda), 0);
}

}  // namespace
