// Dialog histories (registry and far2l's history file) and the Configure
// dialog's effect on the stored settings.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <memory>

#include "config/configure_dialog.h"
#include "config/settings.h"
#include "fake_host.h"
#include "host/dialog_history.h"
#include "test_registry.h"

namespace {

class HistoryTest : public PrivateRegistry {
 protected:
  std::unique_ptr<platform::RegistryKey> Key() {
    return platform::RegistryKey::Open(platform::Hive::CurrentUser,
                                       "Software\\Far\\SavedDialogHistory\\TnsNamesHistory", true);
  }
  std::map<std::string, std::string> Values() {
    std::map<std::string, std::string> v;
    auto k = Key();
    for (const auto& n : k->ValueNames()) k->QueryString(n, v[n]);
    return v;
  }
};

TEST_F(HistoryTest, EmptyHistoryGetsLine0AndBlanksAreIgnored) {
  host::AddToDialogHistory("TnsNamesHistory", "   ");
  EXPECT_TRUE(Values().empty());
  host::AddToDialogHistory("TnsNamesHistory", "PROD");
  EXPECT_EQ(Values(), (std::map<std::string, std::string>{{"Line0", "PROD"}}));
}

TEST_F(HistoryTest, MatchIgnoresCaseAndBlankValuesAreDropped) {
  auto k = Key();
  k->SetString("Line0", "ORCL");
  k->SetString("Line1", "  ");
  k = nullptr;
  host::AddToDialogHistory("TnsNamesHistory", "orcl");
  EXPECT_EQ(Values(), (std::map<std::string, std::string>{{"Line0", "ORCL"}}));
}

TEST_F(HistoryTest, NumbersFollowTheHighestNonBlankValue) {
  auto k = Key();
  k->SetString("Line0", "A");
  k->SetString("Line3", "B");
  k->SetString("Line5", "");
  k = nullptr;
  host::AddToDialogHistory("TnsNamesHistory", "C");
  EXPECT_EQ(Values(), (std::map<std::string, std::string>{{"Line0", "A"}, {"Line3", "B"}, {"Line4", "C"}}));
}

// Numbers at or beyond the 32-bit limit count as the limit; the next entry
// then takes the lowest free number instead of running past the limit or
// overwriting an entry (the sanitizer build checks there is no overflow).
TEST_F(HistoryTest, NumbersAtTheIntegerLimitDoNotOverflow) {
  auto k = Key();
  k->SetString("Line0", "A");
  k->SetString("Line2147483647", "B");
  k->SetString("Line99999999999999999999999", "C");
  k = nullptr;
  host::AddToDialogHistory("TnsNamesHistory", "D");
  host::AddToDialogHistory("TnsNamesHistory", "E");
  EXPECT_EQ(Values(), (std::map<std::string, std::string>{{"Line0", "A"},
                                                          {"Line1", "D"},
                                                          {"Line2", "E"},
                                                          {"Line2147483647", "B"},
                                                          {"Line99999999999999999999999", "C"}}));
}

TEST_F(HistoryTest, ANumberJustBelowTheLimitStillCountsUp) {
  auto k = Key();
  k->SetString("Line2147483646", "A");
  k = nullptr;
  host::AddToDialogHistory("TnsNamesHistory", "B");
  EXPECT_EQ(Values(), (std::map<std::string, std::string>{{"Line2147483646", "A"}, {"Line2147483647", "B"}}));
}

TEST_F(HistoryTest, Far2lHistoryFileKeepsOtherSectionsAndAddsOnce) {
  std::string path = (dir_ / "dialogs.hst").string();
  ASSERT_TRUE(platform::WriteFileAtomic(path,
      "[SavedDialogHistory/Other]\nLines=x\nLocks=1\nPosition=-1\nTimes=0100000000000000\n\n"
      "[SavedDialogHistory/TnsNamesHistory]\nLines=PROD\nLocks=0\nPosition=-1\nTimes=0200000000000000\n"));
  ASSERT_TRUE(host::AddToHistoryFile(path, "TnsNamesHistory", "TEST"));
  ASSERT_TRUE(host::AddToHistoryFile(path, "TnsNamesHistory", "prod"));  // already there
  ASSERT_TRUE(host::AddToHistoryFile(path, "New", "X\\Y"));
  std::string content;
  ASSERT_TRUE(platform::ReadWholeFile(path, content));
  EXPECT_NE(content.find("[SavedDialogHistory/Other]\nLines=x\nLocks=1\n"), std::string::npos);
  EXPECT_NE(content.find("Lines=\"PROD\\nTEST\"\nLocks=00\n"), std::string::npos) << content;
  EXPECT_NE(content.find("Times=0200000000000000 "), std::string::npos);
  EXPECT_NE(content.find("[SavedDialogHistory/New]\nLines=\"X\\\\Y\"\nLocks=0\n"), std::string::npos)
      << content;
  EXPECT_FALSE(host::AddToHistoryFile(path, "New", "two\nlines"));  // cannot be represented
}

// What is written reads back: escapes, blanks and tabs inside entries, and
// an entry the file already holds (in another case) is not added twice.
TEST(HistoryText, WrittenEntriesReadBackAsTheyWere) {
  std::string text = "[SavedDialogHistory/H]\nLines=\"a\\\\b\\tc\"\nLocks=0\nPosition=-1\nTimes=01\n[Other]\nk=v\n";
  EXPECT_EQ(host::HistoryTextEntries(text, "H"), (std::vector<std::string>{"a\\b\tc"}));
  for (const std::string entry : {" lead and trail ", "C:\\", "tab\there", "a\\b\tc", "A\\B\tC"}) {
    auto written = host::AddToHistoryText(text, "H", entry, "0011223344556677");
    ASSERT_TRUE(written);
    text = *written;
  }
  EXPECT_EQ(host::HistoryTextEntries(text, "H"),
            (std::vector<std::string>{"a\\b\tc", " lead and trail ", "C:\\", "tab\there"}));
  EXPECT_NE(text.find("[Other]\nk=v\n"), std::string::npos) << text;
  EXPECT_FALSE(host::AddToHistoryText(text, "H", "say \"hi\"", "0011223344556677"));
}

// Configure: answers the dialog by setting the hotkey field and pressing a button.
class ConfigureTest : public PrivateRegistry {
 protected:
  void SetUp() override {
    PrivateRegistry::SetUp();
    fakehost::Install();
  }
  void Answer(const char* hotkey, int button, bool clearIgnore = false) {
    fakehost::Current().dialogAnswers.push_back([=](std::vector<far::FarDialogItem>& it) {
      if (hotkey) std::strcpy(it[2].Data.Data, hotkey);
      if (clearIgnore) it[6].Param.Selected = 0;
      return button;
    });
  }
  std::uint32_t Stored(const char* name) {
    auto k = config::OpenSettingsKey();
    std::uint32_t v = 12345;
    k->QueryDword(name, v);
    return v;
  }
  std::string ShownHotkey() {
    return fakehost::Current().dialogs.back().items[2].Data.Data;
  }
};

TEST_F(ConfigureTest, HotkeyFieldAndStoredNumbers) {
  Answer(nullptr, 10);
  EXPECT_TRUE(config::RunConfigureDialog());
  EXPECT_EQ(ShownHotkey(), " ");
  EXPECT_EQ(Stored("DiskNumber"), 0u);
  EXPECT_EQ(Stored("AddToDiskMenu"), 1u);

  Answer("12", 10);
  EXPECT_TRUE(config::RunConfigureDialog());
  EXPECT_EQ(Stored("DiskNumber"), 12u);  // no range check on what converts

  Answer(nullptr, 10);
  EXPECT_TRUE(config::RunConfigureDialog());
  EXPECT_EQ(ShownHotkey(), " ");  // 10 and above show a blank field

  Answer("7", 10);
  EXPECT_TRUE(config::RunConfigureDialog());
  Answer(nullptr, 11);
  EXPECT_FALSE(config::RunConfigureDialog());
  EXPECT_EQ(ShownHotkey(), "7");
}

TEST_F(ConfigureTest, BadHotkeyIsReportedStoredAsZeroAndTheRestIsSaved) {
  Answer("x", 10, true);
  EXPECT_TRUE(config::RunConfigureDialog());
  ASSERT_EQ(fakehost::Current().messages.size(), 1u);
  EXPECT_EQ(fakehost::Current().messages[0].items[0], "Error");
  EXPECT_EQ(Stored("DiskNumber"), 0u);
  EXPECT_EQ(Stored("IgnoreORAErrors"), 0u);
  EXPECT_EQ(Stored("SQLCommandLine"), 1u);
}

TEST_F(ConfigureTest, CancelAndEscWriteNothing) {
  Answer("5", 11, true);
  EXPECT_FALSE(config::RunConfigureDialog());
  EXPECT_FALSE(config::RunConfigureDialog());  // unanswered: Esc
  EXPECT_EQ(Stored("DiskNumber"), 12345u);
  EXPECT_EQ(Stored("IgnoreORAErrors"), 12345u);
}

}  // namespace
