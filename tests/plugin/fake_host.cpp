// fake_host.cpp — the service functions behind fakehost::Install().
#include "fake_host.h"

#include <cstring>

#include "host/host_services.h"
#include "platform/platform.h"

namespace fakehost {
namespace {

State g_state;

int Message(far::INT_PTR, far::DWORD flags, const char*, const char* const* items, int n, int buttons) {
  MessageCall call{flags, {}, buttons, platform::LastSystemError()};
  for (int i = 0; i < n; ++i) call.items.emplace_back(items[i] ? items[i] : "");
  g_state.messages.push_back(call);
  if (g_state.messageAnswers.empty()) return -1;
  int a = g_state.messageAnswers.front();
  g_state.messageAnswers.pop_front();
  return a;
}

int Dialog(far::INT_PTR, int, int, int w, int h, const char*, far::FarDialogItem* items, int n) {
  std::vector<far::FarDialogItem> v(items, items + n);
  DialogCall call{w, h, v, {}};
  // The history names live only during the call.
  for (const far::FarDialogItem& it : v)
    call.histories.emplace_back((it.Flags & far::DIF_HISTORY) && it.Param.History ? it.Param.History : "");
  g_state.dialogs.push_back(call);
  if (g_state.dialogAnswers.empty()) return -1;
  auto answer = g_state.dialogAnswers.front();
  g_state.dialogAnswers.pop_front();
  int r = answer(v);
  std::memcpy(items, v.data(), sizeof(far::FarDialogItem) * static_cast<std::size_t>(n));
  return r;
}

const char* GetMsg(far::INT_PTR, int id) {
  static std::string text;
  text = "message " + std::to_string(id);
  return text.c_str();
}

far::HANDLE SaveScreen(int, int, int, int) {
  ++g_state.saves;
  return reinterpret_cast<far::HANDLE>(static_cast<std::intptr_t>(g_state.saves));
}

void RestoreScreen(far::HANDLE) { ++g_state.restores; }

}  // namespace

State& Current() { return g_state; }

void Install() {
  g_state = State{};
  static far::PluginStartupInfo info;
  std::memset(&info, 0, sizeof(info));
  info.StructSize = sizeof(info);
  std::strcpy(info.ModuleName, "/tmp/Quarry.far-plug-mb");
  info.ModuleNumber = 1;
  info.RootKey = "";
  info.Message = Message;
  info.Dialog = Dialog;
  info.GetMsg = GetMsg;
  info.SaveScreen = SaveScreen;
  info.RestoreScreen = RestoreScreen;
  host::StoreStartupInfo(&info);
}

}  // namespace fakehost
