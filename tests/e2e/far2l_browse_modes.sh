#!/usr/bin/env bash
# In far2l: log on, enter "All objects" and a type, see its items with their
# description on the status line; switch the view modes of a listing and
# see the titles of its panel-mode set (the full-screen modes show the
# columns twice); climb back to the root.
# tmux cannot hand Ctrl+digit to a terminal program, so the modes are chosen
# from far2l's Left menu, whose entries are the same Ctrl+1 ... Ctrl+0
# commands, in that order.
# Usage: far2l_browse_modes.sh PATH/TO/Quarry.far-plug-mb ORACLE_HOME
source "$(dirname "$0")/far2l_lib.sh"
f2l_require
f2l_use_stand_in "$2"
f2l_start "$1"
header() { f2l_screen | sed -n '2p'; }
title() { f2l_screen | sed -n '1p'; }

f2l_open_plugin "Quarry manager"
f2l_wait_for "Oracle" 10 || f2l_fail "no Oracle panel"
# "All objects" is the sixth item of the root; entering it asks for the logon.
f2l_keys Home Down Down Down Down Down
f2l_keys Enter
f2l_wait_for "Oracle Logon" 10 || f2l_fail "no logon dialog"
f2l_keys -l system
f2l_keys Tab
f2l_keys -l manager
f2l_keys Enter
f2l_wait_for "PACKAGE BODY" 20 || f2l_fail "All objects did not list the object types"
header | grep -q "User Name" || f2l_fail "no 'User Name' title over the object types"
header | grep -q "Count" || f2l_fail "no 'Count' title over the object types"

# One type: its objects, named NAME.OWNER, with status and dates as the
# description shown on the status line of the current item.
# Rows start on screen line 3 with ".."; the types fit in one column.
row=$(f2l_screen | grep -an '^║/TABLE ' | head -1 | cut -d: -f1)
[ -n "$row" ] || f2l_fail "no TABLE type on screen"
f2l_keys Home
for ((i = 3; i < row; i++)); do tmux -L "$F2L_SOCKET" send-keys -t e2e Down; done
f2l_keys Enter
f2l_wait_for "Oracle\\All objects\\TABLE" 10 || f2l_fail "could not enter the TABLE type"
f2l_wait_for "EMP.SCOTT" 10 || f2l_fail "no EMP.SCOTT among the tables"
f2l_keys Home Down
f2l_wait_for "VALID CR 15-MAR-03" 5 || f2l_fail "no description on the status line"

# Back to the types, then through the ten view modes.
f2l_keys Home
f2l_keys Enter
f2l_wait_for "PACKAGE BODY" 10 || f2l_fail "did not return to the object types"
modes=(1 2 3 4 5 6 7 8 9 0)
for ((m = 0; m < 10; m++)); do
  f2l_keys F9
  f2l_keys Enter
  f2l_wait_for "Alternative full" 5 || f2l_fail "no Left menu"
  f2l_keys Home
  for ((k = 0; k < m; k++)); do tmux -L "$F2L_SOCKET" send-keys -t e2e Down; done
  f2l_keys Enter
  sleep 0.5
  mode=${modes[$m]}
  line=$(header)
  names=$(grep -o "User Name" <<<"$line" | wc -l)
  counts=$(grep -o "Count" <<<"$line" | wc -l)
  if [ "$mode" = 5 ] || [ "$mode" = 7 ]; then
    # Full screen: the pair twice, and no other panel beside it.
    [ "$names" = 2 ] && [ "$counts" = 2 ] || f2l_fail "mode $mode: expected the titles twice: $line"
    title | grep -q "/root" && f2l_fail "mode $mode is not full screen"
  else
    [ "$names" = 1 ] && [ "$counts" = 1 ] || f2l_fail "mode $mode: expected 'User Name' and 'Count': $line"
  fi
done

# Climb back to the root: the root list has no ".." and the plain title.
f2l_keys Home
f2l_keys Enter
f2l_wait_for ".Instance parameters" 10 || f2l_fail "did not climb back to the root"
title | grep -q "═ Oracle ═" || f2l_fail "the root title is not ' Oracle '"
f2l_quit
rm -rf "$F2L_DATA"
echo "PASS: All objects, a type, the view modes and the way back in far2l"
