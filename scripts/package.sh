#!/usr/bin/env bash
# Builds the installable packages into dist/out/:
#   quarry-far2l_<version>-1_<arch>.deb   the far2l plugin, help, Tools
#   quarry-demo_<version>-1_<arch>.deb    the demo database and quarry-demo
#   Quarry-<version>-win32.zip            Quarry.dll for FAR 1.70 with help and Tools
# Reuses the native build folder ($QUARRY_BUILD_DIR, default build) and the
# Windows one ($QUARRY_WIN32_BUILD_DIR, default build-win32), building what
# is missing.  Installs what it needs first (Debian 12; root or sudo).
set -euo pipefail
cd "$(dirname "$0")/.."
bash .ci/install-deps.sh
out=dist/out
build=${QUARRY_BUILD_DIR:-build}
mkdir -p "$out"
version=$(sed -n 's/^project(Quarry VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
[ -n "$version" ] || { echo "package: no version in CMakeLists.txt" >&2; exit 1; }

# Debian packages.
[ -f "$build/CMakeCache.txt" ] || cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$(nproc)"
rm -f "$build"/quarry-*.deb
(cd "$build" && cpack -G DEB >/dev/null)
cp "$build"/quarry-far2l_"$version"-1_*.deb "$build"/quarry-demo_"$version"-1_*.deb "$out/"

# The Windows zip: the DLL, the help files in the OEM code page FAR 1.70
# reads (the English text is plain ASCII, so this only proves it is), the
# Tools folder and a ReadMe with CR LF line ends.
bash .ci/build-windows-dll.sh >/dev/null
win=${QUARRY_WIN32_BUILD_DIR:-build-win32}
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
mkdir -p "$stage/Quarry"
cp "$win/src/Quarry.dll" "$stage/Quarry/"
for hlf in "$win"/src/Quarry.hlf "$win"/src/zoZaze.hlf; do
  [ -f "$hlf" ] || { echo "package: $hlf was not built" >&2; exit 1; }
  iconv -f UTF-8 -t CP437 "$hlf" | sed 's/$/\r/' >"$stage/Quarry/$(basename "$hlf")" ||
    { echo "package: $hlf has characters the OEM code page cannot show" >&2; exit 1; }
done
[ -f dist/Tools/Tools.ini ] || { echo "package: dist/Tools/Tools.ini is missing" >&2; exit 1; }
cp -r dist/Tools "$stage/Quarry/Tools"
find "$stage/Quarry/Tools" -type f \( -name '*.ini' -o -name '*.sql' \) -exec sed -i 's/\r\?$/\r/' {} +
sed "s/@VERSION@/$version/" dist/ReadMe.txt | sed 's/$/\r/' >"$stage/Quarry/ReadMe.txt"
zip_name="Quarry-$version-win32.zip"
rm -f "$out/$zip_name"
(cd "$stage" && zip -q -r -X "$OLDPWD/$out/$zip_name" Quarry)
echo "packages in $out:"
ls -1 "$out"
