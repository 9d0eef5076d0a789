// export_params.cpp — the export's object line, file names and parameter
// lines.  The parameter file holds only keywords every exp since 8.0 knows:
// 8.0's POINT_IN_TIME_RECOVER is refused by later ones (LRM-00101) and so
// is left out.
#include "operations/export_params.h"

#include "host/text_utils.h"
#include "platform/platform.h"

namespace operations {
namespace {

std::string Quoted(const std::string& name) {
  std::string out = "\"";
  for (char c : name) out += c == '"' ? std::string("\"\"") : std::string(1, c);
  return out + "\"";
}

bool HasFolder(const std::string& path) {
  if (platform::PathSeparator() == '/') return path.find('/') != std::string::npos;
  return path.find_first_of("\\/:") != std::string::npos;
}

// The position of the extension's dot in the last path component, or npos.
std::size_t ExtensionDot(const std::string& path) {
  const std::size_t dot = path.rfind('.');
  const std::size_t slash = path.find_last_of(platform::PathSeparator() == '/' ? "/" : "\\/:");
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return std::string::npos;
  return dot;
}

std::string YesNo(bool on) { return on ? "Y" : "N"; }

}  // namespace

std::string ExportObjectLine(const std::vector<std::string>& levels, const std::vector<std::string>& items) {
  auto level = [&](std::size_t n) { return n >= 2 && n - 2 < levels.size() ? levels[n - 2] : std::string(); };
  const std::string l2 = host::UpperCase(level(2)), l3 = level(3), l4 = level(4);
  std::string mode;
  if ((l2 == "USERS" || l2 == ".CATALOG BY USER") && l3.empty()) mode = "OWNER";
  else if (l2 == "TABLES" && !l3.empty() && l3[0] != '.' && l4.empty()) mode = "TABLES";
  if (mode.empty()) return "";
  std::string entries;
  for (const std::string& item : items) {
    if (item.empty() || item[0] == '.') continue;
    if (!entries.empty()) entries += ",";
    entries += mode == "OWNER" ? Quoted(item) : Quoted(l3) + "." + Quoted(item);
  }
  return entries.empty() ? "" : mode + "=(" + entries + ")";
}

void CompleteExportPaths(ExportOptions& o, const std::string& baseDir) {
  if (!HasFolder(o.file)) o.file = baseDir + o.file;
  if (o.log.empty()) {
    std::string name = o.file.substr(platform::DirectoryOf(o.file).size());
    const std::size_t dot = ExtensionDot(name);
    o.log = baseDir + (dot == std::string::npos ? name : name.substr(0, dot)) + ".LOG";
  } else if (!HasFolder(o.log)) {
    o.log = baseDir + o.log;
  }
  if (ExtensionDot(o.file) == std::string::npos) o.file += ".DAT";
  if (ExtensionDot(o.log) == std::string::npos) o.log += ".LOG";
}

std::vector<std::string> ExportParameterLines(const ExportOptions& o, const std::string& objectLine) {
  std::vector<std::string> lines;
  if (!o.triggers) lines.push_back("TRIGGERS=N");
  lines.push_back("COMPRESS=" + YesNo(o.compress));
  lines.push_back("CONSISTENT=" + YesNo(o.consistent));
  lines.push_back("CONSTRAINTS=" + YesNo(o.constraints));
  lines.push_back("DIRECT=" + YesNo(o.direct));
  lines.push_back("FULL=" + YesNo(o.full));
  lines.push_back("GRANTS=" + YesNo(o.grants));
  lines.push_back("INDEXES=" + YesNo(o.indexes));
  lines.push_back("RECORD=" + YesNo(o.record));
  lines.push_back("ROWS=" + YesNo(o.rows));
  if (!o.size.empty()) lines.push_back("FILESIZE=" + host::UpperCase(o.size));
  lines.push_back("STATISTICS=ESTIMATE");
  lines.push_back("FILE=" + o.file);
  lines.push_back("LOG=" + o.log);
  if (!o.buffer.empty()) lines.push_back("BUFFER=" + o.buffer);
  if (!o.feedback.empty()) lines.push_back("FEEDBACK=" + o.feedback);
  lines.push_back(objectLine);
  return lines;
}

}  // namespace operations
