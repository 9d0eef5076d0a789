// corpus.h — reads corpus/statements.sql (format described at its top) and
// applies the plugin's text rewrite for a dictionary prefix. Shared by the
// translator's corpus test and the engine's run of the same statements.
#pragma once

#include <cctype>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace corpus {

struct Record {
  std::string text;
  std::map<std::string, std::string> vars;  // empty value: an output variable
  bool changes = false;
  int error = 0;
  int line = 0;
};

inline std::vector<Record> Load(const std::string& path) {
  std::ifstream in(path);
  std::vector<Record> out;
  std::string line;
  Record cur;
  bool inRecord = false;
  int lineNo = 0;
  auto flush = [&] {
    if (inRecord && !cur.text.empty()) out.push_back(cur);
    cur = Record();
  };
  while (std::getline(in, line)) {
    ++lineNo;
    if (line == "---") {
      flush();
      inRecord = true;
      cur.line = lineNo + 1;
      continue;
    }
    if (!inRecord) continue;
    if (cur.text.empty() && line.rfind("@vars: ", 0) == 0) {
      std::stringstream ss(line.substr(7));
      std::string item;
      while (std::getline(ss, item, ',')) {
        item.erase(0, item.find_first_not_of(' '));
        auto eq = item.find('=');
        cur.vars[item.substr(0, eq)] = eq == std::string::npos ? "" : item.substr(eq + 1);
      }
      continue;
    }
    if (cur.text.empty() && line.rfind("@error: ", 0) == 0) {
      cur.error = std::stoi(line.substr(8));
      continue;
    }
    if (cur.text.empty() && line.rfind("@changes: ", 0) == 0) {
      cur.changes = line.substr(10) == "yes";
      continue;
    }
    if (cur.text.empty() && line.rfind("@", 0) == 0) continue;
    cur.text += (cur.text.empty() ? "" : "\n") + line;
  }
  flush();
  return out;
}

// Replaces every occurrence of `from` (matched without case when icase).
inline std::string ReplaceAll(std::string s, const std::string& from, const std::string& to, bool icase) {
  auto upper = [](std::string x) {
    for (auto& c : x) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return x;
  };
  std::string hay = icase ? upper(s) : s, needle = icase ? upper(from) : from;
  std::string out;
  size_t pos = 0;
  while (true) {
    size_t hit = hay.find(needle, pos);
    if (hit == std::string::npos) break;
    out += s.substr(pos, hit - pos) + to;
    pos = hit + from.size();
  }
  return out + s.substr(pos);
}

// The plugin's rewrite of catalogue texts for a user with the "DBA_" or the
// "ALL_" dictionary prefix (the capability values a 9i server gives).
inline std::string Rewrite(std::string s, const std::string& prefix = "DBA_") {
  const bool dba = prefix == "DBA_";
  s = ReplaceAll(s, ":DBA_", prefix, true);
  s = ReplaceAll(s, ":TABLE_SCHEMA", dba ? "OWNER" : "TABLE_SCHEMA", true);
  s = ReplaceAll(s, ":ALL_TABLES", dba ? "DBA_ALL_TABLES" : "ALL_ALL_TABLES", false);
  s = ReplaceAll(s, ":LAST_ANALYZED", " DECODE (T.LAST_ANALYZED, NULL, '', ' ANL ' || T.LAST_ANALYZED) ||", false);
  s = ReplaceAll(s, ":INDEX_TYPE", "I.INDEX_TYPE ", false);
  return s;
}

}  // namespace corpus
