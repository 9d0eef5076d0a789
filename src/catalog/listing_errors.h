// listing_errors.h — the one rule for errors raised while a listing is built.
#pragma once

#include <exception>
#include <string>

#include "panel/item_buffer.h"

namespace catalog {

// Silent during the host's file search, silent for ORA-00942 while
// "IgnoreORAErrors" is on, otherwise the error box with `prefix` + message.
void HandleListingError(const panel::FindDataRequest& request, const std::exception_ptr& error,
                        const std::string& prefix = "");

}  // namespace catalog
