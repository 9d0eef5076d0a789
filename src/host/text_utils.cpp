// text_utils.cpp — wrapping and trimming of display texts.
#include "host/text_utils.h"

#include <cctype>

namespace host {
namespace {

bool IsBreakChar(char c) { return c == ' ' || c == '-' || c == '\t'; }

void WrapOneLine(const std::string& line, std::size_t maxCol, std::vector<std::string>& out) {
  std::size_t start = 0;
  while (line.size() - start > maxCol) {
    // The last break character within the width, outside quotes; failing
    // that, the first one after it (the line then runs long).
    std::size_t breakAfter = std::string::npos;
    char quote = 0;
    for (std::size_t i = start; i < line.size(); ++i) {
      char c = line[i];
      if (quote != 0) {
        if (c == quote) quote = 0;
      } else if (c == '\'' || c == '"') {
        quote = c;
      } else if (IsBreakChar(c)) {
        if (i - start < maxCol || breakAfter == std::string::npos) breakAfter = i;
        if (i - start >= maxCol) break;
      }
      if (i - start >= maxCol && breakAfter != std::string::npos) break;
    }
    if (breakAfter == std::string::npos || breakAfter + 1 >= line.size()) break;
    out.push_back(line.substr(start, breakAfter + 1 - start));
    start = breakAfter + 1;
  }
  out.push_back(line.substr(start));
}

}  // namespace

std::vector<std::string> WrapLines(const std::string& text, std::size_t maxCol) {
  std::vector<std::string> out;
  std::size_t start = 0;
  while (true) {
    std::size_t nl = text.find('\n', start);
    std::string line = text.substr(start, nl == std::string::npos ? std::string::npos : nl - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    // A lone carriage return also ends a line.
    std::size_t from = 0;
    for (std::size_t cr = line.find('\r'); cr != std::string::npos; cr = line.find('\r', from)) {
      WrapOneLine(line.substr(from, cr - from), maxCol, out);
      from = cr + 1;
    }
    WrapOneLine(line.substr(from), maxCol, out);
    if (nl == std::string::npos) break;
    start = nl + 1;
  }
  return out;
}

std::string UpperCase(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

std::string Trim(const std::string& text) {
  std::size_t b = 0, e = text.size();
  while (b < e && static_cast<unsigned char>(text[b]) <= ' ') ++b;
  while (e > b && static_cast<unsigned char>(text[e - 1]) <= ' ') --e;
  return text.substr(b, e - b);
}

std::string StripExtensionUpper(const std::string& text) {
  // A dot followed by a path delimiter does not start an extension.
  std::size_t p = text.find_last_of(".\\:");
  bool extension = p != std::string::npos && text[p] == '.';
  return UpperCase(extension ? text.substr(0, p) : text);
}

std::string TrimTrailingLineBreak(std::string text) {
  if (!text.empty() && text.back() == '\n') text.pop_back();
  if (!text.empty() && text.back() == '\r') text.pop_back();
  return text;
}

std::string AfterDot(const std::string& text) {
  std::size_t d = text.rfind('.');
  return d == std::string::npos ? std::string() : text.substr(d + 1);
}

std::string BeforeDot(const std::string& text) {
  std::size_t d = text.rfind('.');
  return d == std::string::npos ? text : text.substr(0, d);
}

}  // namespace host
