#!/bin/sh
# Runs a command (normally ctest for the x86_64 build) with one Xvfb server
# (24-bit screen) and one persistent wineserver in a fresh prefix, so each
# Windows test starts in a fraction of a second. Both are stopped afterwards.
#   scripts/wine-session.sh <prefix-dir> <command...>
set -eu
prefix=$1; shift
here=$(cd "$(dirname "$0")" && pwd)
# Every prefix of this session (its own, and those of the tests that make an
# installed suite's) is a copy of one made now; the next session makes its
# own again, so a changed Wine is never met by an old copy.
export QUORBEL_PREFIX_TEMPLATE=$prefix.template
rm -rf "$QUORBEL_PREFIX_TEMPLATE"
"$here/make-wineprefix.sh" "$prefix"
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

. "$here/lib/xvfb.sh"
start_xvfb

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
