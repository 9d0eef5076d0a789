// OCI8 server attach, session begin/end, simplified logon, version banner,
// transactions, break, and the OCI7 logon data area conversion.
#include "call_log.h"
#include "call_guard.h"
#include "exports.h"
#include "handles.h"
#include "oci7_bridge.h"
#include "round_trips.h"

#include <cstring>

using namespace ocisim;

namespace {

std::string Text(const OraText* p, sb4 len) {
  if (!p) return {};
  if (len < 0) return reinterpret_cast<const char*>(p);
  return std::string(reinterpret_cast<const char*>(p), static_cast<size_t>(len));
}

void BeginSession(SvcCtxH* svc, SessionH* ses, ub4 credt, ub4 mode, ErrorH* err, bool* warned) {
  if (!svc->server || !FindHandle(svc->server, OCI_HTYPE_SERVER) || !svc->server->database) ThrowOra(24324);
  if (ses->live) ThrowOra(1010);
  if (credt != OCI_CRED_RDBMS && credt != OCI_CRED_EXT) ThrowOra(1009);
  LogonMode lm = (mode & OCI_SYSDBA) ? LogonMode::SysDba : (mode & OCI_SYSOPER) ? LogonMode::SysOper : LogonMode::Normal;
  std::string warning;
  ses->live = ServerSession::Logon(svc->server->database, ses->username, ses->password, credt == OCI_CRED_EXT, lm,
                                   &warning);
  svc->session = ses;
  if (!warning.empty()) {
    SetRecord(err, 28002, warning);
    *warned = true;
  }
}

}  // namespace

namespace ocisim {

// The live session behind a service context, or the Oracle error for its state.
ServerSession& LiveSession(SvcCtxH* svc) {
  if (!svc->server || !FindHandle(svc->server, OCI_HTYPE_SERVER) || !svc->server->database) ThrowOra(24324);
  if (!svc->session || !FindHandle(svc->session, OCI_HTYPE_SESSION) || !svc->session->live) ThrowOra(1012);
  return *svc->session->live;
}

}  // namespace ocisim

OCISIM_DECL8 sword OCIServerAttach(OCIServer* srvhp, OCIError* errhp, const OraText* dblink, sb4 dblink_len, ub4) {
  auto* srv = Find<ServerH>(srvhp, OCI_HTYPE_SERVER);
  auto* err = Find<ErrorH>(errhp, OCI_HTYPE_ERROR);
  if (!srv || !err) return OCI_INVALID_HANDLE;
  return Guarded(err, [&]() -> sword {
    srv->link = Link{};  // a new connection
    RoundTrip(Trip::kSession, &srv->link);
    srv->database = Database::Attach(Text(dblink, dblink ? dblink_len : 0));
    return OCI_SUCCESS;
  });
}

OCISIM_DECL8 sword OCIServerDetach(OCIServer* srvhp, OCIError* errhp, ub4) {
  auto* srv = Find<ServerH>(srvhp, OCI_HTYPE_SERVER);
  auto* err = Find<ErrorH>(errhp, OCI_HTYPE_ERROR);
  if (!srv || !err) return OCI_INVALID_HANDLE;
  return Guarded(err, [&]() -> sword {
    if (!srv->database) ThrowOra(24324);
    // The client lets go of its side also when the connection is gone.
    struct Release {
      ServerH* srv;
      ~Release() { srv->database.reset(); }
    } release{srv};
    RoundTrip(Trip::kSession, &srv->link);
    return OCI_SUCCESS;
  });
}

OCISIM_DECL8 sword OCISessionBegin(OCISvcCtx* svchp, OCIError* errhp, OCISession* usrhp, ub4 credt, ub4 mode) {
  auto* svc = Find<SvcCtxH>(svchp, OCI_HTYPE_SVCCTX);
  auto* err = Find<ErrorH>(errhp, OCI_HTYPE_ERROR);
  auto* ses = Find<SessionH>(usrhp, OCI_HTYPE_SESSION);
  if (!svc || !err || !ses) return OCI_INVALID_HANDLE;
  return Guarded(err, [&]() -> sword {
    RoundTrip(Trip::kSession, LinkOf(svc));
    bool warned = false;
    BeginSession(svc, ses, credt, mode, err, &warned);
    if (ses->live) LogCall("OCISessionBegin " + ses->live->user());
    return warned ? OCI_SUCCESS_WITH_INFO : OCI_SUCCESS;
  });
}

OCISIM_DECL8 sword OCISessionEnd(OCISvcCtx* svchp, OCIError* errhp, OCISession* usrhp, ub4) {
  auto* svc = Find<SvcCtxH>(svchp, OCI_HTYPE_SVCCTX);
  auto* err = Find<ErrorH>(errhp, OCI_HTYPE_ERROR);
  if (!svc || !err) return OCI_INVALID_HANDLE;
  SessionH* ses = usrhp ? Find<SessionH>(usrhp, OCI_HTYPE_SESSION) : svc->session;
  if (!ses || !FindHandle(ses, OCI_HTYPE_SESSION)) return OCI_INVALID_HANDLE;
  return Guarded(err, [&]() -> sword {
    if (!ses->live) ThrowOra(1012);
    // The client lets go of the session also when the connection is gone.
    struct Release {
      SessionH* ses;
      ~Release() { EndSession(ses); }
    } release{ses};
    RoundTrip(Trip::kSession, LinkOf(svc), ses->live.get());
    return OCI_SUCCESS;
  });
}

