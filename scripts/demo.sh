#!/usr/bin/env bash
# Starts far2l with Quarry on the embedded demo database.
# Installs what it needs first (Debian 12; run as root or with sudo), builds
# the plugin and the Oracle client stand-in, and keeps a private far2l
# profile, registry and demo database below $QUARRY_DEMO_DIR
# (default ~/.local/share/quarry-demo), so your own far2l setup is untouched.
set -euo pipefail
cd "$(dirname "$0")/.."
bash .ci/install-deps.sh
build=${QUARRY_BUILD_DIR:-build}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
targets=(quarry_plugin)
if cmake --build "$build" --target help | grep -q '^ocisim:'; then targets+=(ocisim); fi
cmake --build "$build" -j"$(nproc)" --target "${targets[@]}"

demo=${QUARRY_DEMO_DIR:-$HOME/.local/share/quarry-demo}
mkdir -p "$demo/profile/.config/settings" "$demo/plugins/quarry/plug" "$demo/registry" \
         "$demo/oracle/lib" "$demo/oracle/network/admin" "$demo/data"
[ -f "$demo/profile/.config/settings/config.ini" ] || : > "$demo/profile/.config/settings/config.ini"
# Replace the module by renaming, never in place: far2l may have it loaded.
cp "$build/src/Quarry.far-plug-mb" "$demo/plugins/quarry/plug/.Quarry.far-plug-mb.new"
mv -f "$demo/plugins/quarry/plug/.Quarry.far-plug-mb.new" "$demo/plugins/quarry/plug/Quarry.far-plug-mb"

# The demo's Oracle home: the stand-in client library and an alias file.
client="$build/ocisim/home/lib/libclntsh.so"
[ -e "$client" ] || client=""
if [ -n "$client" ]; then
  cp -L "$client" "$demo/oracle/lib/.libclntsh.so.new"
  mv -f "$demo/oracle/lib/.libclntsh.so.new" "$demo/oracle/lib/libclntsh.so"
else
  echo "note: the Oracle client stand-in is not built yet; Quarry will show the root list only" >&2
fi
cp dist/tnsnames.ora "$demo/oracle/network/admin/tnsnames.ora" 2>/dev/null || true

export QUARRY_REGISTRY_DIR="$demo/registry"
export ORACLE_HOME="$demo/oracle"
export TNS_ADMIN="$demo/oracle/network/admin"
export OCISIM_DATA_DIR="$demo/data"
echo "Quarry demo: press F11 and choose \"Quarry manager\" (log on as scott/tiger or system/manager)."
exec far2l --tty --mortal -u "$demo/profile" -set:System.PersonalPluginsPath="$demo/plugins" "$@"
