// host_keys.cpp — keys and the command line: every key offered to
// ProcessKey as far2l offers it (first with PKF_PREPROCESS, then plain),
// the host's own handling of keys the plugin declines, typing, and running
// the command line through FE_COMMAND.
#include "host.h"

namespace hostsim {

// What the host itself does with a key the plugin did not take.
bool Host::HostKey(const KeyCode& key, std::string& outcome) {
  const HostItem* cur = panel_.CurrentItem();
  int n = static_cast<int>(panel_.items().size());
  auto move = [&](int to) {
    panel_.SetCurrent(to);
    outcome = "host cursor " + std::to_string(panel_.current());
  };
  if (key.vk == far::VK_RETURN && key.state == 0) {
    if (!cur) return outcome = "host nothing", true;
    if (!cur->IsDirectory() && !cur->IsDots()) return outcome = "host nothing (file)", true;
    outcome = "host cd " + Quote(cur->name);
    std::string name = cur->name;
    return EnterDirectory(name);
  }
  if (key.vk == far::VK_PRIOR && key.state == far::PKF_CONTROL) {
    outcome = "host cd \"..\"";
    return EnterDirectory("..");
  }
  if (key.state == 0) {
    switch (key.vk) {
      case far::VK_UP: move(panel_.current() - 1); return true;
      case far::VK_DOWN: move(panel_.current() + 1); return true;
      case far::VK_HOME: move(0); return true;
      case far::VK_END: move(n - 1); return true;
      case far::VK_PRIOR: move(panel_.current() - 20); return true;
      case far::VK_NEXT: move(panel_.current() + 20); return true;
      case far::VK_INSERT:
        if (cur && !cur->IsDots()) panel_.items()[static_cast<std::size_t>(panel_.current())].selected ^= true;
        move(panel_.current() + 1);
        outcome = "host select count=" + std::to_string(panel_.SelectedCount());
        return true;
      case far::VK_ESCAPE:
        if (!cmdline_.empty()) {
          cmdline_.clear();
          outcome = "host cmdline cleared";
          return true;
        }
        break;
      default: break;
    }
  }
  if (key.state == far::PKF_CONTROL && key.vk >= '0' && key.vk <= '9') {
    outcome = "host view-mode " + std::to_string(key.vk - '0');
    SetViewMode(key.vk - '0');
    return true;
  }
  if (key.state == far::PKF_CONTROL && key.vk == 'R') {
    outcome = "host update";
    if (Refresh(true)) PrintPanelLine();
    return true;
  }
  outcome = "unhandled";
  return true;
}

bool Host::ExecuteCommandLine(std::string& outcome) {
  std::string text = cmdline_;
  std::vector<char> param(text.begin(), text.end());
  param.push_back('\0');
  int taken = 0;
  if (open_) {
    taken = Guarded("ProcessEvent", [&] { return module_.exports().ProcessEvent(handle_, far::FE_COMMAND, param.data()); });
    NoteCall("ProcessEvent FE_COMMAND " + Quote(text) + " -> " + std::to_string(taken));
  }
  if (taken) {
    outcome = "plugin";
    if (open_) ReadInfo();
  } else {
    // The host would run it in the shell; the stand-in only records it.
    outcome = "shell";
    cmdline_.clear();
  }
  return true;
}

bool Host::PressKey(const std::string& keyName) {
  auto key = ParseKey(keyName);
  if (!key) return Fail("key: unknown key name " + Quote(keyName));
  std::string outcome;
  if (!key->delivered) {
    cmdline_ += key->name;
    Record("key " + key->name + " -> typed");
    return Finish(true);
  }
  bool enter = key->vk == far::VK_RETURN && (key->state & ~far::PKF_SHIFT) == 0;
  if (enter && !cmdline_.empty()) {
    // Enter with text on the command line is the command line's, never the panel's.
    Record("cmdline-run " + Quote(cmdline_));
    ExecuteCommandLine(outcome);
    Record("key " + key->name + " -> cmdline " + outcome);
    return Finish(true);
  }
  if (!RequirePanel("key")) return false;
  int taken = 0;
  if (options_.preprocessKeys) {
    int code = key->vk | far::PKF_PREPROCESS;
    taken = Guarded("ProcessKey", [&] { return module_.exports().ProcessKey(handle_, code, key->state); });
    NoteCall("ProcessKey " + Hex(static_cast<unsigned>(code)) + " " + Hex(key->state) + " -> " + std::to_string(taken));
    if (taken) outcome = "plugin (preprocess)";
  }
  if (!taken && open_) {
    taken = Guarded("ProcessKey", [&] { return module_.exports().ProcessKey(handle_, key->vk, key->state); });
    NoteCall("ProcessKey " + Hex(static_cast<unsigned>(key->vk)) + " " + Hex(key->state) + " -> " + std::to_string(taken));
    if (taken) outcome = "plugin";
  }
  if (taken) {
    if (open_ && !pendingClose_) ReadInfo();  // the host redraws the panel
  } else if (open_) {
    HostKey(*key, outcome);
  }
  Record("key " + key->name + " vk=" + Hex(static_cast<unsigned>(key->vk)) + " state=" + Hex(key->state) + " -> " + outcome);
  return Finish(true);
}

bool Host::Type(const std::string& text) {
  cmdline_ += text;
  Record("cmdline " + Quote(cmdline_));
  return true;
}

bool Host::RunCommandLine(const std::string& text) {
  cmdline_ = text;
  Record("cmdline-run " + Quote(cmdline_));
  std::string outcome;
  if (cmdline_.empty()) outcome = "empty";
  else ExecuteCommandLine(outcome);
  Record("cmdline-result " + outcome + " now=" + Quote(cmdline_));
  return Finish(true);
}

bool Host::ShowCommandLine() {
  Record("cmdline " + Quote(cmdline_));
  return true;
}

}  // namespace hostsim
