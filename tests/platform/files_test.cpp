// files_test.cpp — files, directories and temporary files.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <set>

#include "test_support.h"

using testing_support::OnWindows;
using testing_support::ScopedEnv;
using testing_support::TempDir;

namespace {

std::vector<std::string> Sorted(std::vector<std::string> v) {
  std::sort(v.begin(), v.end());
  return v;
}

TEST(Paths, JoinAndSplit) {
  std::string s(1, platform::PathSeparator());
  EXPECT_EQ(platform::JoinPath("dir", "file"), "dir" + s + "file");
  EXPECT_EQ(platform::JoinPath("dir/", "file"), "dir/file");
  EXPECT_EQ(platform::JoinPath("dir" + s, s + "file"), "dir" + s + "file");
  EXPECT_EQ(platform::JoinPath("", "file"), "file");
  EXPECT_EQ(platform::DirectoryOf("dir" + s + "sub" + s + "file.txt"), "dir" + s + "sub" + s);
  EXPECT_EQ(platform::DirectoryOf("/file"), "/");
  EXPECT_EQ(platform::DirectoryOf("file"), "");
  if (OnWindows()) {
    EXPECT_EQ(platform::DirectoryOf("C:\\a/b"), "C:\\a/");
    EXPECT_EQ(platform::DirectoryOf("C:file"), "C:");
  } else {
    EXPECT_EQ(platform::DirectoryOf("a\\b"), "");  // a backslash is a name character here
  }
}

TEST(Wildcards, MatchLikeWindowsUsersExpect) {
  using platform::internal::MatchWildcard;
  EXPECT_TRUE(MatchWildcard("*.sql", "a.SQL"));
  EXPECT_TRUE(MatchWildcard("OCI*.DLL", "oci.dll"));
  EXPECT_TRUE(MatchWildcard("?.txt", "b.txt"));
  EXPECT_FALSE(MatchWildcard("?.txt", "bb.txt"));
  EXPECT_FALSE(MatchWildcard("*.htm", "page.html"));
  EXPECT_TRUE(MatchWildcard("a*b*c", "aXXbYYbZc"));
  EXPECT_FALSE(MatchWildcard("a*b*c", "aXXbYYbZ"));
  EXPECT_TRUE(MatchWildcard("*", ""));
  EXPECT_TRUE(MatchWildcard("*.*", "Makefile"));
  EXPECT_FALSE(MatchWildcard("", "x"));
  EXPECT_TRUE(MatchWildcard("**x", "x"));
}

TEST(Files, ListFilesMatchesRegularFilesOnly) {
  TempDir dir;
  for (const char* name : {"a.SQL", "b.sql", "c.txt", "abc", "sqlnet.log"}) testing_support::WriteText(dir / name, "");
  std::filesystem::create_directory(dir / "d.sql");
  EXPECT_EQ(Sorted(platform::ListFiles(dir.path(), "*.sql")), (std::vector<std::string>{"a.SQL", "b.sql"}));
  EXPECT_EQ(Sorted(platform::ListFiles(dir.path(), "?.TXT")), std::vector<std::string>{"c.txt"});
  EXPECT_EQ(platform::ListFiles(dir.path(), "*").size(), 5u);
  EXPECT_TRUE(platform::ListFiles(dir.path(), "*.none").empty());
  EXPECT_TRUE(platform::ListFiles(dir / "missing", "*").empty());
}

TEST(Files, ExistenceDistinguishesFilesAndDirectories) {
  TempDir dir;
  testing_support::WriteText(dir / "f", "x");
  EXPECT_TRUE(platform::FileExists(dir / "f"));
  EXPECT_FALSE(platform::DirectoryExists(dir / "f"));
  EXPECT_TRUE(platform::DirectoryExists(dir.path()));
  EXPECT_FALSE(platform::FileExists(dir.path()));
  EXPECT_FALSE(platform::FileExists(dir / "missing"));
  EXPECT_TRUE(platform::RemoveFile(dir / "f"));
  EXPECT_FALSE(platform::RemoveFile(dir / "f"));
  EXPECT_FALSE(platform::FileExists(dir / "f"));
}

TEST(Files, AtomicWriteReplacesWholeFilesAndLeavesNoLitter) {
  TempDir dir;
  std::string binary("line\r\n\0\xFF end", 12);
  std::string path = dir / "data.bin";
  ASSERT_TRUE(platform::WriteFileAtomic(path, "old content that is longer"));
  ASSERT_TRUE(platform::WriteFileAtomic(path, binary));
  std::string read;
  ASSERT_TRUE(platform::ReadWholeFile(path, read));
  EXPECT_EQ(read, binary);
  ASSERT_TRUE(platform::WriteFileAtomic(path, ""));
  ASSERT_TRUE(platform::ReadWholeFile(path, read));
  EXPECT_EQ(read, "");
  EXPECT_EQ(platform::ListFiles(dir.path(), "*"), std::vector<std::string>{"data.bin"});
  // A missing directory is a failure, and nothing is created.
  EXPECT_FALSE(platform::WriteFileAtomic(dir / "missing" + std::string(1, platform::PathSeparator()) + "f", "x"));
  EXPECT_FALSE(platform::DirectoryExists(dir / "missing"));
  EXPECT_FALSE(platform::ReadWholeFile(dir / "nothing", read));
  EXPECT_EQ(read, "");  // untouched on failure
}

TEST(Files, ChangeDirectoryRoundTrip) {
  TempDir dir;
  std::string before = platform::CurrentDirectory();
  ASSERT_FALSE(before.empty());
  ASSERT_TRUE(platform::ChangeDirectory(dir.path()));
  EXPECT_TRUE(std::filesystem::equivalent(platform::CurrentDirectory(), dir.path()));
  EXPECT_FALSE(platform::ChangeDirectory(dir / "missing"));
  ASSERT_TRUE(platform::ChangeDirectory(before));
  EXPECT_EQ(platform::CurrentDirectory(), before);
}

TEST(Files, ShortPathNameNamesTheSameFile) {
  TempDir dir;
  std::string path = dir / "a rather long file name.text";
  testing_support::WriteText(path, "x");
  std::string shortName = platform::ShortPathName(path);
  EXPECT_TRUE(platform::FileExists(shortName)) << shortName;
  if (!OnWindows()) {
    EXPECT_EQ(shortName, path);
  }
  EXPECT_EQ(platform::ShortPathName(dir / "missing"), dir / "missing");
}

TEST(TempFiles, EveryCallCreatesANewEmptyFile) {
  std::set<std::string> seen;
  std::vector<std::string> created;
  for (int i = 0; i < 50; ++i) {
    std::string path = platform::CreateTempFile("SQL", ".sql");
    ASSERT_FALSE(path.empty());
    created.push_back(path);
    EXPECT_TRUE(seen.insert(path).second) << "reused " << path;
    EXPECT_TRUE(platform::FileExists(path));
    EXPECT_EQ(platform::DirectoryOf(path), platform::TempDirectory());
    std::string name = path.substr(platform::TempDirectory().size());
    EXPECT_EQ(name.substr(0, 3), "SQL");
    EXPECT_EQ(name.substr(name.size() - 4), ".sql");
    std::string content = "x";
    EXPECT_TRUE(platform::ReadWholeFile(path, content));
    EXPECT_EQ(content, "");
  }
  for (const auto& path : created) EXPECT_TRUE(platform::RemoveFile(path));
  std::string noExtension = platform::CreateTempFile("PAR");
  ASSERT_FALSE(noExtension.empty());
  EXPECT_EQ(noExtension.find('.', platform::TempDirectory().size()), std::string::npos);
  platform::RemoveFile(noExtension);
}

TEST(TempFiles, FollowTheTemporaryDirectoryVariable) {
  TempDir dir;
  // TMPDIR on POSIX; GetTempPath looks at TMP first on Windows, and Quarry
  // keeps its files in a folder of its own below it there.
  ScopedEnv tmp(OnWindows() ? "TMP" : "TMPDIR", dir.path());
  std::string sep(1, platform::PathSeparator());
  std::string expected = OnWindows() ? dir / "Quarry" + sep : dir.path() + sep;
  EXPECT_EQ(platform::TempDirectory(), expected);
  std::string path = platform::CreateTempFile("SQL");
  EXPECT_EQ(platform::DirectoryOf(path), expected);
  EXPECT_TRUE(platform::FileExists(path));
  platform::RemoveFile(path);
}

// Windows: the viewer's delete-on-close also removes a folder it leaves
// empty, so the files live in a folder of Quarry's own, made again when it
// went; the system temporary folder itself is never the one emptied.
TEST(TempFiles, WindowsKeepsThemInAFolderOfTheirOwn) {
  if (!OnWindows()) GTEST_SKIP() << "Windows temporary folder";
  TempDir dir;
  ScopedEnv tmp("TMP", dir.path());
  ScopedEnv temp("TEMP", dir.path());
  std::string own = dir / "Quarry";
  std::string path = platform::CreateTempFile("SQL", ".sql");
  ASSERT_FALSE(path.empty());
  EXPECT_EQ(platform::DirectoryOf(path), own + "\\");
  // What the host does on close: the file, then the folder left empty.
  ASSERT_TRUE(platform::RemoveFile(path));
  std::filesystem::remove(own);
  EXPECT_TRUE(platform::DirectoryExists(dir.path()));
  std::string again = platform::CreateTempFile("SQL");
  ASSERT_FALSE(again.empty());
  EXPECT_EQ(platform::DirectoryOf(again), own + "\\");
  platform::RemoveFile(again);
}

// POSIX without TMPDIR: not the shared /tmp, where other local users could
// read the files or plant one under the expected name, but the user's own
// folder below it, mode 0700.
TEST(TempFiles, WithoutTmpdirAPrivateFolderOfTheUser) {
  if (OnWindows()) GTEST_SKIP() << "POSIX temporary folder";
  namespace fs = std::filesystem;
  for (const std::optional<std::string>& value :
       {std::optional<std::string>(), std::optional<std::string>("/nonexistent/quarry-tmp")}) {
    ScopedEnv unset("TMPDIR", value);
    std::string dir = platform::TempDirectory();
    ASSERT_EQ(dir.substr(0, 12), "/tmp/quarry-") << dir;
    EXPECT_EQ(dir.back(), '/');
    EXPECT_EQ(fs::symlink_status(dir.substr(0, dir.size() - 1)).type(), fs::file_type::directory);
    EXPECT_EQ(fs::status(dir).permissions() & fs::perms::all, fs::perms::owner_all);
    std::string path = platform::CreateTempFile("SQL");
    EXPECT_EQ(platform::DirectoryOf(path), dir);
    platform::RemoveFile(path);
  }
}

// The hosts add "the last system error" to boxes that ask for it (errno on
// far2l, GetLastError() on Windows); the message helpers clear it first.
TEST(SystemError, AFailedCallSetsItAndClearingEmptiesIt) {
  TempDir dir;
  EXPECT_FALSE(platform::RemoveFile(dir / "missing"));
  EXPECT_NE(platform::LastSystemError(), 0);
  platform::SetLastSystemError(0);
  EXPECT_EQ(platform::LastSystemError(), 0);
  platform::SetLastSystemError(5);
  EXPECT_EQ(platform::LastSystemError(), 5);
  platform::SetLastSystemError(0);
}

}  // namespace
