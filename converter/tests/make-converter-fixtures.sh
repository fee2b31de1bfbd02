#!/bin/sh
# Sources for the converter's tests, made by ffmpeg into <outdir>:
#   make-converter-fixtures.sh <outdir>
#
#   long-dvd.mpg   16 minutes of small MPEG-2 DVD program stream (layer II
#                  audio), long enough to be cut at the shortest DVD split
# Existing files are kept; each is written under a temporary name first.
set -eu
if [ $# -lt 1 ]; then
  echo "usage: $0 <outdir>" >&2
  exit 2
fi
out=$1
. "$(dirname "$0")/../../scripts/lib/media.sh"
need ffmpeg
fixture_folder "$out" converter.version 2 '*.mpg' '*.tmp'

ffmpeg_once "$out/long-dvd.mpg" \
  -f lavfi -i "testsrc=size=176x144:rate=25" \
  -f lavfi -i "sine=frequency=440:sample_rate=48000" \
  -t 960 -c:v mpeg2video -b:v 64k -g 12 -c:a mp2 -b:a 64k -f dvd
