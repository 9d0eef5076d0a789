#!/usr/bin/env bash
# The whole fault sweep (a developer run, not CI): every acceptance script
# that logs on, with a fault injected at each of its server round trips in
# turn; see tests/faults/fault_sweep.sh for what is checked.  Takes long
# (thousands of runs) and can be stopped at any time: run it again and it
# goes on where it stopped.  CI plays a subset (.ci/fault-sweep.sh).
#   QUARRY_BUILD_DIR   the native build (default: build), with quarry-host,
#                      the plugin and the OCI stand-in built
#   FAULT_SWEEP_FAULT  what to inject: drop (the default), ORA-nnnnn or
#                      stall=MS
#   FAULT_SWEEP_STATE  where the demo database, the runs without faults and
#                      the results are kept between runs (default:
#                      BUILD/fault-sweep/FAULT); remove it to start afresh
#   FAULT_SWEEP_JOBS   runs at the same time (default: the number of CPUs)
#   FAULT_SWEEP_KEEP   a folder to keep each failed run's files in
# Extra arguments go to fault_sweep.sh (for example --every 5).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${QUARRY_BUILD_DIR:-$root/build}"
fault="${FAULT_SWEEP_FAULT:-drop}"
state="${FAULT_SWEEP_STATE:-$build/fault-sweep/$fault}"
keep=()
if [ -n "${FAULT_SWEEP_KEEP:-}" ]; then keep=(--keep "$FAULT_SWEEP_KEEP"); fi
exec bash "$root/tests/faults/fault_sweep.sh" "$build" --fault "$fault" --state "$state" \
  --jobs "${FAULT_SWEEP_JOBS:-$(nproc)}" "${keep[@]}" "$@" "$root"/tests/acceptance/db_*.qh
