// process_test.cpp — starting programs, their arguments, exit codes and
// environment, PATH search, and the Windows command-line rules.
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>

#include "test_support.h"

using platform::internal::QuoteWindowsArgument;
using platform::internal::SplitWindowsCommandLine;
using testing_support::OnWindows;
using testing_support::ScopedEnv;
using testing_support::TempDir;

namespace {

using Args = std::vector<std::string>;

// The helper program is built next to the test program.
std::string ChildPath() {
  return platform::DirectoryOf(platform::ModuleFileName()) + (OnWindows() ? "platform_test_child.exe" : "platform_test_child");
}

struct ChildReport {
  std::string cwd, probe;
  Args argv, ours;
};

bool ParseReport(const std::string& path, ChildReport& report) {
  std::string data;
  if (!platform::ReadWholeFile(path, data)) return false;
  std::size_t pos = 0;
  auto next = [&](std::string& out) {
    std::size_t colon = data.find(':', pos);
    if (colon == std::string::npos) return false;
    std::size_t len = std::stoul(data.substr(pos, colon - pos));
    out = data.substr(colon + 1, len);
    pos = colon + 1 + len + 1;
    return out.size() == len;
  };
  auto list = [&](Args& out) {
    std::string count;
    if (!next(count)) return false;
    out.resize(std::stoul(count));
    for (auto& s : out)
      if (!next(s)) return false;
    return true;
  };
  return next(report.cwd) && next(report.probe) && list(report.argv) && list(report.ours);
}

TEST(Processes, ExitCodesComeBack) {
  for (int code : {0, 3, 200}) {
    auto r = platform::RunProcess(ChildPath(), {std::to_string(code)}, "", true);
    ASSERT_TRUE(r.started) << r.error;
    EXPECT_EQ(r.exitCode, code);
  }
}

TEST(Processes, ArgumentsArriveIntactInTheWorkingDirectory) {
  TempDir dir;
  std::string report = dir / "report.txt";
  Args extra{"plain", "with space", "quote\"inside", "trailing\\", "back\\\\slash\" mix", "", "tab\tx",
             "\\\\server\\share\\", "caf\xC3\xA9"};
  Args args{"0", report};
  args.insert(args.end(), extra.begin(), extra.end());
  ScopedEnv probe("QUARRY_CHILD_PROBE", "probe value");
  auto r = platform::RunProcess(ChildPath(), args, dir.path(), true);
  ASSERT_TRUE(r.started) << r.error;
  ASSERT_EQ(r.exitCode, 0);
  ChildReport got;
  ASSERT_TRUE(ParseReport(report, got));
  EXPECT_TRUE(std::filesystem::equivalent(got.cwd, dir.path())) << got.cwd;
  EXPECT_EQ(got.probe, "probe value");
  // The child's runtime and our own splitter both see exactly what was sent.
  ASSERT_EQ(got.argv.size(), args.size() + 1);
  EXPECT_EQ(Args(got.argv.begin() + 1, got.argv.end()), args);
  EXPECT_EQ(got.ours, got.argv);
}

TEST(Processes, UnsetVariablesAreNotInherited) {
  TempDir dir;
  ScopedEnv probe("QUARRY_CHILD_PROBE", std::nullopt);
  auto r = platform::RunProcess(ChildPath(), {"0", dir / "r"}, "", true);
  ASSERT_TRUE(r.started) << r.error;
  ChildReport got;
  ASSERT_TRUE(ParseReport(dir / "r", got));
  EXPECT_EQ(got.probe, "<unset>");
}

TEST(Processes, FailuresToStartAreReported) {
  TempDir dir;
  auto missing = platform::RunProcess(dir / "no-such-program", {}, "", true);
  EXPECT_FALSE(missing.started);
  EXPECT_FALSE(missing.error.empty());
  auto unknown = platform::RunProcess("quarry-no-such-program-anywhere", {"x"}, "", true);
  EXPECT_FALSE(unknown.started);
  EXPECT_FALSE(unknown.error.empty());
  auto badDir = platform::RunProcess(ChildPath(), {"0"}, dir / "missing", true);
  EXPECT_FALSE(badDir.started);
  EXPECT_NE(badDir.error.find("missing"), std::string::npos) << badDir.error;
  EXPECT_FALSE(platform::RunProcess("", {}, "", true).started);
}

TEST(Processes, ChildrenStartWithDefaultSignalsEvenIfTheHostIgnoresThem) {
  if (OnWindows()) GTEST_SKIP() << "POSIX signals";
  auto old = std::signal(SIGTERM, SIG_IGN);
  auto r = platform::RunProcess("/bin/sh", {"-c", "kill -TERM $$; exit 0"}, "", true);
  std::signal(SIGTERM, old);
  ASSERT_TRUE(r.started) << r.error;
  EXPECT_EQ(r.exitCode, 128 + SIGTERM);
  EXPECT_FALSE(r.error.empty());
}

TEST(Processes, StartWithoutWaiting) {
  TempDir dir;
  auto r = platform::RunProcess(ChildPath(), {"0", dir / "r"}, "", false);
  ASSERT_TRUE(r.started) << r.error;
  EXPECT_EQ(r.exitCode, -1);
  // It still runs to the end on its own.
  for (int i = 0; i < 500 && !platform::FileExists(dir / "r"); ++i)
    platform::RunProcess(ChildPath(), {"0"}, "", true);  // a portable way to pass time
  EXPECT_TRUE(platform::FileExists(dir / "r"));
}

TEST(Processes, FindOnPathSearchesPathOnly) {
  std::string childDir = platform::DirectoryOf(ChildPath());
  childDir.pop_back();
  ScopedEnv path("PATH", "/nonexistent" + std::string(1, platform::PathListSeparator()) + childDir);
  std::string found = platform::FindOnPath(OnWindows() ? "platform_test_child.exe" : "platform_test_child");
  EXPECT_TRUE(std::filesystem::equivalent(found, ChildPath())) << found;
  if (OnWindows()) {
    EXPECT_FALSE(platform::FindOnPath("platform_test_child").empty());  // PATHEXT
  }
  EXPECT_EQ(platform::FindOnPath("quarry-no-such-program"), "");
  EXPECT_EQ(platform::FindOnPath(""), "");
  // Found on PATH, the plain name starts it.
  auto r = platform::RunProcess("platform_test_child", {"5"}, "", true);
  ASSERT_TRUE(r.started) << r.error;
  EXPECT_EQ(r.exitCode, 5);
}

TEST(Processes, OwnCommandLine) {
  auto args = platform::ProcessCommandLine();
  ASSERT_FALSE(args.empty());
  EXPECT_NE(args[0].find("platform_tests"), std::string::npos) << args[0];
}

TEST(Environment, SetGetUnset) {
  const std::string name = "QUARRY_TEST_" + platform::internal::RandomTag();
  EXPECT_FALSE(platform::GetEnv(name).has_value());
  platform::SetEnv(name, "a value=with equals");
  EXPECT_EQ(platform::GetEnv(name), "a value=with equals");
  platform::SetEnv(name, "");
  EXPECT_EQ(platform::GetEnv(name), "");  // set but empty is not unset
  platform::SetEnv(name, "second");
  EXPECT_EQ(platform::GetEnv(name), "second");
  platform::UnsetEnv(name);
  EXPECT_FALSE(platform::GetEnv(name).has_value());
}

TEST(WindowsCommandLine, SplitsLikeTheRuntime) {
  struct Case {
    const char* line;
    Args args;
  } cases[] = {
      {"prog a b", {"prog", "a", "b"}},
      {"  \"C:\\Program Files\\far.exe\"  x\t y ", {"C:\\Program Files\\far.exe", "x", "y"}},
      {"C:\\dir\\prog.exe \"ORACLEHOME=C:\\ora 92\" OCIDLL=oci.dll", {"C:\\dir\\prog.exe", "ORACLEHOME=C:\\ora 92", "OCIDLL=oci.dll"}},
      {"p a\\\\\\\"b", {"p", "a\\\"b"}},          // 3 backslashes + quote
      {"p \"a\\\\\" b", {"p", "a\\", "b"}},       // 2 backslashes + quote closes
      {"p a\\b\\\\c", {"p", "a\\b\\\\c"}},        // no quote: literal
      {"p \"\"", {"p", ""}},
      {"p \"a\"\"b\" c", {"p", "a\"b", "c"}},     // "" inside quotes
      {"p a\"b c\"d", {"p", "ab cd"}},
      {"\"C:\\dir\\\" x", {"C:\\dir\\", "x"}},     // argv[0] has no escapes
      {"p \"unterminated arg", {"p", "unterminated arg"}},
      {"", {}},
  };
  for (const auto& c : cases) EXPECT_EQ(SplitWindowsCommandLine(c.line), c.args) << c.line;
}

TEST(WindowsCommandLine, QuotingRoundTrips) {
  Args args{"prog", "", "a b", "\"", "\\", "a\\\"b", "\\\\x\\\\", "end\\ with space\\", "tab\there"};
  std::string line;
  for (const auto& a : args) line += (line.empty() ? "" : " ") + QuoteWindowsArgument(a);
  EXPECT_EQ(SplitWindowsCommandLine(line), args) << line;
  EXPECT_EQ(QuoteWindowsArgument("simple"), "simple");
}

}  // namespace
