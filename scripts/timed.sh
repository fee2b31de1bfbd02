#!/bin/sh
# Runs one phase of the build or the tests and notes how long it took, so
# that anyone can see where the time of `make test` goes:
#   scripts/timed.sh <times file> <phase> <command...>
# Appends "<phase>  <seconds> s  <seconds> s CPU" to the times file (and
# says it on stderr): the processor time, beside the wall time, shows on a
# small machine whether a phase waits or works. The command's exit status is
# kept.
set -u
times=$1 phase=$2
shift 2
start=$(date +%s)
status=0
"$@" || status=$?
took=$(( $(date +%s) - start ))
# User and system time of the command and all it waited for ("0m1.5s 0m0.2s").
# (times, a builtin, run in this shell: in a pipe it would count nothing.)
cputimes=$(mktemp)
times > "$cputimes"
cpu=$(tail -n 1 "$cputimes" | awk '{ split($1, u, "m"); split($2, s, "m"); printf "%d", u[1] * 60 + u[2] + s[1] * 60 + s[2] }')
rm -f "$cputimes"
mkdir -p "$(dirname "$times")"
note=""
[ $status -eq 0 ] || note="  (failed)"
printf '%-24s %6d s %6d s CPU%s\n' "$phase" "$took" "$cpu" "$note" >> "$times"
echo "time: $phase took $took s ($cpu s CPU)$note" >&2
exit $status
