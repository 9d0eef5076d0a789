// key_bar.h — the one key-bar layout shown in every directory.
#pragma once

#include "host/far_abi.h"

namespace panel {

const far::KeyBarTitles& PluginKeyBar();

}  // namespace panel
