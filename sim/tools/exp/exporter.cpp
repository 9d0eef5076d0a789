// exporter.cpp — what the export stand-in does after reading its parameters:
// log on through the client library, export the chosen users' or tables'
// definitions and rows into a dump file of the stand-in's own format, and
// report as exp does on the screen and in the log.
#include "exporter.h"

#include <cctype>
#include <ctime>
#include <fstream>
#include <iomanip>
#include <iostream>
#include <memory>
#include <sstream>

#include "oci_link.h"

namespace expsim {
namespace {

const char* const kFailed = "EXP-00000: Export terminated unsuccessfully";

std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

// A name as exp takes it: quoted keeps its case, otherwise upper case.
std::string NameOf(const std::string& written) {
  if (written.size() >= 2 && written.front() == '"' && written.back() == '"') return written.substr(1, written.size() - 2);
  return Upper(written);
}

std::string Literal(const std::string& s) {
  std::string out = "'";
  for (char c : s) out += c == '\'' ? std::string("''") : std::string(1, c);
  return out + "'";
}

std::string Quoted(const std::string& s) {
  std::string out = "\"";
  for (char c : s) out += c == '"' ? std::string("\"\"") : std::string(1, c);
  return out + "\"";
}

// Dump values: "\N" is NULL; backslash, bar and line ends are escaped.
std::string DumpValue(const std::string& v, bool null) {
  if (null) return "\\N";
  std::string out;
  for (char c : v) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '|': out += "\\|"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      default: out += c;
    }
  }
  return out;
}

// Screen and, once opened, the log file receive the same lines.
class Report {
 public:
  explicit Report(std::ostream& screen) : screen_(screen) {}
  bool OpenLog(const std::string& path) {
    log_.open(path, std::ios::out | std::ios::trunc);
    return static_cast<bool>(log_);
  }
  void Line(const std::string& text = "") {
    screen_ << text << '\n';
    if (log_) log_ << text << '\n';
  }
  void Flush() {
    screen_.flush();
    if (log_) log_.flush();
  }

 private:
  std::ostream& screen_;
  std::ofstream log_;
};

std::string Header() {
  std::time_t now = std::time(nullptr);
  char when[64];
  std::strftime(when, sizeof when, "%a %b %e %H:%M:%S %Y", std::localtime(&now));
  std::string w = when;
  // strftime pads the day with a blank; exp prints it without.
  for (std::size_t i = w.find("  "); i != std::string::npos; i = w.find("  ")) w.erase(i, 1);
  return "\nExport: Release 9.2.0.1.0 - Production on " + w + "\n\nCopyright (c) 1982, 2002, Oracle Corporation.  All rights reserved.\n";
}

const char* const kHelp =
    "\nYou can let Export prompt you for parameters by entering the EXP\n"
    "command followed by your username/password:\n\n"
    "     Example: EXP SCOTT/TIGER\n\n"
    "Or, you can control how Export runs by entering the EXP command followed\n"
    "by various arguments. To specify parameters, you use keywords:\n\n"
    "     Format:  EXP KEYWORD=value or KEYWORD=(value1,value2,...,valueN)\n"
    "     Example: EXP SCOTT/TIGER GRANTS=Y TABLES=(EMP,DEPT,MGR)\n"
    "               or TABLES=(T1:P1,T1:P2), if T1 is partitioned table\n\n"
    "USERID must be the first parameter on the command line.\n\n"
    "Keyword    Description (Default)      Keyword      Description (Default)\n"
    "--------------------------------------------------------------------------\n"
    "USERID     username/password          FULL         export entire file (N)\n"
    "BUFFER     size of data buffer        OWNER        list of owner usernames\n"
    "FILE       output files (EXPDAT.DMP)  TABLES       list of table names\n"
    "COMPRESS   import into one extent (Y) RECORDLENGTH length of IO record\n"
    "GRANTS     export grants (Y)          INCTYPE      incremental export type\n"
    "INDEXES    export indexes (Y)         RECORD       track incr. export (Y)\n"
    "DIRECT     direct path (N)            TRIGGERS     export triggers (Y)\n"
    "LOG        log file of screen output  STATISTICS   analyze objects (ESTIMATE)\n"
    "ROWS       export data rows (Y)       PARFILE      parameter filename\n"
    "CONSISTENT cross-table consistency(N) CONSTRAINTS  export constraints (Y)\n\n"
    "OBJECT_CONSISTENT    transaction set to read only during object export (N)\n"
    "FEEDBACK             display progress every x rows (0)\n"
    "FILESIZE             maximum size of each dump file\n"
    "FLASHBACK_SCN        SCN used to set session snapshot back to\n"
    "FLASHBACK_TIME       time used to get the SCN closest to the specified time\n"
    "QUERY                select clause used to export a subset of a table\n"
    "RESUMABLE            suspend when a space related error is encountered(N)\n"
    "RESUMABLE_NAME       text string used to identify resumable statement\n"
    "RESUMABLE_TIMEOUT    wait time for RESUMABLE \n"
    "TTS_FULL_CHECK       perform full or partial dependency check for TTS\n"
    "VOLSIZE              number of bytes to write to each tape volume\n"
    "TABLESPACES          list of tablespaces to export\n"
    "TRANSPORT_TABLESPACE export transportable tablespace metadata (N)\n"
    "TEMPLATE             template name which invokes iAS mode export\n\n"
    "Export terminated successfully without warnings.";

