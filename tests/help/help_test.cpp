// The help files and F1's choice of topic: both files parse as the hosts'
// help format, every link and every topic the plugin can ask for exists
// (the root list, the directories below a user, the demo database's object
// types and instance parameters), and no line is wider than the viewer.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "catalog/root_list.h"
#include "operations/context_help.h"
#include "oracle/client_layout.h"
#include "oracle/client_library.h"
#include "oracle/oracle_query.h"
#include "oracle/oracle_session.h"
#include "panel/path_levels.h"
#include "platform/platform.h"

namespace {

std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

struct HelpFile {
  std::vector<std::string> lines;
  std::map<std::string, int> topics;  // upper-cased name -> line
  std::vector<std::pair<std::string, int>> links;
  std::vector<std::string> problems;
};

// What the viewer shows of a line: link targets, highlight marks and the
// header prefixes are not displayed; doubled marks are literal.
std::string Visible(std::string line) {
  line = std::regex_replace(line, std::regex("~([^~]*)~@[^@]*@"), "$1");
  std::string out;
  for (std::size_t i = 0; i < line.size(); ++i) {
    char c = line[i];
    if ((c == '#' || c == '~' || c == '@') && i + 1 < line.size() && line[i + 1] == c) {
      out += c;
      ++i;
    } else if (c != '#') {
      out += c;
    }
  }
  if (!out.empty() && out[0] == '$') out.erase(0, 1);
  if (!out.empty() && out[0] == '^') out.erase(0, 1);
  return out;
}

HelpFile Parse(const std::string& path) {
  HelpFile f;
  std::ifstream in(path);
  std::string line;
  while (std::getline(in, line)) f.lines.push_back(line);
  if (f.lines.empty()) {
    f.problems.push_back(path + ": missing or empty");
    return f;
  }
  if (f.lines[0].rfind(".Language=", 0) != 0) f.problems.push_back("first line is not .Language=");
  const std::regex link("~[^~]*~@([^@]*)@");
  for (std::size_t i = 0; i < f.lines.size(); ++i) {
    const std::string& l = f.lines[i];
    const int n = static_cast<int>(i + 1);
    if (!l.empty() && l.back() == '\r') f.problems.push_back("CR at line " + std::to_string(n));
    if (l.size() > 1 && l[0] == '@' && l[1] != '@') {
      const std::string name = Upper(l.substr(1));
      if (name.find('=') != std::string::npos) f.problems.push_back("'=' makes an alias of topic line " + std::to_string(n));
      if (!f.topics.emplace(name, n).second) f.problems.push_back("topic twice: " + l.substr(1));
      continue;
    }
    std::string scan;
    for (std::size_t k = 0; k < l.size(); ++k) {  // doubled marks are text
      if ((l[k] == '~' || l[k] == '@') && k + 1 < l.size() && l[k + 1] == l[k]) {
        ++k;
        scan += ' ';
      } else {
        scan += l[k];
      }
    }
    for (std::sregex_iterator it(scan.begin(), scan.end(), link), end; it != end; ++it)
      f.links.emplace_back((*it)[1].str(), n);
    const std::string shown = Visible(l);
    if (shown.size() > 78) f.problems.push_back(path + " line " + std::to_string(n) + " is " + std::to_string(shown.size()) + " wide");
  }
  return f;
}

const HelpFile& Manual() {
  static HelpFile f = Parse(std::string(QUARRY_HELP_DIR) + "/Quarry.hlf");
  return f;
}
const HelpFile& Parameters() {
  static HelpFile f = Parse(std::string(QUARRY_HELP_DIR) + "/zoZaze.hlf");
  return f;
}

// Both hosts look topics up without regard to case, so ".Instance parameters"
// finds ".INSTANCE PARAMETERS", and two topics differing only in case are one.
bool Has(const HelpFile& f, const std::string& topic) { return f.topics.count(Upper(topic)) != 0; }

// F1's choice for a path (backslash-separated) and current item.
operations::HelpRequest Choose(const std::string& path, const std::string& item) {
  const std::vector<std::string> levels = panel::SplitPathLevels(path);
  return operations::ChooseHelpTopic(
      [&](std::size_t n) { return n >= 1 && n <= levels.size() ? levels[n - 1] : std::string(); },
      panel::UpperAnsi(item));
}

TEST(HelpFiles, ParseWithLinksThatResolveAndLinesTheViewerShows) {
  for (const HelpFile* f : {&Manual(), &Parameters()}) {
    EXPECT_TRUE(f->problems.empty()) << f->problems.front();
    EXPECT_TRUE(Has(*f, "Contents"));
    for (const auto& [target, line] : f->links) EXPECT_TRUE(Has(*f, target)) << "link to " << target << " at line " << line;
  }
  EXPECT_GE(Parameters().topics.size(), 201u) << "at least 200 parameters besides the contents";
}

TEST(HelpFiles, EveryTopicF1AsksForExists) {
  for (const auto& [name, description] : catalog::RootDirectories()) {
    auto r = Choose("\\" + name, "");
    EXPECT_EQ(r.file, "Quarry.hlf");
    EXPECT_TRUE(Has(Manual(), r.topic)) << "root directory " << name;
  }
  for (const char* fixed : {"Single User", ".Instance parameters", "Export Parameters"})
    EXPECT_TRUE(Has(Manual(), fixed)) << fixed;
  // Below a user, and below a role of .ROLES.
  for (const char* detail : {".ROLES", ".ALL PRIVILEGES", ".PRIVILEGES", ".OBJECT PRIVILEGES", ".ALL OBJECT PRIVS",
                             ".QUOTAS", ".SESSIONS", ".CONSUMERS", ".AUDIT TRAIL", ".AUDIT PRIVILEGES",
                             "TABLE PARTITION", "INDEX PARTITION"}) {
    EXPECT_TRUE(Has(Manual(), Choose(std::string("\\USERS\\SCOTT\\") + detail, "").topic)) << detail;
  }
  for (const char* detail : {".ROLES", ".PRIVILEGES", ".ALL PRIVILEGES", ".OBJECT PRIVILEGES", ".ALL OBJECT PRIVS"})
    EXPECT_TRUE(Has(Manual(), Choose(std::string("\\USERS\\.ROLES\\DBA\\") + detail, "").topic)) << detail;
  for (const char* special : {".ROLES", ".PROFILES", ".PASSWORD FILE", ".CONSUMERS"})
    EXPECT_TRUE(Has(Manual(), Choose(std::string("\\USERS\\") + special, "").topic)) << special;
  for (const char* instance :
       {".OPTIONS", ".PROCESS", ".SESSIONS", ".DISPATCHERS", ".THREADS", ".BACKGROUND PROCESS",
        ".COMPATIBILITY IN USE", ".COMPATIBILITY PREVENT DOWNGRADING", ".TRANSACTIONS", ".LOCKS", ".VERSION",
        ".PROCESS SHARED", ".REDO LOGS", ".NLS DATABASE", ".JOBS", ".JOBS RUNNING", ".TRUSTED SERVERS",
        ".BUFFER POOLS", ".DBMS ALERTS", ".DBMS LOCKS", ".QUEUES", ".CARTRIDGES", ".RECOVERY", ".LICENSE",
        ".DATABASE"})
    EXPECT_TRUE(Has(Manual(), Choose(std::string("\\.Instance parameters\\") + instance, "").topic)) << instance;
}

TEST(ContextHelp, TopicFollowsTheRulesInOrder) {
  struct Case {
    const char* path;
    const char* item;
    const char* file;
    const char* topic;
  };
  const Case cases[] = {
      {"\\", "Tables", "Quarry.hlf", ""},  // root: the contents page
      {"\\Tables", "SCOTT", "Quarry.hlf", "TABLES"},
      {"\\.Instance parameters", ".PARAMETERS", "Quarry.hlf", ".INSTANCE PARAMETERS"},
      {"\\.Instance parameters\\.PARAMETERS", "db_block_size", "zoZaze.hlf", "DB_BLOCK_SIZE"},
      {"\\.Instance parameters\\.PARAMETERS", "..", "Quarry.hlf", ".Instance parameters"},
      {"\\.Instance parameters\\.PARAMETERS", "", "Quarry.hlf", ".Instance parameters"},
      {"\\.Instance parameters\\.SESSIONS", "9.1", "Quarry.hlf", ".SESSIONS"},
      {"\\.Instance parameters\\.SESSIONS\\9.1", ".STATISTICS", "Quarry.hlf", ""},
      {"\\Users\\SCOTT", "TABLE", "Quarry.hlf", "Single User"},
      {"\\Users\\.ROLES", "DBA", "Quarry.hlf", ".ROLES"},
      {"\\Users\\SCOTT\\TABLES", "EMP", "Quarry.hlf", "TABLES for user"},
      {"\\Users\\SCOTT\\.QUOTAS", "USERS", "Quarry.hlf", ".QUOTAS for user"},
      {"\\Users\\SCOTT\\.ROLES\\CONNECT", "", "Quarry.hlf", ""},
      {"\\Users\\.ROLES\\DBA\\.PRIVILEGES", "", "Quarry.hlf", ".PRIVILEGES for user"},
      {"\\Users\\.ROLES\\DBA\\.OBJECT PRIVILEGES\\SYS", "", "Quarry.hlf", ""},
      {"\\Tables\\SCOTT\\EMP\\.COLUMNS", "SAL", "Quarry.hlf", ""},  // deep in a table
  };
  for (const Case& c : cases) {
    auto r = Choose(c.path, c.item);
    EXPECT_EQ(r.file, c.file) << c.path << " / " << c.item;
    EXPECT_EQ(r.topic, c.topic) << c.path << " / " << c.item;
  }
}

// The parameters and object types of the demo database, read through the
// client stand-in, each have their topic.
TEST(HelpFiles, DemoDatabaseParametersAndObjectTypesHaveTopics) {
  const std::string library = std::string(QUARRY_OCISIM_DIR) + "/home/lib/libclntsh.so";
  if (!std::filesystem::exists(library)) GTEST_SKIP() << "client stand-in not built";
  const auto data = std::filesystem::temp_directory_path() / ("quarry-help-" + std::to_string(std::random_device{}()));
  std::filesystem::create_directories(data);
  platform::SetEnv("OCISIM_DATA_DIR", data.string());
  oracle::OracleClient().SetEnvironment(
      {oracle::PosixLayout(), [library] { return std::vector<std::string>{"far2l", "OCIDLL=" + library}; }});
  std::vector<std::string> parameters, types;
  {
    oracle::TOracleSession session;
    session.LogonUsername = "system/manager";
    session.LogOn();
    oracle::TOracleQuery q(&session);
    q.SetSQL("SELECT NAME FROM V$PARAMETER");
    q.Execute();
    while (!q.Eof()) {
      parameters.push_back(q.FieldAsString(0));
      q.Next();
    }
    oracle::TOracleQuery t(&session);
    t.SetSQL("SELECT DISTINCT OBJECT_TYPE FROM DBA_OBJECTS");
    t.Execute();
    while (!t.Eof()) {
      types.push_back(t.FieldAsString(0));
      t.Next();
    }
    session.LogOff();
  }
  oracle::OracleClient().Free();
  std::error_code ec;
  std::filesystem::remove_all(data, ec);
  ASSERT_FALSE(parameters.empty());
  for (const std::string& p : parameters) {
    auto r = Choose("\\.Instance parameters\\.PARAMETERS", p);
    EXPECT_EQ(r.file, "zoZaze.hlf");
    EXPECT_TRUE(Has(Parameters(), r.topic)) << "parameter " << p;
  }
  ASSERT_FALSE(types.empty());
  for (const std::string& type : types)
    EXPECT_TRUE(Has(Manual(), Choose("\\Users\\SCOTT\\" + type, "").topic)) << "object type " << type;
}

}  // namespace
