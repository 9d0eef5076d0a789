#!/usr/bin/env bash
# Statements and time per table directory opened, through the host stand-in
# and the OCI stand-in (its OCISIM_TRACE line per statement is what we count).
#
# One play logs on and walks down to a table directory; then it repeats N
# rounds of two steps, and the same play without the rounds is subtracted,
# so logon, the way down and process start-up are not counted.  Two rounds
# are measured per table:
#   "cd .., cd TABLE"    the owner's table list (one statement) and the table
#                        directory opened again;
#   "cd .COLUMNS, cd .." the column list and the table directory again.
# The host stand-in asks for the info panel after each step; its version
# query is counted with the rest.
# Usage: run_bench.sh QUARRY_HOST PLUGIN_MODULE ORACLE_HOME [ROUNDS]
set -euo pipefail
host=$1 plugin=$2 home=$3 rounds=${4:-20}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export ORACLE_HOME=$home OCISIM_DATA_DIR=$work/data QUARRY_REGISTRY_DIR=$work/registry
unset TNS_ADMIN OCIDLL ORACLEHOME
mkdir -p "$OCISIM_DATA_DIR"

# play USER PASSWORD ALIAS PATH "STEP1|STEP2" N: prints "<statements> <wall ns> <cpu ms>"
# (cpu = user + system time of the host process, which runs the plugin and
# the stand-in's SQLite in-process; it is steadier than wall time on a busy
# machine).
play() {
  local user=$1 password=$2 alias=$3 path=$4 round=$5 n=$6 step start end cpu
  {
    echo "open"
    echo "answer dialog 5=\"$user\" 6=\"$password\" 7=\"$alias\""
    IFS='\' read -ra steps <<<"$path"
    for step in "${steps[@]}"; do echo "cd \"$step\""; done
    IFS='|' read -ra pair <<<"$round"
    for ((i = 0; i < n; i++)); do
      echo "cd \"${pair[0]}\""
      echo "cd \"${pair[1]}\""
    done
  } >"$work/play.qh"
  start=$(date +%s%N)
  local TIMEFORMAT='%3U %3S' status=0
  { time OCISIM_TRACE=1 "$host" -e "load $plugin" "$work/play.qh" >"$work/play.out" 2>"$work/play.trace" ||
      status=$?; } 2>"$work/play.time"
  end=$(date +%s%N)
  if [ "$status" -ne 0 ]; then
    echo "bench: the play for $path failed" >&2
    cat "$work/play.out" "$work/play.trace" >&2
    exit 1
  fi
  cpu=$(awk '{ printf "%d", ($1 + $2) * 1000 }' "$work/play.time")
  echo "$(grep -c '^ocisim: query:' "$work/play.trace") $((end - start)) $cpu"
}

# best USER PASSWORD ALIAS PATH ROUND N: the fastest of three plays,
# "<statements> <wall ns> <cpu ms>"
# (the minimum is what the work costs; slower plays met a busy machine).
best() {
  local s t c bs=0 bt=0 bc=0 k
  for k in 1 2 3; do
    read -r s t c < <(play "$@")
    if [ "$k" = 1 ] || [ "$t" -lt "$bt" ]; then bt=$t; fi
    if [ "$k" = 1 ] || [ "$c" -lt "$bc" ]; then bc=$c; fi
    bs=$s
  done
  echo "$bs $bt $bc"
}

# cost USER PASSWORD ALIAS PATH ROUND: "<statements> <wall us> <cpu us>" per round.
cost() {
  play "$@" 0 >/dev/null  # builds the database on first use
  local s0 t0 c0 s1 t1 c1
  read -r s0 t0 c0 < <(best "$@" 0)
  read -r s1 t1 c1 < <(best "$@" "$rounds")
  echo "$(((s1 - s0) / rounds)) $(((t1 - t0) / rounds / 1000)) $(((c1 - c0) * 1000 / rounds))"
}

row() { printf '%-44s %10s %12s %12s\n' "$@"; }

report() {
  local label=$1 user=$2 password=$3 alias=$4 path=$5 table=${5##*\\} s t c
  row "$label" "" "" ""
  read -r s t c < <(cost "$user" "$password" "$alias" "$path" "..|$table")
  row "  owner list + table directory" "$s" "$t" "$c"
  read -r s t c < <(cost "$user" "$password" "$alias" "$path" ".COLUMNS|..")
  row "  .COLUMNS + table directory" "$s" "$t" "$c"
}

row "one round of" "statements" "wall (us)" "cpu (us)"
report "DEMO Tables\\SCOTT\\EMP as SYSTEM" system manager DEMO 'Tables\SCOTT\EMP'
report "DEMO Tables\\SCOTT\\EMP as SCOTT" scott tiger DEMO 'Tables\SCOTT\EMP'
report "SYNTH_1_200 Tables\\SYNTH\\T00001 as SYSTEM" system manager SYNTH_1_200 'Tables\SYNTH\T00001'
echo "($rounds rounds each, best of three plays; statements counted through OCISIM_TRACE)"
