#!/bin/bash
# Run with every box checked writes the six values and ends "Running" with status 1 stored;
# Stop deletes the four TCP values, resets the two scheduler ones and stores status 0. In
# English and then in Korean, each round with a program started anew.
source "$SOURCE_DIR/tests/e2e/lib.bash"
e2e_setup adapter
e2e_start_services
guid=$(e2e_adapter_guid)
[ -n "$guid" ] || e2e_fail "no adapter GUID from the management service"
iface="$E2E_IFACE_KEY\\$guid"
for lang in en ko; do
  case $lang in
    en) E2E_LANG=en_US.UTF-8 run=Run running=Running ;;
    ko) E2E_LANG=ko_KR.UTF-8 run=실행하기 running=실행중 ;;
  esac
  e2e_start_app
  e2e_wait_caption "$run" 10 || e2e_fail "the button does not read $run ($lang)"
  e2e_click "${E2E_BTN_START[@]}"
  e2e_wait_caption "$running" 20 || e2e_fail "the button never reads $running ($lang)"
  shot=$(e2e_shot "run_running_$lang")
  e2e_expect_glyphs "$shot" "the caption $running" $(e2e_client_box 182 322 150 56)
  e2e_expect_reg "$iface" TcpAckFrequency 'REG_DWORD 0x1'
  e2e_expect_reg "$iface" TcpDelAckTicks 'REG_DWORD 0x0'
  e2e_expect_reg "$iface" TCPNoDelay 'REG_DWORD 0x1'
  e2e_expect_reg "$E2E_MSMQ_KEY" TCPNoDelay 'REG_DWORD 0x1'
  e2e_expect_reg "$E2E_PROFILE_KEY" NetworkThrottlingIndex 'REG_DWORD 0xffffffff'
  e2e_expect_reg "$E2E_PROFILE_KEY" SystemResponsiveness 'REG_DWORD 0x0'
  e2e_expect_reg "$E2E_STORE_KEY" status 'REG_DWORD 0x1'
  probe=$(e2e_expect_service_address /myip)
  echo "ok: $lang: Run wrote the six values under $guid, probed $probe, the store holds status 1, the button reads $running ($shot)"
  e2e_click "${E2E_BTN_START[@]}"
  e2e_wait_caption "$run" 20 || e2e_fail "the button never reads $run again ($lang)"
  shot=$(e2e_shot "run_stopped_$lang")
  e2e_expect_glyphs "$shot" "the caption $run" $(e2e_client_box 182 322 150 56)
  for name in TcpAckFrequency TcpDelAckTicks TCPNoDelay; do e2e_expect_reg "$iface" "$name" ''; done
  e2e_expect_reg "$E2E_MSMQ_KEY" TCPNoDelay ''
  e2e_expect_reg "$E2E_PROFILE_KEY" NetworkThrottlingIndex 'REG_DWORD 0xa'
  e2e_expect_reg "$E2E_PROFILE_KEY" SystemResponsiveness 'REG_DWORD 0x14'
  e2e_expect_reg "$E2E_STORE_KEY" status 'REG_DWORD 0x0'
  echo "ok: $lang: Stop deleted the four TCP values, reset 10 and 20, store status 0, the button reads $run ($shot)"
  kill "$E2E_APP_PID" 2>/dev/null || true
  e2e_in_ns wineserver -k 2>/dev/null || true
  wait "$E2E_APP_PID" 2>/dev/null || true
  E2E_APP_PID=
done
