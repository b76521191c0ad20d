# A virtual display (Xvfb) for Windows programs under Wine, shared by the run and test commands
# and the test scripts. Xvfb picks a free display number itself and tells it (-displayfd), so
# that displays started side by side never meet.
#
#   display_start [WIDTHxHEIGHT]   exports DISPLAY, sets DISPLAY_PID; fails when Xvfb told no
#                                  number within 30 s
#   display_stop                   ends the display that display_start started

DISPLAY_PID=
display_start() {
  local fifo n=
  fifo=$(mktemp -u)
  mkfifo "$fifo"
  Xvfb -displayfd 9 -screen 0 "${1:-1280x1024}x24" -nolisten tcp 9>"$fifo" >/dev/null 2>&1 &
  DISPLAY_PID=$!
  read -r -t 30 n <"$fifo" || true
  rm -f "$fifo"
  if [ -z "$n" ]; then
    echo "FAIL: Xvfb told no display number within 30 s" >&2
    display_stop
    return 1
  fi
  export DISPLAY=":$n"
}
display_stop() {
  [ -n "$DISPLAY_PID" ] && kill "$DISPLAY_PID" 2>/dev/null || true
  DISPLAY_PID=
}
