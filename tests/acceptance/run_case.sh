#!/usr/bin/env bash
# Plays one acceptance script through the host stand-in and compares the
# transcript with the expected one.  QUARRY_UPDATE_GOLDEN=1 rewrites it.
# Usage: run_case.sh QUARRY_HOST PLUGIN_MODULE CASE.qh [ORACLE_HOME]
# With an ORACLE_HOME (the client stand-in's), the plugin reaches a fresh
# copy of the demo database made for this run.
set -euo pipefail
host=$1 plugin=$2 case_file=$3 oracle_home=${4:-}
expected=${case_file%.qh}.expected
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export QUARRY_REGISTRY_DIR="$work/registry"
# Temporary files (and the kept user script) stay inside this run.
export TMPDIR="$work/tmp"
mkdir -p "$TMPDIR"
# A case may make temporary files impossible ("#@ TMPDIR=unusable"): /proc
# is a folder no one (not even root) can create a file in.
if grep -q "^#@ TMPDIR=unusable" "$case_file"; then export SQLITE_TMPDIR="$TMPDIR" TMPDIR=/proc; fi
unset ORACLE_HOME TNS_ADMIN OCIDLL ORACLEHOME
if [ -n "$oracle_home" ]; then
  export ORACLE_HOME="$oracle_home"
  export OCISIM_DATA_DIR="$work/data"
  mkdir -p "$OCISIM_DATA_DIR"
  # The stand-in's logons and OCI7 logoffs, for cases that show them.
  export OCISIM_CALL_LOG="$work/oci-calls.log"
fi
# A case may fix the stand-in's clock with a line "#@ OCISIM_SYSDATE=YYYY-MM-DD HH:MM:SS",
# so what it creates carries a date its transcript can show.
sysdate=$(sed -n 's/^#@ OCISIM_SYSDATE=//p' "$case_file")
if [ -n "$sysdate" ]; then export OCISIM_SYSDATE="$sysdate"; fi
# Files a case needs (its own Tools folder, say) come from CASE.files/,
# copied into the run's folder, which is also the current directory.
# Their times are fixed, so listings of them read the same in every run.
if [ -d "${case_file%.qh}.files" ]; then
  cp -r "${case_file%.qh}.files/." "$work/"
  find "$work" -mindepth 1 -exec touch -h -d '2003-03-15 10:00:00 UTC' {} +
fi
status=0
(cd "$work" && "$host" -e "load $plugin" "$case_file") >"$work/out.raw" 2>&1 || status=$?
# The module's location is the only thing that differs between machines.
sed -e "s|$plugin|PLUGIN|g" -e "s|$(dirname "$plugin")/|PLUGINDIR/|g" -e "s|$work|WORK|g" -e "s|${oracle_home:-@none@}|ORACLE_HOME|g" \
    -e 's|file="[^"]*/SQL[^"]*"|file="TEMP"|' -e 's|/PAR[0-9A-Fa-f]\{8\}|/PARXXXXXXXX|g' -e 's|WORK/tmp/SQL[0-9a-f]\{8\}\.sql|WORK/tmp/SQLXXXXXXXX.sql|g' -e 's|Production on [A-Z][a-z]* [A-Z][a-z]* [0-9]* [0-9:]* [0-9]*|Production on DATE|' "$work/out.raw" >"$work/out"
echo "exit $status" >>"$work/out"
if [ "${QUARRY_UPDATE_GOLDEN:-0}" = 1 ]; then
  cp "$work/out" "$expected"
  echo "updated $expected"
  exit 0
fi
if ! diff -u "$expected" "$work/out"; then
  echo "FAIL: transcript of $(basename "$case_file") differs" >&2
  exit 1
fi
