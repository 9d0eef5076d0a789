// The OCI8 interface of the stand-in: logon rules, statements with binds and
// defines, array and piecewise fetch, describe, errors, transactions across
// sessions, killed sessions and handle validation.
#include "oci_fixture.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

using namespace ocitest;

namespace {

struct Stmt {
  Conn& c;
  OCIStmt* st = nullptr;
  Stmt(Conn& conn, const std::string& sql) : c(conn) {
    OCIHandleAlloc(c.env, reinterpret_cast<void**>(&st), OCI_HTYPE_STMT, 0, nullptr);
    OCIStmtPrepare(st, c.err, reinterpret_cast<const OraText*>(sql.c_str()), static_cast<ub4>(sql.size()),
                   OCI_NTV_SYNTAX, OCI_DEFAULT);
  }
  ~Stmt() { OCIHandleFree(st, OCI_HTYPE_STMT); }
  sword Execute(ub4 iters = 0, ub4 mode = OCI_DEFAULT) {
    return OCIStmtExecute(c.svc, st, c.err, iters, 0, nullptr, nullptr, mode);
  }
};

TEST(Oci8Logon, GoodAndBadPasswords) {
  Conn good("scott", "tiger");
  EXPECT_EQ(good.logon_rc, OCI_SUCCESS) << good.logon_text;
  Conn upper("SCOTT", "TIGER");  // 9i passwords ignore case
  EXPECT_EQ(upper.logon_rc, OCI_SUCCESS);
  Conn bad("scott", "lion");
  EXPECT_EQ(bad.logon_rc, OCI_ERROR);
  EXPECT_EQ(bad.logon_code, 1017);
  EXPECT_EQ(bad.logon_text, "ORA-01017: invalid username/password; logon denied");
  Conn nobody("nobody", "x");
  EXPECT_EQ(nobody.logon_code, 1017);
  Conn locked("jones", "steel");
  EXPECT_EQ(locked.logon_code, 28000);
  Conn alias("scott", "tiger", "NO_SUCH_ALIAS");
  EXPECT_EQ(alias.logon_code, 12154);
  Conn evil("scott", "tiger", "../etc");
  EXPECT_EQ(evil.logon_code, 12154);
}

TEST(Oci8Logon, ExpiringPasswordIsAWarning) {
  Conn c("adams", "wood");
  EXPECT_EQ(c.logon_rc, OCI_SUCCESS_WITH_INFO);
  EXPECT_EQ(c.logon_code, 28002);
  EXPECT_EQ(c.logon_text, "ORA-28002: the password will expire within 7 days");
  EXPECT_EQ(MustRun(c, "SELECT USER FROM DUAL"), (Rows{{"ADAMS"}}));
}

TEST(Oci8Logon, ExternalCredentialsAndPrivilegedModes) {
  setenv("OCISIM_OS_USER", "demo", 1);
  Conn ext("", "", "", OCI_DEFAULT, OCI_CRED_EXT);
  ASSERT_TRUE(ext.ok()) << ext.logon_text;
  EXPECT_EQ(MustRun(ext, "SELECT USER FROM DUAL"), (Rows{{"OPS$DEMO"}}));
  setenv("OCISIM_OS_USER", "stranger", 1);
  Conn unknown("", "", "", OCI_DEFAULT, OCI_CRED_EXT);
  EXPECT_EQ(unknown.logon_code, 1017);
  unsetenv("OCISIM_OS_USER");

  Conn dba("system", "manager", "", OCI_SYSDBA);
  EXPECT_EQ(dba.logon_code, 1031) << "SYSTEM is not in the password file as SYSDBA";
  Conn oper("system", "manager", "", OCI_SYSOPER);
  ASSERT_TRUE(oper.ok()) << oper.logon_text;
  EXPECT_EQ(MustRun(oper, "SELECT USER FROM DUAL"), (Rows{{"PUBLIC"}})) << "SYSOPER works as PUBLIC";
  Conn sys("sys", "change_on_install", "", OCI_SYSDBA);
  ASSERT_TRUE(sys.ok()) << sys.logon_text;
  EXPECT_EQ(MustRun(sys, "SELECT USER FROM DUAL"), (Rows{{"SYS"}}));
  Conn scott("scott", "tiger", "", OCI_SYSDBA);
  EXPECT_EQ(scott.logon_code, 1031);
}

TEST(Oci8Logon, BannerPerDatabase) {
  for (auto [alias, expect] : {std::pair<const char*, const char*>{"", "Oracle9i Enterprise Edition Release 9.2.0.1.0"},
                               {"DEMO73", "Oracle7 Server Release 7.3.4.0.0"},
                               {"demo19", "Oracle Database 19c Enterprise Edition"}}) {
    Conn c("scott", "tiger", alias);
    ASSERT_TRUE(c.ok()) << alias << ": " << c.logon_text;
    char buf[501] = "";
    ASSERT_EQ(OCIServerVersion(c.svc, c.err, reinterpret_cast<OraText*>(buf), sizeof buf, OCI_HTYPE_SVCCTX),
              OCI_SUCCESS);
    EXPECT_EQ(std::string(buf).rfind(expect, 0), 0u) << buf;
    EXPECT_NE(std::string(buf).find('\n'), std::string::npos) << "the banner has several lines";
    char tiny[8];
    OCIServerVersion(c.svc, c.err, reinterpret_cast<OraText*>(tiny), sizeof tiny, OCI_HTYPE_SVCCTX);
    EXPECT_EQ(std::strlen(tiny), 7u) << "a short buffer truncates";
  }
}

TEST(Oci8Query, BindsDefinesAndIndicators) {
  Conn c("scott", "tiger");
  ASSERT_TRUE(c.ok());
  Stmt s(c, "SELECT EMPNO, ENAME, COMM, SAL, HIREDATE FROM EMP WHERE DEPTNO = :DEPT AND JOB <> :job ORDER BY EMPNO");
  int dept = 30;
  char job[] = "MANAGER";
  OCIBind* b1 = nullptr;
  OCIBind* b2 = nullptr;
  ASSERT_EQ(OCIBindByName(s.st, &b1, c.err, reinterpret_cast<const OraText*>(":dept"), 5, &dept, sizeof dept,
                          SQLT_INT, nullptr, nullptr, nullptr, 0, nullptr, OCI_DEFAULT), OCI_SUCCESS);
  ASSERT_EQ(OCIBindByName(s.st, &b2, c.err, reinterpret_cast<const OraText*>(":JOB"), -1, job, sizeof job, SQLT_STR,
                          nullptr, nullptr, nullptr, 0, nullptr, OCI_DEFAULT), OCI_SUCCESS);
  ASSERT_EQ(s.Execute(), OCI_SUCCESS) << ErrorText(c.err);
  int empno = 0;
  char ename[11];
  double comm = 0, sal = 0;
  unsigned char date7[7];
  sb2 ind[5];
  ub2 len[5];
  OCIDefine* d[5] = {};
  OCIDefineByPos(s.st, &d[0], c.err, 1, &empno, sizeof empno, SQLT_INT, &ind[0], &len[0], nullptr, OCI_DEFAULT);
  OCIDefineByPos(s.st, &d[1], c.err, 2, ename, sizeof ename, SQLT_STR, &ind[1], &len[1], nullptr, OCI_DEFAULT);
  OCIDefineByPos(s.st, &d[2], c.err, 3, &comm, sizeof comm, SQLT_FLT, &ind[2], &len[2], nullptr, OCI_DEFAULT);
  OCIDefineByPos(s.st, &d[3], c.err, 4, &sal, sizeof sal, SQLT_FLT, &ind[3], &len[3], nullptr, OCI_DEFAULT);
  OCIDefineByPos(s.st, &d[4], c.err, 5, date7, sizeof date7, SQLT_DAT, &ind[4], &len[4], nullptr, OCI_DEFAULT);
  ASSERT_EQ(OCIStmtFetch(s.st, c.err, 1, OCI_FETCH_NEXT, OCI_DEFAULT), OCI_SUCCESS);
  EXPECT_EQ(empno, 7499);
  EXPECT_STREQ(ename, "ALLEN");
  EXPECT_EQ(len[1], 5);
  EXPECT_EQ(ind[2], 0);
  EXPECT_DOUBLE_EQ(comm, 300);
  EXPECT_DOUBLE_EQ(sal, 1600);
  const unsigned char want[7] = {119, 181, 2, 20, 1, 1, 1};  // 1981-02-20 00:00:00
  EXPECT_EQ(std::memcmp(date7, want, 7), 0);
  // BLAKE is the manager and is skipped; JAMES has no commission.
  std::vector<std::string> names;
  sword rc;
  while ((rc = OCIStmtFetch(s.st, c.err, 1, OCI_FETCH_NEXT, OCI_DEFAULT)) == OCI_SUCCESS) {
    names.push_back(ename);
    if (names.back() == "JAMES") {
      EXPECT_EQ(ind[2], -1);
    }
  }
  EXPECT_EQ(rc, OCI_NO_DATA);
  EXPECT_EQ(names, (std::vector<std::string>{"WARD", "MARTIN", "TURNER", "JAMES"}));
  ub4 count = 0;
  OCIAttrGet(s.st, OCI_HTYPE_STMT, &count, nullptr, OCI_ATTR_ROW_COUNT, c.err);
  EXPECT_EQ(count, 5u);
  EXPECT_EQ(OCIStmtFetch(s.st, c.err, 1, OCI_FETCH_NEXT, OCI_DEFAULT), OCI_ERROR);
  sb4 code = 0;
  ErrorText(c.err, &code);
  EXPECT_EQ(code, 1002) << "fetching after the end is out of sequence";
}

TEST(Oci8Query, NullBindAndEmptyStringAreNull) {
  Conn c("scott", "tiger");
  Stmt s(c, "SELECT COUNT(*) FROM EMP WHERE COMM IS NULL AND :X IS NULL");
  char x[] = "";
  sb2 null_ind = -1;
  OCIBind* b = nullptr;
  OCIBindByName(s.st, &b, c.err, reinterpret_cast<const OraText*>(":X"), 2, x, 1, SQLT_STR, &null_ind, nullptr,
                nullptr, 0, nullptr, OCI_DEFAULT);
  int n = 0;
  OCIDefine* d = nullptr;
  OCIDefineByPos(s.st, &d, c.err, 1, &n, sizeof n, SQLT_INT, nullptr, nullptr, nullptr, OCI_DEFAULT);
  ASSERT_EQ(s.Execute(1), OCI_SUCCESS) << ErrorText(c.err);
  EXPECT_EQ(n, 10);
}

TEST(Oci8Query, ArrayFetchReportsPartialLastBatch) {
  Conn c("scott", "tiger");
  Stmt s(c, "SELECT ENAME FROM EMP ORDER BY ENAME");
  ASSERT_EQ(s.Execute(), OCI_SUCCESS);
  char names[5][11];
  sb2 ind[5];
  ub2 len[5];
  OCIDefine* d = nullptr;
  OCIDefineByPos(s.st, &d, c.err, 1, names, 11, SQLT_STR, ind, len, nullptr, OCI_DEFAULT);
  std::vector<ub4> batches;
  sword rc;
  do {
    rc = OCIStmtFetch(s.st, c.err, 5, OCI_FETCH_NEXT, OCI_DEFAULT);
    ub4 got = 0;
    OCIAttrGet(s.st, OCI_HTYPE_STMT, &got, nullptr, OCI_ATTR_ROWS_FETCHED, c.err);
    batches.push_back(got);
    if (batches.size() == 1) {
      EXPECT_STREQ(names[0], "ADAMS");
      EXPECT_STREQ(names[4], "FORD");
    }
  } while (rc == OCI_SUCCESS);
  EXPECT_EQ(rc, OCI_NO_DATA);
  EXPECT_EQ(batches, (std::vector<ub4>{5, 5, 4}));
  EXPECT_STREQ(names[3], "WARD");
}

TEST(Oci8Query, TruncationAndNullWithoutIndicator) {
  Conn c("scott", "tiger");
  Stmt s(c, "SELECT ENAME, COMM FROM EMP WHERE EMPNO = 7654");
  ASSERT_EQ(s.Execute(), OCI_SUCCESS);
  char small[4];
  sb2 ind = 0;
  ub2 rcode = 0, len = 0;
  OCIDefine* d = nullptr;
  OCIDefineByPos(s.st, &d, c.err, 1, small, sizeof small, SQLT_STR, &ind, &len, &rcode, OCI_DEFAULT);
  EXPECT_EQ(OCIStmtFetch(s.st, c.err, 1, OCI_FETCH_NEXT, OCI_DEFAULT), OCI_SUCCESS_WITH_INFO);
  EXPECT_STREQ(small, "MAR");
  EXPECT_EQ(ind, 6) << "the indicator holds the full length";
  EXPECT_EQ(rcode, 1406);
  sb4 code = 0;
  ErrorText(c.err, &code);
  EXPECT_EQ(code, 24345);

  Stmt n(c, "SELECT COMM FROM EMP WHERE EMPNO = 7369");
  ASSERT_EQ(n.Execute(), OCI_SUCCESS);
  int v = 0;
  OCIDefine* d2 = nullptr;
  OCIDefineByPos(n.st, &d2, c.err, 1, &v, sizeof v, SQLT_INT, nullptr, nullptr, nullptr, OCI_DEFAULT);
  EXPECT_EQ(OCIStmtFetch(n.st, c.err, 1, OCI_FETCH_NEXT, OCI_DEFAULT), OCI_ERROR);
  ErrorText(c.err, &code);
  EXPECT_EQ(code, 1405);
}

TEST(Oci8Query, DescribeSelectList) {
  Conn c("scott", "tiger");
  Stmt t(c, "SELECT EMPNO, ENAME, SAL, HIREDATE, E.DEPTNO AS D FROM EMP E");
  ASSERT_EQ(t.Execute(0, OCI_DESCRIBE_ONLY), OCI_SUCCESS) << ErrorText(c.err);
  ub4 n = 0;
  OCIAttrGet(t.st, OCI_HTYPE_STMT, &n, nullptr, OCI_ATTR_PARAM_COUNT, c.err);
  ASSERT_EQ(n, 5u);
  struct Want {
    const char* name;
    ub2 type, size;
    sb2 prec;
    sb1 scale;
    ub1 nullable;
  } want[] = {{"EMPNO", 2, 22, 4, 0, 0}, {"ENAME", 1, 10, 0, 0, 1}, {"SAL", 2, 22, 7, 2, 1},
              {"HIREDATE", 12, 7, 0, 0, 1}, {"D", 2, 22, 2, 0, 1}};
  for (ub4 i = 0; i < n; ++i) {
    OCIParam* p = nullptr;
    ASSERT_EQ(OCIParamGet(t.st, OCI_HTYPE_STMT, c.err, reinterpret_cast<void**>(&p), i + 1), OCI_SUCCESS);
    OraText* name = nullptr;
    ub4 nl = 0;
    ub2 type = 0, size = 0;
    sb2 prec = -1;
    sb1 scale = -1;
    ub1 nullable = 9;
    OCIAttrGet(p, OCI_DTYPE_PARAM, &name, &nl, OCI_ATTR_NAME, c.err);
    OCIAttrGet(p, OCI_DTYPE_PARAM, &type, nullptr, OCI_ATTR_DATA_TYPE, c.err);
    OCIAttrGet(p, OCI_DTYPE_PARAM, &size, nullptr, OCI_ATTR_DATA_SIZE, c.err);
    OCIAttrGet(p, OCI_HTYPE_DESCRIBE, &prec, nullptr, OCI_ATTR_PRECISION, c.err);
    OCIAttrGet(p, OCI_DTYPE_PARAM, &scale, nullptr, OCI_ATTR_SCALE, c.err);
    OCIAttrGet(p, OCI_DTYPE_PARAM, &nullable, nullptr, OCI_ATTR_IS_NULL, c.err);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(name), nl), want[i].name);
    EXPECT_EQ(type, want[i].type) << want[i].name;
    EXPECT_EQ(size, want[i].size) << want[i].name;
    if (type == 2) {
      EXPECT_EQ(prec, want[i].prec) << want[i].name;
      EXPECT_EQ(scale, want[i].scale) << want[i].name;
    }
    EXPECT_EQ(nullable, want[i].nullable) << want[i].name;
    EXPECT_EQ(OCIDescriptorFree(p, OCI_DTYPE_PARAM), OCI_SUCCESS);
  }
  OCIParam* p = nullptr;
  EXPECT_EQ(OCIParamGet(t.st, OCI_HTYPE_STMT, c.err, reinterpret_cast<void**>(&p), 6), OCI_ERROR);
  sb4 code = 0;
  ErrorText(c.err, &code);
  EXPECT_EQ(code, 24334);
}

