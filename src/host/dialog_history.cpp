// dialog_history.cpp — host dialog histories: the registry lists of FAR
// ("Software\Far\SavedDialogHistory\<name>", values Line0, Line1, ...) and,
// on far2l, the history file of its profile, which its dialogs really read.
#include "host/dialog_history.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <limits>
#include <cstdio>
#include <sstream>
#include <vector>

#include "host/far_abi.h"
#include "host/text_utils.h"
#include "platform/platform.h"

namespace host {
namespace {

constexpr const char* kHistoryRoot = "Software\\Far\\SavedDialogHistory\\";
// The host reads the numbers as 32-bit integers.
constexpr long long kMaxLineNumber = std::numeric_limits<std::int32_t>::max();

// The number of a value named "Line<n>", or -1 when the rest of the name is
// not a number.  Numbers beyond the integer range count as the limit.
long long LineNumber(const std::string& valueName) {
  std::string suffix = valueName.size() > 4 ? Trim(valueName.substr(4)) : std::string();
  if (suffix.empty()) return -1;
  std::size_t i = suffix[0] == '+' || suffix[0] == '-' ? 1 : 0;
  if (i == suffix.size()) return -1;
  long long n = 0;
  for (; i < suffix.size(); ++i) {
    if (suffix[i] < '0' || suffix[i] > '9') return -1;
    if (n < kMaxLineNumber) n = n * 10 + (suffix[i] - '0');
  }
  if (suffix[0] == '-') return -1;
  return n < kMaxLineNumber ? n : kMaxLineNumber;
}

void AddToRegistryHistory(const std::string& name, const std::string& entry) {
  auto key = platform::RegistryKey::Open(platform::Hive::CurrentUser, kHistoryRoot + name, true);
  if (!key) return;
  std::string wanted = UpperCase(Trim(entry));
  bool found = false;
  long long highest = -1;
  std::vector<long long> used;
  for (const std::string& valueName : key->ValueNames()) {
    std::string text;
    if (!key->QueryString(valueName, text)) continue;
    std::string value = UpperCase(Trim(text));
    if (!found && value == wanted) found = true;
    if (value.empty()) {
      key->DeleteValue(valueName);
      continue;
    }
    long long n = LineNumber(valueName);
    if (n > highest) highest = n;
    if (n >= 0) used.push_back(n);
  }
  if (found) return;
  long long number = highest + 1;
  if (highest >= kMaxLineNumber) {
    // No number above the limit: take the lowest free one rather than
    // overwrite an entry the user has.
    std::sort(used.begin(), used.end());
    number = 0;
    for (long long n : used) {
      if (n == number) ++number;
      else if (n > number) break;
    }
    if (number > kMaxLineNumber) return;
  }
  key->SetString("Line" + std::to_string(number), entry);
}

// --- far2l's history file -------------------------------------------------

std::string Unescape(const std::string& raw) {
  if (raw.size() < 2 || raw.front() != '"' || raw.back() != '"') return raw;
  std::string out;
  for (std::size_t i = 1; i + 1 < raw.size(); ++i) {
    char c = raw[i];
    if (c != '\\' || i + 2 >= raw.size()) {
      out += c;
      continue;
    }
    switch (char n = raw[++i]) {
      case 'n': out += '\n'; break;
      case 'r': out += '\r'; break;
      case 't': out += '\t'; break;
      case '0': out += '\0'; break;
      default: out += n; break;
    }
  }
  return out;
}

std::string Escape(const std::string& text) {
  bool needsQuotes = false;
  std::string out;
  for (char c : text) {
    switch (c) {
      case '\n': out += "\\n"; needsQuotes = true; break;
      case '\r': out += "\\r"; needsQuotes = true; break;
      case '\t': out += "\\t"; needsQuotes = true; break;
      case '\\': out += "\\\\"; needsQuotes = true; break;
      default: out += c;
    }
  }
  return needsQuotes ? "\"" + out + "\"" : out;
}

std::vector<std::string> Split(const std::string& text, char sep) {
  std::vector<std::string> parts;
  if (text.empty()) return parts;
  std::size_t start = 0;
  while (true) {
    std::size_t p = text.find(sep, start);
    parts.push_back(text.substr(start, p == std::string::npos ? std::string::npos : p - start));
    if (p == std::string::npos) break;
    start = p + 1;
  }
  return parts;
}

// Now as far2l writes it: the FILETIME's eight bytes in memory order, in hex.
std::string FileTimeNowHex() {
  using namespace std::chrono;
  auto ticks = duration_cast<nanoseconds>(system_clock::now().time_since_epoch()).count() / 100;
  unsigned long long ft = static_cast<unsigned long long>(ticks) + 116444736000000000ULL;
  std::string hex;
  char buf[3];
  for (int i = 0; i < 8; ++i) {
    std::snprintf(buf, sizeof(buf), "%02x", static_cast<unsigned>((ft >> (8 * i)) & 0xFF));
    hex += buf;
  }
  return hex;
}

}  // namespace

std::string Far2lConfigDirectory() {
  // far2l -u DIR exports FARSETTINGS to its own process (and so to us).
  auto settings = platform::GetEnv("FARSETTINGS");
  auto xdg = platform::GetEnv("XDG_CONFIG_HOME");
  auto home = platform::GetEnv("HOME");
  std::string base = (xdg && !xdg->empty()) ? *xdg : (home && !home->empty()) ? *home + "/.config" : "";
  if (settings && !settings->empty()) {
    if ((*settings)[0] == '/') return *settings + "/.config";
    return base.empty() ? std::string() : base + "/far2l/custom/" + *settings;
  }
  return base.empty() ? std::string() : base + "/far2l";
}

namespace {

// One history's section of the file: where it lies and what it holds.
struct HistorySection {
  std::vector<std::string> lines;  // the whole file
  std::size_t begin, end;          // [begin, end) of the section; begin == lines.size(): none
  std::vector<std::string> entries;
  std::string locks, times, position = "-1";
  std::vector<std::string> other;  // keys of the section we do not manage
};

HistorySection FindSection(const std::string& fileText, const std::string& name) {
  HistorySection s;
  s.lines = Split(fileText, '\n');
  if (!s.lines.empty() && s.lines.back().empty()) s.lines.pop_back();
  const std::string header = "[SavedDialogHistory/" + name + "]";
  s.begin = s.end = s.lines.size();
  for (std::size_t i = 0; i < s.lines.size(); ++i) {
    std::string l = s.lines[i];
    if (!l.empty() && l.back() == '\r') l.pop_back();
    if (s.begin == s.lines.size()) {
      if (l == header) s.begin = i;
    } else if (!l.empty() && l[0] == '[') {
      s.end = i;
      break;
    }
  }
  if (s.begin == s.lines.size()) return s;
  for (std::size_t i = s.begin + 1; i < s.end; ++i) {
    const std::string& l = s.lines[i];
    std::size_t eq = l.find('=');
    if (eq == std::string::npos) continue;
    std::string key = l.substr(0, eq), value = l.substr(eq + 1);
    if (key == "Lines") s.entries = Split(Unescape(value), '\n');
    else if (key == "Locks") s.locks = value;
    else if (key == "Times") s.times = value;
    else if (key == "Position") s.position = value;
    else s.other.push_back(l);
  }
  return s;
}

}  // namespace

std::vector<std::string> HistoryTextEntries(const std::string& fileText, const std::string& name) {
  return FindSection(fileText, name).entries;
}

std::optional<std::string> AddToHistoryText(const std::string& fileText, const std::string& name,
                                            const std::string& entry, const std::string& stamp) {
  // The file's format cannot hold a line break or quote inside an entry.
  if (entry.find_first_of("\r\n\"") != std::string::npos) return std::nullopt;
  HistorySection s = FindSection(fileText, name);
  std::vector<std::string>& entries = s.entries;
  std::string wanted = UpperCase(Trim(entry));
  for (const std::string& e : entries)
    if (UpperCase(Trim(e)) == wanted) return fileText;

  // Keep Locks and Times one per entry, then add the new one as the oldest.
  s.locks.resize(entries.size(), '0');
  std::vector<std::string> stamps = Split(s.times, ' ');
  stamps.resize(entries.size(), "0000000000000000");
  entries.push_back(entry);
  s.locks += '0';
  stamps.push_back(stamp);

  std::string joined;
  for (std::size_t i = 0; i < entries.size(); ++i) joined += (i ? "\n" : "") + entries[i];
  std::string stampText;
  for (std::size_t i = 0; i < stamps.size(); ++i) stampText += (i ? " " : "") + stamps[i];
  std::vector<std::string> section{"[SavedDialogHistory/" + name + "]", "Lines=" + Escape(joined),
                                   "Locks=" + s.locks, "Position=" + s.position, "Times=" + stampText};
  section.insert(section.end(), s.other.begin(), s.other.end());

  const std::vector<std::string>& lines = s.lines;
  std::vector<std::string> out(lines.begin(), lines.begin() + static_cast<long>(s.begin));
  if (s.begin == lines.size() && !out.empty() && !out.back().empty()) out.emplace_back("");
  out.insert(out.end(), section.begin(), section.end());
  if (s.begin != lines.size()) out.insert(out.end(), lines.begin() + static_cast<long>(s.end), lines.end());
  std::ostringstream text;
  for (const std::string& l : out) text << l << '\n';
  return text.str();
}

bool AddToHistoryFile(const std::string& path, const std::string& name, const std::string& entry) {
  std::string content;
  platform::ReadWholeFile(path, content);  // a missing file starts empty
  std::optional<std::string> text = AddToHistoryText(content, name, entry, FileTimeNowHex());
  if (!text) return false;
  if (*text == content) return true;  // already there
  return platform::WriteFileAtomic(path, *text);
}

void AddToDialogHistory(const std::string& name, const std::string& entry) {
  if (Trim(entry).empty() || Trim(name).empty()) return;
  AddToRegistryHistory(name, entry);
  if (far::kHostHistoriesInFiles) {
    std::string dir = Far2lConfigDirectory();
    if (!dir.empty() && platform::DirectoryExists(dir))
      AddToHistoryFile(platform::JoinPath(platform::JoinPath(dir, "history"), "dialogs.hst"), name,
                       entry);
  }
}

}  // namespace host
