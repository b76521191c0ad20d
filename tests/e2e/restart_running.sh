#!/bin/bash
# A start with "status" 1 stored opens as running and writes nothing.
source "$SOURCE_DIR/tests/e2e/lib.bash"
e2e_setup adapter
e2e_start_services
guid=$(e2e_adapter_guid)
e2e_in_ns "$SOURCE_DIR/cmake/wine-exec.sh" reg add "$E2E_STORE_KEY" /v status /t REG_DWORD /d 1 /f >/dev/null 2>&1
e2e_start_app
e2e_wait_caption Running 10 || e2e_fail "the window does not open as Running"
e2e_click "${E2E_BTN_CONFIG[@]}"
shot=$(e2e_shot restart_running_config)
[ "$(e2e_control TcpNoDelay)" = 'TcpNoDelay|1|0|1' ] || e2e_fail "the boxes are not disabled"
e2e_expect_reg "$E2E_IFACE_KEY\\$guid" TCPNoDelay ''
e2e_expect_reg "$E2E_MSMQ_KEY" TCPNoDelay ''
e2e_expect_reg "$E2E_PROFILE_KEY" SystemResponsiveness ''
echo "ok: stored status 1 opens as Running with the boxes disabled, nothing written at start-up ($shot)"
