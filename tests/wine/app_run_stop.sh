#!/bin/bash
# Run with an adapter and an internet that answers: the window ends running ("Running",
# pressed in) and stores 1; Stop resets the scheduler values, deletes the TCP ones and
# stores 0. In English and in Korean.
source "$(dirname "$0")/app_lib.bash"
app_setup adapter
app_service

mq='HKLM\SOFTWARE\Microsoft\MSMQ\Parameters'
profile='HKLM\SOFTWARE\Microsoft\Windows NT\CurrentVersion\Multimedia\SystemProfile'

for lang in en_US.UTF-8 ko_KR.UTF-8; do
  APP_LANG=$lang
  tag=${lang%%_*}
  app_wine "$SOURCE_DIR/cmake/wine-exec.sh" reg delete "$APP_SETTINGS" /f >/dev/null 2>&1 || true
  app_start
  win=$(app_window 60)
  [ -n "$win" ] || { app_fail "$tag: no window"; app_finish; }

  app_click "$win" "$APP_RUN_X" "$APP_RUN_Y"
  app_wait_caption 'Running|실행중' 15 || app_fail "$tag: the button never read Running within 15 s of Run"
  app_expect "$tag: status after Run" "$(app_dword "$APP_SETTINGS" status)" 0x1
  app_shot "$win" "home-running-$tag"
  app_expect "$tag: MSMQ TCPNoDelay" "$(app_dword "$mq" TCPNoDelay)" 0x1
  app_expect "$tag: SystemResponsiveness" "$(app_dword "$profile" SystemResponsiveness)" 0x0

  app_click "$win" "$APP_RUN_X" "$APP_RUN_Y"
  app_wait_caption 'Run|실행하기' 15 || app_fail "$tag: the button never read Run within 15 s of Stop"
  app_expect "$tag: status after Stop" "$(app_dword "$APP_SETTINGS" status)" 0x0
  app_shot "$win" "home-stopped-$tag"
  app_expect "$tag: MSMQ TCPNoDelay after Stop" "$(app_dword "$mq" TCPNoDelay)" ""
  app_expect "$tag: SystemResponsiveness after Stop" "$(app_dword "$profile" SystemResponsiveness)" 0x14
  app_expect "$tag: NetworkThrottlingIndex after Stop" "$(app_dword "$profile" NetworkThrottlingIndex)" 0xa

  app_close
  app_wait_exit 10
  app_expect "$tag: exit code" "$APP_RC" 0
  app_wine wineserver -w || true
done
app_finish
