#!/bin/bash
# A second instance started while the first runs ends at once, with exit code 0 and without a
# window; the first stays as it was.
source "$(dirname "$0")/app_lib.bash"
app_setup adapter

app_start
first=$APP_PID
win=$(app_window 60)
[ -n "$win" ] || { app_fail "no window"; app_finish; }

start=$(date +%s%N)
rc=0
app_wine_timeout 20 "$SOURCE_DIR/cmake/wine-exec.sh" "$TAVRINO_EXE" || rc=$?
elapsed=$(( ($(date +%s%N) - start) / 1000000 ))
app_expect "second instance's exit code" "$rc" 0
[ "$elapsed" -lt 10000 ] && app_ok "second instance ended after $elapsed ms" ||
  app_fail "second instance took $elapsed ms"
app_expect "windows named Tavrino" "$(app_window_count)" 1
kill -0 "$first" 2>/dev/null && app_ok "first instance still runs" || app_fail "first instance ended"

APP_PID=$first
app_close
app_wait_exit 10
app_expect "first instance's exit code" "$APP_RC" 0
app_finish
