#!/bin/sh
# Starting inputs of the conversion control's fuzz target: small program
# streams as ffmpeg makes them for each disc type.
#   seeds.sh <target name> <corpus dir> <build dir>
set -eu
corpus=$2
mkdir -p "$corpus"
command -v ffmpeg >/dev/null || exit 0
for target in pal-vcd pal-svcd pal-dvd; do
  [ -s "$corpus/$target.mpg" ] || ffmpeg -nostdin -v error -y -f lavfi -i testsrc=size=64x48:rate=25 \
    -f lavfi -i sine=sample_rate=48000 -t 0.5 -target "$target" -s 64x48 -b:v 200k "$corpus/$target.mpg"
done
