// script_literals.cpp — see script_literals.h.
#include "operations/script_literals.h"

namespace operations {
namespace {

bool IsControl(unsigned char c) { return c < 32 || c == 127; }

// Length of the UTF-8 sequence starting with c (1 for ASCII and stray bytes).
std::size_t SequenceLength(unsigned char c) {
  if (c >= 0xF0 && c < 0xF8) return 4;
  if (c >= 0xE0) return c < 0xF0 ? 3 : 1;
  if (c >= 0xC0) return 2;
  return 1;
}

}  // namespace

std::vector<std::string> TextParts(std::string_view text) {
  std::vector<std::string> parts;
  std::string run;
  std::size_t runBytes = 0;
  auto flush = [&] {
    if (runBytes == 0) return;
    parts.push_back("'" + run + "'");
    run.clear();
    runBytes = 0;
  };
  for (std::size_t i = 0; i < text.size();) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (IsControl(c)) {
      flush();
      parts.push_back("CHR(" + std::to_string(c) + ")");
      ++i;
      continue;
    }
    std::size_t n = SequenceLength(c);
    if (i + n > text.size()) n = 1;
    for (std::size_t k = 1; k < n; ++k)
      if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) n = 1;
    if (runBytes + n > kPieceBytes) flush();
    for (std::size_t k = 0; k < n; ++k) {
      run += text[i + k];
      if (text[i + k] == '\'') run += '\'';
    }
    runBytes += n;
    i += n;
  }
  flush();
  return parts;
}

std::string JoinParts(const std::vector<std::string>& parts, const std::string& indent) {
  std::string out;
  std::size_t lineLength = 0;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (i > 0) {
      if (lineLength + parts[i].size() + 4 > kPieceBytes + 16) {
        out += " ||\n" + indent;
        lineLength = indent.size();
      } else {
        out += " || ";
        lineLength += 4;
      }
    }
    out += parts[i];
    lineLength += parts[i].size();
  }
  return out;
}

namespace {

// N'..' for the quoted pieces of a national value; CHR(n) stays as it is.
void National(std::vector<std::string>& parts) {
  for (std::string& p : parts)
    if (!p.empty() && p[0] == '\'') p.insert(0, "N");
}

}  // namespace

std::string TextLiteral(std::string_view text, bool clob, const std::string& indent, bool national) {
  // EMPTY_CLOB() serves NCLOB columns too.
  if (text.empty()) return clob ? "EMPTY_CLOB()" : "NULL";
  // Most values are short plain text: one quoted piece, made directly.
  if (!clob && !national && text.size() <= kPieceBytes) {
    bool plain = true;
    for (char c : text) plain = plain && !IsControl(static_cast<unsigned char>(c));
    if (plain) {
      std::string out;
      out.reserve(text.size() + 8);
      out += '\'';
      for (char c : text) {
        out += c;
        if (c == '\'') out += '\'';
      }
      out += '\'';
      return out;
    }
  }
  std::vector<std::string> parts = TextParts(text);
  if (national) National(parts);
  if (!clob) return JoinParts(parts, indent);
  const std::vector<std::string> groups = ClobGroups(parts, indent, national);
  std::string out;
  for (std::size_t i = 0; i < groups.size(); ++i) out += (i ? " ||\n" + indent : std::string()) + groups[i];
  return out;
}

std::vector<std::string> ClobGroups(std::string_view text, const std::string& indent, bool national) {
  std::vector<std::string> parts = TextParts(text);
  if (national) National(parts);
  return ClobGroups(parts, indent, national);
}

std::vector<std::string> ClobGroups(const std::vector<std::string>& parts, const std::string& indent,
                                    bool national) {
  const std::string toLob = national ? "TO_NCLOB(" : "TO_CLOB(";
  // TO_CLOB(group) || TO_CLOB(group): each group a VARCHAR2 of at most
  // kMaxSqlLiteral bytes (a CHR(n) counts one byte).
  std::vector<std::string> groups;
  std::vector<std::string> group;
  std::size_t bytes = 0;
  auto valueBytes = [](const std::string& part) {
    const std::size_t open = part[0] == 'N' ? 1 : 0;
    if (part[open] != '\'') return std::size_t{1};
    std::size_t n = 0;
    for (std::size_t i = open + 1; i + 1 < part.size(); ++i) {
      ++n;
      if (part[i] == '\'') ++i;
    }
    return n;
  };
  for (const auto& part : parts) {
    const std::size_t b = valueBytes(part);
    if (!group.empty() && bytes + b > kMaxSqlLiteral) {
      groups.push_back(toLob + JoinParts(group, indent) + ")");
      group.clear();
      bytes = 0;
    }
    group.push_back(part);
    bytes += b;
  }
  if (!group.empty()) groups.push_back(toLob + JoinParts(group, indent) + ")");
  return groups;
}

std::string NumberLiteral(std::string_view text) {
  std::string out;
  for (char c : text) {
    if ((c >= '0' && c <= '9') || c == '-' || c == '+' || c == 'E' || c == 'e') out += c;
    else if (c != ' ') out += '.';
  }
  return out.empty() ? "NULL" : out;
}

std::string RawLiteral(std::string_view hex, const std::string& indent) {
  if (hex.empty()) return "NULL";
  std::vector<std::string> parts;
  for (std::size_t i = 0; i < hex.size(); i += kPieceBytes)
    parts.push_back("'" + std::string(hex.substr(i, kPieceBytes)) + "'");
  return "HEXTORAW(" + JoinParts(parts, indent) + ")";
}

std::string DateLiteral(std::string_view text) {
  // The blank in the sign's place of an AD year is left out: "2024-..." reads
  // the same with SYYYY and looks as a date usually does.
  if (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  return "TO_DATE('" + std::string(text) + "', '" + kDateFormat + "')";
}

std::string QuotedName(const std::string& name) { return "\"" + name + "\""; }

}  // namespace operations
