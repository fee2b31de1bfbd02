#!/bin/sh
# Builds every libFuzzer target in a native clang tree (ASan/UBSan) and runs
# each for the given number of seconds from its seeds. A crash, leak or
# sanitizer report fails the run.
#   scripts/run-fuzzers.sh <build dir> [seconds] [target name filter]
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
mkdir -p "$1"
build=$(cd "$1" && pwd)/fuzz
seconds=${2:-60}
filter=${3:-}
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DQUORBEL_FUZZ=ON -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$build" --target quorbel_fuzzers skinc -j "$(nproc)"
status=0
while IFS='|' read -r name exe max_len seeds; do
  [ -n "$name" ] || continue
  case "$name" in *"$filter"*) ;; *) continue ;; esac
  corpus=$build/corpus/$name
  mkdir -p "$corpus"
  [ -z "$seeds" ] || sh "$seeds" "$name" "$corpus" "$build"
  dict=""
  [ -f "$corpus.dict" ] && dict="-dict=$corpus.dict"
  echo "fuzz: $name for ${seconds}s"
  (cd "$build" && "$exe" -max_total_time="$seconds" -max_len="$max_len" -rss_limit_mb=2048 -timeout=10 \
     -print_final_stats=1 $dict "$corpus" 2>"$build/$name.log") || { status=1; tail -40 "$build/$name.log"; }
  grep -E '^stat::number_of_executed_units' "$build/$name.log" | sed "s/^/  $name /" || true
done < "$build/fuzzers.list"
exit $status
