// console.h — running the Oracle client's console programs where the user
// sees them, and the file locations that go with the tools menu.  Part of
// the platform layer: platform_win32.cpp / platform_posix.cpp implement it.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace platform {

// What the host does around a console program: on Windows its screen is
// saved, cleared and restored around the program; on far2l the program runs
// in the host's own terminal through the host's execute service.  Texts are
// in the plugin's internal code page (ANSI / UTF-8).
class ConsoleHost {
 public:
  virtual ~ConsoleHost() = default;
  virtual void SaveScreen() = 0;                    // the whole screen
  virtual void ClearScreen(int width, int height) = 0;  // blank rows in colour 7, flushed
  virtual void RestoreScreen() = 0;                 // lets the host redraw, restores the saved screen
  // Runs a shell command line in the host's terminal; its exit code, -1 when
  // unknown; nullopt when the host has no such service.
  virtual std::optional<int> Execute(const std::string& commandLine, bool wait) = 0;
};
// Runs a console program (the Oracle client's SQL*Plus or export utility)
// where the user sees it, in the current directory, and returns its exit
// code; -1 when it could not be started (the reason in `error`, when given)
// or its code is unknown.  Windows: the host's screen is saved and cleared,
// the console input mode set to 23, the program started with the command
// line as given (normal window, or minimized), waited for in 1000 ms steps,
// then mode and screen are restored.  POSIX: the host's terminal runs it,
// started in the current directory.  Command line in the ANSI code page.
int RunConsoleProgram(const std::string& commandLine, bool minimized, bool wait, ConsoleHost& host,
                      std::string* error = nullptr);
// A console command line from its words, ANSI code page: on Windows joined
// by blanks as given (each program splits its own line; paths are short
// names); on POSIX each word quoted as the shell needs, since the host's
// terminal runs the line through a shell.
std::string ConsoleCommandLine(const std::vector<std::string>& words);
// True when a new file can be made in `dir` (ANSI code page on Windows).
bool CanWriteIn(const std::string& dir);
// A folder of the user's own for files that override the packaged ones
// beside the module (with a trailing separator): on POSIX the folder
// beside the settings store ($XDG_CONFIG_HOME/quarry or ~/.config/quarry,
// or the parent of $QUARRY_REGISTRY_DIR); "" on Windows, where the
// module's folder is the user's.  UTF-8 (POSIX only).
std::string UserDataDirectory();
// True when both paths name one existing file, however each is spelt
// ("./a.sql", a link, a short name).  Paths in the ANSI code page.
bool SameFile(const std::string& a, const std::string& b);
// When and how large a file was last written, to tell whether a program
// wrote it; nullopt when there is no such file.  Path in the ANSI code page.
struct FileStamp {
  long long written = 0;  // modification time in the system's own units
  long long size = 0;
  bool operator==(const FileStamp&) const = default;
};
std::optional<FileStamp> StampOf(const std::string& path);

}  // namespace platform
