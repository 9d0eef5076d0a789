// The tools menu's pieces that need no host: the INI reader, the script
// and spool paths, and command lines as the shell splits them.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "operations/tools_ini.h"
#include "operations/tools_menu.h"
#include "platform/console.h"
#include "platform/platform.h"

namespace operations {
namespace {

TEST(ToolsIni, SectionsKeysCommentsAndQuotesAsTheProfileFunctionsReadThem) {
  const auto sections = ParseIni(
      "stray=before any section\r\n"
      "; a comment\r\n"
      "[ First entry ]\r\n"
      "  Script =  a b.sql  \r\n"
      "SCRIPT=ignored, the first value wins\r\n"
      "spool=\"out.lst\"\r\n"
      "[Empty]\r\n"
      "\r\n"
      "[first ENTRY]\r\n"
      "SubMenu=more.ini\r\n"
      "no equals sign\r\n");
  ASSERT_EQ(sections.size(), 2u);
  EXPECT_EQ(sections[0].name, "First entry");
  EXPECT_EQ(sections[0].Value("script"), "a b.sql");
  EXPECT_EQ(sections[0].Value("SPOOL"), "out.lst");
  EXPECT_EQ(sections[0].Value("SubMenu"), "more.ini");  // the repeated section joins the first
  EXPECT_EQ(sections[0].Value("Missing"), "");
  EXPECT_EQ(sections[1].name, "Empty");
  EXPECT_TRUE(sections[1].keys.empty());
  EXPECT_TRUE(ParseIni("; nothing but comments\nkey=value\n").empty());
}

TEST(ToolsPaths, ScriptPathsRelativeHomeTagAndUnknownTags) {
  const std::string tools = "/opt/quarry/Tools/";
  EXPECT_EQ(ExpandScriptPath("my script.sql", tools, "/u01/ora/"), "/opt/quarry/Tools/my script.sql");
  EXPECT_EQ(ExpandScriptPath("sub\\x.sql", tools, "/u01/ora/"), "/opt/quarry/Tools/sub/x.sql");
  EXPECT_EQ(ExpandScriptPath("/abs/x.sql", tools, "/u01/ora/"), "/abs/x.sql");
  // The tag in any case, every occurrence, and a home without its separator.
  EXPECT_EQ(ExpandScriptPath("<orahome>rdbms\\admin\\utlxpls.sql", tools, "/u01/ora"),
            "/u01/ora/rdbms/admin/utlxpls.sql");
  EXPECT_EQ(ExpandScriptPath("<OraHome>a/<ORAHOME>b.sql", tools, "/h/"), "/h/a//h/b.sql");
  // Refused (after a message): another tag, or no home to put in.
  EXPECT_EQ(ExpandScriptPath("<ORACLE_HOME>x.sql", tools, "/h/"), "");
  EXPECT_EQ(ExpandScriptPath("<ORAHOME>x.sql", tools, ""), "");
}

TEST(ToolsPaths, SpoolGetsLstWithoutExtensionAndLivesInTheWorkFolder) {
  EXPECT_EQ(SpoolPath("report", "/w"), "/w/report.LST");
  EXPECT_EQ(SpoolPath("report.", "/w/"), "/w/report.LST");
  EXPECT_EQ(SpoolPath(" report.txt ", "/w/"), "/w/report.txt");
  EXPECT_EQ(SpoolPath("v1.2/report", "/w/"), "/w/v1.2/report.LST");  // a dot in a folder is no extension
  EXPECT_EQ(SpoolPath("/tmp/r.lst", "/w/"), "/tmp/r.lst");
  EXPECT_EQ(SpoolPath("  ", "/w/"), "");
}

TEST(ToolsPaths, UserToolsFolderSitsBesideTheSettingsStore) {
  platform::SetEnv("QUARRY_REGISTRY_DIR", "/home/u/conf/quarry/registry/");
  const ToolsFolders folders = ToolsFoldersOf("/usr/lib/far2l/Plugins/quarry/plug");
  EXPECT_EQ(folders.packaged, "/usr/lib/far2l/Plugins/quarry/plug/Tools/");
  EXPECT_EQ(folders.user, "/home/u/conf/quarry/Tools/");
  // Neither holds the file: the packaged folder is the one named.
  EXPECT_EQ(folders.For("Tools.ini"), folders.packaged);
  platform::UnsetEnv("QUARRY_REGISTRY_DIR");
}

// The tools menu deletes the spool after the run and the export trusts the
// log only when it was written: both ask the file system, not the spelling.
TEST(ConsoleFiles, SameFileSeesThroughSpellingsAndStampsSeeAWrite) {
  const std::string script = platform::CreateTempFile("QTS", ".sql");
  const std::string other = platform::CreateTempFile("QTS", ".sql");
  ASSERT_FALSE(script.empty());
  ASSERT_FALSE(other.empty());
  const std::string dir = platform::DirectoryOf(script);
  const std::string name = script.substr(dir.size());
  EXPECT_TRUE(platform::SameFile(dir + "./" + name, script));
  const std::string folder = dir.substr(0, dir.size() - 1);
  const std::string folderName = folder.substr(platform::DirectoryOf(folder).size());
  EXPECT_TRUE(platform::SameFile(dir + "../" + folderName + "/" + name, script));
  EXPECT_FALSE(platform::SameFile(other, script));
  EXPECT_FALSE(platform::SameFile(dir + "no such file.sql", script));
  const auto before = platform::StampOf(script);
  ASSERT_TRUE(before.has_value());
  ASSERT_TRUE(platform::WriteFileAtomic(script, "spool out\n"));
  EXPECT_NE(platform::StampOf(script), before);
  EXPECT_EQ(platform::StampOf(script), platform::StampOf(script));
  EXPECT_FALSE(platform::StampOf(dir + "no such file.sql").has_value());
  platform::RemoveFile(script);
  platform::RemoveFile(other);
}

// The words come back unchanged when the shell splits the line.
TEST(ConsoleCommandLine, ShellReadsEveryWordBack) {
  const std::vector<std::string> words{"/opt/my ora/bin/sqlplus", "scott/ti ger$HOME;`x`'q\"@DEMO",
                                       "@/path with blanks/it's.sql", "plain@word/x", ""};
  std::string line = "printf '[%s]\\n' " + platform::ConsoleCommandLine(words);
  FILE* p = popen(line.c_str(), "r");
  ASSERT_NE(p, nullptr);
  std::string out;
  char buf[512];
  for (std::size_t n; (n = fread(buf, 1, sizeof buf, p)) > 0;) out.append(buf, n);
  pclose(p);
  std::string expected;
  for (const auto& w : words) expected += "[" + w + "]\n";
  EXPECT_EQ(out, expected);
  EXPECT_EQ(platform::ConsoleCommandLine({"exp", "scott/tiger", "parfile=/tmp/PAR1.tmp"}),
            "exp scott/tiger parfile=/tmp/PAR1.tmp");
}

}  // namespace
}  // namespace operations
