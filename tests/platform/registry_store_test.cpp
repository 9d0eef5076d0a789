// registry_store_test.cpp — the file-backed registry store itself: where it
// lives, what its files look like, and how it copes with damaged files.
// Runs on every OS (under wine too), since the store is plain C++.
#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

#include "test_support.h"

using platform::Hive;
using platform::internal::DeleteStoreKeyTree;
using platform::internal::OpenStoreKey;
using platform::internal::StoreKeyDirectory;
using testing_support::ScopedEnv;
using testing_support::TempDir;

namespace {

class RegistryStoreTest : public ::testing::Test {
 protected:
  std::string ValuesFile(const std::string& path) {
    std::string dir = StoreKeyDirectory(root_, Hive::CurrentUser, path);
    return dir.empty() ? "" : platform::JoinPath(dir, platform::internal::kStoreValuesFile);
  }
  TempDir tmp_;
  std::string root_ = tmp_ / "registry";
};

TEST_F(RegistryStoreTest, LocationFollowsTheEnvironment) {
  ScopedEnv home("HOME", "/home/u");
  ScopedEnv xdg("XDG_CONFIG_HOME", std::nullopt);
  ScopedEnv redirect("QUARRY_REGISTRY_DIR", std::nullopt);
  auto sep = std::string(1, platform::PathSeparator());
  EXPECT_EQ(platform::internal::RegistryStoreDirectory(),
            "/home/u" + sep + ".config" + sep + "quarry" + sep + "registry");
  {
    ScopedEnv relative("XDG_CONFIG_HOME", "relative/dir");  // invalid by the XDG rules
    EXPECT_EQ(platform::internal::RegistryStoreDirectory(),
              "/home/u" + sep + ".config" + sep + "quarry" + sep + "registry");
  }
  ScopedEnv config("XDG_CONFIG_HOME", "/cfg");
  EXPECT_EQ(platform::internal::RegistryStoreDirectory(), "/cfg" + sep + "quarry" + sep + "registry");
  ScopedEnv private_dir("QUARRY_REGISTRY_DIR", "/private/reg");
  EXPECT_EQ(platform::internal::RegistryStoreDirectory(), "/private/reg");
}

TEST_F(RegistryStoreTest, FileLayoutIsReadableText) {
  auto key = OpenStoreKey(root_, Hive::CurrentUser, "Software\\Quarry", true);
  ASSERT_NE(key, nullptr);
  ASSERT_TRUE(key->SetString("Server", "ORCL"));
  ASSERT_TRUE(key->SetDword("Timeout", 30));
  ASSERT_TRUE(key->SetString("a=b", "line1\nline2\\end"));
  std::string file = platform::JoinPath(
      platform::JoinPath(platform::JoinPath(platform::JoinPath(root_, "CurrentUser"), "Software"), "Quarry"),
      ".values");
  std::string text;
  ASSERT_TRUE(platform::ReadWholeFile(file, text));
  EXPECT_EQ(text,
            "# Quarry registry key\n"
            "sz Server=ORCL\n"
            "dword Timeout=30\n"
            "sz a\\x3Db=line1\\nline2\\\\end\n");
  // Nothing but the values file: no temporaries left behind by the writes.
  int entries = 0;
  for (auto& e : std::filesystem::directory_iterator(platform::DirectoryOf(file))) {
    (void)e;
    ++entries;
  }
  EXPECT_EQ(entries, 1);
}

// The store holds the saved password: its files are the owner's alone
// (0600) and so are its folders (0700), also a root someone else made with
// looser permissions and a values file an older version left readable.
TEST_F(RegistryStoreTest, FilesAndFoldersArePrivateToTheOwner) {
  if (testing_support::OnWindows()) GTEST_SKIP() << "POSIX permissions";
  namespace fs = std::filesystem;
  const auto open = fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                    fs::perms::others_read | fs::perms::others_exec;
  fs::create_directories(root_);
  fs::permissions(root_, open);
  {
    auto key = OpenStoreKey(root_, Hive::CurrentUser, "Software\\Quarry", true);
    ASSERT_NE(key, nullptr);
    ASSERT_TRUE(key->SetString("LogonPassword", "tiger"));
  }
  std::string keyDir = StoreKeyDirectory(root_, Hive::CurrentUser, "Software\\Quarry");
  fs::permissions(keyDir, open);
  fs::permissions(ValuesFile("Software\\Quarry"), fs::perms::owner_read | fs::perms::owner_write |
                                                         fs::perms::group_read | fs::perms::others_read);
  {
    auto key = OpenStoreKey(root_, Hive::CurrentUser, "Software\\Quarry", true);
    ASSERT_NE(key, nullptr);
    ASSERT_TRUE(key->SetString("LogonUserName", "scott"));
  }
  auto mode = [](const std::string& path) { return fs::status(path).permissions() & fs::perms::all; };
  for (const std::string& dir : {root_, platform::JoinPath(root_, "CurrentUser"),
                                 StoreKeyDirectory(root_, Hive::CurrentUser, "Software"), keyDir})
    EXPECT_EQ(mode(dir), fs::perms::owner_all) << dir;
  EXPECT_EQ(mode(ValuesFile("Software\\Quarry")), fs::perms::owner_read | fs::perms::owner_write);
  // A key made fresh inside gets the same.
  auto other = OpenStoreKey(root_, Hive::LocalMachine, "SOFTWARE\\ORACLE", true);
  ASSERT_NE(other, nullptr);
  ASSERT_TRUE(other->SetString("ORACLE_HOME", "/opt/oracle"));
  std::string oracleDir = StoreKeyDirectory(root_, Hive::LocalMachine, "SOFTWARE\\ORACLE");
  EXPECT_EQ(mode(oracleDir), fs::perms::owner_all);
  EXPECT_EQ(mode(platform::JoinPath(oracleDir, platform::internal::kStoreValuesFile)),
            fs::perms::owner_read | fs::perms::owner_write);
}

TEST_F(RegistryStoreTest, EveryByteButNulSurvives) {
  std::string all;
  for (int c = 1; c < 256; ++c) all += static_cast<char>(c);
  auto key = OpenStoreKey(root_, Hive::CurrentUser, "Bytes", true);
  ASSERT_NE(key, nullptr);
  ASSERT_TRUE(key->SetString(all, all));
  ASSERT_TRUE(key->SetString("", "default value"));
  auto again = OpenStoreKey(root_, Hive::CurrentUser, "Bytes", false);
  std::string s;
  EXPECT_TRUE(again->QueryString(all, s));
  EXPECT_EQ(s, all);
  EXPECT_TRUE(again->QueryString("", s));
  EXPECT_EQ(s, "default value");
}

TEST_F(RegistryStoreTest, KeyNamesThatAreNotFileNames) {
  // '/', '%', a leading dot and control characters are legal key names.
  std::vector<std::string> names{"a/b", "100%", ".values", "tab\there"};
  if (!testing_support::OnWindows()) names.push_back("..");  // Windows drops trailing dots
  for (const std::string& name : names) {
    auto key = OpenStoreKey(root_, Hive::CurrentUser, "Odd\\" + name, true);
    ASSERT_NE(key, nullptr) << name;
    ASSERT_TRUE(key->SetString("Name", name));
  }
  for (const std::string& name : names) {
    auto key = OpenStoreKey(root_, Hive::CurrentUser, "ODD\\" + name, false);
    ASSERT_NE(key, nullptr) << name;
    EXPECT_EQ(platform::ReadString(key.get(), "Name", ""), name);
  }
  // The parent's own values are not mistaken for the ".values" key.
  auto parent = OpenStoreKey(root_, Hive::CurrentUser, "Odd", false);
  ASSERT_NE(parent, nullptr);
  EXPECT_TRUE(parent->ValueNames().empty());
}

TEST_F(RegistryStoreTest, InsertionOrderIsKept) {
  auto key = OpenStoreKey(root_, Hive::CurrentUser, "Order", true);
  for (const char* name : {"Zulu", "Alpha", "Mike"}) ASSERT_TRUE(key->SetString(name, "x"));
  ASSERT_TRUE(key->SetDword("ALPHA", 3));  // replaced where it stands
  EXPECT_EQ(key->ValueNames(), (std::vector<std::string>{"Zulu", "Alpha", "Mike"}));
}

TEST_F(RegistryStoreTest, HivesAreSeparateTrees) {
  auto user = OpenStoreKey(root_, Hive::CurrentUser, "SOFTWARE\\ORACLE", true);
  ASSERT_TRUE(user->SetString("ORACLE_HOME", "/user"));
  EXPECT_EQ(OpenStoreKey(root_, Hive::LocalMachine, "SOFTWARE\\ORACLE", false), nullptr);
  auto machine = OpenStoreKey(root_, Hive::LocalMachine, "SOFTWARE\\ORACLE", true);
  ASSERT_TRUE(machine->SetString("ORACLE_HOME", "/machine"));
  EXPECT_EQ(platform::ReadString(user.get(), "ORACLE_HOME", ""), "/user");
  EXPECT_TRUE(DeleteStoreKeyTree(root_, Hive::LocalMachine, "SOFTWARE"));
  EXPECT_EQ(platform::ReadString(user.get(), "ORACLE_HOME", ""), "/user");
}

TEST_F(RegistryStoreTest, DeletedTreesLeaveNothingBehind) {
  ASSERT_NE(OpenStoreKey(root_, Hive::CurrentUser, "Gone\\Child", true), nullptr);
  // What an interrupted deletion would have left: a hidden tree.
  std::string hive = platform::JoinPath(root_, "CurrentUser");
  std::filesystem::create_directories(platform::JoinPath(platform::JoinPath(hive, ".deleted-0000"), "Old"));
  EXPECT_TRUE(DeleteStoreKeyTree(root_, Hive::CurrentUser, "gone"));
  EXPECT_TRUE(std::filesystem::is_empty(hive));
}

TEST_F(RegistryStoreTest, TwoHandlesSeeEachOthersWrites) {
  auto first = OpenStoreKey(root_, Hive::CurrentUser, "Shared", true);
  auto second = OpenStoreKey(root_, Hive::CurrentUser, "shared", false);
  ASSERT_TRUE(first->SetString("A", "1"));
  ASSERT_TRUE(second->SetString("B", "2"));
  EXPECT_EQ(first->ValueNames(), (std::vector<std::string>{"A", "B"}));
}

TEST_F(RegistryStoreTest, ConcurrentWritersLoseNothing) {
  ASSERT_NE(OpenStoreKey(root_, Hive::CurrentUser, "Busy", true), nullptr);
  std::vector<std::thread> writers;
  for (int t = 0; t < 4; ++t) {
    writers.emplace_back([this, t] {
      auto key = OpenStoreKey(root_, Hive::CurrentUser, "Busy", false);
      for (int i = 0; i < 25 && key; ++i) key->SetDword("T" + std::to_string(t) + "_" + std::to_string(i), i);
    });
  }
  for (auto& w : writers) w.join();
  auto key = OpenStoreKey(root_, Hive::CurrentUser, "Busy", false);
  EXPECT_EQ(key->ValueNames().size(), 100u);
  EXPECT_EQ(platform::ReadDword(key.get(), "T3_24", 0), 24u);
}

TEST_F(RegistryStoreTest, DamagedFilesReadAsMissingValues) {
  auto key = OpenStoreKey(root_, Hive::CurrentUser, "Damaged", true);
  ASSERT_TRUE(key->SetString("Server", "ORCL"));
  std::string file = ValuesFile("Damaged");
  ASSERT_FALSE(file.empty());

  // Not ours at all: nothing is read, defaults apply.
  testing_support::WriteText(file, std::string("\x7F" "ELF\0\0garbage\nsz Server=EVIL\n", 27));
  EXPECT_TRUE(key->ValueNames().empty());
  EXPECT_EQ(platform::ReadString(key.get(), "Server", "default"), "default");

  // Our header with some broken lines: the good lines still count.
  testing_support::WriteText(file,
                             "# Quarry registry key\n"
                             "sz Good=yes\r\n"
                             "dword Big=4294967296\n"
                             "dword Neg=-1\n"
                             "sz BadEscape=\\q\n"
                             "sz Truncated=\\x4\n"
                             "blob Unknown=1\n"
                             "no equals sign\n"
                             "sz Good=second\n"
                             "dword Small=12");
  EXPECT_EQ(key->ValueNames(), (std::vector<std::string>{"Good", "Small"}));
  EXPECT_EQ(platform::ReadString(key.get(), "Good", ""), "yes");
  EXPECT_EQ(platform::ReadDword(key.get(), "Big", 9), 9u);
  EXPECT_EQ(platform::ReadDword(key.get(), "Small", 0), 12u);

  // A directory where the file should be: unreadable, still no crash, and
  // writes report failure instead of pretending.
  std::filesystem::remove(file);
  std::filesystem::create_directory(file);
  EXPECT_EQ(platform::ReadString(key.get(), "Good", "default"), "default");
  EXPECT_FALSE(key->SetString("Good", "new"));
}

TEST_F(RegistryStoreTest, WritingReplacesADamagedFile) {
  auto key = OpenStoreKey(root_, Hive::CurrentUser, "Healed", true);
  testing_support::WriteText(platform::JoinPath(StoreKeyDirectory(root_, Hive::CurrentUser, "Healed"), ".values"),
                             "half a fi");
  ASSERT_TRUE(key->SetDword("Version", 2));
  auto again = OpenStoreKey(root_, Hive::CurrentUser, "Healed", false);
  EXPECT_EQ(platform::ReadDword(again.get(), "Version", 0), 2u);
}

TEST_F(RegistryStoreTest, NoRootMeansNoKeys) {
  EXPECT_EQ(OpenStoreKey("", Hive::CurrentUser, "Software", true), nullptr);
  // A root that cannot be a directory (it is a file).
  testing_support::WriteText(tmp_ / "file", "x");
  EXPECT_EQ(OpenStoreKey(tmp_ / "file", Hive::CurrentUser, "Software", true), nullptr);
}

}  // namespace

