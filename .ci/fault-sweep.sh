#!/usr/bin/env bash
# CI's part of the fault sweep (tests/faults/fault_sweep.sh).  Reuses the
# native build (argument 1, default build).  The whole sweep, every round
# trip of every script, is scripts/fault-sweep-all.sh.
#   - the connection dropped at every server round trip of the logon and
#     command-line script, at every 25th of scripts that edit and save
#     sources, drop objects, copy a table to a script and list tables, and
#     at trips that once failed (below);
#   - a server error (ORA-01555, snapshot too old: any statement or fetch
#     may meet it) and a stall at every 8th round trip of the logon and
#     command-line script and every 40th of the editing script.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-$root/build}"
cases=$root/tests/acceptance
# One state folder: the demo database and each script's run without faults
# are made once for all the sweeps below.
state=$(mktemp -d)
trap 'rm -rf "$state"' EXIT
sweep=(bash "$root/tests/faults/fault_sweep.sh" "$build" --jobs 2 --state "$state")
status=0
"${sweep[@]}" "$cases/db_logon_and_command_line.qh" || status=1
"${sweep[@]}" --every 25 "$cases/db_edit.qh" "$cases/db_drop.qh" "$cases/db_copy_script.qh" "$cases/db_tables.qh" ||
  status=1
# A drop meeting a logon whose password is wrong on purpose; one meeting the
# execution plan's steps, and one meeting the listing after it (the plan
# left a transaction the server then rolled back).
"${sweep[@]}" --at 32,37 "$cases/db_logon_settings.qh" || status=1
"${sweep[@]}" --at 42,46 "$cases/db_statistics_system.qh" || status=1
for fault in ORA-01555 stall=300; do
  "${sweep[@]}" --fault "$fault" --every 8 "$cases/db_logon_and_command_line.qh" || status=1
  "${sweep[@]}" --fault "$fault" --every 40 "$cases/db_edit.qh" || status=1
done
exit $status