std::string ReadParameterFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw ParamError("LRM-00109: could not open parameter file '" + path + "'");
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::vector<std::vector<std::string>> Rows(sqlplus::Connection& db, const std::string& sql) {
  auto st = db.Execute(sql);
  std::vector<std::vector<std::string>> rows;
  std::vector<std::string> row;
  std::vector<bool> nulls;
  while (st->Next(row, nulls)) rows.push_back(row);
  return rows;
}

std::string TableLine(const std::string& name, long rows, bool withRows) {
  std::ostringstream line;
  line << ". . exporting table " << std::setw(30) << name;
  if (withRows) line << ' ' << std::setw(10) << rows << " rows exported";
  return line.str();
}

struct Session {
  sqlplus::Connection& db;
  Report& report;
  std::ofstream& dump;
  const ExportParams& params;
  bool warnings = false;
};

// One table: its columns and (with ROWS=Y) its rows into the dump.
void ExportTable(Session& s, const std::string& owner, const std::string& table) {
  s.dump << "TABLE " << Quoted(owner) << "." << Quoted(table) << "\n";
  for (const auto& c : Rows(s.db, "SELECT COLUMN_NAME, DATA_TYPE, DATA_LENGTH, NULLABLE FROM ALL_TAB_COLUMNS WHERE OWNER = " +
                                      Literal(owner) + " AND TABLE_NAME = " + Literal(table) + " ORDER BY COLUMN_ID"))
    s.dump << "COLUMN " << Quoted(c[0]) << " " << c[1] << "(" << c[2] << ")" << (c[3] == "N" ? " NOT NULL" : "") << "\n";
  const bool withRows = s.params.Flag("ROWS", true);
  long count = 0;
  if (withRows) {
    auto st = s.db.Execute("SELECT * FROM " + Quoted(owner) + "." + Quoted(table));
    std::vector<std::string> row;
    std::vector<bool> nulls;
    while (st->Next(row, nulls)) {
      s.dump << "ROW ";
      for (std::size_t i = 0; i < row.size(); ++i) s.dump << (i ? "|" : "") << DumpValue(row[i], nulls[i]);
      s.dump << "\n";
      ++count;
    }
  }
  s.dump << "END TABLE " << count << "\n";
  s.report.Line(TableLine(table, count, withRows));
}

bool IsPrivileged(sqlplus::Connection& db) {
  try {
    Rows(db, "SELECT COUNT(*) FROM DBA_USERS WHERE ROWNUM = 1");
    return true;
  } catch (const sqlplus::OraFailure&) {
    return false;
  }
}

