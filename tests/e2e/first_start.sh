#!/bin/bash
# First start with an empty store: the Config page shows the adapter and its address, all five
# boxes checked; the store then holds "status" 0 and the five choices, and nothing has been
# written to the tweaks.
source "$SOURCE_DIR/tests/e2e/lib.bash"
e2e_setup adapter
e2e_start_services
guid=$(e2e_adapter_guid)
[ -n "$guid" ] || e2e_fail "no adapter GUID from the management service"
e2e_start_app
home=$(e2e_shot first_start_home)
strip=$(e2e_shot_pixel "$home" $(e2e_client_box 250 1 1 1))
[ "$strip" = 3d84dd ] || e2e_fail "the accent strip of the active window is #$strip, not #3d84dd ($home)"
e2e_expect_glyphs "$home" "the Run caption" $(e2e_client_box 182 322 150 56)
e2e_click "${E2E_BTN_CONFIG[@]}"
shot=$(e2e_shot first_start_config)
ui=$(e2e_ui)
grep -q "|eth0|" <<<"$ui" || e2e_fail "the adapter name eth0 is not shown"
grep -q "|IP: $NETNS_ADAPTER_IP|" <<<"$ui" || e2e_fail "'IP: $NETNS_ADAPTER_IP' is not shown"
while read -r box at; do
  [ "$(e2e_control "$box")" = "$box|1|1|1" ] || e2e_fail "box $box is not checked and enabled: $(e2e_control "$box")"
  declare -n xy=$at
  e2e_expect_shot_check_box "$shot" "${xy[@]}" checked,enabled "$box"
done <<'TABLE'
TcpAckFrequency E2E_CHK_ACK
TcpDelAckTick E2E_CHK_DELACK
TcpNoDelay E2E_CHK_NODELAY
NetworkThrottlingIndex E2E_CHK_THROTTLE
SystemResponsiveness E2E_CHK_RESPONSIVE
TABLE
e2e_expect_reg "$E2E_STORE_KEY" status 'REG_DWORD 0x0'
for key in tcpackfrequency tcpdelacktick tcpnodelay networkthrottleindex systemresponsivess; do
  e2e_expect_reg "$E2E_STORE_KEY" "$key" 'REG_DWORD 0x1'
done
# Nothing is written to the tweaks at start-up.
for name in TcpAckFrequency TcpDelAckTicks TCPNoDelay; do e2e_expect_reg "$E2E_IFACE_KEY\\$guid" "$name" ''; done
e2e_expect_reg "$E2E_MSMQ_KEY" TCPNoDelay ''
echo "ok: first start: accent strip #3d84dd ($home); shows eth0 and IP: $NETNS_ADAPTER_IP, five boxes checked and drawn so; store status 0 and five keys true; no TCP value written, MSMQ TCPNoDelay absent ($shot)"
