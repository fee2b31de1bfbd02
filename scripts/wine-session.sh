#!/bin/sh
# Runs a command (normally ctest for the x86_64 build) with one Xvfb server
# (24-bit screen) and one persistent wineserver in a fresh prefix, so each
# Windows test starts in a fraction of a second. Both are stopped afterwards.
#   scripts/wine-session.sh <prefix-dir> <command...>
set -eu
prefix=$1; shift
here=$(cd "$(dirname "$0")" && pwd)
"$here/make-wineprefix.sh" "$prefix"
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

# Xvfb picks a free display itself and names it once it listens, so that
# sessions started side by side never share a screen.
dispfile=$(mktemp)
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$dispfile" >/dev/null 2>&1 &
xvfb_pid=$!
i=0
while [ ! -s "$dispfile" ] && [ $i -lt 300 ]; do sleep 0.1; i=$((i + 1)); done
disp=$(tr -d '\n' < "$dispfile")
rm -f "$dispfile"
[ -n "$disp" ] || { echo "wine-session: Xvfb did not start" >&2; kill "$xvfb_pid" 2>/dev/null; exit 1; }
export DISPLAY=":$disp"

cleanup() { wineserver -k 2>/dev/null || true; kill "$xvfb_pid" 2>/dev/null || true; wait "$xvfb_pid" 2>/dev/null || true; }
trap cleanup EXIT INT TERM
wineserver -p
# Start Wine's own background processes (services, explorer) now, detached
# from our output: started by the first test they would inherit its pipe and
# CTest would wait for them until the timeout.
wine cmd /c exit </dev/null >/dev/null 2>&1 || true
status=0
"$@" || status=$?
exit $status
