#!/bin/bash
# The internet answers only some seconds after Run: the window stays busy until then, with the
# five choices disabled, and turns "Running" at the first probe that the service answers.
source "$SOURCE_DIR/tests/e2e/lib.bash"
e2e_setup adapter
e2e_start_app
e2e_click "${E2E_BTN_START[@]}"
e2e_wait_busy 30 || e2e_fail "the window did not turn busy within 30 s of Run"
# Some seconds without an answer: probes fail meanwhile.
sleep 3
shot=$(e2e_shot_until late_network_busy 10 e2e_indicator_is drawn)
[ -z "$(e2e_control Running)" ] || e2e_fail "Running before the network answered"
[ -z "$(e2e_control Run)" ] || e2e_fail "the button still reads Run while busy"
for box in TcpAckFrequency TcpDelAckTick TcpNoDelay NetworkThrottlingIndex SystemResponsiveness; do
  [ "$(e2e_control "$box")" = "$box|0|0|1" ] || e2e_fail "the choice $box is not disabled while busy: $(e2e_control "$box")"
done
dots=$(e2e_shot_dark "$shot" $(e2e_client_box 241 334 32 32))
[ "$dots" -gt 10 ] || e2e_fail "no busy indicator drawn over the button in $shot ($dots dark pixels)"
e2e_start_services
e2e_wait_caption Running 30 || e2e_fail "never Running within 30 s after the services started"
# The first probe that reached the service ended the wait: the service saw one probe (two
# when one was already on its way as the window was read), however long the machine took.
probes=$(e2e_requests '"GET /myip[ ?]')
[ "$probes" -ge 1 ] && [ "$probes" -le 2 ] || e2e_fail "Running after $probes probes reached the service, not the first"
running=$(e2e_shot_until late_network_running 10 e2e_indicator_is gone)
e2e_expect_glyphs "$running" "the Running caption" $(e2e_client_box 182 322 150 56)
left=$(e2e_shot_dark "$running" $(e2e_client_box 241 334 32 32))
[ "$left" -eq 0 ] || e2e_fail "the busy indicator is still drawn in $running ($left dark pixels)"
echo "ok: busy while nothing answered, the five choices disabled, indicator drawn ($dots dark pixels) ($shot); Running after the first probe that reached the service ($probes logged), indicator gone ($running)"
