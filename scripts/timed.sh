#!/bin/sh
# Runs one phase of the build or the tests and notes how long it took, so
# that anyone can see where the time of `make test` goes:
#   scripts/timed.sh <times file> <phase> <command...>
# Appends "<phase>  <seconds> s" to the times file (and says it on stderr);
# the command's exit status is kept.
set -u
times=$1 phase=$2
shift 2
start=$(date +%s)
status=0
"$@" || status=$?
took=$(( $(date +%s) - start ))
mkdir -p "$(dirname "$times")"
note=""
[ $status -eq 0 ] || note="  (failed)"
printf '%-24s %6d s%s\n' "$phase" "$took" "$note" >> "$times"
echo "time: $phase took $took s$note" >&2
exit $status
