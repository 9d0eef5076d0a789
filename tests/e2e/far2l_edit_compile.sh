#!/usr/bin/env bash
# In far2l: log on as SCOTT, view a procedure with F3, open it with F4, break it and save:
# the error box shows the compile error and the editor comes back at the
# error's line and column with the broken text; fix it and save: the
# procedure is valid.  Then Enter on a synonym's ".REFERENCED OBJECT"
# lands on the table, and ".." returns to the synonym.
# Usage: far2l_edit_compile.sh PATH/TO/Quarry.far-plug-mb ORACLE_HOME
source "$(dirname "$0")/far2l_lib.sh"
f2l_require
f2l_use_stand_in "$2"
f2l_start "$1"

# Entering a directory asks for the logon first.
f2l_open_and_log_on Procedures scott tiger
f2l_wait_for "SCOTT" 20 || f2l_fail "procedures did not list their owners"
f2l_find_item SCOTT
f2l_keys Enter
f2l_wait_for "RAISE_SALARY" 10 || f2l_fail "no RAISE_SALARY among SCOTT's procedures"
f2l_find_item RAISE_SALARY
# F3 shows the text in the viewer, which removes the temporary file when it closes.
f2l_keys F3
f2l_wait_for "END RAISE_SALARY;" 10 || f2l_fail "F3 did not show the procedure's text"
ls "$F2L_DATA/tmp" | grep -q '^SQL' || f2l_fail "the viewer's file is not in the temporary directory"
f2l_keys F10
sleep 1
f2l_wait_for "1Help" 10 || f2l_fail "did not return from the viewer"
if ls "$F2L_DATA/tmp" | grep -q '^SQL'; then f2l_fail "the viewer left its temporary file behind"; fi
f2l_keys F4
f2l_wait_for "CREATE OR REPLACE" 10 || f2l_fail "F4 did not open the procedure's text"
# The editor starts on the first line.  Break the UPDATE line (file line
# 4, source line 3) with a stray ")" at its end, save and leave.
f2l_wait_for "Line          1/5" 5 || f2l_fail "the editor did not start on the first line"
f2l_keys Down Down Down End
f2l_keys -l ")"
f2l_keys F2
f2l_keys Escape
sleep 1
f2l_wait_for "PLS-00103" 20 || f2l_fail "no compile error box"
f2l_wait_for 'Encountered the symbol ")"' 2 || f2l_fail "the error box does not name the stray symbol"
f2l_keys Enter
# The editor opens again at the error, with the broken text from the database.
f2l_wait_for "Line          4/5" 10 || f2l_fail "the editor did not reopen at the error's line"
f2l_wait_for "Col 70 " 2 || f2l_fail "the editor did not reopen at the error's column"
f2l_wait_for "WHERE EMPNO = P_EMPNO;)" 2 || f2l_fail "the reopened text is not the saved one"
# Fix it: the cursor stands on the stray symbol.
f2l_keys Delete
f2l_keys F2
f2l_keys Escape
sleep 1
f2l_wait_for "1Help" 20 || f2l_fail "did not return to the panel after the fix"
if f2l_screen | grep -aq "PLS-00103"; then f2l_fail "the fixed text still reports an error"; fi
# The procedure is valid now.
f2l_keys -l "select status from user_objects where object_name = 'RAISE_SALARY'"
f2l_keys Enter
f2l_wait_for "1 rows fetched" 20 || f2l_fail "no query result"
f2l_wait_for "VALID" 2 || f2l_fail "the procedure is not valid"
f2l_keys Escape
sleep 1
f2l_wait_for "1Help" 10 || f2l_fail "did not return from the results"
if ls "$F2L_DATA/tmp" | grep -q '^SQL'; then f2l_fail "temporary files left behind"; fi

# Enter on a synonym's referenced object lands on the table; ".." returns.
# Up two levels to the root.
f2l_keys Home Enter
f2l_wait_for "Oracle\Procedures " 10 || f2l_fail "did not climb to the owners"
f2l_keys Home Enter
f2l_wait_for "Synonyms" 10 || f2l_fail "did not climb to the root"
f2l_find_item Synonyms
f2l_keys Enter
f2l_wait_for "SCOTT" 10 || f2l_fail "synonyms did not list their owners"
f2l_find_item SCOTT
f2l_keys Enter
f2l_wait_for "EMPLOYEES" 10 || f2l_fail "no synonym EMPLOYEES"
f2l_find_item EMPLOYEES
f2l_keys Enter
f2l_wait_for ".REFERENCED OBJECT" 10 || f2l_fail "no referenced object in the synonym"
synonym=$(f2l_screen | grep -ao 'Oracle\\Synonyms\\SCOTT\\EMPLOYEES[^ ]*' | head -1)
f2l_keys Home Down
f2l_keys Enter
f2l_wait_for "Oracle\TABLES\SCOTT\EMP " 10 || f2l_fail "Enter on the referenced object did not land on the table"
f2l_wait_for ".COLUMNS" 5 || f2l_fail "the table's details are not listed"
# ".." goes back to the synonym, with the cursor on the item of the jump:
# Enter there jumps again.
f2l_keys Home Enter
f2l_wait_for "$synonym " 10 || f2l_fail "\"..\" did not return to the synonym"
f2l_keys Enter
f2l_wait_for "Oracle\TABLES\SCOTT\EMP " 10 || f2l_fail "the cursor did not come back to the referenced object"
f2l_quit
rm -rf "$F2L_DATA"
echo "PASS: edit, compile error, fix and the synonym jump in far2l"
