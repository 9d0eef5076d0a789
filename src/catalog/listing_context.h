// listing_context.h — what a family listing works with: the controller
// (path levels, data module, layout) and the item array under construction.
#pragma once

#include <string>

#include "catalog/dataset_builders.h"
#include "panel/controller.h"

namespace catalog {

struct Listing {
  panel::TOracleController& controller;
  panel::FindDataRequest& request;

  std::string Level(std::size_t n) const { return controller.GetPathLevel(n); }
  connection::TPluginDataModule& Module() { return controller.DataModule(); }
  bool Connected() { return controller.DataModule().Connected(); }
  // Chooses the panel-mode set by name ("" leaves the layout as it is).
  void UseModes(const std::string& setName) {
    if (!setName.empty()) controller.SetPanelModes(panel::FindPanelModeSet(setName));
  }
  // Runs a catalogue statement into items.
  void ListStatement(int number, const ItemColumns& shape, const VariablePairs& variables = {});
};

}  // namespace catalog
