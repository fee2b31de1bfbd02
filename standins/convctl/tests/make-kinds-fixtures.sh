#!/bin/sh
# The ordinary-file kinds that the conversion road is tried on, made by
# ffmpeg into <outdir>:
#   make-kinds-fixtures.sh <outdir>
#
# Most carry markers: a white flash (one picture, two at 50 fps) and a
# 30 ms beep at the same instants, 1 s, 3 s, 5 s, ... of the source, on a
# dark grey picture with a light box in its top-left corner (the picture is
# upright when the box is top left).
#
#   rot90.mp4 rot180.mp4 rot270.mp4  4 s of a 360x640 portrait picture stored
#                      turned, shown turned by 90, 180 or 270 degrees clockwise
#   mirror.mp4         the same stored mirrored, shown mirrored
#   holed.mkv          6 s; the sound has a hole from 1.6 s to 2.6 s
#   late.mkv           14 s; the sound starts at 11 s
#   layout.ts          6 s of MPEG-2 and AC-3: stereo 44.1 kHz, mono 48 kHz,
#                      then 5.1 48 kHz, 2 s each
#   vfr.mkv            6 s at a variable rate (50 fps with pictures left out)
#   interlaced.ts      3 s 720x576 (4:3) 25 fps interlaced MPEG-2, top field first
#   interlaced480.ts   3 s 720x480 (4:3) 29.97 fps interlaced MPEG-2, bottom field first
#   short-video.mp4    pictures for 2 s, sound for 4 s
#   editlist.mp4       a 6 s MP4 trimmed at 2.52 s (a picture's time) without
#                      re-encoding: an edit list
#   busy.mp4           8 s 640x480 of noise that changes with every picture
#   cover.mp3          MP3 sound with cover art and no video
#   hourgap.mkv        one picture at 0 s, the next at one hour; 1 s of sound
# Existing files are kept; each is written under a temporary name first.
set -eu
if [ $# -lt 1 ]; then
  echo "usage: $0 <outdir>" >&2
  exit 2
fi
out=$1
. "$(dirname "$0")/../../../scripts/lib/media.sh"
need ffmpeg python3
fixture_folder "$out" kinds.version 4 '*.mp4' '*.mkv' '*.ts' '*.mp3' '*.tmp' '*.part'

# marked_video <size> <rate> [first second]: the marked picture (flashes
# at odd seconds of the source's own clock, which starts at <first>).
marked_video() {
  size=$1 rate=$2 t0=${3:-0}
  w=${size%x*} h=${size#*x}
  flash=$(awk -v r="$rate" 'BEGIN { printf "%.4f", (r > 40 ? 2 : 1) / r - 0.0005 }')
  echo "color=c=0x3C3C3C:s=$size:r=$rate,drawbox=x=$((w / 16)):y=$((h / 16)):w=$((w / 4)):h=$((h / 4)):c=0xC8C8C8:t=fill,drawbox=c=white:t=fill:enable='gte(t+$t0\,1)*lt(mod(t+$t0-1\,2)\,$flash)'"
}
# marked_sound <rate> [first second] [layout]: silence with the beeps.
marked_sound() {
  rate=$1 t0=${2:-0} layout=${3:-stereo}
  echo "aevalsrc=exprs='gte(t+$t0\,1)*lt(mod(t+$t0-1\,2)\,0.03)*0.8*sin(2*PI*1000*t)':s=$rate:c=$layout"
}

# Portrait pictures stored turned or mirrored, as a phone stores them, with
# the display matrix in the video track's header that puts them upright
# again (ffmpeg here writes rotations only, and no mirroring).
turned() {
  file=$1 store=$2 matrix=$3
  [ -s "$out/$file" ] && return 0
  ffmpeg_once "$out/$file.part" -f lavfi -i "$(marked_video 360x640 30),$store" -f lavfi -i "$(marked_sound 48000)" \
    -t 4 -c:v libx264 -preset veryfast -pix_fmt yuv420p -g 30 -c:a aac -b:a 96k -f mp4
  python3 - "$out/$file.part" "$matrix" <<'EOF'
import struct, sys
path, kind = sys.argv[1], sys.argv[2]
data = bytearray(open(path, 'rb').read())
at = data.find(b'tkhd')  # the first track is the video
assert at > 0 and data[at + 4] == 0, 'a version 0 track header'
matrix = at + 4 + 4 + 4 * 5 + 8 + 8
w, h = (v >> 16 for v in struct.unpack('>II', data[matrix + 36:matrix + 44]))
one = 0x10000
# (a, b, c, d, x, y): a stored point (p, q) is shown at (a p + c q + x, b p + d q + y)
a, b, c, d, x, y = {'cw90': (0, one, -one, 0, h, 0), '180': (-one, 0, 0, -one, w, h),
                    'cw270': (0, -one, one, 0, 0, w), 'mirror': (-one, 0, 0, one, w, 0)}[kind]
struct.pack_into('>9i', data, matrix, a, b, 0, c, d, 0, x * one, y * one, 0x40000000)
open(path, 'wb').write(data)
EOF
  mv "$out/$file.part" "$out/$file"
}
turned rot90.mp4 transpose=cclock cw90
turned rot180.mp4 hflip,vflip 180
turned rot270.mp4 transpose=clock cw270
turned mirror.mp4 hflip mirror

# A hole in the sound: its frames from 1.6 s to 2.6 s are left out, the
# rest keep their times.
ffmpeg_once "$out/holed.mkv" -f lavfi -i "$(marked_video 640x360 25)" -f lavfi -i "$(marked_sound 48000)" \
  -t 6 -af "aselect='not(between(t,1.6,2.6))'" -c:v libx264 -preset veryfast -pix_fmt yuv420p -g 25 \
  -c:a ac3 -b:a 192k -f matroska

# Sound from 11 s on.
ffmpeg_once "$out/late.mkv" -f lavfi -i "$(marked_video 640x360 25)" -itsoffset 11 -f lavfi -i "$(marked_sound 48000 11)" \
  -t 14 -map 0:v -map 1:a -c:v libx264 -preset veryfast -pix_fmt yuv420p -g 25 -c:a ac3 -b:a 192k -f matroska

# The sound changes its layout and rate every 2 s, as broadcast recordings do
# at programme boundaries: three transport streams one after another.
layout_part() {
  n=$1 rate=$2 layout=$3
  ffmpeg_once "$out/layout-$n.ts.part" -f lavfi -i "$(marked_video 352x288 25 $((n * 2)))" \
    -f lavfi -i "$(marked_sound "$rate" $((n * 2)) "$layout")" -t 2 -c:v mpeg2video -b:v 2M -g 25 -bf 0 \
    -c:a ac3 -b:a 192k -output_ts_offset $((n * 2)) -f mpegts
}
if [ ! -s "$out/layout.ts" ]; then
  layout_part 0 44100 stereo
  layout_part 1 48000 mono
  layout_part 2 48000 5.1
  cat "$out/layout-0.ts.part" "$out/layout-1.ts.part" "$out/layout-2.ts.part" > "$out/layout.ts.tmp"
  rm -f "$out"/layout-*.ts.part
  mv "$out/layout.ts.tmp" "$out/layout.ts"
fi

# Variable frame rate: 50 fps with an irregular pattern of pictures left out
# (never a flash), each picture keeping its time.
ffmpeg_once "$out/vfr.mkv" -f lavfi -i "$(marked_video 640x360 50)" -f lavfi -i "$(marked_sound 48000)" -t 6 \
  -vf "select='not(eq(mod(n\,6)\,5))*not(eq(mod(n\,9)\,4))'" -fps_mode passthrough \
  -c:v libx264 -preset veryfast -pix_fmt yuv420p -c:a aac -b:a 96k -f matroska

# Interlaced broadcast pictures: two fields of a moving picture per frame.
ffmpeg_once "$out/interlaced.ts" -f lavfi -i "testsrc2=size=720x576:rate=50,tinterlace=mode=interleave_top,setsar=16/15" \
  -f lavfi -i "sine=frequency=440:sample_rate=48000" -t 3 -c:v mpeg2video -b:v 6M -flags +ildct+ilme -top 1 \
  -c:a mp2 -b:a 192k -f mpegts
ffmpeg_once "$out/interlaced480.ts" -f lavfi -i "testsrc2=size=720x480:rate=60000/1001,tinterlace=mode=interleave_bottom,setsar=8/9" \
  -f lavfi -i "sine=frequency=440:sample_rate=48000" -t 3 -c:v mpeg2video -b:v 6M -flags +ildct+ilme -top 0 \
  -c:a mp2 -b:a 192k -f mpegts

# The video ends at 2 s, the sound goes on to 4 s.
ffmpeg_once "$out/short-video.mp4" -t 2 -f lavfi -i "$(marked_video 640x360 25)" -t 4 -f lavfi -i "$(marked_sound 48000)" \
  -c:v libx264 -preset veryfast -pix_fmt yuv420p -c:a aac -b:a 96k -f mp4

# Trimmed without re-encoding: it starts inside a GOP, so the file keeps the
# GOP's earlier pictures and an edit list that hides them.
if [ ! -s "$out/editlist.mp4" ]; then
  ffmpeg_once "$out/editlist-whole.mp4.part" -f lavfi -i "$(marked_video 640x360 25)" -f lavfi -i "$(marked_sound 48000)" \
    -t 6 -c:v libx264 -preset veryfast -pix_fmt yuv420p -g 50 -c:a aac -b:a 96k -f mp4
  ffmpeg -nostdin -v error -y -ss 2.52 -i "$out/editlist-whole.mp4.part" -c copy -f mp4 "$out/editlist.mp4.tmp"
  rm -f "$out/editlist-whole.mp4.part"
  mv "$out/editlist.mp4.tmp" "$out/editlist.mp4"
fi

# Busy pictures: fine noise that changes with every picture, the hardest
# there is for a constant rate.
ffmpeg_once "$out/busy.mp4" -f lavfi -i "testsrc2=size=640x480:rate=25,noise=alls=100:allf=t+u" \
  -f lavfi -i "sine=frequency=440:sample_rate=48000" -t 8 -c:v libx264 -preset veryfast -crf 18 -pix_fmt yuv420p \
  -c:a aac -b:a 128k -ac 2 -f mp4

# A music file: sound and its cover art.
ffmpeg_once "$out/cover.mp3" -f lavfi -i "sine=frequency=440:sample_rate=44100" -f lavfi -i "testsrc2=size=300x300:rate=1" \
  -t 3 -map 0:a -map 1:v -frames:v 1 -c:a libmp3lame -b:a 128k -c:v mjpeg -disposition:v attached_pic \
  -id3v2_version 3 -f mp3

# Two pictures an hour apart, and a second of sound.
ffmpeg_once "$out/hourgap.mkv" -t 0.08 -f lavfi -i "$(marked_video 320x240 25)" -t 1 -f lavfi -i "$(marked_sound 48000)" \
  -vf "setpts='if(eq(N\,0)\,0\,3600/TB)'" -fps_mode passthrough \
  -c:v libx264 -preset veryfast -pix_fmt yuv420p -c:a ac3 -b:a 192k -f matroska
