#!/usr/bin/env bash
# In far2l: log on as SCOTT, copy EMP on the command line, F8 on the copy
# with "Show the SQL-text" on: the DROP statement in the editor after the
# question, the results, and the copy gone from the listing.  Then Ctrl+Z
# on EMP's SAL column: the comment dialog, a new comment saved, and the
# column listing showing it.
# Usage: far2l_drop_comment.sh PATH/TO/Quarry.far-plug-mb ORACLE_HOME
source "$(dirname "$0")/far2l_lib.sh"
f2l_require
f2l_use_stand_in "$2"
f2l_start "$1"

f2l_open_and_log_on Tables scott tiger
f2l_wait_for "SCOTT" 20 || f2l_fail "no owner SCOTT in the tables root"
f2l_find_item SCOTT
f2l_keys Enter
f2l_wait_for "SALGRADE" 10 || f2l_fail "SCOTT's tables are not listed"
# A copy made on the command line shows after a re-read.
f2l_keys -l "create table emp_gone as select * from emp"
f2l_keys Enter
f2l_wait_for "successfully executed" 20 || f2l_fail "the copy was not created"
f2l_keys Escape
f2l_wait_for "1Help" 10 || f2l_fail "did not return from the results"
f2l_keys C-r
f2l_wait_for "EMP_GONE" 10 || f2l_fail "the copy is not listed"
f2l_find_item EMP_GONE
f2l_keys F8
f2l_wait_for "Do you wish to drop object EMP_GONE ?" 10 || f2l_fail "no drop question"
f2l_keys Enter
f2l_wait_for 'DROP TABLE "SCOTT"."EMP_GONE";' 10 || f2l_fail "the statement is not shown in the editor"
f2l_keys Escape
f2l_wait_for "successfully executed" 20 || f2l_fail "no command results"
f2l_keys Escape
f2l_wait_for "1Help" 10 || f2l_fail "did not return from the results"
sleep 1
f2l_screen | grep -aq "EMP_GONE" && f2l_fail "the dropped table is still listed"
# Ctrl+Z on EMP's SAL column.
f2l_find_item EMP
f2l_keys Enter
f2l_wait_for ".COLUMNS" 20 || f2l_fail "no table directory of EMP"
f2l_find_item .COLUMNS
f2l_keys Enter
f2l_wait_for "HIREDATE" 10 || f2l_fail "the columns of EMP are not listed"
f2l_find_item SAL
f2l_keys C-z
f2l_wait_for "Comment for column EMP.SAL" 10 || f2l_fail "no comment dialog"
f2l_wait_for "Remove LF/CR before saving" 2 || f2l_fail "no check box in the comment dialog"
# Clear the first row and type the new comment.
f2l_keys C-y
f2l_keys -l "Pay before tax, set by e2e"
# Alt+S presses "&Save" (Enter in the rows moves to the next row).
f2l_keys M-s
sleep 1
f2l_screen | grep -aq "Remove LF/CR before saving" && f2l_fail "the comment dialog did not close"
f2l_find_item SAL
f2l_wait_for "Pay before tax, set by e2e" 10 || f2l_fail "the column listing does not show the new comment"
f2l_quit
rm -rf "$F2L_DATA"
echo "PASS: F8 drops a table copy and Ctrl+Z comments a column in far2l"
