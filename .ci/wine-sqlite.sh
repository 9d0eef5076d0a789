#!/usr/bin/env bash
# Makes SQLite's single-file source (sqlite3.c, sqlite3.h) for the Windows
# build of the client stand-in.  mingw-w64 has no SQLite library and the
# repository does not carry the generated file, so it is generated from
# Debian's own sqlite3 source package (the version the native build links),
# fetched with apt through a private source list: the machine's apt setup
# is not changed.  Only the parts needed for the generation are unpacked,
# and the generated file is the one Debian's own build makes (make sqlite3.c)
# without running configure, which is slower than everything else here.
# Debian's patches touch the command-line shell and the build, not the
# library, so they are not applied.
#
# Usage: wine-sqlite.sh OUTDIR   (OUTDIR gets sqlite3.c and sqlite3.h; a
# second run with both present does nothing)
set -euo pipefail
out=${1:?usage: wine-sqlite.sh OUTDIR}
if [ -s "$out/sqlite3.c" ] && [ -s "$out/sqlite3.h" ]; then exit 0; fi
mkdir -p "$out"
work=$(mktemp -d "${TMPDIR:-/tmp}/quarry-sqlite.XXXXXX")
trap 'rm -rf "$work"' EXIT
apt_opts=(-o Dir::Etc::SourceList="$work/sources.list" -o Dir::Etc::SourceParts=/dev/null
          -o Dir::State::Lists="$work/lists" -o Debug::NoLocking=1 -o APT::Sandbox::User=root -qq)
mkdir -p "$work/lists/partial" "$work/src"
suite=$(. /etc/os-release && echo "${VERSION_CODENAME:-bookworm}")
# The machine's own mirrors for the suite and its updates (never a mirror
# named here).
. "$(dirname "${BASH_SOURCE[0]}")/apt-sources.sh"
for s in "$suite" "$suite-updates" "$suite-security"; do
  uri=$(apt_mirror_for "$s")
  if [ -n "$uri" ]; then echo "deb-src $uri $s main"; fi
done >"$work/sources.list"
[ -s "$work/sources.list" ] || { echo "wine-sqlite: no $suite suite in the APT sources" >&2; exit 2; }
apt-get "${apt_opts[@]}" update >/dev/null
# The source version that matches the installed library, when there is one.
want=sqlite3
installed=$(dpkg-query -W -f='${source:Version}' libsqlite3-0 2>/dev/null || true)
[ -n "$installed" ] && want="sqlite3=$installed"
(cd "$work/src" && apt-get "${apt_opts[@]}" source --download-only "$want" >/dev/null 2>&1 ||
                   apt-get "${apt_opts[@]}" source --download-only sqlite3 >/dev/null 2>&1)
orig=$(ls "$work"/src/sqlite3_*.orig.tar.* 2>/dev/null | grep -v -- '-www' | head -n1)
[ -n "$orig" ] || { echo "wine-sqlite: Debian's sqlite3 source package could not be fetched" >&2; exit 2; }
tar -xf "$orig" -C "$work" --exclude='*/test/*' --exclude='*/www/*' --exclude='*/autoconf/*' \
    --exclude='*/doc/*' --exclude='*/mptest/*'
top=$(find "$work" -mindepth 1 -maxdepth 1 -type d -name 'sqlite*' | head -n1)
mkdir -p "$top/bld"
# The generated Makefile only needs these few of configure's answers for
# the source targets; everything else may stay empty.
sed -e "s|@abs_srcdir@|$top|" -e 's|@BUILD_CC@|cc|' -e 's|@TCLSH_CMD@|tclsh|' \
    -e 's|@USE_AMALGAMATION@|1|' -e 's|@[A-Za-z_]*@||g' "$top/Makefile.in" >"$top/bld/Makefile"
: >"$top/bld/sqlite_cfg.h"
command -v tclsh >/dev/null || { echo "wine-sqlite: tclsh is needed (package tcl)" >&2; exit 2; }
make -C "$top/bld" -j2 sqlite3.c >"$work/make.log" 2>&1 || { cat "$work/make.log" >&2; exit 2; }
cp "$top/bld/sqlite3.c" "$top/bld/sqlite3.h" "$out/"
echo "wine-sqlite: SQLite $(sed -n 's/^#define SQLITE_VERSION  *"\(.*\)"/\1/p' "$out/sqlite3.h") from $(basename "$orig")"
