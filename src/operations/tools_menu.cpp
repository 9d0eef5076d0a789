// tools_menu.cpp — the custom utilities menu: the INI file's sections as
// menu entries, nested menus, the refusals, and the run of one script in
// SQL*Plus with its spool file shown afterwards.
#include "operations/tools_menu.h"

#include <cstring>
#include <vector>

#include "host/console_host.h"
#include "host/host_services.h"
#include "host/messages.h"
#include "host/text_utils.h"
#include "operations/tools_ini.h"
#include "platform/console.h"
#include "platform/platform.h"

namespace operations {
namespace {

constexpr const char* kToolsFolder = "Tools";
constexpr std::size_t kEntryChars = 128;
constexpr std::size_t kTagLength = 9;
constexpr const char* kHomeTag = "<ORAHOME>";

std::string WithSeparator(std::string dir) {
  if (!dir.empty() && dir.back() != platform::PathSeparator()) dir += platform::PathSeparator();
  return dir;
}

bool IsRelative(const std::string& path) {
  if (path.empty()) return true;
  if (platform::PathSeparator() == '/') return path[0] != '/';
  return path[0] != '\\' && path[0] != '/' && !(path.size() >= 2 && path[1] == ':');
}

// Linux reads Tools.ini files written on Windows: "\" separates folders.
std::string LocalSeparators(std::string path) {
  if (platform::PathSeparator() == '/')
    for (char& c : path)
      if (c == '\\') c = '/';
  return path;
}

// Every occurrence of the tag, in any case, replaced.
std::string ReplaceHomeTag(const std::string& path, const std::string& home) {
  std::string out;
  const std::string upper = host::UpperCase(path);
  std::size_t from = 0;
  for (std::size_t at = upper.find(kHomeTag); at != std::string::npos; at = upper.find(kHomeTag, from)) {
    out += path.substr(from, at - from) + home;
    from = at + std::strlen(kHomeTag);
  }
  return out + path.substr(from);
}

// The host's menu of the section names; the chosen index, -1 on Esc.
int ShowMenu(const std::vector<IniSection>& sections, int selected) {
  const far::PluginStartupInfo& h = host::Host();
  if (h.Menu == nullptr) return -1;
  std::vector<far::FarMenuItem> items(sections.size());
  for (std::size_t i = 0; i < sections.size(); ++i) {
    std::memset(&items[i], 0, sizeof items[i]);
    const std::string text = host::ToOem(sections[i].name);
    const std::size_t n = host::HostTextPrefix(text, kEntryChars, sizeof items[i].Text - 1);
    std::memcpy(items[i].Text, text.data(), n);
    items[i].Selected = static_cast<int>(i) == selected ? 1 : 0;
  }
  return h.Menu(h.ModuleNumber, -1, -1, 0, far::FMENU_WRAPMODE | far::FMENU_AUTOHIGHLIGHT,
                host::ToOem("The Custom Utilities").c_str(), nullptr, nullptr, nullptr, nullptr, items.data(),
                static_cast<int>(items.size()));
}

std::string Credentials(oracle::TOracleSession& session) {
  std::string text = session.LogonUsername + "/" + session.LogonPassword;
  if (!session.LogonDatabase.empty()) text += "@" + session.LogonDatabase;
  return text;
}

// Restores the current directory however the run ends.
struct DirectoryRestorer {
  std::string previous = platform::CurrentDirectory();
  ~DirectoryRestorer() {
    if (!previous.empty()) platform::ChangeDirectory(previous);
  }
};

// The spool file as SQL*Plus wrote it: on Linux the script's own SPOOL
// command may differ in letter case from the INI's value.
std::string FindSpool(const std::string& spool) {
  if (spool.empty() || platform::FileExists(spool)) return spool;
  const std::string dir = platform::DirectoryOf(spool);
  const std::string name = host::UpperCase(spool.substr(dir.size()));
  // Compared as names, not as a pattern: a "*" or "?" in the value must not
  // pick (and so delete) some other file.
  for (const std::string& found : platform::ListFiles(dir, "*"))
    if (host::UpperCase(found) == name) return dir + found;
  return "";
}

// Runs one script (steps 8 to 12); false when it was refused.
bool RunScript(panel::TOracleController& controller, const IniSection& section, const std::string& script) {
  connection::TPluginDataModule& dm = controller.DataModule();
  const std::string mustBe = host::UpperCase(host::Trim(section.Value("MustBeConnectedAs")));
  if (!mustBe.empty() &&
      (!dm.Connected() || host::UpperCase(host::Trim(dm.OracleSession().LogonUsername)) != mustBe)) {
    host::ShowErrorMessage("\rIn order to play this script you must be conected as [" + mustBe + "]");
    return false;
  }
  std::vector<std::string> words{controller.SqlPlusPath()};
  if (dm.Connected()) words.push_back(Credentials(dm.OracleSession()));
  // SQL*Plus reads its "@" argument as a START command, splitting it at
  // blanks: Windows hands it the short (8.3) path; where there are no short
  // names (Linux) a path with blanks is quoted as SQL*Plus takes it.
  std::string scriptArg = platform::ShortPathName(script);
  if (platform::PathSeparator() == '/' && scriptArg.find_first_of(" \t") != std::string::npos)
    scriptArg = "\"" + scriptArg + "\"";
  words.push_back("@" + scriptArg);

  // The script runs in its own folder; a packaged folder the user may not
  // write to (Linux: below /usr) would refuse the spool file, so there it
  // runs in Quarry's temporary folder.
  std::string workDir = platform::DirectoryOf(script);
  if (!platform::CanWriteIn(workDir)) workDir = platform::TempDirectory();
  DirectoryRestorer restore;
  platform::ChangeDirectory(workDir);
  std::string spool = SpoolPath(section.Value("SPOOL"), workDir);
  // The spool file is deleted after the run: one that is the script under
  // another spelling ("./same.sql", a link) is refused as the same name is.
  if (!spool.empty() && (host::UpperCase(spool) == host::UpperCase(script) || platform::SameFile(spool, script))) {
    spool.clear();
    host::ShowErrorMessage("Attempt to use the same names of spool-file and script-file was detected!");
  }
  std::string error;
  const int code = host::RunConsoleProgram(platform::ConsoleCommandLine(words), false, true, &error);
  platform::ChangeDirectory(restore.previous);
  if (code == -1 && !error.empty()) {
    host::ShowErrorMessage("SQL*Plus could not be started: " + error);
    return true;
  }
  spool = FindSpool(spool);
  if (!spool.empty() && !platform::SameFile(spool, script)) {
    const far::PluginStartupInfo& h = host::Host();
    if (h.Editor != nullptr)
      h.Editor(host::ToOem(spool).c_str(), host::ToOem("Spool File").c_str(), 0, 0, -1, -1, 0, 0, 0);
    platform::RemoveFile(spool);
  }
  return true;
}

}  // namespace

std::string ToolsFolders::For(const std::string& fileName) const {
  if (!user.empty() && platform::FileExists(user + fileName)) return user;
  return packaged;
}

ToolsFolders ToolsFoldersOf(const std::string& pluginDirectory) {
  ToolsFolders folders;
  folders.packaged = WithSeparator(WithSeparator(pluginDirectory) + kToolsFolder);
  const std::string own = platform::UserDataDirectory();
  if (!own.empty()) folders.user = WithSeparator(WithSeparator(own) + kToolsFolder);
  return folders;
}

std::string ExpandScriptPath(const std::string& path, const std::string& toolsDir, const std::string& oracleHome) {
  if (!path.empty() && path[0] == '<') {
    const std::string tag = host::UpperCase(path.substr(0, kTagLength));
    if (tag != kHomeTag) {
      host::ShowErrorMessage("\rSorry, have just found an unknown macro-tag [" + tag + "]");
      return "";
    }
    if (oracleHome.empty()) {
      host::ShowErrorMessage("\rSorry, but I was not able to detect an Oracle Home!");
      return "";
    }
    return LocalSeparators(ReplaceHomeTag(path, WithSeparator(oracleHome)));
  }
  const std::string local = LocalSeparators(path);
  return IsRelative(local) ? toolsDir + local : local;
}

std::string SpoolPath(const std::string& spool, const std::string& workDir) {
  std::string name = LocalSeparators(host::Trim(spool));
  if (name.empty()) return "";
  const std::size_t dot = name.rfind('.');
  const std::size_t slash = name.find_last_of(platform::PathSeparator() == '/' ? "/" : "\\/:");
  const bool noExtension = dot == std::string::npos || (slash != std::string::npos && dot < slash);
  if (noExtension) name += ".LST";
  else if (dot == name.size() - 1) name += "LST";
  return IsRelative(name) ? WithSeparator(workDir) + name : name;
}

void ToolsMenu(panel::TOracleController& controller, const std::string& fileName, bool nested) {
  const std::string name = host::Trim(fileName);
  const ToolsFolders folders = ToolsFoldersOf(controller.PluginDirectory());
  const std::string toolsDir = folders.For(name);
  std::string text;
  if (name.empty() || !platform::FileExists(toolsDir + name) || !platform::ReadWholeFile(toolsDir + name, text)) {
    // The packaged folder as the message always named it; the user's own
    // folder, where such a file may be put, after it.
    std::string where = "[" + folders.packaged + "]";
    if (!folders.user.empty()) where += "\r[" + folders.user + "]";
    host::ShowErrorMessage("\rFile [" + name + "] describing the custom menu setting was not found in the directory" +
                           "\r" + " " + "\r" + where);
    return;
  }
  if (controller.SqlPlusPath().empty()) {
    host::ShowErrorMessage("\rSorry, but SQL*PLUS was not found!");
    return;
  }
  const std::vector<IniSection> sections = ParseIni(text);
  if (sections.empty()) {
    host::ShowErrorMessage("\rSorry, but file [" + name +
                           "] does not have any sections describing the custom menu settings!");
    return;
  }
  int selected = 0;
  for (;;) {
    const int chosen = ShowMenu(sections, selected);
    if (chosen < 0 || chosen >= static_cast<int>(sections.size())) return;
    selected = chosen;
    const IniSection& section = sections[static_cast<std::size_t>(chosen)];
    if (section.keys.empty()) {
      host::ShowErrorMessage("\rSorry, but the selected item has no section describing it!");
      continue;
    }
    if (const std::string sub = section.Value("SubMenu"); !sub.empty()) {
      ToolsMenu(controller, sub, true);
      continue;
    }
    const std::string value = section.Value("Script");
    if (value.empty()) {
      host::ShowErrorMessage("\rSorry, but the selected item has no 'Script' parameter!");
      continue;
    }
    const std::string script = ExpandScriptPath(value, toolsDir, controller.OracleHome());
    if (script.empty()) continue;
    if (!platform::FileExists(script)) {
      host::ShowErrorMessage("\rSorry, but file [" + script + "] was not found!");
      continue;
    }
    if (!RunScript(controller, section, script)) continue;
    if (!nested) return;
  }
}

}  // namespace operations
