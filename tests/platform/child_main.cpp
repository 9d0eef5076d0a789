// child_main.cpp — platform_test_child, the program the process tests start.
//
// Usage: platform_test_child EXIT_CODE [REPORT_FILE [ARGS...]]
// Writes to REPORT_FILE what it received: its current directory, the variable
// QUARRY_CHILD_PROBE, argv as the C runtime split it and the arguments as
// platform::ProcessCommandLine splits them.  Each entry is "<length>:<bytes>\n",
// lists are preceded by their count.  Exits with EXIT_CODE.
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace {
void Put(std::string& out, const std::string& s) { out += std::to_string(s.size()) + ":" + s + "\n"; }
}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 100;
  int code = std::atoi(argv[1]);
  if (argc >= 3) {
    std::string out;
    Put(out, platform::CurrentDirectory());
    Put(out, platform::GetEnv("QUARRY_CHILD_PROBE").value_or("<unset>"));
    Put(out, std::to_string(argc));
    for (int i = 0; i < argc; ++i) Put(out, argv[i]);
    std::vector<std::string> ours = platform::ProcessCommandLine();
    Put(out, std::to_string(ours.size()));
    for (const std::string& arg : ours) Put(out, arg);
    if (!platform::WriteFileAtomic(argv[2], out)) return 101;
  }
  return code;
}
