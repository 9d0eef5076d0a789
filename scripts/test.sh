#!/usr/bin/env bash
# Builds everything and runs every test: the native build with its unit,
# integration and far2l end-to-end tests, the Win32 DLL with its export
# check, and the platform layer's tests under wine64.
# Installs what it needs first (Debian 12; run as root or with sudo).
set -euo pipefail
cd "$(dirname "$0")/.."
# Each stage prints its wall time and the CPU time it used, so a CI log shows
# where the time budget goes.
stage_start=$SECONDS
stage() {
  local name=$1 t0=$SECONDS c0 c1
  shift
  c0=$(awk '{print $14+$15+$16+$17}' /proc/$$/stat)
  "$@"
  c1=$(awk '{print $14+$15+$16+$17}' /proc/$$/stat)
  echo "== stage $name: $((SECONDS - t0)) s wall, $(((c1 - c0) / $(getconf CLK_TCK))) s CPU (total $((SECONDS - stage_start)) s)"
}
stage install-deps bash .ci/install-deps.sh
build=${QUARRY_BUILD_DIR:-build}
# Without debug information: nobody debugs this tree, and -g is a third of the
# compile time.
native_build() {
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUARRY_WERROR=ON -DQUARRY_BUILD_BENCH=ON \
    -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -DNDEBUG" -DCMAKE_C_FLAGS_RELWITHDEBINFO="-O2 -DNDEBUG"
  cmake --build "$build" -j"$(nproc)"
}
stage native-build native_build
stage native-tests bash -c "cd '$build' && ctest --output-on-failure -j2 --timeout 300"
stage fault-sweep bash .ci/fault-sweep.sh "$build"
# The plugin's own code once more under AddressSanitizer and UBSan: the shell,
# the client layer and the connection service (the last two load the native
# tree's client stand-in, which frees its process-wide tables when unloaded).
san=${QUARRY_SANITIZE_BUILD_DIR:-build-sanitize}
sanitizer_run() {
  cmake -S . -B "$san" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQUARRY_SANITIZE=ON -DQUARRY_WERROR=ON \
    -DQUARRY_TESTS_BUILD_OCISIM=OFF >/dev/null
  cmake --build "$san" -j"$(nproc)" --target plugin_shell_tests oracle_tests oracle_session_tests connection_tests
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
  local native
  native=$(cd "$build" && pwd)
  ASAN_OPTIONS=detect_leaks=1 "$san/tests/plugin/plugin_shell_tests"
  ASAN_OPTIONS=detect_leaks=1 "$san/tests/oracle/oracle_tests"
  QUARRY_OCISIM_DIR="$native/ocisim" ASAN_OPTIONS=detect_leaks=1 "$san/tests/oracle/oracle_session_tests"
  ORACLE_HOME="$native/ocisim/home" ASAN_OPTIONS=detect_leaks=1 "$san/tests/connection/connection_tests"
}
stage sanitizers sanitizer_run
stage windows-dll bash .ci/build-windows-dll.sh
# The packages users install: built, installed, used in far2l, removed.
stage packages bash .ci/package-check.sh
# The platform layer's tests, the plugin's unit tests and a subset of the
# acceptance scripts through the x86_64 Windows builds under wine64 (every
# case: scripts/wine-acceptance-all.sh).
stage wine-tests env QUARRY_WINE_ACCEPTANCE="${QUARRY_WINE_ACCEPTANCE:-1}" bash .ci/wine-platform-tests.sh
# Five seconds a target in CI (the corpus, with every input that once found a
# fault, is replayed first); longer runs: QUARRY_FUZZ_SECONDS.
stage fuzz env QUARRY_FUZZ_SECONDS="${QUARRY_FUZZ_SECONDS:-5}" bash .ci/fuzz.sh
