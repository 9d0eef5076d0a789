// session_end.cpp — see session_end.h.
#include "panel/session_end.h"

#include <exception>
#include <string>

#include "host/messages.h"
#include "oracle/lost_connection.h"

namespace panel {
namespace {

constexpr const char* kTitle = "Confirmation";
constexpr const char* kDisconnectQuestion = "Do you wish to disconnect from Oracle";

// The question per way of ending, when a transaction is open.
const char* OpenTransactionQuestion(SessionEnd why) {
  switch (why) {
    case SessionEnd::Disconnect:
      return "The session has uncommitted changes. Commit or roll them back and disconnect from Oracle?";
    case SessionEnd::Reconnect:
      return "The session has uncommitted changes. Commit or roll them back and log on again?";
    case SessionEnd::ClosePanel:
      break;
  }
  return "The session has uncommitted changes. Commit or roll them back and close the Oracle panel?";
}

enum Answer { kCommit = 0, kRollback = 1 };

enum class Transaction { None, Open, Unknown, Gone };

// Whether the session has an open transaction.  A check that fails cannot
// tell: the user is then asked as if one were open rather than the changes
// dropped unasked.  A lost connection took any transaction with it (the
// server rolls back a session whose client is gone), so there is nothing
// left to commit or to ask about.
Transaction TransactionState(connection::TPluginDataModule& dataModule) {
  try {
    return dataModule.OracleSession().InTransaction() ? Transaction::Open : Transaction::None;
  } catch (const std::exception& e) {
    return oracle::IsLostConnection(e) ? Transaction::Gone : Transaction::Unknown;
  } catch (...) {
    return Transaction::Unknown;
  }
}

}  // namespace

bool ConfirmEndOfSession(connection::TPluginDataModule& dataModule, SessionEnd why) {
  if (!dataModule.Connected()) return true;
  const Transaction state = TransactionState(dataModule);
  if (state == Transaction::None || state == Transaction::Gone) {
    if (why != SessionEnd::Disconnect) return true;
    return host::ShowQuestionMessage(kTitle, kDisconnectQuestion, {"Ok", "Cancel"}) == 0;
  }
  std::string question = OpenTransactionQuestion(why);
  if (state == Transaction::Unknown)
    question = "Could not find out whether the session has uncommitted changes." +
               question.substr(question.find('.') + 1);
  int answer = host::ShowQuestionMessage(kTitle, question, {"Commit", "Roll back", "Cancel"});
  if (answer != kCommit && answer != kRollback) return false;
  try {
    if (answer == kCommit) {
      dataModule.OracleSession().Commit();
    } else {
      dataModule.OracleSession().Rollback();
    }
  } catch (const std::exception& e) {
    host::ShowErrorMessage(e.what());
    // The changes are still there, and so is the session.  When even the
    // check failed, a failed rollback most likely means the session is
    // gone: the user chose to drop the changes, so ending it loses nothing
    // more (and a dead session never traps the panel).
    return state == Transaction::Unknown && answer == kRollback;
  }
  return true;
}

}  // namespace panel
