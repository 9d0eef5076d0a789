#!/usr/bin/env bash
# In far2l, as a user with the packaged Tools folder beside the module: log
# on as SCOTT; F2 opens "The Custom Utilities", Enter on "My invalid
# objects" runs the shipped script through the SQL*Plus stand-in in far2l's
# terminal, and its spool file opens in the editor (and is gone after Esc).
# Then F5 on Users -> SCOTT, a file name, Run: the export stand-in runs in
# the terminal, the log opens with "Export terminated successfully", the dump
# and log are in the passive panel's folder and no parameter file is left in
# the temporary folder.
# Usage: far2l_tools_export.sh PATH/TO/Quarry.far-plug-mb ORACLE_HOME
source "$(dirname "$0")/far2l_lib.sh"
f2l_require
f2l_use_stand_in "$2"
[ -x "$2/bin/sqlplus" ] && [ -x "$2/bin/exp" ] || { echo "no SQL*Plus or exp stand-in in $2/bin"; exit $F2L_SKIP; }
[ -f "$(dirname "$1")/Tools/Tools.ini" ] || { echo "no Tools folder beside $1"; exit $F2L_SKIP; }
f2l_start "$1" "$F2L_DATA"
OUT="$F2L_DIR/start"
TOOLS="$F2L_DIR/plugins/quarry/plug/Tools"
cp -r "$(dirname "$1")/Tools" "$TOOLS"

f2l_open_and_log_on Users scott tiger
f2l_wait_for "SCOTT" 20 || f2l_fail "no user SCOTT"

f2l_keys F2
f2l_wait_for "The Custom Utilities" 10 || f2l_fail "no tools menu"
f2l_wait_for "My invalid objects" 2 || f2l_fail "the menu lacks the shipped entries"
f2l_keys Enter
f2l_wait_for "Invalid objects of the current user" 30 || f2l_fail "the spool file did not open"
f2l_wait_for "Spool File" 2 || f2l_fail "the editor is not titled Spool File"
f2l_keys Escape
sleep 1
ls "$TOOLS" | grep -qi '\.lst$' && f2l_fail "the spool file was not deleted"

f2l_find_item SCOTT
f2l_keys F5
f2l_wait_for "Export objects into" 10 || f2l_fail "no export dialog"
f2l_keys Tab
f2l_keys -l scott
f2l_keys M-r
f2l_wait_for "Export's results" 30 || f2l_fail "the export's log did not open"
f2l_wait_for "exporting table" 2 || f2l_fail "the log does not list the tables"
# The log's last line is below the first screen.
f2l_keys C-End
f2l_wait_for "Export terminated successfully" 5 || f2l_fail "the log does not end with success"
f2l_keys Escape
sleep 1
[ -f "$OUT/scott.DAT" ] || f2l_fail "no dump scott.DAT in the passive panel's folder"
[ -f "$OUT/scott.LOG" ] || f2l_fail "no log scott.LOG in the passive panel's folder"
head -1 "$OUT/scott.DAT" | grep -q "QUARRY EXPORT STAND-IN DUMP" || f2l_fail "the dump is not the stand-in's"
if ls "$F2L_DATA/tmp" | grep -q '^PAR'; then f2l_fail "a parameter file was left: $(ls "$F2L_DATA/tmp")"; fi
f2l_quit
echo "PASS: F2 ran a shipped script and showed its spool; F5 exported SCOTT and showed the log"