struct Pieces {
  std::string data;
  char buf[7];
  ub4 len = 0;
  sb2 ind = 0;
  ub2 rcode = 0;
  int calls = 0;
};

sb4 CollectPiece(void* ctx, OCIDefine*, ub4, void** bufpp, ub4** alenp, ub1* piecep, void** indp, ub2** rcodep) {
  auto* p = static_cast<Pieces*>(ctx);
  if (p->calls++ > 0) p->data.append(p->buf, p->len);
  if (*piecep == OCI_FIRST_PIECE) p->data.clear();
  p->len = sizeof p->buf;
  *bufpp = p->buf;
  *alenp = &p->len;
  *indp = &p->ind;
  *rcodep = &p->rcode;
  *piecep = OCI_NEXT_PIECE;
  return OCI_CONTINUE;
}

TEST(Oci8Query, LongFetchedPiecewise) {
  Conn c("scott", "tiger");
  Stmt s(c, "SELECT DOC_ID, BODY FROM DOCS ORDER BY DOC_ID");
  ASSERT_EQ(s.Execute(), OCI_SUCCESS) << ErrorText(c.err);
  int id = 0;
  OCIDefine* d1 = nullptr;
  OCIDefine* d2 = nullptr;
  OCIDefineByPos(s.st, &d1, c.err, 1, &id, sizeof id, SQLT_INT, nullptr, nullptr, nullptr, OCI_DEFAULT);
  ASSERT_EQ(OCIDefineByPos(s.st, &d2, c.err, 2, nullptr, 0x7fffffff, SQLT_LNG, nullptr, nullptr, nullptr,
                           OCI_DYNAMIC_FETCH), OCI_SUCCESS);
  Pieces p;
  ASSERT_EQ(OCIDefineDynamic(d2, c.err, &p, CollectPiece), OCI_SUCCESS);
  ASSERT_EQ(OCIStmtFetch(s.st, c.err, 1, OCI_FETCH_NEXT, OCI_DEFAULT), OCI_SUCCESS) << ErrorText(c.err);
  p.data.append(p.buf, p.len);
  EXPECT_EQ(p.data, "A LONG column holding a short text.");
  EXPECT_EQ(p.calls, 5) << "35 bytes through a 7-byte buffer";
  p.calls = 0;
  ASSERT_EQ(OCIStmtFetch(s.st, c.err, 1, OCI_FETCH_NEXT, OCI_DEFAULT), OCI_SUCCESS);
  EXPECT_EQ(id, 2);
  EXPECT_EQ(p.ind, -1);
}

