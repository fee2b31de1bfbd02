#!/bin/sh
# Builds the ISO 9660 fuzz target with clang's libFuzzer and, with a run time
# in seconds, runs it that long:
#   discimage/fuzz/build_iso.sh [out-dir] [seconds]
set -eu
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
out=${1:-$root/build-fuzz/discimage-iso}
seconds=${2:-}
mkdir -p "$out"
flags="-std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined -I$root"
sources="$root/discimage/iso9660_fields.cpp $root/discimage/iso9660_directory_record.cpp
         $root/discimage/iso9660_path_table.cpp $root/discimage/iso9660_names.cpp
         $root/discimage/iso9660_volume.cpp $root/discimage/vcd_directory.cpp
         $root/discimage/vcd_sector_bitmap.cpp $root/discimage/vcd_object.cpp
         $root/discimage/vcd_messages.cpp $root/discimage/vcd_util.cpp
         $root/mfc/object.cpp $root/mfc/string.cpp $root/mfc/collections.cpp"
clang++ $flags -o "$out/iso_fuzz" "$here/iso_fuzz.cpp" $sources
[ -z "$seconds" ] && exit 0
mkdir -p "$out/corpus"
printf '\000MPEGAV/AVSEQ01.DAT\nphotos/holiday.jpg\nEXT/sub-x\n/abs\n' > "$out/corpus/seed-names"
printf '\003d EXT\nd MPEGAV\nVCD/INFO.VCD\nSEGMENT/ITEM0001.MPG\nEXT/NEW/LOT_X.VCD\n' > "$out/corpus/seed-tree"
"$out/iso_fuzz" -max_total_time="$seconds" -max_len=8192 -rss_limit_mb=2048 "$out/corpus"
