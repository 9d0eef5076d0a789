// Tests of the tnsnames.ora alias reader on files shaped like real ones.
#include <gtest/gtest.h>

#include "oracle/tnsnames.h"
#include "test_support.h"

namespace oracle_test {
namespace {

std::vector<std::string> Aliases(const std::string& file) {
  oracle::TnsAliasSet set;
  oracle::ReadTnsAliases(file, set);
  return std::vector<std::string>(set.begin(), set.end());
}

using Strings = std::vector<std::string>;

class TnsNamesTest : public TempDirFixture {};

TEST_F(TnsNamesTest, ReadsAliasesOutsideParenthesesWithCommentsAndWorldSuffixes) {
  const std::string file = MakeFile("admin/tnsnames.ora",
                                    "# tnsnames.ora  -  local naming\r\n"
                                    "# PHANTOM = (DESCRIPTION = (ADDRESS = (HOST = x)))\r\n"
                                    "\r\n"
                                    "ORCL.WORLD =\r\n"
                                    "  (DESCRIPTION =\r\n"
                                    "    (ADDRESS_LIST =\r\n"
                                    "      (ADDRESS = (COMMUNITY = tcp.world)(PROTOCOL = TCP)(HOST = h)(PORT = 1521))\r\n"
                                    "    )\r\n"
                                    "    (CONNECT_DATA = (SID = ORCL))\r\n"
                                    "  )\r\n"
                                    "sales =\n"
                                    "\t(DESCRIPTION = (ADDRESS = (PROTOCOL = TCP)(HOST = s)(PORT = 1521))\n"
                                    "\t  (CONNECT_DATA = (SERVICE_NAME = sales.example.com)))\n"
                                    "HR, HR.EXAMPLE.COM = (DESCRIPTION = (ADDRESS = (HOST = hr1)))\n"
                                    "PROD.WORLD = (DESCRIPTION = (ADDRESS = (HOST = p)))  # trailing comment\n"
                                    "Orcl = (DESCRIPTION = (ADDRESS = (HOST = again)))\n");
  // Sorted without regard to case; "Orcl" repeats ORCL and is ignored.
  EXPECT_EQ(Aliases(file), (Strings{"HR", "HR.EXAMPLE.COM", "ORCL", "PROD", "sales"}));
  EXPECT_TRUE(Aliases(Path("admin/none.ora")).empty());
}

// Only a final ".WORLD" is the old default domain; a name that merely holds
// the word keeps it, or two different services would share one alias.
TEST_F(TnsNamesTest, CutsOnlyAFinalWorldDomain) {
  const std::string file = MakeFile("admin/tnsnames.ora",
                                    "FOO.WORLDWIDE.COM = (DESCRIPTION = (ADDRESS = (HOST = f)))\n"
                                    "FOO = (DESCRIPTION = (ADDRESS = (HOST = g)))\n"
                                    "DEV.WORLD.ORG, qa.World = (DESCRIPTION = (ADDRESS = (HOST = d)))\n"
                                    ".WORLD = (DESCRIPTION = (ADDRESS = (HOST = w)))\n");
  EXPECT_EQ(Aliases(file), (Strings{".WORLD", "DEV.WORLD.ORG", "FOO", "FOO.WORLDWIDE.COM", "qa"}));
}

TEST_F(TnsNamesTest, FollowsBothIfileFormsAndIgnoresAStrayClosingParenthesis) {
  MakeFile("shared/other.ora", "OTHER = (DESCRIPTION = (ADDRESS = (HOST = o)))\n");
  MakeFile("shared/next.ora", "NEXTONE.world = (DESCRIPTION = (ADDRESS = (HOST = n)))\n");
  MakeFile("admin/beside.ora", "BESIDE = (DESCRIPTION = )\n");
  const std::string file = MakeFile("admin/tnsnames.ora",
                                    "MAIN = (DESCRIPTION = (ADDRESS = (HOST = m)))\n"
                                    "IFILE = " + Path("shared/other.ora") + "\n"
                                    "ifile =\n"
                                    "   " + Path("shared/next.ora") + "\n"
                                    "IFILE = \"beside.ora\"\n"
                                    ")\n"
                                    "LAST = (DESCRIPTION = )\n");
  EXPECT_EQ(Aliases(file), (Strings{"BESIDE", "LAST", "MAIN", "NEXTONE", "OTHER"}));
}

TEST_F(TnsNamesTest, FilesIncludingThemselvesAreReadOnce) {
  const std::string a = Path("admin/a.ora");
  const std::string b = Path("admin/b.ora");
  MakeFile("admin/a.ora", "A1 = (DESCRIPTION = )\nIFILE = " + b + "\nIFILE = " + a + "\n");
  MakeFile("admin/b.ora", "B1 = (DESCRIPTION = )\nIFILE = " + Path("admin/./a.ora") + "\n");
  EXPECT_EQ(Aliases(a), (Strings{"A1", "B1"}));
}

// The disk, counting the files the reader reads.
class CountingDisk final : public oracle::TnsFileSource {
 public:
  bool Exists(const std::string& path) const override { return platform::FileExists(path); }
  bool Read(const std::string& path, std::string& content) const override {
    ++reads;
    return platform::ReadWholeFile(path, content);
  }
  std::string CurrentDirectory() const override { return platform::CurrentDirectory(); }
  mutable int reads = 0;
};

// A file that names itself twice, each time by a longer path, was read
// once per name: two to the include depth reads while the logon dialog waited.
TEST_F(TnsNamesTest, EachFileIsReadOnceHoweverOftenAndByWhateverNameItIsIncluded) {
  MakeFile("admin/b.ora", "B1 = (DESCRIPTION = )\n"
                          "IFILE = ../admin/b.ora\n"
                          "IFILE = ../admin/../admin/b.ora\n"
                          "IFILE = " + Path("admin/./tnsnames.ora") + "\n");
  const std::string file = MakeFile("admin/tnsnames.ora", "MAIN = (DESCRIPTION = )\n"
                                                          "IFILE = b.ora\n"
                                                          "IFILE = b.ora\n"
                                                          "IFILE = " + Path("admin/../admin//b.ora") + "\n");
  CountingDisk disk;
  oracle::TnsAliasSet set;
  oracle::ReadTnsAliases(file, set, disk);
  EXPECT_EQ(std::vector<std::string>(set.begin(), set.end()), (Strings{"B1", "MAIN"}));
  EXPECT_EQ(disk.reads, 2);
}

}  // namespace
}  // namespace oracle_test
