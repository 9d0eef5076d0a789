#!/usr/bin/env bash
# CI's part of the fault sweep (tests/faults/fault_sweep.sh): the connection
# dropped at every server round trip of a few scripts that between them
# edit and save sources, drop objects, run the command line and copy a
# table to a script, and at every 40th round trip of every other script
# that logs on.  Reuses the native build (argument 1, default build).
# The whole sweep is scripts/fault-sweep-all.sh.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-$root/build}"
cases=$root/tests/acceptance
every_trip=(db_edit db_fault_edit_save db_drop db_logon_and_command_line db_copy_script)
sweep=(bash "$root/tests/faults/fault_sweep.sh" "$build" --jobs 2)
status=0
"${sweep[@]}" $(printf "$cases/%s.qh " "${every_trip[@]}") || status=1
others=()
for f in "$cases"/db_*.qh; do
  name=$(basename "$f" .qh)
  [[ " ${every_trip[*]} " == *" $name "* ]] || others+=("$f")
done
"${sweep[@]}" --every 40 "${others[@]}" || status=1
exit $status