TEST(Oci8Errors, OracleCodesAndTexts) {
  Conn c("scott", "tiger");
  sb4 code = 0;
  std::string text;
  RunSql(c, "SELECT * FROM NO_SUCH_TABLE", &code, &text);
  EXPECT_EQ(code, 942);
  EXPECT_EQ(text, "ORA-00942: table or view does not exist");
  RunSql(c, "SELECT NOPE FROM EMP", &code, &text);
  EXPECT_EQ(code, 904);
  RunSql(c, "SELEKT 1 FROM DUAL", &code);
  EXPECT_EQ(code, 900);
  RunSql(c, "SELECT * FROM EMP WHERE EMPNO = :X", &code);
  EXPECT_EQ(code, 1008);
  RunSql(c, "SELECT * FROM DBA_USERS", &code);
  EXPECT_EQ(code, 942) << "SCOTT has no catalog role";
  RunSql(c, "SELECT * FROM V$SESSION", &code);
  EXPECT_EQ(code, 942);
  RunSql(c, "INSERT INTO DEPT VALUES (10, 'DUP', 'X')", &code);
  EXPECT_EQ(code, 1);
  RunSql(c, "INSERT INTO EMP (EMPNO, DEPTNO) VALUES (1, 99)", &code);
  EXPECT_EQ(code, 2291);

  Stmt s(c, "SELECT * FROM EMP WHERE EMPNO = :A");
  int v = 0;
  OCIBind* b = nullptr;
  EXPECT_EQ(OCIBindByName(s.st, &b, c.err, reinterpret_cast<const OraText*>(":B"), 2, &v, sizeof v, SQLT_INT, nullptr,
                          nullptr, nullptr, 0, nullptr, OCI_DEFAULT), OCI_ERROR);
  ErrorText(c.err, &code);
  EXPECT_EQ(code, 1036);
  char buf[64];
  EXPECT_EQ(OCIErrorGet(c.err, 2, nullptr, &code, reinterpret_cast<OraText*>(buf), sizeof buf, OCI_HTYPE_ERROR),
            OCI_NO_DATA);
}

