// oci_entry_points.h — resolves the client library's entry points by name.
//
// The names are grouped; a group is usable only when every one of its names
// resolved, so a library lacking a single name loses the whole group.  The
// group table lives in oci_entry_points.cpp; the typed pointers land in
// oci::OciApi.
#pragma once

#include <functional>

#include "oracle/oci_api.h"

namespace oracle {

struct EntryPointGroups {
  bool oci7Calls = false;        // the OCI7 statement calls
  bool oci7Logon = false;        // "olog"
  bool oci7ProcessInit = false;  // "opinit"
  bool oci8Calls = false;        // the OCI8 calls
  bool oci8ErrorTexts = false;   // "ociepgoe", "ociepmsg"
  bool oci81Calls = false;       // OCIEnvCreate and the 8.1 direct-path calls
};

using SymbolLookup = std::function<void*(const char* name)>;

// Fills `api` (cleared first) and returns the group flags.
EntryPointGroups ResolveEntryPoints(const SymbolLookup& lookup, oci::OciApi& api);

// Number of names of the OCI8 group (for tests of the table itself).
int Oci8GroupSize();

}  // namespace oracle
