#!/bin/sh
# Builds every libFuzzer target (clang, ASan/UBSan, native) and runs each for
# the given number of seconds.
#   scripts/run-fuzzers.sh <build dir> [seconds]
set -eu
build=$(cd "$1" && pwd)
seconds=${2:-60}
root=$(cd "$(dirname "$0")/.." && pwd)
out=$build/fuzz
for script in "$root"/*/fuzz/build*.sh "$root"/*/*/fuzz/build*.sh; do
  [ -f "$script" ] || continue
  name=$(basename "$(dirname "$(dirname "$script")")")_$(basename "$script" .sh)
  echo "fuzz: $script"
  sh "$script" "$out/$name" "$seconds" "$build/native/tools/skinc/skinc"
done
