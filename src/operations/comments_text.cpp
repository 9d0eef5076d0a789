// comments_text.cpp — wrapping, joining and quoting comment texts.
#include "operations/comments_text.h"

#include <cstring>

#include "host/text_utils.h"
#include "operations/drop_statements.h"

namespace operations {
namespace {

// Characters are counted as the host shows them: a UTF-8 sequence is one.
bool Continuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

std::size_t CharCount(const std::string& s) {
  std::size_t n = 0;
  for (char c : s) n += Continuation(c) ? 0 : 1;
  return n;
}

// Byte offset just past the first `chars` characters of s.
std::size_t ByteOffset(const std::string& s, std::size_t chars) {
  std::size_t i = 0, n = 0;
  while (i < s.size()) {
    if (!Continuation(s[i])) {
      if (n == chars) break;
      ++n;
    }
    ++i;
  }
  return i;
}

bool Punctuation(char c) { return c != '\0' && std::strchr(",.;:!?)-/", c) != nullptr; }

void WrapLine(std::string line, std::size_t width, std::vector<std::string>& rows) {
  while (CharCount(line) > width) {
    const std::size_t limit = ByteOffset(line, width);
    std::size_t cut = std::string::npos;
    // Last blank within the row; else last punctuation; else a hard break.
    for (std::size_t i = limit + 1; i-- > 0;)
      if (i < line.size() && (line[i] == ' ' || line[i] == '\t')) {
        cut = i;
        break;
      }
    if (cut == std::string::npos || cut == 0) {
      cut = std::string::npos;
      for (std::size_t i = limit; i >= 2; --i)
        if (Punctuation(line[i - 1])) {
          cut = i;
          break;
        }
      if (cut == std::string::npos) cut = limit;
    }
    rows.push_back(host::Trim(line.substr(0, cut)));
    line = host::Trim(line.substr(cut));
  }
  rows.push_back(host::Trim(line));
}

std::string Literal(const std::string& text) {
  std::string out = "'";
  for (char c : text) {
    out += c;
    if (c == '\'') out += '\'';
  }
  return out + "'";
}

}  // namespace

std::string CommentTarget::Description() const {
  return column.empty() ? "table " + table : "column " + table + "." + column;
}

std::vector<std::string> WrapComment(const std::string& text, std::size_t width) {
  std::vector<std::string> rows;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find_first_of("\r\n", start);
    WrapLine(text.substr(start, end == std::string::npos ? std::string::npos : end - start), width, rows);
    if (end == std::string::npos) break;
    start = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
  }
  return rows;
}

std::string JoinCommentRows(const std::vector<std::string>& rows, bool removeBreaks) {
  std::string out;
  for (const std::string& row : rows) {
    const std::string t = host::Trim(row);
    if (t.empty()) continue;
    if (!out.empty()) out += removeBreaks ? " " : "\r\n";
    out += t;
  }
  return out;
}

std::string CommentStatement(const CommentTarget& target, const std::string& text) {
  if (target.column.empty())
    return "COMMENT ON TABLE " + Quoted(target.owner, target.table) + " IS " + Literal(text);
  return "COMMENT ON COLUMN " + Quoted(target.owner, target.table) + "." + Quoted(target.column) + " IS " +
         Literal(text);
}

}  // namespace operations
