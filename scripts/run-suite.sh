#!/bin/sh
# Starts the suite as a user meets it: an installed-suite Wine prefix
# (scripts/make-suite-prefix.sh) with the x86_64 programs in
# C:\Program Files\Quorbel\, and the launcher Quorbel.exe started from there.
#   scripts/run-suite.sh <win64 build dir>
# With a display (DISPLAY set) the launcher runs until it is closed. Without
# one it runs on a private Xvfb screen for RUN_SECONDS (default 8), until
# its window is drawn, and a screenshot of that screen is saved beside the
# prefix.
set -eu
[ $# -eq 1 ] || { echo "usage: $0 <win64 build dir>" >&2; exit 2; }
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "$1" && pwd)
prefix=$build/suite-prefix
shot=$build/suite-launcher.png
program="$prefix/drive_c/Program Files/Quorbel"

display=${DISPLAY-}
"$here/make-suite-prefix.sh" "$prefix" "$build" >/dev/null
[ -f "$program/Quorbel.exe" ] || { echo "run-suite: Quorbel.exe was not built in $build" >&2; exit 1; }

export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
cd "$program"

if [ -n "$display" ]; then
  export DISPLAY="$display"
  echo "Starting the launcher (Quorbel.exe) in $prefix; close it to end."
  wine Quorbel.exe
  wineserver -w
  exit 0
fi

. "$here/lib/xvfb.sh"
start_xvfb
cleanup() { wineserver -k 2>/dev/null || true; kill "$xvfb_pid" 2>/dev/null || true; wait "$xvfb_pid" 2>/dev/null || true; }
trap cleanup EXIT INT TERM
# The pointer starts at the screen's centre, over a button of the centred
# launcher, whose tooltip Wine leaves unpainted (a black box) on this screen
# when it opens over another window: it rests in a corner instead, as a
# user's would.
python3 - "$DISPLAY" <<'EOF' || echo "run-suite: the pointer stays where it is"
import ctypes, sys
x11 = ctypes.CDLL("libX11.so.6")
x11.XOpenDisplay.restype = ctypes.c_void_p
x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
x11.XDefaultRootWindow.restype = ctypes.c_ulong
x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
x11.XWarpPointer.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_ulong] + [ctypes.c_int] * 2 + \
    [ctypes.c_uint] * 2 + [ctypes.c_int] * 2
x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
display = x11.XOpenDisplay(sys.argv[1].encode())
if not display:
    sys.exit(1)
x11.XWarpPointer(display, 0, x11.XDefaultRootWindow(display), 0, 0, 0, 0, 1279, 1023)
x11.XCloseDisplay(display)
EOF

echo "No display: the launcher runs on a private screen for at least ${RUN_SECONDS:-8} s."
wine Quorbel.exe </dev/null >/dev/null 2>&1 &
sleep "${RUN_SECONDS:-8}"
# A busy machine may take longer to start and paint the launcher: the
# screenshot waits until the screen shows something and two captures a
# second apart are the same (RUN_TIMEOUT seconds at most, default 180).
capture="$build/suite-launcher.xwd"
last="" waited=0
while :; do
  xwd -root -silent -display "$DISPLAY" > "$capture" 2>/dev/null || break
  now=$(convert "xwd:$capture" -format '%[max] %#' info: 2>/dev/null || true)
  case $now in
    "0 "*|"") ;;                       # nothing drawn yet
    *) [ "$now" = "$last" ] && break ;;
  esac
  last=$now
  [ "$waited" -ge "${RUN_TIMEOUT:-180}" ] && { echo "run-suite: the screen did not settle"; break; }
  sleep 1
  waited=$((waited + 1))
done
if [ -s "$capture" ] && convert "xwd:$capture" "$shot" 2>/dev/null; then
  echo "Screenshot of the launcher: $shot"
fi
rm -f "$capture"
