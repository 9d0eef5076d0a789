// session_end.h — the question before a panel's session ends.
//
// Ending a session rolls back what it has not committed.  Before the user
// disconnects, logs on anew or closes the panel (also by quitting the host,
// which sends the close event first), a session with an open transaction
// says so and offers to commit, roll back or keep the session.
#pragma once

#include "connection/data_module.h"

namespace panel {

enum class SessionEnd {
  Disconnect,  // Ctrl+F10: asks even without a transaction
  Reconnect,   // a new logon replaces the session
  ClosePanel,  // the panel closes, by the user or because the host quits
};

// True when the session may end now: it is not connected, it has nothing
// open (and, for Disconnect, the user confirmed), or its transaction was
// committed or rolled back as the user chose.  False keeps the session as
// it is: the user cancelled, or the commit or rollback failed (reported).
bool ConfirmEndOfSession(connection::TPluginDataModule& dataModule, SessionEnd why);

}  // namespace panel
