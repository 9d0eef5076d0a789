#!/usr/bin/env bash
# CI's part of the fault sweep (tests/faults/fault_sweep.sh): the connection
# dropped at every server round trip of the logon and command-line script,
# and at every 25th round trip of scripts that edit and save sources, drop
# objects, copy a table to a script and list tables.  Reuses the native
# build (argument 1, default build).  The whole sweep, every round trip of
# every script, is scripts/fault-sweep-all.sh.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-$root/build}"
cases=$root/tests/acceptance
sweep=(bash "$root/tests/faults/fault_sweep.sh" "$build" --jobs 2)
status=0
"${sweep[@]}" "$cases/db_logon_and_command_line.qh" || status=1
"${sweep[@]}" --every 25 "$cases/db_edit.qh" "$cases/db_drop.qh" "$cases/db_copy_script.qh" "$cases/db_tables.qh" ||
  status=1
exit $status