TEST(Oci8Transactions, CommitRollbackAcrossSessions) {
  Conn a("scott", "tiger");
  Conn b("scott", "tiger");
  MustRun(a, "UPDATE EMP SET SAL = SAL + 1 WHERE DEPTNO = 10");
  EXPECT_EQ(MustRun(b, "SELECT SAL FROM EMP WHERE EMPNO = 7839"), (Rows{{"5000"}})) << "uncommitted work is private";
  EXPECT_EQ(MustRun(a, "SELECT SAL FROM EMP WHERE EMPNO = 7839"), (Rows{{"5001"}}));
  // A second writer waits for the lock and then gives up with ORA-00054.
  sb4 code = 0;
  RunSql(b, "UPDATE EMP SET SAL = 0 WHERE EMPNO = 7839", &code);
  EXPECT_EQ(code, 54);
  ASSERT_EQ(OCITransRollback(a.svc, a.err, OCI_DEFAULT), OCI_SUCCESS);
  EXPECT_EQ(MustRun(a, "SELECT SAL FROM EMP WHERE EMPNO = 7839"), (Rows{{"5000"}}));

  MustRun(a, "UPDATE DEPT SET LOC = 'NYC' WHERE DEPTNO = 10");
  ASSERT_EQ(OCITransCommit(a.svc, a.err, OCI_DEFAULT), OCI_SUCCESS);
  EXPECT_EQ(MustRun(b, "SELECT LOC FROM DEPT WHERE DEPTNO = 10"), (Rows{{"NYC"}}));
  MustRun(b, "UPDATE DEPT SET LOC = 'NEW YORK' WHERE DEPTNO = 10");
  MustRun(b, "COMMIT");
  {
    Conn gone("scott", "tiger");
    MustRun(gone, "DELETE FROM BONUS");
    MustRun(gone, "INSERT INTO BONUS VALUES ('X', 'Y', 1, 2)");
  }  // logoff rolls back
  EXPECT_TRUE(MustRun(a, "SELECT * FROM BONUS").empty());
}

