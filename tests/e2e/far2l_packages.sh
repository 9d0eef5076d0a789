#!/usr/bin/env bash
# In far2l: log on as SCOTT through Packages, open the package EMP_PKG (its
# detail directories in upper case, its routines in lower case) and the
# argument list of its overloaded routine "hire": a header line per
# overload and the arguments of each, overload 1 before overload 2.
# Usage: far2l_packages.sh PATH/TO/Quarry.far-plug-mb ORACLE_HOME
source "$(dirname "$0")/far2l_lib.sh"
f2l_require
f2l_use_stand_in "$2"
f2l_start "$1"

f2l_open_and_log_on Packages scott tiger
f2l_wait_for "SCOTT" 20 || f2l_fail "packages did not list their owners"
f2l_find_item SCOTT
f2l_keys Enter
f2l_wait_for "PAY_CONST" 10 || f2l_fail "no PAY_CONST among SCOTT's packages"
f2l_wait_for "EMP_PKG" 2 || f2l_fail "no EMP_PKG among SCOTT's packages"
f2l_find_item EMP_PKG
f2l_keys Enter
f2l_wait_for "count_emps" 10 || f2l_fail "EMP_PKG does not show its routines in lower case"
f2l_wait_for ".GRANTEE" 2 || f2l_fail "EMP_PKG does not show its grants"
f2l_wait_for ".OBJECT SIZE" 2 || f2l_fail "EMP_PKG does not show its size directory"
f2l_find_item hire
f2l_keys Enter
f2l_wait_for "..P_JOB" 10 || f2l_fail "the argument list of hire does not show P_JOB"
f2l_wait_for "PROCEDUE" 2 || f2l_fail "no header line in the argument list"
f2l_wait_for "In Out" 2 || f2l_fail "the argument list has not its own columns"
# Overload 1 (two arguments) comes before overload 2 (three).
screen=$(f2l_screen)
first=$(grep -anF '..P_DEPTNO' <<<"$screen" | head -1 | cut -d: -f1)
job=$(grep -anF '..P_JOB' <<<"$screen" | head -1 | cut -d: -f1)
[ -n "$first" ] && [ -n "$job" ] && [ "$first" -lt "$job" ] || f2l_fail "overload 1 is not listed before overload 2"
[ "$(grep -acF 'PROCEDUE' <<<"$screen")" -eq 2 ] || f2l_fail "not one header line per overload"
f2l_keys C-PageUp
f2l_wait_for "count_emps" 10 || f2l_fail "Ctrl+PgUp did not return to the package"
f2l_quit
rm -rf "$F2L_DATA"
echo "PASS: packages, a package and a routine's argument list in far2l"
