// host_files.h — the files the host's viewer and editor open, as the host
// opens them: on Windows through the A file functions (so in the process's
// file code page, OEM under FAR), on Linux as plain paths.
#pragma once

#include <string>
#include <vector>

namespace hostsim {

bool HostReadFile(const std::string& path, std::string& out);
// Writes `content` beside `path` and renames it over `path`, as an editor
// saves; false (and nothing left beside) when that fails.
bool HostSaveFile(const std::string& path, const std::string& content);
void HostRemoveFile(const std::string& path);
// Names of the entries in `dir` that match the wildcard `pattern` (* and ?,
// as the system's own matching has them); a leading dot is matched only by
// a dot.
std::vector<std::string> HostMatchFiles(const std::string& dir, const std::string& pattern);

}  // namespace hostsim
