// host_services.cpp — keeps the host's startup record for the module's life.
#include "host/host_services.h"

#include "host/console_host.h"

#include <cstring>

#include "platform/platform.h"

namespace host {
namespace {

far::PluginStartupInfo g_info{};
far::StartupTail g_tail{};
// The host's standard-function table is a temporary of SetStartupInfo: the
// one slot used later is copied out of it there.
far::FARSTDEXECUTE g_execute = nullptr;
int g_recordSize = 0;
bool g_stored = false;

}  // namespace

void StoreStartupInfo(const far::PluginStartupInfo* info) {
  if (info == nullptr) return;
  // Copy no more than the host says it handed over, and no more than we know.
  int size = info->StructSize;
  std::size_t n = size > 0 ? static_cast<std::size_t>(size) : 0;
  if (n > sizeof(g_info)) n = sizeof(g_info);
  std::memset(&g_info, 0, sizeof(g_info));
  std::memcpy(&g_info, info, n);
  g_info.ModuleName[sizeof(g_info.ModuleName) - 1] = '\0';
  g_recordSize = size;
  g_tail = far::ReadStartupTail(info);
  g_execute = n > offsetof(far::PluginStartupInfo, FSF) ? far::ReadFsfExecute(info->FSF) : nullptr;
  g_info.FSF = nullptr;
  g_stored = true;
}

bool HasStartupInfo() { return g_stored; }
const far::PluginStartupInfo& Host() { return g_info; }
const far::StartupTail& HostTail() { return g_tail; }
int HostRecordSize() { return g_recordSize; }
far::FARSTDEXECUTE HostExecute() { return g_execute; }

std::string HostRootKey() {
  return (g_stored && g_info.RootKey != nullptr) ? std::string(g_info.RootKey) : std::string();
}

std::size_t HostTextPrefix(const std::string& text, std::size_t maxChars, std::size_t maxBytes) {
  std::size_t n = 0, chars = 0;
  while (n < text.size() && chars < maxChars) {
    std::size_t len = 1;
    if (far::kHostTextIsUtf8) {
      unsigned char c = static_cast<unsigned char>(text[n]);
      len = c < 0x80 ? 1 : c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
    }
    if (n + len > text.size() || n + len > maxBytes) break;
    n += len;
    ++chars;
  }
  return n;
}

std::string ToOem(const std::string& text) {
  return text.empty() ? text : platform::AnsiToOem(text);
}

std::string FromOem(const std::string& text) {
  return text.empty() ? text : platform::OemToAnsi(text);
}

}  // namespace host
