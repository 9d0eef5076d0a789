// The OCI7 entry points: logon data areas (LDA) and cursor data areas (CDA)
// live in the caller's memory; the stand-in keeps its own state per area in
// maps keyed by their addresses and reports through the areas' rc/rpc/ft
// fields, as the OCI7 interface does.
#include "call_log.h"
#include "convert.h"
#include "exports.h"
#include "handles.h"
#include "round_trips.h"
#include "statement_repeats.h"
#include "oci7_bridge.h"
#include "ora_error.h"
#include "process_tables.h"

#include <cctype>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>

using namespace ocisim;

namespace {

// OCI7 function codes reported in the area's fc field.
enum : ub1 { kFcExec = 4, kFcFetch = 12, kFcOpen = 14, kFcClose = 16, kFcBndrv = 28, kFcOpt = 34, kFcCan = 52,
             kFcParse = 54, kFcExfet = 56, kFcFlng = 58, kFcDescr = 60, kFcBndra = 62, kFcDefin = 8 };

struct LdaState {
  std::shared_ptr<Database> database;
  std::unique_ptr<ServerSession> owned;  // olog/orlon sessions
  SvcCtxH* svc = nullptr;                // sessions borrowed from OCISvcCtxToLda
  bool autocommit = false;
  int parses = 0;  // statements parsed on this logon (for the call log)
  int last_code = 0;
  std::string last_text;
  Link link;  // the connection of an olog/orlon logon
  // The connection round trips travel on: the logon's own, or the one of the
  // service context it borrows.
  Link* connection() { return owned || !svc ? &link : LinkOf(svc); }
  ServerSession* session() {
    if (owned) return owned.get();
    if (svc && FindHandle(svc, OCI_HTYPE_SVCCTX) && svc->session && FindHandle(svc->session, OCI_HTYPE_SESSION))
      return svc->session->live.get();
    return nullptr;
  }
};

struct Bind7 {
  ub1* progv = nullptr;
  sword progvl = 0;
  sword ftype = 0;
  sb2* indp = nullptr;
  ub2* alen = nullptr;
  ub2* arcode = nullptr;
};

struct Define7 {
  ub1* buf = nullptr;
  sword bufl = 0;
  sword ftype = 0;
  sb2* indp = nullptr;
  ub2* rlen = nullptr;
  ub2* rcode = nullptr;
  bool set = false;
};

struct CdaState {
  Lda_Def* lda = nullptr;
  std::unique_ptr<Cursor> cursor;
  ServerSession* session = nullptr;
  std::string text;
  bool parsed = false;
  bool executed = false;
  bool ended = false;
  std::map<std::string, Bind7> binds;
  std::vector<Define7> defines;
};

std::mutex& Mutex() {
  static std::mutex m;
  return m;
}
// Made on first use and freed by ReleaseOci7Areas, when the library goes.
using LdaMap = std::map<const void*, std::unique_ptr<LdaState>>;
using CdaMap = std::map<const void*, std::unique_ptr<CdaState>>;
LdaMap*& LdaSlot() {
  static LdaMap* m = nullptr;
  return m;
}
CdaMap*& CdaSlot() {
  static CdaMap* m = nullptr;
  return m;
}
LdaMap& Ldas() {
  if (!LdaSlot()) LdaSlot() = new LdaMap();
  return *LdaSlot();
}
CdaMap& Cdas() {
  if (!CdaSlot()) CdaSlot() = new CdaMap();
  return *CdaSlot();
}

LdaState* FindLda(const Lda_Def* lda) {
  std::lock_guard<std::mutex> lock(Mutex());
  auto it = Ldas().find(lda);
  return it == Ldas().end() ? nullptr : it->second.get();
}
CdaState* FindCda(const Cda_Def* cda) {
  std::lock_guard<std::mutex> lock(Mutex());
  auto it = Cdas().find(cda);
  return it == Cdas().end() ? nullptr : it->second.get();
}

// Sets the area's codes and gives the OCI7 return value: 0, the V2 codes 2
// (NULL), 3 (truncated) and 4 (no more rows), or minus the error number.
sword Report(Cda_Def* area, ub1 fc, int code, const std::string& text = {}) {
  area->fc = fc;
  area->rc = static_cast<ub2>(code);
  area->wrn = 0;
  sb2 v2 = code == 0 ? 0 : code == 1403 ? 4 : code == 1405 ? 2 : code == 1406 ? 3 : static_cast<sb2>(-code);
  area->v2_rc = v2;
  if (code != 0) {
    std::lock_guard<std::mutex> lock(Mutex());
    auto cit = Cdas().find(area);
    const void* key = cit != Cdas().end() ? static_cast<const void*>(cit->second->lda) : area;
    auto lit = Ldas().find(key);
    if (lit != Ldas().end()) {
      lit->second->last_code = code;
      lit->second->last_text = text.empty() ? OraMessage(code) : text;
    }
  }
  return v2;
}

template <class F>
sword Run(Cda_Def* area, ub1 fc, F&& body) {
  try {
    return body();
  } catch (const OraFailure& e) {
    return Report(area, fc, e.code, e.what());
  } catch (const std::exception& e) {
    return Report(area, fc, 600, std::string("ORA-00600: internal error code, arguments: [ocisim], [") + e.what() + "]");
  } catch (...) {
    return Report(area, fc, 600, "ORA-00600: internal error code, arguments: [ocisim]");
  }
}

std::string Arg(const OraText* p, sword len) {
  if (!p) return {};
  if (len < 0) return reinterpret_cast<const char*>(p);
  return std::string(reinterpret_cast<const char*>(p), static_cast<size_t>(len));
}

std::string Upper(std::string s) {
  for (auto& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

sword Logon(Lda_Def* lda, std::string uid, std::string pwd, std::string conn) {
  if (!lda) return -1001;
  std::memset(lda, 0, sizeof(Lda_Def));
  {
    std::lock_guard<std::mutex> lock(Mutex());
    Ldas()[lda] = std::make_unique<LdaState>();
  }
  LdaState* state = FindLda(lda);
  return Run(lda, 0, [&]() -> sword {
    // "user/password@alias" may come whole in the user argument.
    if (pwd.empty()) {
      if (auto at = uid.find('@'); at != std::string::npos) {
        if (conn.empty()) conn = uid.substr(at + 1);
        uid.resize(at);
      }
      if (auto slash = uid.find('/'); slash != std::string::npos) {
        pwd = uid.substr(slash + 1);
        uid.resize(slash);
      }
    }
    bool external = uid.empty() && pwd.empty();
    RoundTrip(Trip::kSession, &state->link);  // attach
    RoundTrip(Trip::kSession, &state->link);  // session
    state->database = Database::Attach(conn);
    std::string warning;
    state->owned = ServerSession::Logon(state->database, uid, pwd, external, LogonMode::Normal, &warning);
    LogCall("olog " + state->owned->user());
    if (!warning.empty()) return Report(lda, 0, 28002, warning);
    return Report(lda, 0, 0);
  });
}

Link* ConnectionOf(CdaState* c) {
  LdaState* l = FindLda(c->lda);
  return l ? l->connection() : nullptr;
}

ServerSession& SessionOf(CdaState* c) {
  LdaState* l = FindLda(c->lda);
  ServerSession* s = l ? l->session() : nullptr;
  if (!s) ThrowOra(1012);
  if (c->session != s) {
    c->cursor = std::make_unique<Cursor>(*s);
    c->session = s;
    c->cursor->Prepare(c->text);
  }
  return *s;
}

BindValues CollectBinds7(CdaState* c, int iter) {
  BindValues values;
  for (auto& [name, b] : c->binds) {
    if (b.indp && b.indp[iter] < 0) {
      values[name] = Value::MakeNull();
      continue;
    }
    sword len = b.alen ? b.alen[iter] : b.progvl;
    values[name] = b.progv ? ConvertIn(static_cast<ub2>(b.ftype), b.progv + static_cast<size_t>(iter) * b.progvl, len)
                           : Value::MakeNull();
  }
  return values;
}

void ExecuteCda(Cda_Def* cda, CdaState* c, int iters, int rowoff) {
  ServerSession& s = SessionOf(c);
  if (!c->parsed) ThrowOra(1003);
  RoundTrip(Trip::kExecute, ConnectionOf(c), &s);  // oexfet's first rows come with it
  c->ended = false;
  cda->rpc = 0;
  if (StatementTypeOf(c->text) == OCI_STMT_SELECT) {
    c->cursor->Execute(CollectBinds7(c, rowoff));
  } else {
    ub4 total = 0;
    for (int i = 0; i < iters; ++i) {
      c->cursor->Execute(CollectBinds7(c, rowoff + i));
      total += static_cast<ub4>(c->cursor->RowCount());
    }
    cda->rpc = total;
    // Out values of PL/SQL blocks go back to their program variables.
    for (auto& [name, b] : c->binds) {
      auto it = c->cursor->OutBinds().find(name);
      if (it == c->cursor->OutBinds().end() || !b.progv) continue;
      OutResult r = ConvertOut(it->second, kVarchar2, static_cast<ub2>(b.ftype), b.progv, b.progvl);
      if (b.indp) *b.indp = r.indicator;
      if (b.alen) *b.alen = static_cast<ub2>(r.length);
      if (b.arcode) *b.arcode = r.rcode;
    }
    LdaState* l = FindLda(c->lda);
    if (l && l->autocommit) s.Commit();
  }
  c->executed = true;
  cda->ft = static_cast<ub2>(StatementTypeOf(c->text) == 1 ? 4 : StatementTypeOf(c->text) == 2 ? 5
                             : StatementTypeOf(c->text) == 3 ? 9 : StatementTypeOf(c->text) == 4 ? 3 : 0);
}

// Fetches up to n rows into the defines; the code to report (0, 1403, 1405, 1406).
int FetchCda(Cda_Def* cda, CdaState* c, int n) {
  SessionOf(c).CheckAlive();
  if (!c->executed || !c->cursor->IsQuery()) ThrowOra(1002);
  if (c->ended) ThrowOra(1403);
  const auto& cols = c->cursor->Columns();
  int code = 0;
  for (int row = 0; row < n; ++row) {
    if (!c->cursor->Fetch()) {
      c->ended = true;
      return 1403;
    }
    ++cda->rpc;
    for (size_t i = 0; i < cols.size() && i < c->defines.size(); ++i) {
      Define7& d = c->defines[i];
      if (!d.set) continue;
      Value v = c->cursor->ColumnValue(static_cast<int>(i));
      OutResult r = ConvertOut(v, cols[i].type, static_cast<ub2>(d.ftype),
                               d.buf ? d.buf + static_cast<size_t>(row) * d.bufl : nullptr, d.bufl);
      if (d.indp) d.indp[row] = r.indicator;
      if (d.rlen && !v.IsNull()) d.rlen[row] = static_cast<ub2>(r.length);
      if (d.rcode) d.rcode[row] = r.rcode;
      // With an indicator, NULL and truncation are reported there only.
      if (!d.indp && r.rcode && !code) code = r.rcode;
    }
  }
  return code;
}

}  // namespace

namespace ocisim {

void AdoptLda(Lda_Def* lda, SvcCtxH* svc) {
  std::memset(lda, 0, sizeof(Lda_Def));
  auto state = std::make_unique<LdaState>();
  state->svc = svc;
  std::lock_guard<std::mutex> lock(Mutex());
  Ldas()[lda] = std::move(state);
}

SvcCtxH* ReleaseLda(Lda_Def* lda) {
  std::lock_guard<std::mutex> lock(Mutex());
  auto it = Ldas().find(lda);
  if (it == Ldas().end() || !it->second->svc) return nullptr;
  SvcCtxH* svc = it->second->svc;
  Ldas().erase(it);
  return FindHandle(svc, OCI_HTYPE_SVCCTX) ? svc : nullptr;
}

}  // namespace ocisim

OCISIM_DECL7 sword opinit(ub4) { return 0; }

OCISIM_DECL7 sword olog(Lda_Def* lda, ub1*, OraText* uid, sword uidl, OraText* pswd, sword pswdl, OraText* conn,
                        sword connl, ub4 mode) {
  if (mode != 0 && lda) {
    std::memset(lda, 0, sizeof(Lda_Def));
    lda->rc = 3001;
    lda->v2_rc = -3001;
    return -3001;  // non-blocking logons are not offered
  }
  return Logon(lda, Arg(uid, uidl), Arg(pswd, pswdl), Arg(conn, connl));
}

OCISIM_DECL7 sword orlon(Lda_Def* lda, ub1*, OraText* uid, sword uidl, OraText* pswd, sword pswdl, sword) {
  return Logon(lda, Arg(uid, uidl), Arg(pswd, pswdl), "");
}

OCISIM_DECL7 sword ologof(Lda_Def* lda) {
  if (!lda) return -1012;
  std::unique_ptr<LdaState> state;
  std::vector<std::unique_ptr<CdaState>> cursors;
  {
    std::lock_guard<std::mutex> lock(Mutex());
    auto it = Ldas().find(lda);
    if (it == Ldas().end()) {
      lda->rc = 1012;
      lda->v2_rc = -1012;
      return -1012;
    }
    state = std::move(it->second);
    Ldas().erase(it);
    for (auto c = Cdas().begin(); c != Cdas().end();) {
      if (c->second->lda == lda) {
        cursors.push_back(std::move(c->second));
        c = Cdas().erase(c);
      } else {
        ++c;
      }
    }
  }
  // The logon data area is let go also when the connection is gone; the
  // call then reports why.
  int code = 0;
  try {
    RoundTrip(Trip::kSession, state->connection(), state->session());
  } catch (const OraFailure& e) {
    code = e.code;
  }
  cursors.clear();  // cursors go before their session
  if (state->owned)
    LogCall("ologof " + state->owned->user() + " after " + std::to_string(state->parses) +
            " statements parsed with oparse");
  state.reset();    // an owned session rolls back here
  lda->rc = static_cast<ub2>(code);
  lda->v2_rc = static_cast<sb2>(-code);
  return -code;
}

OCISIM_DECL7 sword oopen(Cda_Def* cursor, Lda_Def* lda, OraText*, sword, sword, OraText*, sword) {
  if (!cursor) return -1001;
  std::memset(cursor, 0, sizeof(Cda_Def));
  if (!FindLda(lda)) return Report(cursor, kFcOpen, 1012);
  auto state = std::make_unique<CdaState>();
  state->lda = lda;
  {
    std::lock_guard<std::mutex> lock(Mutex());
    Cdas()[cursor] = std::move(state);
  }
  return Report(cursor, kFcOpen, 0);
}

OCISIM_DECL7 sword oclose(Cda_Def* cursor) {
  if (!cursor) return -1001;
  std::unique_ptr<CdaState> state;
  {
    std::lock_guard<std::mutex> lock(Mutex());
    auto it = Cdas().find(cursor);
    if (it != Cdas().end()) {
      state = std::move(it->second);
      Cdas().erase(it);
    }
  }
  if (!state) return Report(cursor, kFcClose, 1001);
  state.reset();
  cursor->fc = kFcClose;
  cursor->rc = 0;
  cursor->v2_rc = 0;
  return 0;
}

OCISIM_DECL7 sword oparse(Cda_Def* cursor, OraText* sqlstm, sb4 sqllen, sword defflg, ub4) {
  CdaState* c = FindCda(cursor);
  if (!c) return cursor ? Report(cursor, kFcParse, 1001) : -1001;
  return Run(cursor, kFcParse, [&]() -> sword {
    if (!sqlstm) ThrowOra(1009);
    c->text = sqllen < 0 ? std::string(reinterpret_cast<const char*>(sqlstm))
                         : std::string(reinterpret_cast<const char*>(sqlstm), static_cast<size_t>(sqllen));
    c->binds.clear();
    c->defines.clear();
    c->executed = false;
    c->ended = false;
    c->parsed = true;
    cursor->rpc = 0;
    if (LdaState* l = FindLda(c->lda)) ++l->parses;
    CountPrepare();
    NotePrepared(c->text);
    // A deferred parse goes to the server with the describe or execute.
    ServerSession& s = SessionOf(c);
    if (defflg == 0) RoundTrip(Trip::kDescribe, ConnectionOf(c), &s);
    c->cursor->Prepare(c->text);
    if (defflg == 0) {
      int type = StatementTypeOf(c->text);
      // An immediate parse runs DDL at once and checks everything else.
      if (type == OCI_STMT_CREATE || type == OCI_STMT_DROP || type == OCI_STMT_ALTER) {
        c->cursor->Execute({});
        c->executed = true;
      } else {
        c->cursor->Validate();
      }
    }
    return Report(cursor, kFcParse, 0);
  });
}

namespace {

sword BindByName(Cda_Def* cursor, ub1 fc, OraText* sqlvar, sword sqlvl, ub1* progv, sword progvl, sword ftype, sb2* indp,
                 ub2* alen, ub2* arcode) {
  CdaState* c = FindCda(cursor);
  if (!c) return cursor ? Report(cursor, fc, 1001) : -1001;
  return Run(cursor, fc, [&]() -> sword {
    if (!c->parsed) ThrowOra(1003);
    std::string name = Upper(Arg(sqlvar, sqlvl));
    if (!name.empty() && name[0] == ':') name.erase(0, 1);
    bool found = false;
    for (const auto& n : PlaceholdersOf(c->text)) found = found || n == name;
    if (!found) ThrowOra(1036);
    c->binds[name] = Bind7{progv, progvl, ftype, indp, alen, arcode};
    return Report(cursor, fc, 0);
  });
}

}  // namespace

OCISIM_DECL7 sword obndrv(Cda_Def* cursor, OraText* sqlvar, sword sqlvl, ub1* progv, sword progvl, sword ftype, sword,
                          sb2* indp, OraText*, sword, sword) {
  return BindByName(cursor, kFcBndrv, sqlvar, sqlvl, progv, progvl, ftype, indp, nullptr, nullptr);
}

OCISIM_DECL7 sword obndra(Cda_Def* cursor, OraText* sqlvar, sword sqlvl, ub1* progv, sword progvl, sword ftype, sword,
                          sb2* indp, ub2* alen, ub2* arcode, ub4, ub4*, OraText*, sword, sword) {
  return BindByName(cursor, kFcBndra, sqlvar, sqlvl, progv, progvl, ftype, indp, alen, arcode);
}

OCISIM_DECL7 sword odescr(Cda_Def* cursor, sword pos, sb4* dbsize, sb2* dbtype, sb1* cbuf, sb4* cbufl, sb4* dsize,
                          sb2* prec, sb2* scale, sb2* nullok) {
  CdaState* c = FindCda(cursor);
  if (!c) return cursor ? Report(cursor, kFcDescr, 1001) : -1001;
  return Run(cursor, kFcDescr, [&]() -> sword {
    ServerSession& s = SessionOf(c);
    if (!c->parsed) ThrowOra(1003);
    if (!c->cursor->executed()) {
      RoundTrip(Trip::kDescribe, ConnectionOf(c), &s);
      c->cursor->Execute({}, true);
    }
    const auto& cols = c->cursor->Columns();
    if (pos < 1 || static_cast<size_t>(pos) > cols.size()) return Report(cursor, kFcDescr, 1007);
    const ColumnInfo& col = cols[pos - 1];
    if (dbsize) *dbsize = col.size;
    if (dbtype) *dbtype = static_cast<sb2>(col.type);
    if (cbuf && cbufl) {
      size_t n = col.name.size() < static_cast<size_t>(*cbufl) ? col.name.size() : static_cast<size_t>(*cbufl);
      std::memcpy(cbuf, col.name.data(), n);
      *cbufl = static_cast<sb4>(n);
    } else if (cbufl) {
      *cbufl = static_cast<sb4>(col.name.size());
    }
    if (dsize) *dsize = col.type == kNumber ? 40 : col.type == kDate ? 9 : col.size;
    if (prec) *prec = static_cast<sb2>(col.precision);
    if (scale) *scale = static_cast<sb2>(col.scale);
    if (nullok) *nullok = col.nullable ? 1 : 0;
    return Report(cursor, kFcDescr, 0);
  });
}

OCISIM_DECL7 sword odefin(Cda_Def* cursor, sword pos, ub1* buf, sword bufl, sword ftype, sword, sb2* indp, OraText*,
                          sword, sword, ub2* rlen, ub2* rcode) {
  CdaState* c = FindCda(cursor);
  if (!c) return cursor ? Report(cursor, kFcDefin, 1001) : -1001;
  return Run(cursor, kFcDefin, [&]() -> sword {
    if (!c->parsed) ThrowOra(1003);
    if (pos < 1) ThrowOra(1007);
    if (c->defines.size() < static_cast<size_t>(pos)) c->defines.resize(pos);
    c->defines[pos - 1] = Define7{buf, bufl, ftype, indp, rlen, rcode, true};
    return Report(cursor, kFcDefin, 0);
  });
}

OCISIM_DECL7 sword oexec(Cda_Def* cursor) {
  CdaState* c = FindCda(cursor);
  if (!c) return cursor ? Report(cursor, kFcExec, 1001) : -1001;
  return Run(cursor, kFcExec, [&]() -> sword {
    ExecuteCda(cursor, c, 1, 0);
    return Report(cursor, kFcExec, 0);
  });
}

OCISIM_DECL7 sword oexn(Cda_Def* cursor, sword iters, sword rowoff) {
  CdaState* c = FindCda(cursor);
  if (!c) return cursor ? Report(cursor, kFcExec, 1001) : -1001;
  return Run(cursor, kFcExec, [&]() -> sword {
    if (iters < 1 || rowoff < 0) ThrowOra(24333);
    ExecuteCda(cursor, c, iters, rowoff);
    return Report(cursor, kFcExec, 0);
  });
}

OCISIM_DECL7 sword oexfet(Cda_Def* cursor, ub4 nrows, sword cancel, sword exact) {
  CdaState* c = FindCda(cursor);
  if (!c) return cursor ? Report(cursor, kFcExfet, 1001) : -1001;
  return Run(cursor, kFcExfet, [&]() -> sword {
    ExecuteCda(cursor, c, 1, 0);
    if (!c->cursor->IsQuery()) return Report(cursor, kFcExfet, 0);
    int code = FetchCda(cursor, c, static_cast<int>(nrows));
    if (exact && code == 0 && c->cursor->Fetch()) {
      c->cursor->Close();
      ThrowOra(1422);
    }
    if (cancel) {
      c->cursor->Close();
      c->ended = true;
    }
    return Report(cursor, kFcExfet, code);
  });
}

OCISIM_DECL7 sword ofen(Cda_Def* cursor, sword nrows) {
  CdaState* c = FindCda(cursor);
  if (!c) return cursor ? Report(cursor, kFcFetch, 1001) : -1001;
  return Run(cursor, kFcFetch, [&]() -> sword {
    // OCI7 keeps no row cache: each call asks the server, unless the last
    // one already brought the end.
    if (!c->ended) RoundTrip(Trip::kFetch, ConnectionOf(c), c->session);
    return Report(cursor, kFcFetch, FetchCda(cursor, c, nrows < 1 ? 1 : nrows));
  });
}

OCISIM_DECL7 sword ofetch(Cda_Def* cursor) { return ofen(cursor, 1); }

OCISIM_DECL7 sword oflng(Cda_Def* cursor, sword pos, ub1* buf, sb4 bufl, sword dtype, ub4* retl, sb4 offset) {
  CdaState* c = FindCda(cursor);
  if (!c) return cursor ? Report(cursor, kFcFlng, 1001) : -1001;
  return Run(cursor, kFcFlng, [&]() -> sword {
    if (!c->executed || !c->cursor || !c->cursor->IsQuery() || c->ended) ThrowOra(1002);
    RoundTrip(Trip::kLongPiece, ConnectionOf(c), c->session);
    const auto& cols = c->cursor->Columns();
    if (pos < 1 || static_cast<size_t>(pos) > cols.size()) ThrowOra(1007);
    if (bufl < 0 || offset < 0) ThrowOra(1009);
    Value v = c->cursor->ColumnValue(pos - 1);
    std::string data = (dtype == SQLT_LBI || dtype == SQLT_BIN) && (v.kind == Value::Blob || v.kind == Value::Text)
                           ? v.s
                           : ValueText(v, cols[pos - 1].type);
    size_t from = static_cast<size_t>(offset) < data.size() ? static_cast<size_t>(offset) : data.size();
    size_t n = data.size() - from < static_cast<size_t>(bufl) ? data.size() - from : static_cast<size_t>(bufl);
    if (buf && n) std::memcpy(buf, data.data() + from, n);
    if (retl) *retl = static_cast<ub4>(n);
    return Report(cursor, kFcFlng, 0);
  });
}

OCISIM_DECL7 sword ocan(Cda_Def* cursor) {
  CdaState* c = FindCda(cursor);
  if (!c) return cursor ? Report(cursor, kFcCan, 1001) : -1001;
  if (c->cursor) c->cursor->Close();
  c->ended = true;
  return Report(cursor, kFcCan, 0);
}

namespace {

template <class F>
sword OnLda(Lda_Def* lda, F&& body) {
  // body(session, logon, connection)
  LdaState* l = FindLda(lda);
  if (!l) {
    if (lda) {
      lda->rc = 1012;
      lda->v2_rc = -1012;
    }
    return -1012;
  }
  return Run(lda, 0, [&]() -> sword {
    ServerSession* s = l->session();
    if (!s) ThrowOra(1012);
    body(*s, *l, l->connection());
    return Report(lda, 0, 0);
  });
}

}  // namespace

OCISIM_DECL7 sword ocom(Lda_Def* lda) {
  return OnLda(lda, [](ServerSession& s, LdaState&, Link* link) {
    RoundTrip(Trip::kCommit, link, &s);
    s.CheckAlive();
    s.Commit();
  });
}

OCISIM_DECL7 sword orol(Lda_Def* lda) {
  return OnLda(lda, [](ServerSession& s, LdaState&, Link* link) {
    RoundTrip(Trip::kRollback, link, &s);
    s.Rollback();
    s.CheckAlive();
  });
}

OCISIM_DECL7 sword ocon(Lda_Def* lda) {
  return OnLda(lda, [](ServerSession&, LdaState& l, Link*) { l.autocommit = true; });
}

OCISIM_DECL7 sword ocof(Lda_Def* lda) {
  return OnLda(lda, [](ServerSession&, LdaState& l, Link*) { l.autocommit = false; });
}

OCISIM_DECL7 sword obreak(Lda_Def* lda) {
  return OnLda(lda, [](ServerSession& s, LdaState&, Link* link) {
    RoundTrip(Trip::kOther, link, &s);
    s.Interrupt();
  });
}

OCISIM_DECL7 sword oerhms(Lda_Def* lda, sb2 rcode, OraText* buf, sword bufsiz) {
  if (!buf || bufsiz <= 0) return 0;
  std::string text;
  if (LdaState* l = FindLda(lda); l && l->last_code == rcode && !l->last_text.empty()) text = l->last_text;
  else text = OraMessage(rcode);
  text += "\n";
  size_t n = text.size() < static_cast<size_t>(bufsiz - 1) ? text.size() : static_cast<size_t>(bufsiz - 1);
  std::memcpy(buf, text.data(), n);
  buf[n] = 0;
  return static_cast<sword>(n);
}

// Cursors first: they point into the sessions of their logon areas.
void ocisim::ReleaseOci7Areas() {
  std::unique_ptr<CdaMap> cdas;
  std::unique_ptr<LdaMap> ldas;
  {
    std::lock_guard<std::mutex> lock(Mutex());
    cdas.reset(CdaSlot());
    ldas.reset(LdaSlot());
    CdaSlot() = nullptr;
    LdaSlot() = nullptr;
  }
  cdas.reset();
  ldas.reset();
}
