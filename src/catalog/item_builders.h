// item_builders.h — the builders every listing shares to append panel items.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "panel/item_buffer.h"

namespace catalog {

// Fixed names may use one character more than names read from the server.
constexpr std::size_t kFixedNameChars = 259;
constexpr std::size_t kQueryNameChars = 258;

// One item per (name, value) pair; the value becomes custom column 1.
void AddItemPairs(panel::FindDataRequest& request,
                  const std::vector<std::pair<std::string, std::string>>& pairs, bool directories);
// One item with the given custom columns (ANSI texts).
void AddItem(panel::FindDataRequest& request, const std::string& name,
             const std::vector<std::string>& columns, bool directory);

}  // namespace catalog
