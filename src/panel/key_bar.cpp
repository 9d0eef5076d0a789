// key_bar.cpp — labels of F1..F12 for plain, Ctrl, Alt and Shift.
// An empty text blanks a key; null keeps the host's own label.
#include "panel/key_bar.h"

#include <array>

namespace panel {
namespace {

using Row = std::array<const char*, 12>;

//                    F1      F2  F3      F4        F5          F6  F7      F8        F9  F10           F11 F12
constexpr Row kPlain = {"Help", "", "View", "Edit",   "Export",   "", "",     "Drop",   "", nullptr,      "", ""};
constexpr Row kCtrl  = {"",     "", "",     "",       "",         "", "",     "Delete", "", "Disconnect", "", ""};
constexpr Row kAlt   = {"",     "", "View", "O Edit", "",         "", "Find", "Trunc",  "", "Connect",    "", ""};
constexpr Row kShift = {"",     "", "",     "NewSQL", "CopyData", "", "",     "",       "", "",           "", ""};

far::KeyBarTitles Build() {
  far::KeyBarTitles bar{};
  for (int i = 0; i < 12; ++i) {
    // The host only reads the labels; the record type is not const-correct.
    bar.Titles[i] = const_cast<char*>(kPlain[i]);
    bar.CtrlTitles[i] = const_cast<char*>(kCtrl[i]);
    bar.AltTitles[i] = const_cast<char*>(kAlt[i]);
    bar.ShiftTitles[i] = const_cast<char*>(kShift[i]);
  }
  return bar;
}

}  // namespace

const far::KeyBarTitles& PluginKeyBar() {
  static const far::KeyBarTitles bar = Build();
  return bar;
}

}  // namespace panel
