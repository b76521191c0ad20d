#!/bin/bash
# With only TcpNoDelay checked, Run writes exactly the two TCPNoDelay values.
source "$SOURCE_DIR/tests/e2e/lib.bash"
e2e_setup adapter
e2e_start_services
guid=$(e2e_adapter_guid)
[ -n "$guid" ] || e2e_fail "no adapter GUID from the management service"
e2e_start_app
e2e_click "${E2E_BTN_CONFIG[@]}"
for box in E2E_CHK_ACK E2E_CHK_DELACK E2E_CHK_THROTTLE E2E_CHK_RESPONSIVE; do
  declare -n at=$box
  e2e_click "${at[@]}"
done
config=$(e2e_shot only_nodelay_config)
for box in E2E_CHK_ACK E2E_CHK_DELACK E2E_CHK_THROTTLE E2E_CHK_RESPONSIVE; do
  declare -n at=$box
  e2e_expect_shot_check_box "$config" "${at[@]}" unchecked,enabled "$box"
done
e2e_expect_shot_check_box "$config" "${E2E_CHK_NODELAY[@]}" checked,enabled TcpNoDelay
e2e_expect_reg "$E2E_STORE_KEY" tcpackfrequency 'REG_DWORD 0x0'
e2e_expect_reg "$E2E_STORE_KEY" tcpnodelay 'REG_DWORD 0x1'
e2e_click "${E2E_BTN_HOME[@]}"
e2e_click "${E2E_BTN_START[@]}"
e2e_wait_caption Running 20 || e2e_fail "the button never reads Running"
shot=$(e2e_shot only_nodelay_running)
e2e_expect_glyphs "$shot" "the Running caption" $(e2e_client_box 182 322 150 56)
iface="$E2E_IFACE_KEY\\$guid"
e2e_expect_reg "$iface" TCPNoDelay 'REG_DWORD 0x1'
e2e_expect_reg "$E2E_MSMQ_KEY" TCPNoDelay 'REG_DWORD 0x1'
e2e_expect_reg "$iface" TcpAckFrequency ''
e2e_expect_reg "$iface" TcpDelAckTicks ''
e2e_expect_reg "$E2E_PROFILE_KEY" NetworkThrottlingIndex ''
e2e_expect_reg "$E2E_PROFILE_KEY" SystemResponsiveness ''
echo "ok: only TcpNoDelay checked and drawn so ($config): Run wrote exactly the two TCPNoDelay values ($shot)"
