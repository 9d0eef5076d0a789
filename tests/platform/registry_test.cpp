// registry_test.cpp — the registry as the plugin sees it: the real Windows
// registry (below a unique HKCU\Software\QuarryTests key, deleted afterwards)
// or, on POSIX, the file-backed store redirected to a private directory.
#include <gtest/gtest.h>

#include <algorithm>

#include "test_support.h"

using platform::Hive;
using platform::RegistryKey;
using testing_support::OnWindows;

namespace {

class RegistryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!OnWindows()) env_.emplace("QUARRY_REGISTRY_DIR", dir_ / "registry");
    base_ = "Software\\QuarryTests\\run" + platform::internal::RandomTag();
  }
  void TearDown() override { platform::DeleteKeyTree(Hive::CurrentUser, base_); }

  std::unique_ptr<RegistryKey> Create(const std::string& sub) {
    return RegistryKey::Open(Hive::CurrentUser, base_ + "\\" + sub, true);
  }
  std::unique_ptr<RegistryKey> Existing(const std::string& sub) {
    return RegistryKey::Open(Hive::CurrentUser, base_ + "\\" + sub, false);
  }

  testing_support::TempDir dir_;
  std::optional<testing_support::ScopedEnv> env_;
  std::string base_;
};

TEST_F(RegistryTest, ValuesSurviveReopening) {
  const std::string text = "C:\\oracle\\ora92 = home\nline two\ttab \"quoted\" caf\xC3\xA9";
  {
    auto key = Create("Quarry\\Settings");
    ASSERT_NE(key, nullptr);
    EXPECT_TRUE(key->SetString("Home", text));
    EXPECT_TRUE(key->SetString("Empty", ""));
    EXPECT_TRUE(key->SetDword("Zero", 0));
    EXPECT_TRUE(key->SetDword("Max", 0xFFFFFFFFu));
  }
  auto key = Existing("Quarry\\Settings");
  ASSERT_NE(key, nullptr);
  std::string s = "unchanged";
  EXPECT_TRUE(key->QueryString("Home", s));
  EXPECT_EQ(s, text);
  EXPECT_TRUE(key->QueryString("Empty", s));
  EXPECT_EQ(s, "");
  std::uint32_t d = 7;
  EXPECT_TRUE(key->QueryDword("Zero", d));
  EXPECT_EQ(d, 0u);
  EXPECT_TRUE(key->QueryDword("Max", d));
  EXPECT_EQ(d, 0xFFFFFFFFu);
}

TEST_F(RegistryTest, OpenWithoutCreateNeedsAnExistingKey) {
  EXPECT_EQ(Existing("Missing"), nullptr);
  EXPECT_EQ(Existing("Missing"), nullptr);  // looking did not create it
  ASSERT_NE(Create("A\\B\\C"), nullptr);    // parents are created too
  EXPECT_NE(Existing("A"), nullptr);
  EXPECT_NE(Existing("A\\B\\C"), nullptr);
  // Stray backslashes do not make a different key.
  EXPECT_NE(RegistryKey::Open(Hive::CurrentUser, "\\" + base_ + "\\\\A\\B\\", false), nullptr);
}

TEST_F(RegistryTest, NamesIgnoreCaseAndKeepTheirFirstSpelling) {
  auto key = Create("Quarry\\Settings");
  ASSERT_NE(key, nullptr);
  ASSERT_TRUE(key->SetString("ServerName", "orcl"));
  auto same = Existing("QUARRY\\settings");
  ASSERT_NE(same, nullptr);
  std::string s;
  EXPECT_TRUE(same->QueryString("SERVERNAME", s));
  EXPECT_EQ(s, "orcl");
  ASSERT_TRUE(same->SetString("servername", "test"));
  EXPECT_EQ(key->ValueNames(), std::vector<std::string>{"ServerName"});
  EXPECT_EQ(platform::ReadString(key.get(), "ServerName", ""), "test");
}

TEST_F(RegistryTest, EnumerationListsEveryValueOnce) {
  auto key = Create("Enum");
  ASSERT_NE(key, nullptr);
  EXPECT_TRUE(key->ValueNames().empty());
  for (const char* name : {"Gamma", "Alpha", "Beta"}) ASSERT_TRUE(key->SetString(name, name));
  ASSERT_TRUE(key->SetDword("Alpha", 1));  // changing a type does not add a value
  auto names = key->ValueNames();
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"Alpha", "Beta", "Gamma"}));
}

