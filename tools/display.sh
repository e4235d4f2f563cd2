# Sourced by the scripts that run Windows programs: a virtual display when there is none.
xvfb_pid=""

# Starts Xvfb on the first free display from $1 on and exports DISPLAY, unless DISPLAY is set.
start_virtual_display() {
  [ -n "${DISPLAY:-}" ] && return 0
  local n
  for n in $(seq "$1" $(( $1 + 30 ))); do
    [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    export DISPLAY=":$n"
    sleep 1
    return 0
  done
  echo "no free display number from :$1 on" >&2
  return 1
}

stop_virtual_display() {
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
}
