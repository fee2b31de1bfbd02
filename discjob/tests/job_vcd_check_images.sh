#!/bin/sh
# The images the disc job's build worker made under Wine
# (discjob_writing_test), read by tools of their own: bchunk splits
# each cue/bin into its tracks (a data track and one MPEG track per
# sequence), iso-info lists the file system of the data track with its
# VideoCD or SuperVCD information files and the volume id given.
#   job_vcd_check_images.sh <folder>
set -eu
dir=$1
status=0
fail() {
  echo "FAIL $1"
  status=1
}

# check <stem> <tracks> <info file> <mpeg folder>
check() {
  stem=$1 tracks=$2 info=$3 mpeg=$4
  if [ ! -s "$dir/$stem.cue" ] || [ ! -s "$dir/$stem.bin" ]; then
    fail "$stem: no image"
    return
  fi
  work="$dir/$stem-split"
  rm -rf "$work" && mkdir -p "$work"
  (cd "$work" && bchunk "../$stem.bin" "../$stem.cue" t) > "$work/bchunk.txt" 2>&1 || fail "$stem: bchunk"
  n=$(grep -c "^Track .*MODE2/2352" "$work/bchunk.txt" || true)
  [ "$n" = "$tracks" ] || fail "$stem: $n tracks, not $tracks"
  iso-info -i "$work/t01.iso" -l > "$work/tree.txt" 2>&1 || fail "$stem: iso-info"
  grep -qi "$info" "$work/tree.txt" || fail "$stem: no $info"
  grep -qi "/$mpeg/" "$work/tree.txt" || fail "$stem: no $mpeg folder"
  iso-info -i "$work/t01.iso" > "$work/pvd.txt" 2>&1 || true
  grep -q "^Volume *: MY_DISC" "$work/pvd.txt" || fail "$stem: volume id"
  [ $status = 0 ] && echo "ok $stem: $n tracks, $info"
}

check vcd 3 info.vcd mpegav
check svcd 2 info.svd mpeg2
exit $status
