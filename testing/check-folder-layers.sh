#!/bin/sh
# The tree's layers, read from its includes (sources and CMake files):
#   programs (launcher, creator, burner, converter): each includes only its
#     own folder among the programs;
#   discjob/ (disc-job workers and rules) may use suite/, not the reverse;
#   everything below (image builder, stand-ins, controls, MFC layer, skin
#     library, tools, test helpers) includes neither a program, nor suite/,
#     nor discjob/.
#   check-folder-layers.sh <source root>
set -eu
cd "$1"
programs="launcher creator burner converter"
status=0

is_program() {
  for p in $programs; do [ "$1" = "$p" ] && return 0; done
  return 1
}

# Prints "file<TAB>folder named" for every include or CMake path of a folder
# of the tree (one grep and one sed for all files: a process per file is
# slow on a small, busy machine).
references() {
  find . \( -name .git -o -name build -o -name 'build-*' \) -prune -o -type f \
       \( -name '*.c' -o -name '*.cpp' -o -name '*.h' -o -name '*.rc' -o -name '*.cmake' \
          -o -name CMakeLists.txt \) -print0 |
    xargs -0 grep -H -e '#' -e 'PROJECT_SOURCE_DIR' /dev/null | sed 's|^\./||' |
    sed -n -e 's|^\([^:]*\):[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^/"]*\)/.*|\1\t\2|p' \
           -e 's|^\([^:]*\):.*\${PROJECT_SOURCE_DIR}/\([^/}" )]*\)/.*|\1\t\2|p'
}

references > "${TMPDIR:-/tmp}/folder-layers.$$"
while IFS="$(printf '\t')" read -r file named; do
  folder=${file%%/*}
  [ "$folder" = "$named" ] && continue
  bad=""
  if is_program "$named"; then
    bad="includes the program folder $named/"
  elif [ "$named" = discjob ] && ! is_program "$folder"; then
    bad="includes discjob/ from below it"
  elif [ "$named" = suite ] && ! is_program "$folder" && [ "$folder" != discjob ]; then
    bad="includes suite/ from below it"
  fi
  if [ -n "$bad" ]; then
    echo "FAIL $file $bad"
    status=1
  fi
done < "${TMPDIR:-/tmp}/folder-layers.$$"
rm -f "${TMPDIR:-/tmp}/folder-layers.$$"
[ $status -eq 0 ] && echo "every folder includes only from its own layer or below"
exit $status
