// created_unit.h — which stored unit a saved text creates.
//
// A text saved from the editor may name a schema in its CREATE or not (it
// then lands in the user's own schema), and the user may even have renamed
// the unit.  Its compile errors are where the server put the unit, so the
// edit loop reads the owner, name and kind from the text itself.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace operations {

struct CreatedUnit {
  std::string kind;   // PROCEDURE, PACKAGE BODY, TRIGGER, VIEW ...
  std::string owner;  // as the server stores it: quoted names as written, others upper-cased
  std::string name;
};

// The unit "CREATE [OR REPLACE] [FORCE|NOFORCE] <kind> [schema.]name" of the
// text (comments and blanks skipped), the owner defaulting to `user`; nothing
// when the text does not start that way.
std::optional<CreatedUnit> ParseCreatedUnit(const std::vector<std::string>& lines, const std::string& user);

}  // namespace operations
