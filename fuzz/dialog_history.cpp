// Fuzzes far2l's dialog history file (dialogs.hst) as Quarry reads and
// writes it.  Input lines: the history's name, the entry to add, then the
// file's text.
#include <set>

#include "fuzz_support.h"
#include "host/dialog_history.h"
#include "host/text_utils.h"

namespace {

constexpr const char* kStamp = "00112233aabbccdd";

// The names of the histories the file holds.
std::set<std::string> HistoryNames(const std::string& text) {
  std::set<std::string> names;
  const std::string prefix = "[SavedDialogHistory/";
  for (std::size_t pos = text.find(prefix); pos != std::string::npos; pos = text.find(prefix, pos + 1)) {
    std::size_t end = text.find('\n', pos);
    std::string line = text.substr(pos, end == std::string::npos ? std::string::npos : end - pos);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if ((pos == 0 || text[pos - 1] == '\n') && line.size() > prefix.size() && line.back() == ']')
      names.insert(line.substr(prefix.size(), line.size() - prefix.size() - 1));
  }
  return names;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::vector<std::string> in = fuzz::Lines(fuzz::Text(data, size), 3);
  const std::string& name = in[0];
  const std::string& entry = in[1];
  const std::string& file = in[2];
  // Quarry's own history names: one line, no closing bracket.
  if (name.empty() || name.find_first_of("\r]") != std::string::npos) return 0;

  const std::vector<std::string> before = host::HistoryTextEntries(file, name);
  const std::optional<std::string> written = host::AddToHistoryText(file, name, entry, kStamp);
  if (entry.find_first_of("\r\n\"") != std::string::npos) {
    FUZZ_CHECK(!written, entry);
    return 0;
  }
  FUZZ_CHECK(written.has_value(), entry);
  const std::vector<std::string> after = host::HistoryTextEntries(*written, name);

  bool present = false;
  for (const std::string& e : before)
    present = present || host::UpperCase(host::Trim(e)) == host::UpperCase(host::Trim(entry));
  if (present) {
    FUZZ_CHECK(*written == file, "an entry already there changes nothing");
  } else if (!host::Trim(entry).empty()) {
    // What is written reads back: the old entries, then the new one.
    std::vector<std::string> expected = before;
    expected.push_back(entry);
    FUZZ_CHECK(after == expected, *written);
  }
  // The other histories of the file keep their entries.
  for (const std::string& other : HistoryNames(file)) {
    if (other == name) continue;
    FUZZ_CHECK(host::HistoryTextEntries(*written, other) == host::HistoryTextEntries(file, other), other);
  }
  // Adding the same entry again changes nothing.
  if (!host::Trim(entry).empty()) {
    const std::optional<std::string> again = host::AddToHistoryText(*written, name, entry, kStamp);
    FUZZ_CHECK(again && *again == *written, *written);
  }
  return 0;
}
