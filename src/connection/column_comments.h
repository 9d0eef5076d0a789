// column_comments.h — the comments of every column of a table or view, read
// with one query for the whole record instead of one per column (on a real
// network each query is a round trip).
#pragma once

#include <string>
#include <unordered_map>

namespace connection {

class TPluginDataModule;

class ColumnComments {
 public:
  // Reads the comments of `owner`.`name` (both by the one rule for names).
  // A failure leaves every column without a comment, as a failed look-up of
  // a single comment always did.
  ColumnComments(TPluginDataModule& module, const std::string& owner, const std::string& name);

  // The comment of `column`: the column as written when it exists so,
  // otherwise in upper case; "" when it has none.
  std::string Of(const std::string& column) const;

 private:
  std::unordered_map<std::string, std::string> comments_;
};

}  // namespace connection
