// panel_modes.cpp — builds the host records of the panel-mode sets.
#include "panel/panel_modes.h"

#include <map>
#include <memory>

#include "panel/panel_mode_sets.h"

namespace panel {

PanelModeSet::PanelModeSet(const PanelModeSetSpec& spec) : name_(spec.name) {
  for (int m = 0; m < kPanelModeCount; ++m) {
    const ModeForm& form = spec.forms.at(static_cast<std::size_t>(spec.formOfMode[m]));
    Texts& t = texts_[m];
    for (const ColumnSpec& c : form.columns) {
      if (!t.types.empty()) {
        t.types += ',';
        t.widths += ',';
      }
      t.types += c.type;
      t.widths += std::to_string(c.width);
      t.titles.emplace_back(c.title);
    }
    t.statusTypes = form.statusTypes;
    t.statusWidths = form.statusWidths;
    for (std::string& title : t.titles) t.titlePtrs.push_back(title.data());

    far::PanelMode& mode = modes_[m];
    mode.ColumnTypes = t.types.data();
    mode.ColumnWidths = t.widths.data();
    mode.ColumnTitles = t.titlePtrs.data();
    mode.FullScreen = form.fullScreen ? 1 : 0;
    mode.DetailedStatus = 0;
    mode.AlignExtensions = form.alignExtensions ? 1 : 0;
    mode.CaseConversion = form.caseConversion ? 1 : 0;
    mode.StatusColumnTypes = t.statusTypes.data();
    mode.StatusColumnWidths = t.statusWidths.data();
  }
}

namespace {

using SetMap = std::map<std::string, std::unique_ptr<PanelModeSet>>;

const SetMap& AllSets() {
  static const SetMap sets = [] {
    SetMap m;
    for (const PanelModeSetSpec& spec : PanelModeSetSpecs())
      m.emplace(spec.name, std::make_unique<PanelModeSet>(spec));
    return m;
  }();
  return sets;
}

}  // namespace

const PanelModeSet* FindPanelModeSet(const std::string& name) {
  const SetMap& sets = AllSets();
  auto it = sets.find(name);
  return it == sets.end() ? nullptr : it->second.get();
}

std::size_t PanelModeSetCount() { return AllSets().size(); }

std::vector<std::string> PanelModeSetNames() {
  std::vector<std::string> names;
  for (const auto& entry : AllSets()) names.push_back(entry.first);
  return names;
}

const PanelModeSet& DefaultPanelModes() {
  static const PanelModeSet* set = FindPanelModeSet("DefaultPanelModes");
  return *set;
}

}  // namespace panel
