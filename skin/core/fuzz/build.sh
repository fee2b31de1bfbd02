#!/bin/sh
# Builds the skin image decoder fuzz targets with clang's libFuzzer and, with
# a run time in seconds, runs each of them that long:
#   skin/core/fuzz/build.sh [out-dir] [seconds]
set -eu
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../../.." && pwd)
out=${1:-$root/build-fuzz/skin-image}
seconds=${2:-}
mkdir -p "$out"
flags="-std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined -I$root"
sources="$root/skin/core/skin_image.cpp $root/skin/core/image_stream.cpp $root/skin/core/image_codec.cpp
         $root/skin/core/image_bmp.cpp $root/skin/core/image_tga.cpp $root/skin/core/image_transform.cpp"
for target in bmp tga; do
  clang++ $flags -o "$out/image_${target}_fuzz" "$here/image_${target}_fuzz.cpp" $sources
done
[ -z "$seconds" ] && exit 0
for target in bmp tga; do
  mkdir -p "$out/corpus-$target"
  "$out/image_${target}_fuzz" -max_total_time="$seconds" -max_len=4096 -rss_limit_mb=2048 \
    "$out/corpus-$target"
done