TEST_F(RegistryTest, DeletingValuesAndTrees) {
  auto key = Create("Tree\\Leaf");
  ASSERT_NE(key, nullptr);
  ASSERT_TRUE(key->SetString("Keep", "1"));
  ASSERT_TRUE(key->SetString("Drop", "2"));
  EXPECT_TRUE(key->DeleteValue("DROP"));
  EXPECT_FALSE(key->DeleteValue("Drop"));  // already gone
  std::string s;
  EXPECT_FALSE(key->QueryString("Drop", s));
  EXPECT_EQ(key->ValueNames(), std::vector<std::string>{"Keep"});

  ASSERT_NE(Create("Tree\\Other\\Deeper"), nullptr);
  EXPECT_TRUE(platform::DeleteKeyTree(Hive::CurrentUser, base_ + "\\TREE"));
  EXPECT_EQ(Existing("Tree"), nullptr);
  EXPECT_EQ(Existing("Tree\\Other\\Deeper"), nullptr);
  EXPECT_FALSE(platform::DeleteKeyTree(Hive::CurrentUser, base_ + "\\Tree"));
  EXPECT_FALSE(platform::DeleteKeyTree(Hive::CurrentUser, ""));  // never a whole hive
  // A handle to a deleted key reads nothing.
  EXPECT_FALSE(key->QueryString("Keep", s));
}

TEST_F(RegistryTest, ReadsFallBackToTheirDefaults) {
  auto key = Create("Defaults");
  ASSERT_NE(key, nullptr);
  ASSERT_TRUE(key->SetDword("Number", 42));
  ASSERT_TRUE(key->SetString("Text", "abc"));
  // Wrong type, missing value, no key at all: the default, silently.
  EXPECT_EQ(platform::ReadString(key.get(), "Number", "def"), "def");
  EXPECT_EQ(platform::ReadDword(key.get(), "Text", 5), 5u);
  EXPECT_EQ(platform::ReadDword(key.get(), "Missing", 6), 6u);
  EXPECT_EQ(platform::ReadString(nullptr, "Text", "none"), "none");
  EXPECT_TRUE(platform::ReadBool(nullptr, "Flag", true));
  EXPECT_EQ(platform::ReadString(key.get(), "Text", "def"), "abc");
  EXPECT_EQ(platform::ReadDword(key.get(), "Number", 0), 42u);
}

TEST_F(RegistryTest, BooleansFromDwordsAndText) {
  auto key = Create("Bools");
  ASSERT_NE(key, nullptr);
  ASSERT_TRUE(key->SetDword("DwordOff", 0));
  ASSERT_TRUE(key->SetDword("DwordOn", 2));
  ASSERT_TRUE(key->SetString("TextOne", "1"));
  ASSERT_TRUE(key->SetString("TextZero", "0"));
  ASSERT_TRUE(key->SetString("DelphiTrue", "-1"));
  ASSERT_TRUE(key->SetString("Word", "False"));
  ASSERT_TRUE(key->SetString("Junk", "yes please"));
  ASSERT_TRUE(key->SetString("Padded", " 1"));
  EXPECT_FALSE(platform::ReadBool(key.get(), "DwordOff", true));
  EXPECT_TRUE(platform::ReadBool(key.get(), "DwordOn", false));
  EXPECT_TRUE(platform::ReadBool(key.get(), "TextOne", false));
  EXPECT_FALSE(platform::ReadBool(key.get(), "TextZero", true));
  EXPECT_TRUE(platform::ReadBool(key.get(), "DelphiTrue", false));
  EXPECT_FALSE(platform::ReadBool(key.get(), "Word", true));
  EXPECT_TRUE(platform::ReadBool(key.get(), "Junk", true));
  EXPECT_FALSE(platform::ReadBool(key.get(), "Junk", false));
  EXPECT_TRUE(platform::ReadBool(key.get(), "Padded", true));
  EXPECT_FALSE(platform::ReadBool(key.get(), "Missing", false));
}

TEST_F(RegistryTest, TextWithNulIsRefused) {
  auto key = Create("Nul");
  ASSERT_NE(key, nullptr);
  EXPECT_FALSE(key->SetString("Bad", std::string("a\0b", 3)));
  std::string s;
  EXPECT_FALSE(key->QueryString("Bad", s));
}

}  // namespace