TEST(Oci8Transactions, RowCountOfDml) {
  Conn c("scott", "tiger");
  Stmt s(c, "UPDATE EMP SET COMM = COMM WHERE DEPTNO = :D");
  int d = 20;
  OCIBind* b = nullptr;
  OCIBindByName(s.st, &b, c.err, reinterpret_cast<const OraText*>(":D"), 2, &d, sizeof d, SQLT_INT, nullptr, nullptr,
                nullptr, 0, nullptr, OCI_DEFAULT);
  ASSERT_EQ(s.Execute(1), OCI_SUCCESS);
  ub4 rows = 0;
  OCIAttrGet(s.st, OCI_HTYPE_STMT, &rows, nullptr, OCI_ATTR_ROW_COUNT, c.err);
  EXPECT_EQ(rows, 5u);
  EXPECT_EQ(s.Execute(0), OCI_ERROR) << "DML with zero iterations";
  OCITransRollback(c.svc, c.err, OCI_DEFAULT);
}

TEST(Oci8Sessions, VSessionAndKill) {
  Conn dba("system", "manager");
  Conn victim("scott", "tiger");
  ASSERT_TRUE(dba.ok() && victim.ok());
  Rows rows = MustRun(dba, "SELECT SID, SERIAL#, STATUS FROM V$SESSION WHERE USERNAME = 'SCOTT'");
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0][2], "INACTIVE");
  EXPECT_EQ(MustRun(dba, "SELECT STATUS FROM V$SESSION WHERE USERNAME = 'SYSTEM'"), (Rows{{"ACTIVE"}}));
  MustRun(victim, "UPDATE BONUS SET SAL = 1");
  MustRun(dba, "ALTER SYSTEM KILL SESSION '" + rows[0][0] + "," + rows[0][1] + "'");
  sb4 code = 0;
  std::string text;
  RunSql(victim, "SELECT * FROM DUAL", &code, &text);
  EXPECT_EQ(code, 28);
  EXPECT_EQ(text, "ORA-00028: your session has been killed");
  RunSql(dba, "ALTER SYSTEM KILL SESSION '9999,1'", &code);
  EXPECT_EQ(code, 30);
  Conn scott("scott", "tiger");
  RunSql(scott, "ALTER SYSTEM KILL SESSION '" + rows[0][0] + "," + rows[0][1] + "'", &code);
  EXPECT_EQ(code, 1031);
}

