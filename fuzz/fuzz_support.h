// fuzz_support.h — what every fuzz target shares: turning the input into
// text and parts, and failing loudly when a property does not hold.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace fuzz {

inline std::string Text(const std::uint8_t* data, std::size_t size) {
  return std::string(reinterpret_cast<const char*>(data), size);
}

// The input cut at the first `count - 1` line feeds: header lines, then the
// rest as one part.  Missing parts are empty.
inline std::vector<std::string> Lines(const std::string& text, std::size_t count) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (parts.size() + 1 < count) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) break;
    parts.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  parts.push_back(start <= text.size() ? text.substr(start) : std::string());
  parts.resize(count);
  return parts;
}

// The input cut at every "\n==> NAME <==\n" marker (as `head` prints files):
// the text before the first marker, then each NAME with its text.
struct Part {
  std::string name, text;
};
inline std::vector<Part> Files(const std::string& text) {
  std::vector<Part> parts{{"", ""}};
  std::size_t pos = 0;
  while (true) {
    std::size_t marker = text.find("\n==> ", pos);
    std::size_t close = marker == std::string::npos ? marker : text.find(" <==\n", marker + 5);
    if (close == std::string::npos) {
      parts.back().text += text.substr(pos);
      return parts;
    }
    parts.back().text += text.substr(pos, marker - pos + 1);
    parts.push_back({text.substr(marker + 5, close - marker - 5), ""});
    pos = close + 5;
  }
}

[[noreturn]] inline void Fail(const char* what, const char* file, int line, const std::string& detail) {
  std::fprintf(stderr, "%s:%d: property failed: %s\n", file, line, what);
  if (!detail.empty()) std::fprintf(stderr, "  %s\n", detail.c_str());
  std::abort();
}

}  // namespace fuzz

// A property of the code under test; a failure aborts, so libFuzzer keeps the input.
#define FUZZ_CHECK(cond, detail) \
  do {                           \
    if (!(cond)) ::fuzz::Fail(#cond, __FILE__, __LINE__, (detail)); \
  } while (0)
