#!/usr/bin/env bash
# The fault sweep: plays acceptance scripts through the host stand-in with
# the connection dropped at one server round trip after another, and checks
# what a user would meet after each drop:
#   - no crash and no exception into the host (quarry-host exit status 3),
#     no hang (a run ends within its time limit);
#   - at most one more error box in the action that met the drop than the
#     same action shows without it, and at most one on "..";
#   - ".." still leaves the listing, Alt+F10 logs on again and the action
#     then no longer meets a lost connection (quarry-host --fault-probe);
#   - no file left in the temporary folder that a run without the drop does
#     not leave, unless the plugin showed its path (work kept for the user),
#     and no partial "*.part" file anywhere.
#
# Usage: fault_sweep.sh BUILD_DIR [options] CASE.qh...
#   --all            every round trip of every case (the default)
#   --every K        every Kth round trip, starting at the first
#   --first N        also every round trip up to N (with --every)
#   --jobs J         runs at the same time (default 2)
#   --timeout S      seconds a run may take (default 60)
#   --keep DIR       keep each failed run's folder below DIR
# Prints one line per failed run and a summary; exit status 1 when a run
# failed.
set -uo pipefail

here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "$1" && pwd) || exit 2
shift
every=1 first=0 jobs=2 limit=60 keep=""
cases=()
while [ $# -gt 0 ]; do
  case $1 in
    --all) every=1 first=0 ;;
    --every) every=$2; shift ;;
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

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# One demo database for every run: built once, copied into each run.
pristine=$scratch/pristine
mkdir -p "$pristine/work"
(cd "$pristine/work" && OCISIM_DATA_DIR=$pristine/data ORACLE_HOME=$home QUARRY_REGISTRY_DIR=$pristine/registry \
   TMPDIR=$pristine/work "$host" -e "load $plugin" -e open -e 'answer dialog 5="scott" 6="tiger"' \
   -e 'key Alt+F10' -e close >/dev/null 2>&1)
[ -f "$pristine/data/demo.db" ] || { echo "fault sweep: the demo database could not be built" >&2; exit 2; }

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

# One faulted run: CASE N -> a result line "CASE N injected|missed ok|FAIL".
run_one() {
  local case_file=$1 n=$2 name
  name=$(basename "$case_file" .qh)
  local dir=$scratch/runs/$name.$n
  play "$case_file" "$dir" "drop@$n"
  local injected=missed
  [ -s "$dir/fault.log" ] && injected=injected
  local failures
  failures=$(check "$dir" "$scratch/clean/$name")
  if [ -n "$failures" ]; then
    echo "$name $n $injected FAIL"
    sed "s/^/  $name drop@$n: /" <<<"$failures" >&2
    if [ -n "$keep" ]; then mkdir -p "$keep" && cp -r "$dir" "$keep/"; fi
  else
    echo "$name $n $injected ok"
  fi
  rm -rf "$dir"
}
export -f play leftovers check run_one
export scratch pristine host plugin home limit keep

: >"$scratch/plan"
for case_file in "${cases[@]}"; do
  name=$(basename "$case_file" .qh)
  # A script that injects faults itself is its own test.
  if grep -q "fault=\|set oci-fault" "$case_file"; then continue; fi
  clean=$scratch/clean/$name
  play "$case_file" "$clean" ""
  leftovers "$clean" >"$clean/leftovers"
  trips=$(sed -n 's/^round_trips //p' "$clean/trips" 2>/dev/null)
  trips=${trips:-0}
  for ((n = 1; n <= trips; n++)); do
    if [ "$n" -le "$first" ] || [ $(((n - 1) % every)) -eq 0 ]; then echo "$case_file $n" >>"$scratch/plan"; fi
  done
  echo "$name: $trips round trips" >&2
done

xargs -P "$jobs" -L 1 bash -c 'run_one "$0" "$1"' <"$scratch/plan" >"$scratch/results"

runs=$(wc -l <"$scratch/results")
injected=$(grep -c ' injected ' "$scratch/results")
survived=$(grep -c ' injected ok$' "$scratch/results")
failed=$(grep -c ' FAIL$' "$scratch/results")
echo "fault sweep: ${#cases[@]} scripts, $runs runs, $injected faults injected, $survived survived, $failed runs failed"
[ "$failed" -eq 0 ]
