#!/bin/sh
# What the suite's programs made in vantrel_suite_jobs_test under Wine,
# read by tools of their own: bchunk splits each cue/bin image into a data
# track and one MPEG track per source, iso-info finds the VideoCD or
# SuperVCD information files and the volume id of the job's label, ffprobe
# finds picture and sound in every MPEG track and every converted file.
#   check-suite-jobs.sh <folder>
set -eu
dir=$(cd "$1" && pwd)
status=0
fail() {
  echo "FAIL $1"
  status=1
}
for program in bchunk iso-info ffprobe; do
  command -v $program >/dev/null || { echo "FAIL $program is needed"; exit 1; }
done

# probe <file> <what> <seconds>: a video and an audio stream, as long as
# the source (within 0.3 s).
probe() {
  streams=$(ffprobe -v error -show_entries stream=codec_type -of default=nw=1:nk=1 "$1" |
    grep -xE 'audio|video' | sort -u | tr '\n' ' ')
  [ "$streams" = "audio video " ] || fail "$2: streams '$streams'"
  seconds=$(ffprobe -v error -show_entries format=duration -of csv=p=0 "$1")
  awk -v s="$seconds" -v want="$3" 'BEGIN { d = s - want; exit !(d < 0.3 && d > -0.3) }' ||
    fail "$2: lasts $seconds s, not $3"
}

# image <stem> <info file> <volume id> <seconds>...: the job's sources as
# tracks 2, 3, ..., each as long as its source.
image() {
  stem=$1 info=$2 volume=$3
  shift 3
  cue=$(ls "$dir/$stem-"*.cue 2>/dev/null | head -1)
  if [ -z "$cue" ]; then
    fail "$stem: no cue sheet"
    return
  fi
  bin=$(ls "$dir/$stem-"*.bin 2>/dev/null | head -1)
  work="$dir/$stem-split"
  rm -rf "$work" && mkdir -p "$work"
  (cd "$work" && bchunk "$bin" "$cue" t) > "$work/bchunk.txt" 2>&1 || fail "$stem: bchunk"
  n=$(grep -c "^Track .*MODE2/2352" "$work/bchunk.txt" || true)
  [ "$n" = $(($# + 1)) ] || fail "$stem: $n tracks, not $(($# + 1))"
  iso-info -i "$work/t01.iso" -l > "$work/tree.txt" 2>&1 || fail "$stem: iso-info"
  grep -qi "$info" "$work/tree.txt" || fail "$stem: no $info"
  iso-info -i "$work/t01.iso" > "$work/pvd.txt" 2>&1 || true
  grep -q "^Volume *: $volume\$" "$work/pvd.txt" || fail "$stem: volume id"
  # The MPEG tracks are Form 2 sectors: taken whole (2336 bytes, which the
  # program stream reader resynchronises over), not as 2048-byte data.
  (cd "$work" && bchunk -p "$bin" "$cue" m) > "$work/bchunk-mpeg.txt" 2>&1 || fail "$stem: bchunk -p"
  track=2
  for seconds in "$@"; do
    probe "$work/m0$track.iso" "$stem track $track" "$seconds"
    track=$((track + 1))
  done
  [ $status = 0 ] && echo "ok $stem: $n tracks, $info"
}

# The volume id is the job's disc label as it stands.
# VCD: the MP4 (3 s), the AVI (2 s), the turned phone picture (4 s) and the
# holed sound (6 s); SVCD: the MP4 and the AVI.
image vcd info.vcd "My VCD" 3 2 4 6
image svcd info.svd "My SVCD" 3 2
# The converter names each file after its source, counting up when taken.
for pair in job_ToVcd.mpg:3 job_ToVcd_1.mpg:2; do
  file="$dir/converted-${pair%:*}"
  if [ -f "$file" ]; then probe "$file" "${pair%:*}" "${pair#*:}"; else fail "no ${pair%:*}"; fi
done
[ $status = 0 ] && echo "ok converter: 2 files"
exit $status
