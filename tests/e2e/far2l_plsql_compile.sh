#!/usr/bin/env bash
# In far2l against the stand-in's PL/SQL compiler: a stray word appended
# after the UPDATE statement of RAISE_SALARY is PLS-00103 at the END that
# follows (the error box names END, the editor comes back on the END line);
# removing the word compiles VALID, and the procedure runs from the command
# line with its DBMS_OUTPUT line in the results.
# Usage: far2l_plsql_compile.sh PATH/TO/Quarry.far-plug-mb ORACLE_HOME
source "$(dirname "$0")/far2l_lib.sh"
f2l_require
f2l_use_stand_in "$2"
f2l_start "$1"

f2l_open_and_log_on Procedures scott tiger
f2l_wait_for "SCOTT" 20 || f2l_fail "procedures did not list their owners"
f2l_find_item SCOTT
f2l_keys Enter
f2l_wait_for "RAISE_SALARY" 10 || f2l_fail "no RAISE_SALARY among SCOTT's procedures"
f2l_find_item RAISE_SALARY
f2l_keys F4
f2l_wait_for "CREATE OR REPLACE" 10 || f2l_fail "F4 did not open the procedure's text"
f2l_wait_for "Line          1/5" 5 || f2l_fail "the editor did not start on the first line"
# File line 4 is the UPDATE; append a stray word after its ';'.
f2l_keys Down Down Down End
f2l_keys -l " garbage"
f2l_keys F2
f2l_keys Escape
sleep 1
f2l_wait_for "PLS-00103" 20 || f2l_fail "no compile error box"
f2l_wait_for 'Encountered the symbol "END"' 2 || f2l_fail "the error box does not name END"
f2l_keys Enter
f2l_wait_for "Line          5/5" 10 || f2l_fail "the editor did not reopen on the END line"
f2l_wait_for "P_EMPNO; garbage" 2 || f2l_fail "the reopened text is not the saved one"
# Remove the word: back to the UPDATE line, delete to its end from the ';'.
f2l_keys Up End
for _ in 1 2 3 4 5 6 7 8; do f2l_keys BSpace; done
f2l_keys F2
f2l_keys Escape
sleep 1
f2l_wait_for "1Help" 20 || f2l_fail "did not return to the panel after the fix"
if f2l_screen | grep -aq "PLS-00103"; then f2l_fail "the fixed text still reports an error"; fi
f2l_keys -l "select status from user_objects where object_name = 'RAISE_SALARY'"
f2l_keys Enter
f2l_wait_for "1 rows fetched" 20 || f2l_fail "no query result"
f2l_wait_for "VALID" 2 || f2l_fail "the procedure is not valid"
f2l_keys Escape
sleep 1
f2l_wait_for "1Help" 10 || f2l_fail "did not return from the results"
# Run it with server output.
f2l_keys -l "begin raise_salary(7369, 10); dbms_output.put_line('raised to ' || get_sal(7369)); rollback; end; "
f2l_keys Enter
f2l_wait_for "raised to 880" 20 || f2l_fail "no DBMS_OUTPUT line from the block"
f2l_keys Escape
sleep 1
f2l_wait_for "1Help" 10 || f2l_fail "did not return from the results"
f2l_quit
rm -rf "$F2L_DATA"
echo "PASS: PL/SQL compile error at END, fix, run with server output in far2l"
