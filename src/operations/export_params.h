// export_params.h — what F5's export writes: the object line chosen from
// the panel, the file names, and the parameter file's lines.
#pragma once

#include <string>
#include <vector>

namespace operations {

// The dialog's values.
struct ExportOptions {
  std::string program, file, size, log, buffer, feedback;
  bool compress = true, consistent = false, constraints = true, direct = false, full = false;
  bool triggers = true, grants = true, indexes = true, record = true, rows = true;
  bool showParameters = false;
};

// "OWNER=(...)" for users, "TABLES=(...)" for the tables of one owner; ""
// when the listing holds nothing to export.  `levels` are L2, L3, L4 ... as
// written by the name rule, `items` the chosen items as the names to send;
// names beginning with a dot (and "..") contribute nothing.  Each name is
// quoted on its own ("OWNER"."TABLE"), so a dot inside a name is not read
// as the owner's.
std::string ExportObjectLine(const std::vector<std::string>& levels, const std::vector<std::string>& items);

// The file and log names completed: a name without a folder is put in
// `baseDir` (with its trailing separator); an empty log takes the file's
// name with ".LOG"; a file without extension gets ".DAT", a log ".LOG".
void CompleteExportPaths(ExportOptions& options, const std::string& baseDir);

// The parameter file's lines, in order.
std::vector<std::string> ExportParameterLines(const ExportOptions& options, const std::string& objectLine);

}  // namespace operations
