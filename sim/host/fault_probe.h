// fault_probe.h — quarry-host's checks after an injected fault
// (--fault-probe FILE).  The OCI stand-in appends a line to FILE for every
// fault it plays (OCISIM_FAULT_LOG).  After the script command during which
// FILE grew, the probe plays what a user does next and records each step:
//
//   probe fault line=L "COMMAND" error-boxes=K   the action that met the fault
//   probe dotdot from="DIR" to="DIR" error-boxes=K
//                                 ".." must still leave the listing
//   probe relogon error-boxes=K   Alt+F10 with the logon dialog's last answer
//                                 that logged on
//                                 must log on again without an error (and,
//                                 after a drop, without asking anything)
//   probe replay line=L error-boxes=K
//                                 back in the action's directory, on its
//                                 item and selection, with the answers it
//                                 had, the action must no longer meet a
//                                 lost connection
//   probe done
//
// A failed check writes "error probe: ..." and makes the exit status 1.
// The script stops after the probe.  Every other action that shows error
// boxes is recorded as "action-boxes line=L error-boxes=K", so a sweep can
// compare the faulted action with the same action of a run without faults.
// An error box is a message with buttons titled "Error" or quoting ORA-.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "answers.h"

namespace hostsim {

class Host;

class FaultProbe {
 public:
  FaultProbe(Host& host, std::string faultLog) : host_(host), faultLog_(std::move(faultLog)) {}

  // Whether a script line is an action of the user (not an answer, a
  // setting, an expectation, an echo or a comment).
  static bool IsAction(const std::string& line);
  // Error boxes among transcript lines [from, to).
  static int ErrorBoxes(const std::vector<std::string>& lines, std::size_t from, std::size_t to);

  // Around each action: what the user saw before it, and whether the fault
  // was played during it (then run Probe).
  void Before(const std::string& line, int lineNo);
  bool After();
  // The checks; false when one failed.  `run` plays one script line.
  bool Probe(const std::function<bool(const std::string&)>& run);

 private:
  std::uint64_t LogSize() const;
  bool Check(bool ok, const std::string& failure);
  bool LeaveListing();
  bool LastFaultDropped() const;
  bool LogOnAgain();
  void ReturnToAction();
  int BoxesSince(std::size_t from) const;
  bool LostConnectionShownSince(std::size_t from) const;
  bool UsedLogonDialogSince(std::size_t from) const;

  Host& host_;
  std::string faultLog_;
  std::uint64_t logSize_ = 0;
  // The action being played and the user's view before it.
  std::string line_;
  int lineNo_ = 0;
  std::size_t firstRecord_ = 0;
  Answers answers_;
  // The logon dialog's answer of the last action without an error box.
  std::optional<DialogAnswer> goodLogon_;
  bool panelOpen_ = false;
  std::string directory_, cursor_;
  std::vector<std::string> selection_;
  bool failed_ = false;
};

}  // namespace hostsim
