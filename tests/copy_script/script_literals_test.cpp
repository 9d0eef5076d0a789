// Literals of the table scripts: exact values, nothing SQL*Plus would read
// as a command or a statement's end, no line too long for it.
#include <gtest/gtest.h>

#include <sstream>

#include "operations/script_literals.h"

namespace {

using namespace operations;

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string l; std::getline(in, l);) lines.push_back(l);
  return lines;
}

TEST(ScriptLiterals, QuotesDoubledControlCharactersAsChr) {
  EXPECT_EQ(TextLiteral("it's", false, ""), "'it''s'");
  EXPECT_EQ(TextLiteral("a\r\nb\tc&d", false, ""), "'a' || CHR(13) || CHR(10) || 'b' || CHR(9) || 'c&d'");
  EXPECT_EQ(TextLiteral("\x01", false, ""), "CHR(1)");
  EXPECT_EQ(TextLiteral("", false, ""), "NULL");
  EXPECT_EQ(TextLiteral("", true, ""), "EMPTY_CLOB()");
}

TEST(ScriptLiterals, LongTextIsSplitIntoShortLinesNeverInsideACharacter) {
  // 2,500 two-byte characters and quotes: every line short, nothing lost.
  std::string text;
  for (int i = 0; i < 2500; ++i) text += i % 7 ? "\xC3\xA9" : "'";
  const std::string lit = TextLiteral(text, false, "  ");
  std::string back;
  for (const auto& line : Lines(lit)) {
    EXPECT_LE(line.size(), 2499u);
    EXPECT_NE(line, "/");
    EXPECT_NE(line, ".");
    EXPECT_NE(line.back(), ';');
  }
  for (const auto& part : TextParts(text)) {
    ASSERT_EQ(part.front(), '\'');
    std::string body = part.substr(1, part.size() - 2);
    // A piece never ends in the middle of a UTF-8 sequence.
    EXPECT_NE(static_cast<unsigned char>(body.back()), 0xC3);
    for (size_t i = 0; i < body.size(); ++i) {
      back += body[i];
      if (body[i] == '\'') ++i;
    }
  }
  EXPECT_EQ(back, text);
}

TEST(ScriptLiterals, ClobsAreJoinedAsClobsInGroupsOfAtMostFourThousandBytes) {
  const std::string text(10000, 'x');
  const std::string lit = TextLiteral(text, true, "");
  size_t groups = 0;
  for (size_t at = lit.find("TO_CLOB("); at != std::string::npos; at = lit.find("TO_CLOB(", at + 1)) ++groups;
  EXPECT_EQ(groups, 3u);
  for (const auto& line : Lines(lit)) EXPECT_LE(line.size(), 1100u);
}

TEST(ScriptLiterals, NumbersKeepEveryDigitAndNeverADecimalComma) {
  EXPECT_EQ(NumberLiteral("12345678901234567890123456789012345678"), "12345678901234567890123456789012345678");
  EXPECT_EQ(NumberLiteral("-,5"), "-.5");
  EXPECT_EQ(NumberLiteral("1,0E-130"), "1.0E-130");
  EXPECT_EQ(NumberLiteral("1.5"), "1.5");
}

TEST(ScriptLiterals, RawAndDate) {
  EXPECT_EQ(RawLiteral("00FF", ""), "HEXTORAW('00FF')");
  EXPECT_EQ(RawLiteral(std::string(2500, 'A'), "").find("' ||\n'"), 1010u);
  // Dates travel with the signed year: AD as the server writes it (a blank
  // in the sign's place, left out), BC with its "-".
  EXPECT_EQ(DateLiteral(" 0001-01-01 00:00:00"), "TO_DATE('0001-01-01 00:00:00', 'SYYYY-MM-DD HH24:MI:SS')");
  EXPECT_EQ(DateLiteral("-0044-03-15 12:00:00"), "TO_DATE('-0044-03-15 12:00:00', 'SYYYY-MM-DD HH24:MI:SS')");
}

TEST(ScriptLiterals, NationalTextIsWrittenAsNationalLiterals) {
  EXPECT_EQ(TextLiteral("it's", false, "", true), "N'it''s'");
  EXPECT_EQ(TextLiteral("a\nb", false, "", true), "N'a' || CHR(10) || N'b'");
  EXPECT_EQ(TextLiteral("", false, "", true), "NULL");
  const std::string lob = TextLiteral(std::string(5000, 'x'), true, "", true);
  EXPECT_EQ(lob.rfind("TO_NCLOB(N'", 0), 0u) << lob.substr(0, 40);
  EXPECT_NE(lob.find("||\nTO_NCLOB(N'"), std::string::npos);
  EXPECT_EQ(lob.find("TO_CLOB"), std::string::npos);
}

}  // namespace
