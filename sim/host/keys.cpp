// keys.cpp — the table of key names the stand-in understands.
#include "keys.h"

#include <cctype>
#include <string_view>

#include "host/far_abi.h"

namespace hostsim {
namespace {

struct NamedKey {
  const char* name;
  int vk;
};

constexpr NamedKey kNamedKeys[] = {
    {"Enter", far::VK_RETURN}, {"Esc", far::VK_ESCAPE},   {"Tab", far::VK_TAB},
    {"BS", far::VK_BACK},      {"Space", far::VK_SPACE},  {"Ins", far::VK_INSERT},
    {"Del", far::VK_DELETE},   {"Home", far::VK_HOME},    {"End", far::VK_END},
    {"PgUp", far::VK_PRIOR},   {"PgDn", far::VK_NEXT},    {"Left", far::VK_LEFT},
    {"Up", far::VK_UP},        {"Right", far::VK_RIGHT},  {"Down", far::VK_DOWN},
    {"F1", far::VK_F1},        {"F2", far::VK_F2},        {"F3", far::VK_F3},
    {"F4", far::VK_F4},        {"F5", far::VK_F5},        {"F6", far::VK_F6},
    {"F7", far::VK_F7},        {"F8", far::VK_F8},        {"F9", far::VK_F9},
    {"F10", far::VK_F10},      {"F11", far::VK_F11},      {"F12", far::VK_F12},
};

bool EqualNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

}  // namespace

std::optional<KeyCode> ParseKey(const std::string& text) {
  KeyCode key;
  std::string_view rest = text;
  // Split off modifiers; the last part is the base key (which may itself be "+"-free).
  for (;;) {
    auto plus = rest.find('+');
    if (plus == std::string_view::npos || plus + 1 == rest.size()) break;
    std::string_view mod = rest.substr(0, plus);
    if (EqualNoCase(mod, "Ctrl")) key.state |= far::PKF_CONTROL;
    else if (EqualNoCase(mod, "Alt")) key.state |= far::PKF_ALT;
    else if (EqualNoCase(mod, "Shift")) key.state |= far::PKF_SHIFT;
    else return std::nullopt;
    rest = rest.substr(plus + 1);
  }
  if (rest.empty()) return std::nullopt;

  std::string base;
  for (const auto& named : kNamedKeys) {
    if (EqualNoCase(rest, named.name)) {
      key.vk = named.vk;
      base = named.name;
      break;
    }
  }
  if (key.vk == 0) {
    if (rest.size() != 1 || !std::isalnum(static_cast<unsigned char>(rest[0]))) return std::nullopt;
    char c = static_cast<char>(std::toupper(static_cast<unsigned char>(rest[0])));
    key.vk = c;  // '0'-'9' and 'A'-'Z' are their own virtual-key codes
    base = std::string(1, c);
    if (key.state == 0) {
      key.delivered = false;  // a plain character is typed into the command line
      base = std::string(1, rest[0]);
    }
  }

  if (key.state & far::PKF_CONTROL) key.name += "Ctrl+";
  if (key.state & far::PKF_ALT) key.name += "Alt+";
  if (key.state & far::PKF_SHIFT) key.name += "Shift+";
  key.name += base;
  // The host sees Shift+letter as the bare upper-case character.
  if (key.state == far::PKF_SHIFT && key.vk >= 'A' && key.vk <= 'Z') key.state = 0;
  return key;
}

}  // namespace hostsim
