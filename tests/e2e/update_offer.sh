#!/bin/bash
# The update service offers a download: the notice appears in the user's language, and the
# check that brought it told the service the program's version, the language and the
# program's id. No keeps the program open with its main window (English round); Yes, the
# default button (Enter), closes it (Korean round). What the offer leads to, a release and its
# download, is release_offer.sh's.
source "$SOURCE_DIR/tests/e2e/lib.bash"
e2e_setup adapter
e2e_start_services TAVRINO_TEST_ANSWER=1
own=$(e2e_own_version)
# The program opens only https downloads, whatever the build's own service speaks.
printf '{"update":"https://%s/download/Tavrino.exe"}' "${E2E_API_BASE#*://}" >"$E2E_SERVICES/www/answer.json"
chmod 644 "$E2E_SERVICES/www/answer.json"
while read -r lang answer; do
  case $lang in
    en) E2E_LANG=en_US.UTF-8 yes=Yes no=No run=Run start='This program has been updated.' ;;
    ko) E2E_LANG=ko_KR.UTF-8 yes=예 no=아니오 run=실행하기 start='업데이트가 정보가 있습니다.' ;;
  esac
  e2e_hold_desktop
  e2e_in_ns "$SOURCE_DIR/cmake/wine-exec.sh" "$TAVRINO_EXE" &
  E2E_APP_PID=$!
  ui=$(e2e_wait_notice "$yes" "$no") || { e2e_shot "update_offer_$lang" >/dev/null; e2e_fail "no notice with '$yes' and '$no' ($lang)"; }
  shot=$(e2e_shot "update_offer_$lang")
  grep -qF "$start" <<<"$ui" || e2e_fail "the notice does not begin '$start' ($lang)"
  e2e_expect_glyphs "$shot" "the notice's $no ($lang)" $(e2e_control_inner_box "$no" 3)
  [ "$(e2e_requests "GET /api.init.php .* version=\"${own//./\\.}\" language=\"$lang\" debug=\"false\" union=\"[0-9A-F]{32}\"")" -ge 1 ] ||
    e2e_fail "the service saw no update request with version $own and language $lang"
  check=$(e2e_expect_service_address /api.init.php)
  echo "ok: $lang: the check asked $check with version $own; the notice offered the download with '$yes'/'$no' ($shot)"
  case $answer in
    no)
      e2e_click_control "$no"
      gone=0
      for _ in $(seq 20); do
        [ -z "$(e2e_control "$no")" ] && { gone=1; break; }
        sleep 0.5
      done
      [ "$gone" -eq 1 ] || e2e_fail "the notice is still there 10 s after $no ($lang)"
      kill -0 "$E2E_APP_PID" 2>/dev/null || e2e_fail "$no ended the program ($lang)"
      [ "$(e2e_control "$run")" = "$run|1|1|-1" ] || e2e_fail "no main window with $run after $no ($lang): $(e2e_control "$run")"
      after=$(e2e_shot "update_offer_${lang}_no")
      e2e_expect_glyphs "$after" "the $run caption after $no" $(e2e_client_box 182 322 150 56)
      echo "ok: $lang: $no closed the notice and kept the program open with its main window ($after)"
      kill "$E2E_APP_PID" 2>/dev/null || true
      wait "$E2E_APP_PID" 2>/dev/null || true
      E2E_APP_PID=
      ;;
    yes)
      e2e_accept_notice "$lang"
      echo "ok: $lang: $yes (Enter) closed the program"
      ;;
  esac
  e2e_in_ns wineserver -k 2>/dev/null || true
done <<'TABLE'
en no
ko yes
TABLE
