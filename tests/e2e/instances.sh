#!/bin/bash
# One instance per logon: a second start exits at once with code 0 and opens no window; closing
# the window while the worker waits for the network ends the program with code 0, and the store
# says that the values Run wrote are applied (status 1).
source "$SOURCE_DIR/tests/e2e/lib.bash"
e2e_setup adapter
e2e_start_app
start=$(date +%s%N)
rc=0
timeout 20 ip netns exec "$E2E_NS" env WINEPREFIX="$WINEPREFIX" WINEDEBUG=-all DISPLAY="$DISPLAY" \
  "$SOURCE_DIR/cmake/wine-exec.sh" "$TAVRINO_EXE" || rc=$?
took=$(( ($(date +%s%N) - start) / 1000000 ))
[ "$rc" -ne 124 ] || e2e_fail "the second instance did not end within 20 s"
[ "$rc" -eq 0 ] || e2e_fail "the second instance exited with $rc"
windows=$(xdotool search --onlyvisible --name '^Tavrino$' 2>/dev/null | wc -l)
[ "$windows" -eq 1 ] || e2e_fail "$windows main windows after the second start"
echo "ok: a second instance exited with 0 after $took ms and opened no window"
# No services: the worker keeps probing; the person closes the window meanwhile.
e2e_click "${E2E_BTN_START[@]}"
e2e_wait_busy 30 || e2e_fail "the window did not turn busy within 30 s of Run"
shot=$(e2e_shot_until instances_busy 10 e2e_indicator_is drawn)
dots=$(e2e_shot_dark "$shot" $(e2e_client_box 241 334 32 32))
[ "$dots" -gt 10 ] || e2e_fail "no busy indicator drawn in $shot ($dots dark pixels): the window is not waiting"
# Alt+F4 goes to the window that has the keyboard: the main window, which took the click.
e2e_wait_foreground 30 || e2e_fail "the main window did not have the keyboard within 30 s"
xdotool key alt+F4
rc=0
e2e_wait_exit 30 || rc=$?
[ "$rc" -eq 0 ] || e2e_fail "closing during the wait ended with $rc"
E2E_APP_PID=
e2e_expect_reg "$E2E_STORE_KEY" status 'REG_DWORD 0x1'
echo "ok: closing the window during the wait exited 0 at once; the store holds status 1, as the registry does ($shot)"
