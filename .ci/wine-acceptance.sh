#!/usr/bin/env bash
# Plays acceptance scripts (tests/acceptance/*.qh) under wine64 through the
# x86_64 Windows builds of the host stand-in (quarry-host.exe, playing FAR
# 1.70), the plugin (Quarry.dll) and the client stand-in (oci.dll over
# SQLite), as FAR's users run Quarry: file functions switched to OEM (the
# host does it at start, as FAR does), ANSI/OEM code pages 1251/866, a
# Cyrillic temporary folder, and the Oracle home registered in the registry
# the way an 8i/9i installer does (HOME0, ALL_HOMES\HOME_COUNTER, bin first
# in PATH).  Each transcript must equal the Linux one (CASE.expected) after
# the normalisation in normalise_windows below, the one place that says what
# differs on Windows by nature.
#
# Usage: wine-acceptance.sh [CASE ...]   (case names without .qh; none: the
#                                          CI subset in subset_cases below)
#        wine-acceptance.sh --all        (every case that can run on Windows)
#   QUARRY_WINE_BUILD_DIR  the x86_64 Windows build (default build-win64, the
#                          tree .ci/wine-platform-tests.sh builds)
#   WINE64                 the wine64 loader (default /usr/lib/wine/wine64)
#   WINEPREFIX             with QUARRY_WINE_PREFIX_READY=1: a booted prefix to
#                          use as it is (.ci/wine-platform-tests.sh passes its own)
#   QUARRY_WINE_SKIP_BUILD=1  play with the build as it is (no configure, no build)
#   QUARRY_WINE_LOCPATH    a folder holding the ru_RU.UTF-8 locale (made here
#                          when not given)
#   QUARRY_WINE_UNIT_TESTS=OFF  leave out the plugin's unit tests without a
#                          client library (tests/windows), run before the cases
# Exit code 0 when every case played matched.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${QUARRY_WINE_BUILD_DIR:-$root/build-win64}"
wine="${WINE64:-/usr/lib/wine/wine64}"
[ -x "$wine" ] || wine="$(command -v wine64 || true)"
[ -n "$wine" ] && [ -x "$wine" ] || { echo "wine-acceptance: wine64 not found" >&2; exit 2; }
wineserver="$(dirname "$wine")/wineserver"
[ -x "$wineserver" ] || wineserver="$(command -v wineserver || true)"

# The CI subset: logon, the catalog's navigation and jumps, listings with
# details, the command line with its result file in the (Cyrillic) temporary
# folder, F3/F4 texts through temporary files, drop with the statements shown,
# settings kept in the registry, the root without a logon, and a table copied
# to a script in the other panel's folder (Shift+F5).
subset_cases=(shell_root db_catalog_navigation db_tables_scott db_logon_and_command_line db_texts db_edit db_drop
              db_logon_settings db_copy_script)
# Cases that cannot run the same on Windows, and why (--all skips them).
declare -A not_on_windows=(
  [db_copy_script_stop]="Esc comes from the console itself on Windows (PeekConsoleInputA), not from the host"
  [db_tools_menu]="the SQL*Plus stand-in is a Linux program"
  [db_export]="the export stand-in is a Linux program"
  [shell_tools_no_sqlplus]="tools run through far2l's Execute service, which FAR 1.70 does not have"
  [db_keys_table]="F2 opens the tools menu only with SQL*Plus in the home, and the SQL*Plus stand-in is a Linux program"
  [configure]="it reads the settings store's file; on Windows the settings are in the registry"
)

