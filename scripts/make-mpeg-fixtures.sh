#!/bin/sh
# Makes the MPEG files that tests scan, with ffmpeg, into <outdir>:
#   scripts/make-mpeg-fixtures.sh <outdir> [bench]
#
#   pal-vcd.mpg ntsc-vcd.mpg      3 s MPEG-1 VideoCD streams (2324-byte packs)
#   pal-svcd.mpg ntsc-svcd.mpg    3 s MPEG-2 SuperVCD streams with scan data
#   svcd-noscan.mpg               3 s MPEG-2 stream without scan data
#   mpeg1-2048.mpg                3 s MPEG-1 stream in 2048-byte packs
#   pal-vcd-3audio.mpg            2 s VideoCD stream with three audio streams
#   still-pal.mpg                 one VideoCD picture, no audio (a still)
#   video.m1v                     an elementary video stream (no packs)
#   <name>.mpg.ffprobe            ffprobe's view of each VideoCD/SuperVCD
#                                 stream (flat key=value), for tests that
#                                 cannot run ffprobe themselves (Wine)
# With "bench" it makes only bench-pal-vcd.mpg, a 60 s VideoCD stream.
#
# Files that exist already are kept, so a second run is quick; each is
# written under a temporary name first, so an interrupted run leaves none
# half made. A change of this script's recipe bumps the version below, which
# makes everything anew.
set -eu

if [ $# -lt 1 ]; then
  echo "usage: $0 <outdir> [bench]" >&2
  exit 2
fi
out=$1
what=${2:-tests}
. "$(dirname "$0")/lib/media.sh"
need ffmpeg ffprobe
fixture_folder "$out" fixtures.version 3 '*.mpg' '*.m1v' '*.ffprobe' '*.tmp'

# encode <file> <seconds> <size> <rate> <ffmpeg options...>: test picture and
# a sine tone, encoded with the options given.
encode() {
  file=$1 seconds=$2 size=$3 rate=$4
  shift 4
  ext=${file##*.}
  ffmpeg_once "$out/$file" \
    -f lavfi -i "testsrc=size=$size:rate=$rate" \
    -f lavfi -i "sine=frequency=440:sample_rate=44100" \
    -t "$seconds" "$@" -f "$( [ "$ext" = m1v ] && echo mpeg1video || echo "${FORMAT:-vcd}" )"
}

probe() {
  probe_once "$out/$1" "$out/$1.ffprobe" -show_format -show_streams -show_packets -of flat
}

if [ "$what" = bench ]; then
  FORMAT=vcd encode bench-pal-vcd.mpg 60 352x288 25 -target pal-vcd
  exit 0
fi

FORMAT=vcd encode pal-vcd.mpg 3 352x288 25 -target pal-vcd
FORMAT=vcd encode ntsc-vcd.mpg 3 352x240 30000/1001 -target ntsc-vcd
FORMAT=svcd encode pal-svcd.mpg 3 480x576 25 -target pal-svcd
FORMAT=svcd encode ntsc-svcd.mpg 3 480x480 30000/1001 -target ntsc-svcd
FORMAT=svcd encode svcd-noscan.mpg 3 480x576 25 -target pal-svcd -scan_offset 0
FORMAT=vcd encode mpeg1-2048.mpg 3 352x288 25 -target pal-vcd -packetsize 2048
encode video.m1v 1 352x288 25 -an -c:v mpeg1video -b:v 1150k
# Audio streams 0xC0, 0xC1 and 0xC2 (a mux rate above VideoCD's keeps the
# muxer from warning about three streams' buffers).
ffmpeg_once "$out/pal-vcd-3audio.mpg" -f lavfi -i "testsrc=size=352x288:rate=25" \
  -f lavfi -i "sine=frequency=440:sample_rate=44100" -f lavfi -i "sine=frequency=660:sample_rate=44100" \
  -f lavfi -i "sine=frequency=880:sample_rate=44100" -map 0:v -map 1:a -map 2:a -map 3:a \
  -t 2 -target pal-vcd -muxrate 4000000 -f vcd
ffmpeg_once "$out/still-pal.mpg" -f lavfi -i "testsrc=size=352x288:rate=25" -frames:v 1 -an \
  -target pal-vcd -f vcd

for f in pal-vcd ntsc-vcd pal-svcd ntsc-svcd; do
  probe "$f.mpg"
done
