#!/bin/sh
# Builds the nrg reader fuzz target with clang's libFuzzer and, with a run
# time in seconds, runs it that long:
#   discimage/fuzz/build_nrg.sh [out-dir] [seconds]
set -eu
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
out=${1:-$root/build-fuzz/discimage-nrg}
seconds=${2:-}
mkdir -p "$out"
flags="-std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined -I$root"
sources="$root/discimage/vcd_image_sink.cpp $root/discimage/vcd_image_sink_nero.cpp
         $root/discimage/vcd_image_sink_bincue.cpp $root/discimage/vcd_image_sink_cdrdao.cpp
         $root/discimage/vcd_sector.cpp $root/discimage/vcd_stream.cpp
         $root/discimage/vcd_messages.cpp $root/discimage/vcd_util.cpp
         $root/mfc/object.cpp $root/mfc/string.cpp $root/mfc/collections.cpp"
clang++ $flags -o "$out/nrg_fuzz" "$here/nrg_fuzz.cpp" $sources
[ -z "$seconds" ] && exit 0
mkdir -p "$out/corpus"
# Seeds: two tiny images, v50 with an ETNF table and v55 with ETN2 and CUEX.
seed() { head -c $((2336 * 2)) /dev/zero; printf "$1"; }
seed 'ETNF\0\0\0\024\0\0\0\0\0\0\022\100\0\0\0\3\0\0\0\0\0\0\0\0SINF\0\0\0\4\0\0\0\1END!\0\0\0\0NERO\0\0\022\100' \
  > "$out/corpus/seed-v50"
seed 'ETN2\0\0\0\040\0\0\0\0\0\0\0\0\0\0\0\0\0\0\022\100\0\0\0\3\0\0\0\0\0\0\0\0\0\0\0\0CUEX\0\0\0\040\0\0\0\0\377\377\377\152\0\0\0\0\377\377\377\152\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\2DAOX\0\0\0\0END!\0\0\0\0NER5\0\0\0\0\0\0\022\100' \
  > "$out/corpus/seed-v55"
"$out/nrg_fuzz" -max_total_time="$seconds" -max_len=65536 -rss_limit_mb=2048 "$out/corpus"
