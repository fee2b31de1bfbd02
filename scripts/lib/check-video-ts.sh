#!/bin/sh
# An authored VIDEO_TS folder read by readers of its own, as bchunk and
# iso-info read the CD images:
# - lsdvd (libdvdread) reads the information files without one complaint and
#   finds the titles, the chapters and the length expected;
# - each information file has its backup, byte for byte;
# - ffprobe finds in the title's VOB files the picture (size, frame rate) and
#   the audio streams that the information files announce, ffmpeg decodes
#   them without an error, and the video frames last as long as the title.
#
#   check-video-ts.sh <folder> <chapters> <seconds> [<titles>]
#   check-video-ts.sh --handed <folder>
#
# <folder> is the disc folder that holds VIDEO_TS, or VIDEO_TS itself. The
# chapters and the length (seconds, within 0.25 s) are those of title 1;
# "-" leaves one unchecked. <titles> defaults to 1. The second form checks
# every folder that tests under Wine handed over into <folder> (one
# subfolder each, with VIDEO_TS and a file "expect": "<chapters> <seconds>")
# and fails when there is none. Prints "ok ..." or "FAIL ..." lines; the
# exit status is 0 when everything passed.
set -eu

for _program in lsdvd ffprobe ffmpeg awk cmp; do
  command -v "$_program" >/dev/null || { echo "FAIL $_program is needed (Debian packages lsdvd and ffmpeg)"; exit 1; }
done

# What libdvdread says of the machine rather than of the folder.
_not_complaints='Encrypted DVD support unavailable|Couldn.t find device name'

_failed=0  # any folder failed
_fail() {
  echo "FAIL $_what: $*"
  _failed=1 _bad=1
}

# near <value> <expected> <tolerance>: true when they differ by at most it.
_near() {
  awk -v v="$1" -v e="$2" -v t="$3" 'BEGIN { d = v - e; if (d < 0) d = -d; exit !(d <= t) }'
}

# _lsdvd_facts: lsdvd's output (-a -c -v) on standard input; its view of
# the disc and of title 1 as key=value lines (titles, length, chapters,
# chapter_lengths, vts, fps, width, height, audio, audio_formats).
_lsdvd_facts() {
  awk '
    function seconds(t,   p) { split(t, p, ":"); return p[1] * 3600 + p[2] * 60 + p[3] }
    /^Title: / {
      titles++
      if (titles == 1) {
        for (i = 1; i <= NF; i++) {
          if ($i == "Length:") length1 = seconds($(i + 1))
          if ($i == "Chapters:") { chapters = $(i + 1); sub(",", "", chapters) }
          if ($i == "streams:" && $(i - 1) == "Audio") { audio = $(i + 1); sub(",", "", audio) }
        }
      }
      next
    }
    titles == 1 && /^\tVTS: / {
      n = split($0, f, ", ")
      for (i = 1; i <= n; i++) {
        split(f[i], kv, ": ")
        sub(/^\t/, "", kv[1])
        facts[kv[1]] = kv[2]
      }
    }
    titles == 1 && /^\tAudio: / {
      match($0, /Format: [^,]*/)
      formats = formats substr($0, RSTART + 8, RLENGTH - 8) " "
    }
    titles == 1 && /^\tChapter: / {
      match($0, /Length: [0-9:.]*/)
      lengths = lengths seconds(substr($0, RSTART + 8, RLENGTH - 8)) " "
    }
    END {
      print "titles=" titles + 0
      print "length=" length1 + 0
      print "chapters=" chapters + 0
      print "chapter_lengths=" lengths
      print "vts=" facts["VTS"] + 0
      print "fps=" facts["FPS"]
      print "width=" facts["Width"]
      print "height=" facts["Height"]
      print "audio=" audio + 0
      print "audio_formats=" formats
    }'
}

# _fact <facts> <key>
_fact() {
  printf '%s\n' "$1" | sed -n "s/^$2=//p"
}

