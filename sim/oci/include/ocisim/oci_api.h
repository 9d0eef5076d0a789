/*
 * Prototypes of the OCI entry points that the stand-in implements, in OCI's
 * C signatures (from our fact sheet). Tests include this to call the library
 * directly; the plugin itself resolves the same names at run time.
 */
#ifndef OCISIM_OCI_API_H
#define OCISIM_OCI_API_H

#include "ocisim/oci_types.h"

/* The library marks its exports through these; users see plain prototypes. */
#ifndef OCISIM_DECL8
#define OCISIM_DECL8
#endif
#ifndef OCISIM_DECL7
#define OCISIM_DECL7
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* OCI8 */
OCISIM_DECL8 sword OCIInitialize(ub4 mode, void *ctxp, void *(*malocfp)(void *, size_t), void *(*ralocfp)(void *, void *, size_t),
                    void (*mfreefp)(void *, void *));
OCISIM_DECL8 sword OCIEnvInit(OCIEnv **envp, ub4 mode, size_t xtramem_sz, void **usrmempp);
OCISIM_DECL8 sword OCIEnvCreate(OCIEnv **envp, ub4 mode, void *ctxp, void *(*malocfp)(void *, size_t),
                   void *(*ralocfp)(void *, void *, size_t), void (*mfreefp)(void *, void *), size_t xtramem_sz,
                   void **usrmempp);
OCISIM_DECL8 sword OCITerminate(ub4 mode);
OCISIM_DECL8 sword OCIHandleAlloc(const void *parenth, void **hndlpp, const ub4 type, const size_t xtramem_sz, void **usrmempp);
OCISIM_DECL8 sword OCIHandleFree(void *hndlp, const ub4 type);
OCISIM_DECL8 sword OCIDescriptorAlloc(const void *parenth, void **descpp, const ub4 type, const size_t xtramem_sz, void **usrmempp);
OCISIM_DECL8 sword OCIDescriptorFree(void *descp, const ub4 type);
OCISIM_DECL8 sword OCIServerAttach(OCIServer *srvhp, OCIError *errhp, const OraText *dblink, sb4 dblink_len, ub4 mode);
OCISIM_DECL8 sword OCIServerDetach(OCIServer *srvhp, OCIError *errhp, ub4 mode);
OCISIM_DECL8 sword OCIAttrSet(void *trgthndlp, ub4 trghndltyp, void *attributep, ub4 size, ub4 attrtype, OCIError *errhp);
OCISIM_DECL8 sword OCIAttrGet(const void *trgthndlp, ub4 trghndltyp, void *attributep, ub4 *sizep, ub4 attrtype, OCIError *errhp);
OCISIM_DECL8 sword OCISessionBegin(OCISvcCtx *svchp, OCIError *errhp, OCISession *usrhp, ub4 credt, ub4 mode);
OCISIM_DECL8 sword OCISessionEnd(OCISvcCtx *svchp, OCIError *errhp, OCISession *usrhp, ub4 mode);
OCISIM_DECL8 sword OCILogon(OCIEnv *envhp, OCIError *errhp, OCISvcCtx **svchp, const OraText *username, ub4 uname_len,
               const OraText *password, ub4 passwd_len, const OraText *dbname, ub4 dbname_len);
OCISIM_DECL8 sword OCILogoff(OCISvcCtx *svchp, OCIError *errhp);
OCISIM_DECL8 sword OCIServerVersion(void *hndlp, OCIError *errhp, OraText *bufp, ub4 bufsz, ub1 hndltype);
OCISIM_DECL8 sword OCISvcCtxToLda(OCISvcCtx *svchp, OCIError *errhp, Lda_Def *ldap);
OCISIM_DECL8 sword OCILdaToSvcCtx(OCISvcCtx **svchpp, OCIError *errhp, Lda_Def *ldap);
OCISIM_DECL8 sword OCIStmtPrepare(OCIStmt *stmtp, OCIError *errhp, const OraText *stmt, ub4 stmt_len, ub4 language, ub4 mode);
OCISIM_DECL8 sword OCIBindByName(OCIStmt *stmtp, OCIBind **bindp, OCIError *errhp, const OraText *placeholder, sb4 placeh_len,
                    void *valuep, sb4 value_sz, ub2 dty, void *indp, ub2 *alenp, ub2 *rcodep, ub4 maxarr_len,
                    ub4 *curelep, ub4 mode);
OCISIM_DECL8 sword OCIBindByPos(OCIStmt *stmtp, OCIBind **bindp, OCIError *errhp, ub4 position, void *valuep, sb4 value_sz,
                   ub2 dty, void *indp, ub2 *alenp, ub2 *rcodep, ub4 maxarr_len, ub4 *curelep, ub4 mode);
OCISIM_DECL8 sword OCIBindArrayOfStruct(OCIBind *bindp, OCIError *errhp, ub4 pvskip, ub4 indskip, ub4 alskip, ub4 rcskip);
OCISIM_DECL8 sword OCIParamGet(const void *hndlp, ub4 htype, OCIError *errhp, void **parmdpp, ub4 pos);
OCISIM_DECL8 sword OCIDefineByPos(OCIStmt *stmtp, OCIDefine **defnp, OCIError *errhp, ub4 position, void *valuep, sb4 value_sz,
                     ub2 dty, void *indp, ub2 *rlenp, ub2 *rcodep, ub4 mode);
