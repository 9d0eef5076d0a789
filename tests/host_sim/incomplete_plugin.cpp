// incomplete_plugin.cpp — a module with only two of the eleven exports, so
// the stand-in's refusal to use it can be tested.
#include "host/far_abi.h"

extern "C" {
FAREXPORT void SetStartupInfo(const far::PluginStartupInfo*) {}
FAREXPORT void GetPluginInfo(far::PluginInfo*) {}
}
