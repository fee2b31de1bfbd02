#!/bin/sh
# Starts the suite as `make run` does (its prefix <build>/suite-prefix in the build
# tree), twice in a row: both runs succeed, and each screenshot shows the
# launcher at rest, its three program buttons as drawn (no black box on
# them). The prefix stays, as `make run` leaves it.
#   check-run-suite.sh <source dir> <win64 build dir>
set -eu
src=$1 build=$2
shot=$build/suite-launcher.png
status=0
for run in 1 2; do
  rm -f "$shot"
  if ! env -u DISPLAY RUN_SECONDS=8 sh "$src/scripts/run-suite.sh" "$build"; then
    echo "FAIL run $run of the suite"
    status=1
    continue
  fi
  [ -f "$shot" ] || { echo "FAIL run $run saved no screenshot"; status=1; continue; }
  # The launcher's window is what is not black on the screen; its program
  # buttons (skins/launcher.skin) hold no black pixel.
  set -- $(convert "$shot" -trim -format '%X %Y' info: | tr -d '+')
  for top in 104 180 256; do
    black=$(convert "$shot" -crop "344x64+$(($1 + 116))+$(($2 + top))" +repage txt:- | grep -c '#000000' || true)
    if [ "$black" -ne 0 ]; then
      echo "FAIL run $run: $black black pixels on the program button at y $top"
      status=1
    fi
  done
done
[ $status -eq 0 ] && echo "the suite ran twice"
exit $status
