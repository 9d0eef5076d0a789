// OCI8 environment, handle, descriptor, attribute and error entry points.
#include "call_guard.h"
#include "exports.h"
#include "handles.h"

#include <cstring>

using namespace ocisim;

namespace {

// Writes an attribute value of exactly the documented width.
template <class T>
void Put(void* attributep, ub4* sizep, T value) {
  if (attributep) std::memcpy(attributep, &value, sizeof(T));
  if (sizep) *sizep = sizeof(T);
}

void PutText(void* attributep, ub4* sizep, const std::string& text) {
  if (attributep) *static_cast<const OraText**>(attributep) = reinterpret_cast<const OraText*>(text.c_str());
  if (sizep) *sizep = static_cast<ub4>(text.size());
}

sword NewEnv(OCIEnv** envp, ub4 mode) {
  if (!envp) return OCI_INVALID_HANDLE;
  try {
    auto* env = new EnvH(mode);
    RegisterHandle(env);
    *envp = reinterpret_cast<OCIEnv*>(env);
    return OCI_SUCCESS;
  } catch (...) {
    *envp = nullptr;
    return OCI_ERROR;
  }
}

}  // namespace

OCISIM_DECL8 sword OCIInitialize(ub4, void*, void* (*)(void*, size_t), void* (*)(void*, void*, size_t),
                                 void (*)(void*, void*)) {
  return OCI_SUCCESS;
}

OCISIM_DECL8 sword OCIEnvInit(OCIEnv** envp, ub4 mode, size_t, void** usrmempp) {
  if (usrmempp) *usrmempp = nullptr;
  return NewEnv(envp, mode);
}

OCISIM_DECL8 sword OCIEnvCreate(OCIEnv** envp, ub4 mode, void*, void* (*)(void*, size_t),
                                void* (*)(void*, void*, size_t), void (*)(void*, void*), size_t, void** usrmempp) {
  if (usrmempp) *usrmempp = nullptr;
  return NewEnv(envp, mode);
}

OCISIM_DECL8 sword OCITerminate(ub4) { return OCI_SUCCESS; }

OCISIM_DECL8 sword OCIHandleAlloc(const void* parenth, void** hndlpp, const ub4 type, const size_t, void** usrmempp) {
  auto* env = Find<EnvH>(parenth, OCI_HTYPE_ENV);
  if (!env || !hndlpp) return OCI_INVALID_HANDLE;
  if (usrmempp) *usrmempp = nullptr;
  try {
    HandleBase* h = NewHandle(env, type);
    *hndlpp = h;
    if (!h) {
      env->records = {ErrorRecord{24315, OraMessage(24315)}};
      return OCI_ERROR;
    }
    return OCI_SUCCESS;
  } catch (...) {
    *hndlpp = nullptr;
    return OCI_ERROR;
  }
}

OCISIM_DECL8 sword OCIHandleFree(void* hndlp, const ub4 type) {
  HandleBase* h = FindHandle(hndlp, type);
  if (!h) return OCI_INVALID_HANDLE;
  try {
    DestroyHandle(h);
  } catch (...) {
    return OCI_ERROR;
  }
  return OCI_SUCCESS;
}

OCISIM_DECL8 sword OCIDescriptorAlloc(const void* parenth, void** descpp, const ub4 type, const size_t, void** usrmempp) {
  auto* env = Find<EnvH>(parenth, OCI_HTYPE_ENV);
  if (!env || !descpp) return OCI_INVALID_HANDLE;
  if (usrmempp) *usrmempp = nullptr;
  // Only parameter descriptors exist in the stand-in; LOB, ROWID and date
  // descriptors belong to features it does not offer.
  if (type != OCI_DTYPE_PARAM) {
    *descpp = nullptr;
    env->records = {ErrorRecord{3001, OraMessage(3001)}};
    return OCI_ERROR;
  }
  auto* p = new ParamH(OCI_DTYPE_PARAM, env);
  RegisterHandle(p);
  *descpp = p;
  return OCI_SUCCESS;
}

