#!/bin/sh
# ffprobe's view of the program streams that muxTools.dll wrote under Wine
# (standins_mplex_dll_test): both streams there (AC-3 in the "-ac3" ones),
# three seconds long.
#   probe-mplex-outputs.sh <folder>
set -eu
dir=$1
. "$(dirname "$0")/../../scripts/lib/media.sh"
status=0
for name in vcd-pal vcd-ntsc svcd-pal dvd-pal dvd-ntsc dvd-pal-ac3 dvd-ntsc-ac3; do
  file="$dir/$name.mpg"
  if [ ! -s "$file" ]; then
    echo "FAIL $name: no output"
    status=1
    continue
  fi
  codecs=$(stream_codecs "$file")
  duration=$(ffprobe -v error -show_entries format=duration -of csv=p=0 "$file")
  case "$name:$codecs" in
    *-ac3:*ac3*mpeg2video*) ;;
    *-ac3:*) echo "FAIL $name: streams '$codecs', no AC-3"; status=1; continue ;;
    *:*mp2*mpeg[12]video*) ;;
    *) echo "FAIL $name: streams '$codecs'"; status=1; continue ;;
  esac
  if ! between "$duration" 2.92 3.08; then
    echo "FAIL $name: duration $duration"
    status=1
    continue
  fi
  errors=$(decode_errors "$file")
  if [ -n "$errors" ]; then
    echo "FAIL $name: decoding says $errors"
    status=1
    continue
  fi
  echo "ok $name: $codecs$duration s"
done
exit $status
