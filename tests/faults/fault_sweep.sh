#!/usr/bin/env bash
# The fault sweep: plays acceptance scripts through the host stand-in with
# a fault injected at one server round trip after another (by default the
# connection dropped; also a chosen server error or a stall), and checks
# what a user would meet after each fault:
#   - no crash and no exception into the host (quarry-host exit status 3),
#     no hang (a run ends within its time limit);
#   - at most one more error box in the action that met the fault than the
#     same action shows without it, and at most one on "..";
#   - ".." still leaves the listing, Alt+F10 logs on again and the action
#     then no longer meets a lost connection (quarry-host --fault-probe);
#   - no file left in the temporary folder that a run without the fault does
#     not leave, unless the plugin showed its path (work kept for the user),
#     and no partial "*.part" file anywhere.
#
# Usage: fault_sweep.sh BUILD_DIR [options] CASE.qh...
#   --fault WHAT     drop (the default), ORA-nnnnn or stall=MS (OCISIM_FAULT)
#   --all            every round trip of every case (the default)
#   --every K        every Kth round trip, starting at the first
#   --offset O       with --every: starting at round trip O + 1
#   --first N        also every round trip up to N (with --every)
#   --at N,N...      only these round trips
#   --jobs J         runs at the same time (default 2)
#   --timeout S      seconds a run may take (default 60)
#   --keep DIR       keep each failed run's folder below DIR
#   --state DIR      keep the demo database, the runs without faults and the
#                    results in DIR: run again with the same DIR, the sweep
#                    goes on where it stopped (runs already done are not
#                    played again)
# Prints one line per failed run and a summary; exit status 1 when a run
# failed.
set -uo pipefail

here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "$1" && pwd) || exit 2
shift
every=1 offset=0 first=0 at="" jobs=2 limit=60 keep="" fault=drop state=""
cases=()
while [ $# -gt 0 ]; do
  case $1 in
    --all) every=1 first=0 ;;
    --fault) fault=$2; shift ;;
    --every) every=$2; shift ;;
    --offset) offset=$2; shift ;;
    --at) at=",$2,"; shift ;;
    --state) state=$2; shift ;;
    --first) first=$2; shift ;;
    --jobs) jobs=$2; shift ;;
    --timeout) limit=$2; shift ;;
    --keep) keep=$2; shift ;;
    *) cases+=("$(cd "$(dirname "$1")" && pwd)/$(basename "$1")") ;;
  esac
  shift
done
host=$build/sim/host/quarry-host
plugin=$build/src/Quarry.far-plug-mb
home=$build/ocisim/home
for f in "$host" "$plugin" "$home/lib/libclntsh.so"; do
  [ -e "$f" ] || { echo "fault sweep: $f is missing (build quarry-host, quarry_plugin and ocisim)" >&2; exit 2; }
done

case $fault in
  drop | ORA-[0-9][0-9][0-9][0-9][0-9] | stall=[0-9]*) ;;
  *) echo "fault sweep: --fault takes drop, ORA-nnnnn or stall=MS" >&2; exit 2 ;;
esac
if [ -n "$state" ]; then
  mkdir -p "$state" && scratch=$(cd "$state" && pwd) || exit 2
  rm -rf "$scratch/runs"
  trap 'rm -rf "$scratch/runs"' EXIT
else
  scratch=$(mktemp -d)
  trap 'rm -rf "$scratch"' EXIT
fi
touch "$scratch/results" "$scratch/failures"

# One demo database for every run: built once, copied into each run.
pristine=$scratch/pristine
if [ ! -f "$pristine/data/demo.db" ]; then
  rm -rf "$pristine"
  mkdir -p "$pristine/work"
  (cd "$pristine/work" && OCISIM_DATA_DIR=$pristine/data ORACLE_HOME=$home QUARRY_REGISTRY_DIR=$pristine/registry \
     TMPDIR=$pristine/work "$host" -e "load $plugin" -e open -e 'answer dialog 5="scott" 6="tiger"' \
     -e 'key Alt+F10' -e close >/dev/null 2>&1)
  [ -f "$pristine/data/demo.db" ] || { echo "fault sweep: the demo database could not be built" >&2; exit 2; }
fi

