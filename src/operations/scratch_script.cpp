// scratch_script.cpp — the user SQL script behind Shift+F4: created empty
// once, edited in the host's editor, and on request run as one statement by
// the command runner, which shows the results.  The file is kept.
#include "operations/scratch_script.h"

#include <vector>

#include "connection/command_runner.h"
#include "host/host_services.h"
#include "host/messages.h"
#include "operations/text_editing.h"
#include "platform/platform.h"

namespace operations {

std::string UserScriptPath() { return platform::TempDirectory() + "far_user_sql.sql"; }

bool EditUserScript(panel::TOracleController& controller) {
  connection::TPluginDataModule& module = controller.DataModule();
  if (!module.Connected()) return false;
  std::string path = UserScriptPath();
  // Created when missing, readable by its owner alone; an existing script
  // is kept, but one that is a link or another user's is never used (the
  // temporary folder may be shared).
  if (!platform::EnsurePrivateFile(path)) {
    host::ShowErrorMessage("Can't create file [" + path + "]");
    return false;
  }
  const far::PluginStartupInfo& h = host::Host();
  if (h.Editor == nullptr) return false;
  h.Editor(host::ToOem(path).c_str(), host::ToOem("User SQL").c_str(), 0, 0, -1, -1, 0, -1, -1);
  if (host::ShowQuestionMessage("Execute command", "Do you want to execute this query?", {"Execute", "Cancel"}) != 0)
    return false;
  std::vector<std::string> lines;
  if (!ReadTextLines(path, lines)) {
    host::ShowErrorMessage("Can't read file [" + path + "]");
    return false;
  }
  auto query = module.CreateNewOracleQuery({});
  if (!query) return false;
  query->SQL = lines;
  return connection::ExecuteSqlCommand(module, *query);
}

}  // namespace operations
