// The key bar and the panel-mode sets as the host reads them.
#include <gtest/gtest.h>

#include <string>

#include "panel/key_bar.h"
#include "panel/panel_modes.h"

namespace {

TEST(KeyBar, LabelsAndHostDefaults) {
  const far::KeyBarTitles& bar = panel::PluginKeyBar();
  EXPECT_STREQ(bar.Titles[0], "Help");
  EXPECT_STREQ(bar.Titles[7], "Drop");
  EXPECT_EQ(bar.Titles[9], nullptr);  // plain F10 stays the host's own
  EXPECT_STREQ(bar.CtrlTitles[9], "Disconnect");
  EXPECT_STREQ(bar.AltTitles[9], "Connect");
  EXPECT_STREQ(bar.AltTitles[3], "O Edit");
  EXPECT_STREQ(bar.ShiftTitles[4], "CopyData");
  EXPECT_STREQ(bar.ShiftTitles[9], "");
  for (int i = 0; i < 12; ++i) {
    EXPECT_EQ(bar.CtrlShiftTitles[i], nullptr);  // rows beyond the four are not set
    if (i != 9) {
      EXPECT_NE(bar.Titles[i], nullptr);
    }
  }
}

TEST(PanelModes, DefaultSetShowsNamesOnly) {
  const far::PanelMode* m = panel::DefaultPanelModes().Modes();
  EXPECT_STREQ(m[0].ColumnTypes, "N,N");
  EXPECT_STREQ(m[0].ColumnWidths, "0,0");
  EXPECT_STREQ(m[0].ColumnTitles[0], "Object");
  EXPECT_STREQ(m[1].ColumnTypes, "N");
  EXPECT_EQ(m[2].CaseConversion, 0);
  EXPECT_EQ(m[0].CaseConversion, 1);
  EXPECT_STREQ(m[3].ColumnTypes, "N,N,N");
  for (int i = 4; i <= 7; ++i) EXPECT_EQ(m[i].FullScreen, 1) << i;
  EXPECT_STREQ(m[7].ColumnTypes, "N,N,N");
  EXPECT_STREQ(m[9].ColumnTypes, "N,N");
  for (int i = 0; i < 10; ++i) {
    EXPECT_STREQ(m[i].StatusColumnTypes, "C0");
    EXPECT_EQ(m[i].DetailedStatus, 0);
  }
  EXPECT_EQ(panel::FindPanelModeSet("NoSuchPanelModes"), nullptr);
}

}  // namespace
