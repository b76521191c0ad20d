#!/bin/bash
# First start with an empty settings store: the window opens idle with "Run" and all five
# boxes checked, and the store then holds "status" 0 and the five boxes' keys as true.
# Closing the window ends the program with exit code 0.
source "$(dirname "$0")/app_lib.bash"
app_setup adapter

app_expect "store before the first start" "$(app_dword "$APP_SETTINGS" status)" ""
app_start
win=$(app_window 60)
[ -n "$win" ] || { app_fail "no window"; app_finish; }
app_shot "$win" home-idle-en
app_click "$win" "$APP_CONFIG_X" "$APP_CONFIG_Y"
app_shot "$win" config-en

window=$(app_probe)
app_expect_line "title" "title=Tavrino" "$window"
app_expect_line "run button" "Run|checked=0|enabled=1" "$window"
for box in TcpNoDelay TcpAckFrequency TcpDelAckTick NetworkThrottlingIndex SystemResponsiveness; do
  app_expect_line "$box" "$box|checked=1|enabled=1" "$window"
done

app_expect "status" "$(app_dword "$APP_SETTINGS" status)" 0x0
for key in tcpackfrequency tcpdelacktick tcpnodelay networkthrottleindex systemresponsivess; do
  app_expect "$key" "$(app_dword "$APP_SETTINGS" "$key")" 0x1
done
# Nothing is written to the tweaks at start-up.
app_expect "MSMQ TCPNoDelay" "$(app_dword 'HKLM\SOFTWARE\Microsoft\MSMQ\Parameters' TCPNoDelay)" ""

app_close
app_wait_exit 10
app_expect "exit code after closing" "$APP_RC" 0
app_finish
