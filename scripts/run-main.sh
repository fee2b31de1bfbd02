#!/bin/sh
# The suite's main job, as far as it runs here, from an ordinary video file:
# ffmpeg makes an H.264/AAC MP4 as a phone would; the conversion control's
# converter turns it into VideoCD streams, the multiplexer stand-in joins
# them, and the image builder's command line program writes a VideoCD image
# of it (VCD 2.0: two tracks, an entry point on the first, a menu still as a
# segment item, a play list), read back by bchunk, iso-info and ffprobe. The
# same file goes through the DVD road into a VIDEO_TS, read back by lsdvd
# and ffprobe.
#   scripts/run-main.sh <native build dir>
set -eu
build=$1
root=$(cd "$(dirname "$0")/.." && pwd)
exe=$build/discimage/cli/zrdiscbuild
job=$build/standins/quorbel_sample_job
for f in "$exe" "$job"; do
  [ -x "$f" ] || { echo "run-main: $f was not built" >&2; exit 1; }
done
command -v ffmpeg >/dev/null || { echo "run-main: ffmpeg is needed for the sample video" >&2; exit 1; }
exe=$(cd "$(dirname "$exe")" && pwd)/zrdiscbuild
job=$(cd "$(dirname "$job")" && pwd)/quorbel_sample_job
out=$(cd "$build" && pwd)/run-main
mkdir -p "$out"
cd "$out"

"$exe" -V
echo

# Sample video: a 10 s 1280x720 H.264/AAC MP4, and a 1 s menu picture.
[ -s phone.mp4 ] || {
  ffmpeg -nostdin -v error -y -f lavfi -i "testsrc2=size=1280x720:rate=30" \
    -f lavfi -i "sine=frequency=440:sample_rate=48000" -t 10 \
    -c:v libx264 -preset veryfast -pix_fmt yuv420p -c:a aac -ac 2 -f mp4 phone.mp4.tmp
  mv phone.mp4.tmp phone.mp4
}
[ -s menu.mpg ] || {
  ffmpeg -nostdin -v error -y -f lavfi -i "testsrc2=size=352x288:rate=25" \
    -f lavfi -i "sine=frequency=880:sample_rate=44100" -t 1 -target pal-vcd menu.mpg.tmp
  mv menu.mpg.tmp menu.mpg
}

echo "VideoCD road:"
mkdir -p vcd dvd
"$job" "$out/phone.mp4" 2 "$out/vcd"
cp vcd/sample.mpg clip1.mpg
echo "ffprobe of the multiplexed stream:"
ffprobe -v error -show_entries stream=codec_name,width,height,r_frame_rate,sample_rate -of compact=p=0 clip1.mpg |
  sed 's/^/  /'
# The second track plays the same stream again.
cp vcd/sample.mpg clip2.mpg
echo

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
      <entry id="clip1middle">5</entry>
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

echo
echo "DVD road:"
rm -rf dvd
mkdir -p dvd
"$job" "$out/phone.mp4" 7 "$out/dvd"
echo "VIDEO_TS read back (lsdvd, ffprobe):"
sh "$root/scripts/lib/check-video-ts.sh" "$out/dvd/dvd" 1 - | sed 's/^/  /'
