// services.h — the C entry points of the host services handed to the plugin.
//
// Each forwards to the active Host (see host.h); the startup record is
// filled from here so that the slot order lives in one place.
#pragma once

#include <cstdint>

#include "host/far_abi.h"

namespace hostsim {

// Fills every service slot of the far2l 2.6 record and points FSF at `fsf`.
void FillServices(far::PluginStartupInfo& info, far::FarStandardFunctions* fsf);
// The ColorDialog slot of far2l 2.7+; the stand-in cancels it.
int ColorDialogService(int flags, std::uint64_t* color);

}  // namespace hostsim
