#!/bin/bash
# Run with an adapter whose internet never answers: the window turns busy and waits; closing
# it then ends the program at once with exit code 0. The values Run wrote before the wait stay
# written, and the store says so (status 1), so the next start offers Stop. In English and in
# Korean.
source "$(dirname "$0")/app_lib.bash"
app_setup adapter

for lang in en_US.UTF-8 ko_KR.UTF-8; do
  APP_LANG=$lang
  tag=${lang%%_*}
  app_wine "$SOURCE_DIR/cmake/wine-exec.sh" reg delete "$APP_SETTINGS" /f >/dev/null 2>&1 || true
  app_wine "$SOURCE_DIR/cmake/wine-exec.sh" reg delete 'HKLM\SOFTWARE\Microsoft\MSMQ\Parameters' /v TCPNoDelay /f >/dev/null 2>&1 || true
  app_start
  win=$(app_window 60)
  [ -n "$win" ] || { app_fail "$tag: no window"; app_finish; }
  app_shot "$win" "home-idle-$tag"
  app_click "$win" "$APP_RUN_X" "$APP_RUN_Y"
  sleep 1.5
  app_shot "$win" "home-busy-$tag"
  app_expect "$tag: MSMQ TCPNoDelay written by Run" \
    "$(app_dword 'HKLM\SOFTWARE\Microsoft\MSMQ\Parameters' TCPNoDelay)" 0x1
  app_expect "$tag: NetworkThrottlingIndex written by Run" \
    "$(app_dword 'HKLM\SOFTWARE\Microsoft\Windows NT\CurrentVersion\Multimedia\SystemProfile' NetworkThrottlingIndex)" 0xffffffff
  window=$(app_probe)
  app_expect_line "$tag: a box while busy" "TcpNoDelay|checked=1|enabled=0" "$window"
  grep -qE '^(Run|실행하기)\|' <<<"$window" && app_fail "$tag: the busy button has a caption" ||
    app_ok "$tag: the busy button has no caption"
  kill -0 "$APP_PID" 2>/dev/null && app_ok "$tag: still waiting" || app_fail "$tag: ended on its own"

  app_close
  start=$(date +%s%N)
  app_wait_exit 10
  rc=$APP_RC
  elapsed=$(( ($(date +%s%N) - start) / 1000000 ))
  app_expect "$tag: exit code after closing during the wait" "$rc" 0
  [ "$elapsed" -lt 5000 ] && app_ok "$tag: ended $elapsed ms after the close request was sent" ||
    app_fail "$tag: took $elapsed ms to end"
  app_expect "$tag: status after the interrupted Run" "$(app_dword "$APP_SETTINGS" status)" 0x1
  app_wine_timeout 30 wineserver -w || true  # bounded: a program that did not close must fail the case, not hang it
done
app_finish