cases=()
if [ "${1:-}" = "--all" ]; then
  for f in "$root"/tests/acceptance/*.qh; do
    name=$(basename "$f" .qh)
    [ -n "${not_on_windows[$name]:-}" ] && { echo "skip $name: ${not_on_windows[$name]}"; continue; }
    grep -q "^#@ TMPDIR=unusable" "$f" && { echo "skip $name: needs a folder no one can write to (/proc)"; continue; }
    cases+=("$name")
  done
elif [ $# -gt 0 ]; then
  cases=("$@")
else
  cases=("${subset_cases[@]}")
fi

t0=$SECONDS
units=${QUARRY_WINE_UNIT_TESTS:-ON}
if [ "${QUARRY_WINE_SKIP_BUILD:-0}" = 1 ]; then
  echo "== using the build in $build as it is"
else
  . "$root/.ci/wine-tree.sh"
  targets=(quarry_plugin quarry-host ocisim)
  [ "$units" = ON ] && targets+=(plugin_unit_tests_win)
  wine_tree_build "$build" "${targets[@]}"
fi
unit_exe="$build/tests/windows/plugin_unit_tests_win.exe"
if [ "$units" = ON ] && [ ! -f "$unit_exe" ]; then
  echo "wine-acceptance: $unit_exe was not built" >&2
  exit 2
fi

host_exe="$build/sim/host/quarry-host.exe"
plugin="$build/src/Quarry.dll"
home="$build/ocisim/home"
for f in "$host_exe" "$plugin" "$home/bin/oci.dll"; do
  [ -f "$f" ] || { echo "wine-acceptance: $f was not built" >&2; exit 2; }
done

scratch="$(mktemp -d "${TMPDIR:-/tmp}/quarry-wine-acc.XXXXXX")"
own_prefix=0
if [ "${QUARRY_WINE_PREFIX_READY:-0}" != 1 ] || [ -z "${WINEPREFIX:-}" ]; then
  export WINEPREFIX="$scratch/prefix"
  own_prefix=1
fi
locales="${QUARRY_WINE_LOCPATH:-}"
cleanup() {
  if [ "$own_prefix" = 1 ] && [ -n "$wineserver" ]; then "$wineserver" -k >/dev/null 2>&1 || true; fi
  rm -rf "$scratch"
}
trap cleanup EXIT
export WINEDEBUG=-all WINEARCH=win64
export WINEDLLOVERRIDES="mscoree=;mshtml=;winemenubuilder.exe=d"
unset DISPLAY WAYLAND_DISPLAY
if [ -z "$locales" ]; then
  locales="$scratch/locale"
  mkdir -p "$locales"
  localedef -i ru_RU -f UTF-8 "$locales/ru_RU.UTF-8" >/dev/null 2>&1 || true
fi
# Wine takes the ANSI and OEM code pages (1251, 866) from the locale.
# (Only for wine: this script's own tools keep the caller's locale.)
wine_locale=(env LOCPATH="$locales" LANG=ru_RU.UTF-8 LC_ALL=ru_RU.UTF-8)
if [ "$own_prefix" = 1 ]; then
  echo "== wine prefix $WINEPREFIX"
  timeout 300 "${wine_locale[@]}" "$wine" wineboot --init >/dev/null 2>&1 || true
  [ -n "$wineserver" ] && "$wineserver" -w >/dev/null 2>&1 || true
fi

# A Unix path as the Windows programs see it (wine maps / to drive Z:).
winpath() { printf 'Z:%s' "$1" | tr / '\\'; }
# A string as the transcript writes it inside quotes: backslashes doubled,
# in the host's code page (OEM, 866); the normalisation runs byte-wise.
quoted() { printf '%s' "$1" | iconv -f UTF-8 -t CP866 | sed 's/\\/\\\\/g'; }
# sed's left side for a literal text.
literal() { printf '%s' "$1" | sed -e 's/[]\/$*.^[|]/\\&/g'; }

# What differs on Windows by nature, and nothing else:
#  * line ends: the host's stdout is a Windows text stream (CR LF);
#  * paths: the module, the run folder, the Oracle home and the temporary
#    folder (on Windows a "Quarry" folder below TMP, OEM-encoded, where Linux
#    uses $TMPDIR itself) are replaced by the names run_case.sh uses, and the
#    Windows separators after them become '/';
#  * the startup record's size: FAR 1.70's record, not far2l's 4316 bytes;
#  * the viewer's delete-on-close flag: FAR 1.70's VF_DELETEONCLOSE (0x2)
#    where far2l has VF_DELETEONLYFILEONCLOSE (0x200);
#  * the info panel's "Oracle Home:": on Windows the name of the registered
#    home the client search chose (the home is a registry entry there), on
#    Linux the ORACLE_HOME folder; both become ORACLE_HOME.  The Windows
#    folder on that line is left as it is: there it would be a fault.
normalise_windows() {
  local work=$1 tmpdir=$2 record_size=$3
  LC_ALL=C sed -e 's/\r$//' \
      -e "s|$(literal "$(quoted "$(winpath "$plugin")")")|PLUGIN|g" \
      -e "s|$(literal "$(quoted "$(winpath "$(dirname "$plugin")")\\")")|PLUGINDIR/|g" \
      -e "s|$(literal "$(quoted "$tmpdir\\Quarry")")|WORK/tmp|g" \
      -e "s|$(literal "$(quoted "$(winpath "$work")")")|WORK|g" \
      -e "/^info [0-9]* \"Oracle Home:\"/!s|$(literal "$(quoted "$(winpath "$home")")")|ORACLE_HOME|g" \
      -e ':a' -e 's/\(\(WORK\|ORACLE_HOME\|PLUGINDIR\)[^" ]*\)\\\\/\1\//' -e 'ta' \
      -e "s/ startup-size=$record_size\$/ startup-size=4316/" \
      -e '/^viewer /{s/ flags=0x2 / flags=0x200 /;s/ flags=0x3 / flags=0x201 /}' \
      -e 's/^info \([0-9]*\) "Oracle Home:" "OraHome92"$/info \1 "Oracle Home:" "ORACLE_HOME"/' \
      -e 's|file="[^"]*/SQL[^"]*"|file="TEMP"|' -e 's|/PAR[0-9A-Fa-f]\{8\}|/PARXXXXXXXX|g'
}

