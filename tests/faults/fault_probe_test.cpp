// What the host stand-in's fault probe counts as an error box (the sweep's
// "one box per action" rests on it) and as a user's action.
#include <gtest/gtest.h>

#include "fault_probe.h"

namespace {

using hostsim::FaultProbe;

TEST(FaultProbe, ErrorBoxesAreMessagesWithButtonsTitledErrorOrQuotingOra) {
  const std::vector<std::string> lines = {
      "message flags=0x1 help=- title=\"\"",  // a progress note: no buttons
      "message-line \"Loading data ...\"",
      "message-result -1 shown",
      "message flags=0x1 help=- title=\"Error\"",
      "message-line \"ORA-03113: end-of-file on communication channel\"",
      "message-button 0 \"[ Cancel ]\"",
      "message-result 0 \"[ Cancel ]\"",
      "message flags=0x1 help=- title=\"Drop Table\"",  // a question
      "message-line \"Do you wish to drop the table?\"",
      "message-button 0 \"Ok\"",
      "message flags=0x1 help=- title=\"Copy table\"",  // a box quoting the server
      "message-line \"ORA-03114: not connected to ORACLE\"",
      "message-button 0 \"Ok\"",
      "message flags=0x1 help=- title=\"Error\"",  // cut off before its button
  };
  EXPECT_EQ(FaultProbe::ErrorBoxes(lines, 0, lines.size()), 2);
  EXPECT_EQ(FaultProbe::ErrorBoxes(lines, 0, 5), 0) << "the button is outside the range";
  EXPECT_EQ(FaultProbe::ErrorBoxes(lines, 7, lines.size()), 1);
}

TEST(FaultProbe, ActionsAreWhatTheUserDoes) {
  for (const char* action : {"key F4", "cd \\PROCEDURES\\SCOTT", "  cmdline select 1 from dual", "open", "close"})
    EXPECT_TRUE(FaultProbe::IsAction(action)) << action;
  for (const char* other : {"", "   ", "# key F4", "answer editor keep", "set trace on", "expect \"x\"",
                            "expect-answers-used", "echo hello"})
    EXPECT_FALSE(FaultProbe::IsAction(other)) << other;
}

}  // namespace
