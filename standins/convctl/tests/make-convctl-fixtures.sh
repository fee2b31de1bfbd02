#!/bin/sh
# Sources for the conversion control's tests, made by ffmpeg into <outdir>:
#   make-convctl-fixtures.sh <outdir>
#
#   pal-dvd.mpg        3 s DVD program stream as ffmpeg makes it (AC-3 audio)
#   pal-dvd-mp2.mpg    the same with MPEG layer II audio at 224 kbit/s
#   ntsc-dvd.mpg       3 s NTSC DVD program stream (AC-3)
#   lpcm-dvd.mpg       3 s DVD program stream with LPCM audio
#   video-only.mpg     3 s VideoCD stream without audio
#   sample.avi         1 s MPEG-4 video in AVI (no program stream)
#   phone.mp4          4 s 640x360 H.264/AAC, as a phone makes it (16:9)
#   clip.avi           4 s 320x240 MPEG-4 part 2 with MP3 in AVI (4:3)
#   clip.mkv           4 s 480x360 VP8/Vorbis in Matroska
#   clip.wmv           2 s 320x240 WMV2/WMA2 in ASF
#   clip.mov           2 s 240x320 (portrait) MJPEG/PCM in QuickTime
#   video-only.mp4     2 s H.264 without audio
#   audio-only.mp4     2 s AAC without video
#   truncated.mp4      the first half of phone.mp4 (no index)
#   truncated.avi      the first half of clip.avi (ends early)
#   corrupt.mp4        phone.mp4 with its header overwritten
#   empty.mp4          no bytes
#   job.mp4            3 s 640x360 H.264/AAC (the suite's job test)
#   job.avi            2 s 320x240 MPEG-4 part 2 with MP3 in AVI
#   <name>.mpg.duration  ffprobe's duration of each DVD stream
# Existing files are kept; each is written under a temporary name first.
set -eu
if [ $# -lt 1 ]; then
  echo "usage: $0 <outdir>" >&2
  exit 2
fi
out=$1
. "$(dirname "$0")/../../../scripts/lib/media.sh"
need ffmpeg
fixture_folder "$out" convctl.version 4 '*.mpg' '*.avi' '*.mp4' '*.mkv' '*.wmv' '*.mov' '*.tmp' '*.duration'

# make <file> <size> <rate> <seconds> <format> <options...>
make() {
  file=$1 size=$2 rate=$3 seconds=$4 format=$5
  shift 5
  ffmpeg_once "$out/$file" \
    -f lavfi -i "testsrc=size=$size:rate=$rate" \
    -f lavfi -i "sine=frequency=440:sample_rate=48000" \
    -t "$seconds" "$@" -f "$format"
}

make pal-dvd.mpg 720x576 25 3 dvd -target pal-dvd
make pal-dvd-mp2.mpg 720x576 25 3 dvd -target pal-dvd -c:a mp2 -b:a 224k
make ntsc-dvd.mpg 720x480 30000/1001 3 dvd -target ntsc-dvd
make lpcm-dvd.mpg 720x576 25 3 dvd -target pal-dvd -c:a pcm_s16be
make video-only.mpg 352x288 25 3 vcd -target pal-vcd -an
make sample.avi 320x240 25 1 avi -c:v mpeg4 -c:a mp2
make phone.mp4 640x360 30 4 mp4 -c:v libx264 -preset veryfast -pix_fmt yuv420p -c:a aac -b:a 96k
make clip.avi 320x240 25 4 avi -c:v mpeg4 -c:a libmp3lame
make clip.mkv 480x360 24 4 matroska -c:v libvpx -b:v 300k -deadline realtime -c:a libvorbis
make clip.wmv 320x240 25 2 asf -c:v wmv2 -c:a wmav2
make clip.mov 240x320 25 2 mov -c:v mjpeg -c:a pcm_s16le
make video-only.mp4 320x240 25 2 mp4 -c:v libx264 -preset veryfast -an
make audio-only.mp4 320x240 25 2 mp4 -vn -c:a aac
make job.mp4 640x360 30 3 mp4 -c:v libx264 -preset veryfast -pix_fmt yuv420p -c:a aac -b:a 96k
make job.avi 320x240 25 2 avi -c:v mpeg4 -c:a libmp3lame

# Damaged files, cut or overwritten from the good ones.
damaged() {
  [ -s "$out/$1" ] && return 0
  eval "$2" > "$out/$1.tmp"
  mv "$out/$1.tmp" "$out/$1"
}
half() { head -c $(($(wc -c < "$1") / 2)) "$1"; }
damaged truncated.mp4 'half "$out/phone.mp4"'
damaged truncated.avi 'half "$out/clip.avi"'
damaged corrupt.mp4 '{ head -c 4096 /dev/zero | tr "\\0" "\\377"; tail -c +4097 "$out/phone.mp4"; }'
[ -e "$out/empty.mp4" ] || : > "$out/empty.mp4"

# ffprobe's durations for tests that cannot run ffprobe (Wine).
for f in pal-dvd pal-dvd-mp2 ntsc-dvd; do
  probe_once "$out/$f.mpg" "$out/$f.mpg.duration" -show_entries format=duration -of csv=p=0
done