passed=0 failed=0
failed_names=()
if [ "$units" = ON ]; then
  echo "== plugin unit tests under wine64 (code pages 1251/866)"
  if (cd "$build/tests/windows" && timeout "${QUARRY_WINE_TIMEOUT:-300}" "${wine_locale[@]}" "$wine" plugin_unit_tests_win.exe --gtest_color=no) \
       >"$scratch/units.log" 2>&1; then
    grep -E '^\[  PASSED  \]|^\[==========\] [0-9]+ tests' "$scratch/units.log" || true
    passed=$((passed + 1))
  else
    grep -E 'FAILED|Failure|error' "$scratch/units.log" | head -n 60 || tail -n 40 "$scratch/units.log"
    failed=$((failed + 1))
    failed_names+=(plugin_unit_tests_win)
  fi
fi
export QUARRY_HOST_ORACLE_HOME="$(winpath "$home")"
for name in "${cases[@]}"; do
  case_file="$root/tests/acceptance/$name.qh"
  expected="$root/tests/acceptance/$name.expected"
  [ -f "$case_file" ] || { echo "wine-acceptance: no case $name" >&2; failed=$((failed + 1)); failed_names+=("$name"); continue; }
  work="$scratch/run-$name"
  mkdir -p "$work/data"
  if [ -d "${case_file%.qh}.files" ]; then
    cp -r "${case_file%.qh}.files/." "$work/"
    find "$work" -mindepth 1 -exec touch -h -d '2003-03-15 10:00:00 UTC' {} +
  fi
  # The run folder holds what run_case.sh's holds: its "tmp" (cases write
  # there by that name) and the settings store's folder (empty here: Windows
  # keeps the settings in the registry).  The temporary folder is Cyrillic
  # ("Временные файлы", as on a Russian Windows) inside "tmp", given to the
  # host as a Windows path in UTF-16.
  mkdir -p "$work/tmp" "$work/registry"
  tmpdir="$(winpath "$work")\\tmp\\Временные файлы"
  sysdate=$(sed -n 's/^#@ OCISIM_SYSDATE=//p' "$case_file")
  status=0
  (
    cd "$work"
    unset ORACLE_HOME TNS_ADMIN OCIDLL ORACLEHOME OCISIM_SYSDATE
    [ -n "$sysdate" ] && export OCISIM_SYSDATE="$sysdate"
    if [[ $name == db_* ]]; then
      export OCISIM_DATA_DIR="$(winpath "$work/data")" OCISIM_CALL_LOG="$(winpath "$work/oci-calls.log")"
    else
      export QUARRY_HOST_ORACLE_HOME=  # no client on this machine
    fi
    QUARRY_HOST_TMP="$tmpdir" QUARRY_HOST_ROOT_KEY="Software\\Far\\Users\\$(basename "$scratch")-$name\\Plugins" \
      timeout "${QUARRY_WINE_TIMEOUT:-300}" "${wine_locale[@]}" "$wine" "$host_exe" -e "load $(winpath "$plugin")" "$(winpath "$case_file")"
  ) >"$work/out.raw" 2>&1 || status=$?
  record_size=$(sed -n 's/.* startup-size=\([0-9]*\)\r\{0,1\}$/\1/p' "$work/out.raw" | head -n1)
  normalise_windows "$work" "$tmpdir" "${record_size:-0}" <"$work/out.raw" >"$work/out"
  echo "exit $status" >>"$work/out"
  if diff -u "$expected" "$work/out" >"$work/diff"; then
    echo "ok   $name"
    passed=$((passed + 1))
  else
    echo "FAIL $name"
    head -n "${QUARRY_WINE_DIFF_LINES:-40}" "$work/diff"
    [ -n "${QUARRY_WINE_KEEP:-}" ] && cp "$work/out" "$QUARRY_WINE_KEEP/$name.out"
    failed=$((failed + 1))
    failed_names+=("$name")
  fi
done
echo "== acceptance under wine64: $((SECONDS - t0)) s in all"
[ "$failed" -gt 0 ] && echo "failed: ${failed_names[*]}"
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
