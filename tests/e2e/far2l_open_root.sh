#!/usr/bin/env bash
# far2l loads Quarry, opens it from the plugins menu, shows the root list
# under the " Oracle " title with its key bar, and quits cleanly.
# Usage: far2l_open_root.sh PATH/TO/Quarry.far-plug-mb
source "$(dirname "$0")/far2l_lib.sh"
f2l_require
f2l_start "$1"
f2l_open_plugin "Quarry manager"
f2l_wait_for "Oracle" 10 || { f2l_screen; echo "FAIL: no Oracle panel"; exit 1; }
screen=$(f2l_screen)
fail=0
check() { grep -aqF -- "$1" <<<"$screen" || { echo "FAIL: '$1' not on screen"; fail=1; }; }
check " Oracle "
for dir in ".Instance parameters" ".Catalog by User" "All objects" "Tables" "Views" "Snapshots - registered"; do
  check "$dir"
done
check "5Export"
check "8Drop"
# The root has no ".." item.
first_row=$(sed -n '3p' <<<"$screen" | grep -aoP '^║[^║]*')
if grep -aqE '^║/?\.\. ' <<<"$first_row"; then echo "FAIL: '..' at the root"; fail=1; fi
# The info panel of the other side shows the connection section.
f2l_keys C-l
f2l_wait_for "Not conected" 5 || { f2l_screen; echo "FAIL: info panel lines missing"; fail=1; }
f2l_keys C-l
if [ "$fail" -ne 0 ]; then f2l_screen; exit 1; fi
f2l_quit
echo "PASS: far2l shows Quarry's root list"
