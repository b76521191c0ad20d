#!/bin/bash
# The update service offers a download: the notice appears in the user's language (English,
# then Korean); No keeps the program open, Yes (the default button, Enter) closes it.
source "$SOURCE_DIR/tests/e2e/lib.bash"
e2e_setup adapter
e2e_start_services
printf '{"update":"%s/download/Tavrino.exe"}' "$E2E_API_BASE" >"$E2E_SERVICES/www/answer.json"
chmod 644 "$E2E_SERVICES/www/answer.json"
for lang in en ko; do
  case $lang in
    en) E2E_LANG=en_US.UTF-8 yes=Yes no=No start='This program has been updated.' ;;
    ko) E2E_LANG=ko_KR.UTF-8 yes=예 no=아니오 start='업데이트가 정보가 있습니다.' ;;
  esac
  e2e_in_ns "$SOURCE_DIR/cmake/wine-exec.sh" "$TAVRINO_EXE" &
  E2E_APP_PID=$!
  found=0
  for _ in $(seq 60); do
    ui=$(e2e_ui)
    if awk -F'|' -v y="$yes" -v n="$no" '$3 == y { a = 1 } $3 == n { b = 1 } END { exit !(a && b) }' <<<"$ui"; then
      found=1
      break
    fi
    sleep 0.5
  done
  shot=$(e2e_shot "update_offer_$lang")
  [ "$found" -eq 1 ] || e2e_fail "no notice with '$yes' and '$no' ($lang)"
  grep -qF "$start" <<<"$ui" || e2e_fail "the notice does not begin '$start' ($lang)"
  [ "$(e2e_requests "GET /api.init.php .* version=\"1\\.5\\.6\\.0\" language=\"$lang\" debug=\"false\" union=\"[0-9A-F]{32}\"")" -ge 1 ] ||
    e2e_fail "the service saw no update request with version 1.5.6.0 and language $lang"
  e2e_accept_notice "$lang"
  check=$(e2e_expect_service_address /api.init.php)
  echo "ok: $lang: the check asked $check; the notice offered the download with '$yes'/'$no'; Yes closed the program ($shot)"
  e2e_in_ns wineserver -k 2>/dev/null || true
done
