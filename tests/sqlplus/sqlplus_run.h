// sqlplus_run.h — runs the SQL*Plus stand-in on a script in a private data
// directory and hands back its output and exit status.
#pragma once

#include <filesystem>
#include <string>

namespace sqlplus_test {

struct RunResult {
  std::string output;
  int status = -1;
};

// A data directory of its own for this test program, made once.
const std::filesystem::path& DataDir();
// A fresh scratch directory for one test.
std::filesystem::path ScratchDir();
void WriteFile(const std::filesystem::path& file, const std::string& text);
// sqlplus <args>, stdin from `input`, in the directory `cwd`.
RunResult RunSqlPlus(const std::string& args, const std::string& input = "",
                     const std::filesystem::path& cwd = std::filesystem::current_path());

}  // namespace sqlplus_test
