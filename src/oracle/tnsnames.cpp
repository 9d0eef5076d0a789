// tnsnames.cpp — see tnsnames.h.
#include "oracle/tnsnames.h"

#include "oracle/text_util.h"
#include "platform/platform.h"

namespace oracle {
namespace {

// Oracle documents three nesting levels for included parameter files; a
// generous bound keeps a long include chain from exhausting the stack, and
// one on the files read keeps links from naming one file without end.
constexpr std::size_t kMaxIncludeDepth = 32;
constexpr std::size_t kMaxFiles = 64;

// The old default domain: "PROD.WORLD" is the alias PROD.  Only a final
// ".WORLD" is that domain; FOO.WORLDWIDE.COM is an alias of its own.
std::string WithoutWorldDomain(const std::string& alias) {
  constexpr std::size_t kLength = 6;  // ".WORLD"
  if (alias.size() > kLength && UpperCase(alias.substr(alias.size() - kLength)) == ".WORLD")
    return Trim(alias.substr(0, alias.size() - kLength));
  return alias;
}

std::vector<std::string> SplitLines(const std::string& content) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start <= content.size()) {
    std::size_t end = content.find('\n', start);
    if (end == std::string::npos) {
      if (start < content.size()) lines.push_back(content.substr(start));
      break;
    }
    lines.push_back(content.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

std::string Unquote(const std::string& text) {
  if (text.size() >= 2 && (text.front() == '"' || text.front() == '\'') && text.back() == text.front()) {
    return text.substr(1, text.size() - 2);
  }
  return text;
}

// Reads each file once, however often and under whatever names it is
// included: a file may include itself, or be included twice by each of
// several files, and the logon dialog waits for the reader.
class AliasReader {
 public:
  AliasReader(TnsAliasSet& aliases, const TnsFileSource& files) : aliases_(aliases), files_(files) {}

  void Read(std::string fileName, const std::string& includingDir) {
    while (fileName.rfind("\\\\\\", 0) == 0) fileName.erase(0, 1);
    fileName = Unquote(Trim(fileName));
    if (fileName.empty()) return;
    // An include named relative to the including file is found beside it
    // when it is not found relative to the current directory.
    if (!files_.Exists(fileName) && !includingDir.empty() &&
        files_.Exists(platform::JoinPath(includingDir, fileName))) {
      fileName = platform::JoinPath(includingDir, fileName);
    }
    if (depth_ >= kMaxIncludeDepth || seen_.size() >= kMaxFiles || !files_.Exists(fileName)) return;
    // Links can still give one file endless names; the bounds above end that.
    if (!seen_.insert(Identity(fileName)).second) return;
    std::string content;
    if (!files_.Read(fileName, content)) return;
    ++depth_;
    ReadContent(content, platform::DirectoryOf(fileName));
    --depth_;
  }

 private:
  // The file's absolute path with "." and ".." resolved, one kind of
  // separator and one letter case, so the same file named two ways is
  // recognised.
  std::string Identity(const std::string& fileName) const {
    std::string path = fileName;
    if (!path.empty() && path[0] != '/' && path[0] != '\\' && path.find(':') == std::string::npos) {
      path = platform::JoinPath(files_.CurrentDirectory(), path);
    }
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= path.size()) {
      std::size_t end = path.find_first_of("/\\", start);
      std::string part = path.substr(start, end == std::string::npos ? std::string::npos : end - start);
      if (part == "..") {
        if (parts.size() > 1) parts.pop_back();
      } else if (part != "." && (!part.empty() || parts.empty())) {
        parts.push_back(part);  // the first part is "" or a drive ("C:")
      }
      if (end == std::string::npos) break;
      start = end + 1;
    }
    std::string folded;
    for (std::size_t i = 0; i < parts.size(); ++i) folded += (i ? "/" : "") + parts[i];
    return UpperCase(folded);
  }

  void ReadContent(const std::string& content, const std::string& dir) {
    int depth = 0;
    bool includePending = false;
    for (const std::string& line : SplitLines(content)) {
      std::string entry;
      for (char c : line) {
        if (c == '#') break;
        if (c == '(') ++depth;
        if (depth == 0 && static_cast<unsigned char>(c) >= 32) entry += c;
        // A stray ")" must not hide the rest of the file.
        if (c == ')' && depth > 0) --depth;
      }
      entry = Trim(entry);
      if (entry.empty()) continue;
      const std::size_t eq = entry.find('=');
      if (eq == std::string::npos) {
        if (includePending) {
          includePending = false;
          Read(entry, dir);
        }
        continue;
      }
      const std::string value = Trim(entry.substr(eq + 1));
      const std::string names = Trim(entry.substr(0, eq));
      if (EqualsNoCase(names, "IFILE")) {
        if (value.empty()) {
          includePending = true;
        } else {
          Read(value, dir);
        }
        continue;
      }
      // "A, A.WORLD = (...)" names one descriptor twice.
      std::size_t start = 0;
      while (start <= names.size()) {
        std::size_t comma = names.find(',', start);
        std::string alias = Trim(names.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
        alias = WithoutWorldDomain(alias);
        if (!alias.empty()) aliases_.insert(alias);
        if (comma == std::string::npos) break;
        start = comma + 1;
      }
    }
  }

  TnsAliasSet& aliases_;
  const TnsFileSource& files_;
  std::set<std::string> seen_;
  std::size_t depth_ = 0;
};

}  // namespace

bool AliasLess::operator()(const std::string& a, const std::string& b) const {
  return UpperCase(a) < UpperCase(b);
}

void ReadTnsAliases(const std::string& fileName, TnsAliasSet& aliases, const TnsFileSource& files) {
  AliasReader(aliases, files).Read(fileName, "");
}

void ReadTnsAliases(const std::string& fileName, TnsAliasSet& aliases) {
  class DiskFiles final : public TnsFileSource {
   public:
    bool Exists(const std::string& path) const override { return platform::FileExists(path); }
    bool Read(const std::string& path, std::string& content) const override {
      return platform::ReadWholeFile(path, content);
    }
    std::string CurrentDirectory() const override { return platform::CurrentDirectory(); }
  };
  ReadTnsAliases(fileName, aliases, DiskFiles());
}

}  // namespace oracle