bool ExportUsers(Session& s, std::vector<std::string> owners, bool privileged) {
  if (owners.empty()) owners.push_back(s.db.User());
  s.report.Line("About to export specified users ...");
  for (const std::string& written : owners) {
    const std::string owner = NameOf(written);
    if (Rows(s.db, "SELECT USERNAME FROM ALL_USERS WHERE USERNAME = " + Literal(owner)).empty()) {
      s.report.Line("EXP-00010: " + owner + " is not a valid username");
      s.warnings = true;
      continue;
    }
    if (!privileged && owner != s.db.User()) {
      s.report.Line("EXP-00032: Non-DBAs may not export other users");
      return false;
    }
    s.dump << "USER " << Quoted(owner) << "\n";
    for (const char* step : {". exporting pre-schema procedural objects and actions",
                             ". exporting foreign function library names for user ", ". exporting PUBLIC type synonyms",
                             ". exporting private type synonyms", ". exporting object type definitions for user "}) {
      std::string line = step;
      if (line.back() == ' ') line += owner;
      s.report.Line(line);
    }
    s.report.Line("About to export " + owner + "'s objects ...");
    s.report.Line(". exporting database links");
    s.report.Line(". exporting sequence numbers");
    s.report.Line(". exporting cluster definitions");
    s.report.Line(". about to export " + owner + "'s tables via " +
                  (s.params.Flag("DIRECT", false) ? "Direct Path ..." : "Conventional Path ..."));
    for (const auto& t : Rows(s.db, "SELECT TABLE_NAME FROM ALL_TABLES WHERE OWNER = " + Literal(owner) + " ORDER BY TABLE_NAME"))
      ExportTable(s, owner, t[0]);
    for (const char* step : {". exporting synonyms", ". exporting views", ". exporting stored procedures",
                             ". exporting operators", ". exporting referential integrity constraints",
                             ". exporting triggers", ". exporting indextypes",
                             ". exporting bitmap, functional and extensible indexes", ". exporting posttables actions",
                             ". exporting materialized views", ". exporting snapshot logs", ". exporting job queues",
                             ". exporting refresh groups and children", ". exporting dimensions",
                             ". exporting post-schema procedural objects and actions"})
      s.report.Line(step);
  }
  return true;
}

void ExportTables(Session& s, bool privileged) {
  s.report.Line("About to export specified tables via " +
                std::string(s.params.Flag("DIRECT", false) ? "Direct Path ..." : "Conventional Path ..."));
  std::string current = s.db.User();
  for (const std::string& entry : s.params.tables) {
    // owner.table, either part quoted; a bare table belongs to the user.
    std::string ownerPart, tablePart = entry;
    bool quoted = false;
    for (std::size_t i = 0; i < entry.size(); ++i) {
      if (entry[i] == '"') quoted = !quoted;
      if (entry[i] == '.' && !quoted) {
        ownerPart = entry.substr(0, i);
        tablePart = entry.substr(i + 1);
        break;
      }
    }
    const std::string owner = ownerPart.empty() ? s.db.User() : NameOf(ownerPart);
    const std::string table = NameOf(tablePart);
    if (owner != current && privileged) {
      s.report.Line("Current user changed to " + owner);
      current = owner;
    }
    if (Rows(s.db, "SELECT TABLE_NAME FROM ALL_TABLES WHERE OWNER = " + Literal(owner) + " AND TABLE_NAME = " + Literal(table))
            .empty()) {
      s.report.Line("EXP-00011: " + owner + "." + table + " does not exist");
      s.warnings = true;
      continue;
    }
    ExportTable(s, owner, table);
  }
}

}  // namespace