TEST(Oci8Handles, BadFreedAndNullHandles) {
  Conn c("scott", "tiger");
  OCIStmt* st = nullptr;
  ASSERT_EQ(OCIHandleAlloc(c.env, reinterpret_cast<void**>(&st), OCI_HTYPE_STMT, 0, nullptr), OCI_SUCCESS);
  ASSERT_EQ(OCIHandleFree(st, OCI_HTYPE_STMT), OCI_SUCCESS);
  EXPECT_EQ(OCIHandleFree(st, OCI_HTYPE_STMT), OCI_INVALID_HANDLE);
  EXPECT_EQ(OCIStmtPrepare(st, c.err, reinterpret_cast<const OraText*>("SELECT 1 FROM DUAL"), 18, 1, 0),
            OCI_INVALID_HANDLE);
  EXPECT_EQ(OCIStmtExecute(c.svc, nullptr, c.err, 0, 0, nullptr, nullptr, 0), OCI_INVALID_HANDLE);
  EXPECT_EQ(OCIStmtFetch(nullptr, nullptr, 1, OCI_FETCH_NEXT, 0), OCI_INVALID_HANDLE);
  int junk[16] = {};
  EXPECT_EQ(OCIAttrGet(junk, OCI_HTYPE_STMT, nullptr, nullptr, OCI_ATTR_ROW_COUNT, c.err), OCI_INVALID_HANDLE);
  EXPECT_EQ(OCIErrorGet(junk, 1, nullptr, nullptr, nullptr, 0, OCI_HTYPE_ERROR), OCI_INVALID_HANDLE);
  EXPECT_EQ(OCIHandleAlloc(nullptr, nullptr, OCI_HTYPE_STMT, 0, nullptr), OCI_INVALID_HANDLE);
  // Wrong handle type for the argument.
  EXPECT_EQ(OCIStmtPrepare(reinterpret_cast<OCIStmt*>(c.err), c.err, reinterpret_cast<const OraText*>("x"), 1, 1, 0),
            OCI_INVALID_HANDLE);
  // Statements outlive their session's end without harm.
  Stmt s(c, "SELECT * FROM DUAL");
  OCISessionEnd(c.svc, c.err, c.ses, OCI_DEFAULT);
  EXPECT_EQ(s.Execute(), OCI_ERROR);
  sb4 code = 0;
  ErrorText(c.err, &code);
  EXPECT_EQ(code, 1012);
  EXPECT_EQ(OCIStmtFetch(s.st, c.err, 1, OCI_FETCH_NEXT, 0), OCI_ERROR);
  c.logon_rc = OCI_ERROR;  // already ended
  // Unimplemented names answer with an error, not a crash.
  auto lob_read = reinterpret_cast<sword (*)(void*, void*, void*)>(dlsym(RTLD_DEFAULT, "OCILobRead"));
  ASSERT_NE(lob_read, nullptr);
  EXPECT_EQ(lob_read(nullptr, c.err, nullptr), OCI_ERROR);
  ErrorText(c.err, &code);
  EXPECT_EQ(code, 3001);
}

TEST(Oci8Sessions, BreakStopsARunningCall) {
  Conn c("scott", "tiger");
  Stmt s(c, "SELECT COUNT(*) FROM ALL_OBJECTS A, ALL_OBJECTS B, ALL_OBJECTS C, ALL_OBJECTS D");
  int n = 0;
  OCIDefine* d = nullptr;
  OCIDefineByPos(s.st, &d, c.err, 1, &n, sizeof n, SQLT_INT, nullptr, nullptr, nullptr, OCI_DEFAULT);
  std::atomic<sword> rc{OCI_STILL_EXECUTING};
  std::thread worker([&] { rc = s.Execute(1); });
  // A break that lands before the query starts has nothing to stop: repeat it.
  OCIError* err2 = nullptr;
  OCIHandleAlloc(c.env, reinterpret_cast<void**>(&err2), OCI_HTYPE_ERROR, 0, nullptr);
  while (rc == OCI_STILL_EXECUTING) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(OCIBreak(c.svc, err2), OCI_SUCCESS);
  }
  worker.join();
  ASSERT_EQ(rc, OCI_ERROR);
  sb4 code = 0;
  EXPECT_EQ(ErrorText(c.err, &code), "ORA-01013: user requested cancel of current operation");
  EXPECT_EQ(MustRun(c, "SELECT COUNT(*) FROM DEPT"), (Rows{{"4"}})) << "the session goes on";
}

