#!/bin/sh
# Builds the skin loader fuzz targets (whole stored resource, unpacked
# stream) with clang's libFuzzer, ASan and UBSan; with a run time in seconds
# runs each that long from seeds made by the native skinc:
#   skin/core/fuzz/build_skin_fuzzers.sh [out-dir] [seconds] [skinc]
set -eu
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../../.." && pwd)
out=${1:-$root/build-fuzz/skin-data}
seconds=${2:-}
skinc=${3:-}
mkdir -p "$out"
flags="-std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined -I$root"
sources="$root/skin/core/skin_stream.cpp $root/skin/core/skin_data.cpp $root/skin/core/skin_data_classes.cpp
         $root/skin/core/skin_package.cpp $root/skin/core/skin_data_gdi_null.cpp
         $root/skin/core/skin_image.cpp $root/skin/core/image_stream.cpp $root/skin/core/image_codec.cpp
         $root/skin/core/image_bmp.cpp $root/skin/core/image_tga.cpp $root/skin/core/image_transform.cpp"
for target in resource stream; do
  clang++ $flags -o "$out/skin_${target}_fuzz" "$here/skin_${target}_fuzz.cpp" $sources -llzo2
done
[ -z "$seconds" ] && exit 0

# Seeds: a small skin with one object of every kind and a tiny image.
mkdir -p "$out/corpus-resource" "$out/corpus-stream" "$out/seed"
if [ -n "$skinc" ]; then
  python3 - "$out/seed/tiny.bmp" <<'PY'
import struct, sys
w, h = 8, 4
row = lambda y: b"".join(bytes([x * 30, y * 60, 200]) for x in range(w)) + b"\0" * ((4 - w * 3 % 4) % 4)
data = b"".join(row(y) for y in range(h))
with open(sys.argv[1], "wb") as f:
    f.write(b"BM" + struct.pack("<IHHI", 54 + len(data), 0, 0, 54))
    f.write(struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(data), 3780, 3780, 0, 0) + data)
PY
  {
    echo "[Image tiny.bmp]"; echo "FILE = tiny.bmp"
    echo "[Application Application]"; echo "AUTHOR = fuzz"
    echo "[FrameWnd Dialog]"; echo "ACTIVEFRAME.TOPLEFT = tiny.bmp 0 0 4 4"
    echo "[CaptionButton DlgClose in Dialog]"; echo "ACTION = 1"
    echo "[CaptionStatic Title in Dialog]"
    for t in ShapeWnd Button CheckBox ComboBox Edit GroupBox ListBox ProgressBar Radio ScrollBar Slider \
             Static StatusBar Tab PopupMenu ToolBar ControlBar ScrollControl Spin ListView TreeView RichEdit \
             DateTime ComboBoxEx MonthCalendar Rebar Header ImageList Animate SysColorTable; do
      echo "[$t $t]"
    done
    echo "[Tooltip Tooltip]"; echo "STYLESHEET = \"p { color: red }\""
    echo "[Generic Extra]"; echo "ENTRY = Speed int 4 text \"t\""
    echo "[Voice click.wav]"
  } > "$out/seed/seed.skin"
  "$skinc" "$out/seed/seed.skin" "$out/corpus-resource/seed.vks" --stream "$out/corpus-stream/seed.stream"
fi
"$out/skin_resource_fuzz" -max_total_time="$seconds" -max_len=65536 -rss_limit_mb=2048 -timeout=10 \
  "$out/corpus-resource"
"$out/skin_stream_fuzz" -max_total_time="$seconds" -max_len=65536 -rss_limit_mb=2048 -timeout=10 \
  "$out/corpus-stream"
