// params.cpp — command line and parameter file of the export stand-in.
#include "params.h"

#include <algorithm>
#include <cctype>

namespace expsim {
namespace {

std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

std::string Trim(const std::string& s) {
  const auto b = s.find_first_not_of(" \t\r\n");
  if (b == std::string::npos) return "";
  return s.substr(b, s.find_last_not_of(" \t\r\n") - b + 1);
}

// The keyword a (possibly abbreviated) name stands for.
std::string ResolveKeyword(const std::string& typed) {
  const std::string name = Upper(typed);
  std::vector<std::string> hits;
  for (const auto& k : Keywords()) {
    if (k == name) return k;
    if (k.rfind(name, 0) == 0) hits.push_back(k);
  }
  if (hits.size() == 1) return hits.front();
  if (hits.size() > 1) throw ParamError("LRM-00107: parameter name abbreviation '" + typed + "' is not unique");
  throw ParamError("LRM-00101: unknown parameter name '" + typed + "'");
}

bool IsBoolean(const std::string& keyword) {
  static const char* const kFlags[] = {"COMPRESS", "GRANTS", "INDEXES", "DIRECT", "ROWS", "CONSISTENT", "FULL",
                                       "RECORD", "TRIGGERS", "CONSTRAINTS", "OBJECT_CONSISTENT", "RESUMABLE",
                                       "TTS_FULL_CHECK", "TRANSPORT_TABLESPACE", "HELP"};
  return std::find(std::begin(kFlags), std::end(kFlags), keyword) != std::end(kFlags);
}

bool IsInteger(const std::string& keyword) {
  return keyword == "BUFFER" || keyword == "FEEDBACK" || keyword == "RECORDLENGTH" || keyword == "RESUMABLE_TIMEOUT";
}

bool ParseBool(const std::string& value, bool& out) {
  const std::string v = Upper(value);
  if (v == "Y" || v == "YES" || v == "TRUE" || v == "1") return out = true, true;
  if (v == "N" || v == "NO" || v == "FALSE" || v == "0") return out = false, true;
  return false;
}

// Splits text into KEY=value entries: blanks and line ends separate entries,
// except inside parentheses and double quotes; "#" starts a comment.
std::vector<std::string> Entries(const std::string& text) {
  std::vector<std::string> out;
  std::string cur;
  int depth = 0;
  bool quoted = false, comment = false;
  for (char c : text) {
    if (comment) {
      if (c == '\n') comment = false;
      else continue;
    }
    if (!quoted && c == '#') {
      comment = true;
      continue;
    }
    if (c == '"') quoted = !quoted;
    if (!quoted && c == '(') ++depth;
    if (!quoted && c == ')' && depth > 0) --depth;
    const bool blank = c == ' ' || c == '\t' || c == '\r' || c == '\n';
    if (blank && !quoted && depth == 0) {
      // "KEY = value" is one entry: keep going while the entry ends in '='
      // or the next one would start with it.
      if (!cur.empty() && cur.back() != '=') {
        out.push_back(cur);
        cur.clear();
      }
      continue;
    }
    if (c == '=' && !quoted && depth == 0 && cur.empty() && !out.empty()) {
      cur = out.back() + "=";
      out.pop_back();
      continue;
    }
    cur += c;
  }
  if (quoted) throw ParamError("LRM-00111: no closing quote for value '" + cur + "'");
  if (!cur.empty()) out.push_back(cur);
  return out;
}

void Apply(ExportParams& p, const std::string& entry, std::string (*readFile)(const std::string&), int depth,
           bool first) {
  const auto eq = entry.find('=');
  if (eq == std::string::npos) {
    if (first && p.userid.empty()) {
      p.userid = entry;
      return;
    }
    throw ParamError("LRM-00108: invalid positional parameter value '" + entry + "'");
  }
  const std::string keyword = ResolveKeyword(Trim(entry.substr(0, eq)));
  const std::string value = Trim(entry.substr(eq + 1));
  if (keyword == "PARFILE") {
    if (depth > 0) throw ParamError("LRM-00101: unknown parameter name 'PARFILE'");
    const std::string text = readFile(value);
    bool firstInFile = false;
    for (const auto& e : Entries(text)) Apply(p, e, readFile, depth + 1, firstInFile);
    return;
  }
  if (keyword == "USERID") {
    p.userid = value;
    return;
  }
  if (keyword == "OWNER" || keyword == "TABLES") {
    auto items = SplitList(value);
    auto& list = keyword == "OWNER" ? p.owners : p.tables;
    list.insert(list.end(), items.begin(), items.end());
    return;
  }
  if (!value.empty() && value.front() == '(' && keyword != "FILE" && keyword != "TABLESPACES")
    throw ParamError("LRM-00112: multiple values not allowed for parameter '" + Upper(Trim(entry.substr(0, eq))) + "'");
  if (IsBoolean(keyword)) {
    bool b = false;
    if (!ParseBool(value, b)) throw ParamError("LRM-00105: '" + value + "' is not a legal Boolean for '" + keyword + "'");
    if (keyword == "HELP") p.help = b;
    p.values[keyword] = b ? "Y" : "N";
    return;
  }
  if (IsInteger(keyword)) {
    if (value.empty() || !std::all_of(value.begin(), value.end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)); }))
      throw ParamError("LRM-00104: '" + value + "' is not a legal integer for '" + keyword + "'");
  }
  if (keyword == "STATISTICS") {
    const std::string v = Upper(value);
    if (v != "ESTIMATE" && v != "COMPUTE" && v != "NONE")
      throw ParamError("LRM-00121: '" + value + "' is not an allowable value for 'statistics'");
  }
  p.values[keyword] = value;
}

}  // namespace

