// exports.cpp — the eleven entry points the host calls.
//
// Each entry only translates the host's call to the controller (the panel
// handle) or to module-wide code.  No exception may cross into the host, so
// every entry catches everything; OpenPlugin answers a failed construction
// with the invalid handle, so the host opens no panel.
#include <exception>
#include <string>

#include "config/settings.h"
#include "host/far_abi.h"
#include "host/host_services.h"
#include "plugin/plugin_entry.h"
#include "panel/controller.h"

namespace {

panel::TOracleController* Controller(far::HANDLE handle) {
  if (handle == nullptr || handle == far::InvalidHandle()) return nullptr;
  return static_cast<panel::TOracleController*>(handle);
}

template <typename F, typename R>
R Guarded(R fallback, F&& body) {
  try {
    return body();
  } catch (...) {
    return fallback;
  }
}

}  // namespace

FAREXPORT void FARAPI SetStartupInfo(const far::PluginStartupInfo* info) {
  try {
    host::StoreStartupInfo(info);
  } catch (...) {
  }
}

FAREXPORT void FARAPI GetPluginInfo(far::PluginInfo* info) {
  try {
    if (info != nullptr) plugin::FillPluginInfo(*info);
  } catch (...) {
  }
}

FAREXPORT far::HANDLE FARAPI OpenPlugin(int /*openFrom*/, far::INT_PTR /*item*/) {
  try {
    return new panel::TOracleController();
  } catch (...) {
    return far::InvalidHandle();
  }
}

FAREXPORT void FARAPI ClosePlugin(far::HANDLE handle) {
  try {
    delete Controller(handle);
  } catch (...) {
  }
}

FAREXPORT int FARAPI GetFindData(far::HANDLE handle, far::PluginPanelItem** items, int* count,
                                 int opMode) {
  return Guarded(0, [&] {
    auto* c = Controller(handle);
    if (c == nullptr || items == nullptr || count == nullptr) return 0;
    *items = nullptr;
    *count = 0;
    far::PluginPanelItem* built = nullptr;
    int n = 0;
    panel::FindDataRequest request{&built, &n, opMode};
    try {
      bool ok = c->GetFindData(request);
      *items = built;
      *count = n;
      return ok ? 1 : 0;
    } catch (...) {
      // Hand over what was built: the host gives it back through FreeFindData.
      *items = built;
      *count = n;
      return 1;
    }
  });
}

FAREXPORT void FARAPI FreeFindData(far::HANDLE handle, far::PluginPanelItem* items, int count) {
  try {
    if (auto* c = Controller(handle)) c->FreeFindData(items, count);
  } catch (...) {
  }
}

FAREXPORT int FARAPI SetDirectory(far::HANDLE handle, const char* dir, int opMode) {
  return Guarded(0, [&] {
    auto* c = Controller(handle);
    if (c == nullptr || dir == nullptr) return 0;
    return c->SetDirectory(dir, opMode) ? 1 : 0;
  });
}

FAREXPORT void FARAPI GetOpenPluginInfo(far::HANDLE handle, far::OpenPluginInfo* info) {
  try {
    auto* c = Controller(handle);
    if (c == nullptr || info == nullptr) return;
    config::RefreshSwitches();
    c->GetOpenPluginInfo(*info);
  } catch (...) {
  }
}

FAREXPORT int FARAPI ProcessKey(far::HANDLE handle, int key, unsigned int controlState) {
  return Guarded(0, [&] {
    auto* c = Controller(handle);
    if (c == nullptr) return 0;
    // far2l offers every key twice, first with the pre-process marker: only
    // the plain call is ours.  The marker lies above the 16 bits kept below.
    if (key & far::PKF_PREPROCESS) return 0;
    return plugin::DispatchKey(*c, key & 0xFFFF, controlState & 0xFFFF) ? 1 : 0;
  });
}

FAREXPORT int FARAPI ProcessEvent(far::HANDLE handle, int event, void* param) {
  return Guarded(0, [&] {
    auto* c = Controller(handle);
    if (c == nullptr) return 0;
    return plugin::DispatchEvent(*c, event, param) ? 1 : 0;
  });
}

FAREXPORT int FARAPI Configure(int itemNumber) {
  return Guarded(0, [&] { return plugin::RunConfigure(itemNumber) ? 1 : 0; });
}
