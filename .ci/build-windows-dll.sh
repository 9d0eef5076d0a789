#!/usr/bin/env bash
# Cross-builds Quarry.dll for 32-bit Windows (FAR 1.70) and checks that its
# export table holds the eleven entry points under their plain names.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${QUARRY_WIN32_BUILD_DIR:-build-win32}
cmake -S . -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake \
  -DCMAKE_BUILD_TYPE=Release -DQUARRY_BUILD_TESTS=OFF -DQUARRY_WERROR=ON >/dev/null
cmake --build "$build" --target quarry_plugin -j2
dll="$build/src/Quarry.dll"
[ -f "$dll" ] || { echo "Quarry.dll was not built" >&2; exit 1; }
exports=$(i686-w64-mingw32-objdump -p "$dll" | awk '/\[Ordinal\/Name Pointer\] Table/{t=1;next} t&&/^[[:space:]]*\[/{print $NF} t&&/^$/{t=0}')
missing=0
for name in SetStartupInfo GetPluginInfo OpenPlugin ClosePlugin GetFindData FreeFindData \
            SetDirectory GetOpenPluginInfo ProcessKey ProcessEvent Configure; do
  if ! grep -qx "$name" <<<"$exports"; then
    echo "missing export: $name" >&2
    missing=1
  fi
done
if grep -q '@' <<<"$exports"; then
  echo "decorated exports found:" >&2
  grep '@' <<<"$exports" >&2
  missing=1
fi
[ "$missing" -eq 0 ] || exit 1
echo "Quarry.dll: $(wc -l <<<"$exports") exports, all eleven entry points undecorated"
