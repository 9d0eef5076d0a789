#!/usr/bin/env bash
# In far2l, as SYSTEM: .Instance parameters -> .SESSIONS -> the panel's own
# session (the first of a fresh instance, 7.101) -> .STATISTICS shows the
# session's counters; then .Statistics -> .SQL AREA -> .ALL STATEMENTS -> the
# statement the instance root ran (SELECT * FROM V$INSTANCE) -> .EXECUTION
# PLAN, which shows the plan lines (SYSTEM has a PLAN_TABLE of its own).
# Usage: far2l_instance.sh PATH/TO/Quarry.far-plug-mb ORACLE_HOME
source "$(dirname "$0")/far2l_lib.sh"
f2l_require
f2l_use_stand_in "$2"
f2l_start "$1"

f2l_open_and_log_on ".Instance parameters" system manager
f2l_wait_for ".SESSIONS" 20 || f2l_fail "the instance root does not offer its sessions"
f2l_wait_for ".PARAMETERS UNDOCUMENTED" 2 || f2l_fail "no undocumented parameters"
f2l_find_item ".SESSIONS"
f2l_keys Enter
f2l_wait_for "7.101" 10 || f2l_fail "the panel's own session is not listed"
f2l_find_item "7.101"
f2l_keys Enter
f2l_wait_for "COMMAND_NAME" 10 || f2l_fail "no session record"
f2l_wait_for ".CONNECT INFO" 2 || f2l_fail "no connect information"
f2l_find_item ".STATISTICS"
f2l_keys Enter
f2l_wait_for "execute count" 10 || f2l_fail "the session statistics do not show"
f2l_wait_for "logons current" 2 || f2l_fail "the session statistics lack the logon"
for _ in 1 2 3 4; do f2l_keys C-PageUp; done
f2l_wait_for ".Statistics" 10 || f2l_fail "did not return to the root"
f2l_find_item ".Statistics"
f2l_keys Enter
f2l_wait_for ".SQL AREA" 20 || f2l_fail "the statistics root does not offer the SQL area"
f2l_find_item ".SQL AREA"
f2l_keys Enter
f2l_wait_for ".ALL STATEMENTS" 10 || f2l_fail "no statement list"
f2l_find_item ".ALL STATEMENTS"
f2l_keys Enter
# The address column is narrow: the statement is found by its name.
f2l_find_item "66E63830.2925757354"
f2l_keys Enter
f2l_wait_for ".EXECUTION PLAN" 10 || f2l_fail "the statement offers no plan"
f2l_find_item ".EXECUTION PLAN"
f2l_keys Enter
f2l_wait_for "SELECT STATEMENT" 20 || f2l_fail "the plan has no statement line"
f2l_wait_for "TABLE ACCESS" 2 || f2l_fail "the plan has no table access"
# The plan rows are the session's uncommitted work: quitting asks about
# them; "Roll back" (the second button) lets far2l end.
f2l_keys F10
f2l_wait_for "uncommitted changes" 10 || f2l_fail "quitting did not ask about the plan rows"
f2l_keys Right
f2l_keys Enter
for ((i = 0; i < 25; i++)); do kill -0 "$F2L_PID" 2>/dev/null || break; sleep 0.2; done
kill -0 "$F2L_PID" 2>/dev/null && f2l_fail "far2l did not quit after the question"
rm -rf "$F2L_DATA"
echo "PASS: a session's statistics and a cached statement's execution plan in far2l"