OCISIM_DECL8 sword OCIDefineDynamic(OCIDefine *defnp, OCIError *errhp, void *octxp, OCICallbackDefine ocbfp);
OCISIM_DECL8 sword OCIDefineArrayOfStruct(OCIDefine *defnp, OCIError *errhp, ub4 pvskip, ub4 indskip, ub4 rlskip, ub4 rcskip);
OCISIM_DECL8 sword OCIStmtExecute(OCISvcCtx *svchp, OCIStmt *stmtp, OCIError *errhp, ub4 iters, ub4 rowoff,
                     const OCISnapshot *snap_in, OCISnapshot *snap_out, ub4 mode);
OCISIM_DECL8 sword OCIStmtFetch(OCIStmt *stmtp, OCIError *errhp, ub4 nrows, ub2 orientation, ub4 mode);
OCISIM_DECL8 sword OCIStmtFetch2(OCIStmt *stmtp, OCIError *errhp, ub4 nrows, ub2 orientation, sb4 scrollOffset, ub4 mode);
OCISIM_DECL8 sword OCIErrorGet(void *hndlp, ub4 recordno, OraText *sqlstate, sb4 *errcodep, OraText *bufp, ub4 bufsiz, ub4 type);
OCISIM_DECL8 sword OCITransStart(OCISvcCtx *svchp, OCIError *errhp, uword timeout, ub4 flags);
OCISIM_DECL8 sword OCITransCommit(OCISvcCtx *svchp, OCIError *errhp, ub4 flags);
OCISIM_DECL8 sword OCITransRollback(OCISvcCtx *svchp, OCIError *errhp, ub4 flags);
OCISIM_DECL8 sword OCIBreak(void *hndlp, OCIError *errhp);
OCISIM_DECL8 sword OCIReset(void *hndlp, OCIError *errhp);
OCISIM_DECL8 sword OCIPing(OCISvcCtx *svchp, OCIError *errhp, ub4 mode);
OCISIM_DECL8 void OCIClientVersion(sword *major, sword *minor, sword *update, sword *patch, sword *port_update);

/* OCI7 */
OCISIM_DECL7 sword opinit(ub4 mode);
OCISIM_DECL7 sword olog(Lda_Def *lda, ub1 *hda, OraText *uid, sword uidl, OraText *pswd, sword pswdl, OraText *conn, sword connl,
           ub4 mode);
OCISIM_DECL7 sword orlon(Lda_Def *lda, ub1 *hda, OraText *uid, sword uidl, OraText *pswd, sword pswdl, sword audit);
OCISIM_DECL7 sword ologof(Lda_Def *lda);
OCISIM_DECL7 sword oopen(Cda_Def *cursor, Lda_Def *lda, OraText *dbn, sword dbnl, sword arsize, OraText *uid, sword uidl);
OCISIM_DECL7 sword oclose(Cda_Def *cursor);
OCISIM_DECL7 sword oparse(Cda_Def *cursor, OraText *sqlstm, sb4 sqllen, sword defflg, ub4 lngflg);
OCISIM_DECL7 sword obndrv(Cda_Def *cursor, OraText *sqlvar, sword sqlvl, ub1 *progv, sword progvl, sword ftype, sword scale,
             sb2 *indp, OraText *fmt, sword fmtl, sword fmtt);
OCISIM_DECL7 sword obndra(Cda_Def *cursor, OraText *sqlvar, sword sqlvl, ub1 *progv, sword progvl, sword ftype, sword scale,
             sb2 *indp, ub2 *alen, ub2 *arcode, ub4 maxsiz, ub4 *cursiz, OraText *fmt, sword fmtl, sword fmtt);
OCISIM_DECL7 sword odescr(Cda_Def *cursor, sword pos, sb4 *dbsize, sb2 *dbtype, sb1 *cbuf, sb4 *cbufl, sb4 *dsize, sb2 *prec,
             sb2 *scale, sb2 *nullok);
OCISIM_DECL7 sword odefin(Cda_Def *cursor, sword pos, ub1 *buf, sword bufl, sword ftype, sword scale, sb2 *indp, OraText *fmt,
             sword fmtl, sword fmtt, ub2 *rlen, ub2 *rcode);
OCISIM_DECL7 sword oexec(Cda_Def *cursor);
OCISIM_DECL7 sword oexn(Cda_Def *cursor, sword iters, sword rowoff);
OCISIM_DECL7 sword oexfet(Cda_Def *cursor, ub4 nrows, sword cancel, sword exact);
OCISIM_DECL7 sword ofetch(Cda_Def *cursor);
OCISIM_DECL7 sword ofen(Cda_Def *cursor, sword nrows);
OCISIM_DECL7 sword oflng(Cda_Def *cursor, sword pos, ub1 *buf, sb4 bufl, sword dtype, ub4 *retl, sb4 offset);
OCISIM_DECL7 sword ocan(Cda_Def *cursor);
OCISIM_DECL7 sword ocom(Lda_Def *lda);
OCISIM_DECL7 sword orol(Lda_Def *lda);
OCISIM_DECL7 sword ocon(Lda_Def *lda);
OCISIM_DECL7 sword ocof(Lda_Def *lda);
OCISIM_DECL7 sword oerhms(Lda_Def *lda, sb2 rcode, OraText *buf, sword bufsiz);
OCISIM_DECL7 sword obreak(Lda_Def *lda);

#ifdef __cplusplus
}
#endif

#endif
