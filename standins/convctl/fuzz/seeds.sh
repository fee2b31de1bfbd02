#!/bin/sh
# Starting inputs of the conversion control's fuzz target: small program
# streams as ffmpeg's VCD, SVCD and DVD muxers make them.
#   seeds.sh <target name> <corpus dir> <build dir>
set -eu
corpus=$2
mkdir -p "$corpus"
command -v ffmpeg >/dev/null || exit 0
. "$(dirname "$0")/../../../scripts/lib/media.sh"
seed() {
  name=$1
  shift
  ffmpeg_once "$corpus/$name.mpg" -f lavfi -i testsrc=size=64x48:rate=25 -f lavfi -i sine=sample_rate=48000 \
    -t 0.5 -b:v 200k "$@"
}
seed vcd -c:v mpeg1video -c:a mp2 -f vcd
seed svcd -c:v mpeg2video -c:a mp2 -f svcd
seed dvd -c:v mpeg2video -c:a ac3 -f dvd
