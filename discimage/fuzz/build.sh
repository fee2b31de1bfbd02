#!/bin/sh
# Builds the MPEG fuzz targets (the program stream parser, and the whole
# source scan with packet reading) with clang's libFuzzer and, with a run
# time in seconds, runs each of them that long:
#   discimage/fuzz/build.sh [out-dir] [seconds]
# The corpus is seeded with the first packets of the ffmpeg test fixtures
# when ffmpeg is there.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
out=${1:-$root/build-fuzz/discimage-mpeg}
seconds=${2:-}
mkdir -p "$out"
flags="-std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined -I$root"
sources="$root/discimage/mpeg_info.cpp $root/discimage/mpeg_parser.cpp
         $root/discimage/mpeg_startcode.cpp $root/discimage/mpeg_source.cpp
         $root/discimage/vcd_stream.cpp $root/discimage/vcd_messages.cpp $root/discimage/vcd_util.cpp
         $root/mfc/object.cpp $root/mfc/string.cpp $root/mfc/collections.cpp"
for target in parse scan; do
  clang++ $flags -o "$out/mpeg_${target}_fuzz" "$here/mpeg_${target}_fuzz.cpp" $sources
done
[ -z "$seconds" ] && exit 0

# Seeds: a flag byte, then the start of each fixture (a few packs).
seeds="$out/seeds"
if [ ! -d "$seeds" ] && command -v ffmpeg >/dev/null; then
  mkdir -p "$seeds/files"
  sh "$root/scripts/make-mpeg-fixtures.sh" "$seeds/files" >/dev/null
  for f in "$seeds/files"/*.mpg "$seeds/files"/*.m1v; do
    name=$(basename "$f")
    for flag in 0 1 3; do
      { printf "\\$(printf %o "$flag")"; head -c $((2324 * 6)) "$f"; } > "$seeds/$name.$flag"
    done
  done
fi
for target in parse scan; do
  mkdir -p "$out/corpus-$target"
  [ -d "$seeds" ] && cp -n "$seeds"/*.[0-9] "$out/corpus-$target/" 2>/dev/null || true
  "$out/mpeg_${target}_fuzz" -max_total_time="$seconds" -max_len=16384 -rss_limit_mb=2048 \
    "$out/corpus-$target"
done
