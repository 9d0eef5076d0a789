// export_settings.h — the export action's two values under "\Quarry":
// the program it starts and whether the parameter file is shown first.
#pragma once

#include <string>

namespace config {

struct ExportSettings {
  std::string programName = "exp";  // also when stored empty
  bool showParameters = false;
};
ExportSettings ReadExportSettings();
// Written after a run; a key that cannot be opened is skipped.
void WriteExportSettings(const ExportSettings& settings);

}  // namespace config
