#!/bin/sh
# Starting inputs of the conversion control's fuzz targets, as ffmpeg makes
# them: for the demultiplexer, small program streams of the VCD, SVCD and DVD
# muxers; for the probe, tiny files of the containers the control reads.
#   seeds.sh <target name> <corpus dir> <build dir>
set -eu
target=$1
corpus=$2
mkdir -p "$corpus"
command -v ffmpeg >/dev/null || exit 0
. "$(dirname "$0")/../../../scripts/lib/media.sh"
# seed <file name> <size> <sample rate> <seconds> <video bit rate> <ffmpeg output options...>
seed() {
  name=$1 size=$2 rate=$3 seconds=$4 bits=$5
  shift 5
  ffmpeg_once "$corpus/$name" -f lavfi -i testsrc=size=$size:rate=25 -f lavfi -i sine=sample_rate=$rate \
    -t "$seconds" -b:v "$bits" "$@"
}
case $target in
  *media*)
    seed mp4 32x24 8000 0.3 50k -c:v mpeg4 -c:a aac -f mp4
    seed avi 32x24 8000 0.3 50k -c:v mpeg4 -c:a mp2 -f avi
    seed mkv 32x24 8000 0.3 50k -c:v mpeg4 -c:a mp2 -f matroska
    seed asf 32x24 8000 0.3 50k -c:v wmv2 -c:a wmav2 -f asf
    seed flv 32x24 8000 0.3 50k -c:v flv -c:a mp3 -f flv 2>/dev/null || true
    seed ps 32x24 8000 0.3 50k -c:v mpeg1video -c:a mp2 -f mpeg
    ;;
  *)
    seed vcd.mpg 64x48 48000 0.5 200k -c:v mpeg1video -c:a mp2 -f vcd
    seed svcd.mpg 64x48 48000 0.5 200k -c:v mpeg2video -c:a mp2 -f svcd
    seed dvd.mpg 64x48 48000 0.5 200k -c:v mpeg2video -c:a ac3 -f dvd
    ;;
esac
