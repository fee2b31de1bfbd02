#!/bin/sh
# The builder's chapters below its top: nothing in them (tests aside)
# includes from run/ (the front end, runner and entry point) or cli/ (the
# command-line program), which are built on everything else.
#   check-top-chapters.sh <discimage folder>
set -eu
cd "$1"
status=0
for file in $(find base mpeg iso9660 model pbc xml image -path '*/tests' -prune -o \
                \( -name '*.h' -o -name '*.cpp' \) -print); do
  if grep -Eq '^[[:space:]]*#[[:space:]]*include[[:space:]]*"discimage/(run|cli)/' "$file"; then
    echo "FAIL $file includes $(grep -Eo '"discimage/(run|cli)/[^"]*"' "$file" | head -1)"
    status=1
  fi
done
[ $status -eq 0 ] && echo "no chapter below run/ includes run/ or cli/"
exit $status