const std::vector<std::string>& Keywords() {
  static const std::vector<std::string> k = {
      "USERID", "BUFFER", "FILE", "COMPRESS", "GRANTS", "INDEXES", "DIRECT", "LOG", "ROWS", "CONSISTENT",
      "FULL", "OWNER", "TABLES", "RECORDLENGTH", "INCTYPE", "RECORD", "TRIGGERS", "STATISTICS", "PARFILE",
      "CONSTRAINTS", "OBJECT_CONSISTENT", "FEEDBACK", "FILESIZE", "FLASHBACK_SCN", "FLASHBACK_TIME", "QUERY",
      "RESUMABLE", "RESUMABLE_NAME", "RESUMABLE_TIMEOUT", "TTS_FULL_CHECK", "VOLSIZE", "TABLESPACES",
      "TRANSPORT_TABLESPACE", "TEMPLATE", "HELP"};
  return k;
}

bool ExportParams::Flag(const std::string& keyword, bool fallback) const {
  auto it = values.find(keyword);
  return it == values.end() ? fallback : it->second == "Y";
}

std::string ExportParams::Value(const std::string& keyword, const std::string& fallback) const {
  auto it = values.find(keyword);
  return it == values.end() ? fallback : it->second;
}

std::vector<std::string> SplitList(const std::string& value) {
  std::string v = Trim(value);
  if (!v.empty() && v.front() == '(') {
    if (v.back() != ')') throw ParamError("LRM-00110: syntax error at '" + v + "'");
    v = v.substr(1, v.size() - 2);
  }
  std::vector<std::string> items;
  std::string cur;
  bool quoted = false;
  for (char c : v) {
    if (c == '"') quoted = !quoted;
    if (c == ',' && !quoted) {
      if (!Trim(cur).empty()) items.push_back(Trim(cur));
      cur.clear();
      continue;
    }
    cur += c;
  }
  if (!Trim(cur).empty()) items.push_back(Trim(cur));
  return items;
}

ExportParams ParseArguments(const std::vector<std::string>& args, std::string (*readFile)(const std::string&)) {
  // The shell has already split the command line: each argument is one entry.
  ExportParams p;
  bool first = true;
  for (const auto& a : args) {
    Apply(p, a, readFile, 0, first);
    first = false;
  }
  return p;
}

}  // namespace expsim
