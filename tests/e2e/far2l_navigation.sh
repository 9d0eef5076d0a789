#!/usr/bin/env bash
# In far2l: ".." puts the cursor back on the directory it left.  far2l looks
# that item up by the last "/"-element of the plugin's directory, which
# Quarry's backslash paths never have; Quarry places the cursor itself on the
# redraw that follows.  Checked by pressing Enter right after each "..": it
# must open the directory just left again.
# Usage: far2l_navigation.sh PATH/TO/Quarry.far-plug-mb ORACLE_HOME
source "$(dirname "$0")/far2l_lib.sh"
f2l_require
f2l_use_stand_in "$2"
f2l_start "$1"

# True once TEXT has left the screen.
f2l_wait_gone() {
  local text=$1 limit=${2:-10} i
  for ((i = 0; i < limit * 5; i++)); do
    if ! f2l_screen | grep -aqF -- "$text"; then return 0; fi
    sleep 0.2
  done
  return 1
}

# ".." is the first item of every directory below the root.
f2l_up() {
  f2l_keys Home
  f2l_keys Enter
}

f2l_open_and_log_on Tables system manager
f2l_wait_for ".PARTITIONED TABLES" 20 || f2l_fail "the tables root is not listed"
f2l_find_item SCOTT
f2l_keys Enter
f2l_wait_for "SALGRADE" 10 || f2l_fail "SCOTT's tables are not listed"

# Up to the owners, then Enter: SCOTT again, not the first item.
f2l_up
f2l_wait_gone "SALGRADE" 10 || f2l_fail "'..' did not leave SCOTT's tables"
f2l_wait_for ".PARTITIONED TABLES" 10 || f2l_fail "'..' did not list the owners"
f2l_keys Enter
f2l_wait_for "SALGRADE" 10 || f2l_fail "after '..' the cursor was not on SCOTT"

# Up twice to the root, then Enter: Tables again.
f2l_up
f2l_wait_gone "SALGRADE" 10 || f2l_fail "'..' did not leave SCOTT's tables"
f2l_wait_for ".PARTITIONED TABLES" 10 || f2l_fail "'..' did not list the owners"
f2l_up
f2l_wait_gone ".PARTITIONED TABLES" 10 || f2l_fail "'..' did not go to the root"
f2l_wait_for ".Catalog by User" 10 || f2l_fail "'..' did not list the root"
f2l_keys Enter
f2l_wait_for ".PARTITIONED TABLES" 10 || f2l_fail "after '..' the cursor was not on Tables"
f2l_quit
rm -rf "$F2L_DATA"
echo "PASS: '..' lands on the directory it left in far2l"
