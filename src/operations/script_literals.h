// script_literals.h — values written as SQL*Plus-safe SQL literals for the
// table scripts: text as quoted pieces with control characters as CHR(n),
// joined by "||" and spread over lines short enough for SQL*Plus, none of
// which SQL*Plus could read as a command or a statement's end.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace operations {

// Longest run of one literal piece on a line (bytes of the value). SQL*Plus
// takes lines of up to 2499 characters; a piece quoted with every quote
// doubled stays well below that.
constexpr std::size_t kPieceBytes = 1000;
// Longest character literal Oracle takes in SQL (bytes).
constexpr std::size_t kMaxSqlLiteral = 4000;

// The parts of a text value: quoted runs ('it''s') and CHR(n) for control
// characters, runs no longer than kPieceBytes and never cut inside a UTF-8
// sequence. An empty text gives no parts.
std::vector<std::string> TextParts(std::string_view text);

// Joins parts with " || ", starting a new line (indented) whenever the
// current one would grow past about kPieceBytes.
std::string JoinParts(const std::vector<std::string>& parts, const std::string& indent);

// A character value as an expression: NULL for none; parts joined. For
// CLOBs each group of parts up to kMaxSqlLiteral bytes is wrapped in TO_CLOB
// so the concatenation is a CLOB of any length.  `national` (NCHAR,
// NVARCHAR2, NCLOB) writes N'..' pieces and TO_NCLOB, so the text goes to
// the national character set as such rather than through the database's.
std::string TextLiteral(std::string_view text, bool clob, const std::string& indent, bool national = false);

// A CLOB value's expression in its groups, TO_CLOB(...) (TO_NCLOB(N'...')
// when national) of at most kMaxSqlLiteral bytes each, in order; joined by
// " || " they are TextLiteral's expression.  Empty for an empty text.
std::vector<std::string> ClobGroups(std::string_view text, const std::string& indent, bool national);
std::vector<std::string> ClobGroups(const std::vector<std::string>& parts, const std::string& indent,
                                    bool national);

// A number as Oracle's text gives it, with whatever decimal character the
// session used turned into ".", so the literal reads the same everywhere.
std::string NumberLiteral(std::string_view text);

// RAW given as hex: HEXTORAW('...'), the hex split into pieces.
std::string RawLiteral(std::string_view hex, const std::string& indent);

// The format dates are read and written with: the signed year keeps
// dates before Christ (YYYY would turn 44 BC into AD 44).
constexpr const char* kDateFormat = "SYYYY-MM-DD HH24:MI:SS";
// A date given as kDateFormat text (" 2024-..." or "-0044-...").
std::string DateLiteral(std::string_view text);

// A name in double quotes, exactly as the dictionary spells it.
std::string QuotedName(const std::string& name);

}  // namespace operations
