#!/bin/sh
# Image build benchmark: zrdiscbuild makes a VideoCD image (cue/bin) of 10
# minutes of VCD video, timed next to a plain user-space copy of the same
# source bytes in the same run, and the peak memory of builds of 1 and of 10
# minutes. It reports; it fails only when a build fails.
#   vcd_write_bench.sh <zrdiscbuild> <60 s VideoCD stream> <work folder>
#
# The build reads the source twice (scan, then write), writes 2352 bytes
# for every 2324 read and computes one EDC per sector; the copy reads and
# writes the bytes once. Target: the build within 2x of "cat source > copy"
# copying in user space. GNU cat copies inside the kernel where it can
# (copy_file_range: no bytes pass through the program at all), so the
# baseline is what cat does when it copies in user space: read and write in
# 128 KiB blocks, here by dd. The kernel copy of cat is reported beside it.
set -eu

if [ $# -lt 3 ]; then
  echo "usage: $0 <zrdiscbuild> <60 s VideoCD stream> <work folder>" >&2
  exit 2
fi
absolute() { (cd "$(dirname "$1")" && printf '%s/%s\n' "$(pwd)" "$(basename "$1")"); }
exe=$(absolute "$1")
one=$(absolute "$2")
work=$3
rounds=${BENCH_ROUNDS:-5}
mkdir -p "$work"
cd "$work"

# Ten minutes: the 60 s stream looped ten times, remuxed (not re-encoded)
# into VideoCD packs.
if [ ! -s ten.mpg ]; then
  ffmpeg -nostdin -v error -y -stream_loop 9 -i "$one" -c copy -f vcd -packetsize 2324 \
    -muxrate 1411200 ten.mpg.tmp
  mv ten.mpg.tmp ten.mpg
fi

project() {
  cat > "$1" <<EOF
<?xml version="1.0"?>
<!DOCTYPE videocd PUBLIC "-//Ostrel//DTD VideoCD//EN" "http://www.quorbel.example/dtd/videocd-1.0.dtd">
<videocd xmlns="http://www.quorbel.example/ns/videocd/1.0" class="vcd" version="2.0">
  <info/>
  <pvd><volume-id>BENCH</volume-id></pvd>
  <sequence-items><sequence-item id="movie" src="$2"/></sequence-items>
</videocd>
EOF
}
project ten.xml "$PWD/ten.mpg"
project one.xml "$one"

now() { date +%s%N; }
# Milliseconds of one run of a command.
timed() {
  start=$(now)
  sh -c "$1"
  end=$(now)
  echo $(( (end - start) / 1000000 ))
}

bytes=$(wc -c < ten.mpg)
cat ten.mpg > /dev/null  # the source in the page cache for everyone
"$exe" -x ten.xml -c ten.cue -v 3 >/dev/null 2>&1 || { echo "bench: the build failed" >&2; exit 1; }
sectors=$(( $(wc -c < ten.bin) / 2352 ))
cat ten.mpg > copy.mpg
: > ratios

# Whether cat copies in the kernel here (seen where strace is at hand).
cat_copies="in the kernel where it can (copy_file_range)"
if command -v strace >/dev/null 2>&1; then
  if strace -f -e trace=copy_file_range -o cat.trace cat ten.mpg > copy.mpg 2>/dev/null; then
    if grep -q 'copy_file_range(.*= [1-9]' cat.trace; then
      cat_copies="in the kernel (copy_file_range, seen by strace)"
    else
      cat_copies="in user space (no copy_file_range seen by strace)"
    fi
  fi
  rm -f cat.trace
fi

# Copy and build take turns, so that both meet the same load of the machine;
# each round's ratio is kept, and the median of them reported.
copy_ms= build_ms= cat_ms=
i=0
while [ $i -lt "$rounds" ]; do
  c=$(timed "dd if=ten.mpg of=copy.mpg bs=128k 2>/dev/null")
  b=$(timed "'$exe' -x ten.xml -c ten.cue -v 3 >/dev/null 2>&1")
  k=$(timed "cat ten.mpg > copy.mpg")
  [ -z "$copy_ms" ] || [ "$c" -lt "$copy_ms" ] && copy_ms=$c
  [ -z "$build_ms" ] || [ "$b" -lt "$build_ms" ] && build_ms=$b
  [ -z "$cat_ms" ] || [ "$k" -lt "$cat_ms" ] && cat_ms=$k
  awk -v b="$b" -v c="$c" 'BEGIN { if (c < 1) c = 1; printf "%.3f\n", b / c }' >> ratios
  i=$((i + 1))
done
median=$(sort -n ratios | awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else printf "%.3f\n", (v[NR / 2] + v[NR / 2 + 1]) / 2 }')

rss() {
  /usr/bin/time -f %M "$exe" -x "$1" -c "$2" -v 3 2>&1 >/dev/null | tail -n 1
}
rss_one=$(rss one.xml one.cue)
rss_ten=$(rss ten.xml ten.cue)

echo "VideoCD image build benchmark ($rounds paired rounds, source in the page cache)"
echo "  source: 10 minutes of VCD video, $bytes bytes; image: $sectors sectors"
printf '  user-space copy (dd, 128 KiB blocks) %6d ms (fastest)  <- baseline\n' "$copy_ms"
printf '  cat source > copy                    %6d ms (fastest; cat copies %s)\n' "$cat_ms" "$cat_copies"
printf '  zrdiscbuild (cue/bin)                %6d ms (fastest)\n' "$build_ms"
awk -v b="$build_ms" -v c="$copy_ms" -v k="$cat_ms" -v m="$median" 'BEGIN {
  if (c < 1) c = 1; if (k < 1) k = 1;
  printf "  build / user-space copy = %.2f median of the rounds, %.2f fastest to fastest (target: at most 2)\n", m, b / c;
  printf "  build / cat (kernel copy) = %.2f fastest to fastest\n", b / k }'
echo "  peak resident memory: 1 minute ${rss_one} KiB, 10 minutes ${rss_ten} KiB"
rm -f copy.mpg ratios
