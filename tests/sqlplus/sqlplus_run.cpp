// sqlplus_run.cpp — see sqlplus_run.h.
#include "sqlplus_run.h"

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>

namespace sqlplus_test {

const std::filesystem::path& DataDir() {
  static const std::filesystem::path dir = [] {
    auto d = std::filesystem::temp_directory_path() / ("quarry-sqlplus-" + std::to_string(std::random_device{}()));
    std::filesystem::create_directories(d / "db");
    setenv("OCISIM_DATA_DIR", (d / "db").c_str(), 1);
    return d;
  }();
  return dir;
}

std::filesystem::path ScratchDir() {
  static int n = 0;
  auto d = DataDir() / ("case" + std::to_string(++n));
  std::filesystem::create_directories(d);
  return d;
}

void WriteFile(const std::filesystem::path& file, const std::string& text) {
  std::ofstream out(file, std::ios::binary);
  out << text;
}

RunResult RunSqlPlus(const std::string& args, const std::string& input, const std::filesystem::path& cwd) {
  DataDir();
  const auto in = ScratchDir() / "stdin.txt";
  WriteFile(in, input);
  const std::string command = "cd '" + cwd.string() + "' && '" SQLPLUS_PROGRAM "' " + args + " < '" + in.string() +
                              "' 2>&1";
  RunResult r;
  FILE* p = popen(command.c_str(), "r");
  if (!p) return r;
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) r.output.append(buf, n);
  int rc = pclose(p);
  r.status = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
  return r;
}

}  // namespace sqlplus_test