namespace {

using platform::internal::DecodeStoreValues;
using platform::internal::EncodeStoreValues;
using platform::internal::StoredValue;

std::vector<std::string> Names(const std::vector<StoredValue>& values) {
  std::vector<std::string> names;
  for (const StoredValue& v : values) names.push_back(v.name);
  return names;
}

// A value the store would drop when it next rewrites the key must not be
// read either: a raw NUL in a line makes it malformed, like an escaped one.
TEST(RegistryStoreValues, ALineHoldingANulIsSkippedSoARewriteKeepsEverythingRead) {
  const char kFile[] = "# Quarry registry key\nsz A=x\0y\nsz B\0=1\nsz C=ok\ndword D=7\n";
  const std::string file(kFile, sizeof kFile - 1);
  const std::vector<StoredValue> read = DecodeStoreValues(file);
  EXPECT_EQ(Names(read), (std::vector<std::string>{"C", "D"}));
  const std::vector<StoredValue> again = DecodeStoreValues(EncodeStoreValues(read));
  EXPECT_EQ(Names(again), Names(read));
  ASSERT_EQ(again.size(), 2u);
  EXPECT_EQ(again[0].text, "ok");
  EXPECT_EQ(again[1].number, 7u);
}

TEST(RegistryStoreValues, EveryByteButNulSurvivesWritingAndReading) {
  std::string all;
  for (int c = 1; c < 256; ++c) all += static_cast<char>(c);
  std::vector<StoredValue> values(3);
  values[0].name = "odd = name\t\\";
  values[0].text = all;
  values[1].name = all;
  values[1].text = "";
  values[2].name = "n";
  values[2].isDword = true;
  values[2].number = 4294967295u;
  const std::vector<StoredValue> read = DecodeStoreValues(EncodeStoreValues(values));
  ASSERT_EQ(read.size(), 3u);
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(read[i].name, values[i].name);
    EXPECT_EQ(read[i].text, values[i].text);
    EXPECT_EQ(read[i].isDword, values[i].isDword);
    EXPECT_EQ(read[i].number, values[i].number);
  }
}

}  // namespace
