#!/usr/bin/env bash
# Cross-builds the platform layer's tests and the Windows run tests for
# x86_64 Windows (mingw-w64) and runs them under wine64, so the Win32
# registry, temporary-file, code-page, module, process and client-loading
# code runs for real.  The Windows run tests run as under FAR on a Russian
# system: ANSI/OEM code pages 1251/866 (wine takes them from the locale,
# built into a private folder with localedef), file functions switched to
# OEM and a Cyrillic temporary folder.  Then, in the same tree, prefix and
# locale, .ci/wine-acceptance.sh runs the plugin's unit tests and plays the
# acceptance subset through Quarry.dll, quarry-host.exe and oci.dll
# (QUARRY_WINE_ACCEPTANCE=0 leaves both out and builds only the platform
# layer).  Exit code = the tests' result.
#
# Headless: no display is needed.  Wine runs in a private, throw-away prefix
# (created on first start, which can take a minute) and its server for that
# prefix is shut down at the end.
#   QUARRY_WIN64_BUILD_DIR  build directory (default: build-win64 in the repo)
#   WINE64                  the wine64 loader (default: /usr/lib/wine/wine64)
#   QUARRY_WINE_TIMEOUT     seconds allowed for the test run (default 600)
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${QUARRY_WIN64_BUILD_DIR:-$root/build-win64}"
wine="${WINE64:-/usr/lib/wine/wine64}"
[ -x "$wine" ] || wine="$(command -v wine64 || true)"
if [ -z "$wine" ] || [ ! -x "$wine" ]; then
  echo "wine-platform-tests: wine64 not found (install the wine64 package)" >&2
  exit 2
fi
wineserver="$(dirname "$wine")/wineserver"
[ -x "$wineserver" ] || wineserver="$(command -v wineserver || true)"

prefix="$(mktemp -d "${TMPDIR:-/tmp}/quarry-wine.XXXXXX")"
locales="$(mktemp -d "${TMPDIR:-/tmp}/quarry-locale.XXXXXX")"
boot_pid=
cleanup() {
  if [ -n "$boot_pid" ]; then wait "$boot_pid" 2>/dev/null || true; fi
  # Stop only the wine server of our own prefix, then drop the prefix.
  if [ -n "$wineserver" ]; then WINEPREFIX="$prefix" "$wineserver" -k >/dev/null 2>&1 || true; fi
  rm -rf "$prefix" "$locales"
}
trap cleanup EXIT

export WINEPREFIX="$prefix"
export WINEDEBUG=-all
export WINEARCH=win64
# No Mono/Gecko installer prompts, no display.
export WINEDLLOVERRIDES="mscoree=;mshtml=;winemenubuilder.exe=d"
unset DISPLAY WAYLAND_DISPLAY

# The prefix boots while the tree is fetched and built (mostly waiting, on
# files and the network, on both sides).
echo "== wine prefix $prefix"
( timeout 300 "$wine" wineboot --init >/dev/null 2>&1 || true
  [ -n "$wineserver" ] && "$wineserver" -w >/dev/null 2>&1 || true ) &
boot_pid=$!

acceptance=${QUARRY_WINE_ACCEPTANCE:-1}
echo "== configure and build $build"
if [ "$acceptance" = 1 ]; then
  # One tree for everything run here (see wine-tree.sh).
  . "$root/.ci/wine-tree.sh"
  wine_tree_build "$build" platform_tests platform_test_child windows_run_tests plugin_unit_tests_win \
    quarry_plugin quarry-host ocisim
else
  cmake -S "$root" -B "$build" \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-x86_64.cmake" \
    -DQUARRY_PLATFORM_ONLY=ON -DQUARRY_WINE_RUN=OFF -DQUARRY_WERROR=ON
  cmake --build "$build" -j2 --target platform_tests platform_test_child windows_run_tests
fi
wait "$boot_pid" || true
boot_pid=

exe="$build/tests/platform/platform_tests.exe"
[ -f "$exe" ] || { echo "wine-platform-tests: $exe was not built" >&2; exit 2; }
runs="$build/tests/windows/windows_run_tests.exe"
[ -f "$runs" ] || { echo "wine-platform-tests: $runs was not built" >&2; exit 2; }

echo "== running $(basename "$exe") under wine64"
cd "$(dirname "$exe")"
set +e
timeout "${QUARRY_WINE_TIMEOUT:-600}" "$wine" "$exe" --gtest_color=no "$@"
status=$?
set -e
if [ "$status" -eq 124 ]; then
  echo "wine-platform-tests: timed out" >&2
fi
echo "== platform tests under wine64: exit code $status"

# The Russian locale for wine's code pages, without touching the system's
# locales: glibc reads it from LOCPATH.
localedef -i ru_RU -f UTF-8 "$locales/ru_RU.UTF-8" >/dev/null 2>&1 || true
echo "== running $(basename "$runs") under wine64 (code pages 1251/866, OEM file functions)"
cd "$(dirname "$runs")"
set +e
LOCPATH="$locales" LANG=ru_RU.UTF-8 LC_ALL=ru_RU.UTF-8 \
  timeout "${QUARRY_WINE_TIMEOUT:-600}" "$wine" "$runs" --gtest_color=no "$@"
runs_status=$?
set -e
echo "== Windows run tests under wine64: exit code $runs_status"

# The plugin's unit tests and the acceptance subset through the x86_64
# Windows builds (QUARRY_WINE_ACCEPTANCE=0 leaves them out), in this tree,
# prefix and locale (no second build, no second wine boot).
acc_status=0
if [ "$acceptance" = 1 ]; then
  set +e
  QUARRY_WINE_SKIP_BUILD=1 QUARRY_WINE_BUILD_DIR="$build" QUARRY_WINE_PREFIX_READY=1 QUARRY_WINE_LOCPATH="$locales" \
    bash "$root/.ci/wine-acceptance.sh"
  acc_status=$?
  set -e
fi
[ "$status" -ne 0 ] && exit "$status"
[ "$runs_status" -ne 0 ] && exit "$runs_status"
exit "$acc_status"
