#!/usr/bin/env bash
# The export stand-in as the plugin and users run it: user and table mode,
# its parameter file (comments, lists over lines, abbreviations), and every
# failure with exp's messages and exit code, on a fresh demo database.
# Usage: exp_cases.sh ORACLE_HOME
set -uo pipefail
home=$1
exp="$home/bin/exp"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export OCISIM_DATA_DIR="$work/db" ORACLE_HOME="$home"
mkdir -p "$OCISIM_DATA_DIR"
cd "$work"
fail=0
check() {  # check NAME EXPECTED_EXIT ACTUAL_EXIT FILE TEXT...
  local name=$1 want=$2 got=$3 file=$4; shift 4
  [ "$got" = "$want" ] || { echo "FAIL $name: exit $got, expected $want"; cat "$file"; fail=1; }
  for text in "$@"; do
    grep -qF -- "$text" "$file" || { echo "FAIL $name: no '$text' in $(basename "$file")"; cat "$file"; fail=1; }
  done
}

# A user's schema, as the plugin writes its parameter file.
cat >p1.par <<'PAR'
COMPRESS=Y
CONSISTENT=N
CONSTRAINTS=Y
DIRECT=N
FULL=N
GRANTS=Y
INDEXES=Y
RECORD=Y
ROWS=Y
STATISTICS=ESTIMATE
FILE=scott.dat
LOG=scott.log
OWNER=("SCOTT")
PAR
"$exp" scott/tiger parfile=p1.par >out1 2>&1; rc=$?
check user 0 $rc scott.log "Connected to: " "About to export SCOTT's objects ..." \
  ". . exporting table                            EMP         14 rows exported" \
  ". . exporting table                           DEPT          4 rows exported" \
  "Export terminated successfully without warnings."
head -1 scott.dat | grep -q '^QUARRY EXPORT STAND-IN DUMP' || { echo "FAIL user: dump header"; fail=1; }
rows=$(awk '/^TABLE "SCOTT"."EMP"/{t=1;next} /^END TABLE/{t=0} t&&/^ROW /{n++} END{print n+0}' scott.dat)
[ "$rows" = 14 ] || { echo "FAIL user: $rows EMP rows in the dump"; fail=1; }
grep -qF "Export: Release 9.2.0.1.0" out1 || { echo "FAIL user: no header on the screen"; fail=1; }
grep -qF "Export: Release" scott.log && { echo "FAIL user: the log repeats the header"; fail=1; }

# Two users by a DBA; comments, a list over lines and abbreviated keywords.
cat >p2.par <<'PAR'
# both schemas
FILE=two.dat   # the dump
CONSIST=N      # abbreviated CONSISTENT
LOG=two.log
ROWS=N
OWNER=("SCOTT",
       "SYSTEM")
PAR
"$exp" system/manager parfile=p2.par >/dev/null 2>&1; rc=$?
check two-users 0 $rc two.log "About to export SCOTT's objects ..." "About to export SYSTEM's objects ..." \
  "Note: table data (rows) will not be exported" "Export terminated successfully without warnings."
grep -q ' rows exported' two.log && { echo "FAIL two-users: rows counted with ROWS=N"; fail=1; }

# Table mode with a table that does not exist: a warning, the rest exported.
"$exp" system/manager 'TABLES=("SCOTT"."EMP",scott.nosuch)' file=t.dat log=t.log >/dev/null 2>&1; rc=$?
check tables 0 $rc t.log "About to export specified tables via Conventional Path ..." "Current user changed to SCOTT" \
  "EMP         14 rows exported" "EXP-00011: SCOTT.NOSUCH does not exist" "Export terminated successfully with warnings."

# Keywords 9.2 does not know, values it does not take, files it cannot use.
printf 'FILE=x.dat\nPOINT_IN_TIME_RECOVER=N\n' >p3.par
"$exp" scott/tiger parfile=p3.par >out3 2>&1; rc=$?
check unknown-keyword 1 $rc out3 "LRM-00101: unknown parameter name 'POINT_IN_TIME_RECOVER'" \
  "EXP-00019: failed to process parameters, type 'EXP HELP=Y' for help" "EXP-00000: Export terminated unsuccessfully"
"$exp" scott/tiger rows=maybe >out4 2>&1; rc=$?
check bad-boolean 1 $rc out4 "LRM-00105: 'maybe' is not a legal Boolean for 'ROWS'"
"$exp" scott/tiger fil=x.dat >out11 2>&1; rc=$?
check ambiguous 1 $rc out11 "LRM-00107: parameter name abbreviation 'fil' is not unique"
"$exp" scott/tiger parfile=missing.par >out5 2>&1; rc=$?
check missing-parfile 1 $rc out5 "LRM-00109: could not open parameter file 'missing.par'"
"$exp" scott/tiger file=no/such/folder/x.dat log=nf.log >/dev/null 2>&1; rc=$?
check missing-folder 1 $rc nf.log "EXP-00028: failed to open no/such/folder/x.dat for write" "EXP-00000: Export terminated unsuccessfully"
"$exp" scott/tiger owner=scott tables=emp >out6 2>&1; rc=$?
check conflicting 1 $rc out6 "EXP-00026: conflicting modes specified"
"$exp" scott/tiger owner=system file=o.dat >out7 2>&1; rc=$?
check other-user 1 $rc out7 "EXP-00032: Non-DBAs may not export other users"
"$exp" scott/wrong file=w.dat >out8 2>&1; rc=$?
check logon 1 $rc out8 "EXP-00056: ORACLE error 1017 encountered" "ORA-01017"
"$exp" </dev/null >out9 2>&1; rc=$?
check no-userid 1 $rc out9 "Username: " "EXP-00030: Unexpected End-Of-File encountered while reading input"
"$exp" help=y >out10 2>&1; rc=$?
check help 0 $rc out10 "USERID must be the first parameter on the command line." "TRANSPORT_TABLESPACE export"
[ "$fail" = 0 ] && echo "PASS: exp stand-in cases"
exit $fail
