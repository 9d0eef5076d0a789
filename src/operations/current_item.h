// current_item.h — the panel's current item as the key actions see it.
#pragma once

#include <string>
#include <vector>

#include "panel/controller.h"

namespace operations {

struct CurrentItem {
  bool valid = false;
  std::string name;                  // ANSI, as shown
  bool directory = false;
  std::vector<std::string> columns;  // custom columns 1, 2, ... (ANSI)
  int index = -1;
  int selectedCount = 0;

  bool IsUpDir() const { return name == ".."; }
};

// Reads the current item of the controller's panel through the host.
CurrentItem ReadCurrentItem(panel::TOracleController& controller);

// Update the panel (selection not kept), then redraw it.
void RefreshPanel(panel::TOracleController& controller);

}  // namespace operations
