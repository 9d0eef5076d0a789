// The stand-in's OCI handles and the registry that validates them. Every entry
// point looks a handle up in the registry before touching it, so a NULL, freed
// or foreign pointer gives OCI_INVALID_HANDLE instead of a crash.
#pragma once

#include "executor.h"
#include "fault_injection.h"
#include "ocisim/oci_types.h"
#include "server_session.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace ocisim {

struct EnvH;

struct HandleBase {
  ub4 type;
  EnvH* env;
  explicit HandleBase(ub4 t, EnvH* e) : type(t), env(e) {}
  virtual ~HandleBase() = default;
};

struct ErrorRecord {
  int code;
  std::string text;
};

struct ErrorH : HandleBase {
  using HandleBase::HandleBase;
  std::vector<ErrorRecord> records;
  ub2 parse_offset = 0;
};

struct EnvH : HandleBase {
  explicit EnvH(ub4 mode) : HandleBase(OCI_HTYPE_ENV, this), mode(mode) {}
  ub4 mode;
  std::vector<ErrorRecord> records;  // errors of calls that take only the env
  std::vector<HandleBase*> children;
};

struct ServerH : HandleBase {
  using HandleBase::HandleBase;
  std::shared_ptr<Database> database;  // set while attached
  Link link;                           // the connection; each attach makes a new one
};

struct SessionH : HandleBase {
  using HandleBase::HandleBase;
  std::string username, password;
  std::unique_ptr<ServerSession> live;  // set between OCISessionBegin and OCISessionEnd
  bool owned_by_logon = false;
};

struct SvcCtxH : HandleBase {
  using HandleBase::HandleBase;
  ServerH* server = nullptr;
  SessionH* session = nullptr;
  bool implicit = false;  // made by OCILogon: owns its server and session
};

struct BindH;
struct DefineH;
struct ParamH;

struct StmtH : HandleBase {
  using HandleBase::HandleBase;
  SvcCtxH* svc = nullptr;          // service context of the last execute
  ServerSession* session = nullptr;
  std::unique_ptr<Cursor> cursor;
  std::string text;
  bool prepared = false;
  int stmt_type = 0;
  std::vector<BindH*> binds;
  std::vector<DefineH*> defines;   // index = position - 1
  std::vector<ParamH*> params;
  ub4 rows_fetched = 0;            // in the last fetch call
  ub4 row_count = 0;
  bool end_of_fetch = false;
  bool fetched_past_end = false;
  ub4 prefetch = 1;
  ub4 prefetch_memory = 0;         // bytes the read-ahead may take; 0: rows only
  // The real client's row cache, for counting round trips: rows the server
  // has sent for this execution so far, and whether it said there are no more.
  ub4 rows_sent = 0;
  bool server_end = false;
  // Piecewise (LONG) fetch state for the current row.
  std::string piece_data;
};

struct BindH : HandleBase {
  using HandleBase::HandleBase;
  StmtH* stmt = nullptr;
  std::string name;  // upper case, without ':'
  ub4 position = 0;  // for OCIBindByPos
  void* valuep = nullptr;
  sb4 value_sz = 0;
  ub2 dty = 0;
  void* indp = nullptr;
  ub2* alenp = nullptr;
  ub2* rcodep = nullptr;
  ub4 elem_skip = 0;  // array of structs
};

struct DefineH : HandleBase {
  using HandleBase::HandleBase;
  StmtH* stmt = nullptr;
  ub4 position = 0;
  void* valuep = nullptr;
  sb4 value_sz = 0;
  ub2 dty = 0;
  void* indp = nullptr;
  ub2* rlenp = nullptr;
  ub2* rcodep = nullptr;
  ub4 mode = 0;
  void* octxp = nullptr;
  OCICallbackDefine callback = nullptr;
  ub4 value_skip = 0, ind_skip = 0, rlen_skip = 0, rcode_skip = 0;
};

struct ParamH : HandleBase {
  using HandleBase::HandleBase;
  StmtH* stmt = nullptr;
  ColumnInfo column;
};

// Registry of live handles.
void RegisterHandle(HandleBase* h);
// The handle if `p` is a live handle of `type` (0: any type), else nullptr.
HandleBase* FindHandle(const void* p, ub4 type);
template <class T>
T* Find(const void* p, ub4 type) {
  return static_cast<T*>(FindHandle(p, type));
}
// Unregisters and deletes a handle and everything it owns.
void DestroyHandle(HandleBase* h);

// Creates a child handle of `env` of the given type.
HandleBase* NewHandle(EnvH* env, ub4 type);

// The connection of a service context (nullptr without a valid server),
// and its live session (nullptr without one), for RoundTrip.
Link* LinkOf(SvcCtxH* svc);
ServerSession* SessionOrNull(SvcCtxH* svc);

// Ends a live session (rollback), as OCISessionEnd and logoff do.
void EndSession(SessionH* s);

// Frees every handle the client left (their sessions roll back) and the
// registry itself; a later call starts an empty one.
void ReleaseHandles();

}  // namespace ocisim
