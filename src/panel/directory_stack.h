// directory_stack.h — the jump-back stack of a panel.
//
// Every plain descent pushes a marker with an empty path; a jump to another
// object pushes the path and cursor it came from, so ".." can return there.
#pragma once

#include <string>
#include <vector>

namespace panel {

class TDirectoryStack {
 public:
  void Push(const std::string& path, int cursor) { entries_.push_back({path, cursor}); }
  void Pop() {
    if (!entries_.empty()) entries_.pop_back();
  }
  std::string TopPath() const { return entries_.empty() ? std::string() : entries_.back().path; }
  int TopCursor() const { return entries_.empty() ? 0 : entries_.back().cursor; }
  void Clear() { entries_.clear(); }
  std::size_t Size() const { return entries_.size(); }

 private:
  struct Entry {
    std::string path;
    int cursor;
  };
  std::vector<Entry> entries_;
};

}  // namespace panel
