#!/bin/sh
# Sources for the conversion control's tests, made by ffmpeg into <outdir>:
#   make-convctl-fixtures.sh <outdir>
#
#   pal-dvd.mpg        3 s DVD program stream as ffmpeg makes it (AC-3 audio)
#   pal-dvd-mp2.mpg    the same with MPEG layer II audio at 224 kbit/s
#   ntsc-dvd.mpg       3 s NTSC DVD program stream (AC-3)
#   lpcm-dvd.mpg       3 s DVD program stream with LPCM audio
#   video-only.mpg     3 s VideoCD stream without audio
#   sample.avi         1 s MPEG-4 video in AVI (no program stream)
#   <name>.mpg.duration  ffprobe's duration of each DVD stream
# Existing files are kept; each is written under a temporary name first.
set -eu
if [ $# -lt 1 ]; then
  echo "usage: $0 <outdir>" >&2
  exit 2
fi
out=$1
. "$(dirname "$0")/../../../scripts/lib/media.sh"
need ffmpeg
fixture_folder "$out" convctl.version 1 '*.mpg' '*.avi' '*.tmp' '*.duration'

# make <file> <size> <rate> <seconds> <format> <options...>
make() {
  file=$1 size=$2 rate=$3 seconds=$4 format=$5
  shift 5
  ffmpeg_once "$out/$file" \
    -f lavfi -i "testsrc=size=$size:rate=$rate" \
    -f lavfi -i "sine=frequency=440:sample_rate=48000" \
    -t "$seconds" "$@" -f "$format"
}

make pal-dvd.mpg 720x576 25 3 dvd -target pal-dvd
make pal-dvd-mp2.mpg 720x576 25 3 dvd -target pal-dvd -c:a mp2 -b:a 224k
make ntsc-dvd.mpg 720x480 30000/1001 3 dvd -target ntsc-dvd
make lpcm-dvd.mpg 720x576 25 3 dvd -target pal-dvd -c:a pcm_s16be
make video-only.mpg 352x288 25 3 vcd -target pal-vcd -an
make sample.avi 320x240 25 1 avi -c:v mpeg4 -c:a mp2

# ffprobe's durations for tests that cannot run ffprobe (Wine).
for f in pal-dvd pal-dvd-mp2 ntsc-dvd; do
  probe_once "$out/$f.mpg" "$out/$f.mpg.duration" -show_entries format=duration -of csv=p=0
done
