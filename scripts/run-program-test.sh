#!/bin/sh
# Runs a disc program's test driver in a prefix made like an installed suite
# (scripts/make-suite-prefix.sh):
#   scripts/run-program-test.sh <source dir> <win64 build dir> <prefix> <test exe>
# The prefix has its own wineserver, stopped afterwards; a passing run
# removes it (it is as big as Wine itself).
set -eu
if [ $# -ne 4 ]; then
  echo "usage: $0 <source dir> <win64 build dir> <prefix> <test exe>" >&2
  exit 2
fi
src=$1 build=$2 prefix=$3 driver=$4
rm -rf "$prefix"
sh "$src/scripts/make-suite-prefix.sh" "$prefix" "$build" >/dev/null
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
status=0
wine "$driver" || status=$?
wineserver -k 2>/dev/null || true
if [ $status -eq 0 ]; then rm -rf "$prefix"; fi
exit $status
