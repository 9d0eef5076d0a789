// OCI8 statements: prepare, bind by name/position, define by position (also
// dynamic, for LONG pieces), execute, fetch in arrays, and the select-list
// describe through parameter descriptors.
#include "call_guard.h"
#include "convert.h"
#include "exports.h"
#include "handles.h"
#include "parse_offset.h"
#include "round_trips.h"
#include "statement_repeats.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <cstring>

using namespace ocisim;

namespace ocisim {
ServerSession& LiveSession(SvcCtxH* svc);
}

namespace {

std::string UpperName(std::string s) {
  if (!s.empty() && s[0] == ':') s.erase(0, 1);
  for (auto& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

Value BindValue(const BindH* b, ub4 iter) {
  ub4 skip = b->elem_skip ? b->elem_skip : static_cast<ub4>(b->value_sz);
  if (b->indp) {
    sb2 ind;
    std::memcpy(&ind, static_cast<const char*>(b->indp) + iter * sizeof(sb2), sizeof ind);
    if (ind < 0) return Value::MakeNull();
  }
  const char* p = static_cast<const char*>(b->valuep);
  if (!p) return Value::MakeNull();
  sb4 len = b->alenp ? b->alenp[iter] : b->value_sz;
  return ConvertIn(b->dty, p + static_cast<size_t>(iter) * skip, len);
}

BindValues CollectBinds(StmtH* st, ub4 iter) {
  BindValues values;
  const auto& names = st->cursor->Placeholders();
  for (const BindH* b : st->binds) {
    std::string name = b->name;
    if (name.empty()) {
      if (b->position == 0 || b->position > names.size()) ThrowOra(1036);
      name = names[b->position - 1];
    }
    values[name] = BindValue(b, iter);
  }
  return values;
}

// Hands PL/SQL OUT values back to their bind buffers.
void WriteOutBinds(StmtH* st) {
  const auto& outs = st->cursor->OutBinds();
  if (outs.empty()) return;
  const auto& names = st->cursor->Placeholders();
  for (BindH* b : st->binds) {
    std::string name = !b->name.empty() ? b->name : b->position && b->position <= names.size() ? names[b->position - 1] : "";
    auto it = outs.find(name);
    if (it == outs.end() || !b->valuep) continue;
    OutResult r = ConvertOut(it->second, kVarchar2, b->dty, b->valuep, b->value_sz);
    if (b->indp) *static_cast<sb2*>(b->indp) = r.indicator;
    if (b->alenp) b->alenp[0] = static_cast<ub2>(r.length);
    if (b->rcodep) b->rcodep[0] = r.rcode;
  }
}

// Writes indicator, returned length and column return code of one row.
void StoreResult(DefineH* d, ub4 row, const OutResult& r, bool is_null) {
  if (d->indp) {
    ub4 s = d->ind_skip ? d->ind_skip : sizeof(sb2);
    std::memcpy(static_cast<char*>(d->indp) + static_cast<size_t>(row) * s, &r.indicator, sizeof(sb2));
  }
  if (d->rlenp && !is_null) {
    ub4 s = d->rlen_skip ? d->rlen_skip : sizeof(ub2);
    ub2 len = static_cast<ub2>(r.length);
    std::memcpy(reinterpret_cast<char*>(d->rlenp) + static_cast<size_t>(row) * s, &len, sizeof(ub2));
  }
  if (d->rcodep) {
    ub4 s = d->rcode_skip ? d->rcode_skip : sizeof(ub2);
    std::memcpy(reinterpret_cast<char*>(d->rcodep) + static_cast<size_t>(row) * s, &r.rcode, sizeof(ub2));
  }
}

// Delivers a LONG (or any) value through the define's callback in pieces.
sword DeliverPieces(DefineH* d, ub4 row, const Value& v, int column_type) {
  std::string data = v.IsNull() ? std::string() : ValueText(v, column_type);
  size_t offset = 0;
  ub1 piece = OCI_FIRST_PIECE;
  for (int guard = 0; guard < 1000000; ++guard) {
    void* bufp = nullptr;
    ub4* alenp = nullptr;
    void* indp = nullptr;
    ub2* rcodep = nullptr;
    sb4 rc = d->callback(d->octxp, reinterpret_cast<OCIDefine*>(d), row, &bufp, &alenp, &piece, &indp, &rcodep);
    if (rc != OCI_CONTINUE) return rc;
    ub4 room = alenp ? *alenp : 0;
    size_t n = data.size() - offset < room ? data.size() - offset : room;
    if (bufp && n) std::memcpy(bufp, data.data() + offset, n);
    offset += n;
    if (alenp) *alenp = static_cast<ub4>(n);
    if (indp) *static_cast<sb2*>(indp) = v.IsNull() ? -1 : 0;
    if (rcodep) *rcodep = v.IsNull() ? 1405 : 0;
    if (offset >= data.size()) return OCI_SUCCESS;
    if (room == 0) ThrowOra(1406);  // the callback gives no room: the value cannot be delivered
    piece = OCI_NEXT_PIECE;
    RoundTrip(Trip::kLongPiece, LinkOf(d->stmt->svc), d->stmt->session);  // the first piece came with the fetch
  }
  ThrowOra(1406);
}

// Rows the client reads ahead on a trip: the prefetch count, and when a
// prefetch memory is set, no more rows than fit it (a row as wide as its
// columns' described sizes), at least one.
ub4 ReadAheadRows(const StmtH* st) {
  const ub4 rows = std::max<ub4>(st->prefetch, 1);
  if (st->prefetch_memory == 0 || !st->cursor) return rows;
  size_t width = 0;
  for (const auto& column : st->cursor->Columns()) width += static_cast<size_t>(std::max(column.size, 1));
  if (width == 0) return rows;
  const size_t fit = std::max<size_t>(st->prefetch_memory / width, 1);
  return st->prefetch == 0 ? static_cast<ub4>(std::min<size_t>(fit, 0xffffffffu))
                           : static_cast<ub4>(std::min<size_t>(fit, rows));
}

// Counts the round trip a fetch call costs a real client: none while the rows
// it needs (and the news that there are no more) are in the client's cache;
// otherwise one, which brings the rows missing for the call or the prefetch
// count, whichever is more.  A server that sent exactly the rows asked for
// does not yet know that they were the last, so reaching the end on such a
// boundary costs one more trip, as with a real server.
void CountFetchTrip(StmtH* st, ub4 before, ub4 nrows, bool trip_made) {
  const ub4 after = st->row_count;
  bool needed = false;
  if (!st->server_end) needed = st->end_of_fetch ? st->rows_sent <= after : after > st->rows_sent;
  if (needed) {
    if (!trip_made) RoundTrip(Trip::kFetch, LinkOf(st->svc), st->session);
    const ub4 missing = before + nrows > st->rows_sent ? before + nrows - st->rows_sent : 0;
    st->rows_sent += std::max(missing, ReadAheadRows(st));
  }
  if (st->end_of_fetch) st->server_end = true;
}

// Fetches up to nrows rows into the defines. Returns OCI_NO_DATA when the
// rows ran out during this call (rows may still have arrived).  `trip_made`:
// the call that fetches already made its round trip (an execute).
sword FetchRows(StmtH* st, ErrorH* err, ub4 nrows, bool trip_made = false) {
  if (!st->cursor || !st->cursor->executed() || !st->cursor->IsQuery()) ThrowOra(1002);
  if (st->end_of_fetch) ThrowOra(1002);
  st->session->CheckAlive(/*throttled=*/true);
  const auto& cols = st->cursor->Columns();
  bool info = false;
  ub4 rows = 0;
  const ub4 before = st->row_count;
  st->rows_fetched = 0;
  try {
    for (; rows < nrows; ++rows) {
      if (!st->cursor->Fetch()) {
        st->end_of_fetch = true;
        break;
      }
      for (size_t c = 0; c < cols.size() && c < st->defines.size(); ++c) {
        DefineH* d = st->defines[c];
        if (!d) continue;
        ub4 vskip = d->value_skip ? d->value_skip : static_cast<ub4>(d->value_sz);
        void* buf = d->valuep ? static_cast<char*>(d->valuep) + static_cast<size_t>(rows) * vskip : nullptr;
        OutResult r;
        // Text and integers into character buffers, the common case of every
        // listing, go straight from SQLite's row to the buffer.
        int storage = st->cursor->ColumnStorage(static_cast<int>(c));
        bool fast = false;
        if (!(d->mode & OCI_DYNAMIC_FETCH)) {
          char text[40];
          if (storage == SQLITE_TEXT) {
            size_t n = 0;
            const char* p = st->cursor->ColumnChars(static_cast<int>(c), &n);
            if (cols[c].type != kDate) fast = PutChars(p, n, d->dty, buf, d->value_sz, &r);
            else if (size_t m = DefaultDateChars(p, n, text)) fast = PutChars(text, m, d->dty, buf, d->value_sz, &r);
          } else if (storage == SQLITE_INTEGER) {
            auto res = std::to_chars(text, text + sizeof text, st->cursor->ColumnInt(static_cast<int>(c)));
            fast = PutChars(text, static_cast<size_t>(res.ptr - text), d->dty, buf, d->value_sz, &r);
          } else if (storage == SQLITE_FLOAT) {
            if (size_t m = NumberChars(st->cursor->ColumnReal(static_cast<int>(c)), text, sizeof text))
              fast = PutChars(text, m, d->dty, buf, d->value_sz, &r);
          }
        }
        if (fast) {
          StoreResult(d, rows, r, false);
          if (r.rcode == 1406) info = true;
          continue;
        }
        Value v = st->cursor->ColumnValue(static_cast<int>(c));
        if (d->mode & OCI_DYNAMIC_FETCH) {
          if (!d->callback) ThrowOra(3001);  // polling piecewise fetch is not offered
          sword rc = DeliverPieces(d, rows, v, cols[c].type);
          if (rc != OCI_SUCCESS) return rc;
          continue;
        }
        if (v.IsNull() && !d->indp) ThrowOra(1405);
        r = ConvertOut(v, cols[c].type, d->dty, buf, d->value_sz);
        StoreResult(d, rows, r, v.IsNull());
        if (r.rcode == 1406) info = true;
      }
    }
  } catch (const OraFailure&) {
    // A row the server cannot produce ends the call with its error; the rows
    // before it arrived and count as fetched (OCI_ATTR_ROWS_FETCHED), as a
    // real client reports them.  The error came with an earlier trip when
    // the server had already sent the rows up to it; else it took one.
    st->rows_fetched = rows;
    st->row_count = before + rows;
    if (!st->server_end && before + rows >= st->rows_sent) {
      if (!trip_made) RoundTrip(Trip::kFetch, LinkOf(st->svc), st->session);
      st->rows_sent = before + rows;
    }
    throw;
  }
  st->rows_fetched = rows;
  st->row_count += rows;
  try {
    CountFetchTrip(st, before, nrows, trip_made);
  } catch (const OraFailure&) {
    // The trip to the server failed: only the rows the client had cached
    // arrived.
    const ub4 cached = st->rows_sent > before ? std::min(rows, st->rows_sent - before) : 0;
    st->rows_fetched = cached;
    st->row_count = before + cached;
    throw;
  }
  if (st->end_of_fetch) return OCI_NO_DATA;
  if (info) {
    SetRecord(err, 24345, OraMessage(24345));
    return OCI_SUCCESS_WITH_INFO;
  }
  return OCI_SUCCESS;
}

}  // namespace

OCISIM_DECL8 sword OCIStmtPrepare(OCIStmt* stmtp, OCIError* errhp, const OraText* stmt, ub4 stmt_len, ub4, ub4) {
  auto* st = Find<StmtH>(stmtp, OCI_HTYPE_STMT);
  auto* err = Find<ErrorH>(errhp, OCI_HTYPE_ERROR);
  if (!st || !err) return OCI_INVALID_HANDLE;
  return Guarded(err, [&]() -> sword {
    if (!stmt) ThrowOra(1009);
    st->text.assign(reinterpret_cast<const char*>(stmt), stmt_len);
    CountPrepare();
    NotePrepared(st->text);
    // Binds and defines belong to the previous statement text.
    for (auto* b : std::vector<BindH*>(st->binds)) DestroyHandle(b);
    for (auto* d : std::vector<DefineH*>(st->defines))
      if (d) DestroyHandle(d);
    st->defines.clear();
    st->cursor.reset();
    st->session = nullptr;
    st->prepared = true;
    st->end_of_fetch = false;
    st->row_count = st->rows_fetched = 0;
    // The statement type is known without a round trip: from the first keyword.
    st->stmt_type = StatementTypeOf(st->text);
    return OCI_SUCCESS;
  });
}

namespace {

sword Bind(StmtH* st, OCIBind** bindp, ErrorH* err, std::string name, ub4 position, void* valuep, sb4 value_sz,
           ub2 dty, void* indp, ub2* alenp, ub2* rcodep) {
  return Guarded(err, [&]() -> sword {
    if (!st->prepared) ThrowOra(24337);
    if (!name.empty()) {
      bool found = false;
      for (const auto& n : PlaceholdersOf(st->text)) found = found || n == name;
      if (!found) ThrowOra(1036);
    }
    BindH* b = nullptr;
    for (auto* x : st->binds)
      if ((!name.empty() && x->name == name) || (name.empty() && x->position == position)) b = x;
    if (!b) {
      b = new BindH(OCI_HTYPE_BIND, st->env);
      b->stmt = st;
      RegisterHandle(b);
      st->binds.push_back(b);
    }
    b->name = name;
    b->position = position;
    b->valuep = valuep;
    b->value_sz = value_sz;
    b->dty = dty;
    b->indp = indp;
    b->alenp = alenp;
    b->rcodep = rcodep;
    if (bindp) *bindp = reinterpret_cast<OCIBind*>(b);
    return OCI_SUCCESS;
  });
}

}  // namespace

OCISIM_DECL8 sword OCIBindByName(OCIStmt* stmtp, OCIBind** bindp, OCIError* errhp, const OraText* placeholder,
                                 sb4 placeh_len, void* valuep, sb4 value_sz, ub2 dty, void* indp, ub2* alenp,
                                 ub2* rcodep, ub4, ub4*, ub4) {
  auto* st = Find<StmtH>(stmtp, OCI_HTYPE_STMT);
  auto* err = Find<ErrorH>(errhp, OCI_HTYPE_ERROR);
  if (!st || !err) return OCI_INVALID_HANDLE;
  if (!placeholder) {
    SetRecord(err, 1036, OraMessage(1036));
    return OCI_ERROR;
  }
  std::string name = placeh_len < 0 ? reinterpret_cast<const char*>(placeholder)
                                    : std::string(reinterpret_cast<const char*>(placeholder), placeh_len);
  name = UpperName(name);
  if (name.empty()) {
    SetRecord(err, 1036, OraMessage(1036));
    return OCI_ERROR;
  }
  return Bind(st, bindp, err, name, 0, valuep, value_sz, dty, indp, alenp, rcodep);
}

OCISIM_DECL8 sword OCIBindByPos(OCIStmt* stmtp, OCIBind** bindp, OCIError* errhp, ub4 position, void* valuep,
                                sb4 value_sz, ub2 dty, void* indp, ub2* alenp, ub2* rcodep, ub4, ub4*, ub4) {
  auto* st = Find<StmtH>(stmtp, OCI_HTYPE_STMT);
  auto* err = Find<ErrorH>(errhp, OCI_HTYPE_ERROR);
  if (!st || !err) return OCI_INVALID_HANDLE;
  if (position == 0) {
    SetRecord(err, 1036, OraMessage(1036));
    return OCI_ERROR;
  }
  return Bind(st, bindp, err, "", position, valuep, value_sz, dty, indp, alenp, rcodep);
}

OCISIM_DECL8 sword OCIBindArrayOfStruct(OCIBind* bindp, OCIError* errhp, ub4 pvskip, ub4, ub4, ub4) {
  auto* b = Find<BindH>(bindp, OCI_HTYPE_BIND);
  auto* err = Find<ErrorH>(errhp, OCI_HTYPE_ERROR);
  if (!b || !err) return OCI_INVALID_HANDLE;
  b->elem_skip = pvskip;
  return OCI_SUCCESS;
}

OCISIM_DECL8 sword OCIDefineByPos(OCIStmt* stmtp, OCIDefine** defnp, OCIError* errhp, ub4 position, void* valuep,
                                  sb4 value_sz, ub2 dty, void* indp, ub2* rlenp, ub2* rcodep, ub4 mode) {
  auto* st = Find<StmtH>(stmtp, OCI_HTYPE_STMT);
  auto* err = Find<ErrorH>(errhp, OCI_HTYPE_ERROR);
  if (!st || !err) return OCI_INVALID_HANDLE;
  return Guarded(err, [&]() -> sword {
    if (!st->prepared) ThrowOra(24337);
    if (position == 0) ThrowOra(24334);
    if (st->defines.size() < position) st->defines.resize(position, nullptr);
    DefineH*& d = st->defines[position - 1];
    if (!d) {
      d = new DefineH(OCI_HTYPE_DEFINE, st->env);
      d->stmt = st;
      RegisterHandle(d);
    }
    d->position = position;
    d->valuep = valuep;
    d->value_sz = value_sz;
    d->dty = dty;
    d->indp = indp;
    d->rlenp = rlenp;
    d->rcodep = rcodep;
    d->mode = mode;
    if (defnp) *defnp = reinterpret_cast<OCIDefine*>(d);
    return OCI_SUCCESS;
  });
}

OCISIM_DECL8 sword OCIDefineDynamic(OCIDefine* defnp, OCIError* errhp, void* octxp, OCICallbackDefine ocbfp) {
  auto* d = Find<DefineH>(defnp, OCI_HTYPE_DEFINE);
  auto* err = Find<ErrorH>(errhp, OCI_HTYPE_ERROR);
  if (!d || !err) return OCI_INVALID_HANDLE;
  return Guarded(err, [&]() -> sword {
    if (!(d->mode & OCI_DYNAMIC_FETCH)) ThrowOra(1010);
    d->octxp = octxp;
    d->callback = ocbfp;
    return OCI_SUCCESS;
  });
}

OCISIM_DECL8 sword OCIDefineArrayOfStruct(OCIDefine* defnp, OCIError* errhp, ub4 pvskip, ub4 indskip, ub4 rlskip,
                                          ub4 rcskip) {
  auto* d = Find<DefineH>(defnp, OCI_HTYPE_DEFINE);
  auto* err = Find<ErrorH>(errhp, OCI_HTYPE_ERROR);
  if (!d || !err) return OCI_INVALID_HANDLE;
  d->value_skip = pvskip;
  d->ind_skip = indskip;
  d->rlen_skip = rlskip;
  d->rcode_skip = rcskip;
  return OCI_SUCCESS;
}

OCISIM_DECL8 sword OCIStmtExecute(OCISvcCtx* svchp, OCIStmt* stmtp, OCIError* errhp, ub4 iters, ub4 rowoff,
                                  const OCISnapshot*, OCISnapshot*, ub4 mode) {
  auto* svc = Find<SvcCtxH>(svchp, OCI_HTYPE_SVCCTX);
  auto* st = Find<StmtH>(stmtp, OCI_HTYPE_STMT);
  auto* err = Find<ErrorH>(errhp, OCI_HTYPE_ERROR);
  if (!svc || !st || !err) return OCI_INVALID_HANDLE;
  return Guarded(err, [&]() -> sword {
   try {
    ServerSession& session = LiveSession(svc);
    if (!st->prepared) ThrowOra(24337);
    bool describe_only = (mode & OCI_DESCRIBE_ONLY) != 0;
    bool query = st->stmt_type == OCI_STMT_SELECT;
    if (!query && !describe_only && iters == 0) ThrowOra(24333);  // the client refuses it itself
    // One trip, also when the server refuses the statement.
    RoundTrip(describe_only ? Trip::kDescribe : Trip::kExecute, LinkOf(svc), &session);
    if (!st->cursor || st->session != &session) {
      st->cursor = std::make_unique<Cursor>(session);
      st->session = &session;
      st->cursor->Prepare(st->text);
    }
    st->svc = svc;
    st->end_of_fetch = false;
    st->row_count = st->rows_fetched = 0;
    st->rows_sent = 0;
    st->server_end = false;
    for (auto* p : std::vector<ParamH*>(st->params)) DestroyHandle(p);
    if (query || describe_only) {
      st->cursor->Execute(CollectBinds(st, 0), describe_only);
      // A query's execute brings the first rows (the read-ahead) along.
      if (query && !describe_only && iters == 0) st->rows_sent = ReadAheadRows(st);
    } else {
      ub4 total = 0;
      for (ub4 i = 0; i < iters; ++i) {
        st->cursor->Execute(CollectBinds(st, rowoff + i));
        total += static_cast<ub4>(st->cursor->RowCount());
      }
      st->row_count = total;
      WriteOutBinds(st);
    }
    if (st->cursor->IsQuery() && !describe_only && iters > 0) {
      bool any_define = false;
      for (auto* d : st->defines) any_define = any_define || d;
      if (!any_define) ThrowOra(24374);
      sword rc = FetchRows(st, err, iters, /*trip_made=*/true);
      if (rc != OCI_SUCCESS) return rc;
    }
    if (mode & OCI_COMMIT_ON_SUCCESS) session.Commit();
    if (st->cursor->Warning()) {
      SetRecord(err, st->cursor->Warning(), OraMessage(st->cursor->Warning()));
      return OCI_SUCCESS_WITH_INFO;
    }
    return OCI_SUCCESS;
   } catch (const OraFailure& e) {
    // The server says where in the text it found the fault.
    err->parse_offset = static_cast<ub2>(ParseErrorOffset(st->text, e.code, e.what()));
    throw;
   }
  });
}

OCISIM_DECL8 sword OCIStmtFetch(OCIStmt* stmtp, OCIError* errhp, ub4 nrows, ub2 orientation, ub4) {
  auto* st = Find<StmtH>(stmtp, OCI_HTYPE_STMT);
  auto* err = Find<ErrorH>(errhp, OCI_HTYPE_ERROR);
  if (!st || !err) return OCI_INVALID_HANDLE;
  return Guarded(err, [&]() -> sword {
    if (!st->cursor || !st->session) ThrowOra(24338);
    if (orientation != OCI_FETCH_NEXT && orientation != 0) ThrowOra(3001);
    if (nrows == 0) {
      // Zero rows cancels the cursor (the server is told unless it is done).
      if (!st->server_end) RoundTrip(Trip::kOther, LinkOf(st->svc), st->session);
      st->cursor->Close();
      st->end_of_fetch = true;
      return OCI_SUCCESS;
    }
    return FetchRows(st, err, nrows);
  });
}

OCISIM_DECL8 sword OCIStmtFetch2(OCIStmt* stmtp, OCIError* errhp, ub4 nrows, ub2 orientation, sb4, ub4 mode) {
  return OCIStmtFetch(stmtp, errhp, nrows, orientation, mode);
}

OCISIM_DECL8 sword OCIParamGet(const void* hndlp, ub4 htype, OCIError* errhp, void** parmdpp, ub4 pos) {
  auto* st = Find<StmtH>(hndlp, OCI_HTYPE_STMT);
  auto* err = Find<ErrorH>(errhp, OCI_HTYPE_ERROR);
  if (!st || htype != OCI_HTYPE_STMT || !err || !parmdpp) return OCI_INVALID_HANDLE;
  return Guarded(err, [&]() -> sword {
    if (!st->cursor || !st->cursor->executed()) ThrowOra(24338);
    const auto& cols = st->cursor->Columns();
    if (pos < 1 || pos > cols.size()) ThrowOra(24334);
    auto* p = new ParamH(OCI_DTYPE_PARAM, st->env);
    p->stmt = st;
    p->column = cols[pos - 1];
    RegisterHandle(p);
    st->params.push_back(p);
    *parmdpp = p;
    return OCI_SUCCESS;
  });
}
