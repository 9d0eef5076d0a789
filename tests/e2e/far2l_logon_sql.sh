#!/usr/bin/env bash
# In far2l: open Quarry, log on through the real logon dialog to the demo
# database, see the connection in the info panel, run a query typed on the
# command line and read its result in far2l's editor, then disconnect.
# The network aliases of tnsnames.ora reach far2l's own dialog history.
# Usage: far2l_logon_sql.sh PATH/TO/Quarry.far-plug-mb ORACLE_HOME
source "$(dirname "$0")/far2l_lib.sh"
f2l_require
f2l_use_stand_in "$2"
mkdir -p "$F2L_DATA/tns"
printf 'DEMO = (DESCRIPTION = (ADDRESS = (PROTOCOL = TCP)(HOST = localhost)(PORT = 1521)))\nTEST.WORLD = (DESCRIPTION = (ADDRESS = (HOST = x)))\n' >"$F2L_DATA/tns/tnsnames.ora"
F2L_ENV+=("TNS_ADMIN=$F2L_DATA/tns")
f2l_start "$1"

f2l_open_plugin "Quarry manager"
f2l_wait_for "Oracle" 10 || f2l_fail "no Oracle panel"
# Entering a directory ("All objects", the sixth item) asks for the logon first.
f2l_keys Home Down Down Down Down Down
f2l_keys Enter
f2l_wait_for "Oracle Logon" 10 || f2l_fail "no logon dialog"
hst="$F2L_DIR/profile/.config/history/dialogs.hst"
grep -q 'SavedDialogHistory/TnsNamesHistory' "$hst" 2>/dev/null || f2l_fail "aliases not in far2l's history file"
grep -A1 'SavedDialogHistory/TnsNamesHistory' "$hst" | grep -q 'DEMO' || f2l_fail "alias DEMO not in the history"
f2l_keys -l system
f2l_keys Tab
f2l_keys -l manager
f2l_keys Enter
f2l_wait_for "PACKAGE BODY" 20 || f2l_fail "all objects did not list the object types"
# The info panel on the other side shows the connection.
f2l_keys C-l
f2l_wait_for "DEMO.WORLD" 10 || f2l_fail "global name not in the info panel"
f2l_wait_for "9.2.0.1.0" 5 || f2l_fail "server version not in the info panel"
f2l_keys C-l
# SQL on the command line; the result opens in the editor.
f2l_keys -l "select * from dual"
f2l_keys Enter
f2l_wait_for "1 rows fetched" 20 || f2l_fail "no query result in the editor"
f2l_wait_for "DUMMY" 2 || f2l_fail "no heading in the result"
f2l_keys Escape
sleep 1
f2l_wait_for "1Help" 10 || f2l_fail "did not return from the editor"
# Disconnect (Ctrl+F10) after the confirmation.
f2l_keys C-F10
f2l_wait_for "Do you wish to disconnect from Oracle" 10 || f2l_fail "no disconnect question"
f2l_keys Enter
f2l_keys C-l
f2l_wait_for "Not conected" 10 || f2l_fail "still connected after Ctrl+F10"
f2l_keys C-l
f2l_quit
rm -rf "$F2L_DATA"
echo "PASS: logon, command-line SQL and disconnect in far2l"
