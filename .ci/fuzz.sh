#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ with clang in a tree of their own and
# runs each for a bounded time, two at a time; a crash, a leak, undefined
# behaviour, a failed property or a hang (10 s on one input) fails the stage.
# Each target starts from its checked-in corpus (fuzz/corpus/<target>), which
# also holds every input that once found a fault.
#   QUARRY_FUZZ_SECONDS  time per target (default 10; try 300 for a long run)
#   QUARRY_FUZZ_JOBS     targets run at once (default 2)
#   QUARRY_FUZZ_TARGETS  the targets to run (default: all)
#   QUARRY_FUZZ_BUILD_DIR  the build tree (default build-fuzz)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${QUARRY_FUZZ_BUILD_DIR:-build-fuzz}
seconds=${QUARRY_FUZZ_SECONDS:-10}
jobs=${QUARRY_FUZZ_JOBS:-2}
read -r -a targets <<<"${QUARRY_FUZZ_TARGETS:-tnsnames bind_scanner path_levels jump_rules help_topic settings_store dialog_history sql_lexer sql_translate}"

CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQUARRY_FUZZ=ON \
  -DQUARRY_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target fuzz_all

# New inputs go to a scratch folder; failing inputs are kept below the tree.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
artifacts="$build/fuzz-artifacts"
mkdir -p "$artifacts"
# Stack traces with file and line (the symbolizer of Debian's llvm-14).
for s in /usr/lib/llvm-14/bin/llvm-symbolizer "$(command -v llvm-symbolizer || true)"; do
  if [ -x "$s" ]; then export ASAN_SYMBOLIZER_PATH=$s; break; fi
done
export ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
run_target() {
  local t=$1
  mkdir -p "$work/$t"
  "$build/fuzz/fuzz_$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=1024 -print_final_stats=1 \
    -artifact_prefix="$artifacts/$t-" "$work/$t" "fuzz/corpus/$t" >"$work/$t.log" 2>&1
}

declare -A pids
for t in "${targets[@]}"; do
  while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do wait -n || true; done
  run_target "$t" &
  pids[$t]=$!
done
failed=()
for t in "${targets[@]}"; do
  if wait "${pids[$t]}"; then rc=0; else rc=$?; fi
  execs=$(awk '/stat::number_of_executed_units/ {print $2}' "$work/$t.log")
  printf 'fuzz %-15s %9s executions in %s s  %s\n' "$t" "${execs:-?}" "$seconds" "$([ "$rc" -eq 0 ] && echo ok || echo "FAILED ($rc)")"
  if [ "$rc" -ne 0 ]; then
    failed+=("$t")
    grep -v '^#[0-9]' "$work/$t.log" | tail -n 60
  fi
done
if [ "${#failed[@]}" -gt 0 ]; then
  echo "fuzz: failed: ${failed[*]} (inputs in $artifacts)" >&2
  exit 1
fi
