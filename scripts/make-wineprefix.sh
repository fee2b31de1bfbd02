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
# Unmanaged windows: the Xvfb screen has no window manager, and Wine would
# wait two seconds for one at every top-level window that goes away; Wine
# then also draws the window frames itself, so screenshots show them.
DISPLAY= wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 || true
wineserver -w
# Wine's own Marlett (fonts-wine), which draws the system's caption buttons:
# Wine looks for it in the prefix's font folder, where wineboot puts none.
[ -f /usr/share/wine/fonts/marlett.ttf ] && cp /usr/share/wine/fonts/marlett.ttf "$dir/drive_c/windows/Fonts/" || true
[ -f "$dir/system.reg" ] || { echo "make-wineprefix: no prefix made in $dir" >&2; exit 1; }
