// host_services.h — the module-wide copy of the host's startup record.
//
// SetStartupInfo stores the record once; every later call into the host goes
// through Host().  The slots that moved between host generations are read
// once, by the record's size, into HostTail().
#pragma once

#include <string>

#include "host/far_abi.h"

namespace host {

// Copies the host's record (and remembers its size and tail slots).
void StoreStartupInfo(const far::PluginStartupInfo* info);
bool HasStartupInfo();
const far::PluginStartupInfo& Host();
const far::StartupTail& HostTail();
// The size field of the record the host handed over.
int HostRecordSize();
// The host's plugin registry root, as handed over ("" on far2l).
std::string HostRootKey();

// The length in bytes of the longest prefix of host text with at most
// `maxChars` characters and `maxBytes` bytes, never splitting a UTF-8
// sequence on hosts that talk UTF-8.
std::size_t HostTextPrefix(const std::string& text, std::size_t maxChars, std::size_t maxBytes);

// Text crossing the host boundary: ANSI inside, OEM at the host.
std::string ToOem(const std::string& text);
std::string FromOem(const std::string& text);

}  // namespace host