int RunExport(const std::vector<std::string>& args, std::ostream& screen, std::istream& input) {
  Report report(screen);
  report.Line(Header());
  ExportParams params;
  try {
    params = ParseArguments(args, ReadParameterFile);
  } catch (const ParamError& e) {
    report.Line(e.what());
    report.Line("EXP-00019: failed to process parameters, type 'EXP HELP=Y' for help");
    report.Line(kFailed);
    return 1;
  }
  if (params.help) {
    report.Line(kHelp);
    return 0;
  }
  if (params.userid.empty()) {
    screen << "Username: " << std::flush;
    if (!std::getline(input, params.userid)) {
      report.Line();
      report.Line("EXP-00030: Unexpected End-Of-File encountered while reading input");
      report.Line(kFailed);
      return 1;
    }
  }
  std::string user = params.userid, password, alias;
  if (auto at = user.find('@'); at != std::string::npos) alias = user.substr(at + 1), user.erase(at);
  if (auto slash = user.find('/'); slash != std::string::npos) password = user.substr(slash + 1), user.erase(slash);
  if (password.empty()) {
    screen << "Password: " << std::flush;
    std::getline(input, password);
  }

  const std::string logPath = params.Value("LOG");
  if (!logPath.empty() && !report.OpenLog(logPath)) {
    report.Line("EXP-00028: failed to open " + logPath + " for write");
    report.Line(kFailed);
    return 1;
  }
  sqlplus::Connection db;
  try {
    db.Logon(user, password, alias);
  } catch (const sqlplus::OraFailure& e) {
    report.Line("EXP-00056: ORACLE error " + std::to_string(e.code) + " encountered");
    report.Line(e.text);
    report.Line(kFailed);
    return 1;
  }
  try {
    report.Line();
    std::string connected = "Connected to: ";
    for (const auto& line : db.Banner()) {
      report.Line(connected + line);
      connected.clear();
    }
    std::string charset = "US7ASCII", nchar = "AL16UTF16";
    for (const auto& r : Rows(db, "SELECT PARAMETER, VALUE FROM NLS_DATABASE_PARAMETERS WHERE PARAMETER IN "
                                  "('NLS_CHARACTERSET', 'NLS_NCHAR_CHARACTERSET')"))
      (r[0] == "NLS_CHARACTERSET" ? charset : nchar) = r[1];
    report.Line("Export done in " + charset + " character set and " + nchar + " NCHAR character set");
    if (!params.Flag("GRANTS", true)) report.Line("Note: grants on tables/views/sequences/roles will not be exported");
    if (!params.Flag("INDEXES", true)) report.Line("Note: indexes on tables will not be exported");
    if (!params.Flag("CONSTRAINTS", true)) report.Line("Note: constraints on tables will not be exported");
    if (!params.Flag("ROWS", true)) report.Line("Note: table data (rows) will not be exported");
    report.Line();

    const bool full = params.Flag("FULL", false);
    if (int(full) + int(!params.owners.empty()) + int(!params.tables.empty()) > 1) {
      report.Line("EXP-00026: conflicting modes specified");
      report.Line(kFailed);
      return 1;
    }
    const bool privileged = IsPrivileged(db);
    if (full && !privileged) {
      report.Line("EXP-00023: must be a DBA to do Full Database or Tablespace export");
      report.Line(kFailed);
      return 1;
    }
    const std::string file = params.Value("FILE", "expdat.dmp");
    std::ofstream dump(file, std::ios::out | std::ios::trunc | std::ios::binary);
    if (!dump) {
      report.Line("EXP-00028: failed to open " + file + " for write");
      report.Line(kFailed);
      return 1;
    }
    dump << "QUARRY EXPORT STAND-IN DUMP 1\n"
         << "-- Written by the export stand-in of Quarry's Oracle client stand-in; not an Oracle export file.\n";
    Session s{db, report, dump, params};
    bool ok = true;
    if (full) {
      report.Line("About to export the entire database ...");
      std::vector<std::string> all;
      for (const auto& r : Rows(db, "SELECT USERNAME FROM DBA_USERS ORDER BY USERNAME")) all.push_back(Quoted(r[0]));
      ok = ExportUsers(s, all, privileged);
    } else if (!params.tables.empty()) {
      ExportTables(s, privileged);
    } else {
      ok = ExportUsers(s, params.owners, privileged);
    }
    if (Upper(params.Value("STATISTICS", "ESTIMATE")) != "NONE") report.Line(". exporting statistics");
    dump.flush();
    if (!dump) {
      report.Line("EXP-00002: error in writing to export file");
      ok = false;
    }
    if (!ok) {
      report.Line(kFailed);
      return 1;
    }
    report.Line(s.warnings ? "Export terminated successfully with warnings."
                           : "Export terminated successfully without warnings.");
    report.Flush();
    return 0;
  } catch (const sqlplus::OraFailure& e) {
    report.Line("EXP-00008: ORACLE error " + std::to_string(e.code) + " encountered");
    report.Line(e.text);
    report.Line(kFailed);
    return 1;
  }
}

}  // namespace expsim
