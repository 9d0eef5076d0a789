// fake_host.h — a host service table for unit tests: records what the
// plugin shows and answers messages and dialogs from queues.
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "host/far_abi.h"

namespace fakehost {

struct MessageCall {
  far::DWORD flags;
  std::vector<std::string> items;
  int buttons;
  int systemError = 0;  // what the host would show as the last system error
};

struct DialogCall {
  int width, height;
  std::vector<far::FarDialogItem> items;  // as handed over
  std::vector<std::string> histories;     // each item's history name ("" for none), copied
};

struct State {
  std::vector<MessageCall> messages;
  std::vector<DialogCall> dialogs;
  std::deque<int> messageAnswers;  // empty: -1 (Esc)
  // Called with the items before the dialog returns; returns the result.
  std::deque<std::function<int(std::vector<far::FarDialogItem>&)>> dialogAnswers;
  int saves = 0, restores = 0;
};

State& Current();
// Installs the table as the plugin's startup record (fresh state).
void Install();

}  // namespace fakehost
