#!/usr/bin/env bash
# Every acceptance script once more, through quarry-host, the plugin and the
# client stand-in (with its SQL*Plus and exp) built with AddressSanitizer,
# UBSan and the leak checker on: a leak, a bad access or undefined behaviour
# puts a report into the transcript (and a sanitizer exit status), so the
# case no longer matches its expected transcript.  Reuses the sanitizer
# build tree of scripts/test.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
san=${QUARRY_SANITIZE_BUILD_DIR:-build-sanitize}
cmake -S . -B "$san" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQUARRY_SANITIZE=ON -DQUARRY_WERROR=ON >/dev/null
cmake --build "$san" -j"$(nproc)" --target quarry-host quarry_plugin ocisim sqlplus exp
host=$PWD/$san/sim/host/quarry-host
plugin=$(ls "$PWD/$san"/src/*.far-plug-mb | head -n1)
home=$PWD/$san/ocisim/home
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
# The transcripts name no build folder, so the expected ones apply as they
# are.  Two cases at a time; every failure is listed before the exit.
failed=$(mktemp)
trap 'rm -f "$failed"' EXIT
ls tests/acceptance/*.qh | xargs -P "$(nproc)" -I{} bash -c '
  case_file=$PWD/$1; home=
  case $(basename "$1") in db_*) home=$4 ;; esac
  if ! out=$(bash tests/acceptance/run_case.sh "$2" "$3" "$case_file" $home 2>&1); then
    printf "%s\n" "$out" | head -n 60
    echo "$1" >>"$5"
  fi' _ {} "$host" "$plugin" "$home" "$failed"
total=$(ls tests/acceptance/*.qh | wc -l)
if [ -s "$failed" ]; then
  echo "leak-check: $(wc -l <"$failed") of $total cases failed under the sanitizers:" >&2
  cat "$failed" >&2
  exit 1
fi
echo "leak-check: $total cases clean under ASan (leak checker on) and UBSan"
