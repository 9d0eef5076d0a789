#!/usr/bin/env bash
# In far2l: a view edit the server refuses (a misspelled column, ORA-00904)
# shows the error and then opens the editor again on the user's own text,
# not the stored one; leaving it unchanged stores nothing and leaves no
# temporary file behind.
# Usage: far2l_edit_rejected_view.sh PATH/TO/Quarry.far-plug-mb ORACLE_HOME
source "$(dirname "$0")/far2l_lib.sh"
f2l_require
f2l_use_stand_in "$2"
f2l_start "$1"

f2l_open_and_log_on Views scott tiger
f2l_wait_for "SCOTT" 20 || f2l_fail "views did not list their owners"
f2l_find_item SCOTT
f2l_keys Enter
f2l_wait_for "EMP_NAMES_V" 10 || f2l_fail "no EMP_NAMES_V among SCOTT's views"
f2l_find_item EMP_NAMES_V
f2l_keys F4
f2l_wait_for 'CREATE OR REPLACE VIEW "SCOTT"."EMP_NAMES_V" AS' 10 || f2l_fail "F4 did not open the view's text"
# Add a condition on a column that does not exist, save and leave.
f2l_keys Down End
f2l_keys -l " WHERE ENAMEX IS NULL"
f2l_keys F2
f2l_keys Escape
sleep 1
f2l_wait_for "ORA-00904" 20 || f2l_fail "no error box for the misspelled column"
f2l_keys Enter
# The editor is back with the user's text, misspelling and all.
f2l_wait_for "WHERE ENAMEX IS NULL" 10 || f2l_fail "the editor did not reopen on the user's text"
f2l_wait_for "EMP_NAMES_V" 2 || f2l_fail "the reopened editor has lost its title"
# The cursor stands on the name the error gives.
f2l_wait_for "Line          2/2" 2 || f2l_fail "the editor did not reopen on the misspelled name's line"
f2l_wait_for "Col 42 " 2 || f2l_fail "the editor did not reopen at the misspelled name"
# Leave it unchanged: nothing is stored, nothing is left behind.
f2l_keys Escape
sleep 1
f2l_wait_for "1Help" 10 || f2l_fail "did not return to the panel"
f2l_keys -l "select text from user_views where view_name = 'EMP_NAMES_V'"
f2l_keys Enter
f2l_wait_for "1 rows fetched" 20 || f2l_fail "no query result"
f2l_wait_for "FROM SCOTT.EMP" 2 || f2l_fail "the view's text is not shown"
if f2l_screen | grep -aq "ENAMEX"; then f2l_fail "the refused text was stored"; fi
f2l_keys Escape
sleep 1
f2l_wait_for "1Help" 10 || f2l_fail "did not return from the results"
if ls "$F2L_DATA/tmp" | grep -q '^SQL'; then f2l_fail "temporary files left behind"; fi
f2l_quit
rm -rf "$F2L_DATA"
echo "PASS: a refused view edit reopens on the user's text in far2l"
