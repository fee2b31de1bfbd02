#!/bin/sh
# Builds the command-line parser fuzz target with clang's libFuzzer and, with a
# run time in seconds, runs it that long:
#   discimage/fuzz/build_options.sh [out-dir] [seconds]
set -eu
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
out=${1:-$root/build-fuzz/discimage-options}
seconds=${2:-}
mkdir -p "$out"
flags="-std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined -I$root"
sources="$root/discimage/cli/build_options.cpp $root/discimage/vcd_util.cpp
         $root/discimage/vcd_messages.cpp"
clang++ $flags -o "$out/options_fuzz" "$here/options_fuzz.cpp" $sources
[ -z "$seconds" ] && exit 0
mkdir -p "$out/corpus"
printf -- '-x\0vcd.xml\0-i\0nrg\0-v\0002\0/bin-file\0a.bin' > "$out/corpus/seed-full"
printf -- '/?\0-V\0-g' > "$out/corpus/seed-modes"
"$out/options_fuzz" -max_total_time="$seconds" -max_len=4096 -rss_limit_mb=2048 "$out/corpus"
