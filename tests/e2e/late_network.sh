#!/bin/bash
# The internet answers only some seconds after Run: the window stays busy until then and turns
# "Running" within about one probe interval.
source "$SOURCE_DIR/tests/e2e/lib.bash"
e2e_setup adapter
e2e_start_app
e2e_click "${E2E_BTN_START[@]}"
sleep 4
shot=$(e2e_shot late_network_busy)
[ -z "$(e2e_control Running)" ] || e2e_fail "Running before the network answered"
[ -z "$(e2e_control Run)" ] || e2e_fail "the button still reads Run while busy"
dots=$(e2e_dark_pixels 241 334 32 32)
[ "$dots" -gt 10 ] || e2e_fail "no busy indicator drawn over the button ($dots dark pixels)"
e2e_start_services
started=$(date +%s%N)
e2e_wait_caption Running 10 || e2e_fail "never Running after the services started"
took=$(( ($(date +%s%N) - started) / 1000000 ))
[ "$took" -lt 3500 ] || e2e_fail "Running only $took ms after the services started"
e2e_shot late_network_running >/dev/null
echo "ok: busy while nothing answered, indicator drawn ($dots dark pixels) ($shot); Running $took ms after the services started"
