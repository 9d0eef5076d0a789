// Message boxes, progress notes and the dialog helper against a fake host.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

#include "fake_host.h"
#include "host/messages.h"
#include "host/text_utils.h"
#include "platform/platform.h"

namespace {

using Lines = std::vector<std::string>;

TEST(WrapLines, BreaksAtBlanksAndHyphensButNotInsideQuotes) {
  EXPECT_EQ(host::WrapLines("alpha beta gamma", 11), (Lines{"alpha beta ", "gamma"}));
  EXPECT_EQ(host::WrapLines("well-known", 6), (Lines{"well-", "known"}));
  // The quoted name is longer than the width and stays in one piece.
  Lines l = host::WrapLines("ORA-00942: \"SCOTT\".\"A VERY LONG NAME\" missing", 20);
  bool whole = false;
  for (const auto& s : l) whole = whole || s.find("\"A VERY LONG NAME\"") != std::string::npos;
  EXPECT_TRUE(whole);
  EXPECT_EQ(host::WrapLines("one\r\ntwo", 50), (Lines{"one", "two"}));
  EXPECT_EQ(host::WrapLines("\rword", 40), (Lines{"", "word"}));
  EXPECT_EQ(host::WrapLines("unbreakableword", 5), (Lines{"unbreakableword"}));
}

TEST(TextHelpers, StripTrimAndLineBreaks) {
  EXPECT_EQ(host::StripExtensionUpper("emp.table"), "EMP");
  EXPECT_EQ(host::StripExtensionUpper("a.b.c"), "A.B");
  EXPECT_EQ(host::StripExtensionUpper("emp"), "EMP");
  EXPECT_EQ(host::TrimTrailingLineBreak("x\r\n"), "x");
  EXPECT_EQ(host::TrimTrailingLineBreak("x\r"), "x");
  EXPECT_EQ(host::TrimTrailingLineBreak("x\n\n"), "x\n");
}

TEST(Messages, ErrorBoxKeepsElevenLines) {
  fakehost::Install();
  std::string text;
  for (int i = 0; i < 30; ++i) text += "line " + std::to_string(i) + "\n";
  host::ShowErrorMessage(text);
  const auto& m = fakehost::Current().messages.at(0);
  ASSERT_EQ(m.items.size(), 1u + 11u + 2u);
  EXPECT_EQ(m.items.front(), "Error");
  EXPECT_EQ(m.items[1], "line 0");
  EXPECT_EQ(m.items[11], "line 10");
  EXPECT_EQ(m.items[12], "");
  EXPECT_EQ(m.items.back(), "[ Cancel ]");
  EXPECT_EQ(m.flags, 1u);  // a warning; no system error to add
  EXPECT_EQ(m.buttons, 1);
}

TEST(Messages, QuestionStartsWithAnEmptyLine) {
  fakehost::Install();
  fakehost::Current().messageAnswers.push_back(1);
  EXPECT_EQ(host::ShowQuestionMessage("Confirmation", "Sure", {"Ok", "Cancel"}), 1);
  const auto& m = fakehost::Current().messages.at(0);
  EXPECT_EQ(m.items, (Lines{"Confirmation", "", "Sure", "", "Ok", "Cancel"}));
  EXPECT_EQ(m.buttons, 2);
  EXPECT_LT(host::ShowQuestionMessage("Q", "Esc?", {"Ok"}), 0);  // unanswered: cancelled
}

// A box asks the host to add the last system error only when Quarry's own
// failing call set one: far2l would otherwise show a value some earlier,
// unrelated call left behind, or "Success (0)".
TEST(Messages, OnlyAnErrorOfTheBoxItselfReachesTheHost) {
  fakehost::Install();
  platform::SetLastSystemError(ENOENT);
  host::ShowQuestionMessage("Confirmation", "Do you wish to disconnect from Oracle", {"Ok", "Cancel"});
  platform::SetLastSystemError(EINVAL);
  host::ShowErrorMessage("ORA-00942: table or view does not exist");
  host::ShowErrorMessage("Can't create file [x]", EACCES);
  const auto& m = fakehost::Current().messages;
  ASSERT_EQ(m.size(), 3u);
  EXPECT_EQ(m[0].flags & far::FMSG_ERRORTYPE, 0u);
  EXPECT_EQ(m[1].flags & far::FMSG_ERRORTYPE, 0u);
  EXPECT_NE(m[2].flags & far::FMSG_ERRORTYPE, 0u);
  EXPECT_EQ(m[2].systemError, EACCES);
}

TEST(Messages, ProgressNoteSavesAndRestoresTheScreen) {
  fakehost::Install();
  far::HANDLE saved = host::ShowProgressMessage("Loading data ...");
  const auto& m = fakehost::Current().messages.at(0);
  EXPECT_EQ(m.items, (Lines{"", "Loading data ..."}));
  EXPECT_EQ(m.flags, 1u);
  EXPECT_EQ(m.buttons, 0);
  host::RestoreProgress(saved);
  host::RestoreProgress(far::InvalidHandle());  // nothing saved: nothing restored
  EXPECT_EQ(fakehost::Current().saves, 1);
  EXPECT_EQ(fakehost::Current().restores, 1);
}

std::vector<host::DialogItemSpec> SampleDialog(bool* check, std::string* text) {
  return {
      {far::DI_DOUBLEBOX, 3, 1, 40, false, {}, 0, std::string("Title")},
      {far::DI_CHECKBOX, 5, 3, 0, true, check, 0, std::string("Check")},
      {far::DI_EDIT, 5, 4, 30, false, std::string("SomeHistory"), far::DIF_HISTORY, text},
      {far::DI_TEXT, 5, 5, 0, false, {}, 0, 17},
      {far::DI_BUTTON, 0, 7, 0, false, {}, far::DIF_CENTERGROUP, std::string("OK")},
      {far::DI_BUTTON, 0, 7, 0, false, {}, far::DIF_CENTERGROUP, std::string("Cancel")},
  };
}

TEST(RunDialog, BuildsItemsAndWritesBackOnlyWhenConfirmed) {
  fakehost::Install();
  bool check = false;
  std::string text = "before";
  auto items = SampleDialog(&check, &text);
  fakehost::Current().dialogAnswers.push_back([](std::vector<far::FarDialogItem>& it) {
    it[1].Param.Selected = 1;
    std::strcpy(it[2].Data.Data, "after");
    return 4;
  });
  EXPECT_EQ(host::RunDialog("Topic", items), 4);
  const auto& d = fakehost::Current().dialogs.at(0);
  EXPECT_EQ(d.width, 44);
  EXPECT_EQ(d.height, 10);
  EXPECT_EQ(d.items[0].Y1, 1);
  EXPECT_EQ(d.items[0].Y2, 8);
  EXPECT_EQ(d.items[4].DefaultButton, 1);
  EXPECT_EQ(d.items[5].DefaultButton, 0);
  EXPECT_EQ(d.histories[2], "SomeHistory");
  EXPECT_STREQ(d.items[2].Data.Data, "before");
  EXPECT_STREQ(d.items[3].Data.Data, "message 17");
  EXPECT_TRUE(check);
  EXPECT_EQ(text, "after");

  // Esc leaves the caller's variables as they were.
  fakehost::Current().dialogAnswers.push_back([](std::vector<far::FarDialogItem>& it) {
    it[1].Param.Selected = 0;
    std::strcpy(it[2].Data.Data, "changed");
    return -1;
  });
  auto again = SampleDialog(&check, &text);
  EXPECT_EQ(host::RunDialog(nullptr, again), -1);
  EXPECT_TRUE(check);
  EXPECT_EQ(text, "after");
}

}  // namespace
