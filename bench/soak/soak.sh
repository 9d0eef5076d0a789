#!/usr/bin/env bash
# A long session: the acceptance scripts played again and again in ONE
# quarry-host process (one plugin module, one client library, one demo
# database) for N minutes.  After each pass the host waits while this script
# reads the process's resident memory and open file descriptors; the figures
# of the first pass (the start, once everything is loaded and cached) and the
# last (the end) should be the same: growth is a leak of memory, of
# descriptors, or of temporary files.
#
# Usage: bench/soak/soak.sh [MINUTES] [BUILD_DIR]     (defaults: 10, build)
# Needs quarry-host, the plugin, the client stand-in and its tools built in
# BUILD_DIR.  Prints one line per pass and a summary; exits 1 when the host
# crashed.
set -euo pipefail
cd "$(dirname "$0")/../.."
minutes=${1:-10}
build=$(cd "${2:-build}" && pwd)
host=$build/sim/host/quarry-host
plugin=$(ls "$build"/src/*.far-plug-mb | head -n1)
home=$build/ocisim/home
for f in "$host" "$plugin" "$home/lib/libclntsh.so" "$home/bin/sqlplus" "$home/bin/exp"; do
  [ -e "$f" ] || { echo "soak: $f is missing; build quarry-host quarry_plugin ocisim sqlplus exp first" >&2; exit 2; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export QUARRY_REGISTRY_DIR="$work/registry" TMPDIR="$work/tmp" ORACLE_HOME="$home" OCISIM_DATA_DIR="$work/data"
mkdir -p "$TMPDIR" "$OCISIM_DATA_DIR"
unset TNS_ADMIN OCIDLL ORACLEHOME OCISIM_CALL_LOG OCISIM_SYSDATE
# Every script that needs nothing but the shared setting: the few that fix
# the clock or make the temporary folder unusable need a process of their
# own.  Files the cases bring (a Tools folder ...) go into the work folder,
# the host's current directory, as for a single case.
scripts=()
for case in "$PWD"/tests/acceptance/*.qh; do
  grep -q '^#@' "$case" && continue
  scripts+=("$case")
  [ -d "${case%.qh}.files" ] && cp -r "${case%.qh}.files/." "$work/"
done

# The after-pass command: pass number, RSS in kB, open descriptors, files
# left in the temporary folder.
cat >"$work/sample.sh" <<'SAMPLE'
#!/usr/bin/env bash
pid=$(cat "$SOAK_PID_FILE")
rss=$(awk '/^VmRSS:/ {print $2}' "/proc/$pid/status")
fds=$(ls "/proc/$pid/fd" | wc -l)
temps=$(find "$TMPDIR" -mindepth 1 | wc -l)
echo "$1 $rss $fds $temps" >>"$SOAK_SAMPLES"
printf 'pass %4d: %8d kB RSS, %4d descriptors, %3d temporary files\n' "$1" "$rss" "$fds" "$temps" >&3
SAMPLE
chmod +x "$work/sample.sh"
export SOAK_PID_FILE="$work/host.pid" SOAK_SAMPLES="$work/samples"

echo "soak: ${#scripts[@]} scripts per pass for $minutes minutes in one host process" >&2
status=0
exec 3>&2  # the passes' lines, written while the host's own output is kept aside
(cd "$work" && exec bash -c 'echo $$ >"$SOAK_PID_FILE"; exec "$@"' soak "$host" -e "load $plugin" \
   --repeat-for "$((minutes * 60))" --after-pass "$work/sample.sh" "${scripts[@]}") >/dev/null 2>"$work/host.err" || status=$?
cat "$work/host.err" >&2
if [ "$status" != 0 ] || [ ! -s "$SOAK_SAMPLES" ]; then
  echo "soak: the host ended with status $status" >&2
  exit 1
fi
awk '
  NR == 1 { r0 = $2; f0 = $3; t0 = $4 }
  { n = $1; r = $2; f = $3; t = $4; if ($2 > rmax) rmax = $2 }
  END {
    printf "soak: %d passes\n", n
    printf "  start (after pass 1): %d kB RSS, %d descriptors, %d temporary files\n", r0, f0, t0
    printf "  end (after pass %d): %d kB RSS, %d descriptors, %d temporary files\n", n, r, f, t
    printf "  RSS peak %d kB; growth %+d kB (%+.1f%%), %+.1f kB per pass\n", rmax, r - r0, 100 * (r - r0) / r0, (n > 1 ? (r - r0) / (n - 1) : 0)
  }' "$SOAK_SAMPLES"
