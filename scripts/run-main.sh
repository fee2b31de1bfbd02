#!/bin/sh
# The suite's main job, as far as it runs here: the image builder's command
# line program reports its version.
#   scripts/run-main.sh <native build dir>
set -eu
build=$1
exe=$build/discimage/cli/zrdiscbuild
[ -x "$exe" ] || { echo "run-main: $exe was not built" >&2; exit 1; }
"$exe" -V