# Runs CASE once in a fresh folder DIR, with the fault plan PLAN ("" none).
# Leaves DIR/out (transcript, then "exit N"), DIR/fault.log and DIR/trips.
play() {
  local case_file=$1 dir=$2 plan=$3
  mkdir -p "$dir/tmp" "$dir/data"
  cp -r "$pristine/data/." "$dir/data/"
  if [ -d "${case_file%.qh}.files" ]; then cp -r "${case_file%.qh}.files/." "$dir/"; fi
  local tmpdir=$dir/tmp
  # A case that makes temporary files impossible keeps that.
  if grep -q "^#@ TMPDIR=unusable" "$case_file"; then tmpdir=/proc; fi
  local sysdate extra=()
  sysdate=$(sed -n 's/^#@ OCISIM_SYSDATE=//p' "$case_file")
  if [ -n "$sysdate" ]; then extra=(OCISIM_SYSDATE="$sysdate"); fi
  : >"$dir/fault.log"
  local status=0
  (cd "$dir" && env -u ORACLE_HOME -u TNS_ADMIN -u OCIDLL -u ORACLEHOME \
      QUARRY_REGISTRY_DIR="$dir/registry" TMPDIR="$tmpdir" SQLITE_TMPDIR="$dir/tmp" ORACLE_HOME="$home" \
      OCISIM_DATA_DIR="$dir/data" OCISIM_CALL_LOG="$dir/oci-calls.log" OCISIM_ROUND_TRIPS_FILE="$dir/trips" \
      OCISIM_FAULT="$plan" OCISIM_FAULT_LOG="$dir/fault.log" "${extra[@]}" \
      timeout -k 5 "$limit" "$host" --fault-probe "$dir/fault.log" -e "load $plugin" "$case_file") \
    >"$dir/out" 2>&1 || status=$?
  echo "exit $status" >>"$dir/out"
}

# The files a run left in its temporary folder, random parts of names masked.
leftovers() {
  [ -d "$1/tmp" ] || return 0
  (cd "$1/tmp" && find . -type f | sed -e 's|^\./||' -e 's/[0-9A-Za-z]\{8,\}/*/g' | sort)
}

# Checks one faulted run against the run without faults; prints the
# failures, one a line.
check() {
  local dir=$1 clean=$2 out=$1/out
  local status
  status=$(tail -n 1 "$out" | sed 's/^exit //')
  case $status in
    3) echo "crash or exception into the host: $(grep -m1 '^error plugin' "$out")" ;;
    124 | 137) echo "no end within ${limit} s" ;;
  esac
  grep '^error probe: ' "$out" | sed 's/^error probe: //'
  local fault line boxes clean_boxes
  fault=$(grep -m1 '^probe fault line=' "$out")
  if [ -n "$fault" ]; then
    line=$(sed 's/^probe fault line=\([0-9]*\) .*/\1/' <<<"$fault")
    boxes=${fault##*error-boxes=}
    clean_boxes=$(sed -n "s/^action-boxes line=$line error-boxes=//p" "$clean/out" | head -n 1)
    if [ "$boxes" -gt $((${clean_boxes:-0} + 1)) ]; then
      echo "$boxes error boxes in the action of line $line (${clean_boxes:-0} without the fault)"
    fi
  fi
  # Files the run without the fault does not leave are kept work only when
  # the plugin told the user where they are.
  local f
  while read -r f; do
    [ -n "$f" ] || continue
    grep -qxF "$f" "$clean/leftovers" && continue
    local real
    real=$(cd "$dir/tmp" && find . -type f | sed 's|^\./||' | while read -r r; do
      [ "$(sed 's/[0-9A-Za-z]\{8,\}/*/g' <<<"$r")" = "$f" ] && echo "$r"; done | head -n 1)
    grep -q "message-line .*${real##*/}" "$out" && continue
    echo "file left in the temporary folder: $f"
  done < <(leftovers "$dir")
  # Partial script files (a user's own file may be named like one: it is
  # then there without the fault too).
  local p
  while read -r p; do
    [ -n "$p" ] || continue
    [ -e "$clean/${p#"$dir"/}" ] || echo "partial file left: ${p#"$dir"/}"
  done < <(find "$dir" -name '*.part' -not -path "$dir/data/*")
}

