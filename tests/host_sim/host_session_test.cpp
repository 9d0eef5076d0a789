// host_session_test.cpp — loading, listing, navigation, keys and the
// GetFindData/FreeFindData pairing of the host stand-in.
#include "test_support.h"

namespace hostsim::test {
namespace {

using ::testing::ElementsAre;

TEST(HostLoad, MissingFileIsAClearError) {
  std::ostringstream out;
  Host host(&out);
  EXPECT_FALSE(host.Load("/nonexistent/dir/plugin.far-plug-mb"));
  EXPECT_FALSE(host.loaded());
  EXPECT_NE(out.str().find("error load \"/nonexistent/dir/plugin.far-plug-mb\": No such file"), std::string::npos)
      << out.str();
  // Without a module every command says so instead of crashing.
  EXPECT_FALSE(host.Open());
  EXPECT_NE(out.str().find("error open: no plugin loaded"), std::string::npos);
}

TEST(HostLoad, NotAModuleAndMissingExportsAreClearErrors) {
  std::ostringstream out;
  Host host(&out);
  EXPECT_FALSE(host.Load(HOSTSIM_CLI));  // an executable, not a loadable module
  EXPECT_NE(out.str().find("error load "), std::string::npos);
  EXPECT_FALSE(host.Load(HOSTSIM_INCOMPLETE));
  EXPECT_NE(out.str().find("missing export(s) OpenPlugin, ClosePlugin, GetFindData, FreeFindData, SetDirectory, "
                           "GetOpenPluginInfo, ProcessKey, ProcessEvent, Configure"),
            std::string::npos)
      << out.str();
  EXPECT_FALSE(host.loaded());
}

class SessionTest : public HostTest {};

TEST_F(SessionTest, StartupRecordHasFar2lValues) {
  Start();
  auto ev = Events();
  ASSERT_FALSE(ev.empty());
  std::string module = std::string("module=") + HOSTSIM_FIXTURE;
  EXPECT_EQ(ev[0], "startup size=4316 " + module + " rootkey=[] number=set dialogex=set fsf=524");
}

TEST_F(SessionTest, StartupRecordWithColorDialogSlotKeepsTheTailReachable) {
  HostOptions o;
  o.startupSize = 4324;
  StartOpen(o);
  EXPECT_NE(Events()[0].find("size=4324"), std::string::npos);
  // DialogEx and SendDlgMessage are found through the shifted slots.
  host().answers().Add(DialogAnswer{false, {{Choice{true, 2, ""}, "x"}}, std::nullopt});
  host().answers().Add(DialogAnswer{false, {{Choice{true, 2, ""}, "y"}}, std::nullopt});
  ASSERT_TRUE(host().PressKey("Ctrl+F7")) << out_.str();
  auto ev = Events();
  EXPECT_NE(std::find(ev.begin(), ev.end(), "dlgproc close 6 user=x"), ev.end());
  EXPECT_NE(std::find(ev.begin(), ev.end(), "dlgproc close 6 user=y"), ev.end());
  EXPECT_TRUE(HasLine("dialog-close-refused 6"));
  EXPECT_TRUE(HasLine("dialog-result 6 \"&OK\""));
}

TEST_F(SessionTest, PluginInfoPrintsMenusAndCounts) {
  Start();
  ASSERT_TRUE(host().ShowPluginInfo());
  EXPECT_TRUE(HasLine("plugin size=64 flags=0x0 disk=1 menu=1 config=1 prefix=\"fx\" sysid=0x0"));
  EXPECT_TRUE(HasLine("plugin-disk 0 \"Fixture disk\" number=5"));
  EXPECT_TRUE(HasLine("plugin-menu 0 \"Fixture\""));
  EXPECT_TRUE(HasLine("plugin-config 0 \"Fixture config\""));
}

TEST_F(SessionTest, ListingIsSortedDirectoriesFirstWithDotsOnTop) {
  StartOpen();
  EXPECT_THAT(ItemNames(), ElementsAre("..", "alpha", "Beta", "Gamma", "b.txt", "zeta.txt"));
  std::size_t from = Mark();
  ASSERT_TRUE(host().List());
  auto items = WithPrefix("item ", from);
  ASSERT_EQ(items.size(), 6u);
  EXPECT_EQ(items[0].substr(0, 20), "item 0 \"..\" dir curr");
  EXPECT_EQ(items[4],
            "item 4 \"b.txt\" file size=3 attr=0x0 written=2024-05-01T12:00:00Z created=- accessed=- links=0 "
            "descr=\"bee\" owner=\"scott\" c0=\"one\" c1=\"two\"");
  // The panel mode the plugin starts in, with its column titles.
  EXPECT_TRUE(HasLine("panel-columns mode=3 types=\"N,C0,C1\" widths=\"0,8,8\" titles=[\"Name\",\"First\",\"Second\"]", from));
}

TEST_F(SessionTest, PluginOwnDotsEntryIsNotDoubled) {
  StartOpen();
  ASSERT_TRUE(host().ChangeDirectory("Beta"));
  EXPECT_THAT(ItemNames(), ElementsAre("..", "b1.txt"));
}

TEST_F(SessionTest, EnterGoesDownAndUpWithCursorOnTheDirectoryLeft) {
  StartOpen();
  ASSERT_TRUE(host().MoveCursor("alpha"));
  ASSERT_TRUE(host().PressKey("Enter"));
  EXPECT_EQ(host().snapshot().curDir.value_or("?"), "/alpha");
  EXPECT_EQ(host().panel().current(), 0);
  ASSERT_TRUE(host().MoveCursor("inner"));
  ASSERT_TRUE(host().PressKey("Enter"));
  EXPECT_EQ(host().snapshot().curDir.value_or("?"), "/alpha/inner");
  ASSERT_TRUE(host().MoveCursorTo(0));  // ".."
  ASSERT_TRUE(host().PressKey("Enter"));
  EXPECT_EQ(host().snapshot().curDir.value_or("?"), "/alpha");
  EXPECT_EQ(CurrentName(), "inner");
  ASSERT_TRUE(host().ChangeDirectory(".."));
  EXPECT_EQ(CurrentName(), "alpha");
  // The plugin saw ".." itself, not a path of the host's making.
  auto ev = Events();
  EXPECT_EQ(CountEvents("setdir .."), 2);
  EXPECT_EQ(CountEvents("setdir alpha"), 1);
}

TEST_F(SessionTest, EnterOnDotsAtTheRootClosesThePanel) {
  StartOpen();
  ASSERT_TRUE(host().PressKey("Enter"));  // cursor starts on ".."
  EXPECT_FALSE(host().panelOpen());
  EXPECT_EQ(Events().back(), "close");
  EXPECT_EQ(CountEvents("setdir"), 0);
}

TEST_F(SessionTest, FeCloseCanRefuseClosing) {
  StartOpen();
  ASSERT_TRUE(host().PressKey("Ctrl+F8"));  // the fixture now refuses FE_CLOSE
  ASSERT_TRUE(host().Close());
  EXPECT_TRUE(host().panelOpen());
  EXPECT_TRUE(HasLine("close -> refused"));
  ASSERT_TRUE(host().PressKey("Ctrl+F8"));
  ASSERT_TRUE(host().Close());
  EXPECT_FALSE(host().panelOpen());
}

TEST_F(SessionTest, EnterTakenByThePluginDoesNotChangeDirectory) {
  StartOpen();
  ASSERT_TRUE(host().MoveCursor("Gamma"));
  ASSERT_TRUE(host().PressKey("Enter"));
  EXPECT_EQ(CountEvents("setdir"), 0);
  EXPECT_TRUE(HasLine("message-line \"Gamma is private\""));
  EXPECT_EQ(host().snapshot().curDir.value_or("?"), "");
}

TEST_F(SessionTest, RefusedDirectoryKeepsThePanel) {
  StartOpen();
  ASSERT_TRUE(host().ChangeDirectory("nowhere"));
  EXPECT_TRUE(HasLine("cd \"nowhere\" -> refused"));
  EXPECT_EQ(ItemNames().size(), 6u);
}

TEST_F(SessionTest, FailedListingClosesThePanelOnlyAfterThePluginCallReturns) {
  StartOpen();
  ASSERT_TRUE(host().ChangeDirectory("alpha"));
  ASSERT_TRUE(host().PressKey("Alt+F5"));
  EXPECT_FALSE(host().panelOpen());
  auto ev = Events();
  ASSERT_GE(ev.size(), 2u);
  EXPECT_EQ(ev[ev.size() - 2], "after update /alpha");  // the panel object was still alive
  EXPECT_EQ(ev.back(), "close");
  EXPECT_TRUE(HasLine("warning GetFindData failed; the host closes the panel"));
}

TEST_F(SessionTest, EveryKeyIsOfferedTwiceFirstWithThePreprocessFlag) {
  StartOpen();
  host().PressKey("Shift+F9");  // taken by nobody
  auto ev = Events();
  ASSERT_GE(ev.size(), 2u);
  EXPECT_EQ(ev[ev.size() - 2], "key 0x80078 0x4");
  EXPECT_EQ(ev[ev.size() - 1], "key 0x78 0x4");
  EXPECT_TRUE(HasLine("key Shift+F9 vk=0x78 state=0x4 -> unhandled"));
}

TEST_F(SessionTest, KeyTakenInPreprocessIsNotOfferedAgain) {
  StartOpen();
  ASSERT_TRUE(host().PressKey("F6"));
  EXPECT_EQ(Events().back(), "key 0x80075 0x0");
  EXPECT_EQ(CountEvents("F6 plain"), 0);
  EXPECT_TRUE(HasLine("key F6 vk=0x75 state=0x0 -> plugin (preprocess)"));
}

TEST_F(SessionTest, PlainKeyOptionOffersEachKeyOnce) {
  HostOptions o;
  o.preprocessKeys = false;
  StartOpen(o);
  ASSERT_TRUE(host().PressKey("F6"));
  EXPECT_EQ(CountEvents("key 0x8"), 0);
  EXPECT_EQ(CountEvents("F6 plain"), 1);
}

TEST_F(SessionTest, ControlDigitsChangeTheViewModeAndTellThePlugin) {
  StartOpen();
  EXPECT_EQ(host().viewMode(), 3);  // StartPanelMode, honoured with a mode array
  ASSERT_TRUE(host().PressKey("Ctrl+0"));
  EXPECT_EQ(host().viewMode(), 0);
  ASSERT_TRUE(host().PressKey("Ctrl+3"));
  EXPECT_EQ(host().viewMode(), 3);
  EXPECT_EQ(Events().back(), "event 0 N,C0,C1");
}

TEST_F(SessionTest, FindDataArraysAreAlwaysFreedExactlyAsGiven) {
  StartOpen();
  host().ChangeDirectory("alpha");
  host().ChangeDirectory("inner");
  host().ChangeDirectory("..");
  host().PressKey("F5");      // UPDATEPANEL from inside ProcessKey
  host().PressKey("Ctrl+R");  // the host's own re-read
  host().Configure(0);
  host().Close();
  int reads = CountEvents("getfind ");
  EXPECT_GE(reads, 5);
  EXPECT_EQ(CountEvents("free ok "), reads);
  EXPECT_EQ(CountEvents("free MISMATCH"), 0);
}

TEST_F(SessionTest, UpdateKeepsSelectionAndCursorItem) {
  StartOpen();
  ASSERT_TRUE(host().Select({"b.txt"}, true));
  ASSERT_TRUE(host().MoveCursor("zeta.txt"));
  ASSERT_TRUE(host().PressKey("F5"));  // adds new.txt, updates keeping the selection, redraws to 0
  EXPECT_THAT(ItemNames(), ElementsAre("..", "alpha", "Beta", "Gamma", "b.txt", "new.txt", "zeta.txt"));
  EXPECT_EQ(host().panel().SelectedCount(), 1);
  EXPECT_TRUE(host().panel().items()[4].selected);
  EXPECT_TRUE(HasLine("panel-update keep-selection=1"));
  EXPECT_TRUE(HasLine("panel-redraw current=0 \"..\""));
}

TEST_F(SessionTest, InsAndCursorKeysAreTheHostsWhenThePluginDeclines) {
  StartOpen();
  ASSERT_TRUE(host().PressKey("End"));
  EXPECT_EQ(CurrentName(), "zeta.txt");
  ASSERT_TRUE(host().PressKey("Home"));
  ASSERT_TRUE(host().PressKey("Ins"));  // ".." cannot be selected
  EXPECT_EQ(host().panel().SelectedCount(), 0);
  EXPECT_EQ(CurrentName(), "alpha");
  ASSERT_TRUE(host().PressKey("Ins"));
  EXPECT_EQ(host().panel().SelectedCount(), 1);
  EXPECT_EQ(CurrentName(), "Beta");
}

TEST_F(SessionTest, InfoPrintsTitleLinesModesAndKeyBar) {
  StartOpen();
  host().ChangeDirectory("alpha");
  std::size_t from = Mark();
  ASSERT_TRUE(host().Info());
  EXPECT_TRUE(HasLine("title \" Fixture /alpha \"", from));
  EXPECT_TRUE(HasLine("curdir \"/alpha\"", from));
  EXPECT_TRUE(HasLine("info 0 \"Directory\" \"/alpha\"", from));
  EXPECT_TRUE(HasLine("info 1 separator \"Counts\"", from));
  EXPECT_TRUE(HasLine("info 2 \"Items\" \"2\"", from));
  EXPECT_TRUE(HasLine("panel-modes count=10 start=3 sort-mode=0 sort-order=0 current=3", from));
  EXPECT_TRUE(HasLine("panel-mode 3 types=\"N,C0,C1\" widths=\"0,8,8\" titles=[\"Name\",\"First\",\"Second\"] "
                      "fullscreen=0 detailed=0 status-types=- status-widths=-",
                      from));
  // Rows in the host's order; an empty label blanks a key, a NULL one is left out.
  EXPECT_THAT(WithPrefix("keybar ", from), ElementsAre("keybar F3 \"View\"", "keybar Alt+F6 \"\"",
                                                       "keybar Shift+F4 \"Create\"", "keybar Ctrl+Alt+F1 \"Deep\""));
}

TEST_F(SessionTest, OpenFromTheCommandLinePassesTheTextAndAcceptsRefusal) {
  Start();
  ASSERT_TRUE(host().Open(far::OPEN_COMMANDLINE, 0, "fail"));
  EXPECT_FALSE(host().panelOpen());
  EXPECT_TRUE(HasLine("open from=4 item=\"fail\" -> invalid"));
  ASSERT_TRUE(host().Open(far::OPEN_COMMANDLINE, 0, "scott@demo"));
  EXPECT_TRUE(host().panelOpen());
  EXPECT_EQ(CountEvents("open cmdline scott@demo"), 1);
}

TEST_F(SessionTest, ClosePluginFromInsideACallClosesAfterItReturns) {
  StartOpen();
  ASSERT_TRUE(host().PressKey("Shift+F8"));
  EXPECT_FALSE(host().panelOpen());
  auto ev = Events();
  // The plugin's ProcessKey returned before ClosePlugin was called.
  ASSERT_GE(ev.size(), 2u);
  EXPECT_EQ(ev[ev.size() - 2], "key 0x77 0x4");
  EXPECT_EQ(ev.back(), "close");
  EXPECT_FALSE(host().PressKey("F3"));
}

}  // namespace
}  // namespace hostsim::test
