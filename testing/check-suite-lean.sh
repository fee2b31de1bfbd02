#!/bin/sh
# The files an installed suite holds (<build>/suite-files.txt) carry no debug
# sections.
#   check-suite-lean.sh <objdump> <build dir>
set -eu
objdump=$1 files=$2/suite-files.txt
status=0
while IFS="$(printf '\t')" read -r name path; do
  sections=$("$objdump" -h "$path" | awk '$2 ~ /^\.debug/ { printf " %s", $2 }')
  if [ -n "$sections" ]; then
    echo "FAIL $name carries$sections"
    status=1
  fi
done < "$files"
[ $status -eq 0 ] && echo "the suite's files carry no debug sections"
exit $status
