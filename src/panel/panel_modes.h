// panel_modes.h — the panel-mode sets: how a listing's columns are shown in
// each of the host's ten view modes.
//
// Sets are described as constant data (forms of columns, and which form each
// view mode uses) and turned once into the host's PanelMode records, which
// live for the whole process; controllers only point at them.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <vector>

#include "host/far_abi.h"

namespace panel {

constexpr int kPanelModeCount = 10;

struct ColumnSpec {
  const char* type;   // "N", "NR", "C0" ... "C9"
  int width;          // 0 = share the remaining width
  const char* title;
};

struct ModeForm {
  std::vector<ColumnSpec> columns;
  bool fullScreen = false;
  const char* statusTypes = "C0";
  const char* statusWidths = "0";
  bool alignExtensions = true;
  bool caseConversion = true;
};

struct PanelModeSetSpec {
  const char* name;
  std::array<int, kPanelModeCount> formOfMode;  // index into forms, per view mode
  std::vector<ModeForm> forms;
};

// One built set: ten host records and the texts they point at.
class PanelModeSet {
 public:
  explicit PanelModeSet(const PanelModeSetSpec& spec);
  PanelModeSet(const PanelModeSet&) = delete;
  PanelModeSet& operator=(const PanelModeSet&) = delete;

  const std::string& Name() const { return name_; }
  const far::PanelMode* Modes() const { return modes_.data(); }

 private:
  struct Texts {
    std::string types, widths, statusTypes, statusWidths;
    std::vector<std::string> titles;
    std::vector<char*> titlePtrs;
  };
  std::string name_;
  std::array<Texts, kPanelModeCount> texts_;
  std::array<far::PanelMode, kPanelModeCount> modes_{};
};

// The set every listing without one of its own shows.
const PanelModeSet& DefaultPanelModes();
// A set by its name, or null when there is none of that name.
const PanelModeSet* FindPanelModeSet(const std::string& name);
// How many sets there are, and their names in alphabetical order.
std::size_t PanelModeSetCount();
std::vector<std::string> PanelModeSetNames();

}  // namespace panel
