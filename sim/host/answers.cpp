// answers.cpp — the queues of scripted answers.
#include "answers.h"

#include "transcript.h"

namespace hostsim {

std::string Choice::Describe() const { return byIndex ? std::to_string(index) : Quote(label); }

std::string Answers::Pending() const {
  std::string out;
  auto add = [&out](const char* kind, std::size_t n) {
    if (n == 0) return;
    if (!out.empty()) out += ", ";
    out += kind;
    out += ' ';
    out += std::to_string(n);
  };
  add("message", messages_.size());
  add("dialog", dialogs_.size());
  add("menu", menus_.size());
  add("input", inputs_.size());
  add("editor", editors_.size());
  return out;
}

void Answers::Clear() {
  messages_.clear();
  dialogs_.clear();
  menus_.clear();
  inputs_.clear();
  editors_.clear();
}

}  // namespace hostsim
