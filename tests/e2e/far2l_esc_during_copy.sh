#!/usr/bin/env bash
# In far2l: Shift+F5 on a table of 1,500,000 rows, the dialog accepted, then
# Esc while the rows are written: the plugin sees Esc in far2l's console
# input and asks whether to stop; "Stop" ends the copy with a message, and
# no script (nor a temporary file) is left in the passive panel's folder.
# Esc is pressed only once the progress note shows rows written, so the
# copy is surely still running: a lone Esc reaches far2l's console input
# some 0.1 s after it is typed (far2l waits that long for the rest of an
# escape sequence), and a small table is written before that.
# Usage: tests/e2e/far2l_esc_during_copy.sh PATH/TO/Quarry.far-plug-mb ORACLE_HOME
source "$(dirname "$0")/far2l_lib.sh"
f2l_require
f2l_use_stand_in "$2"
[ -x "$2/bin/sqlplus" ] || { echo "no SQL*Plus stand-in in $2/bin"; exit $F2L_SKIP; }
ORA=$2
env ORACLE_HOME="$ORA" OCISIM_DATA_DIR="$F2L_DATA/db" "$ORA/bin/sqlplus" -S -L scott/tiger <<'SQL' >/dev/null
CREATE TABLE SEED_ROWS AS SELECT LEVEL N FROM DUAL CONNECT BY LEVEL <= 1500;
CREATE TABLE MANY_ROWS AS SELECT A.N + 1500 * (B.N - 1) N, 'row number ' || (A.N + 1500 * (B.N - 1)) TXT
  FROM SEED_ROWS A, SEED_ROWS B WHERE B.N <= 1000;
EXIT
SQL
f2l_start "$1" "$F2L_DATA"
OUT="$F2L_DIR/start"

f2l_open_and_log_on Tables scott tiger
f2l_wait_for "SCOTT" 20 || f2l_fail "no owner SCOTT in the tables root"
f2l_find_item SCOTT
f2l_keys Enter
f2l_wait_for "SALGRADE" 10 || f2l_fail "SCOTT's tables are not listed"
f2l_find_item MANY_ROWS
f2l_keys S-F5
f2l_wait_for "Copy table SCOTT.MANY_ROWS into" 10 || f2l_fail "no copy dialog"
f2l_keys Enter
f2l_wait_for "of 1500000 rows" 30 || f2l_fail "no progress note while the rows are written"
f2l_keys Escape
f2l_wait_for "Stop writing the script?" 30 || f2l_fail "Esc did not stop the writer"
f2l_keys Enter
f2l_wait_for "Copying stopped: no script was written." 10 || f2l_fail "no message after the stop"
f2l_keys Enter
ls "$OUT" | grep -q "MANY_ROWS" && f2l_fail "a file was left behind: $(ls "$OUT")"
f2l_quit
rm -rf "$F2L_DATA"
echo "PASS: Esc stopped Shift+F5 and no file was left"
