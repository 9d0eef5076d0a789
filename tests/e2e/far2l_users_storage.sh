#!/usr/bin/env bash
# In far2l: log on as SYSTEM in Users; SCOTT's detail, his roles and his
# quotas; then Storage, a tablespace, its segments of one type, one segment
# (Enter jumps to it under all segments) and its extents; ".." climbs back
# through every directory that was left, and past the segment returns to the
# list the jump was made from with the cursor on the segment (Enter there
# jumps again).
# Usage: far2l_users_storage.sh PATH/TO/Quarry.far-plug-mb ORACLE_HOME
source "$(dirname "$0")/far2l_lib.sh"
f2l_require
f2l_use_stand_in "$2"
f2l_start "$1"

# ".." back to the directory titled `title`, which shows `item`.
back_to() {
  local title=$1 item=$2
  f2l_keys Home Enter
  f2l_wait_for "$title " 10 || f2l_fail "\"..\" did not return to $title"
  f2l_wait_for "$item" 5 || f2l_fail "$title does not show $item"
}

f2l_open_and_log_on Users system manager
f2l_wait_for ".PROFILES" 20 || f2l_fail "the users root does not show its branches"
f2l_wait_for "SCOTT" 5 || f2l_fail "no user SCOTT"
f2l_find_item SCOTT
f2l_keys Enter
f2l_wait_for "Oracle\\Users\\SCOTT " 10 || f2l_fail "could not enter SCOTT"
f2l_wait_for "DEFAULT_TABLESPACE" 10 || f2l_fail "SCOTT's detail shows no record"
f2l_find_item .ROLES
f2l_keys Enter
f2l_wait_for "RESOURCE" 10 || f2l_fail "SCOTT's roles are not listed"
f2l_wait_for "CONNECT" 2 || f2l_fail "SCOTT's roles lack CONNECT"
back_to "Oracle\\Users\\SCOTT" ".QUOTAS"
f2l_find_item .QUOTAS
f2l_keys Enter
f2l_wait_for "Oracle\\Users\\SCOTT\\.QUOTAS " 10 || f2l_fail "could not enter SCOTT's quotas"
f2l_wait_for "USERS" 5 || f2l_fail "SCOTT's quota on USERS is not listed"
back_to "Oracle\\Users\\SCOTT" ".QUOTAS"
back_to "Oracle\\Users" "SCOTT"
f2l_keys Home Enter
f2l_wait_for "Storage" 10 || f2l_fail "\"..\" did not return to the root"

f2l_find_item Storage
f2l_keys Enter
f2l_wait_for ".CONTROL FILE RECORDS" 10 || f2l_fail "the storage root is not listed"
f2l_find_item .TABLESPACES
f2l_keys Enter
f2l_wait_for "UNDOTBS1" 10 || f2l_fail "the tablespaces are not listed"
f2l_find_item USERS
f2l_keys Enter
f2l_wait_for ".SEGMENTS" 10 || f2l_fail "the tablespace USERS shows no segments"
f2l_find_item .SEGMENTS
f2l_keys Enter
f2l_wait_for "INDEX" 10 || f2l_fail "the segment types of USERS are not listed"
f2l_find_item TABLE
f2l_keys Enter
f2l_wait_for "EMP.SCOTT" 10 || f2l_fail "the tables of USERS are not listed"
f2l_find_item EMP.SCOTT
f2l_keys Enter
f2l_wait_for "Oracle\\STORAGE\\.ALL SEGMENTS\\TABLE\\EMP.SCOTT " 10 || f2l_fail "Enter on a segment did not jump to it"
f2l_wait_for ".EXTENTS" 5 || f2l_fail "the segment shows no extents directory"
f2l_find_item .EXTENTS
f2l_keys Enter
f2l_wait_for "Oracle\\STORAGE\\.ALL SEGMENTS\\TABLE\\EMP.SCOTT\\.EXTENTS " 10 || f2l_fail "could not enter the extents"
f2l_wait_for "Rel. File#" 5 || f2l_fail "the extents are not shown in their layout"
back_to "Oracle\\STORAGE\\.ALL SEGMENTS\\TABLE\\EMP.SCOTT" ".EXTENTS"
# Past the segment, ".." returns to where the jump was made.
back_to "Oracle\\Storage\\.TABLESPACES\\USERS\\.SEGMENTS\\TABLE" "EMP.SCOTT"
f2l_keys Enter
f2l_wait_for "Oracle\\STORAGE\\.ALL SEGMENTS\\TABLE\\EMP.SCOTT " 10 || f2l_fail "the cursor did not come back to the segment"
back_to "Oracle\\Storage\\.TABLESPACES\\USERS\\.SEGMENTS\\TABLE" "EMP.SCOTT"
back_to "Oracle\\Storage\\.TABLESPACES\\USERS\\.SEGMENTS" "TABLE"
back_to "Oracle\\Storage\\.TABLESPACES\\USERS" ".SEGMENTS"
back_to "Oracle\\Storage\\.TABLESPACES" "USERS"
back_to "Oracle\\Storage" ".TABLESPACES"
f2l_quit
rm -rf "$F2L_DATA"
echo "PASS: users, roles and quotas; storage down to a segment's extents and back in far2l"
