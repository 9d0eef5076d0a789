// Ctrl+Z texts: a comment spread over rows of 57 and joined back, and the
// COMMENT statements with names and quotes as the server needs them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "operations/comments_text.h"

namespace {

using operations::CommentStatement;
using operations::CommentTarget;
using operations::JoinCommentRows;
using operations::WrapComment;

TEST(CommentText, RowsKeepEveryWordAndTheTextsOwnBreaks) {
  const std::string text =
      "Salary of the employee in the currency of the company's head office, paid monthly; commission apart.\r\n"
      "Second paragraph";
  std::vector<std::string> rows = WrapComment(text, 57);
  ASSERT_EQ(rows.size(), 3u);
  for (const auto& r : rows) EXPECT_LE(r.size(), 57u) << r;
  EXPECT_EQ(rows[2], "Second paragraph");
  // The quote does not stop the wrap, and joining with blanks gives the text back.
  EXPECT_EQ(JoinCommentRows({rows[0], rows[1]}, true),
            "Salary of the employee in the currency of the company's head office, paid monthly; commission apart.");
}

TEST(CommentText, LongWordsAndUtf8AreBrokenWithoutLosingCharacters) {
  const std::string word(130, 'x');
  std::vector<std::string> rows = WrapComment(word, 57);
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0].size() + rows[1].size() + rows[2].size(), 130u);
  // 60 two-byte letters: 57 of them on the first row, never half a letter.
  std::string umlauts;
  for (int i = 0; i < 60; ++i) umlauts += "\xC3\xA4";
  rows = WrapComment(umlauts, 57);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].size(), 114u);
  EXPECT_EQ(rows[1].size(), 6u);
  // Punctuation is a break when a row has no blank.
  rows = WrapComment(std::string(50, 'a') + "," + std::string(20, 'b'), 57);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0], std::string(50, 'a') + ",");
}

TEST(CommentText, RowsJoinWithABlankOrCrLfAndEmptyRowsAreSkipped) {
  const std::vector<std::string> rows{"  first row ", "", "second", "   ", "third", "", "", "", "", ""};
  EXPECT_EQ(JoinCommentRows(rows, true), "first row second third");
  EXPECT_EQ(JoinCommentRows(rows, false), "first row\r\nsecond\r\nthird");
  EXPECT_EQ(JoinCommentRows(std::vector<std::string>(10), true), "");
  EXPECT_EQ(WrapComment("", 57), std::vector<std::string>{""});
}

TEST(CommentText, StatementsQuoteNamesAndDoubleQuotes) {
  EXPECT_EQ(CommentStatement({"SCOTT", "EMP", ""}, "It's the staff"),
            "COMMENT ON TABLE \"SCOTT\".\"EMP\" IS 'It''s the staff'");
  EXPECT_EQ(CommentStatement({"SCOTT", "Mixed Case Table", "Sal"}, ""),
            "COMMENT ON COLUMN \"SCOTT\".\"Mixed Case Table\".\"Sal\" IS ''");
  EXPECT_EQ((CommentTarget{"SCOTT", "EMP", "SAL"}).Description(), "column EMP.SAL");
  EXPECT_EQ((CommentTarget{"SCOTT", "EMP", ""}).Description(), "table EMP");
}

}  // namespace
