#!/usr/bin/env bash
# Builds everything and runs every test: the native build with its unit,
# integration and far2l end-to-end tests, the Win32 DLL with its export
# check, and the platform layer's tests under wine64.
# Installs what it needs first (Debian 12; run as root or with sudo).
set -euo pipefail
cd "$(dirname "$0")/.."
bash .ci/install-deps.sh
build=${QUARRY_BUILD_DIR:-build}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUARRY_WERROR=ON -DQUARRY_BUILD_BENCH=ON
cmake --build "$build" -j"$(nproc)"
(cd "$build" && ctest --output-on-failure -j2 --timeout 300)
bash .ci/build-windows-dll.sh
if [ -f .ci/wine-platform-tests.sh ]; then
  bash .ci/wine-platform-tests.sh
fi
