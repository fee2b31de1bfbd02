#!/bin/sh
# CTest's emulator for the x86_64 Windows build: runs one program under wine64.
# Inside scripts/wine-session.sh (DISPLAY, WINEPREFIX and a persistent
# wineserver already set up) it just runs wine; on its own it makes the
# default prefix if needed and wraps the program in xvfb-run.
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
if [ -z "${WINEPREFIX:-}" ]; then
  export WINEPREFIX=${QUORBEL_DEFAULT_PREFIX:?no WINEPREFIX and no QUORBEL_DEFAULT_PREFIX}
fi
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  "$(dirname "$0")/make-wineprefix.sh" "$WINEPREFIX" >&2
fi
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" wine "$@"
fi
exec wine "$@"
