#!/usr/bin/env bash
# far2l, measured: from Enter on "All objects\TABLE" of a SYNTHOBJ_<N>
# database (N objects, default 100,000) until the panel shows them, in a
# private headless far2l (the end-to-end harness).  A benchmark, not a test:
# it prints the times of ROUNDS entries (default 3) and the best; compare it
# with the host stand-in's "listing" line of all_objects_bench.
# The screen is polled every 20 ms, so a figure is good to about that.
# Usage: all_objects_far2l.sh PATH/TO/Quarry.far-plug-mb ORACLE_HOME [N] [ROUNDS]
source "$(dirname "$0")/../../tests/e2e/far2l_lib.sh"
f2l_require
f2l_use_stand_in "$2"
objects=${3:-100000}
rounds=${4:-3}
f2l_start "$1"

f2l_open_plugin "Quarry manager"
f2l_wait_for "Oracle" 10 || f2l_fail "no Oracle panel"
# "All objects" is the sixth item; entering it asks for the logon.
f2l_keys Home Down Down Down Down Down
f2l_keys Enter
f2l_wait_for "Oracle Logon" 10 || f2l_fail "no logon dialog"
f2l_keys -l system
f2l_keys Tab
f2l_keys -l manager
f2l_keys Tab
f2l_keys -l "SYNTHOBJ_$objects"
f2l_keys Enter
echo "building SYNTHOBJ_$objects (first use) ..."
f2l_wait_for "PACKAGE BODY" 300 || f2l_fail "all objects did not list the object types"

# shown: true once the listing's items are on the screen and no note is left.
shown() {
  local screen
  screen=$(f2l_screen)
  grep -aqF "SYNTHOBJ_0" <<<"$screen" && ! grep -aqF "Loading data" <<<"$screen"
}

best=""
for ((r = 1; r <= rounds; r++)); do
  f2l_find_item TABLE
  start=$(date +%s%N)
  tmux -L "$F2L_SOCKET" send-keys -t e2e Enter
  until shown; do
    sleep 0.02
    (( $(date +%s%N) - start < 600000000000 )) || f2l_fail "the listing did not show within 10 minutes"
  done
  end=$(date +%s%N)
  ms=$(( (end - start) / 1000000 ))
  echo "round $r: ${ms} ms from Enter to the panel showing $objects objects"
  if [ -z "$best" ] || [ "$ms" -lt "$best" ]; then best=$ms; fi
  # Back to the object types.
  f2l_keys Home
  f2l_keys Enter
  f2l_wait_for "PACKAGE BODY" 60 || f2l_fail "could not go back to All objects"
done
echo "far2l: best ${best} ms from Enter on All objects\\TABLE until shown ($objects objects)"
f2l_quit
