// params.h — the export stand-in's parameters: the command line and the
// parameter file read the way exp reads them (KEYWORD=value, KEYWORD=(a,b),
// "#" comments, unique abbreviations), with exp's LRM- messages on errors.
#pragma once

#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace expsim {

// A parameter error: the LRM line exp prints before EXP-00019.
struct ParamError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

struct ExportParams {
  std::string userid;                             // user/password[@alias], "" = none given
  std::map<std::string, std::string> values;      // keyword -> value as written (single values)
  std::vector<std::string> owners;                // OWNER=(...)
  std::vector<std::string> tables;                // TABLES=(...)
  bool help = false;

  bool Flag(const std::string& keyword, bool fallback) const;
  std::string Value(const std::string& keyword, const std::string& fallback = "") const;
};

// The keywords this exp knows (9.2's list), upper case.
const std::vector<std::string>& Keywords();

// Splits "KEY=value" pieces; `readFile` returns a parameter file's text or
// throws ParamError (LRM-00109).
ExportParams ParseArguments(const std::vector<std::string>& args,
                            std::string (*readFile)(const std::string& path));

// A list value: "(A, B)" or "A" -> items, double quotes kept around an item.
std::vector<std::string> SplitList(const std::string& value);

}  // namespace expsim
