#!/usr/bin/env bash
# In far2l: log on as SYSTEM, open Tables, SCOTT, EMP: the table directory
# shows its detail directories and record; open .COLUMNS: the columns with
# their types, a NOT NULL column marked "N"; open the column SAL: its record
# with the column comment and its grants directory.
# Usage: far2l_tables.sh PATH/TO/Quarry.far-plug-mb ORACLE_HOME
source "$(dirname "$0")/far2l_lib.sh"
f2l_require
f2l_use_stand_in "$2"
f2l_start "$1"

# Entering a directory asks for the logon first.
f2l_open_and_log_on Tables system manager
f2l_wait_for ".PARTITIONED TABLES" 20 || f2l_fail "the tables root does not show its counted directories"
f2l_wait_for "SCOTT" 2 || f2l_fail "no owner SCOTT in the tables root"
f2l_find_item SCOTT
f2l_keys Enter
f2l_wait_for "SALGRADE" 10 || f2l_fail "SCOTT's tables are not listed"
f2l_find_item EMP
f2l_keys Enter
f2l_wait_for ".REF BY CONSTRAINTS" 20 || f2l_fail "the table directory of EMP has no detail directories"
f2l_wait_for "AVG_ROW_LEN" 5 || f2l_fail "the table directory of EMP has no record"
f2l_find_item .COLUMNS
f2l_keys Enter
f2l_wait_for "HIREDATE" 10 || f2l_fail "the columns of EMP are not listed"
f2l_wait_for "VARCHAR2" 2 || f2l_fail "the column list shows no types"
f2l_find_item SAL
f2l_wait_for "Monthly salary" 5 || f2l_fail "the status line does not show the column comment"
f2l_keys Enter
f2l_wait_for "DATA_PRECISION" 10 || f2l_fail "the column SAL shows no record"
f2l_wait_for ".GRANTEE" 2 || f2l_fail "the column SAL shows no grants directory"
f2l_quit
rm -rf "$F2L_DATA"
echo "PASS: tables, a table directory, its columns and a column in far2l"