# One faulted run: CASE N -> a result line "FAULT CASE N injected|missed
# ok|FAIL" appended to the results (one short write: runs at the same time
# do not mix their lines), failures to the failures file.
run_one() {
  local case_file=$1 n=$2 name
  name=$(basename "$case_file" .qh)
  local dir=$scratch/runs/$name.$n
  play "$case_file" "$dir" "$fault@$n"
  local injected=missed
  [ -s "$dir/fault.log" ] && injected=injected
  local failures result
  failures=$(check "$dir" "$scratch/clean/$name")
  if [ -n "$failures" ]; then
    result="$fault $name $n $injected FAIL"
    sed "s/^/  $name $fault@$n: /" <<<"$failures" | tee -a "$scratch/failures" >&2
    if [ -n "$keep" ]; then mkdir -p "$keep" && cp -r "$dir" "$keep/"; fi
  else
    result="$fault $name $n $injected ok"
  fi
  echo "$result" >>"$scratch/results"
  rm -rf "$dir"
}
export -f play leftovers check run_one
export scratch pristine host plugin home limit keep fault

# The runs without faults are kept with the state: a case's clean run is
# played again only when it did not finish.
: >"$scratch/plan"
for case_file in "${cases[@]}"; do
  name=$(basename "$case_file" .qh)
  # A script that injects faults itself is its own test.
  if grep -q "fault=\|set oci-fault" "$case_file"; then continue; fi
  clean=$scratch/clean/$name
  if [ ! -f "$clean/leftovers" ]; then
    rm -rf "$clean"
    play "$case_file" "$clean" ""
    leftovers "$clean" >"$clean/leftovers.new" && mv "$clean/leftovers.new" "$clean/leftovers"
    rm -rf "$clean/data"
  fi
  trips=$(sed -n 's/^round_trips //p' "$clean/trips" 2>/dev/null)
  trips=${trips:-0}
  for ((n = 1; n <= trips; n++)); do
    if [ -n "$at" ]; then
      [[ $at == *",$n,"* ]] && echo "$case_file $n" >>"$scratch/plan"
    elif [ "$n" -le "$first" ] || { [ "$n" -gt "$offset" ] && [ $(((n - 1 - offset) % every)) -eq 0 ]; }; then
      echo "$case_file $n" >>"$scratch/plan"
    fi
  done
  echo "$name: $trips round trips" >&2
done

# Runs already done (a sweep resumed with --state) are not played again.
# The CASE-file -> result key: "FAULT NAME N".
awk -v fault="$fault" -v results="$scratch/results" 'FILENAME == results { done[$1 " " $2 " " $3] = 1; next }
  { n = split($1, p, "/"); name = p[n]; sub(/\.qh$/, "", name); if (!((fault " " name " " $2) in done)) print }' \
  "$scratch/results" "$scratch/plan" >"$scratch/todo"
planned=$(wc -l <"$scratch/plan")
todo=$(wc -l <"$scratch/todo")
if [ "$todo" -lt "$planned" ]; then echo "fault sweep: $((planned - todo)) of $planned runs already done" >&2; fi
xargs -r -P "$jobs" -L 1 bash -c 'run_one "$0" "$1"' <"$scratch/todo"

# The figures count the planned runs only (the results may hold others).
awk -v fault="$fault" '{ n = split($1, p, "/"); name = p[n]; sub(/\.qh$/, "", name); print fault " " name " " $2 }' \
  "$scratch/plan" | sort -u >"$scratch/planned"
awk -v planned="$scratch/planned" 'FILENAME == planned { want[$0] = 1; next } ($1 " " $2 " " $3) in want' \
  "$scratch/planned" "$scratch/results" |
  sort -u -k1,3 >"$scratch/counted"
runs=$(wc -l <"$scratch/counted")
injected=$(grep -c ' injected ' "$scratch/counted")
survived=$(grep -c ' injected ok$' "$scratch/counted")
failed=$(grep -c ' FAIL$' "$scratch/counted")
echo "fault sweep ($fault): ${#cases[@]} scripts, $runs runs, $injected faults injected, $survived survived, $failed runs failed"
[ "$failed" -eq 0 ]
