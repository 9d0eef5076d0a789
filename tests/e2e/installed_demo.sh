#!/usr/bin/env bash
# Against the installed packages, not the build tree: far2l finds the system
# plugin (quarry-far2l) by itself, and the demo package's Oracle home serves
# the demo database.  Logs on, lists a schema's tables, runs a query.
# Usage: installed_demo.sh [ORACLE_HOME]   (default: the demo package's home)
source "$(dirname "$0")/far2l_lib.sh"
f2l_require
home=${1:-/usr/lib/quarry-demo/oracle}
[ -f /usr/lib/far2l/Plugins/quarry/plug/Quarry.far-plug-mb ] || { echo "FAIL: the plugin is not installed"; exit 1; }
f2l_use_stand_in "$home"
F2L_ENV+=("TNS_ADMIN=$home/network/admin")
f2l_start ""

f2l_open_plugin "Quarry manager"
f2l_wait_for "Oracle" 10 || f2l_fail "no Oracle panel from the installed plugin"
f2l_find_item "Tables"
f2l_keys Enter
f2l_wait_for "Oracle Logon" 10 || f2l_fail "no logon dialog"
f2l_keys -l scott
f2l_keys Tab
f2l_keys -l tiger
f2l_keys Enter
f2l_wait_for "SCOTT" 20 || f2l_fail "the tables' owners are not listed"
f2l_keys -l "select ename from emp where empno = 7839"
f2l_keys Enter
f2l_wait_for "KING" 20 || f2l_fail "no query result in the editor"
f2l_keys Escape
sleep 1
f2l_quit
echo "PASS: the installed packages show the demo database in far2l"
