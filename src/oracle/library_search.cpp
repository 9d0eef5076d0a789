// library_search.cpp — see library_search.h.
#include "oracle/library_search.h"

#include <cstdlib>

#include "oracle/text_util.h"
#include "platform/platform.h"

namespace oracle {
namespace {

bool AllDigits(const std::string& text) {
  if (text.empty()) return false;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

struct Candidate {
  std::string name;
  bool isMain = false;
  double oraVersion = 0;
  std::vector<long> soVersion;
};

}  // namespace

std::optional<double> OraDllVersion(const std::string& fileName) {
  if (fileName.size() < 4) return std::nullopt;
  std::size_t start = 3;
  if (fileName.size() >= 5 && EqualsNoCase(fileName.substr(3, 2), "NT")) start = 5;
  const std::size_t dot = fileName.find('.', start);
  const std::string digits = fileName.substr(start, dot == std::string::npos ? std::string::npos : dot - start);
  if (!AllDigits(digits) || digits.size() > 9) return std::nullopt;
  // Integer arithmetic, not strtod: the process locale (a decimal comma)
  // must not decide whether "0.73" is a number.
  long number = 0;
  double scale = 1;
  for (char c : digits) {
    number = number * 10 + (c - '0');
    scale *= 10;
  }
  const double version = static_cast<double>(number) / scale;
  if (!(version > 0)) return std::nullopt;
  return version;
}

std::optional<std::vector<long>> SharedObjectVersion(const std::string& fileName,
                                                     const std::string& baseName) {
  const std::string prefix = baseName + ".";
  if (fileName.size() <= prefix.size() || fileName.compare(0, prefix.size(), prefix) != 0) {
    return std::nullopt;
  }
  std::vector<long> parts;
  std::string rest = fileName.substr(prefix.size());
  std::size_t start = 0;
  while (true) {
    const std::size_t dot = rest.find('.', start);
    const std::string part = rest.substr(start, dot == std::string::npos ? std::string::npos : dot - start);
    if (!AllDigits(part) || part.size() > 9) return std::nullopt;
    parts.push_back(std::strtol(part.c_str(), nullptr, 10));
    if (dot == std::string::npos) break;
    start = dot + 1;
  }
  return parts;
}

std::optional<std::string> FindLibraryInHome(const std::string& homeDir, const ClientLayout& layout,
                                             std::vector<std::string>& log) {
  const char sep = platform::PathSeparator();
  const std::string libDir = AppendPath(homeDir, layout.libraryDir, sep);

  std::vector<Candidate> candidates;
  if (platform::FileExists(AppendPath(libDir, layout.mainLibrary, sep))) {
    candidates.push_back({layout.mainLibrary, true, 0, {}});
    log.push_back("Found: " + layout.mainLibrary);
  }
  for (const std::string& name : platform::ListFiles(libDir, layout.versionedPattern)) {
    Candidate candidate{name, false, 0, {}};
    if (layout.versionedStyle == VersionedLibraryStyle::OraDll) {
      auto version = OraDllVersion(name);
      if (!version) continue;
      candidate.oraVersion = *version;
    } else {
      auto version = SharedObjectVersion(name, layout.mainLibrary);
      if (!version) continue;
      candidate.soVersion = *version;
    }
    candidates.push_back(candidate);
    log.push_back("Found: " + name);
  }

  const Candidate* taken = nullptr;
  for (const Candidate& candidate : candidates) {
    if (candidate.isMain || EqualsNoCase(candidate.name, layout.mainLibrary)) {
      taken = &candidate;
      break;
    }
    if (layout.versionedStyle == VersionedLibraryStyle::OraDll) {
      if (candidate.oraVersion > (taken ? taken->oraVersion : 0)) taken = &candidate;
    } else if (!taken || candidate.soVersion > taken->soVersion) {
      taken = &candidate;
    }
  }
  if (!taken) return std::nullopt;
  return AppendPath(libDir, taken->name, sep);
}

}  // namespace oracle
