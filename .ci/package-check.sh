#!/usr/bin/env bash
# Builds the packages, installs the Debian ones as a user would (apt resolves
# their dependencies), runs far2l against the installed plugin and demo home,
# removes them again and checks nothing is left; checks the zip's file list.
set -euo pipefail
cd "$(dirname "$0")/.."
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
bash scripts/package.sh
version=$(sed -n 's/^project(Quarry VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
plugin_deb=$(ls dist/out/quarry-far2l_"$version"-1_*.deb)
demo_deb=$(ls dist/out/quarry-demo_"$version"-1_*.deb)

lintian --fail-on error "$plugin_deb" "$demo_deb"

cleanup() { $SUDO dpkg -r quarry-demo quarry-far2l >/dev/null 2>&1 || true; }
trap cleanup EXIT
# As a user installs them: dpkg -i, then apt for any dependency still missing.
$SUDO dpkg -i "$plugin_deb" "$demo_deb" >/dev/null || true
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -f -y -qq >/dev/null
dpkg -s quarry-far2l quarry-demo >/dev/null
quarry-demo --version | grep -qx "quarry-demo $version" || { echo "quarry-demo --version is wrong" >&2; exit 1; }
bash tests/e2e/installed_demo.sh
$SUDO dpkg -r quarry-demo quarry-far2l >/dev/null
trap - EXIT
for left in /usr/lib/far2l/Plugins/quarry /usr/lib/quarry-demo /usr/bin/quarry-demo /usr/share/doc/quarry-far2l \
            /usr/share/doc/quarry-demo /usr/share/man/man1/quarry-demo.1.gz; do
  if [ -e "$left" ]; then echo "dpkg -r left $left behind" >&2; exit 1; fi
done

zip_file="dist/out/Quarry-$version-win32.zip"
listing=$(unzip -Z1 "$zip_file")
for want in Quarry/Quarry.dll Quarry/ReadMe.txt; do
  grep -qx "$want" <<<"$listing" || { echo "$zip_file lacks $want" >&2; exit 1; }
done
for f in help/*.hlf; do
  grep -qx "Quarry/$(basename "$f")" <<<"$listing" || { echo "$zip_file lacks $(basename "$f")" >&2; exit 1; }
done
for f in dist/Tools/*; do
  grep -qx "Quarry/Tools/$(basename "$f")" <<<"$listing" || { echo "$zip_file lacks Tools/$(basename "$f")" >&2; exit 1; }
done
echo "packages: installed, used in far2l, removed cleanly; the zip holds $(wc -l <<<"$listing") entries"
