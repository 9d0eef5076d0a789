// messages.h — every message box, progress note and dialog of the plugin.
//
// Texts are ANSI here and converted to the host's OEM code page on the way
// out (and back for what the user typed).
#pragma once

#include <string>
#include <variant>
#include <vector>

#include "host/far_abi.h"

namespace host {

// Set while one of the plugin's own dialogs is open.
extern bool DialogActive;

// "Error" box: the text wrapped at 50 columns, at most 11 lines, one button.
// The host adds the reason of a failed system call when `systemError` (an
// errno value; GetLastError() on Windows) names one; by default none.
void ShowErrorMessage(const std::string& text, int systemError = 0);

// Draws a one-line note and returns the saved screen behind it; give that
// to RestoreProgress when the work is done.
far::HANDLE ShowProgressMessage(const std::string& text);
void RestoreProgress(far::HANDLE saved);

// A question box: index of the chosen button, negative when cancelled.
int ShowQuestionMessage(const std::string& title, const std::string& text,
                        const std::vector<std::string>& buttons);

// One dialog item as the dialog helper describes it.
struct DialogItemSpec {
  int type = far::DI_TEXT;
  int x1 = 0, y1 = 0, x2 = 0;
  bool focus = false;
  // Initial check state; a Boolean variable read and written back; or a
  // history name / edit mask for edit items.
  std::variant<std::monostate, bool, bool*, std::string> state;
  far::DWORD flags = 0;
  // A language-file message number; a text; or a text variable read and
  // written back.
  std::variant<std::monostate, int, std::string, std::string*> data;
};

// Runs a dialog: the first item is the frame (its rows are fitted around
// the items), the first button is the default.  Returns the index of the
// item that closed it, -1 when cancelled; only then nothing is written back.
int RunDialog(const char* helpTopic, std::vector<DialogItemSpec>& items);

}  // namespace host
