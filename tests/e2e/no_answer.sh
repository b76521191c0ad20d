#!/bin/bash
# The internet never answers after Run (no service in the namespace): after the whole wait
# (300 refused probes, about five minutes) the window settles "Running" with the values
# written and status 1 stored, and then shows one error box, in Korean here, that says so.
# Wine has no connections manager (netshell.dll), so the adapter is never restarted here and
# the box says so too.
# Run has remembered the adapter it wrote to.
source "$SOURCE_DIR/tests/e2e/lib.bash"
e2e_setup adapter
guid=$(e2e_adapter_guid)
[ -n "$guid" ] || e2e_fail "no adapter GUID from the management service"
E2E_LANG=ko_KR.UTF-8
text='네트워크 어댑터를 다시 시작하지 못했고 인터넷이 응답하지 않았습니다. Windows 네트워크 설정에서 어댑터를 확인해 주세요.'
e2e_start_app
e2e_wait_caption '실행하기' 10 || e2e_fail "the button does not read 실행하기"
e2e_click "${E2E_BTN_START[@]}"
started=$(date +%s)
e2e_expect_reg "$E2E_STORE_KEY" networkguid "REG_SZ $guid"
found=0
# The program gives up after 300 probes, ten minutes at most however slow they are.
while [ $(( $(date +%s) - started )) -lt 660 ]; do
  box=$(e2e_ui | e2e_box_of "$text")
  [ -n "$box" ] && { found=1; break; }
  sleep 2
done
took=$(( $(date +%s) - started ))
shot=$(e2e_shot no_answer_box_ko)
[ "$found" -eq 1 ] || e2e_fail "no error box after $took s"
e2e_expect_glyphs "$shot" "the error box's text" $box
[ "$took" -ge 290 ] || e2e_fail "the box came after $took s, before the wait could end"
[ -n "$(e2e_control '실행중')" ] || e2e_fail "the button does not read 실행중 under the box"
e2e_expect_reg "$E2E_STORE_KEY" status 'REG_DWORD 0x1'
e2e_expect_reg "$E2E_IFACE_KEY\\$guid" TcpAckFrequency 'REG_DWORD 0x1'
boxes=$(e2e_ui | awk -F'|' -v t="$text" '$3 == t { n++ } END { print n + 0 }')
[ "$boxes" -eq 1 ] || e2e_fail "$boxes boxes"
echo "ok: after $took s without an answer: Running, status 1, one box '$text' ($shot)"
xdotool key Return
for _ in $(seq 30); do [ -z "$(e2e_control "$text")" ] && break; sleep 0.5; done
[ -z "$(e2e_control "$text")" ] || e2e_fail "the box was still there 15 s after Enter"
