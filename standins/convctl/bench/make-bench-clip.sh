#!/bin/sh
# The conversion benchmark's clip: 60 s of 1280x720 H.264/AAC at 30 frames
# a second, as a phone or a camera makes it.
#   make-bench-clip.sh <outdir>
set -eu
out=$1
. "$(dirname "$0")/../../../scripts/lib/media.sh"
need ffmpeg
mkdir -p "$out"
ffmpeg_once "$out/bench-720p.mp4" -f lavfi -i "testsrc2=size=1280x720:rate=30" \
  -f lavfi -i "sine=frequency=440:sample_rate=48000" -t 60 \
  -c:v libx264 -preset veryfast -pix_fmt yuv420p -c:a aac -b:a 128k -ac 2 -f mp4
