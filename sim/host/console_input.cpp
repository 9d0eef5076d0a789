// console_input.cpp — the console input as a plugin sees it during long
// work.  far2l queues terminal events in its WinPort console; a plugin
// peeks and reads them (how it notices Esc).  The script decides when Esc
// is there: from the plugin's Nth peek on (set console-esc N), so a stop
// at a chosen point of the work can be played exactly.
#include <cstring>

#include "host.h"

namespace hostsim {
namespace {

// WinPort's INPUT_RECORD on x86_64: WORD EventType at 0, the event union at
// 8; KEY_EVENT_RECORD: BOOL bKeyDown at 0, WORD wRepeatCount at 4, WORD
// wVirtualKeyCode at 6, WORD wVirtualScanCode at 8, the character at 12,
// DWORD dwControlKeyState at 16.  32 bytes in all.
constexpr std::size_t kRecordSize = 32;
constexpr unsigned short kKeyEvent = 1;
constexpr unsigned short kVkEscape = 0x1B;

void EscapeRecord(unsigned char* record) {
  std::memset(record, 0, kRecordSize);
  const unsigned short type = kKeyEvent, repeat = 1, vk = kVkEscape, scan = 1;
  const int down = 1;
  const unsigned ch = 27;
  std::memcpy(record, &type, 2);
  std::memcpy(record + 8, &down, 4);
  std::memcpy(record + 12, &repeat, 2);
  std::memcpy(record + 14, &vk, 2);
  std::memcpy(record + 16, &scan, 2);
  std::memcpy(record + 20, &ch, 4);
}

}  // namespace

bool Host::SvcConsoleInput(bool remove, unsigned char* record, unsigned* count) {
  *count = 0;
  // Looks count from the script's "set console-esc N" on.
  if (options_.consoleEscAt != consoleArmedFor_) {
    consoleArmedFor_ = options_.consoleEscAt;
    consoleLooks_ = 0;
    consoleEscTaken_ = false;
  }
  if (!remove) ++consoleLooks_;
  const bool waiting = options_.consoleEscAt > 0 && !consoleEscTaken_ && consoleLooks_ >= options_.consoleEscAt;
  if (!waiting) return true;
  if (record) EscapeRecord(record);
  *count = 1;
  if (remove) {
    consoleEscTaken_ = true;
    Record("console-input Esc look=" + std::to_string(consoleLooks_));
  }
  return true;
}

}  // namespace hostsim
