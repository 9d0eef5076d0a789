// host_services_test.cpp — the services the plugin calls: messages, dialogs,
// menus and input boxes answered from the queue, the editor and viewer,
// Control, screens and the command line.
#include <fstream>

#include "test_support.h"

namespace hostsim::test {
namespace {

using ::testing::ElementsAre;

Choice Label(const std::string& s) { return Choice{false, -1, s}; }
Choice Index(int i) { return Choice{true, i, ""}; }

class ServicesTest : public HostTest {
 protected:
  void SetUp() override { StartOpen(); }
};

TEST_F(ServicesTest, UnansweredMessageIsCancelledLikeEsc) {
  ASSERT_TRUE(host().PressKey("F8"));
  EXPECT_EQ(CountEvents("delete answer -1"), 1);
  EXPECT_TRUE(HasLine("message-result -1 esc (no answer queued)"));
  EXPECT_THAT(WithPrefix("message"), testing::IsSupersetOf({std::string("message flags=0x1 help=\"Delete\" title=\"Delete\""),
                                                             std::string("message-line \"Delete it?\""),
                                                             std::string("message-button 0 \"&Yes\""),
                                                             std::string("message-button 1 \"&No\"")}));
}

TEST_F(ServicesTest, MessageButtonsByLabelIndexOrEsc) {
  host().answers().Add(MessageAnswer{false, Label("Yes")});  // '&' is ignored
  host().answers().Add(MessageAnswer{false, Index(1)});
  host().answers().Add(MessageAnswer{true, {}});
  host().PressKey("F8");
  host().PressKey("F8");
  host().PressKey("F8");
  EXPECT_EQ(CountEvents("delete answer 0"), 1);
  EXPECT_EQ(CountEvents("delete answer 1"), 1);
  EXPECT_EQ(CountEvents("delete answer -1"), 1);
  // A note without buttons does not take an answer.
  EXPECT_TRUE(HasLine("message-result -1 shown"));
  EXPECT_TRUE(host().answers().Pending().empty());
}

TEST_F(ServicesTest, UnknownButtonFailsTheCommand) {
  host().answers().Add(MessageAnswer{false, Label("Maybe")});
  EXPECT_FALSE(host().PressKey("F8"));
  EXPECT_TRUE(HasLine("error answer message: no button \"Maybe\""));
  EXPECT_EQ(CountEvents("delete answer -1"), 1);
}

TEST_F(ServicesTest, DialogFieldsByLabelAndIndexWithCheckBoxAndButton) {
  DialogAnswer a;
  a.fields = {{Label("User name"), "scott"}, {Index(4), "tiger"}, {Label("Save password"), "on"}};
  host().answers().Add(a);
  ASSERT_TRUE(host().PressKey("F7")) << out_.str();
  EXPECT_TRUE(HasLine("dialog-item 2 EDIT \"\" history=\"user.hist\" focus flags=0x40000"));
  EXPECT_TRUE(HasLine("dialog-set 5 checked=1"));
  EXPECT_TRUE(HasLine("dialog-result 6 \"&OK\""));  // the default button
  EXPECT_TRUE(HasLine("message-line \"exit 6 user=scott pass=tiger save=1\""));

  DialogAnswer cancel;
  cancel.fields = {{Index(2), "ignored"}};
  cancel.button = Label("Cancel");
  host().answers().Add(cancel);
  ASSERT_TRUE(host().PressKey("F7"));
  EXPECT_TRUE(HasLine("message-line \"exit 7 user=ignored pass= save=0\""));
}

TEST_F(ServicesTest, UnansweredDialogReturnsMinusOneAndLeavesFields) {
  ASSERT_TRUE(host().PressKey("F7"));
  EXPECT_TRUE(HasLine("dialog-result -1 esc (no answer queued)"));
  EXPECT_TRUE(HasLine("message-line \"exit -1 user= pass= save=0\""));
}

TEST_F(ServicesTest, DialogAnswerNamingNoFieldFails) {
  DialogAnswer a;
  a.fields = {{Label("Schema"), "x"}};
  host().answers().Add(a);
  EXPECT_FALSE(host().PressKey("F7"));
  EXPECT_TRUE(HasLine("error answer dialog: no field \"Schema\""));
  DialogAnswer b;
  b.fields = {{Index(6), "x"}};  // a button takes no value
  host().answers().Add(b);
  EXPECT_FALSE(host().PressKey("F7"));
}

TEST_F(ServicesTest, MenuByLabelByBreakKeyAndEsc) {
  host().answers().Add(MenuAnswer{false, Label("Third"), ""});
  host().answers().Add(MenuAnswer{false, {}, "Shift+Del"});  // on the pre-selected entry
  host().answers().Add(MenuAnswer{true, {}, ""});
  host().PressKey("F2");
  host().PressKey("F2");
  host().PressKey("F2");
  EXPECT_TRUE(HasLine("menu-item 1 \"&Second\" selected"));
  EXPECT_TRUE(HasLine("menu-item 2 \"\" separator"));
  EXPECT_TRUE(HasLine("message-line \"chose 3 break -1\""));
  EXPECT_TRUE(HasLine("message-line \"chose 1 break 1\""));
  EXPECT_TRUE(HasLine("message-line \"chose -1 break -1\""));
  host().answers().Add(MenuAnswer{false, Index(2), ""});  // a separator cannot be chosen
  EXPECT_FALSE(host().PressKey("F2"));
  host().answers().Add(MenuAnswer{false, Index(0), "F9"});  // not one of its break keys
  EXPECT_FALSE(host().PressKey("F2"));
}

TEST_F(ServicesTest, InputBoxAnswerAndCancel) {
  host().answers().Add(InputAnswer{false, "bob"});
  host().PressKey("Shift+F4");
  host().PressKey("Shift+F4");
  EXPECT_TRUE(HasLine("input title=\"Create\" prompt=\"Name:\" history=\"fixture.hist\" text=\"default\" size=64 help=- flags=0x0"));
  EXPECT_TRUE(HasLine("message-line \"got bob\""));
  EXPECT_TRUE(HasLine("message-line \"cancelled\""));
  // Longer answers are cut to the buffer length the plugin gave.
  host().answers().Add(InputAnswer{false, std::string(100, 'x')});
  host().PressKey("Shift+F4");
  EXPECT_TRUE(HasLine("message-line \"got " + std::string(64, 'x') + "\""));
  // Empty text is refused unless the plugin allows it.
  host().answers().Add(InputAnswer{false, ""});
  EXPECT_FALSE(host().PressKey("Shift+F4"));
}

TEST_F(ServicesTest, EditorSavesNewContentOrKeepsTheFile) {
  host().answers().Add(EditorAnswer{true, "new text\nsecond\n"});
  ASSERT_TRUE(host().PressKey("F4"));
  auto editor = WithPrefix("editor");
  ASSERT_EQ(editor.size(), 3u);
  EXPECT_EQ(editor[0].rfind("editor title=\"Edit it\" x1=0 y1=0 x2=-1 y2=-1 flags=0x0 line=2 col=1 file=\"/tmp/", 0), 0u)
      << editor[0];
  EXPECT_EQ(editor[1], "editor-text \"old text\"");
  EXPECT_EQ(editor[2], "editor-result saved bytes=16");
  EXPECT_TRUE(HasLine("message-line \"result 1\""));            // EEC_MODIFIED
  EXPECT_TRUE(HasLine("message-line \"new text\\nsecond\\n\""));  // what the plugin read back
  std::size_t from = Mark();
  ASSERT_TRUE(host().PressKey("F4"));
  EXPECT_TRUE(HasLine("editor-result kept (no answer queued)", from));
  EXPECT_TRUE(HasLine("message-line \"result 2\"", from));  // EEC_NOT_MODIFIED
  EXPECT_TRUE(HasLine("message-line \"old text\\n\"", from));
}

TEST_F(ServicesTest, ViewerRecordsTheTextAndDeletesOnClose) {
  ASSERT_TRUE(host().PressKey("F3"));
  EXPECT_THAT(WithPrefix("viewer-"), ElementsAre("viewer-text \"hello\"", "viewer-text \"world\"", "viewer-result shown bytes=12"));
  EXPECT_EQ(CountEvents("viewer file deleted"), 1);  // VF_DELETEONCLOSE
}

TEST_F(ServicesTest, PanelInfoHasItemsCurrentItemAndSelection) {
  ASSERT_TRUE(host().Select({"b.txt", "zeta.txt"}, true));
  ASSERT_TRUE(host().MoveCursor("Gamma"));
  ASSERT_TRUE(host().PressKey("Ctrl+Z"));
  EXPECT_TRUE(HasLine("message-line \"current 3 Gamma\""));
  EXPECT_TRUE(HasLine("message-line \"selected 2 b.txt zeta.txt\""));
  EXPECT_TRUE(HasLine("message-line \"flagged b.txt zeta.txt\""));
  EXPECT_TRUE(HasLine("message-line \"items 6\""));
  EXPECT_TRUE(HasLine("message-line \"mode 3 N,C0,C1\""));
  EXPECT_TRUE(HasLine("message-line \"columns b.txt:two\""));
  // Nothing selected: the item under the cursor stands in.
  ASSERT_TRUE(host().SelectAll(false));
  ASSERT_TRUE(host().PressKey("Ctrl+Z"));
  EXPECT_TRUE(HasLine("message-line \"selected 1 Gamma\""));
  ASSERT_TRUE(host().MoveCursorTo(0));
  ASSERT_TRUE(host().PressKey("Ctrl+Z"));
  EXPECT_TRUE(HasLine("message-line \"selected 0\""));  // ".." is never selected
}

TEST_F(ServicesTest, RedrawWithPanelRedrawInfoMovesTheCursor) {
  ASSERT_TRUE(host().PressKey("Ctrl+F10"));
  EXPECT_EQ(CurrentName(), "Gamma");
  EXPECT_TRUE(HasLine("panel-redraw current=3 \"Gamma\""));
}

TEST_F(ServicesTest, CommandLineGetSetInsert) {
  ASSERT_TRUE(host().Type("hello"));
  ASSERT_TRUE(host().PressKey("Ctrl+G"));
  EXPECT_TRUE(HasLine("message-line \"was hello\""));
  EXPECT_EQ(host().commandLine(), "replaced more");
}

TEST_F(ServicesTest, CommandLineEnterGoesToFeCommandNotToProcessKey) {
  ASSERT_TRUE(host().Type("fx select * from dual"));
  ASSERT_TRUE(host().PressKey("Enter"));
  EXPECT_EQ(CountEvents("key 0xd"), 0);
  EXPECT_EQ(CountEvents("key 0x8000d"), 0);
  EXPECT_EQ(CountEvents("event 5 fx select * from dual"), 1);
  // The plugin read the line during the event and cleared it itself.
  EXPECT_TRUE(HasLine("message-line \"line fx select * from dual\""));
  EXPECT_EQ(host().commandLine(), "");
  ASSERT_TRUE(host().RunCommandLine("ls -l"));
  EXPECT_TRUE(HasLine("cmdline-result shell now=\"\""));
}

TEST_F(ServicesTest, PlainLettersAreTypedNotSentToTheplugin) {
  ASSERT_TRUE(host().PressKey("a"));
  ASSERT_TRUE(host().PressKey("Shift+B"));  // arrives as 'B' without Shift
  EXPECT_EQ(host().commandLine(), "a");
  EXPECT_EQ(Events().back(), "key 0x42 0x0");
}

TEST_F(ServicesTest, OtherPanelIsARealDirectory) {
  char dir[] = "/tmp/hostsim-other-XXXXXX";
  ASSERT_NE(mkdtemp(dir), nullptr);
  std::ofstream(std::string(dir) + "/two.txt") << "22";
  std::ofstream(std::string(dir) + "/One.txt") << "1";
  ASSERT_TRUE(host().SetOtherDirectory(dir));
  ASSERT_TRUE(host().PressKey("Alt+F3"));
  EXPECT_TRUE(HasLine(std::string("message-line \"dir ") + dir + "\""));
  EXPECT_TRUE(HasLine("message-line \"items 3\""));  // "..", One.txt, two.txt
  EXPECT_TRUE(HasLine("message-line \"plugin 0\""));
  ASSERT_TRUE(host().ShowFile("two.txt"));
  EXPECT_TRUE(HasLine(std::string("file \"") + dir + "/two.txt\" bytes=2"));
  EXPECT_TRUE(HasLine("file-text \"22\""));
  EXPECT_FALSE(host().ShowFile("three.txt"));
  ASSERT_TRUE(host().PressKey("F9"));  // FCTL_SETANOTHERPANELDIR "/"
  EXPECT_EQ(host().otherPanel().directory(), "/");
  std::remove((std::string(dir) + "/two.txt").c_str());
  std::remove((std::string(dir) + "/One.txt").c_str());
  rmdir(dir);
}

TEST_F(ServicesTest, ScreensTextHelpVersionAndMessagesByNumber) {
  ASSERT_TRUE(host().PressKey("Shift+F3"));
  EXPECT_THAT(Since(0), testing::IsSupersetOf({std::string("save-screen 0 0 -1 -1 -> 1"),
                                               std::string("text x=1 y=2 color=0x1f \"progress\""),
                                               std::string("text-flush"), std::string("restore-screen 1")}));
  ASSERT_TRUE(host().PressKey("F1"));
  EXPECT_TRUE(HasLine(std::string("help file=\"") + HOSTSIM_FIXTURE + "\" topic=\"Contents\" flags=0x40000002"));
  ASSERT_TRUE(host().PressKey("F10"));
  EXPECT_TRUE(HasLine("message-line \"0x00020006\""));
  EXPECT_TRUE(HasLine("message-line \"<msg 5>\""));
}

TEST_F(ServicesTest, LanguageFileAnswersGetMsg) {
  std::string path = "/tmp/hostsim-lang-" + std::to_string(getpid()) + ".lng";
  std::ofstream(path) << ".Language=English,English\n\"m0\"\n\"m1\"\n\"m2\"\n\"m3\"\n\"m4\"\n\"Fifth message\"\n";
  ASSERT_TRUE(host().LoadLanguage(path));
  ASSERT_TRUE(host().PressKey("F10"));
  EXPECT_TRUE(HasLine("message-line \"Fifth message\""));
  std::remove(path.c_str());
}

TEST_F(ServicesTest, ConfigureDialogAndPanelReread) {
  DialogAnswer a;
  a.fields = {{Label("Add to disk menu"), "0"}, {Label("Disk number"), "7"}};
  host().answers().Add(a);
  ASSERT_TRUE(host().Configure(0));
  EXPECT_TRUE(HasLine("configure 0 -> 1"));
  EXPECT_EQ(CountEvents("configure 0 exit 4 disk=0 number=7"), 1);
  ASSERT_TRUE(host().Configure(0));
  EXPECT_TRUE(HasLine("configure 0 -> 0"));
}

}  // namespace
}  // namespace hostsim::test