OCISIM_DECL8 sword OCILogon(OCIEnv* envhp, OCIError* errhp, OCISvcCtx** svchp, const OraText* username, ub4 uname_len,
                            const OraText* password, ub4 passwd_len, const OraText* dbname, ub4 dbname_len) {
  auto* env = Find<EnvH>(envhp, OCI_HTYPE_ENV);
  auto* err = Find<ErrorH>(errhp, OCI_HTYPE_ERROR);
  if (!env || !err || !svchp) return OCI_INVALID_HANDLE;
  *svchp = nullptr;
  auto* svc = static_cast<SvcCtxH*>(NewHandle(env, OCI_HTYPE_SVCCTX));
  svc->implicit = true;
  svc->server = static_cast<ServerH*>(NewHandle(env, OCI_HTYPE_SERVER));
  auto* ses = static_cast<SessionH*>(NewHandle(env, OCI_HTYPE_SESSION));
  sword rc = Guarded(err, [&]() -> sword {
    // Attaching to the server and beginning the session: two round trips.
    RoundTrip(Trip::kSession, &svc->server->link);
    RoundTrip(Trip::kSession, &svc->server->link);
    svc->server->database = Database::Attach(Text(dbname, dbname ? static_cast<sb4>(dbname_len) : 0));
    ses->username = Text(username, username ? static_cast<sb4>(uname_len) : 0);
    ses->password = Text(password, password ? static_cast<sb4>(passwd_len) : 0);
    bool warned = false;
    BeginSession(svc, ses, OCI_CRED_RDBMS, OCI_DEFAULT, err, &warned);
    return warned ? OCI_SUCCESS_WITH_INFO : OCI_SUCCESS;
  });
  if (rc == OCI_ERROR) {
    svc->session = ses;
    DestroyHandle(svc);
    return rc;
  }
  *svchp = reinterpret_cast<OCISvcCtx*>(svc);
  return rc;
}

OCISIM_DECL8 sword OCILogoff(OCISvcCtx* svchp, OCIError* errhp) {
  auto* svc = Find<SvcCtxH>(svchp, OCI_HTYPE_SVCCTX);
  auto* err = Find<ErrorH>(errhp, OCI_HTYPE_ERROR);
  if (!svc || !err) return OCI_INVALID_HANDLE;
  return Guarded(err, [&]() -> sword {
    // The client lets go of the session and its handles also when the
    // connection is gone (the call then reports why).
    struct Release {
      SvcCtxH* svc;
      ~Release() {
        if (svc->session && FindHandle(svc->session, OCI_HTYPE_SESSION)) EndSession(svc->session);
        if (svc->implicit) DestroyHandle(svc);
      }
    } release{svc};
    RoundTrip(Trip::kSession, LinkOf(svc), SessionOrNull(svc));
    return OCI_SUCCESS;
  });
}

OCISIM_DECL8 sword OCIServerVersion(void* hndlp, OCIError* errhp, OraText* bufp, ub4 bufsz, ub1 hndltype) {
  auto* err = Find<ErrorH>(errhp, OCI_HTYPE_ERROR);
  HandleBase* h = FindHandle(hndlp, hndltype);
  if (!h || !err || (hndltype != OCI_HTYPE_SVCCTX && hndltype != OCI_HTYPE_SERVER)) return OCI_INVALID_HANDLE;
  return Guarded(err, [&]() -> sword {
    ServerH* srv = hndltype == OCI_HTYPE_SERVER ? static_cast<ServerH*>(h) : static_cast<SvcCtxH*>(h)->server;
    if (!srv || !FindHandle(srv, OCI_HTYPE_SERVER)) ThrowOra(24324);
    RoundTrip(Trip::kOther, &srv->link);
    if (!srv->database) ThrowOra(24324);
    std::string banner = srv->database->ReadSetting("BANNER");
    if (bufp && bufsz > 0) {
      size_t n = banner.size() < bufsz - 1 ? banner.size() : bufsz - 1;
      std::memcpy(bufp, banner.data(), n);
      bufp[n] = 0;
    }
    return OCI_SUCCESS;
  });
}

OCISIM_DECL8 void OCIClientVersion(sword* major, sword* minor, sword* update, sword* patch, sword* port_update) {
  if (major) *major = 9;
  if (minor) *minor = 2;
  if (update) *update = 0;
  if (patch) *patch = 1;
  if (port_update) *port_update = 0;
}

