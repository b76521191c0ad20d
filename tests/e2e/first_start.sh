#!/bin/bash
# First start with an empty store: the Config page shows the adapter and its address, all five
# boxes checked; the store then holds "status" 0 and the five choices.
source "$SOURCE_DIR/tests/e2e/lib.bash"
e2e_setup adapter
e2e_start_services
e2e_start_app
e2e_shot first_start_home >/dev/null
strip=$(e2e_client_pixel 250 1)
[ "$strip" = 3d84dd ] || e2e_fail "the accent strip of the active window is #$strip, not #3d84dd"
e2e_click "${E2E_BTN_CONFIG[@]}"
shot=$(e2e_shot first_start_config)
ui=$(e2e_ui)
grep -q "|eth0|" <<<"$ui" || e2e_fail "the adapter name eth0 is not shown"
grep -q "|IP: $NETNS_ADAPTER_IP|" <<<"$ui" || e2e_fail "'IP: $NETNS_ADAPTER_IP' is not shown"
for box in TcpAckFrequency TcpDelAckTick TcpNoDelay NetworkThrottlingIndex SystemResponsiveness; do
  [ "$(e2e_control "$box")" = "$box|1|1|1" ] || e2e_fail "box $box is not checked and enabled"
done
e2e_expect_reg "$E2E_STORE_KEY" status 'REG_DWORD 0x0'
for key in tcpackfrequency tcpdelacktick tcpnodelay networkthrottleindex systemresponsivess; do
  e2e_expect_reg "$E2E_STORE_KEY" "$key" 'REG_DWORD 0x1'
done
echo "ok: first start: accent strip #3d84dd; shows eth0 and IP: $NETNS_ADAPTER_IP, five boxes checked; store status 0 and five keys true ($shot)"
