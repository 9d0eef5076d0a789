// transcript.cpp — quoting, time text and the line sink of the stand-in.
#include "transcript.h"

#include <cstdio>
#include <ctime>
#include <ostream>

namespace hostsim {

std::string Quote(std::string_view text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (c < 0x20 || c == 0x7F) {
          char buf[8];
          std::snprintf(buf, sizeof buf, "\\x%02X", c);
          out += buf;
        } else {
          out += static_cast<char>(c);
        }
    }
  }
  out += '"';
  return out;
}

std::string QuoteOrDash(const char* text) { return text ? Quote(text) : std::string("-"); }

std::string QuoteOrDash(const std::optional<std::string>& text) { return text ? Quote(*text) : std::string("-"); }

std::optional<std::string> OptionalText(const char* text) {
  if (!text) return std::nullopt;
  return std::string(text);
}

static int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool Unquote(std::string_view quoted, std::string& out) {
  if (quoted.size() < 2 || quoted.front() != '"' || quoted.back() != '"') return false;
  out.clear();
  for (std::size_t i = 1; i + 1 < quoted.size(); ++i) {
    char c = quoted[i];
    if (c == '"') return false;
    if (c != '\\') {
      out += c;
      continue;
    }
    if (++i + 1 > quoted.size() - 1) return false;
    switch (quoted[i]) {
      case 'n': out += '\n'; break;
      case 'r': out += '\r'; break;
      case 't': out += '\t'; break;
      case '"': out += '"'; break;
      case '\\': out += '\\'; break;
      case 'x': {
        if (i + 2 >= quoted.size() - 1) return false;
        int hi = HexDigit(quoted[i + 1]), lo = HexDigit(quoted[i + 2]);
        if (hi < 0 || lo < 0) return false;
        out += static_cast<char>(hi * 16 + lo);
        i += 2;
        break;
      }
      default: return false;
    }
  }
  return true;
}

// 100-ns ticks between 1601-01-01 and 1970-01-01.
constexpr std::uint64_t kEpochDelta = 116444736000000000ULL;

std::string IsoTime(const far::FILETIME& time) {
  std::uint64_t ticks = (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
  if (ticks == 0) return "-";
  std::int64_t seconds = (static_cast<std::int64_t>(ticks) - static_cast<std::int64_t>(kEpochDelta)) /
                         10000000;
  std::time_t t = static_cast<std::time_t>(seconds);
  std::tm tm{};
  if (!gmtime_r(&t, &tm)) return "-";
  char buf[32];
  std::strftime(buf, sizeof buf, "%Y-%m-%dT%H:%M:%SZ", &tm);
  return buf;
}

far::FILETIME FileTimeFromUnix(std::int64_t seconds) {
  std::uint64_t ticks = static_cast<std::uint64_t>(seconds * 10000000 + static_cast<std::int64_t>(kEpochDelta));
  return {static_cast<far::DWORD>(ticks & 0xFFFFFFFFu), static_cast<far::DWORD>(ticks >> 32)};
}

std::string Hex(std::uint64_t value) {
  char buf[24];
  std::snprintf(buf, sizeof buf, "0x%llx", static_cast<unsigned long long>(value));
  return buf;
}

void Transcript::Line(const std::string& record) {
  std::string line;
  line.reserve(record.size());
  for (char c : record) {
    if (c == '\n') line += "\\n";
    else if (c == '\r') line += "\\r";
    else line += c;
  }
  lines_.push_back(line);
  if (out_) *out_ << line << std::endl;  // flushed: a crash must not lose earlier records
}

}  // namespace hostsim
