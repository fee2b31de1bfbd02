#!/bin/sh
# Starting inputs of the probe's fuzz target: tiny files of the containers
# the control reads, as ffmpeg makes them.
#   media_seeds.sh <target name> <corpus dir> <build dir>
set -eu
corpus=$2
mkdir -p "$corpus"
command -v ffmpeg >/dev/null || exit 0
. "$(dirname "$0")/../../../scripts/lib/media.sh"
seed() {
  name=$1
  shift
  ffmpeg_once "$corpus/$name" -f lavfi -i testsrc=size=32x24:rate=25 -f lavfi -i sine=sample_rate=8000 \
    -t 0.3 -b:v 50k "$@"
}
seed mp4 -c:v mpeg4 -c:a aac -f mp4
seed avi -c:v mpeg4 -c:a mp2 -f avi
seed mkv -c:v mpeg4 -c:a mp2 -f matroska
seed asf -c:v wmv2 -c:a wmav2 -f asf
seed flv -c:v flv -c:a mp3 -f flv 2>/dev/null || true
seed ps -c:v mpeg1video -c:a mp2 -f mpeg
