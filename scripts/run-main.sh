#!/bin/sh
# The suite's main job, as far as it runs here: the image builder's command
# line program builds a VideoCD image. Sample video is made with ffmpeg, a
# VideoCD XML project describes the disc (VCD 2.0: two tracks, an entry
# point on the first, a menu still as a segment item, a play list), and
# zrdiscbuild writes the cue/bin, which is then described.
#   scripts/run-main.sh <native build dir>
set -eu
build=$1
exe=$build/discimage/cli/zrdiscbuild
[ -x "$exe" ] || { echo "run-main: $exe was not built" >&2; exit 1; }
command -v ffmpeg >/dev/null || { echo "run-main: ffmpeg is needed for the sample video" >&2; exit 1; }
exe=$(cd "$(dirname "$exe")" && pwd)/zrdiscbuild
out=$(cd "$build" && pwd)/run-main
mkdir -p "$out"
cd "$out"

"$exe" -V
echo

# Sample video: two 8 s PAL VideoCD clips and a 1 s menu picture.
clip() {
  [ -s "$1" ] && return 0
  ffmpeg -nostdin -v error -y -f lavfi -i "$2" -f lavfi -i "sine=frequency=$3:sample_rate=44100" \
    -t "$4" -target pal-vcd "$1.tmp.mpg"
  mv "$1.tmp.mpg" "$1"
}
clip clip1.mpg "testsrc=size=352x288:rate=25" 440 8
clip clip2.mpg "smptebars=size=352x288:rate=25" 660 8
clip menu.mpg "testsrc2=size=352x288:rate=25" 880 1

cat > vcd.xml <<EOF
<?xml version="1.0"?>
<!DOCTYPE videocd PUBLIC "-//Ostrel//DTD VideoCD//EN" "http://www.quorbel.example/dtd/videocd-1.0.dtd">
<videocd xmlns="http://www.quorbel.example/ns/videocd/1.0" class="vcd" version="2.0">
  <info>
    <album-id>SAMPLE</album-id>
    <volume-count>1</volume-count>
    <volume-number>1</volume-number>
    <restriction>0</restriction>
  </info>
  <pvd>
    <volume-id>SAMPLE_VCD</volume-id>
    <system-id>CD-RTOS CD-BRIDGE</system-id>
    <application-id>QUORBEL</application-id>
    <preparer-id/>
    <publisher-id>QUORBEL</publisher-id>
  </pvd>
  <segment-items>
    <segment-item id="menu" src="$out/menu.mpg"/>
  </segment-items>
  <sequence-items>
    <sequence-item id="clip1" src="$out/clip1.mpg">
      <default-entry id="clip1start"/>
      <entry id="clip1middle">4</entry>
    </sequence-item>
    <sequence-item id="clip2" src="$out/clip2.mpg"/>
  </sequence-items>
  <pbc>
    <playlist id="playall">
      <next ref="end"/>
      <wait>2</wait>
      <play-item ref="menu"/>
      <play-item ref="clip1"/>
      <play-item ref="clip2"/>
    </playlist>
    <endlist id="end"/>
  </pbc>
</videocd>
EOF

"$exe" -x vcd.xml -c "$out/videocd.cue"
echo

bytes=$(wc -c < videocd.bin)
echo "Image: $out/videocd.cue"
echo "       $out/videocd.bin ($bytes bytes, $((bytes / 2352)) sectors of 2352 bytes)"
echo
echo "Cue sheet:"
tr -d '\r' < videocd.cue | sed 's/^/  /'
if command -v bchunk >/dev/null; then
  mkdir -p tracks
  echo
  echo "Tracks (bchunk):"
  (cd tracks && bchunk ../videocd.bin ../videocd.cue track) 2>&1 | grep '^Track' | sed 's/^/  /'
  if command -v iso-info >/dev/null; then
    echo
    echo "ISO 9660 file system of track 1 (iso-info):"
    iso-info -i tracks/track01.iso -f 2>/dev/null | grep ' /' | sed 's/^/  /'
  fi
  rm -rf tracks
fi
