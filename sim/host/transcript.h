// transcript.h — the stand-in's output: one record per line on a stream.
//
// Every record starts with a fixed word naming its kind ("item", "message",
// "dialog-item", ...), followed by bare words, key=value pairs and quoted
// strings.  Strings are always written in double quotes with C escapes, so
// a record never spans lines and the output diffs cleanly.  The lines are
// also kept in memory for the C++ API and the script's expect commands.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/far_abi.h"

namespace hostsim {

// "text" with \" \\ \n \r \t and \xHH for other control bytes; bytes >= 0x80
// (UTF-8) pass through unchanged.
std::string Quote(std::string_view text);
// Quote() for a host string that may be null: null prints as a bare "-".
std::string QuoteOrDash(const char* text);
std::string QuoteOrDash(const std::optional<std::string>& text);
// A host string copied out of a plugin's record; null stays distinct from "".
std::optional<std::string> OptionalText(const char* text);
// A C-style quoted string (as Quote writes it) back to its bytes.
// False when `quoted` is not one well-formed quoted string.
bool Unquote(std::string_view quoted, std::string& out);

// ISO 8601 UTC text of a FILETIME ("2024-05-01T12:00:00Z"), "-" for zero.
std::string IsoTime(const far::FILETIME& time);
far::FILETIME FileTimeFromUnix(std::int64_t seconds);

std::string Hex(std::uint64_t value);  // "0x1f"

class Transcript {
 public:
  explicit Transcript(std::ostream* out) : out_(out) {}

  // Writes one record; embedded line breaks are the caller's bug and are
  // escaped rather than split.
  void Line(const std::string& record);

  const std::vector<std::string>& Lines() const { return lines_; }
  // Index of the first line not yet looked at by expect commands.
  std::size_t Mark() const { return mark_; }
  void SetMark(std::size_t mark) { mark_ = mark; }
  // Drops the kept lines (a long repeated run keeps only the current script's).
  void Forget() {
    lines_.clear();
    mark_ = 0;
  }

 private:
  std::ostream* out_;
  std::vector<std::string> lines_;
  std::size_t mark_ = 0;
};

}  // namespace hostsim
