#!/usr/bin/env bash
# In far2l: a command typed while not logged on stays on the command line
# after "Not logged on!" (far2l clears it unless the plugin leaves it).
# Usage: far2l_session_safety.sh PATH/TO/Quarry.far-plug-mb ORACLE_HOME
source "$(dirname "$0")/far2l_lib.sh"
f2l_require
f2l_use_stand_in "$2"
f2l_start "$1"

f2l_open_plugin "Quarry manager"
f2l_wait_for "Oracle" 10 || f2l_fail "no Oracle panel"
f2l_keys -l "select 'kept' from dual"
f2l_keys Enter
f2l_wait_for "Not logged on!" 10 || f2l_fail "no 'Not logged on!' box"
f2l_keys Enter
sleep 1
f2l_screen | grep -aqF "select 'kept' from dual" || f2l_fail "the command line lost the command"
f2l_quit
rm -rf "$F2L_DATA"
echo "PASS: a command that could not run stays on far2l's command line"
