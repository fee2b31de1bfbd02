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
# A driver that started has printed its first line (the test framework
# flushes every line). Nothing at all means Wine never started it - seen on a
# loaded machine right after the prefix was made - and it gets one more start.
out=$prefix.out
run_driver() {
  status=0
  wine "$driver" >"$out" 2>&1 || status=$?
  cat "$out"
}
run_driver
if [ ! -s "$out" ]; then
  echo "run-program-test: the driver did not start (exit $status); starting it again"
  run_driver
fi
rm -f "$out"
wineserver -k 2>/dev/null || true
if [ $status -eq 0 ]; then rm -rf "$prefix"; fi
exit $status
