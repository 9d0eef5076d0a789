#!/usr/bin/env bash
# Plays every acceptance script that can run on Windows under wine64 through
# the x86_64 Windows builds of quarry-host.exe, Quarry.dll and oci.dll (OEM
# file functions, code pages 1251/866, a Cyrillic temporary folder, an Oracle
# home in the registry); run it before a release.  CI plays a subset
# (.ci/wine-acceptance.sh without arguments).  Arguments: case names to play
# instead of all of them.  Installs nothing: run .ci/install-deps.sh first.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ $# -gt 0 ]; then exec bash .ci/wine-acceptance.sh "$@"; fi
exec bash .ci/wine-acceptance.sh --all
