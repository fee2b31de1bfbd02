#!/bin/sh
# Runs the command that makes a test fixture for one tree, and shares what it
# made with the other trees of the same test run. With
# QUORBEL_SHARED_FIXTURES set (make test sets it), the first tree to make the
# fixture leaves a copy of its files there; a tree after it (or waiting for
# it) starts from that copy, so its command finds the files made and keeps
# them. The fixtures are the same bytes in every tree (one encoding thread),
# and ffmpeg's encodes are much of a small machine's test time. Without the
# variable the command just runs.
#   scripts/shared-fixture.sh <name> <folder> <command...>
set -eu
name=$1 folder=$2
shift 2
shared=${QUORBEL_SHARED_FIXTURES:-}
[ -n "$shared" ] || exec "$@"

# copy_files <from> <to>: the finished files directly in <from> (other
# fixtures may have folders of their own inside it).
copy_files() {
  find "$1" -maxdepth 1 -type f ! -name '*.tmp' ! -name .done -exec cp -p {} "$2/" \;
}

mkdir -p "$shared" "$folder"
exec 9>"$shared/$name.lock"
flock 9
made=$shared/$name
[ -f "$made/.done" ] && copy_files "$made" "$folder"
"$@"
if [ ! -f "$made/.done" ]; then
  rm -rf "$made"
  mkdir -p "$made"
  copy_files "$folder" "$made"
  touch "$made/.done"
fi
