#!/bin/sh
# Makes the elementary streams that the multiplexer's tests join, with
# ffmpeg, into <outdir>:
#   scripts/make-es-fixtures.sh <outdir>
#
#   vcd-pal.m1v  vcd-pal.mp2     3 s VideoCD video (25 fps) and 44.1 kHz layer II
#   vcd-ntsc.m1v vcd-ntsc.mp2    3 s VideoCD video (29.97 fps, B pictures)
#   svcd-pal.m2v svcd-pal.mp2    3 s SuperVCD video (480x576) and audio
#   dvd-pal.m2v  dvd-pal.mp2     3 s DVD video (720x576) and 48 kHz layer II
#   dvd-ntsc.m2v dvd-ntsc.mp2    3 s DVD video (720x480, 29.97, B pictures)
#   dvd.ac3                      3 s AC-3 for either DVD video: stereo, 224 kbit/s, 48 kHz
#   dvd-surround.ac3             3 s AC-3 5.1 at 448 kbit/s
#   dvd-44k.ac3 dvd.eac3         1 s of sound a DVD does not carry: AC-3 at 44.1 kHz, E-AC-3
#   vcd-long.m1v vcd-long.mp2    30 s VideoCD video and audio at the full VideoCD rates
#   not-audio.mp2                bytes that hold no audio frame
#
# Files that exist already are kept; each is written under a temporary name
# first. A change of a recipe bumps the version, which makes all anew.
set -eu

if [ $# -lt 1 ]; then
  echo "usage: $0 <outdir>" >&2
  exit 2
fi
out=$1
. "$(dirname "$0")/lib/media.sh"
need ffmpeg
fixture_folder "$out" es.version 3 '*.m1v' '*.m2v' '*.mp2' '*.ac3' '*.eac3' '*.tmp'

# video <file> <size> <rate> <target> <format> [options...]
video() {
  file=$1 size=$2 rate=$3 target=$4 format=$5
  shift 5
  ffmpeg_once "$out/$file" -f lavfi -i "testsrc=size=$size:rate=$rate" -t "${SECONDS_LONG:-3}" \
    -target "$target" -an "$@" -f "$format"
}

# audio <file> <sample rate> <target>
audio() {
  file=$1 rate=$2 target=$3
  ffmpeg_once "$out/$file" -f lavfi -i "sine=frequency=440:sample_rate=$rate" -t "${SECONDS_LONG:-3}" \
    -target "$target" -vn -c:a mp2 -b:a 224k -ar "$rate" -f mp2
}

# ac3 <file> <format> <channels> <kbit/s> <sample rate> <seconds>
ac3() {
  ffmpeg_once "$out/$1" -f lavfi -i "sine=frequency=440:sample_rate=$5" -t "$6" \
    -vn -ac "$3" -c:a "$2" -b:a "$4k" -ar "$5" -f "$2"
}

video vcd-pal.m1v 352x288 25 pal-vcd mpeg1video
audio vcd-pal.mp2 44100 pal-vcd
video vcd-ntsc.m1v 352x240 30000/1001 ntsc-vcd mpeg1video -bf 2
audio vcd-ntsc.mp2 44100 ntsc-vcd
video svcd-pal.m2v 480x576 25 pal-svcd mpeg2video
audio svcd-pal.mp2 44100 pal-svcd
video dvd-pal.m2v 720x576 25 pal-dvd mpeg2video
audio dvd-pal.mp2 48000 pal-dvd
video dvd-ntsc.m2v 720x480 30000/1001 ntsc-dvd mpeg2video -bf 2
audio dvd-ntsc.mp2 48000 ntsc-dvd
ac3 dvd.ac3 ac3 2 224 48000 3
ac3 dvd-surround.ac3 ac3 6 448 48000 3
ac3 dvd-44k.ac3 ac3 2 192 44100 1
ac3 dvd.eac3 eac3 2 192 48000 1
SECONDS_LONG=30 video vcd-long.m1v 352x288 25 pal-vcd mpeg1video
SECONDS_LONG=30 audio vcd-long.mp2 44100 pal-vcd
[ -s "$out/not-audio.mp2" ] || printf 'this is no MPEG audio at all\n%.0s' $(seq 1 200) > "$out/not-audio.mp2"
