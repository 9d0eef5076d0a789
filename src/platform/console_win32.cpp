// console_win32.cpp — the console input and exclusive file creation on
// Windows: FAR runs in a console, and a plugin reads its input directly, as
// FAR's own long operations do to notice Esc.
#include <windows.h>

#include <string>

#include "platform/console_input.h"

namespace platform {

bool ConsoleEscapePressed() {
  HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
  if (in == nullptr || in == INVALID_HANDLE_VALUE) return false;
  bool escape = false;
  for (int guard = 0; guard < 256; ++guard) {
    INPUT_RECORD record;
    DWORD n = 0;
    if (!PeekConsoleInputA(in, &record, 1, &n) || n == 0) break;
    if (!ReadConsoleInputA(in, &record, 1, &n) || n == 0) break;
    if (record.EventType == KEY_EVENT && record.Event.KeyEvent.bKeyDown &&
        record.Event.KeyEvent.wVirtualKeyCode == VK_ESCAPE)
      escape = true;
  }
  return escape;
}

// `path` is in the ANSI code page; the wide call, as FAR switches the "A"
// file functions to OEM.
bool CreateNewFile(const std::string& path) {
  const int n = MultiByteToWideChar(CP_ACP, 0, path.data(), static_cast<int>(path.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, path.data(), static_cast<int>(path.size()), wide.data(), n);
  HANDLE h = CreateFileW(wide.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  CloseHandle(h);
  return true;
}

}  // namespace platform
