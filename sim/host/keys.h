// keys.h — key names of the script ("Shift+F4", "Ctrl+Z", "Enter") and the
// virtual-key code and control state the host passes to ProcessKey for them.
#pragma once

#include <optional>
#include <string>

namespace hostsim {

struct KeyCode {
  int vk = 0;            // Windows virtual-key code, the Key argument
  unsigned state = 0;    // PKF_CONTROL / PKF_ALT / PKF_SHIFT
  bool delivered = true; // far2l never passes plain letters to ProcessKey
  std::string name;      // canonical spelling: Ctrl+Alt+Shift+<base>
};

// Modifiers in any order and letter case, joined by '+'.  Shift with a
// letter arrives as the bare upper-case letter, as both hosts send it.
std::optional<KeyCode> ParseKey(const std::string& text);

}  // namespace hostsim
