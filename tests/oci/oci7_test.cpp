// The OCI7 interface of the stand-in: logon data areas, cursors, describe,
// defines, array fetch, LONG through oflng, binds, error texts, transactions,
// and an OCI8 session turned into a logon data area.
#include "oci_fixture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace ocitest;

namespace {

struct Logon7 {
  Lda_Def lda{};
  unsigned char hda[OCISIM_HDA_SIZE] = {};
  sword rc;
  explicit Logon7(const char* connect) {
    UseFreshDataDir();
    rc = olog(&lda, hda, reinterpret_cast<OraText*>(const_cast<char*>(connect)), -1, nullptr, -1, nullptr, -1, 0);
  }
  ~Logon7() { ologof(&lda); }
  std::string Message(int code) {
    char buf[512];
    oerhms(&lda, static_cast<sb2>(code), reinterpret_cast<OraText*>(buf), sizeof buf);
    std::string s = buf;
    while (!s.empty() && s.back() == '\n') s.pop_back();
    return s;
  }
};

struct Cursor7 {
  Cda_Def cda{};
  explicit Cursor7(Logon7& l) { EXPECT_EQ(oopen(&cda, &l.lda, nullptr, -1, -1, nullptr, -1), 0); }
  ~Cursor7() { oclose(&cda); }
  sword Parse(const char* sql) { return oparse(&cda, reinterpret_cast<OraText*>(const_cast<char*>(sql)), -1, 1, 2); }
};

TEST(Oci7, LogonWithConnectStringAndErrors) {
  Logon7 good("scott/tiger");
  EXPECT_EQ(good.rc, 0);
  EXPECT_EQ(good.lda.rc, 0);
  Logon7 bad("scott/wrong@");
  EXPECT_NE(bad.rc, 0);
  EXPECT_EQ(bad.lda.rc, 1017);
  EXPECT_EQ(bad.Message(1017), "ORA-01017: invalid username/password; logon denied");
  Logon7 alias("scott/tiger@nowhere");
  EXPECT_EQ(alias.lda.rc, 12154);
  Logon7 old("scott/tiger@DEMO73");
  EXPECT_EQ(old.lda.rc, 0);
  Logon7 expiring("adams/wood");
  EXPECT_EQ(expiring.lda.rc, 28002) << "a warning; the session is usable";
  Cursor7 c(expiring);
  EXPECT_EQ(c.Parse("SELECT * FROM DUAL"), 0);
}

TEST(Oci7, DescribeDefineAndArrayFetch) {
  Logon7 l("scott/tiger");
  Cursor7 c(l);
  ASSERT_EQ(c.Parse("SELECT EMPNO, ENAME, SAL FROM EMP WHERE DEPTNO = :D ORDER BY EMPNO"), 0);
  int dept = 20;
  ASSERT_EQ(obndra(&c.cda, reinterpret_cast<OraText*>(const_cast<char*>(":D")), -1,
                   reinterpret_cast<ub1*>(&dept), sizeof dept, SQLT_INT, -1, nullptr, nullptr, nullptr, 0, nullptr,
                   nullptr, -1, -1), 0);
  std::vector<std::string> names;
  for (sword pos = 1;; ++pos) {
    sb4 dbsize = 0, cbufl = 32, dsize = 0;
    sb2 dbtype = 0, prec = 0, scale = 0, nullok = 0;
    sb1 cbuf[32];
    sword rc = odescr(&c.cda, pos, &dbsize, &dbtype, cbuf, &cbufl, &dsize, &prec, &scale, &nullok);
    if (c.cda.rc == 1007) break;
    ASSERT_EQ(rc, 0);
    names.push_back(std::string(reinterpret_cast<char*>(cbuf), cbufl) + ":" + std::to_string(dbtype) + ":" +
                    std::to_string(dbsize));
  }
  EXPECT_EQ(names, (std::vector<std::string>{"EMPNO:2:22", "ENAME:1:10", "SAL:2:22"}));
  int empno[3];
  char ename[3][11];
  double sal[3];
  sb2 ind[3][3];
  ub2 rlen[3][3], rcode[3][3];
  odefin(&c.cda, 1, reinterpret_cast<ub1*>(empno), sizeof(int), SQLT_INT, -1, ind[0], nullptr, -1, -1, rlen[0], rcode[0]);
  odefin(&c.cda, 2, reinterpret_cast<ub1*>(ename), 11, SQLT_STR, -1, ind[1], nullptr, -1, -1, rlen[1], rcode[1]);
  odefin(&c.cda, 3, reinterpret_cast<ub1*>(sal), sizeof(double), SQLT_FLT, -1, ind[2], nullptr, -1, -1, rlen[2], rcode[2]);
  ASSERT_EQ(oexec(&c.cda), 0) << l.Message(c.cda.rc);
  EXPECT_EQ(c.cda.ft, 4) << "SELECT";
  ASSERT_EQ(ofen(&c.cda, 3), 0);
  EXPECT_EQ(c.cda.rpc, 3u);
  EXPECT_EQ(empno[0], 7369);
  EXPECT_STREQ(ename[2], "SCOTT");
  EXPECT_DOUBLE_EQ(sal[1], 2975);
  sword rc = ofen(&c.cda, 3);
  EXPECT_EQ(c.cda.rc, 1403) << "the rows run out in this batch";
  EXPECT_EQ(rc, 4);
  EXPECT_EQ(c.cda.rpc, 5u) << "rpc counts all rows fetched";
  EXPECT_STREQ(ename[1], "FORD");
}

TEST(Oci7, ExecuteAndFetchAndLongInChunks) {
  Logon7 l("scott/tiger");
  Cursor7 c(l);
  ASSERT_EQ(c.Parse("SELECT TITLE, BODY FROM DOCS WHERE DOC_ID = 1"), 0);
  char title[81];
  char body[8];
  sb2 ind[2];
  ub2 rlen[2];
  odefin(&c.cda, 1, reinterpret_cast<ub1*>(title), sizeof title, SQLT_STR, -1, &ind[0], nullptr, -1, -1, &rlen[0], nullptr);
  odefin(&c.cda, 2, reinterpret_cast<ub1*>(body), sizeof body, SQLT_LNG, -1, &ind[1], nullptr, -1, -1, &rlen[1], nullptr);
  ASSERT_EQ(oexfet(&c.cda, 1, 0, 0), 0) << l.Message(c.cda.rc);
  EXPECT_STREQ(title, "Short note");
  EXPECT_GT(ind[1], 0) << "the LONG did not fit the define";
  std::string whole;
  char chunk[10];
  ub4 got = 0;
  for (sb4 off = 0;; off += got) {
    ASSERT_EQ(oflng(&c.cda, 2, reinterpret_cast<ub1*>(chunk), sizeof chunk, SQLT_LNG, &got, off), 0);
    whole.append(chunk, got);
    if (got < sizeof chunk) break;
  }
  EXPECT_EQ(whole, "A LONG column holding a short text.");
}

TEST(Oci7, DmlCommitRollbackAndErrors) {
  Logon7 l("scott/tiger");
  Cursor7 c(l);
  ASSERT_EQ(c.Parse("UPDATE EMP SET SAL = SAL WHERE DEPTNO = 30"), 0);
  ASSERT_EQ(oexec(&c.cda), 0);
  EXPECT_EQ(c.cda.rpc, 6u);
  EXPECT_EQ(c.cda.ft, 5) << "UPDATE";
  EXPECT_EQ(orol(&l.lda), 0);
  ASSERT_EQ(c.Parse("INSERT INTO BONUS (ENAME) VALUES (:N)"), 0);
  char names[2][6] = {"ALPHA", "BETA"};
  ub2 alen[2] = {5, 4};
  obndra(&c.cda, reinterpret_cast<OraText*>(const_cast<char*>(":N")), -1, reinterpret_cast<ub1*>(names), 6, SQLT_CHR,
         -1, nullptr, alen, nullptr, 0, nullptr, nullptr, -1, -1);
  ASSERT_EQ(oexn(&c.cda, 2, 0), 0) << l.Message(c.cda.rc);
  EXPECT_EQ(c.cda.rpc, 2u);
  EXPECT_EQ(ocom(&l.lda), 0);
  Cursor7 q(l);
  q.Parse("SELECT COUNT(*) FROM BONUS");
  int n = 0;
  odefin(&q.cda, 1, reinterpret_cast<ub1*>(&n), sizeof n, SQLT_INT, -1, nullptr, nullptr, -1, -1, nullptr, nullptr);
  oexfet(&q.cda, 1, 1, 0);
  EXPECT_EQ(n, 2);
  c.Parse("DELETE FROM BONUS");
  oexec(&c.cda);
  ocom(&l.lda);

  // An immediate parse reports a bad statement at once.
  EXPECT_NE(oparse(&c.cda, reinterpret_cast<OraText*>(const_cast<char*>("SELECT * FROM NOPE")), -1, 0, 2), 0);
  EXPECT_EQ(c.cda.rc, 942);
  EXPECT_EQ(l.Message(942), "ORA-00942: table or view does not exist");
  Cda_Def stray{};
  EXPECT_NE(oexec(&stray), 0);
  EXPECT_EQ(stray.rc, 1001) << "a cursor that was never opened";
  EXPECT_NE(oexec(nullptr), 0);
}

TEST(Oci7, ServiceContextAsLogonDataArea) {
  Conn c("scott", "tiger");
  ASSERT_TRUE(c.ok());
  Lda_Def lda{};
  ASSERT_EQ(OCISvcCtxToLda(c.svc, c.err, &lda), OCI_SUCCESS);
  Cda_Def cda{};
  ASSERT_EQ(oopen(&cda, &lda, nullptr, -1, -1, nullptr, -1), 0);
  ASSERT_EQ(oparse(&cda, reinterpret_cast<OraText*>(const_cast<char*>("SELECT USER FROM DUAL")), -1, 1, 2), 0);
  char user[31];
  odefin(&cda, 1, reinterpret_cast<ub1*>(user), sizeof user, SQLT_STR, -1, nullptr, nullptr, -1, -1, nullptr, nullptr);
  ASSERT_EQ(oexfet(&cda, 1, 0, 0), 0);
  EXPECT_STREQ(user, "SCOTT");
  oclose(&cda);
  OCISvcCtx* back = nullptr;
  ASSERT_EQ(OCILdaToSvcCtx(&back, c.err, &lda), OCI_SUCCESS);
  EXPECT_EQ(back, c.svc);
}

}  // namespace