OCISIM_DECL8 sword OCIDescriptorFree(void* descp, const ub4 type) {
  HandleBase* h = FindHandle(descp, OCI_DTYPE_PARAM);
  if (!h || (type != OCI_DTYPE_PARAM && type != OCI_HTYPE_DESCRIBE)) return OCI_INVALID_HANDLE;
  DestroyHandle(h);
  return OCI_SUCCESS;
}

OCISIM_DECL8 sword OCIErrorGet(void* hndlp, ub4 recordno, OraText* sqlstate, sb4* errcodep, OraText* bufp, ub4 bufsiz,
                               ub4 type) {
  const std::vector<ErrorRecord>* records = nullptr;
  if (type == OCI_HTYPE_ERROR) {
    if (auto* e = Find<ErrorH>(hndlp, OCI_HTYPE_ERROR)) records = &e->records;
  } else if (type == OCI_HTYPE_ENV) {
    if (auto* e = Find<EnvH>(hndlp, OCI_HTYPE_ENV)) records = &e->records;
  }
  if (!records) return OCI_INVALID_HANDLE;
  if (sqlstate) sqlstate[0] = 0;
  if (recordno < 1 || recordno > records->size()) return OCI_NO_DATA;
  const ErrorRecord& r = (*records)[recordno - 1];
  if (errcodep) *errcodep = r.code;
  if (bufp && bufsiz > 0) {
    std::string text = r.text + "\n";
    size_t n = text.size() < bufsiz - 1 ? text.size() : bufsiz - 1;
    std::memcpy(bufp, text.data(), n);
    bufp[n] = 0;
  }
  return OCI_SUCCESS;
}

OCISIM_DECL8 sword OCIAttrSet(void* trgthndlp, ub4 trghndltyp, void* attributep, ub4 size, ub4 attrtype,
                              OCIError* errhp) {
  HandleBase* h = FindHandle(trgthndlp, trghndltyp);
  if (!h) return OCI_INVALID_HANDLE;
  auto* err = Find<ErrorH>(errhp, OCI_HTYPE_ERROR);
  return Guarded(err, [&]() -> sword {
    auto text = [&] {
      return attributep ? std::string(static_cast<const char*>(attributep), size) : std::string();
    };
    switch (trghndltyp) {
      case OCI_HTYPE_SVCCTX: {
        auto* svc = static_cast<SvcCtxH*>(h);
        if (attrtype == OCI_ATTR_SERVER) {
          auto* srv = Find<ServerH>(attributep, OCI_HTYPE_SERVER);
          if (attributep && !srv) return OCI_INVALID_HANDLE;
          svc->server = srv;
          return OCI_SUCCESS;
        }
        if (attrtype == OCI_ATTR_SESSION) {
          auto* ses = Find<SessionH>(attributep, OCI_HTYPE_SESSION);
          if (attributep && !ses) return OCI_INVALID_HANDLE;
          svc->session = ses;
          return OCI_SUCCESS;
        }
        if (attrtype == OCI_ATTR_TRANS) return OCI_SUCCESS;
        break;
      }
      case OCI_HTYPE_SESSION: {
        auto* ses = static_cast<SessionH*>(h);
        if (attrtype == OCI_ATTR_USERNAME) { ses->username = text(); return OCI_SUCCESS; }
        if (attrtype == OCI_ATTR_PASSWORD) { ses->password = text(); return OCI_SUCCESS; }
        if (attrtype == 278 /* client identifier */) return OCI_SUCCESS;
        break;
      }
      case OCI_HTYPE_STMT: {
        auto* st = static_cast<StmtH*>(h);
        if (attrtype == OCI_ATTR_PREFETCH_ROWS) {
          if (attributep) std::memcpy(&st->prefetch, attributep, sizeof(ub4));
          return OCI_SUCCESS;
        }
        if (attrtype == OCI_ATTR_PREFETCH_MEMORY) {
          if (attributep) std::memcpy(&st->prefetch_memory, attributep, sizeof(ub4));
          return OCI_SUCCESS;
        }
        if (attrtype == 12) return OCI_SUCCESS;
        break;
      }
      case OCI_HTYPE_SERVER:
        if (attrtype == 3 /* non-blocking mode */) ThrowOra(3001);
        if (attrtype == 25 || attrtype == 26) return OCI_SUCCESS;  // internal/external name
        break;
      case OCI_HTYPE_BIND:
      case OCI_HTYPE_DEFINE:
        if (attrtype == OCI_ATTR_CHARSET_ID || attrtype == OCI_ATTR_CHARSET_FORM || attrtype == 33) return OCI_SUCCESS;
        break;
      default: break;
    }
    ThrowOra(24315);
  });
}

