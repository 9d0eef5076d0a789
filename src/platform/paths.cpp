// paths.cpp — path text rules and whole-file reading shared by both OSes.
//
// Path joining and splitting only need to know the separators, and reading a
// file is plain C stdio; the OS files keep what really differs (directory
// listing, renames, temporary files).
#include <atomic>
#include <chrono>
#include <cstdio>
#include <random>

#include "platform/internal.h"
#include "platform/platform.h"

namespace platform {
namespace internal {

bool IsPathSeparator(char c) {
  // Windows accepts both slashes; on POSIX a backslash is an ordinary character.
  return c == '/' || (PathSeparator() == '\\' && c == '\\');
}

std::string RandomTag() {
  // splitmix64 over a random seed and a counter: distinct tags within the
  // process without a lock, unpredictable across processes.
  static const std::uint64_t seed = [] {
    std::random_device rd;
    std::uint64_t s = (std::uint64_t{rd()} << 32) ^ rd();
    s ^= static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    return s;
  }();
  static std::atomic<std::uint64_t> counter{0};
  std::uint64_t z = seed + (counter.fetch_add(1) + 1) * 0x9E3779B97F4A7C15ull;
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  z ^= z >> 31;
  char buf[9];
  std::snprintf(buf, sizeof buf, "%08x", static_cast<unsigned>(z & 0xFFFFFFFFu));
  return buf;
}

}  // namespace internal

std::string JoinPath(const std::string& dir, const std::string& name) {
  if (dir.empty()) return name;
  std::size_t skip = 0;
  while (skip < name.size() && internal::IsPathSeparator(name[skip])) ++skip;
  std::string out = dir;
  if (!internal::IsPathSeparator(out.back())) out += PathSeparator();
  out.append(name, skip, std::string::npos);
  return out;
}

std::string DirectoryOf(const std::string& path) {
  for (std::size_t i = path.size(); i > 0; --i) {
    char c = path[i - 1];
    if (internal::IsPathSeparator(c) || (c == ':' && PathSeparator() == '\\')) return path.substr(0, i);
  }
  return "";
}

bool ReadWholeFile(const std::string& path, std::string& out) {
  std::FILE* f = OpenFile(path, "rb");
  if (!f) return false;
  std::string data;
  char buf[65536];
  std::size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) data.append(buf, n);
  bool ok = !std::ferror(f);
  std::fclose(f);
  if (ok) out.swap(data);
  return ok;
}

}  // namespace platform
