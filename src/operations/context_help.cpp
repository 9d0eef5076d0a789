// context_help.cpp — F1 opens the plugin's help file, or the instance
// parameters' one, at the topic named after the current directory.
#include "operations/context_help.h"

#include "host/host_services.h"
#include "operations/current_item.h"
#include "panel/path_levels.h"
#include "platform/platform.h"

namespace operations {

bool ShowContextHelp(panel::TOracleController& controller) {
  CurrentItem current = ReadCurrentItem(controller);
  const std::string item = current.valid ? panel::UpperAnsi(current.name) : std::string();
  HelpRequest request =
      ChooseHelpTopic([&](std::size_t n) { return controller.GetPathLevel(n); }, item);
  // Both help files sit beside the module; the host falls back to the
  // contents page for an empty or unknown topic.
  const std::string file = platform::DirectoryOf(platform::ModuleFileName()) + request.file;
  const std::string topic = request.topic.empty() ? std::string("Contents") : request.topic;
  const far::PluginStartupInfo& info = host::Host();
  if (info.ShowHelp != nullptr) {
    info.ShowHelp(host::ToOem(file).c_str(), host::ToOem(topic).c_str(),
                  far::FHELP_CUSTOMFILE | far::FHELP_USECONTENTS);
  }
  return true;
}

}  // namespace operations
