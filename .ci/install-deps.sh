#!/usr/bin/env bash
# Installs everything the build, the tests and the demo need on Debian 12.
set -euo pipefail
export DEBIAN_FRONTEND=noninteractive
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
# The backports suite comes from the same mirror as the machine's own bookworm
# suite, whatever that mirror is (one-line or deb822 sources).
. "$(dirname "${BASH_SOURCE[0]}")/apt-sources.sh"
if ! grep -rqs 'bookworm-backports' /etc/apt/sources.list /etc/apt/sources.list.d/; then
  mirror=$(apt_mirror_for bookworm)
  if [ -z "$mirror" ]; then
    echo "install-deps: no bookworm suite in the APT sources; cannot add bookworm-backports" >&2
    exit 1
  fi
  echo "deb $mirror bookworm-backports main" | $SUDO tee /etc/apt/sources.list.d/bookworm-backports.list >/dev/null
fi
pkgs=(build-essential cmake ninja-build pkg-config libsqlite3-dev libgtest-dev libgmock-dev libbenchmark-dev
      tmux mingw-w64 g++-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64-i686 wine64 procps
      zip unzip lintian locales clang libclang-rt-14-dev llvm-14 tcl)
missing=()
for p in "${pkgs[@]}"; do dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p"); done
dpkg -s far2l >/dev/null 2>&1 || missing+=("far2l")
if [ "${#missing[@]}" -gt 0 ]; then
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]/far2l/}" >/dev/null
  if [[ " ${missing[*]} " == *" far2l "* ]]; then
    $SUDO apt-get install -y -qq --no-install-recommends -t bookworm-backports far2l >/dev/null
  fi
fi
