// Fuzzes the tnsnames.ora alias reader over files held in memory: the first
// part of the input is /admin/tnsnames.ora, each "==> PATH <==" part another
// file its IFILE lines may include.  Paths resolve as a file system resolves
// them ("." and ".." and repeated slashes), so one file can be named many
// ways, as on a real disk.
#include <map>

#include "fuzz_support.h"
#include "oracle/tnsnames.h"

namespace {

std::string Normal(const std::string& path, const std::string& cwd) {
  std::string full = !path.empty() && path[0] == '/' ? path : cwd + "/" + path;
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (start <= full.size()) {
    std::size_t end = full.find('/', start);
    std::string part = full.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    if (end == std::string::npos) break;
    start = end + 1;
  }
  std::string out;
  for (const std::string& p : parts) out += "/" + p;
  return out.empty() ? "/" : out;
}

class MemoryFiles final : public oracle::TnsFileSource {
 public:
  static constexpr const char* kCwd = "/home/user";
  void Add(const std::string& path, const std::string& text) { files_[Normal(path, kCwd)] = text; }
  bool Exists(const std::string& path) const override { return files_.count(Normal(path, kCwd)) > 0; }
  bool Read(const std::string& path, std::string& content) const override {
    auto it = files_.find(Normal(path, kCwd));
    if (it == files_.end()) return false;
    ++reads;
    content = it->second;
    return true;
  }
  std::string CurrentDirectory() const override { return kCwd; }
  mutable std::size_t reads = 0;

 private:
  std::map<std::string, std::string> files_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  MemoryFiles files;
  std::vector<fuzz::Part> parts = fuzz::Files(fuzz::Text(data, size));
  files.Add("/admin/tnsnames.ora", parts[0].text);
  for (std::size_t i = 1; i < parts.size(); ++i) files.Add(parts[i].name, parts[i].text);

  oracle::TnsAliasSet aliases;
  oracle::ReadTnsAliases("/admin/tnsnames.ora", aliases, files);
  // The logon dialog waits for this: each file is read once at most,
  // however the files include each other.
  FUZZ_CHECK(files.reads <= parts.size(), std::to_string(files.reads) + " reads");
  for (const std::string& alias : aliases) {
    // What the dialog's list offers: a name, never a piece of a descriptor.
    FUZZ_CHECK(!alias.empty(), "");
    FUZZ_CHECK(alias.front() != ' ' && alias.back() != ' ' && alias.front() != '\t' && alias.back() != '\t', alias);
    FUZZ_CHECK(alias.find_first_of("=(,#\r\n") == std::string::npos, alias);
  }
  return 0;
}
