#!/bin/bash
# The internet answers only some seconds after Run: the window stays busy until then, with the
# choices disabled, and turns "Running" at the first probe that the service answers.
source "$SOURCE_DIR/tests/e2e/lib.bash"
e2e_setup adapter
e2e_start_app
e2e_click "${E2E_BTN_START[@]}"
e2e_wait_busy 30 || e2e_fail "the window did not turn busy within 30 s of Run"
# Some seconds without an answer: probes fail meanwhile.
sleep 3
shot=$(e2e_shot late_network_busy)
[ -z "$(e2e_control Running)" ] || e2e_fail "Running before the network answered"
[ -z "$(e2e_control Run)" ] || e2e_fail "the button still reads Run while busy"
[ "$(e2e_control TcpNoDelay)" = 'TcpNoDelay|0|0|1' ] || e2e_fail "the choices are not disabled while busy: $(e2e_control TcpNoDelay)"
dots=$(e2e_dark_pixels 241 334 32 32)
[ "$dots" -gt 10 ] || e2e_fail "no busy indicator drawn over the button ($dots dark pixels)"
e2e_start_services
e2e_wait_caption Running 30 || e2e_fail "never Running within 30 s after the services started"
# The first probe that reached the service ended the wait: the service saw one probe (two
# when one was already on its way as the window was read), however long the machine took.
probes=$(e2e_requests '"GET /myip[ ?]')
[ "$probes" -ge 1 ] && [ "$probes" -le 2 ] || e2e_fail "Running after $probes probes reached the service, not the first"
e2e_shot late_network_running >/dev/null
echo "ok: busy while nothing answered, indicator drawn ($dots dark pixels) ($shot); Running after the first probe that reached the service ($probes logged)"
