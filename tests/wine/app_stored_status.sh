#!/bin/bash
# A stored "status" 1 opens the window as running (caption "Running", pressed in, the boxes
# disabled) without writing any tweak; the store keeps 1.
source "$(dirname "$0")/app_lib.bash"
app_setup adapter

app_put_dword "$APP_SETTINGS" status 1
profile='HKLM\SOFTWARE\Microsoft\Windows NT\CurrentVersion\Multimedia\SystemProfile'
before=$(app_dword "$profile" SystemResponsiveness)
app_start
win=$(app_window 60)
[ -n "$win" ] || { app_fail "no window"; app_finish; }
app_shot "$win" home-running-restored-en
app_click "$win" "$APP_CONFIG_X" "$APP_CONFIG_Y"
app_shot "$win" config-running-restored-en

window=$(app_probe)
app_expect_line "run button" "Running|checked=0|enabled=1" "$window"
for box in TcpNoDelay TcpAckFrequency TcpDelAckTick NetworkThrottlingIndex SystemResponsiveness; do
  app_expect_line "$box" "$box|checked=1|enabled=0" "$window"
done

app_expect "status" "$(app_dword "$APP_SETTINGS" status)" 0x1
app_expect "SystemResponsiveness untouched" "$(app_dword "$profile" SystemResponsiveness)" "$before"
app_expect "MSMQ TCPNoDelay" "$(app_dword 'HKLM\SOFTWARE\Microsoft\MSMQ\Parameters' TCPNoDelay)" ""

app_close
app_wait_exit 10
app_expect "exit code" "$APP_RC" 0
app_finish
