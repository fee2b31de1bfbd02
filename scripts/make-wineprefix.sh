#!/bin/sh
# Makes a fresh Wine prefix for the tests: no Mono/Gecko installer dialogs.
#   scripts/make-wineprefix.sh <dir>
# With QUORBEL_PREFIX_TEMPLATE set (scripts/wine-session.sh sets it), the
# prefix is made there once and copied for every later prefix: wineboot
# takes tens of seconds on a busy machine, a copy a fraction of one.
set -eu
dir=$1
rm -rf "$dir"
mkdir -p "$(dirname "$dir")"

template=${QUORBEL_PREFIX_TEMPLATE:-}
if [ -n "$template" ] && [ "$template" != "$dir" ]; then
  mkdir -p "$(dirname "$template")"
  exec 7>"$template.lock"
  flock 7
  if [ ! -f "$template/.made" ]; then
    QUORBEL_PREFIX_TEMPLATE= sh "$0" "$template"
    touch "$template/.made"
  fi
  flock -u 7
  # No wineserver ever runs on the template, so the copy is a whole prefix.
  cp -a "$template" "$dir"
  rm -f "$dir/.made"
  exit 0
fi

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
