// exporter.h — the export itself: connect, write the dump file and the log
// with exp's lines and messages, and the exit code exp uses.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "params.h"

namespace expsim {

// Runs the whole program on already-split arguments; screen output goes to
// `screen`, prompts read `input`.  Returns the exit code (0 success, also
// with warnings; 1 failure).
int RunExport(const std::vector<std::string>& args, std::ostream& screen, std::istream& input);

}  // namespace expsim
