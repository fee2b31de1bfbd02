# Shell functions shared by the scripts that make test media with ffmpeg and
# check what the programs wrote with ffprobe. Sourced after `set -eu`:
#   . "$root/scripts/lib/media.sh"
# Their own variables start with an underscore, clear of the callers' names.

# need <program>...: stops the script unless every program is there.
need() {
  for _program in "$@"; do
    command -v "$_program" >/dev/null || { echo "$_program is needed" >&2; exit 1; }
  done
}

# fixture_folder <folder> <version file> <version> <pattern>...: makes the
# folder. When the recipe version written there is another, the files that
# match the patterns go first, so that all is made anew.
fixture_folder() {
  _folder=$1 _stamp=$2 _version=$3
  shift 3
  mkdir -p "$_folder"
  if [ "$(cat "$_folder/$_stamp" 2>/dev/null || true)" != "$_version" ]; then
    for _pattern in "$@"; do
      rm -f "$_folder"/$_pattern
    done
    echo "$_version" > "$_folder/$_stamp"
  fi
}

# ffmpeg_once <file> <ffmpeg arguments>...: ffmpeg writes <file> (the
# arguments name its format), under a temporary name first so that an
# interrupted run leaves none half made. A file already there is kept.
# One encoding thread: ffmpeg's encoders write other bytes with other thread
# counts, and a fixture must be the same on every machine.
ffmpeg_once() {
  _file=$1
  shift
  [ -s "$_file" ] && return 0
  ffmpeg -nostdin -v error -y -filter_threads 1 "$@" -threads 1 "$_file.tmp"
  mv "$_file.tmp" "$_file"
}

# probe_once <file> <saved> <ffprobe arguments>...: ffprobe's output on
# <file> kept in <saved>, for tests that cannot run ffprobe (Wine).
probe_once() {
  _file=$1 _saved=$2
  shift 2
  [ -s "$_saved" ] && return 0
  ffprobe -v error "$@" "$_file" > "$_saved.tmp"
  mv "$_saved.tmp" "$_saved"
}

# stream_codecs <file>: the codec names of its streams, sorted, on one line.
stream_codecs() {
  ffprobe -v error -show_entries stream=codec_name -of csv=p=0 "$1" | sort | tr '\n' ' '
}

# decode_errors <file>: what ffmpeg says while decoding all of it; empty
# when it decodes cleanly.
decode_errors() {
  ffmpeg -nostdin -v error -i "$1" -f null - 2>&1 || true
}

# between <value> <low> <high>: true when low < value < high.
between() {
  awk -v d="$1" -v low="$2" -v high="$3" 'BEGIN { exit !(d > low && d < high) }'
}
