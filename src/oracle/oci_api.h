// oci_api.h — our own declarations of the Oracle Call Interface.
//
// Nothing of the Oracle client is linked at build time: the client library is
// loaded at run time (client_library.cpp) and every entry point we call is a
// typed pointer in one table, `OciApi`, filled by name in one place
// (oci_entry_points.cpp).  The types and numbers below are written from the
// OCI fact sheet; they are the subset the session and query layer needs.
#pragma once

#include <cstddef>
#include <cstdint>

namespace oci {

// ---- base types (the same widths on ILP32 and LP64) ------------------------
using ub1 = unsigned char;
using sb1 = signed char;
using ub2 = unsigned short;
using sb2 = short;
using ub4 = unsigned int;
using sb4 = int;
using sword = int;
using OraText = unsigned char;

// Opaque handles.
struct OCIEnv;
struct OCIError;
struct OCISvcCtx;
struct OCIStmt;
struct OCIServer;
struct OCISession;
struct OCIBind;
struct OCIDefine;
struct OCIParam;
struct OCISnapshot;

// ---- OCI8 return codes ------------------------------------------------------
constexpr sword OCI_SUCCESS = 0;
constexpr sword OCI_SUCCESS_WITH_INFO = 1;
constexpr sword OCI_NEED_DATA = 99;
constexpr sword OCI_NO_DATA = 100;
constexpr sword OCI_ERROR = -1;
constexpr sword OCI_INVALID_HANDLE = -2;
constexpr sword OCI_CONTINUE = -24200;

// ---- handle and descriptor types ----------------------------------------------
constexpr ub4 OCI_HTYPE_ENV = 1;
constexpr ub4 OCI_HTYPE_ERROR = 2;
constexpr ub4 OCI_HTYPE_SVCCTX = 3;
constexpr ub4 OCI_HTYPE_STMT = 4;
constexpr ub4 OCI_HTYPE_SERVER = 8;
constexpr ub4 OCI_HTYPE_SESSION = 9;
constexpr ub4 OCI_DTYPE_PARAM = 53;

// ---- modes ------------------------------------------------------------------
constexpr ub4 OCI_DEFAULT = 0;
constexpr ub4 OCI_THREADED = 0x01;
constexpr ub4 OCI_OBJECT = 0x02;
constexpr ub4 OCI_DYNAMIC_FETCH = 0x02;
constexpr ub4 OCI_NTV_SYNTAX = 1;
constexpr ub4 OCI_CRED_RDBMS = 1;
constexpr ub4 OCI_CRED_EXT = 2;
constexpr ub4 OCI_SYSDBA = 0x02;
constexpr ub4 OCI_SYSOPER = 0x04;
constexpr ub2 OCI_FETCH_NEXT = 0x02;

// Piece values of piecewise (dynamic) fetch.
constexpr ub1 OCI_ONE_PIECE = 0;
constexpr ub1 OCI_FIRST_PIECE = 1;
constexpr ub1 OCI_NEXT_PIECE = 2;
constexpr ub1 OCI_LAST_PIECE = 3;

// ---- attributes -------------------------------------------------------------
constexpr ub4 OCI_ATTR_DATA_SIZE = 1;
constexpr ub4 OCI_ATTR_DATA_TYPE = 2;
constexpr ub4 OCI_ATTR_NAME = 4;
constexpr ub4 OCI_ATTR_PRECISION = 5;
constexpr ub4 OCI_ATTR_SCALE = 6;
constexpr ub4 OCI_ATTR_PARSE_ERROR_OFFSET = 129;  // error handle, ub2
constexpr ub4 OCI_ATTR_SERVER = 6;
constexpr ub4 OCI_ATTR_SESSION = 7;
constexpr ub4 OCI_ATTR_ROW_COUNT = 9;
constexpr ub4 OCI_ATTR_PARAM_COUNT = 18;
constexpr ub4 OCI_ATTR_USERNAME = 22;
constexpr ub4 OCI_ATTR_PASSWORD = 23;
constexpr ub4 OCI_ATTR_STMT_TYPE = 24;
constexpr ub4 OCI_ATTR_CHARSET_ID = 31;
constexpr ub4 OCI_ATTR_CHAR_SIZE = 286;

constexpr ub2 OCI_STMT_SELECT = 1;

// ---- external data types (SQLT_*) ---------------------------------------------
constexpr ub2 SQLT_CHR = 1;
constexpr ub2 SQLT_NUM = 2;
constexpr ub2 SQLT_INT = 3;
constexpr ub2 SQLT_FLT = 4;
constexpr ub2 SQLT_STR = 5;
constexpr ub2 SQLT_LNG = 8;
constexpr ub2 SQLT_RID = 11;
constexpr ub2 SQLT_DAT = 12;
constexpr ub2 SQLT_BIN = 23;
constexpr ub2 SQLT_LBI = 24;
constexpr ub2 SQLT_AFC = 96;
constexpr ub2 SQLT_AVC = 97;

// ---- Oracle error numbers the layer reacts to --------------------------------
constexpr int ORA_NO_DATA_FOUND = 1403;
constexpr int ORA_VARIABLE_NOT_IN_SELECT_LIST = 1007;
constexpr int ORA_PASSWORD_WILL_EXPIRE = 28002;

// ---- OCI7 logon / cursor data area --------------------------------------------
// The library writes CDA_SIZE bytes (64 on 32-bit, 88 on 64-bit); we reserve
// more so a library built either way cannot write past our buffer.
struct CdaDef {
  sb2 v2_rc;    // V2 return code
  ub2 ft;       // SQL function type
  ub4 rpc;      // rows processed (cumulative for fetches)
  ub2 peo;      // parse error offset
  ub1 fc;       // OCI function code
  ub1 rcs1;
  ub2 rc;       // V7 return code = positive ORA number
  ub1 wrn;
  ub1 rcs2;
  alignas(8) unsigned char rest[240];
};
using LdaDef = CdaDef;
static_assert(offsetof(CdaDef, rpc) == 4 && offsetof(CdaDef, rc) == 12, "OCI7 data area layout");

// The host data area: 256 bytes on 32-bit, 512 on 64-bit; always 512 here.
constexpr std::size_t kHdaSize = 512;

// OCI7 oparse flags.
constexpr sword kDeferParse = 1;
constexpr ub4 kVersion7 = 2;

extern "C" {
// ---- OCI8 entry points ------------------------------------------------------
using OCICallbackDefine = sb4 (*)(void* octxp, OCIDefine* defnp, ub4 iter, void** bufpp,
                                  ub4** alenp, ub1* piecep, void** indp, ub2** rcodep);

using PFN_OCIInitialize = sword (*)(ub4 mode, void* ctxp, void* (*malocfp)(void*, std::size_t),
                                    void* (*ralocfp)(void*, void*, std::size_t),
                                    void (*mfreefp)(void*, void*));
using PFN_OCIEnvInit = sword (*)(OCIEnv** envp, ub4 mode, std::size_t xtramem_sz, void** usrmempp);
using PFN_OCIEnvCreate = sword (*)(OCIEnv** envp, ub4 mode, void* ctxp,
                                   void* (*malocfp)(void*, std::size_t),
                                   void* (*ralocfp)(void*, void*, std::size_t),
                                   void (*mfreefp)(void*, void*), std::size_t xtramem_sz,
                                   void** usrmempp);
using PFN_OCIHandleAlloc = sword (*)(const void* parenth, void** hndlpp, ub4 type,
                                     std::size_t xtramem_sz, void** usrmempp);
using PFN_OCIHandleFree = sword (*)(void* hndlp, ub4 type);
using PFN_OCIDescriptorFree = sword (*)(void* descp, ub4 type);
using PFN_OCIServerAttach = sword (*)(OCIServer* srvhp, OCIError* errhp, const OraText* dblink,
                                      sb4 dblink_len, ub4 mode);
using PFN_OCIServerDetach = sword (*)(OCIServer* srvhp, OCIError* errhp, ub4 mode);
using PFN_OCIAttrSet = sword (*)(void* trgthndlp, ub4 trghndltyp, void* attributep, ub4 size,
                                 ub4 attrtype, OCIError* errhp);
using PFN_OCIAttrGet = sword (*)(const void* trgthndlp, ub4 trghndltyp, void* attributep,
                                 ub4* sizep, ub4 attrtype, OCIError* errhp);
using PFN_OCISessionBegin = sword (*)(OCISvcCtx* svchp, OCIError* errhp, OCISession* usrhp,
                                      ub4 credt, ub4 mode);
using PFN_OCISessionEnd = sword (*)(OCISvcCtx* svchp, OCIError* errhp, OCISession* usrhp, ub4 mode);
using PFN_OCIServerVersion = sword (*)(void* hndlp, OCIError* errhp, OraText* bufp, ub4 bufsz,
                                       ub1 hndltype);
using PFN_OCISvcCtxToLda = sword (*)(OCISvcCtx* svchp, OCIError* errhp, LdaDef* ldap);
using PFN_OCILdaToSvcCtx = sword (*)(OCISvcCtx** svchpp, OCIError* errhp, LdaDef* ldap);
using PFN_OCIStmtPrepare = sword (*)(OCIStmt* stmtp, OCIError* errhp, const OraText* stmt,
                                     ub4 stmt_len, ub4 language, ub4 mode);
using PFN_OCIBindByName = sword (*)(OCIStmt* stmtp, OCIBind** bindp, OCIError* errhp,
                                    const OraText* placeholder, sb4 placeh_len, void* valuep,
                                    sb4 value_sz, ub2 dty, void* indp, ub2* alenp, ub2* rcodep,
                                    ub4 maxarr_len, ub4* curelep, ub4 mode);
using PFN_OCIParamGet = sword (*)(const void* hndlp, ub4 htype, OCIError* errhp, void** parmdpp,
                                  ub4 pos);
using PFN_OCIDefineByPos = sword (*)(OCIStmt* stmtp, OCIDefine** defnp, OCIError* errhp,
                                     ub4 position, void* valuep, sb4 value_sz, ub2 dty, void* indp,
                                     ub2* rlenp, ub2* rcodep, ub4 mode);
using PFN_OCIDefineDynamic = sword (*)(OCIDefine* defnp, OCIError* errhp, void* octxp,
                                       OCICallbackDefine ocbfp);
using PFN_OCIStmtExecute = sword (*)(OCISvcCtx* svchp, OCIStmt* stmtp, OCIError* errhp, ub4 iters,
                                     ub4 rowoff, const OCISnapshot* snap_in, OCISnapshot* snap_out,
                                     ub4 mode);
using PFN_OCIStmtFetch = sword (*)(OCIStmt* stmtp, OCIError* errhp, ub4 nrows, ub2 orientation,
                                   ub4 mode);
using PFN_OCIErrorGet = sword (*)(void* hndlp, ub4 recordno, OraText* sqlstate, sb4* errcodep,
                                  OraText* bufp, ub4 bufsiz, ub4 type);
using PFN_OCITransCommit = sword (*)(OCISvcCtx* svchp, OCIError* errhp, ub4 flags);
using PFN_OCITransRollback = sword (*)(OCISvcCtx* svchp, OCIError* errhp, ub4 flags);

// ---- OCI7 entry points ------------------------------------------------------
using PFN_opinit = sword (*)(ub4 mode);
using PFN_olog = sword (*)(LdaDef* lda, ub1* hda, OraText* uid, sword uidl, OraText* pswd,
                           sword pswdl, OraText* conn, sword connl, ub4 mode);
using PFN_orlon = sword (*)(LdaDef* lda, ub1* hda, OraText* uid, sword uidl, OraText* pswd,
                            sword pswdl, sword audit);
using PFN_ologof = sword (*)(LdaDef* lda);
using PFN_oopen = sword (*)(CdaDef* cursor, LdaDef* lda, OraText* dbn, sword dbnl, sword arsize,
                            OraText* uid, sword uidl);
using PFN_oclose = sword (*)(CdaDef* cursor);
using PFN_oparse = sword (*)(CdaDef* cursor, OraText* sqlstm, sb4 sqllen, sword defflg, ub4 lngflg);
using PFN_obndra = sword (*)(CdaDef* cursor, OraText* sqlvar, sword sqlvl, ub1* progv, sword progvl,
                             sword ftype, sword scale, sb2* indp, ub2* alen, ub2* arcode,
                             ub4 maxsiz, ub4* cursiz, OraText* fmt, sword fmtl, sword fmtt);
using PFN_odescr = sword (*)(CdaDef* cursor, sword pos, sb4* dbsize, sb2* dbtype, sb1* cbuf,
                             sb4* cbufl, sb4* dsize, sb2* prec, sb2* scale, sb2* nullok);
using PFN_odefin = sword (*)(CdaDef* cursor, sword pos, ub1* buf, sword bufl, sword ftype,
                             sword scale, sb2* indp, OraText* fmt, sword fmtl, sword fmtt,
                             ub2* rlen, ub2* rcode);
using PFN_oexec = sword (*)(CdaDef* cursor);
using PFN_oexn = sword (*)(CdaDef* cursor, sword iters, sword rowoff);
using PFN_oexfet = sword (*)(CdaDef* cursor, ub4 nrows, sword cancel, sword exact);
using PFN_ofen = sword (*)(CdaDef* cursor, sword nrows);
using PFN_oflng = sword (*)(CdaDef* cursor, sword pos, ub1* buf, sb4 bufl, sword dtype, ub4* retl,
                            sb4 offset);
using PFN_oerhms = sword (*)(LdaDef* lda, sb2 rcode, OraText* buf, sword bufsiz);
using PFN_ocom = sword (*)(LdaDef* lda);
using PFN_orol = sword (*)(LdaDef* lda);
}  // extern "C"

// The one table of entry points.  Members are null until resolved; names
// that only take part in the group check have no member here.
struct OciApi {
  // OCI8
  PFN_OCIInitialize OCIInitialize;
  PFN_OCIEnvInit OCIEnvInit;
  PFN_OCIEnvCreate OCIEnvCreate;
  PFN_OCIHandleAlloc OCIHandleAlloc;
  PFN_OCIHandleFree OCIHandleFree;
  PFN_OCIDescriptorFree OCIDescriptorFree;
  PFN_OCIServerAttach OCIServerAttach;
  PFN_OCIServerDetach OCIServerDetach;
  PFN_OCIAttrSet OCIAttrSet;
  PFN_OCIAttrGet OCIAttrGet;
  PFN_OCISessionBegin OCISessionBegin;
  PFN_OCISessionEnd OCISessionEnd;
  PFN_OCIServerVersion OCIServerVersion;
  PFN_OCISvcCtxToLda OCISvcCtxToLda;
  PFN_OCILdaToSvcCtx OCILdaToSvcCtx;
  PFN_OCIStmtPrepare OCIStmtPrepare;
  PFN_OCIBindByName OCIBindByName;
  PFN_OCIParamGet OCIParamGet;
  PFN_OCIDefineByPos OCIDefineByPos;
  PFN_OCIDefineDynamic OCIDefineDynamic;
  PFN_OCIStmtExecute OCIStmtExecute;
  PFN_OCIStmtFetch OCIStmtFetch;
  PFN_OCIErrorGet OCIErrorGet;
  PFN_OCITransCommit OCITransCommit;
  PFN_OCITransRollback OCITransRollback;
  // OCI7
  PFN_opinit opinit;
  PFN_olog olog;
  PFN_orlon orlon;
  PFN_ologof ologof;
  PFN_oopen oopen;
  PFN_oclose oclose;
  PFN_oparse oparse;
  PFN_obndra obndra;
  PFN_odescr odescr;
  PFN_odefin odefin;
  PFN_oexec oexec;
  PFN_oexn oexn;
  PFN_oexfet oexfet;
  PFN_ofen ofen;
  PFN_oflng oflng;
  PFN_oerhms oerhms;
  PFN_ocom ocom;
  PFN_orol orol;
  PFN_ocom ocon;  // autocommit on; same signature as ocom
};

}  // namespace oci
