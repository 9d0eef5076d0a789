#!/usr/bin/env bash
# In far2l: F1 in Quarry's panel opens far2l's help viewer on Quarry's own
# help file: the contents page at the root, the "Tables" topic inside
# Tables; in the instance parameters a parameter's own topic in zoZaze.hlf,
# and on ".." the parameters' topic (far2l finds topics in any letter case).
# Esc returns to the panel.
# Usage: far2l_help.sh PATH/TO/Quarry.far-plug-mb ORACLE_HOME
source "$(dirname "$0")/far2l_lib.sh"
f2l_require
f2l_use_stand_in "$2"
f2l_start "$1"

f2l_open_plugin "Quarry manager"
f2l_wait_for "Oracle" 10 || f2l_fail "no Oracle panel"
f2l_keys F1
f2l_wait_for "An Oracle database as a file system" 10 || f2l_fail "F1 at the root did not show Quarry's contents"
f2l_wait_for "Logging on" 2 || f2l_fail "the contents page lacks its links"
f2l_keys Escape
f2l_wait_for "Oracle" 5 || f2l_fail "Esc did not return to the panel"
f2l_find_item "Tables"
f2l_keys Enter
f2l_wait_for "Oracle Logon" 10 || f2l_fail "no logon dialog"
f2l_keys -l system
f2l_keys Tab
f2l_keys -l manager
f2l_keys Enter
f2l_wait_for "SCOTT" 20 || f2l_fail "the tables' owners are not listed"
f2l_keys F1
f2l_wait_for "The tables you may access, by owner" 10 || f2l_fail "F1 in Tables did not show the Tables topic"
f2l_keys Escape
sleep 0.5
f2l_keys Home
f2l_keys Enter
f2l_wait_for ".Instance parameters" 10 || f2l_fail "'..' did not return to the root"
f2l_find_item ".Instance parameters"
f2l_keys Enter
f2l_wait_for ".PARAMETERS UNDOCUMENTED" 20 || f2l_fail "the instance root is not listed"
f2l_find_item ".PARAMETERS"
f2l_keys Enter
f2l_wait_for "db_block_size" 10 || f2l_fail "the parameters are not listed"
f2l_find_item "db_block_size"
f2l_keys F1
f2l_wait_for "Size of a database block" 10 || f2l_fail "F1 on a parameter did not show its zoZaze.hlf topic"
f2l_keys Escape
sleep 0.5
f2l_keys Home
f2l_keys F1
f2l_wait_for "The state of the running instance" 10 || f2l_fail "F1 on '..' did not show the parameters' topic"
f2l_keys Escape
sleep 0.5
f2l_quit
echo "PASS: F1 opens Quarry's help at the topic for where the user stands"
