#!/bin/sh
# Starting inputs of the stand-ins' fuzz targets:
#   seeds.sh <target name> <corpus dir> <build dir>
set -eu
name=$1 corpus=$2
mkdir -p "$corpus"
case "$name" in
  standins_es_fuzz)
    command -v ffmpeg >/dev/null || exit 0
    [ -s "$corpus/seed.m1v" ] || ffmpeg -nostdin -v error -y -f lavfi -i testsrc=size=64x48:rate=25 -t 0.3 \
      -c:v mpeg1video -bf 2 -f mpeg1video "$corpus/seed.m1v"
    [ -s "$corpus/seed.m2v" ] || ffmpeg -nostdin -v error -y -f lavfi -i testsrc=size=64x48:rate=25 -t 0.3 \
      -c:v mpeg2video -flags +ilme+ildct -f mpeg2video "$corpus/seed.m2v"
    [ -s "$corpus/seed.mp2" ] || ffmpeg -nostdin -v error -y -f lavfi -i sine=sample_rate=44100 -t 0.1 \
      -c:a mp2 -b:a 64k -f mp2 "$corpus/seed.mp2"
    [ -s "$corpus/seed.ac3" ] || ffmpeg -nostdin -v error -y -f lavfi -i sine=sample_rate=48000 -t 0.1 \
      -ac 2 -c:a ac3 -b:a 96k -threads 1 -f ac3 "$corpus/seed.ac3"
    # An AC-3 stream behind a video stream, so that one input indexes as both.
    [ -s "$corpus/seed-both.bin" ] || cat "$corpus/seed.m1v" "$corpus/seed.ac3" > "$corpus/seed-both.bin"
    ;;
  standins_cue_fuzz)
    printf 'FILE "VideoCD.bin" BINARY\r\n  TRACK 01 MODE2/2352\r\n    INDEX 01 00:00:00\r\n  TRACK 02 MODE2/2352\r\n    FLAGS DCP\r\n    INDEX 00 00:04:00\r\n    INDEX 01 00:06:00\r\n' \
      > "$corpus/seed.cue"
    ;;
esac
