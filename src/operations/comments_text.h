// comments_text.h — the text side of Ctrl+Z: a comment spread over the
// dialog's rows, the rows joined back, and the COMMENT statement.
#pragma once

#include <string>
#include <vector>

namespace operations {

// What a comment belongs to: a table or view, or one of its columns.
struct CommentTarget {
  std::string owner, table, column;  // column empty for the table's own comment
  std::string Description() const;  // "table EMP" or "column EMP.SAL"
};

// Rows of at most `width` characters: the text's own line breaks kept,
// long lines broken after blanks (or punctuation when a row has no blank,
// or inside a word longer than a row); every row trimmed.  Nothing of the
// text but the blanks at the breaks is lost.
std::vector<std::string> WrapComment(const std::string& text, std::size_t width);

// The rows trimmed, empty ones skipped, joined with one blank (removeBreaks)
// or with CR LF.
std::string JoinCommentRows(const std::vector<std::string>& rows, bool removeBreaks);

// COMMENT ON TABLE "O"."T" IS '...' or COMMENT ON COLUMN "O"."T"."C" IS '...',
// single quotes in the text doubled.
std::string CommentStatement(const CommentTarget& target, const std::string& text);

}  // namespace operations