# check_video_ts <folder> <chapters> <seconds> [<titles>]
check_video_ts() {
  _what=$1
  _want_chapters=$2 _want_seconds=$3 _want_titles=${4:-1}
  _bad=0  # this folder failed
  _ts=$1
  [ "$(basename "$_ts")" = VIDEO_TS ] || _ts=$_ts/VIDEO_TS
  if [ ! -s "$_ts/VIDEO_TS.IFO" ]; then
    _fail "no VIDEO_TS/VIDEO_TS.IFO"
    return
  fi
  _disc=$(dirname "$_ts")

  # The information files and their backups.
  for _ifo in "$_ts"/VIDEO_TS.IFO "$_ts"/VTS_[0-9][0-9]_0.IFO; do
    [ -e "$_ifo" ] || continue
    cmp -s "$_ifo" "${_ifo%.IFO}.BUP" || _fail "$(basename "${_ifo%.IFO}").BUP is not a copy of its IFO"
  done

  # libdvdread reads them without a complaint.
  _out=$(lsdvd -a -c -v "$_disc" 2>&1) || { _fail "lsdvd cannot read it: $_out"; return; }
  _complaints=$(printf '%s\n' "$_out" | grep 'libdvdread:' | grep -Ev "$_not_complaints" || true)
  [ -z "$_complaints" ] || _fail "libdvdread complains: $_complaints"
  _facts=$(printf '%s\n' "$_out" | _lsdvd_facts)
  _titles=$(_fact "$_facts" titles)
  _length=$(_fact "$_facts" length)
  _chapters=$(_fact "$_facts" chapters)
  [ "$_titles" = "$_want_titles" ] || _fail "$_titles titles, not $_want_titles"
  [ "$_want_chapters" = - ] || [ "$_chapters" = "$_want_chapters" ] ||
    _fail "$_chapters chapters, not $_want_chapters"
  if [ "$_want_seconds" = - ]; then
    _near "$_length" 0 0 && _fail "title 1 lasts no time"
  else
    _near "$_length" "$_want_seconds" 0.25 || _fail "title 1 lasts $_length s, not $_want_seconds s"
  fi
  _sum=0
  for _chapter in $(_fact "$_facts" chapter_lengths); do
    _near "$_chapter" 0 0 && _fail "a chapter lasts no time"
    _sum=$(awk -v a="$_sum" -v b="$_chapter" 'BEGIN { print a + b }')
  done
  _near "$_sum" "$_length" 0.1 || _fail "the chapters last $_sum s, the title $_length s"

  # The VOB files of title 1's title set hold what the tables announce.
  _set=$(printf 'VTS_%02d' "$(_fact "$_facts" vts)")
  _parts=""
  _part=1
  while [ -e "$_ts/${_set}_$_part.VOB" ]; do
    _parts="$_parts${_parts:+|}$_ts/${_set}_$_part.VOB"
    _part=$((_part + 1))
  done
  if [ -z "$_parts" ]; then
    _fail "no ${_set}_1.VOB"
    return
  fi
  # codec,type[,width,height],rate,packets per stream
  _streams=$(ffprobe -v error -count_packets \
    -show_entries stream=codec_type,codec_name,width,height,r_frame_rate,nb_read_packets \
    -of csv=p=0 "concat:$_parts" 2>&1) || { _fail "ffprobe cannot read the VOBs: $_streams"; return; }
  _video=$(printf '%s\n' "$_streams" | grep ',video,' | head -n 1)
  case "$_video" in
    mpeg2video,*|mpeg1video,*) ;;
    *) _fail "no MPEG video in the VOBs: $_streams"; return ;;
  esac
  _size=$(printf '%s\n' "$_video" | cut -d, -f3,4 | tr , x)
  _said=$(_fact "$_facts" width)x$(_fact "$_facts" height)
  # lsdvd gives the TV system's height for 352x240 and 352x288 too.
  [ "$_size" = "$_said" ] || [ "$_said" = "352x$((${_size#*x} * 2))" ] ||
    _fail "the VOBs' picture is $_size, the tables say $_said"
  _rate=$(printf '%s\n' "$_video" | cut -d, -f5 | awk -F/ '{ printf "%.2f", $1 / $2 }')
  [ "$_rate" = "$(_fact "$_facts" fps)" ] || _fail "the VOBs run at $_rate frames/s, the tables say $(_fact "$_facts" fps)"
  _audio=$(printf '%s\n' "$_streams" | grep -c ',audio,' || true)
  [ "$_audio" = "$(_fact "$_facts" audio)" ] ||
    _fail "$_audio audio streams in the VOBs, $(_fact "$_facts" audio) in the tables"
  for _format in $(_fact "$_facts" audio_formats); do
    case "$_format" in
      mpeg1|mpeg2) _codecs='mp[123]' ;;
      ac3) _codecs='ac3' ;;
      lpcm) _codecs='pcm_dvd' ;;
      *) _codecs='dts' ;;
    esac
    printf '%s\n' "$_streams" | grep -Eq "^($_codecs),audio," || _fail "no $_format audio in the VOBs"
  done
  _errors=$(ffmpeg -nostdin -v error -i "concat:$_parts" -f null - 2>&1 || true)
  [ -z "$_errors" ] || _fail "decoding the VOBs says $_errors"
  _frames=$(printf '%s\n' "$_video" | cut -d, -f6)
  _played=$(awk -v n="$_frames" -v r="$(_fact "$_facts" fps)" 'BEGIN { printf "%.3f", n / r }')
  _near "$_played" "$_length" 0.25 || _fail "the VOBs hold $_frames frames ($_played s), the title lasts $_length s"

  [ "$_bad" = 1 ] ||
    echo "ok $_what: $_titles title, $_chapters chapters, $_length s;" \
      "$(printf '%s' "$_video" | cut -d, -f1) $_size at $_rate frames/s, $_audio audio"
}

if [ "${1:-}" = --handed ]; then
  [ $# -eq 2 ] || { echo "usage: $0 --handed <folder>" >&2; exit 2; }
  _handed=0
  for _dir in "$2"/*/; do
    [ -f "$_dir/expect" ] || continue
    _handed=$((_handed + 1))
    # shellcheck disable=SC2046 # "<chapters> <seconds>"
    check_video_ts "${_dir%/}" $(cat "$_dir/expect")
  done
  if [ "$_handed" = 0 ]; then
    echo "FAIL no VIDEO_TS folder was handed over in $2"
    exit 1
  fi
else
  [ $# -ge 3 ] && [ $# -le 4 ] || { echo "usage: $0 <folder> <chapters> <seconds> [<titles>]" >&2; exit 2; }
  check_video_ts "$@"
fi
exit $_failed
