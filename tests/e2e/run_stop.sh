#!/bin/bash
# Run with every box checked writes the six values and ends "Running"; Stop undoes them.
source "$SOURCE_DIR/tests/e2e/lib.bash"
e2e_setup adapter
e2e_start_services
guid=$(e2e_adapter_guid)
[ -n "$guid" ] || e2e_fail "no adapter GUID from the management service"
e2e_start_app
e2e_wait_caption Run 10 || e2e_fail "the button does not read Run"
e2e_click "${E2E_BTN_START[@]}"
e2e_wait_caption Running 20 || e2e_fail "the button never reads Running"
shot=$(e2e_shot run_running)
iface="$E2E_IFACE_KEY\\$guid"
e2e_expect_reg "$iface" TcpAckFrequency 'REG_DWORD 0x1'
e2e_expect_reg "$iface" TcpDelAckTicks 'REG_DWORD 0x0'
e2e_expect_reg "$iface" TCPNoDelay 'REG_DWORD 0x1'
e2e_expect_reg "$E2E_MSMQ_KEY" TCPNoDelay 'REG_DWORD 0x1'
e2e_expect_reg "$E2E_PROFILE_KEY" NetworkThrottlingIndex 'REG_DWORD 0xffffffff'
e2e_expect_reg "$E2E_PROFILE_KEY" SystemResponsiveness 'REG_DWORD 0x0'
e2e_expect_reg "$E2E_STORE_KEY" status 'REG_DWORD 0x1'
probe=$(e2e_expect_service_address /myip)
echo "ok: Run wrote the six values under $guid, probed $probe, and the store holds status 1 ($shot)"
e2e_click "${E2E_BTN_START[@]}"
e2e_wait_caption Run 20 || e2e_fail "the button never reads Run again"
shot=$(e2e_shot run_stopped)
for name in TcpAckFrequency TcpDelAckTicks TCPNoDelay; do e2e_expect_reg "$iface" "$name" ''; done
e2e_expect_reg "$E2E_MSMQ_KEY" TCPNoDelay ''
e2e_expect_reg "$E2E_PROFILE_KEY" NetworkThrottlingIndex 'REG_DWORD 0xa'
e2e_expect_reg "$E2E_PROFILE_KEY" SystemResponsiveness 'REG_DWORD 0x14'
e2e_expect_reg "$E2E_STORE_KEY" status 'REG_DWORD 0x0'
echo "ok: Stop deleted the four TCP values, reset 10 and 20, store status 0 ($shot)"
