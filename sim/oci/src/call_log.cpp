// call_log.cpp — see call_log.h.
#include "call_log.h"

#include <cstdio>
#include <cstdlib>
#include <mutex>

namespace ocisim {

void LogCall(const std::string& line) {
  const char* path = std::getenv("OCISIM_CALL_LOG");
  if (!path || !*path) return;
  static std::mutex mutex;
  std::lock_guard<std::mutex> lock(mutex);
  if (std::FILE* f = std::fopen(path, "ab")) {  // the same bytes on every system
    std::fprintf(f, "%s\n", line.c_str());
    std::fclose(f);
  }
}

}  // namespace ocisim
