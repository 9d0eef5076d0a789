// host_files_posix.cpp — see host_files.h.
#include "host_files.h"

#include <dirent.h>
#include <fnmatch.h>

#include <cstdio>
#include <fstream>
#include <sstream>

namespace hostsim {

bool HostReadFile(const std::string& path, std::string& out) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream s;
  s << in.rdbuf();
  out = s.str();
  return true;
}

bool HostSaveFile(const std::string& path, const std::string& content) {
  std::string temp = path + ".hostsim-save";
  std::ofstream out(temp, std::ios::binary | std::ios::trunc);
  out << content;
  out.close();
  if (!out || std::rename(temp.c_str(), path.c_str()) != 0) {
    std::remove(temp.c_str());
    return false;
  }
  return true;
}

void HostRemoveFile(const std::string& path) { std::remove(path.c_str()); }

std::vector<std::string> HostMatchFiles(const std::string& dir, const std::string& pattern) {
  std::vector<std::string> matches;
  if (DIR* d = opendir(dir.c_str())) {
    while (dirent* e = readdir(d))
      if (fnmatch(pattern.c_str(), e->d_name, FNM_PERIOD) == 0) matches.push_back(e->d_name);
    closedir(d);
  }
  return matches;
}

}  // namespace hostsim