TEST(Oci8Handles, FreeingTheEnvironmentEndsEverything) {
  UseFreshDataDir();
  OCIEnv* env = nullptr;
  ASSERT_EQ(OCIEnvCreate(&env, OCI_DEFAULT, nullptr, nullptr, nullptr, nullptr, 0, nullptr), OCI_SUCCESS);
  OCIError* err = nullptr;
  OCIHandleAlloc(env, reinterpret_cast<void**>(&err), OCI_HTYPE_ERROR, 0, nullptr);
  OCISvcCtx* svc = nullptr;
  ASSERT_EQ(OCILogon(env, err, &svc, reinterpret_cast<const OraText*>("scott"), 5,
                     reinterpret_cast<const OraText*>("tiger"), 5, reinterpret_cast<const OraText*>(""), 0),
            OCI_SUCCESS);
  OCIStmt* st = nullptr;
  OCIHandleAlloc(env, reinterpret_cast<void**>(&st), OCI_HTYPE_STMT, 0, nullptr);
  const char* sql = "DELETE FROM BONUS";
  OCIStmtPrepare(st, err, reinterpret_cast<const OraText*>(sql), 17, OCI_NTV_SYNTAX, OCI_DEFAULT);
  ASSERT_EQ(OCIStmtExecute(svc, st, err, 1, 0, nullptr, nullptr, OCI_DEFAULT), OCI_SUCCESS);
  // No logoff, no frees: the environment takes the service context, its
  // implicit server and session, the statement and the error handle with it.
  EXPECT_EQ(OCIHandleFree(env, OCI_HTYPE_ENV), OCI_SUCCESS);
  EXPECT_EQ(OCIHandleFree(svc, OCI_HTYPE_SVCCTX), OCI_INVALID_HANDLE);
  EXPECT_EQ(OCIHandleFree(st, OCI_HTYPE_STMT), OCI_INVALID_HANDLE);
  Conn c("system", "manager");
  EXPECT_TRUE(MustRun(c, "SELECT * FROM V$SESSION WHERE USERNAME = 'SCOTT'").empty()) << "the session left V$SESSION";
}


// The transaction check block binds :id; it is NULL until the session
// writes, then the transaction's id.
void ExpectTransactionIdOnlyInATransaction(Conn& c, const char* block) {
  Stmt t(c, block);
  char id[64] = "";
  sb2 iid = 0;
  OCIBind* bi = nullptr;
  OCIBindByName(t.st, &bi, c.err, reinterpret_cast<const OraText*>(":id"), -1, id, sizeof id, SQLT_STR, &iid, nullptr,
                nullptr, 0, nullptr, 0);
  ASSERT_EQ(t.Execute(1), OCI_SUCCESS) << ErrorText(c.err);
  EXPECT_EQ(iid, -1) << "no transaction yet";
  MustRun(c, "UPDATE BONUS SET SAL = 1");
  ASSERT_EQ(t.Execute(1), OCI_SUCCESS);
  EXPECT_EQ(iid, 0);
  EXPECT_GT(std::strlen(id), 0u);
  OCITransRollback(c.svc, c.err, 0);
}

