#!/usr/bin/env bash
# In far2l: log on as SYSTEM, open Tables, SCOTT, EMP: the table directory
# shows its detail directories and record; open .COLUMNS: the columns with
# their types, a NOT NULL column marked "N"; open the column SAL: its record
# with the column comment and its grants directory.
# Usage: far2l_tables.sh PATH/TO/Quarry.far-plug-mb ORACLE_HOME
source "$(dirname "$0")/far2l_lib.sh"
f2l_require
[ -f "$2/lib/libclntsh.so" ] || { echo "no client stand-in in $2"; exit $F2L_SKIP; }
data=$(mktemp -d /tmp/quarry-e2e-data.XXXXXX)
mkdir -p "$data/db"
F2L_ENV=("ORACLE_HOME=$2" "OCISIM_DATA_DIR=$data/db")
f2l_start "$1"
fail() { f2l_screen; echo "FAIL: $*"; rm -rf "$data"; exit 1; }

# Puts the cursor on the panel item named $1 with far2l's quick search.
find_item() {
  f2l_keys M-"${1:0:1}"
  [ ${#1} -gt 1 ] && f2l_keys -l "${1:1}"
  f2l_keys Escape
  sleep 0.5
}

f2l_open_plugin "Quarry manager"
f2l_wait_for "Oracle" 10 || fail "no Oracle panel"
# Entering a directory asks for the logon first.
find_item Tables
f2l_keys Enter
f2l_wait_for "Oracle Logon" 10 || fail "no logon dialog"
f2l_keys -l system
f2l_keys Tab
f2l_keys -l manager
f2l_keys Enter
f2l_wait_for ".PARTITIONED TABLES" 20 || fail "the tables root does not show its counted directories"
f2l_wait_for "SCOTT" 2 || fail "no owner SCOTT in the tables root"
find_item SCOTT
f2l_keys Enter
f2l_wait_for "SALGRADE" 10 || fail "SCOTT's tables are not listed"
find_item EMP
f2l_keys Enter
f2l_wait_for ".REF BY CONSTRAINTS" 20 || fail "the table directory of EMP has no detail directories"
f2l_wait_for "AVG_ROW_LEN" 5 || fail "the table directory of EMP has no record"
find_item .COLUMNS
f2l_keys Enter
f2l_wait_for "HIREDATE" 10 || fail "the columns of EMP are not listed"
f2l_wait_for "VARCHAR2" 2 || fail "the column list shows no types"
find_item SAL
f2l_wait_for "Monthly salary" 5 || fail "the status line does not show the column comment"
f2l_keys Enter
f2l_wait_for "DATA_PRECISION" 10 || fail "the column SAL shows no record"
f2l_wait_for ".GRANTEE" 2 || fail "the column SAL shows no grants directory"
f2l_quit
rm -rf "$data"
echo "PASS: tables, a table directory, its columns and a column in far2l"
