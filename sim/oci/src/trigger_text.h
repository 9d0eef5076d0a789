// How the server takes a CREATE TRIGGER apart: the description (the name,
// timing, events, table, REFERENCING and FOR EACH ROW, as written), the
// row condition of a WHEN clause (kept apart, without WHEN and its
// parentheses), and the body from its DECLARE, BEGIN or CALL on.  The
// body's compile errors count their lines from the body's first line.
#pragma once

#include <string>
#include <vector>

namespace ocisim {

struct TriggerText {
  std::string description;  // from the trigger's name on, WHEN clause left out
  std::string whenClause;   // "" when there is none
  std::string body;
  std::vector<std::string> bodyLines;  // the body as ALL_SOURCE-like lines (for the compile step)
};

// `lines` is the unit as stored, from the word TRIGGER on.
TriggerText SplitTrigger(const std::vector<std::string>& lines);

}  // namespace ocisim