TEST(Oci8Plsql, PackagesThePluginCalls) {
  Conn c("scott", "tiger");
  Stmt v(c, "BEGIN DBMS_UTILITY.DB_VERSION (:VERSION, :COMPATIBILITY); END;");
  char ver[64] = "", comp[64] = "";
  sb2 iv = 0, ic = 0;
  OCIBind* b1 = nullptr;
  OCIBind* b2 = nullptr;
  OCIBindByName(v.st, &b1, c.err, reinterpret_cast<const OraText*>(":VERSION"), -1, ver, sizeof ver, SQLT_STR, &iv,
                nullptr, nullptr, 0, nullptr, 0);
  OCIBindByName(v.st, &b2, c.err, reinterpret_cast<const OraText*>(":COMPATIBILITY"), -1, comp, sizeof comp, SQLT_STR,
                &ic, nullptr, nullptr, 0, nullptr, 0);
  ASSERT_EQ(v.Execute(1), OCI_SUCCESS) << ErrorText(c.err);
  EXPECT_STREQ(ver, "9.2.0.1.0");
  EXPECT_STREQ(comp, "9.2.0.0.0");

  MustRun(c, "BEGIN DBMS_OUTPUT.ENABLE(100000); END;");
  MustRun(c, "BEGIN DBMS_OUTPUT.PUT_LINE('hello ' || 42); DBMS_OUTPUT.PUT_LINE('second'); END;");
  Stmt g(c, "BEGIN DBMS_OUTPUT.GET_LINE(:LINE, :STATUS); END;");
  char line[256];
  int status = -1;
  sb2 il = 0;
  OCIBind* bl = nullptr;
  OCIBind* bs = nullptr;
  OCIBindByName(g.st, &bl, c.err, reinterpret_cast<const OraText*>(":LINE"), -1, line, sizeof line, SQLT_STR, &il,
                nullptr, nullptr, 0, nullptr, 0);
  OCIBindByName(g.st, &bs, c.err, reinterpret_cast<const OraText*>(":STATUS"), -1, &status, sizeof status, SQLT_INT,
                nullptr, nullptr, nullptr, 0, nullptr, 0);
  std::vector<std::string> lines;
  for (int i = 0; i < 5; ++i) {
    ASSERT_EQ(g.Execute(1), OCI_SUCCESS) << ErrorText(c.err);
    if (status != 0) break;
    lines.push_back(line);
  }
  EXPECT_EQ(lines, (std::vector<std::string>{"hello 42", "second"}));
  EXPECT_EQ(status, 1);

  ExpectTransactionIdOnlyInATransaction(c, "begin :id := dbms_transaction.local_transaction_id; end;");
}

}  // namespace

namespace {

// The session's transaction check names the package with its owner; a
// block whose variable is not bound fails as on Oracle.
TEST(Oci8Plsql, TransactionCheckWithOwner) {
  Conn c("scott", "tiger");
  ExpectTransactionIdOnlyInATransaction(c, "begin :id := sys.dbms_transaction.local_transaction_id; end;");

  sb4 code = 0;
  std::string text;
  RunSql(c, "begin :id := sys.dbms_transaction.local_transaction_id; end;", &code, &text);
  EXPECT_EQ(code, 1008) << text;
}

TEST(Oci8Transactions, FailedBlockUndoesItsOwnWork) {
  Conn c("scott", "tiger");
  MustRun(c, "INSERT INTO BONUS (ENAME) VALUES ('KEPT')");
  sb4 code = 0;
  RunSql(c, "BEGIN INSERT INTO BONUS (ENAME) VALUES ('GONE'); INSERT INTO DEPT VALUES (10, 'DUP', 'X'); END;", &code);
  EXPECT_EQ(code, 1);
  EXPECT_EQ(MustRun(c, "SELECT ENAME FROM BONUS"), (Rows{{"KEPT"}})) << "earlier work of the transaction stays";
  OCITransRollback(c.svc, c.err, 0);
}

TEST(Oci8Transactions, ArrayInsertBoundByPosition) {
  Conn c("scott", "tiger");
  Stmt s(c, "INSERT INTO BONUS (ENAME, SAL) VALUES (:1, :2)");
  char names[3][8] = {"ONE", "TWO", "THREE"};
  int sals[3] = {1, 2, 3};
  sb2 ind[3] = {0, -1, 0};
  OCIBind* b1 = nullptr;
  OCIBind* b2 = nullptr;
  ASSERT_EQ(OCIBindByPos(s.st, &b1, c.err, 1, names, 8, SQLT_STR, nullptr, nullptr, nullptr, 0, nullptr, 0), OCI_SUCCESS);
  ASSERT_EQ(OCIBindByPos(s.st, &b2, c.err, 2, sals, sizeof(int), SQLT_INT, ind, nullptr, nullptr, 0, nullptr, 0),
            OCI_SUCCESS);
  ASSERT_EQ(s.Execute(3), OCI_SUCCESS) << ErrorText(c.err);
  ub4 rows = 0;
  OCIAttrGet(s.st, OCI_HTYPE_STMT, &rows, nullptr, OCI_ATTR_ROW_COUNT, c.err);
  EXPECT_EQ(rows, 3u);
  EXPECT_EQ(MustRun(c, "SELECT ENAME, NVL(SAL, -1) FROM BONUS ORDER BY ENAME"),
            (Rows{{"ONE", "1"}, {"THREE", "3"}, {"TWO", "-1"}}));
  OCITransRollback(c.svc, c.err, 0);
}

TEST(Oci8Query, ValuesReadAsOracleWritesThem) {
  Conn c("scott", "tiger");
  // Numbers without a leading zero, dates in DD-MON-RR, NULL for ''.
  EXPECT_EQ(MustRun(c, "SELECT 0.5, -0.25, 10, 2.5 * 4, HIREDATE, '' FROM EMP WHERE EMPNO = 7369"),
            (Rows{{".5", "-.25", "10", "10", "17-DEC-80", "<null>"}}));
  EXPECT_EQ(MustRun(c, "SELECT SAL * 1.1 FROM EMP WHERE EMPNO = 7876"), (Rows{{"1210"}}));
}

}  // namespace
