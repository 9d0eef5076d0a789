#!/usr/bin/env bash
# In far2l (the passive panel on far2l's empty start folder): log on as SCOTT, open
# Tables, SCOTT, put the cursor on EMP and press Shift+F5; the copy dialog
# offers EMP.sql with every option on; untick the current-user check and
# save: EMP.sql shows in the passive panel. Then the SQL*Plus stand-in runs
# it as SALES into an empty copy of EMP, and the two tables hold the same
# rows (MINUS both ways, counts).
# Usage: far2l_copy_script.sh PATH/TO/Quarry.far-plug-mb ORACLE_HOME
source "$(dirname "$0")/far2l_lib.sh"
f2l_require
f2l_use_stand_in "$2"
[ -x "$2/bin/sqlplus" ] || { echo "no SQL*Plus stand-in in $2/bin"; exit $F2L_SKIP; }
run_sql() { env ORACLE_HOME="$ORA" OCISIM_DATA_DIR="$F2L_DATA/db" "$ORA/bin/sqlplus" -S -L "$@"; }
ORA=$2
# far2l takes the active and then the passive panel's folder: the passive one
# is far2l's empty start folder, where the script goes.
f2l_start "$1" "$F2L_DATA"
OUT="$F2L_DIR/start"

f2l_open_and_log_on Tables scott tiger
f2l_wait_for "SCOTT" 20 || f2l_fail "no owner SCOTT in the tables root"
f2l_find_item SCOTT
f2l_keys Enter
f2l_wait_for "SALGRADE" 10 || f2l_fail "SCOTT's tables are not listed"
f2l_find_item EMP
f2l_keys S-F5
f2l_wait_for "Copy table SCOTT.EMP into" 10 || f2l_fail "no copy dialog"
f2l_wait_for "EMP.sql" 2 || f2l_fail "the dialog does not offer EMP.sql"
f2l_wait_for "Hide ouput in SQLPLUS" 2 || f2l_fail "the dialog lacks its options"
# Down to the fourth option, the current-user check, and untick it.
f2l_keys Down
f2l_keys Down
f2l_keys Down
f2l_keys Down
f2l_keys Space
f2l_keys Enter
for ((i = 0; i < 50; i++)); do [ -f "$OUT/EMP.sql" ] && break; sleep 0.2; done
[ -f "$OUT/EMP.sql" ] || f2l_fail "no EMP.sql in the passive panel's folder"
f2l_wait_for "EMP.sql" 10 || f2l_fail "the passive panel does not show EMP.sql"
grep -q "IF USER <>" "$OUT/EMP.sql" && f2l_fail "the user check was written though it was unticked"
f2l_quit

run_sql system/manager <<'SQL' >/dev/null
CREATE TABLE SALES.EMP (EMPNO NUMBER(4), ENAME VARCHAR2(10), JOB VARCHAR2(9), MGR NUMBER(4), HIREDATE DATE, SAL NUMBER(7,2), COMM NUMBER(7,2), DEPTNO NUMBER(2));
EXIT
SQL
run_sql sales/sales "@$OUT/EMP.sql" </dev/null >"$F2L_DATA/load.log" 2>&1 || { cat "$F2L_DATA/load.log"; echo "FAIL: the script did not load"; exit 1; }
result=$(run_sql system/manager <<'SQL'
SET HEADING OFF
SET PAGESIZE 0
SET FEEDBACK OFF
SELECT COUNT(*) FROM (SELECT * FROM SCOTT.EMP MINUS SELECT * FROM SALES.EMP);
SELECT COUNT(*) FROM (SELECT * FROM SALES.EMP MINUS SELECT * FROM SCOTT.EMP);
SELECT COUNT(*) FROM SALES.EMP;
EXIT
SQL
)
expected=$(printf '         0\n         0\n        14')
[ "$result" = "$expected" ] || { echo "$result"; echo "FAIL: the loaded copy differs from SCOTT.EMP"; exit 1; }
rm -rf "$F2L_DATA"
echo "PASS: Shift+F5 wrote EMP.sql, which loads back the same rows"
