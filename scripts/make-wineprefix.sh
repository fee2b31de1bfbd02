#!/bin/sh
# Makes a fresh Wine prefix for the tests: no Mono/Gecko installer dialogs.
#   scripts/make-wineprefix.sh <dir>
set -eu
dir=$1
rm -rf "$dir"
mkdir -p "$(dirname "$dir")"
export WINEPREFIX=$dir WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# wineboot needs no display of its own for prefix creation.
DISPLAY= wineboot -i >/dev/null 2>&1 || true
wineserver -w
[ -f "$dir/system.reg" ] || { echo "make-wineprefix: no prefix made in $dir" >&2; exit 1; }
