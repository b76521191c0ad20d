#!/bin/bash
# The real program as a screen reader hears it, read from another process through Microsoft
# Active Accessibility (AppProbeTest.cpp): the tag line as plain text, Run with the focus, the
# header button that is down pressed, the logo a link; Run pressed with Enter from the
# keyboard while the internet does not answer yet: Run and the busy indicator named for the
# work going on, Run unavailable; once the internet answers, "Running", pressed.
source "$(dirname "$0")/app_lib.bash"
app_setup adapter

hear() {
  local file="$BUILD_DIR/app-accessible-$APP_NAME.txt"
  rm -f "$file"
  app_wine_timeout 60 env TAVRINO_APP_ACCESSIBLE="Z:$file" "$SOURCE_DIR/cmake/wine-exec.sh" "$WINE_TESTS_EXE" \
    --gtest_filter=AppProbe.WriteWhatAScreenReaderHears >/dev/null 2>&1 || true
  [ -f "$file" ] && tr -d '\r' <"$file"
}

app_wine "$SOURCE_DIR/cmake/wine-exec.sh" reg delete "$APP_SETTINGS" /f >/dev/null 2>&1 || true
app_start
win=$(app_window 60)
[ -n "$win" ] || { app_fail "no window"; app_finish; }
sleep 1
heard=$(hear)
echo "$heard" | sed 's/^/  heard: /'
app_expect_line "Run, focused" "Run|button|focusable,focused" "$heard"
app_expect_line "Home, down" "Home|button|pressed,focusable" "$heard"
app_expect_line "Config" "Config|button|focusable" "$heard"
app_expect_line "logo" "Marvetic|link|linked" "$heard"
app_expect_line "title" "Tavrino|text|" "$heard"
app_expect_line "a check box on the hidden page" "TcpNoDelay|checkbox|checked,invisible" "$heard"
tagline=$(grep -E '\|text\|$' <<<"$heard" | grep -E 'game|latency' || true)
app_expect "the tag line is plain text" "$(grep -c '[<>]' <<<"$tagline")" 0
[ -n "$tagline" ] && app_ok "tag line: ${tagline%%|*}" || app_fail "no tag line heard"

# Enter runs the focused Run; no service answers yet, so the window stays busy.
xdotool key Return
sleep 1.5
app_shot "$win" busy
heard=$(hear)
echo "$heard" | sed 's/^/  heard: /'
app_expect_line "busy Run" "Restarting the network connection|button|unavailable,focusable" "$heard"
app_expect_line "busy indicator" "Restarting the network connection|animation|animated" "$heard"

# The loopback endpoint answers the build that asks it (win64); the shipped build asks the
# maker's host over HTTPS, which the end-to-end suite serves.
if [ "${TAVRINO_API_BASE:-}" = http://127.0.0.1:18080 ]; then
  app_service
  app_wait_caption Running 15 || app_fail "the button never read Running within 15 s of the service"
  heard=$(hear)
  echo "$heard" | sed 's/^/  heard: /'
  app_expect_line "running Run, focused again" "Running|button|pressed,focusable,focused" "$heard"
  app_expect_line "indicator hidden" "Restarting the network connection|animation|invisible" "$heard"
else
  echo "the running state is not read here: this build asks ${TAVRINO_API_BASE:-its own service}"
fi

app_close
app_wait_exit 10
app_finish
