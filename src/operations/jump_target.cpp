// jump_target.cpp — "go to object" from the panel: the rules of
// jump_rules.cpp applied to the panel's levels and current item, with the
// data module answering synonym lookups.
#include "host/host_services.h"
#include "operations/exact_names.h"
#include "operations/jump_rules.h"

namespace operations {

std::string GetJumpTarget(panel::TOracleController& controller, const CurrentItem& item) {
  if (!item.valid) return {};
  std::vector<std::string> levels;
  for (std::size_t n = 2; n <= 8; ++n) levels.push_back(controller.GetPathLevel(n));
  connection::TPluginDataModule& dm = controller.DataModule();
  return JumpTargetFor(
      levels, item,
      [&dm](const std::string& owner, const std::string& synonym) { return dm.ResolveSynonym(owner, synonym); },
      ExactPathLevels(host::FromOem(controller.CurrentDirectory())));
}

}  // namespace operations
