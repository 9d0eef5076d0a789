// cli_test.cpp — quarry-host as a program: exit status, crash report, help.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <string>

namespace {

struct Result {
  int status = -1;
  std::string out;
};

Result RunCli(const std::string& args, const std::string& input = "") {
  std::string inputFile = "/tmp/hostsim-cli-" + std::to_string(getpid()) + ".txt";
  if (FILE* f = std::fopen(inputFile.c_str(), "w")) {
    std::fputs(input.c_str(), f);
    std::fclose(f);
  }
  std::string cmd = std::string(HOSTSIM_CLI) + " " + args + " < " + inputFile + " 2>/dev/null";
  Result r;
  FILE* p = popen(cmd.c_str(), "r");
  char buf[4096];
  while (std::size_t n = std::fread(buf, 1, sizeof buf, p)) r.out.append(buf, n);
  int raw = pclose(p);
  r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  std::remove(inputFile.c_str());
  return r;
}

TEST(Cli, HelpDocumentsTheCommands) {
  Result r = RunCli("--help");
  EXPECT_EQ(r.status, 0);
  for (const char* word : {"load PATH", "answer dialog", "key KEY", "cmdline TEXT", "expect TEXT", "--plain-keys",
                           "--startup-size", "exit status"})
    EXPECT_NE(r.out.find(word), std::string::npos) << word;
}

TEST(Cli, LoadFailureIsAClearErrorAndStatusOne) {
  Result r = RunCli("-e 'load /nonexistent.far-plug-mb' -e 'echo after'");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "error load \"/nonexistent.far-plug-mb\": No such file or directory\n");
}

TEST(Cli, ScriptFromStandardInput) {
  Result r = RunCli("--trace -", std::string("load ") + HOSTSIM_FIXTURE + "\nopen\nkey F11\n");
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_NE(r.out.find("call ProcessKey 0x8007a 0x0 -> 0\ncall ProcessKey 0x7a 0x0 -> 0\n"), std::string::npos) << r.out;
}

TEST(Cli, CrashInsideAnExportIsNamedAndEndsWithStatusThree) {
  Result r = RunCli(std::string("-e 'load ") + HOSTSIM_FIXTURE + "' -e open -e 'key Alt+F4' -e 'echo after'");
  EXPECT_EQ(r.status, 3);
  EXPECT_NE(r.out.find("error plugin crashed in ProcessKey (SIG"), std::string::npos) << r.out;
  EXPECT_EQ(r.out.find("echo after"), std::string::npos);
}

TEST(Cli, ExceptionEscapingAnExportIsFatal) {
  Result r = RunCli(std::string("-e 'load ") + HOSTSIM_FIXTURE + "' -e open -e 'key Alt+F6'");
  EXPECT_EQ(r.status, 3);
  EXPECT_NE(r.out.find("error plugin let an exception escape from ProcessKey"), std::string::npos) << r.out;
}

TEST(Cli, UsageErrors) {
  EXPECT_EQ(RunCli("--startup-size=100").status, 2);
  EXPECT_EQ(RunCli("--bogus").status, 2);
  EXPECT_EQ(RunCli("/nonexistent/script.txt").status, 2);
}

}  // namespace
