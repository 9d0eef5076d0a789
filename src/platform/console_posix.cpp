// console_posix.cpp — the console input and exclusive file creation on POSIX.
//
// A far2l plugin has no terminal of its own: far2l reads the terminal in a
// thread of its own and queues the events in its WinPort console, which it
// exports from its executable with C linkage (WINPORT_PeekConsoleInput,
// WINPORT_ReadConsoleInput).  They are looked up in the running process, so
// the plugin still loads in a process without them (then no key is seen).
#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>

#include "platform/console_input.h"

namespace platform {
namespace {

// WinPort's INPUT_RECORD on x86_64 (WinCompat.h, natural packing, 32 bytes):
// WORD EventType at 0; the event union at 8 (it holds pointers); in a
// KEY_EVENT_RECORD BOOL bKeyDown at 0 and WORD wVirtualKeyCode at 6.
constexpr std::size_t kRecordSize = 32;
constexpr std::size_t kEventOffset = 8;
constexpr std::uint16_t kKeyEvent = 1;
constexpr std::uint16_t kVkEscape = 0x1B;

using ConsoleInputFn = int (*)(void* console, void* records, std::uint32_t count, std::uint32_t* read);

struct ConsoleInput {
  ConsoleInputFn peek = nullptr, read = nullptr;
  ConsoleInput() {
    peek = reinterpret_cast<ConsoleInputFn>(::dlsym(RTLD_DEFAULT, "WINPORT_PeekConsoleInput"));
    read = reinterpret_cast<ConsoleInputFn>(::dlsym(RTLD_DEFAULT, "WINPORT_ReadConsoleInput"));
  }
};

}  // namespace

bool ConsoleEscapePressed() {
  static const ConsoleInput input;
  if (input.peek == nullptr || input.read == nullptr) return false;
  // Room for a larger record than expected: one record is asked at a time.
  alignas(8) unsigned char record[2 * kRecordSize];
  bool escape = false;
  for (int guard = 0; guard < 256; ++guard) {
    std::uint32_t n = 0;
    if (!input.peek(nullptr, record, 1, &n) || n == 0) break;
    if (!input.read(nullptr, record, 1, &n) || n == 0) break;
    std::uint16_t type = 0, vk = 0;
    std::int32_t down = 0;
    std::memcpy(&type, record, sizeof type);
    std::memcpy(&down, record + kEventOffset, sizeof down);
    std::memcpy(&vk, record + kEventOffset + 6, sizeof vk);
    if (type == kKeyEvent && down != 0 && vk == kVkEscape) escape = true;
  }
  return escape;
}

bool CreateNewFile(const std::string& path) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  ::close(fd);
  return true;
}

}  // namespace platform
