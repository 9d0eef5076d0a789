// script_test.cpp — the command language: words and quoting, key names,
// transcript quoting, and scripts run against the fixture plugin.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>

#include "host.h"
#include "keys.h"
#include "script.h"

namespace hostsim {
namespace {

TEST(Words, QuotesKeysAndValues) {
  std::vector<Word> w;
  std::string error;
  ASSERT_TRUE(SplitWords(R"(answer dialog 3="scott" "User name:"=tiger button="1" x= "a \"b\"\n")", w, error)) << error;
  ASSERT_EQ(w.size(), 7u);
  EXPECT_EQ(w[2].key, "3");
  EXPECT_FALSE(w[2].keyQuoted);
  EXPECT_EQ(w[2].value, "scott");
  EXPECT_EQ(w[3].key, "User name:");
  EXPECT_TRUE(w[3].keyQuoted);
  EXPECT_EQ(w[3].value, "tiger");
  EXPECT_TRUE(w[4].valueQuoted);  // button="1" is a label, not an index
  EXPECT_TRUE(w[5].hasValue);
  EXPECT_EQ(w[5].value, "");
  EXPECT_TRUE(w[6].quoted);
  EXPECT_EQ(w[6].text, "a \"b\"\n");
  EXPECT_FALSE(SplitWords("cd \"unterminated", w, error));
  EXPECT_FALSE(SplitWords("cd \"bad \\q escape\"", w, error));
}

TEST(Keys, NamesToVirtualKeysAndStates) {
  struct Case {
    const char* text;
    int vk;
    unsigned state;
    bool delivered;
    const char* name;
  } cases[] = {
      {"F3", 0x72, 0, true, "F3"},
      {"shift+f4", 0x73, 4, true, "Shift+F4"},
      {"Alt+Ctrl+F10", 0x79, 3, true, "Ctrl+Alt+F10"},
      {"Ctrl+Z", 'Z', 1, true, "Ctrl+Z"},
      {"Ctrl+1", '1', 1, true, "Ctrl+1"},
      {"Enter", 0x0D, 0, true, "Enter"},
      {"Ctrl+PgUp", 0x21, 1, true, "Ctrl+PgUp"},
      {"Shift+A", 'A', 0, true, "Shift+A"},  // the host sends the bare upper-case letter
      {"q", 'Q', 0, false, "q"},             // typed into the command line
  };
  for (const auto& c : cases) {
    auto k = ParseKey(c.text);
    ASSERT_TRUE(k) << c.text;
    EXPECT_EQ(k->vk, c.vk) << c.text;
    EXPECT_EQ(k->state, c.state) << c.text;
    EXPECT_EQ(k->delivered, c.delivered) << c.text;
    EXPECT_EQ(k->name, c.name) << c.text;
  }
  for (const char* bad : {"", "F13", "Hyper+F1", "Ctrl+", "Ctrl+Foo", "+"}) EXPECT_FALSE(ParseKey(bad)) << bad;
}

TEST(TranscriptText, QuoteRoundTripAndTimes) {
  std::string raw = "a\"b\\c\nd\te\x01 \xD0\x96";
  std::string q = Quote(raw);
  EXPECT_EQ(q, "\"a\\\"b\\\\c\\nd\\te\\x01 \xD0\x96\"");
  std::string back;
  ASSERT_TRUE(Unquote(q, back));
  EXPECT_EQ(back, raw);
  EXPECT_EQ(IsoTime(FileTimeFromUnix(1714564800)), "2024-05-01T12:00:00Z");
  EXPECT_EQ(IsoTime(far::FILETIME{0, 0}), "-");
  std::ostringstream out;
  Transcript t(&out);
  t.Line("x\ny");  // never two lines for one record
  EXPECT_EQ(out.str(), "x\\ny\n");
}

class ScriptTest : public ::testing::Test {
 protected:
  int Run(const std::string& text, bool keepGoing = false) {
    std::istringstream in(text);
    int status = script_.Run(in, keepGoing);
    if (!script_.Finish()) status = 1;
    return status;
  }
  std::ostringstream out_;
  Host host_{&out_};
  Script script_{host_};
};

TEST_F(ScriptTest, AcceptanceStyleScriptPasses) {
  std::string script = std::string("# a comment\n") + "load " + HOSTSIM_FIXTURE + "\n" +
                       "open\n"
                       "expect panel dir=\"\"\n"
                       "cd alpha\n"
                       "expect-line cd \"alpha\" -> ok\n"
                       "key Ctrl+PgUp\n"
                       "expect current=1 \"alpha\"\n"
                       "answer dialog \"User name\"=\"scott \" 4=tiger \"Save password\"=1 button=\"OK\"\n"
                       "key F7\n"
                       "expect message-line \"exit 6 user=scott  pass=tiger save=1\"\n"
                       "expect-not dialog-result -1\n"
                       "key F8\n"
                       "answer message 0\n"
                       "expect message-result -1 esc\n"  // queuing keeps the key's output in view
                       "key F8\n"
                       "expect-line message-result 0 \"&Yes\"\n"
                       "answer editor save \"line one\\n\"\n"
                       "key F4\n"
                       "expect message-line \"line one\\n\"\n"
                       "answer input \"  padded  \"\n"
                       "key Shift+F4\n"
                       "expect got   padded  \n"
                       "cmdline fx select 'a\"b' from dual\n"  // an odd quote is the command line's own
                       "expect-line message-line \"fx select 'a\\\"b' from dual\"\n"
                       "cmdline fx hello\n"
                       "expect cmdline-result plugin\n"
                       "expect-answers-used\n"
                       "close\n";
  EXPECT_EQ(Run(script), 0) << out_.str();
  EXPECT_EQ(out_.str().find("error"), std::string::npos) << out_.str();
}

TEST_F(ScriptTest, FailuresStopTheScriptWithStatusOne) {
  EXPECT_EQ(Run(std::string("load ") + HOSTSIM_FIXTURE + "\nopen\nexpect no such text\necho not reached\n"), 1);
  EXPECT_NE(out_.str().find("error expect: no line contains \"no such text\""), std::string::npos);
  EXPECT_EQ(out_.str().find("echo not reached"), std::string::npos);
}

TEST_F(ScriptTest, KeepGoingRunsOnAndUnusedAnswersFail) {
  EXPECT_EQ(Run("frobnicate\nkey Nokey\nanswer menu 1\necho reached\n", true), 1);
  EXPECT_NE(out_.str().find("error unknown command \"frobnicate\""), std::string::npos);
  EXPECT_NE(out_.str().find("error key: unknown key name \"Nokey\""), std::string::npos);
  EXPECT_NE(out_.str().find("echo reached"), std::string::npos);
  EXPECT_NE(out_.str().find("error unused answers at the end of the script: menu 1"), std::string::npos);
}

TEST_F(ScriptTest, BadAnswersAreRejected) {
  for (const char* line : {"answer", "answer message", "answer message 1 2", "answer dialog esc 1", "answer dialog 3",
                           "answer editor", "answer editor save-file /nonexistent/x", "answer oracle 1",
                           "set trace maybe", "open x"}) {
    EXPECT_FALSE(script_.Execute(line)) << line;
  }
  EXPECT_TRUE(host_.answers().Pending().empty());
}

}  // namespace
}  // namespace hostsim
