// main.cpp — exp, the export stand-in: exp's command line, parameter file,
// messages and exit codes over the Oracle client stand-in.
#include <iostream>
#include <string>
#include <vector>

#include "exporter.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.size() == 1 && (args[0] == "--version" || args[0] == "-V")) {
    std::cout << "exp (Quarry stand-in) " << QUARRY_VERSION << "\n";
    return 0;
  }
  return expsim::RunExport(args, std::cout, std::cin);
}
