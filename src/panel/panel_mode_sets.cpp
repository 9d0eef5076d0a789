// panel_mode_sets.cpp — the panel-mode sets as data.  Each set names, for
// view modes 0 to 9, the form it uses; a form is a list of columns (type,
// width, title) with its status line and flags.
#include "panel/panel_mode_sets.h"

namespace panel {
namespace {

ModeForm Form(std::vector<ColumnSpec> columns, bool fullScreen = false, bool caseConversion = true) {
  ModeForm f;
  f.columns = std::move(columns);
  f.fullScreen = fullScreen;
  f.caseConversion = caseConversion;
  return f;
}

}  // namespace

const std::vector<PanelModeSetSpec>& PanelModeSetSpecs() {
  static const std::vector<PanelModeSetSpec> specs = {
      // Names only, in several columns.
      {"DefaultPanelModes",
       {0, 1, 2, 3, 4, 4, 4, 5, 0, 0},
       {Form({{"N", 0, "Object"}, {"N", 0, "Object"}}),
        Form({{"N", 0, "Object"}}),
        Form({{"N", 0, "Object"}, {"N", 0, "Object"}}, false, false),
        Form({{"N", 0, "Object"}, {"N", 0, "Object"}, {"N", 0, "Object"}}),
        Form({{"N", 0, "Object"}, {"N", 0, "Object"}}, true),
        Form({{"N", 0, "Object"}, {"N", 0, "Object"}, {"N", 0, "Object"}}, true)}},
  };
  return specs;
}

}  // namespace panel
