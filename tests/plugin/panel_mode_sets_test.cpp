// The library of panel-mode sets as the host reads it: every set present once,
// every mode's records consistent, and a sample of sets checked field by field.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "panel/panel_mode_sets.h"
#include "panel/panel_modes.h"

namespace {

std::vector<std::string> SplitCommas(const char* text) {
  std::vector<std::string> parts;
  if (text == nullptr || *text == '\0') return parts;
  const std::string s(text);
  for (std::size_t start = 0;;) {
    const std::size_t comma = s.find(',', start);
    parts.push_back(s.substr(start, comma == std::string::npos ? comma : comma - start));
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  return parts;
}

bool IsColumnType(const std::string& t) {
  if (t == "N" || t == "NR") return true;
  return t.size() == 2 && t[0] == 'C' && t[1] >= '0' && t[1] <= '9';
}

// One mode's columns as `TYPE WIDTH "Title"` joined by ", ".
std::string Describe(const far::PanelMode& m) {
  const std::vector<std::string> types = SplitCommas(m.ColumnTypes);
  const std::vector<std::string> widths = SplitCommas(m.ColumnWidths);
  std::string out;
  for (std::size_t i = 0; i < types.size(); ++i) {
    if (!out.empty()) out += ", ";
    out += types[i] + " " + (i < widths.size() ? widths[i] : "?") + " \"" +
           (m.ColumnTitles && m.ColumnTitles[i] ? m.ColumnTitles[i] : "<null>") + "\"";
  }
  return out;
}

const far::PanelMode* ModesOf(const char* name) {
  const panel::PanelModeSet* set = panel::FindPanelModeSet(name);
  EXPECT_NE(set, nullptr) << name;
  return set ? set->Modes() : nullptr;
}

bool SameRecord(const far::PanelMode& a, const far::PanelMode& b) {
  return Describe(a) == Describe(b) && a.FullScreen == b.FullScreen &&
         a.AlignExtensions == b.AlignExtensions && a.CaseConversion == b.CaseConversion &&
         std::string(a.StatusColumnTypes) == b.StatusColumnTypes &&
         std::string(a.StatusColumnWidths) == b.StatusColumnWidths;
}

// One form in modes 0-3, 8, 9 and one full-screen form in modes 4-7.
bool HasRegularShape(const far::PanelMode* m) {
  for (int i : {1, 2, 3, 8, 9})
    if (!SameRecord(m[0], m[i])) return false;
  for (int i : {5, 6, 7})
    if (!SameRecord(m[4], m[i])) return false;
  return m[0].FullScreen == 0 && m[4].FullScreen == 1;
}

TEST(PanelModeSets, EverySetIsThereOnce) {
  EXPECT_EQ(panel::PanelModeSetSpecs().size(), 116u);
  // The lookup is keyed by name, so a name used twice would shrink it.
  EXPECT_EQ(panel::PanelModeSetCount(), panel::PanelModeSetSpecs().size());
  const std::vector<std::string> names = panel::PanelModeSetNames();
  EXPECT_EQ(names.size(), 116u);
  for (const std::string& name : names) {
    EXPECT_EQ(name.size() > 10 && name.compare(name.size() - 10, 10, "PanelModes") == 0, true)
        << name;
    EXPECT_NE(panel::FindPanelModeSet(name), nullptr) << name;
  }
  EXPECT_EQ(&panel::DefaultPanelModes(), panel::FindPanelModeSet("DefaultPanelModes"));
}

TEST(PanelModeSets, EveryModeIsWellFormedForTheHosts) {
  for (const std::string& name : panel::PanelModeSetNames()) {
    const far::PanelMode* m = panel::FindPanelModeSet(name)->Modes();
    for (int i = 0; i < panel::kPanelModeCount; ++i) {
      SCOPED_TRACE(name + " mode " + std::to_string(i));
      const std::vector<std::string> types = SplitCommas(m[i].ColumnTypes);
      const std::vector<std::string> widths = SplitCommas(m[i].ColumnWidths);
      ASSERT_FALSE(types.empty());
      // far2l reads as many titles as there are types.
      ASSERT_EQ(widths.size(), types.size());
      ASSERT_NE(m[i].ColumnTitles, nullptr);
      for (std::size_t c = 0; c < types.size(); ++c) {
        EXPECT_TRUE(IsColumnType(types[c])) << types[c];
        EXPECT_FALSE(widths[c].empty());
        EXPECT_EQ(widths[c].find_first_not_of("0123456789"), std::string::npos) << widths[c];
        EXPECT_NE(m[i].ColumnTitles[c], nullptr);
      }
      const std::vector<std::string> statusTypes = SplitCommas(m[i].StatusColumnTypes);
      const std::vector<std::string> statusWidths = SplitCommas(m[i].StatusColumnWidths);
      ASSERT_FALSE(statusTypes.empty());
      EXPECT_EQ(statusWidths.size(), statusTypes.size());
      for (const std::string& t : statusTypes) EXPECT_TRUE(IsColumnType(t)) << t;
      for (const std::string& w : statusWidths)
        EXPECT_EQ(!w.empty() && w.find_first_not_of("0123456789") == std::string::npos, true) << w;
      EXPECT_EQ(m[i].DetailedStatus, 0);
      EXPECT_EQ(m[i].Reserved[0], 0u);
      EXPECT_EQ(m[i].Reserved[1], 0u);
      // Only the host's wide modes 4 to 7 ever take the whole screen.
      if (i < 4 || i > 7) {
        EXPECT_EQ(m[i].FullScreen, 0);
      }
    }
  }
}

TEST(PanelModeSets, NinetySevenSetsHaveTheRegularShape) {
  const std::set<std::string> irregular = {
      "DefaultPanelModes",
      "AddrSQLSortsLoadsPanelModes",
      "PIDUserProgramPanelModes",
      "NameTypePanelModes",
      "QIDNameTypePanelModes",
      "NameTypePrecPanelModes",
      "ParameterTypeValuePanelModes",
      "TableColumnPanelModes",
      "NameImplementationPanelModes",
      "ShortNameLongNamePanelModes",
      "NameTypeBoundStoragePanelModes",
      "NameTypeLengthPrecPanelModes",
      "ObjectValuePanelModes",
      "NameUsagePanelModes",
      "OperationTargetSoFarTotalPanelModes",
      "ObjectTypeStatisticsPanelModes",
      "NameTypeValuePanelModes",
      "NameTypeObjIDTablePanelModes",
      "UserNameCountPanelModes",
  };
  int regular = 0;
  for (const std::string& name : panel::PanelModeSetNames()) {
    const bool shape = HasRegularShape(panel::FindPanelModeSet(name)->Modes());
    EXPECT_NE(shape, irregular.count(name) == 1) << name;
    if (shape) ++regular;
  }
  EXPECT_EQ(regular, 97);
}

TEST(PanelModeSets, UserNameCountShowsThePairThenTwoPairsFullScreen) {
  const far::PanelMode* m = ModesOf("UserNameCountPanelModes");
  ASSERT_NE(m, nullptr);
  for (int i : {0, 1, 2, 3, 4, 6, 8, 9}) {
    EXPECT_EQ(Describe(m[i]), "N 0 \"User Name\", C0 7 \"Count\"") << i;
    EXPECT_EQ(m[i].FullScreen, 0) << i;
  }
  for (int i : {5, 7}) {
    EXPECT_EQ(Describe(m[i]),
              "N 0 \"User Name\", C0 7 \"Count\", N 0 \"User Name\", C0 7 \"Count\"")
        << i;
    EXPECT_EQ(m[i].FullScreen, 1) << i;
  }
  for (int i = 0; i < 10; ++i) {
    EXPECT_STREQ(m[i].StatusColumnTypes, "N,C0");
    EXPECT_STREQ(m[i].StatusColumnWidths, "0,7");
    EXPECT_EQ(m[i].AlignExtensions, 0);
    EXPECT_EQ(m[i].CaseConversion, 1);
  }
}

TEST(PanelModeSets, ObjectValueRecordListing) {
  const far::PanelMode* m = ModesOf("ObjectValuePanelModes");
  ASSERT_NE(m, nullptr);
  const std::string pair = "N 0 \"Object\", C0 0 \"Value\"";
  for (int i : {0, 1, 2, 3, 8, 9}) EXPECT_EQ(Describe(m[i]), pair) << i;
  for (int i : {4, 6}) {
    EXPECT_EQ(Describe(m[i]), "N 0 \"Object\"") << i;
    EXPECT_EQ(m[i].FullScreen, 0) << i;
  }
  for (int i : {5, 7}) {
    EXPECT_EQ(Describe(m[i]), pair + ", " + pair) << i;
    EXPECT_EQ(m[i].FullScreen, 1) << i;
  }
  for (int i = 0; i < 10; ++i) {
    EXPECT_STREQ(m[i].StatusColumnTypes, "C1");
    EXPECT_EQ(m[i].AlignExtensions, 0);
  }
}

TEST(PanelModeSets, NameTypeAndQIDNameTypePickTheirFormPerMode) {
  const far::PanelMode* m = ModesOf("NameTypePanelModes");
  ASSERT_NE(m, nullptr);
  const std::string two = "N 0 \"Name\", C0 10 \"Type\"";
  const std::string four = two + ", C1 6 \"Length\", C2 4 \"Prec\"";
  const std::string six = four + ", C3 4 \"Null\", C4 15 \"Default\"";
  const char* status[10] = {"C0", "N", "C5", "C5", "C0", "N", "C5", "C5", "C5", "C5"};
  const std::string columns[10] = {two, two, four, four, six, six, six, six, two, two};
  for (int i = 0; i < 10; ++i) {
    EXPECT_EQ(Describe(m[i]), columns[i]) << i;
    EXPECT_STREQ(m[i].StatusColumnTypes, status[i]) << i;
    EXPECT_EQ(m[i].FullScreen, (i >= 4 && i <= 7) ? 1 : 0) << i;
    EXPECT_EQ(m[i].CaseConversion, 1) << i;
  }

  m = ModesOf("QIDNameTypePanelModes");
  ASSERT_NE(m, nullptr);
  const std::string narrow = "N 4 \"QID\", C0 0 \"Name\", C1 15 \"Type\"";
  const std::string wide = narrow +
                           ", C2 0 \"Table\", C3 6 \"MaxRET\", C4 3 \"ENQ\", C5 3 \"DEQ\","
                           " C6 9 \"Retention\"";
  const char* qidStatus[10] = {"C7", "C7", "C7", "C7", "C7", "C2", "C1", "C0", "C7", "C7"};
  for (int i = 0; i < 10; ++i) {
    const bool full = i >= 4 && i <= 7;
    EXPECT_EQ(Describe(m[i]), full ? wide : narrow) << i;
    EXPECT_STREQ(m[i].StatusColumnTypes, qidStatus[i]) << i;
    EXPECT_EQ(m[i].FullScreen, full ? 1 : 0) << i;
  }
}

TEST(PanelModeSets, PIDUserProgramKeepsExtensionsUnaligned) {
  const far::PanelMode* m = ModesOf("PIDUserProgramPanelModes");
  ASSERT_NE(m, nullptr);
  const std::string form1 = "N 7 \"PID\", C1 0 \"User\", C4 0 \"Program\"";
  const std::string form5 =
      "N 5 \"PID\", C0 5 \"SPID\", C1 11 \"User name\", C2 4 \"S#\", C3 11 \"Terminal\","
      " C4 0 \"Program\", C5 4 \"BKGR\"";
  const std::string expected[10] = {
      form1,
      "N 7 \"PID\", C0 7 \"SPID\", C1 0 \"User\"",
      "N 6 \"PID\", C1 0 \"User\", C4 0 \"Program\"",
      "N 6 \"PID\", C1 0 \"User\", C3 12 \"Terminal\"",
      form1,
      form5,
      "N 7 \"PID\", C4 0 \"Program\"",
      form5,
      form1,
      form1};
  for (int i = 0; i < 10; ++i) {
    EXPECT_EQ(Describe(m[i]), expected[i]) << i;
    EXPECT_EQ(m[i].FullScreen, (i == 5 || i == 7) ? 1 : 0) << i;
    EXPECT_EQ(m[i].AlignExtensions, 0) << i;
    EXPECT_EQ(m[i].CaseConversion, 1) << i;
    EXPECT_STREQ(m[i].StatusColumnTypes, "C3,C4");
    EXPECT_STREQ(m[i].StatusColumnWidths, "12,0");
  }
}

// Regular sets: mode 0 shows the regular form, mode 4 the full-screen one.
struct RegularCase {
  const char* name;
  const char* columns;
  const char* fullScreen;
  const char* statusTypes;
  const char* statusWidths;
  int alignExtensions;
  int caseConversion;
};

TEST(PanelModeSets, SampleOfRegularSetsFieldByField) {
  const RegularCase cases[] = {
      {"ObjectOwnerTypePrivilegePanelModes",
       "N 0 \"Object\", C0 0 \"Owner\", C1 15 \"Type\", C2 0 \"Privilege\"",
       "N 0 \"Object\", C0 0 \"Owner\", C1 15 \"Type\", C2 0 \"Privilege\", C3 0 \"Grantor\","
       " C4 3 \"Adm\"",
       "C5", "0", 1, 0},
      {"ComponentTypeSizePanelModes", "N 0 \"Component\", C0 8 \"Type\", C1 10 \"Size\"",
       "N 11 \"Component\", C0 8 \"Type\", C1 10 \"Size\", C2 0 \"Description\"", "C2", "0", 1, 1},
      {"UserBlocksExtentsTablespacePanelModes",
       "N 0 \"User\", C0 6 \"Blocks\", C1 7 \"Extents\", C2 0 \"Tablespace\"",
       "N 15 \"User\", C0 6 \"Blocks\", C1 7 \"Extents\", C3 0 \"Text\"", "C3", "0", 1, 1},
      {"JobLastDateThisDateFailsPanelModes",
       "N 6 \"Job#\", C1 0 \"Last Date\", C2 0 \"This Date\", C3 5 \"Fails\"",
       "N 6 \"Job#\", C1 0 \"Last Date\", C2 0 \"This Date\", C3 5 \"Fails\"", "N", "0", 1, 1},
      {"PosNameLengthPanelModes", "NR 5 \"Pos\", C0 0 \"Name\", C1 6 \"Length\"",
       "NR 5 \"Pos\", C0 0 \"Name\", C1 6 \"Length\", NR 5 \"Pos\", C0 0 \"Name\", C1 6 \"Length\"",
       "C0", "0", 1, 1},
      {"GrantorGranteePrivilegeAdmPanelModes",
       "N 0 \"Grantor\", C0 0 \"Grantee\", C1 9 \"Privilege\", C2 3 \"Adm\"",
       "N 0 \"Grantor\", C0 0 \"Grantee\", C1 9 \"Privilege\", C2 3 \"Adm\"", "C1,C0", "10,0", 1,
       0},
      {"NameAdmPanelModes", "N 0 \"Name\", C0 3 \"Adm\"",
       "N 0 \"Name\", C0 3 \"Adm\", N 0 \"Name\", C0 3 \"Adm\"", "N,C0", "0,3", 1, 0},
      {"OperationOptionsObjectPanelModes",
       "N 3 \"#\", C0 0 \"Operation\", C1 7 \"Options\", C2 0 \"Object\"",
       "N 3 \"#\", C0 0 \"Operation\", C1 7 \"Options\", C2 0 \"Object\", C3 4 \"Pos\"", "C4", "0",
       0, 1},
      {"ParameterIDCountUsagePanelModes",
       "N 0 \"Parameter\", C0 4 \"ID#\", C1 8 \"Count\", C2 8 \"Usage\"",
       "N 0 \"Parameter\", C0 4 \"ID#\", C1 8 \"Count\", C2 8 \"Usage\", C3 8 \"Fixed\","
       " C4 8 \"Gets\", C5 8 \"Gets miss\", C6 8 \"Scans\", C7 8 \"Scans miss\", C8 8 \"Mdf\","
       " C9 8 \"Flushes\"",
       "N", "0", 1, 1},
      {"NStatusStartSpaceRecursPanelModes", "N 5 \"N#\", C0 0 \"Status\", C1 0 \"Start\"",
       "N 5 \"N#\", C0 10 \"Status\", C1 0 \"Start\", C2 5 \"Space\", C3 6 \"Recurs\","
       " C4 6 \"NoUndo\", C5 6 \"Log IO\", C6 6 \"Phy IO\", C7 6 \"Get\", C8 6 \"Change\"",
       "C0", "0", 1, 1},
      {"AlertNameChangedMessagePanelModes",
       "N 30 \"Alert name\", C0 7 \"Changed\", C1 0 \"Message\"",
       "N 30 \"Alert name\", C0 7 \"Changed\", C1 0 \"Message\"", "C1", "0", 1, 1},
      // Names no status columns: shows the item itself there.
      {"TextPanelModes", "N 0 \"Text\"", "N 0 \"Text\"", "N", "0", 1, 1},
  };
  for (const RegularCase& c : cases) {
    SCOPED_TRACE(c.name);
    const far::PanelMode* m = ModesOf(c.name);
    ASSERT_NE(m, nullptr);
    ASSERT_TRUE(HasRegularShape(m));
    EXPECT_EQ(Describe(m[0]), c.columns);
    EXPECT_EQ(Describe(m[4]), c.fullScreen);
    EXPECT_STREQ(m[0].StatusColumnTypes, c.statusTypes);
    EXPECT_STREQ(m[0].StatusColumnWidths, c.statusWidths);
    EXPECT_STREQ(m[4].StatusColumnTypes, c.statusTypes);
    EXPECT_EQ(m[0].AlignExtensions, c.alignExtensions);
    EXPECT_EQ(m[4].AlignExtensions, c.alignExtensions);
    EXPECT_EQ(m[0].CaseConversion, c.caseConversion);
    EXPECT_EQ(m[4].CaseConversion, c.caseConversion);
  }
}

TEST(PanelModeSets, SampleOfIrregularSetsFieldByField) {
  // An untitled narrow first column.
  const far::PanelMode* m = ModesOf("NameTypePrecPanelModes");
  ASSERT_NE(m, nullptr);
  const std::string prec =
      "N 2 \"\", C0 0 \"Name\", C1 14 \"Type\", C2 4 \"Prec\", C3 6 \"In Out\"";
  for (int i = 0; i < 10; ++i) {
    EXPECT_EQ(Describe(m[i]), prec) << i;
    EXPECT_STREQ(m[i].StatusColumnTypes, i == 7 ? "N" : "C0") << i;
  }

  m = ModesOf("AddrSQLSortsLoadsPanelModes");
  ASSERT_NE(m, nullptr);
  const std::string chld = "N 5 \"Addr\", C0 0 \"SQL\", C1 5 \"Chld#\", C2 15 \"User\"";
  for (int i : {2, 7, 8, 9}) EXPECT_EQ(Describe(m[i]), chld) << i;
  EXPECT_EQ(m[7].FullScreen, 1);
  EXPECT_EQ(m[8].FullScreen, 0);
  EXPECT_EQ(Describe(m[3]), "N 5 \"Addr\", C0 0 \"SQL\", C8 8 \"Execs\", C9 8 \"U# Open\"");
  EXPECT_EQ(Describe(m[4]),
            "N 5 \"Addr\", C0 0 \"SQL\", C3 8 \"SHAR mem\", C4 8 \"PERS mem\", C5 8 \"RUN mem\"");

  m = ModesOf("ParameterTypeValuePanelModes");
  ASSERT_NE(m, nullptr);
  EXPECT_EQ(Describe(m[1]), "N 0 \"Parameter\", N 0 \"Parameter\", N 0 \"Parameter\"");
  EXPECT_EQ(Describe(m[2]), "N 0 \"Parameter\", N 0 \"Parameter\"");
  EXPECT_EQ(Describe(m[4]), "N 0 \"Parameter\", C0 4 \"Type\"");
  EXPECT_EQ(Describe(m[6]), "N 0 \"Parameter\", C0 4 \"Type\", C1 0 \"Value\"");
  EXPECT_EQ(Describe(m[7]),
            "N 0 \"Name\", C0 4 \"Type\", C1 0 \"Value\", C2 4 \"Dflt\", C3 3 \"SES\","
            " C4 9 \"SYS\", C5 3 \"Mdf\", C6 3 \"Adj\"");
  EXPECT_EQ(m[7].AlignExtensions, 0);
  EXPECT_EQ(m[6].FullScreen, 0);

  m = ModesOf("ShortNameLongNamePanelModes");
  ASSERT_NE(m, nullptr);
  const char* shortStatus[10] = {"N", "C0", "N", "C0", "N", "C0", "N", "C0", "N", "C0"};
  for (int i = 0; i < 10; ++i) EXPECT_STREQ(m[i].StatusColumnTypes, shortStatus[i]) << i;
}

}  // namespace
