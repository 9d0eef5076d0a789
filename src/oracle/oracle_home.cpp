// oracle_home.cpp — see oracle_home.h.
#include "oracle/oracle_home.h"

#include <charconv>

#include "oracle/text_util.h"
#include "platform/platform.h"

namespace oracle {
namespace {

// A bogus counter must not make us probe millions of keys.
constexpr int kMaxHomes = 1024;
constexpr std::size_t kMaxValueBytes = 1024;

std::optional<int> ToInt(const std::string& text) {
  std::string trimmed = Trim(text);
  int value = 0;
  const char* first = trimmed.data();
  const char* last = trimmed.data() + trimmed.size();
  if (first != last && *first == '+') ++first;
  auto [ptr, ec] = std::from_chars(first, last, value);
  if (ec != std::errc() || ptr != last || first == last) return std::nullopt;
  return value;
}

std::string HomeKey(int index) { return std::string(kOracleRootKey) + "\\HOME" + std::to_string(index); }

}  // namespace

std::string ReadMachineString(const std::string& key, const std::string& value) {
  auto handle = platform::RegistryKey::Open(platform::Hive::LocalMachine, key, false);
  if (!handle) return "";
  std::string out;
  if (!handle->QueryString(value, out)) {
    std::uint32_t number = 0;
    if (!handle->QueryDword(value, number)) return "";
    out = std::to_string(number);
  }
  if (out.size() > kMaxValueBytes) out.resize(kMaxValueBytes);
  return out;
}

std::vector<OracleHomeEntry> ReadOracleHomeList() {
  std::vector<OracleHomeEntry> homes;
  auto counter = ToInt(ReadMachineString(std::string(kOracleRootKey) + "\\ALL_HOMES", "HOME_COUNTER"));
  if (!counter) return homes;
  int count = *counter < 1 ? 1 : (*counter > kMaxHomes ? kMaxHomes : *counter);
  for (int i = 0; i < count; ++i) {
    std::string name = ReadMachineString(HomeKey(i), "ORACLE_HOME_NAME");
    if (!name.empty()) homes.push_back({name, i});
  }
  return homes;
}

std::string ChooseOracleHomeKey(const std::vector<OracleHomeEntry>& homes,
                                const std::optional<std::string>& wanted,
                                const std::string& pathVariable, HomeSelection& selection) {
  if (homes.empty()) return kOracleRootKey;
  const std::string wantedName = wanted ? *wanted : selection.selectedName;
  const std::string upperPath = UpperCase(pathVariable);
  std::size_t best = upperPath.size();
  std::string chosenKey;
  std::string chosenName;
  std::string lastKey;
  std::string lastName;
  for (const OracleHomeEntry& home : homes) {
    const std::string key = HomeKey(home.index);
    lastKey = key;
    lastName = home.name;
    if (!wantedName.empty() && EqualsNoCase(home.name, wantedName)) {
      chosenKey = key;
      chosenName = home.name;
      break;
    }
    const std::string dir = ReadMachineString(key, "ORACLE_HOME");
    if (dir.empty()) continue;
    const std::string bin = UpperCase(AppendPath(dir, "bin", platform::PathSeparator()));
    const std::size_t found = upperPath.find(bin);
    const std::size_t position = found == std::string::npos ? 0 : found + 1;  // 1-based
    if (position >= 1 && position < best) {
      best = position;
      chosenKey = key;
      chosenName = home.name;
    }
  }
  if (chosenKey.empty()) {
    chosenKey = lastKey;
    chosenName = lastName;
  }
  if (selection.selectedName.empty()) {
    selection.selectedName = chosenName;
    selection.chosenAutomatically = true;
  }
  if (ReadMachineString(chosenKey, "ORACLE_HOME").empty()) return kOracleRootKey;
  return chosenKey;
}

std::string PathForHomeSearch() { return platform::GetEnv("PATH").value_or(""); }

}  // namespace oracle
