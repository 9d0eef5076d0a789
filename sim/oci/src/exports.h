// Export control of the library's entry points. The library is built with
// hidden visibility; each OCI group exports its names unless the variant being
// built leaves the group out (the loader tests need a library without OCI8 and
// one that lacks a single OCI8 name). Include this instead of oci_api.h.
#pragma once

#define OCISIM_VISIBLE __attribute__((visibility("default")))
#define OCISIM_HIDDEN __attribute__((visibility("hidden")))

#define OCISIM_DECL7 OCISIM_VISIBLE
#ifdef OCISIM_NO_OCI8
#define OCISIM_DECL8 OCISIM_HIDDEN
#else
#define OCISIM_DECL8 OCISIM_VISIBLE
#endif

#include "ocisim/oci_api.h"
