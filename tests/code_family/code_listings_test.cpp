// Code listings through a real panel on the demo database: argument lists
// (a stand-alone routine beside a package routine of the same name, a
// procedure without arguments, overload order), names created as quoted
// identifiers, item names that do not carry the expected keys, and the
// listings while searching or without a session.
#include <gtest/gtest.h>

#include <algorithm>

#include "connected_panel.h"

namespace {

using namespace paneltest;

class CodeListings : public ConnectedPanel {};

std::vector<std::string> Column(const std::vector<Item>& items, std::size_t c) {
  std::vector<std::string> out;
  for (const Item& i : items)
    if (i.name != "..") out.push_back(c < i.columns.size() ? i.columns[c] : "<none>");
  return out;
}

TEST_F(CodeListings, StandAloneFunctionShowsOnlyItsOwnArguments) {
  LogOn("scott", "tiger");
  // SAL_PKG has a GET_SAL of its own with a second argument.
  auto items = ListPath("\\Functions\\SCOTT\\GET_SAL\\.DESCRIPTION");
  EXPECT_EQ(Column(items, 0), (std::vector<std::string>{"FUNCTION RESULT", "..P_EMPNO"}));
  auto packaged = ListPath("\\Packages\\SCOTT\\SAL_PKG\\get_sal");
  EXPECT_EQ(Column(packaged, 0), (std::vector<std::string>{"FUNCTION RESULT", "..P_EMPNO", "..P_CURRENCY"}));
  EXPECT_TRUE(Errors().empty());
}

TEST_F(CodeListings, ProcedureWithoutArgumentsHasOneHeaderLine) {
  LogOn("system", "manager");
  auto items = ListPath("\\Procedures\\SCOTT\\LOG_RUN\\.DESCRIPTION");
  ASSERT_EQ(items.size(), 2u);
  EXPECT_EQ(items[1].name, "    0");
  EXPECT_FALSE(items[1].directory);
  EXPECT_EQ(items[1].columns, (std::vector<std::string>{"PROCEDUE", "", "", ""}));
}

TEST_F(CodeListings, OverloadLinesSortByOverloadThenSequence) {
  LogOn("scott", "tiger");
  // The panel sorts by name: that order must be overload, then sequence.
  auto items = ListPath("\\Packages\\SCOTT\\EMP_PKG\\hire");
  items.erase(items.begin());  // ".."
  std::sort(items.begin(), items.end(), [](const Item& a, const Item& b) { return a.name < b.name; });
  EXPECT_EQ(Names(items), (std::vector<std::string>{"    1    0", "    1    1", "    1    2", "    2    0", "    2    1",
                                                    "    2    2", "    2    3"}));
  EXPECT_EQ(Column(items, 0), (std::vector<std::string>{"PROCEDUE", "..P_ENAME", "..P_DEPTNO", "PROCEDUE", "..P_ENAME",
                                                        "..P_JOB", "..P_DEPTNO"}));
}

TEST_F(CodeListings, QuotedNamesReachTheServerInTheirOwnCase) {
  LogOn("scott", "tiger");
  auto procs = Names(ListPath("\\Procedures\\SCOTT"));
  ASSERT_NE(std::find(procs.begin(), procs.end(), "Mixed Case Proc"), procs.end());
  EXPECT_EQ(Column(ListPath("\\Procedures\\SCOTT\\Mixed Case Proc\\.DESCRIPTION"), 0),
            (std::vector<std::string>{"PROCEDUE", "..P_NOTE"}));
  // The upper-case spelling is another (missing) object: nothing, no box.
  EXPECT_EQ(Names(ListPath("\\Procedures\\SCOTT\\MIXED CASE PROC\\.DESCRIPTION")), std::vector<std::string>{".."});
  // A path typed in lower case still finds the upper-case objects.
  EXPECT_EQ(Column(ListPath("\\procedures\\scott\\raise_salary\\.description"), 0),
            (std::vector<std::string>{"PROCEDUE", "..P_EMPNO", "..P_PCT"}));
  EXPECT_EQ(Names(ListPath("\\.errors\\scott\\broken_proc.procedure")), (std::vector<std::string>{"..", " 0001"}));
  // A 30-character name is listed whole.
  auto funcs = Names(ListPath("\\Functions\\SCOTT"));
  EXPECT_NE(std::find(funcs.begin(), funcs.end(), "A_FUNCTION_NAME_OF_30_CHARS_XY"), funcs.end());
  EXPECT_TRUE(Errors().empty());
}

TEST_F(CodeListings, PackageWithoutRoutinesOffersOnlyWhatExists) {
  LogOn("scott", "tiger");
  EXPECT_EQ(Names(ListPath("\\Packages\\SCOTT\\PAY_CONST")), (std::vector<std::string>{"..", ".OBJECT SIZE"}));
  // Routine names are lower case, details upper case.
  EXPECT_EQ(Names(ListPath("\\Packages\\SCOTT\\EMP_PKG")),
            (std::vector<std::string>{"..", ".GRANTEE", ".REFERENCED FROM", ".OBJECT SIZE", "count_emps", "hire"}));
}

TEST_F(CodeListings, ItemNamesWithoutTheirKeysListNothingQuietly) {
  LogOn("system", "manager");
  SetIgnoreOraErrors(false);
  // A method item must read NAME.NUMBER; an error item NAME.TYPE.
  EXPECT_EQ(Names(ListPath("\\All types\\SCOTT\\ADDRESS_T\\.METHODS\\LABEL.X\\.PARAMETERS")),
            std::vector<std::string>{".."});
  EXPECT_EQ(Names(ListPath("\\All types\\SCOTT\\ADDRESS_T\\.METHODS\\LABEL\\.RESULT")), std::vector<std::string>{".."});
  EXPECT_EQ(Names(ListPath("\\.Errors\\SCOTT\\BROKEN_PROC")), std::vector<std::string>{".."});
  // The error list of an item whose type holds a blank.
  EXPECT_EQ(Names(ListPath("\\.Errors\\SCOTT\\PONG_PKG.PACKAGE BODY")), (std::vector<std::string>{"..", " 0001"}));
  EXPECT_TRUE(Errors().empty());
}

TEST_F(CodeListings, TypeWithoutMethodsOffersNoMethodsButTheMethodLevelsWork) {
  LogOn("scott", "tiger");
  auto point = Names(ListPath("\\All types\\SCOTT\\POINT_T"));
  EXPECT_NE(std::find(point.begin(), point.end(), ".ATTRIBUTES"), point.end());
  EXPECT_EQ(std::find(point.begin(), point.end(), ".METHODS"), point.end());
  auto result = ListPath("\\All types\\.OBJECT TYPES\\SCOTT\\ADDRESS_T\\.METHODS\\LABEL.1\\.RESULT");
  EXPECT_EQ(Names(result), (std::vector<std::string>{"..", "VARCHAR2"}));
  // Collection types have no method listing.
  EXPECT_EQ(Names(ListPath("\\All types\\.TABLE TYPES\\SCOTT\\NAME_TAB_T\\.METHODS")), std::vector<std::string>{".."});
}

TEST_F(CodeListings, DependencyTreeOfACycleEndsAndMarksDepthWithDots) {
  LogOn("scott", "tiger");
  auto items = ListPath("\\Procedures\\SCOTT\\PAYROLL_RUN\\.DEPENDENCIES TREE");
  // PING_PKG and EMP, already shown above, come back as leaves that say so.
  EXPECT_EQ(Column(items, 0),
            (std::vector<std::string>{"SCOTT.BONUS", "SCOTT.EMP", "SCOTT.PING_PKG", "..SCOTT.PONG_PKG",
                                      "....SCOTT.PING_PKG (repeated, see line 3)",
                                      "....SCOTT.EMP (repeated, see line 2)"}));
}

TEST_F(CodeListings, SearchingShowsNoMessagesAndNoSessionListsOnlyTheWayOut) {
  auto& p = LogOn("scott", "tiger");
  std::size_t before = fakehost::Current().messages.size();
  auto items = ListPath("\\Procedures\\SCOTT\\PAYROLL_RUN\\.DEPENDENCIES TREE", far::OPM_FIND);
  EXPECT_EQ(items.size(), 7u);
  EXPECT_EQ(fakehost::Current().messages.size(), before);

  p.DataModule().LogOff();
  for (const char* path : {"\\Packages\\SCOTT\\EMP_PKG", "\\All types", "\\Triggers", "\\Dimensions\\SALES\\TIME_DIM",
                           "\\.Errors\\SCOTT\\BROKEN_PROC.PROCEDURE", "\\Java"})
    EXPECT_EQ(Names(ListPath(path)), std::vector<std::string>{".."}) << path;
}

// A level longer than any name the server keeps (30 bytes) names nothing:
// the server's own message once per listing, however many such levels,
// none while the host searches, and none for a long name of fewer letters
// (two-byte letters: the server's limit is in its own character set).
TEST_F(CodeListings, AnOverlongLevelIsReportedOncePerListingAndNotWhileSearching) {
  LogOn("scott", "tiger");
  const std::string letters31(31, 'P'), letters32(32, 'Q');
  std::string twoByte;
  for (int i = 0; i < 20; ++i) twoByte += "\xc3\x84";  // 20 letters, 40 bytes
  const std::vector<std::string> tooLong{"ORA-00972: identifier is too long"};
  ListPath("\\Procedures\\SCOTT\\" + letters31);
  EXPECT_EQ(Errors(), tooLong);
  fakehost::Current().messages.clear();
  ListPath("\\Users\\" + letters31 + "\\" + letters32);
  EXPECT_EQ(Errors(), tooLong);
  fakehost::Current().messages.clear();
  ListPath("\\Procedures\\SCOTT\\" + letters31, far::OPM_FIND);
  ListPath("\\Procedures\\SCOTT\\" + std::string(30, 'P'));
  ListPath("\\Procedures\\SCOTT\\" + twoByte);
  EXPECT_TRUE(Errors().empty());
}

TEST_F(CodeListings, AFailingCountHidesOnlyItsOwnDetail) {
  auto& dba = LogOn("system", "manager");
  auto& scott = LogOn("scott", "tiger");
  const std::string path = "\\Functions\\SCOTT\\GET_SAL";
  EXPECT_EQ(Names(ListPath(path)),
            (std::vector<std::string>{"..", ".DESCRIPTION", ".OBJECT SIZE", ".SYNONYMS", ".DEPENDENCIES",
                                      ".DEPENDENCIES TREE"}));
  auto drop = dba.DataModule().CreateNewOracleQuery({});
  drop->SetSQL("DROP PUBLIC SYNONYM ALL_DEPENDENCIES");
  drop->Execute();
  ASSERT_EQ(&panel(), &scott);
  // The dependency counts now fail with ORA-00942: quietly by default ...
  const std::vector<std::string> rest{"..", ".DESCRIPTION", ".OBJECT SIZE", ".SYNONYMS"};
  EXPECT_EQ(Names(ListPath(path)), rest);
  EXPECT_TRUE(Errors().empty());
  // ... and with a box per failed count when ORA-00942 is not to be
  // ignored (the referencing objects and the dependencies); the other
  // details stay either way.
  SetIgnoreOraErrors(false);
  EXPECT_EQ(Names(ListPath(path)), rest);
  ASSERT_EQ(Errors().size(), 2u);
  for (const std::string& e : Errors()) EXPECT_NE(e.find("ORA-00942"), std::string::npos) << e;
}

TEST_F(CodeListings, BuiltInTypesCountedUnderBuildIntoAreListedThere) {
  LogOn("system", "manager");
  auto owners = ListPath("\\All types");
  auto it = std::find_if(owners.begin(), owners.end(), [](const Item& i) { return i.name == "BUILD INTO"; });
  ASSERT_NE(it, owners.end());
  ASSERT_FALSE(it->columns.empty());
  auto types = ListPath("\\All types\\BUILD INTO");
  EXPECT_EQ(std::to_string(types.size() - 1), it->columns[0]);
  EXPECT_EQ(Names(types), (std::vector<std::string>{"..", "NUMBER", "VARCHAR2", "DATE"}));
  EXPECT_FALSE(types[1].directory);
  EXPECT_EQ(Names(ListPath("\\All types\\BUILD INTO\\NUMBER")), std::vector<std::string>{".."});
}

}  // namespace