OCISIM_DECL8 sword OCIAttrGet(const void* trgthndlp, ub4 trghndltyp, void* attributep, ub4* sizep, ub4 attrtype,
                              OCIError* errhp) {
  // Parameter descriptors are asked for with either descriptor or describe type.
  ub4 lookup = trghndltyp == OCI_HTYPE_DESCRIBE ? OCI_DTYPE_PARAM : trghndltyp;
  HandleBase* h = FindHandle(trgthndlp, lookup);
  if (!h && trghndltyp == OCI_HTYPE_DESCRIBE) h = FindHandle(trgthndlp, OCI_HTYPE_DESCRIBE);
  if (!h) return OCI_INVALID_HANDLE;
  auto* err = Find<ErrorH>(errhp, OCI_HTYPE_ERROR);
  return Guarded(err, [&]() -> sword {
    if (attrtype == OCI_ATTR_ENV && h->type != OCI_DTYPE_PARAM) {
      Put<void*>(attributep, sizep, h->env);
      return OCI_SUCCESS;
    }
    switch (h->type) {
      case OCI_HTYPE_ENV:
        // The client side speaks UTF8 (the stand-in's text is UTF-8 bytes),
        // as the parameter descriptors say.
        if (attrtype == OCI_ATTR_CHARSET_ID || attrtype == OCI_ATTR_NCHARSET_ID) {
          Put<ub2>(attributep, sizep, 871);
          return OCI_SUCCESS;
        }
        break;
      case OCI_DTYPE_PARAM: {
        const ColumnInfo& c = static_cast<ParamH*>(h)->column;
        switch (attrtype) {
          case OCI_ATTR_DATA_SIZE: Put<ub2>(attributep, sizep, static_cast<ub2>(c.size)); return OCI_SUCCESS;
          case OCI_ATTR_DATA_TYPE: Put<ub2>(attributep, sizep, static_cast<ub2>(c.type)); return OCI_SUCCESS;
          case OCI_ATTR_DISP_SIZE: {
            int disp = c.type == kNumber ? 40 : c.type == kDate ? 9 : c.size;
            Put<ub2>(attributep, sizep, static_cast<ub2>(disp));
            return OCI_SUCCESS;
          }
          case OCI_ATTR_NAME: PutText(attributep, sizep, c.name); return OCI_SUCCESS;
          case OCI_ATTR_PRECISION: Put<sb2>(attributep, sizep, static_cast<sb2>(c.precision)); return OCI_SUCCESS;
          case OCI_ATTR_SCALE: Put<sb1>(attributep, sizep, static_cast<sb1>(c.scale)); return OCI_SUCCESS;
          case OCI_ATTR_IS_NULL: Put<ub1>(attributep, sizep, c.nullable ? 1 : 0); return OCI_SUCCESS;
          case 8:
          case 9: {
            // Type and schema names belong to object columns, which the stand-in has none of.
            static const std::string kNone;
            PutText(attributep, sizep, kNone);
            return OCI_SUCCESS;
          }
          case OCI_ATTR_CHARSET_ID: Put<ub2>(attributep, sizep, 871); return OCI_SUCCESS;  // UTF8
          case OCI_ATTR_CHARSET_FORM:
            Put<ub1>(attributep, sizep, c.type == kVarchar2 || c.type == kChar || c.type == kLong || c.type == kClob ? 1 : 0);
            return OCI_SUCCESS;
          case OCI_ATTR_CHAR_USED: Put<ub1>(attributep, sizep, 0); return OCI_SUCCESS;
          case OCI_ATTR_CHAR_SIZE:
            Put<ub2>(attributep, sizep, static_cast<ub2>(c.type == kVarchar2 || c.type == kChar ? c.size : 0));
            return OCI_SUCCESS;
          default: break;
        }
        break;
      }
      case OCI_HTYPE_STMT: {
        auto* st = static_cast<StmtH*>(h);
        switch (attrtype) {
          case OCI_ATTR_ROW_COUNT: Put<ub4>(attributep, sizep, st->row_count); return OCI_SUCCESS;
          case OCI_ATTR_ROWS_FETCHED: Put<ub4>(attributep, sizep, st->rows_fetched); return OCI_SUCCESS;
          case OCI_ATTR_STMT_TYPE: Put<ub2>(attributep, sizep, static_cast<ub2>(st->stmt_type)); return OCI_SUCCESS;
          case OCI_ATTR_SQLFNCODE: {
            static const ub2 kCodes[] = {0, 4, 5, 9, 3, 1, 8, 26, 34, 34, 34};
            ub2 code = st->stmt_type >= 0 && st->stmt_type <= 10 ? kCodes[st->stmt_type] : 0;
            Put<ub2>(attributep, sizep, code);
            return OCI_SUCCESS;
          }
          case OCI_ATTR_PARAM_COUNT:
            if (!st->cursor || !st->cursor->executed()) ThrowOra(24338);
            Put<ub4>(attributep, sizep, static_cast<ub4>(st->cursor->Columns().size()));
            return OCI_SUCCESS;
          case OCI_ATTR_STATEMENT: PutText(attributep, sizep, st->text); return OCI_SUCCESS;
          case OCI_ATTR_PREFETCH_ROWS: Put<ub4>(attributep, sizep, st->prefetch); return OCI_SUCCESS;
          case OCI_ATTR_PREFETCH_MEMORY: Put<ub4>(attributep, sizep, st->prefetch_memory); return OCI_SUCCESS;
          case OCI_ATTR_BIND_COUNT:
            Put<ub4>(attributep, sizep, st->cursor ? static_cast<ub4>(st->cursor->Placeholders().size()) : 0);
            return OCI_SUCCESS;
          case OCI_ATTR_STMT_STATE: {
            ub4 state = !st->prepared ? 0 : st->end_of_fetch ? 3 : st->cursor && st->cursor->executed() ? 2 : 1;
            Put<ub4>(attributep, sizep, state);
            return OCI_SUCCESS;
          }
          default: break;
        }
        break;
      }
      case OCI_HTYPE_SERVER:
        if (attrtype == OCI_ATTR_SERVER_STATUS) {
          Put<ub4>(attributep, sizep, static_cast<ServerH*>(h)->database ? 1 : 0);
          return OCI_SUCCESS;
        }
        break;
      case OCI_HTYPE_SVCCTX: {
        auto* svc = static_cast<SvcCtxH*>(h);
        if (attrtype == OCI_ATTR_SERVER) { Put<void*>(attributep, sizep, svc->server); return OCI_SUCCESS; }
        if (attrtype == OCI_ATTR_SESSION) { Put<void*>(attributep, sizep, svc->session); return OCI_SUCCESS; }
        break;
      }
      case OCI_HTYPE_SESSION: {
        auto* ses = static_cast<SessionH*>(h);
        if (attrtype == OCI_ATTR_USERNAME) { PutText(attributep, sizep, ses->username); return OCI_SUCCESS; }
        break;
      }
      case OCI_HTYPE_ERROR:
        if (attrtype == OCI_ATTR_PARSE_ERROR_OFFSET) {
          Put<ub2>(attributep, sizep, static_cast<ErrorH*>(h)->parse_offset);
          return OCI_SUCCESS;
        }
        break;
      default: break;
    }
    ThrowOra(24315);
  });
}
