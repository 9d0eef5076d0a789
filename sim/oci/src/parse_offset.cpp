// parse_offset.cpp — see parse_offset.h.
#include "parse_offset.h"

#include <cctype>

namespace ocisim {
namespace {

bool WordChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '$' || c == '#'; }

char Upper(char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }

// The identifier as the statement may write it: unquoted (any case) or
// quoted (exactly); returns the offset of its first use in code, npos if none.
std::size_t FindInCode(const std::string& sql, const std::string& name) {
  std::size_t i = 0;
  while (i < sql.size()) {
    if (sql.compare(i, 2, "--") == 0) {
      i = sql.find('\n', i);
      if (i == std::string::npos) return std::string::npos;
      continue;
    }
    if (sql.compare(i, 2, "/*") == 0) {
      i = sql.find("*/", i + 2);
      if (i == std::string::npos) return std::string::npos;
      i += 2;
      continue;
    }
    if (sql[i] == '\'') {
      i = sql.find('\'', i + 1);
      if (i == std::string::npos) return std::string::npos;
      ++i;
      continue;
    }
    if (sql[i] == '"') {
      std::size_t end = sql.find('"', i + 1);
      if (end == std::string::npos) return std::string::npos;
      if (sql.compare(i + 1, end - i - 1, name) == 0 && end - i - 1 == name.size()) return i;
      i = end + 1;
      continue;
    }
    if (WordChar(sql[i])) {
      std::size_t end = i;
      while (end < sql.size() && WordChar(sql[end])) ++end;
      if (end - i == name.size()) {
        bool same = true;
        for (std::size_t k = 0; k < name.size() && same; ++k) same = Upper(sql[i + k]) == name[k];
        if (same) return i;
      }
      i = end;
      continue;
    }
    ++i;
  }
  return std::string::npos;
}

}  // namespace

unsigned ParseErrorOffset(const std::string& sql, int code, const std::string& message) {
  if (code != 904) return 0;
  // ORA-00904: "E"."ENAMEX": invalid identifier — the last quoted part.
  const std::size_t tail = message.rfind(": invalid identifier");
  if (tail == std::string::npos || tail == 0 || message[tail - 1] != '"') return 0;
  const std::size_t open = message.rfind('"', tail - 2);
  if (open == std::string::npos) return 0;
  const std::string name = message.substr(open + 1, tail - 1 - open - 1);
  if (name.empty()) return 0;
  const std::size_t at = FindInCode(sql, name);
  return at == std::string::npos || at > 0xFFFF ? 0 : static_cast<unsigned>(at);
}

}  // namespace ocisim
