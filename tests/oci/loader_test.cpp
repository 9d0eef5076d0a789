// The library as the plugin's loader sees it: loaded with dlopen from an
// ORACLE_HOME, every entry-point name of every group resolves in the full
// library, the OCI7-only variant lacks the OCI8 group, the other variant lacks
// exactly one OCI8 name; a session works through resolved pointers; and what
// a client leaves open goes with the library when it is unloaded.
#include "ocisim/oci_types.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <filesystem>
#include <string>
#include <vector>

namespace {

const std::vector<const char*> kOci7 = {"orlon", "ologof", "oerhms", "oopen", "oparse", "odefin", "oexfet",
                                        "ofen",  "oflng",  "oclose", "odescr", "oexec", "oexn", "ocom",
                                        "orol",  "ocon",   "ocof",   "obreak", "obndra", "odessp", "olog", "opinit"};
const std::vector<const char*> kOci8 = {
    "OCIInitialize", "OCIHandleAlloc", "OCIHandleFree", "OCIDescriptorAlloc", "OCIDescriptorFree", "OCIEnvInit",
    "OCIServerAttach", "OCIServerDetach", "OCISessionBegin", "OCISessionEnd", "OCILogon", "OCILogoff",
    "OCIPasswordChange", "OCIStmtPrepare", "OCIBindByPos", "OCIBindByName", "OCIBindObject", "OCIBindDynamic",
    "OCIBindArrayOfStruct", "OCIStmtGetPieceInfo", "OCIStmtSetPieceInfo", "OCIStmtExecute", "OCIDefineByPos",
    "OCIDefineObject", "OCIDefineDynamic", "OCIDefineArrayOfStruct", "OCIStmtFetch", "OCIStmtGetBindInfo",
    "OCIDescribeAny", "OCIParamGet", "OCIParamSet", "OCITransStart", "OCITransDetach", "OCITransCommit",
    "OCITransRollback", "OCITransPrepare", "OCITransForget", "OCIErrorGet", "OCILobAppend", "OCILobAssign",
    "OCILobCharSetForm", "OCILobCharSetId", "OCILobCopy", "OCILobDisableBuffering", "OCILobEnableBuffering",
    "OCILobErase", "OCILobFileClose", "OCILobFileCloseAll", "OCILobFileExists", "OCILobFileGetName",
    "OCILobFileIsOpen", "OCILobFileOpen", "OCILobFileSetName", "OCILobFlushBuffer", "OCILobGetLength",
    "OCILobIsEqual", "OCILobLoadFromFile", "OCILobLocatorIsInit", "OCILobRead", "OCILobTrim", "OCILobWrite",
    "OCIBreak", "OCIServerVersion", "OCIAttrGet", "OCIAttrSet", "OCISvcCtxToLda", "OCILdaToSvcCtx",
    "OCIResultSetToStmt", "OCIObjectUnpin", "OCIObjectLock", "OCIObjectMarkUpdate", "OCIObjectUnmark",
    "OCIObjectMarkDelete", "OCIObjectFlush", "OCIObjectCopy", "OCIObjectGetTypeRef", "OCIObjectGetObjectRef",
    "OCIObjectGetInd", "OCIObjectExists", "OCIObjectIsLocked", "OCIObjectIsDirty", "OCIObjectRefresh",
    "OCIObjectPinTable", "OCIObjectNew", "OCIObjectPin", "OCIObjectFree", "OCITypeByName", "OCIObjectGetAttr",
    "OCIObjectSetAttr", "OCIStringPtr", "OCIStringAssignText", "OCINumberFromInt", "OCINumberToInt",
    "OCINumberFromReal", "OCINumberToReal", "OCINumberToText", "OCINumberFromText", "OCIRawPtr", "OCIRawSize",
    "OCIRawAssignBytes", "OCIRefAssign", "OCIRefClear", "OCIRefIsNull", "OCIRefFromHex", "OCIRefHexSize",
    "OCIRefToHex", "OCICollSize", "OCICollTrim", "OCICollMax", "OCICollGetElem", "OCICollAssignElem",
    "OCICollAppend", "OCITableDelete", "OCICacheFlush"};
const std::vector<const char*> kOci8Extra = {"ociepgoe", "ociepmsg", "OCIEnvCreate", "OCIDirPathAbort",
                                             "OCIDirPathFinish", "OCIDirPathPrepare", "OCIDirPathColArrayEntrySet",
                                             "OCIDirPathColArrayToStream", "OCIDirPathLoadStream",
                                             "OCIDirPathStreamReset"};

struct Lib {
  void* h;
  explicit Lib(const std::string& home) {
    h = dlopen((home + "/lib/libclntsh.so").c_str(), RTLD_NOW | RTLD_LOCAL);
  }
  ~Lib() {
    if (h) dlclose(h);
  }
  int Missing(const std::vector<const char*>& names) const {
    int n = 0;
    for (const char* name : names) n += dlsym(h, name) == nullptr;
    return n;
  }
};

TEST(Loader, FullLibraryResolvesEveryGroup) {
  Lib lib(OCISIM_HOME);
  ASSERT_NE(lib.h, nullptr) << dlerror();
  EXPECT_EQ(kOci8.size(), 114u);
  EXPECT_EQ(lib.Missing(kOci7), 0);
  EXPECT_EQ(lib.Missing(kOci8), 0);
  EXPECT_EQ(lib.Missing(kOci8Extra), 0);
  // The versioned name beside it is the same library.
  void* v = dlopen((std::string(OCISIM_HOME) + "/lib/libclntsh.so.19.1").c_str(), RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(v, nullptr);
  dlclose(v);
}

TEST(Loader, VariantsLackWhatTheyShould) {
  Lib oci7(OCISIM_HOME_OCI7);
  ASSERT_NE(oci7.h, nullptr) << dlerror();
  EXPECT_EQ(oci7.Missing(kOci7), 0);
  EXPECT_EQ(oci7.Missing(kOci8), static_cast<int>(kOci8.size()));
  Lib one(OCISIM_HOME_MISSING_ONE);
  ASSERT_NE(one.h, nullptr) << dlerror();
  EXPECT_EQ(one.Missing(kOci7), 0);
  EXPECT_EQ(one.Missing(kOci8), 1);
  EXPECT_EQ(dlsym(one.h, "OCIDescribeAny"), nullptr);
}

TEST(Loader, SessionThroughResolvedPointers) {
  char tmpl[] = "/tmp/ocisim-loader-XXXXXX";
  const char* dir = mkdtemp(tmpl);
  ASSERT_NE(dir, nullptr);
  setenv("OCISIM_DATA_DIR", dir, 1);
  struct Cleanup {
    std::string dir;
    ~Cleanup() { std::filesystem::remove_all(dir); }
  } cleanup{dir};
  Lib lib(OCISIM_HOME);
  ASSERT_NE(lib.h, nullptr);
  using EnvCreate = sword (*)(OCIEnv**, ub4, void*, void*, void*, void*, size_t, void**);
  using HandleAlloc = sword (*)(const void*, void**, ub4, size_t, void**);
  using Logon = sword (*)(OCIEnv*, OCIError*, OCISvcCtx**, const OraText*, ub4, const OraText*, ub4, const OraText*, ub4);
  using Version = sword (*)(void*, OCIError*, OraText*, ub4, ub1);
  using Logoff = sword (*)(OCISvcCtx*, OCIError*);
  using HandleFree = sword (*)(void*, ub4);
  auto env_create = reinterpret_cast<EnvCreate>(dlsym(lib.h, "OCIEnvCreate"));
  auto alloc = reinterpret_cast<HandleAlloc>(dlsym(lib.h, "OCIHandleAlloc"));
  auto logon = reinterpret_cast<Logon>(dlsym(lib.h, "OCILogon"));
  auto version = reinterpret_cast<Version>(dlsym(lib.h, "OCIServerVersion"));
  auto logoff = reinterpret_cast<Logoff>(dlsym(lib.h, "OCILogoff"));
  auto free_handle = reinterpret_cast<HandleFree>(dlsym(lib.h, "OCIHandleFree"));
  OCIEnv* env = nullptr;
  ASSERT_EQ(env_create(&env, 0, nullptr, nullptr, nullptr, nullptr, 0, nullptr), 0);
  OCIError* err = nullptr;
  alloc(env, reinterpret_cast<void**>(&err), 2, 0, nullptr);
  OCISvcCtx* svc = nullptr;
  ASSERT_EQ(logon(env, err, &svc, reinterpret_cast<const OraText*>("scott"), 5,
                  reinterpret_cast<const OraText*>("tiger"), 5, reinterpret_cast<const OraText*>(""), 0), 0);
  char banner[501];
  ASSERT_EQ(version(svc, err, reinterpret_cast<OraText*>(banner), sizeof banner, 3), 0);
  EXPECT_NE(std::string(banner).find("Oracle9i"), std::string::npos);
  EXPECT_EQ(logoff(svc, err), 0);
  EXPECT_EQ(free_handle(env, 1), 0);
}

TEST(Loader, Oci7OnlyLibraryAnswersOci7) {
  char tmpl[] = "/tmp/ocisim-loader-XXXXXX";
  const char* dir = mkdtemp(tmpl);
  ASSERT_NE(dir, nullptr);
  setenv("OCISIM_DATA_DIR", dir, 1);
  struct Cleanup {
    std::string dir;
    ~Cleanup() { std::filesystem::remove_all(dir); }
  } cleanup{dir};
  Lib lib(OCISIM_HOME_OCI7);
  ASSERT_NE(lib.h, nullptr);
  using Olog = sword (*)(Lda_Def*, ub1*, OraText*, sword, OraText*, sword, OraText*, sword, ub4);
  using Oopen = sword (*)(Cda_Def*, Lda_Def*, OraText*, sword, sword, OraText*, sword);
  using Oparse = sword (*)(Cda_Def*, OraText*, sb4, sword, ub4);
  using Odefin = sword (*)(Cda_Def*, sword, ub1*, sword, sword, sword, sb2*, OraText*, sword, sword, ub2*, ub2*);
  using Oexfet = sword (*)(Cda_Def*, ub4, sword, sword);
  using OnArea = sword (*)(Cda_Def*);
  auto olog = reinterpret_cast<Olog>(dlsym(lib.h, "olog"));
  auto oopen = reinterpret_cast<Oopen>(dlsym(lib.h, "oopen"));
  auto oparse = reinterpret_cast<Oparse>(dlsym(lib.h, "oparse"));
  auto odefin = reinterpret_cast<Odefin>(dlsym(lib.h, "odefin"));
  auto oexfet = reinterpret_cast<Oexfet>(dlsym(lib.h, "oexfet"));
  auto oclose = reinterpret_cast<OnArea>(dlsym(lib.h, "oclose"));
  auto ologof = reinterpret_cast<OnArea>(dlsym(lib.h, "ologof"));
  ASSERT_TRUE(olog && oopen && oparse && odefin && oexfet && oclose && ologof);
  Lda_Def lda{};
  ub1 hda[OCISIM_HDA_SIZE] = {};
  char connect[] = "scott/tiger";
  ASSERT_EQ(olog(&lda, hda, reinterpret_cast<OraText*>(connect), -1, nullptr, -1, nullptr, -1, 0), 0);
  Cda_Def cda{};
  ASSERT_EQ(oopen(&cda, &lda, nullptr, -1, -1, nullptr, -1), 0);
  char sql[] = "SELECT DNAME FROM DEPT WHERE DEPTNO = 40";
  ASSERT_EQ(oparse(&cda, reinterpret_cast<OraText*>(sql), -1, 1, 2), 0);
  char dname[15];
  odefin(&cda, 1, reinterpret_cast<ub1*>(dname), sizeof dname, SQLT_STR, -1, nullptr, nullptr, -1, -1, nullptr, nullptr);
  ASSERT_EQ(oexfet(&cda, 1, 1, 0), 0);
  EXPECT_STREQ(dname, "OPERATIONS");
  EXPECT_EQ(oclose(&cda), 0);
  EXPECT_EQ(ologof(&lda), 0);
}

// A client that unloads the library without logging off (OCI8 or OCI7)
// leaves no session behind: its open transaction is rolled back and its lock
// released then, not only when the process ends, so a session of the library
// loaded again changes the same row at once, and the server lists only the
// sessions still there.
TEST(Loader, SessionsLeftOpenEndWhenTheLibraryIsUnloaded) {
  char tmpl[] = "/tmp/ocisim-loader-XXXXXX";
  const char* dir = mkdtemp(tmpl);
  ASSERT_NE(dir, nullptr);
  setenv("OCISIM_DATA_DIR", dir, 1);
  setenv("OCISIM_LOCK_TIMEOUT_MS", "200", 1);
  struct Cleanup {
    std::string dir;
    ~Cleanup() {
      unsetenv("OCISIM_LOCK_TIMEOUT_MS");
      std::filesystem::remove_all(dir);
    }
  } cleanup{dir};
  const std::string path = std::string(OCISIM_HOME) + "/lib/libclntsh.so";
  char update[] = "UPDATE DEPT SET LOC = 'MOVED' WHERE DEPTNO = 40";
  // Through OCI8: runs the update as SCOTT, or (with `sessions`) counts as
  // SYSTEM the sessions of SCOTT the server lists.
  auto update8 = [&](void* h, bool& ran, long* sessions = nullptr) {
    const std::string user = sessions ? "system" : "scott", password = sessions ? "manager" : "tiger";
    using EnvCreate = sword (*)(OCIEnv**, ub4, void*, void*, void*, void*, size_t, void**);
    using HandleAlloc = sword (*)(const void*, void**, ub4, size_t, void**);
    using Logon = sword (*)(OCIEnv*, OCIError*, OCISvcCtx**, const OraText*, ub4, const OraText*, ub4,
                            const OraText*, ub4);
    using Prepare = sword (*)(OCIStmt*, OCIError*, const OraText*, ub4, ub4, ub4);
    using Execute = sword (*)(OCISvcCtx*, OCIStmt*, OCIError*, ub4, ub4, const void*, void*, ub4);
    using Define = sword (*)(OCIStmt*, OCIDefine**, OCIError*, ub4, void*, sb4, ub2, void*, ub2*, ub2*, ub4);
    auto env_create = reinterpret_cast<EnvCreate>(dlsym(h, "OCIEnvCreate"));
    auto alloc = reinterpret_cast<HandleAlloc>(dlsym(h, "OCIHandleAlloc"));
    auto logon = reinterpret_cast<Logon>(dlsym(h, "OCILogon"));
    auto prepare = reinterpret_cast<Prepare>(dlsym(h, "OCIStmtPrepare"));
    auto execute = reinterpret_cast<Execute>(dlsym(h, "OCIStmtExecute"));
    OCIEnv* env = nullptr;
    OCIError* err = nullptr;
    OCISvcCtx* svc = nullptr;
    OCIStmt* stmt = nullptr;
    ran = env_create(&env, 0, nullptr, nullptr, nullptr, nullptr, 0, nullptr) == 0 &&
          alloc(env, reinterpret_cast<void**>(&err), OCI_HTYPE_ERROR, 0, nullptr) == 0 &&
          logon(env, err, &svc, reinterpret_cast<const OraText*>(user.c_str()), static_cast<ub4>(user.size()),
                reinterpret_cast<const OraText*>(password.c_str()), static_cast<ub4>(password.size()),
                reinterpret_cast<const OraText*>(""), 0) == 0 &&
          alloc(env, reinterpret_cast<void**>(&stmt), OCI_HTYPE_STMT, 0, nullptr) == 0;
    if (!ran) return;
    if (!sessions) {
      ran = prepare(stmt, err, reinterpret_cast<const OraText*>(update), static_cast<ub4>(sizeof update - 1),
                    OCI_NTV_SYNTAX, OCI_DEFAULT) == 0 &&
            execute(svc, stmt, err, 1, 0, nullptr, nullptr, OCI_DEFAULT) == 0;
      return;
    }
    auto define = reinterpret_cast<Define>(dlsym(h, "OCIDefineByPos"));
    char count[] = "SELECT COUNT(*) FROM V$SESSION WHERE USERNAME = 'SCOTT'";
    OCIDefine* column = nullptr;
    int value = -1;
    ran = prepare(stmt, err, reinterpret_cast<const OraText*>(count), static_cast<ub4>(sizeof count - 1),
                  OCI_NTV_SYNTAX, OCI_DEFAULT) == 0 &&
          define(stmt, &column, err, 1, &value, sizeof value, SQLT_INT, nullptr, nullptr, nullptr, OCI_DEFAULT) == 0 &&
          execute(svc, stmt, err, 1, 0, nullptr, nullptr, OCI_DEFAULT) == 0;
    *sessions = value;
  };
  // Through OCI7, with the logon area on the heap as a client keeps it.
  auto update7 = [&](void* h, bool& ran) {
    using Olog = sword (*)(Lda_Def*, ub1*, OraText*, sword, OraText*, sword, OraText*, sword, ub4);
    using Oopen = sword (*)(Cda_Def*, Lda_Def*, OraText*, sword, sword, OraText*, sword);
    using Oparse = sword (*)(Cda_Def*, OraText*, sb4, sword, ub4);
    using OnArea = sword (*)(Cda_Def*);
    auto olog = reinterpret_cast<Olog>(dlsym(h, "olog"));
    auto oopen = reinterpret_cast<Oopen>(dlsym(h, "oopen"));
    auto oparse = reinterpret_cast<Oparse>(dlsym(h, "oparse"));
    auto oexec = reinterpret_cast<OnArea>(dlsym(h, "oexec"));
    static Lda_Def lda;
    static ub1 hda[OCISIM_HDA_SIZE];
    static Cda_Def cda;
    lda = Lda_Def{};
    cda = Cda_Def{};
    std::fill(std::begin(hda), std::end(hda), ub1{0});
    char connect[] = "scott/tiger";
    ran = olog(&lda, hda, reinterpret_cast<OraText*>(connect), -1, nullptr, -1, nullptr, -1, 0) == 0 &&
          oopen(&cda, &lda, nullptr, -1, -1, nullptr, -1) == 0 &&
          oparse(&cda, reinterpret_cast<OraText*>(update), -1, 1, 2) == 0 && oexec(&cda) == 0;
  };
  for (bool oci7 : {false, true}) {
    SCOPED_TRACE(oci7 ? "OCI7" : "OCI8");
    for (int round = 0; round < 2; ++round) {
      void* h = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
      ASSERT_NE(h, nullptr) << dlerror();
      bool ran = false;
      if (oci7) update7(h, ran);
      else update8(h, ran);
      // The second round's update waits for the first one's lock when that
      // session is still there (ORA-00054).
      EXPECT_TRUE(ran) << "round " << round;
      dlclose(h);
      ASSERT_EQ(dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD), nullptr) << "the library stayed loaded";
    }
  }
  void* h = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(h, nullptr) << dlerror();
  bool ran = false;
  long sessions = -1;
  update8(h, ran, &sessions);
  EXPECT_TRUE(ran);
  EXPECT_EQ(sessions, 0) << "sessions of the unloaded library are still listed";
  dlclose(h);
}

}  // namespace