OCISIM_DECL8 sword OCITransStart(OCISvcCtx* svchp, OCIError* errhp, uword, ub4) {
  auto* svc = Find<SvcCtxH>(svchp, OCI_HTYPE_SVCCTX);
  auto* err = Find<ErrorH>(errhp, OCI_HTYPE_ERROR);
  if (!svc || !err) return OCI_INVALID_HANDLE;
  return Guarded(err, [&]() -> sword {
    LiveSession(svc);
    return OCI_SUCCESS;
  });
}

OCISIM_DECL8 sword OCITransCommit(OCISvcCtx* svchp, OCIError* errhp, ub4) {
  auto* svc = Find<SvcCtxH>(svchp, OCI_HTYPE_SVCCTX);
  auto* err = Find<ErrorH>(errhp, OCI_HTYPE_ERROR);
  if (!svc || !err) return OCI_INVALID_HANDLE;
  return Guarded(err, [&]() -> sword {
    RoundTrip(Trip::kCommit, LinkOf(svc), SessionOrNull(svc));
    ServerSession& s = LiveSession(svc);
    s.CheckAlive();
    s.Commit();
    return OCI_SUCCESS;
  });
}

OCISIM_DECL8 sword OCITransRollback(OCISvcCtx* svchp, OCIError* errhp, ub4) {
  auto* svc = Find<SvcCtxH>(svchp, OCI_HTYPE_SVCCTX);
  auto* err = Find<ErrorH>(errhp, OCI_HTYPE_ERROR);
  if (!svc || !err) return OCI_INVALID_HANDLE;
  return Guarded(err, [&]() -> sword {
    RoundTrip(Trip::kRollback, LinkOf(svc), SessionOrNull(svc));
    ServerSession& s = LiveSession(svc);
    s.Rollback();
    s.CheckAlive();
    return OCI_SUCCESS;
  });
}

OCISIM_DECL8 sword OCIBreak(void* hndlp, OCIError* errhp) {
  auto* err = Find<ErrorH>(errhp, OCI_HTYPE_ERROR);
  HandleBase* h = FindHandle(hndlp, 0);
  if (!h || !err || (h->type != OCI_HTYPE_SVCCTX && h->type != OCI_HTYPE_SERVER)) return OCI_INVALID_HANDLE;
  return Guarded(err, [&]() -> sword {
    RoundTrip(Trip::kOther, h->type == OCI_HTYPE_SVCCTX ? LinkOf(static_cast<SvcCtxH*>(h))
                                                        : &static_cast<ServerH*>(h)->link);
    if (h->type == OCI_HTYPE_SVCCTX) {
      auto* svc = static_cast<SvcCtxH*>(h);
      if (svc->session && FindHandle(svc->session, OCI_HTYPE_SESSION) && svc->session->live)
        svc->session->live->Interrupt();
    }
    return OCI_SUCCESS;
  });
}

OCISIM_DECL8 sword OCIReset(void* hndlp, OCIError* errhp) {
  auto* err = Find<ErrorH>(errhp, OCI_HTYPE_ERROR);
  if (!FindHandle(hndlp, 0) || !err) return OCI_INVALID_HANDLE;
  return OCI_SUCCESS;
}

OCISIM_DECL8 sword OCIPing(OCISvcCtx* svchp, OCIError* errhp, ub4) {
  auto* svc = Find<SvcCtxH>(svchp, OCI_HTYPE_SVCCTX);
  auto* err = Find<ErrorH>(errhp, OCI_HTYPE_ERROR);
  if (!svc || !err) return OCI_INVALID_HANDLE;
  return Guarded(err, [&]() -> sword {
    RoundTrip(Trip::kOther, LinkOf(svc), SessionOrNull(svc));
    LiveSession(svc).CheckAlive();
    return OCI_SUCCESS;
  });
}

OCISIM_DECL8 sword OCISvcCtxToLda(OCISvcCtx* svchp, OCIError* errhp, Lda_Def* ldap) {
  auto* svc = Find<SvcCtxH>(svchp, OCI_HTYPE_SVCCTX);
  auto* err = Find<ErrorH>(errhp, OCI_HTYPE_ERROR);
  if (!svc || !err || !ldap) return OCI_INVALID_HANDLE;
  return Guarded(err, [&]() -> sword {
    LiveSession(svc);
    AdoptLda(ldap, svc);
    return OCI_SUCCESS;
  });
}

OCISIM_DECL8 sword OCILdaToSvcCtx(OCISvcCtx** svchpp, OCIError* errhp, Lda_Def* ldap) {
  auto* err = Find<ErrorH>(errhp, OCI_HTYPE_ERROR);
  if (!err || !svchpp || !ldap) return OCI_INVALID_HANDLE;
  return Guarded(err, [&]() -> sword {
    SvcCtxH* svc = ReleaseLda(ldap);
    if (!svc) ThrowOra(1012);
    *svchpp = reinterpret_cast<OCISvcCtx*>(svc);
    return OCI_SUCCESS;
  });
}
