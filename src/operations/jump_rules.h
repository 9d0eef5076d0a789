// jump_rules.h — where Enter on an item that stands for another object
// takes the panel ("go to object").
//
// GetJumpTarget reads the panel's levels and asks the data module about
// synonyms; JumpTargetFor is the same decision over plain values, so it can
// be exercised without a host or a database.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "connection/data_module.h"
#include "operations/current_item.h"
#include "panel/controller.h"

namespace operations {

using SynonymTarget = connection::TPluginDataModule::SynonymTarget;

// Looks up the object a synonym stands for (owner, synonym name as the
// panel level shows it); an empty result or an exception means "unknown".
using SynonymResolver = std::function<SynonymTarget(const std::string& owner, const std::string& synonym)>;

// The directory of an object kind ("TABLE" gives "TABLES"); "" when the kind
// has no directory of its own.
std::string DirectoryOfKind(const std::string& kind);

// The path to jump to, or "" when there is none.  `levels` are the path
// levels from level 2 on, upper-cased as the panel keeps them; the item's
// name and columns are compared upper-cased, but the target keeps the
// letter case of the item, its columns and `exactLevels` (the same levels as
// the path spells them; empty: the upper-cased ones), so a quoted name is
// reached as written.  A failing synonym lookup gives no target (the host
// then enters the item as a plain directory, whose own listing reports what
// is wrong).
std::string JumpTargetFor(const std::vector<std::string>& levels, const CurrentItem& item,
                          const SynonymResolver& resolveSynonym, const std::vector<std::string>& exactLevels = {});

// The path to jump to from the current item, or "" when there is none.
std::string GetJumpTarget(panel::TOracleController& controller, const CurrentItem& item);

}  // namespace operations
