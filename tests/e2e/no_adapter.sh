#!/bin/bash
# Without an adapter (loopback only): "Unknown" and "IP: ", and Run shows the error box, in
# English and in Korean.
source "$SOURCE_DIR/tests/e2e/lib.bash"
e2e_setup none
for lang in en_US.UTF-8 ko_KR.UTF-8; do
  E2E_LANG=$lang
  e2e_start_app
  e2e_click "${E2E_BTN_CONFIG[@]}"
  case $lang in
    en*) unknown='Unknown' text='There are no active networks.' ;;
    ko*) unknown='알수없음' text='활성중인 네트워크가 없습니다.' ;;
  esac
  ui=$(e2e_ui)
  grep -q "|$unknown|" <<<"$ui" || e2e_fail "no '$unknown' adapter label ($lang)"
  grep -q '|IP: |' <<<"$ui" || e2e_fail "no empty 'IP: ' label ($lang)"
  e2e_click "${E2E_BTN_HOME[@]}"
  e2e_click "${E2E_BTN_START[@]}"
  box=
  for _ in $(seq 20); do
    box=$(e2e_ui | e2e_box_of "$text")
    [ -n "$box" ] && break
    sleep 0.5
  done
  shot=$(e2e_shot "no_adapter_${lang%%_*}")
  [ -n "$box" ] || e2e_fail "no error box '$text' ($lang)"
  e2e_expect_glyphs "$shot" "the error box's text ($lang)" $box
  echo "ok: no adapter ($lang): $unknown, 'IP: ', Run shows '$text' ($shot)"
  xdotool key Return
  sleep 0.5
  kill "$E2E_APP_PID" 2>/dev/null || true
  e2e_in_ns wineserver -k 2>/dev/null || true
  wait "$E2E_APP_PID" 2>/dev/null || true
done
