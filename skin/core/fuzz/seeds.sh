#!/bin/sh
# Starting inputs for the skin library's fuzz targets (scripts/run-fuzzers.sh).
#   seeds.sh <target> <corpus dir> <fuzz build dir>
# The skin loader's seeds are a small skin with one object of every kind and
# a tiny image, compiled by the fuzz tree's own skinc. The image decoders
# and the instruction copier start from the inputs that once broke them.
set -eu
target=$1
corpus=$2
build=$3
skinc=$build/tools/skinc/skinc
mkdir -p "$corpus"
# Inputs that once broke a target, kept so every run tries them again.
regression() { printf '%s' "$2" | base64 -d > "$corpus/regression-$1"; }
case $target in
  skin_resource_fuzz|skin_stream_fuzz) ;;
  x86_instruction_fuzz)
    # A conditional jump moved just out of rel32 reach: the skip over the
    # absolute jump behind it must match that jump's length.
    regression jcc-skip 'UQ+KAAD/fw+LUMv/fw=='
    # Branches into the bytes a hook's entry jump covers (32-bit code).
    regression jz-into-entry 'ADHAdACQkMM='
    regression loop-to-start 'AEl1/ZCQww=='
    exit 0 ;;
  image_bmp_fuzz)
    # A resolution near the int limit (pels per metre to dots per inch and back).
    regression resolution 'QAAAAAwAAAAMAAAAAAAEAAEAAABF////////f///////AAABAAAA//////////////8A////AAABRQAAAAAADAAAAP//AQD//////////////////////////////////////////////////////wAADv7///8AAAFFAAAAXQAMAAAA/////////////////////////////////////////////wsAAAAAAAAA/78BAA=='
    exit 0 ;;
  *) exit 0 ;;
esac
[ -x "$skinc" ] || exit 0
work=$build/seed-files/skin
mkdir -p "$work"
python3 - "$work/tiny.bmp" <<'PY'
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
} > "$work/seed.skin"
"$skinc" "$work/seed.skin" "$work/seed.vks" --stream "$work/seed.stream"
case $target in
  skin_resource_fuzz) cp "$work/seed.vks" "$corpus/" ;;
  skin_stream_fuzz) cp "$work/seed.stream" "$corpus/" ;;
esac
