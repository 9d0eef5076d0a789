#!/usr/bin/env bash
# In far2l: log on as SCOTT through Packages, open the package EMP_PKG (its
# detail directories in upper case, its routines in lower case) and the
# argument list of its overloaded routine "hire": a header line per
# overload and the arguments of each, overload 1 before overload 2.
# Usage: far2l_packages.sh PATH/TO/Quarry.far-plug-mb ORACLE_HOME
source "$(dirname "$0")/far2l_lib.sh"
f2l_require
[ -f "$2/lib/libclntsh.so" ] || { echo "no client stand-in in $2"; exit $F2L_SKIP; }
data=$(mktemp -d /tmp/quarry-e2e-data.XXXXXX)
mkdir -p "$data/db" "$data/tmp"
F2L_ENV=("ORACLE_HOME=$2" "OCISIM_DATA_DIR=$data/db" "TMPDIR=$data/tmp")
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
find_item Packages
f2l_keys Enter
f2l_wait_for "Oracle Logon" 10 || fail "no logon dialog"
f2l_keys -l scott
f2l_keys Tab
f2l_keys -l tiger
f2l_keys Enter
f2l_wait_for "SCOTT" 20 || fail "packages did not list their owners"
find_item SCOTT
f2l_keys Enter
f2l_wait_for "PAY_CONST" 10 || fail "no PAY_CONST among SCOTT's packages"
f2l_wait_for "EMP_PKG" 2 || fail "no EMP_PKG among SCOTT's packages"
find_item EMP_PKG
f2l_keys Enter
f2l_wait_for "count_emps" 10 || fail "EMP_PKG does not show its routines in lower case"
f2l_wait_for ".GRANTEE" 2 || fail "EMP_PKG does not show its grants"
f2l_wait_for ".OBJECT SIZE" 2 || fail "EMP_PKG does not show its size directory"
find_item hire
f2l_keys Enter
f2l_wait_for "..P_JOB" 10 || fail "the argument list of hire does not show P_JOB"
f2l_wait_for "PROCEDUE" 2 || fail "no header line in the argument list"
f2l_wait_for "In Out" 2 || fail "the argument list has not its own columns"
# Overload 1 (two arguments) comes before overload 2 (three).
screen=$(f2l_screen)
first=$(grep -anF '..P_DEPTNO' <<<"$screen" | head -1 | cut -d: -f1)
job=$(grep -anF '..P_JOB' <<<"$screen" | head -1 | cut -d: -f1)
[ -n "$first" ] && [ -n "$job" ] && [ "$first" -lt "$job" ] || fail "overload 1 is not listed before overload 2"
[ "$(grep -acF 'PROCEDUE' <<<"$screen")" -eq 2 ] || fail "not one header line per overload"
f2l_keys C-PageUp
f2l_wait_for "count_emps" 10 || fail "Ctrl+PgUp did not return to the package"
f2l_quit
rm -rf "$data"
echo "PASS: packages, a package and a routine's argument list in far2l"
