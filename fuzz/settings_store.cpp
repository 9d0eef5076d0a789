// Fuzzes the settings store's values file: whatever a file holds reads
// without harm, and what the store writes reads back as it was written.
#include "fuzz_support.h"
#include "platform/internal.h"

namespace {

using platform::internal::StoredValue;

bool Same(const std::vector<StoredValue>& a, const std::vector<StoredValue>& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (a[i].isDword != b[i].isDword || a[i].name != b[i].name) return false;
    if (a[i].isDword ? a[i].number != b[i].number : a[i].text != b[i].text) return false;
  }
  return true;
}

// Values the store would write, made from the input: lines alternate
// between names and texts; a text "#n" is the DWORD n.  The store refuses
// NUL in names and texts, and a key holds a name once.
std::vector<StoredValue> ValuesFrom(const std::string& text) {
  std::vector<StoredValue> values;
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find('\x1e', start);
    lines.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
    if (end == std::string::npos) break;
    start = end + 1;
  }
  for (std::size_t i = 0; i + 1 < lines.size(); i += 2) {
    StoredValue v;
    v.name = lines[i];
    if (v.name.find('\0') != std::string::npos || lines[i + 1].find('\0') != std::string::npos) continue;
    bool taken = false;
    for (const StoredValue& seen : values) taken = taken || platform::internal::SameName(seen.name, v.name);
    if (taken) continue;
    if (lines[i + 1].size() > 1 && lines[i + 1][0] == '#') {
      v.isDword = true;
      for (char c : lines[i + 1].substr(1)) v.number = v.number * 31 + static_cast<unsigned char>(c);
    } else {
      v.text = lines[i + 1];
    }
    values.push_back(v);
  }
  return values;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text = fuzz::Text(data, size);
  // Any file: decoded values have distinct names and survive being rewritten.
  const std::vector<StoredValue> read = platform::internal::DecodeStoreValues(text);
  for (std::size_t i = 0; i < read.size(); ++i)
    for (std::size_t j = i + 1; j < read.size(); ++j)
      FUZZ_CHECK(!platform::internal::SameName(read[i].name, read[j].name), read[i].name);
  const std::string rewritten = platform::internal::EncodeStoreValues(read);
  FUZZ_CHECK(Same(platform::internal::DecodeStoreValues(rewritten), read), rewritten);

  // The input as values to store: written and read back unchanged.
  const std::vector<StoredValue> values = ValuesFrom(text);
  const std::string file = platform::internal::EncodeStoreValues(values);
  FUZZ_CHECK(Same(platform::internal::DecodeStoreValues(file), values), file);
  return 0;
}
