// tnsnames.cpp — see tnsnames.h.
#include "oracle/tnsnames.h"

#include <algorithm>

#include "oracle/text_util.h"
#include "platform/platform.h"

namespace oracle {
namespace {

// Oracle documents three nesting levels for included parameter files; a
// generous bound keeps a long include chain from exhausting the stack.
constexpr std::size_t kMaxIncludeDepth = 32;

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

// Files currently being read, to skip a file that includes itself.
class AliasReader {
 public:
  explicit AliasReader(TnsAliasSet& aliases) : aliases_(aliases) {}

  void Read(std::string fileName, const std::string& includingDir) {
    while (fileName.rfind("\\\\\\", 0) == 0) fileName.erase(0, 1);
    fileName = Unquote(Trim(fileName));
    if (fileName.empty()) return;
    // An include named relative to the including file is found beside it
    // when it is not found relative to the current directory.
    if (!platform::FileExists(fileName) && !includingDir.empty() &&
        platform::FileExists(platform::JoinPath(includingDir, fileName))) {
      fileName = platform::JoinPath(includingDir, fileName);
    }
    std::string content;
    if (!platform::FileExists(fileName) || !platform::ReadWholeFile(fileName, content)) return;
    const std::string identity = Identity(fileName);
    if (open_.size() >= kMaxIncludeDepth ||
        std::find(open_.begin(), open_.end(), identity) != open_.end()) {
      return;
    }
    open_.push_back(identity);
    ReadContent(content, platform::DirectoryOf(fileName));
    open_.pop_back();
  }

 private:
  static std::string Identity(const std::string& fileName) {
    std::string path = fileName;
    if (!path.empty() && path[0] != '/' && path[0] != '\\' && path.find(':') == std::string::npos) {
      path = platform::JoinPath(platform::CurrentDirectory(), path);
    }
    // Fold "./" and case so the same file named two ways is recognised.
    std::string folded;
    for (std::size_t i = 0; i < path.size(); ++i) {
      char c = path[i] == '\\' ? '/' : path[i];
      if (c == '/' && i + 1 < path.size() && path[i + 1] == '.' &&
          (i + 2 == path.size() || path[i + 2] == '/' || path[i + 2] == '\\')) {
        ++i;
        continue;
      }
      if (c == '/' && !folded.empty() && folded.back() == '/') continue;
      folded += c;
    }
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
  std::vector<std::string> open_;
};

}  // namespace

bool AliasLess::operator()(const std::string& a, const std::string& b) const {
  return UpperCase(a) < UpperCase(b);
}

void ReadTnsAliases(const std::string& fileName, TnsAliasSet& aliases) {
  AliasReader(aliases).Read(fileName, "");
}

}  // namespace oracle
