// session_end.cpp — see session_end.h.
#include "panel/session_end.h"

#include <exception>

#include "host/messages.h"

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

// Whether the session has an open transaction.  A check that fails says
// nothing: the session is then most likely gone, with nothing left to keep.
bool HasOpenTransaction(connection::TPluginDataModule& dataModule) {
  try {
    return dataModule.OracleSession().InTransaction();
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace

bool ConfirmEndOfSession(connection::TPluginDataModule& dataModule, SessionEnd why) {
  if (!dataModule.Connected()) return true;
  if (!HasOpenTransaction(dataModule)) {
    if (why != SessionEnd::Disconnect) return true;
    return host::ShowQuestionMessage(kTitle, kDisconnectQuestion, {"Ok", "Cancel"}) == 0;
  }
  int answer = host::ShowQuestionMessage(kTitle, OpenTransactionQuestion(why), {"Commit", "Roll back", "Cancel"});
  if (answer != kCommit && answer != kRollback) return false;
  try {
    if (answer == kCommit) {
      dataModule.OracleSession().Commit();
    } else {
      dataModule.OracleSession().Rollback();
    }
  } catch (const std::exception& e) {
    // The changes are still there, and so is the session.
    host::ShowErrorMessage(e.what());
    return false;
  }
  return true;
}

}  // namespace panel
