# Starts a private Xvfb screen (1280x1024, 24-bit) for a script. Sourced
# after `set -eu`:
#   . "$root/scripts/lib/xvfb.sh"; start_xvfb
# Sets DISPLAY and xvfb_pid. Xvfb picks a free display itself and names it
# once it listens, so that screens started side by side are never shared.
start_xvfb() {
  _dispfile=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$_dispfile" >/dev/null 2>&1 &
  xvfb_pid=$!
  _i=0
  while [ ! -s "$_dispfile" ] && [ $_i -lt 300 ]; do sleep 0.1; _i=$((_i + 1)); done
  _disp=$(tr -d '\n' < "$_dispfile")
  rm -f "$_dispfile"
  if [ -z "$_disp" ]; then
    echo "Xvfb did not start" >&2
    kill "$xvfb_pid" 2>/dev/null || true
    exit 1
  fi
  export DISPLAY=":$_disp"
}
