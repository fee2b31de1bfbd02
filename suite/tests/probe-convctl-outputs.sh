#!/bin/sh
# ffprobe's view of what the conversion control wrote under Wine
# (suite_mpeg_creator_obj_test): for each clip of 1.0-2.5 s, a video and
# an audio elementary stream of the expected codecs, about 1.5 s long
# (whole GOPs when cut: up to one GOP more), decoding without errors; and the
# program streams that muxTools made of them, with both streams.
#   probe-convctl-outputs.sh <folder>
set -eu
dir=$1
. "$(dirname "$0")/../../scripts/lib/media.sh"
status=0

# seconds <file> <samples per frame, or 0 for video>: frames read / rate.
seconds() {
  if [ "$2" = 0 ]; then
    ffprobe -v error -count_frames -select_streams v:0 \
      -show_entries stream=nb_read_frames,r_frame_rate -of csv=p=0 "$1" | head -n 1 |
      awk -F, '{ split($1, r, "/"); print $2 / (r[1] / r[2]) }'
  else
    ffprobe -v error -count_packets -select_streams a:0 \
      -show_entries stream=nb_read_packets,sample_rate -of csv=p=0 "$1" | head -n 1 |
      awk -F, -v n="$2" '{ print $2 * n / $1 }'
  fi
}

check() {
  file="$dir/$1" codec=$2 samples=$3
  if [ ! -s "$file" ]; then
    echo "FAIL $1: missing"
    status=1
    return
  fi
  got=$(ffprobe -v error -show_entries stream=codec_name -of csv=p=0 "$file" | head -n 1 | cut -d, -f1)
  if [ "$got" != "$codec" ]; then
    echo "FAIL $1: codec '$got', expected $codec"
    status=1
    return
  fi
  length=$(seconds "$file" "$samples")
  if ! between "$length" 1.4 2.2; then
    echo "FAIL $1: $length s"
    status=1
    return
  fi
  errors=$(decode_errors "$file")
  if [ -n "$errors" ]; then
    echo "FAIL $1: decoding says $errors"
    status=1
    return
  fi
  echo "ok $1: $codec $length s"
}

check pal-vcd_clip_vid.mpg mpeg1video 0
check pal-vcd_clip_aud.mpg mp2 1152
check pal-dvd_clip_vid.mpg mpeg2video 0
check pal-dvd_clip_aud.mpg ac3 1536
check pal-dvd-mp2_clip_vid.mpg mpeg2video 0
check pal-dvd-mp2_clip_aud.mpg mp2 1152
check phone-mp4_clip_vid.mpg mpeg1video 0
check phone-mp4_clip_aud.mpg mp2 1152
check clip-avi_clip_vid.mpg mpeg2video 0
check clip-avi_clip_aud.mpg mp2 1152
check clip-mkv_clip_vid.mpg mpeg2video 0
check clip-mkv_clip_aud.mpg ac3 1536

for muxed in pal-vcd_mux.mpg pal-dvd-mp2_mux.mpg phone-mp4_mux.mpg clip-avi_mux.mpg clip-mkv_mux.mpg; do
  file="$dir/$muxed"
  codecs=$(stream_codecs "$file" 2>/dev/null)
  case "$codecs" in
    *ac3*mpeg2video*|*mp2*mpeg[12]video*) echo "ok $muxed: $codecs" ;;
    *) echo "FAIL $muxed: streams '$codecs'"; status=1 ;;
  esac
done
exit $status
