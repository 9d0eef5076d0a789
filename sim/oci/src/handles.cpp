// Handle registry and lifetimes: see handles.h.
#include "handles.h"

#include <algorithm>
#include <mutex>
#include <unordered_map>

namespace ocisim {
namespace {

std::mutex& RegistryMutex() {
  static std::mutex m;
  return m;
}

// Made on first use and freed by ReleaseHandles, when the library goes.
std::unordered_map<const void*, HandleBase*>*& RegistrySlot() {
  static std::unordered_map<const void*, HandleBase*>* r = nullptr;
  return r;
}

std::unordered_map<const void*, HandleBase*>& Registry() {
  auto*& r = RegistrySlot();
  if (!r) r = new std::unordered_map<const void*, HandleBase*>();
  return *r;
}

// Any live handle, environments first (freeing one frees its children).
HandleBase* AnyHandle() {
  std::lock_guard<std::mutex> lock(RegistryMutex());
  if (!RegistrySlot()) return nullptr;
  HandleBase* any = nullptr;
  for (auto& [p, h] : Registry()) {
    if (h->type == OCI_HTYPE_ENV) return h;
    any = h;
  }
  return any;
}

void Unregister(HandleBase* h) {
  std::lock_guard<std::mutex> lock(RegistryMutex());
  Registry().erase(h);
}

void DestroyStmtChildren(StmtH* s) {
  for (auto* b : s->binds) {
    Unregister(b);
    delete b;
  }
  for (auto* d : s->defines)
    if (d) {
      Unregister(d);
      delete d;
    }
  for (auto* p : s->params) {
    Unregister(p);
    delete p;
  }
  s->binds.clear();
  s->defines.clear();
  s->params.clear();
}

}  // namespace

void RegisterHandle(HandleBase* h) {
  std::lock_guard<std::mutex> lock(RegistryMutex());
  Registry()[h] = h;
}

HandleBase* FindHandle(const void* p, ub4 type) {
  if (!p) return nullptr;
  std::lock_guard<std::mutex> lock(RegistryMutex());
  auto it = Registry().find(p);
  if (it == Registry().end()) return nullptr;
  if (type != 0 && it->second->type != type) return nullptr;
  return it->second;
}

HandleBase* NewHandle(EnvH* env, ub4 type) {
  HandleBase* h = nullptr;
  switch (type) {
    case OCI_HTYPE_ERROR: h = new ErrorH(type, env); break;
    case OCI_HTYPE_SVCCTX: h = new SvcCtxH(type, env); break;
    case OCI_HTYPE_STMT: h = new StmtH(type, env); break;
    case OCI_HTYPE_SERVER: h = new ServerH(type, env); break;
    case OCI_HTYPE_SESSION: h = new SessionH(type, env); break;
    case OCI_HTYPE_TRANS:
    case OCI_HTYPE_DESCRIBE: h = new HandleBase(type, env); break;
    default: return nullptr;
  }
  env->children.push_back(h);
  RegisterHandle(h);
  return h;
}

Link* LinkOf(SvcCtxH* svc) {
  if (!svc || !FindHandle(svc, OCI_HTYPE_SVCCTX) || !svc->server || !FindHandle(svc->server, OCI_HTYPE_SERVER))
    return nullptr;
  return &svc->server->link;
}

ServerSession* SessionOrNull(SvcCtxH* svc) {
  if (!svc || !FindHandle(svc, OCI_HTYPE_SVCCTX) || !svc->session || !FindHandle(svc->session, OCI_HTYPE_SESSION))
    return nullptr;
  return svc->session->live.get();
}

void EndSession(SessionH* s) {
  if (!s || !s->live) return;
  ServerSession* live = s->live.get();
  // Statements that ran on this session lose their cursors first.
  std::vector<StmtH*> stmts;
  {
    std::lock_guard<std::mutex> lock(RegistryMutex());
    for (auto& [p, h] : Registry())
      if (h->type == OCI_HTYPE_STMT && static_cast<StmtH*>(h)->session == live) stmts.push_back(static_cast<StmtH*>(h));
  }
  for (auto* st : stmts) {
    st->cursor.reset();
    st->session = nullptr;
  }
  s->live.reset();  // rolls back, leaves the registry
}

void DestroyHandle(HandleBase* h) {
  if (!h) return;
  switch (h->type) {
    case OCI_HTYPE_ENV: {
      auto* env = static_cast<EnvH*>(h);
      // Sessions end before the statements and servers they use disappear.
      auto children = env->children;
      for (auto* c : children)
        if (c->type == OCI_HTYPE_STMT && FindHandle(c, OCI_HTYPE_STMT)) DestroyHandle(c);
      // Freeing one child may free others (an OCILogon service context owns its
      // server and session), so each is looked up again first.
      while (!env->children.empty()) DestroyHandle(env->children.front());
      Unregister(env);
      delete env;
      return;
    }
    case OCI_HTYPE_STMT: {
      auto* s = static_cast<StmtH*>(h);
      s->cursor.reset();
      DestroyStmtChildren(s);
      break;
    }
    case OCI_HTYPE_SESSION: EndSession(static_cast<SessionH*>(h)); break;
    case OCI_HTYPE_SVCCTX: {
      auto* svc = static_cast<SvcCtxH*>(h);
      if (svc->implicit) {
        HandleBase* ses = FindHandle(svc->session, OCI_HTYPE_SESSION);
        HandleBase* srv = FindHandle(svc->server, OCI_HTYPE_SERVER);
        svc->session = nullptr;
        svc->server = nullptr;
        if (ses) DestroyHandle(ses);
        if (srv) DestroyHandle(srv);
      }
      break;
    }
    case OCI_HTYPE_BIND:
    case OCI_HTYPE_DEFINE:
    case OCI_DTYPE_PARAM: {
      // Owned by their statement: detach from it.
      StmtH* st = nullptr;
      if (h->type == OCI_HTYPE_BIND) st = static_cast<BindH*>(h)->stmt;
      if (h->type == OCI_HTYPE_DEFINE) st = static_cast<DefineH*>(h)->stmt;
      if (h->type == OCI_DTYPE_PARAM) st = static_cast<ParamH*>(h)->stmt;
      if (st && FindHandle(st, OCI_HTYPE_STMT)) {
        auto same = [h](HandleBase* x) { return x == h; };
        std::erase_if(st->binds, same);
        for (auto& d : st->defines)
          if (same(d)) d = nullptr;
        std::erase_if(st->params, same);
      }
      Unregister(h);
      delete h;
      return;
    }
    default: break;
  }
  if (h->env && FindHandle(h->env, OCI_HTYPE_ENV)) std::erase(h->env->children, h);
  Unregister(h);
  delete h;
}

void ReleaseHandles() {
  while (HandleBase* h = AnyHandle()) DestroyHandle(h);
  std::lock_guard<std::mutex> lock(RegistryMutex());
  delete RegistrySlot();
  RegistrySlot() = nullptr;
}

}  // namespace ocisim
