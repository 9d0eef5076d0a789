// far_execute.h — far2l's Execute service, the one slot of the host's
// standard-function table the plugin uses (host ABI: slot 56 at 4 + 8 x 56).
#pragma once

#include <cstddef>

#include "host/far_abi.h"

namespace far {

// Runs a command line through the shell of far2l's own terminal, where the
// user sees it, and returns its exit code.  The 1.70 table has no such slot.
typedef int(FARAPI* FARSTDEXECUTE)(const char* CmdStr, unsigned int ExecFlags);
constexpr unsigned EF_NOWAIT = 0x2;      // do not wait for the command to end
constexpr unsigned EF_NOCMDPRINT = 0x10; // keep the line out of the terminal and the history

// The host's Execute service, or null when its table has none (any Win32
// host; a far2l table too short to hold slot 56).
inline FARSTDEXECUTE ReadFsfExecute(const FarStandardFunctions* fsf) {
#if defined(QUARRY_HOST_FAR2L)
  constexpr std::size_t kOffset = 4 + 8 * 56;
  if (fsf == nullptr || fsf->StructSize < static_cast<int>(kOffset + sizeof(void*))) return nullptr;
  FARSTDEXECUTE fn = nullptr;
  __builtin_memcpy(&fn, reinterpret_cast<const unsigned char*>(fsf) + kOffset, sizeof fn);
  return fn;
#else
  (void)fsf;
  return nullptr;
#endif
}

}  // namespace far
