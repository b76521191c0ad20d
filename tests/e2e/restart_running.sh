#!/bin/bash
# A start with "status" 1 stored opens as running, with the boxes disabled, and writes nothing.
source "$SOURCE_DIR/tests/e2e/lib.bash"
e2e_setup adapter
e2e_start_services
guid=$(e2e_adapter_guid)
# Without the GUID the checks below would read the parent of the adapters' keys.
[ -n "$guid" ] || e2e_fail "no adapter GUID from the management service"
e2e_in_ns "$SOURCE_DIR/cmake/wine-exec.sh" reg add "$E2E_STORE_KEY" /v status /t REG_DWORD /d 1 /f >/dev/null 2>&1
e2e_start_app
e2e_wait_caption Running 10 || e2e_fail "the window does not open as Running"
home=$(e2e_shot restart_running_home)
e2e_expect_glyphs "$home" "the Running caption" $(e2e_client_box 182 322 150 56)
e2e_click "${E2E_BTN_CONFIG[@]}"
shot=$(e2e_shot restart_running_config)
[ "$(e2e_control TcpNoDelay)" = 'TcpNoDelay|1|0|1' ] || e2e_fail "the boxes are not disabled"
e2e_expect_shot_check_box "$shot" "${E2E_CHK_NODELAY[@]}" checked,disabled TcpNoDelay
e2e_expect_shot_check_box "$shot" "${E2E_CHK_RESPONSIVE[@]}" checked,disabled SystemResponsiveness
for name in TcpAckFrequency TcpDelAckTicks TCPNoDelay; do e2e_expect_reg "$E2E_IFACE_KEY\\$guid" "$name" ''; done
e2e_expect_reg "$E2E_MSMQ_KEY" TCPNoDelay ''
e2e_expect_reg "$E2E_PROFILE_KEY" SystemResponsiveness ''
e2e_expect_reg "$E2E_STORE_KEY" status 'REG_DWORD 0x1'
echo "ok: stored status 1 opens as Running ($home) with the boxes disabled, nothing written at start-up under $guid ($shot)"
