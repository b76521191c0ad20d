#!/bin/bash
# The user's locale picks the language: Korean shows the Korean texts, English, Japanese and a
# locale without catalogue lines (German, which gets English) their own; the window title is
# the product name in every one of them.
source "$(dirname "$0")/app_lib.bash"
app_setup adapter

check() {  # locale tag, then the expected lines of the probe
  local lang=$1 tag=$2
  shift 2
  APP_LANG=$lang
  app_start
  local win
  win=$(app_window 60)
  [ -n "$win" ] || { app_fail "$tag: no window"; return; }
  app_shot "$win" "home-$tag"
  app_click "$win" "$APP_CONFIG_X" "$APP_CONFIG_Y"
  app_shot "$win" "config-$tag"
  local window
  window=$(app_probe)
  for line in "$@"; do app_expect_line "$tag" "$line" "$window"; done
  app_close
  app_wait_exit 10
  app_expect "$tag: exit code" "$APP_RC" 0
  app_wine wineserver -w || true
}

check ko_KR.UTF-8 ko "title=Tavrino" "Tavrino|checked=0|enabled=1" \
  "처음화면|checked=0|enabled=1" "환경설정|checked=0|enabled=1" "실행하기|checked=0|enabled=1" \
  "네트워크 아답터 정보|checked=0|enabled=1" "네이글 알고리즘 해제|checked=0|enabled=1" \
  "네트워크 쓰로틀링|checked=0|enabled=1" "TcpNoDelay|checked=1|enabled=1"
check en_US.UTF-8 en "title=Tavrino" "Home|checked=0|enabled=1" "Config|checked=0|enabled=1" \
  "Run|checked=0|enabled=1" "Network Adapter|checked=0|enabled=1" \
  "Disable Nagle's algorithm|checked=0|enabled=1" "Network Throttling Index|checked=0|enabled=1"
check ja_JP.UTF-8 ja "title=Tavrino" "ホーム|checked=0|enabled=1" "設定|checked=0|enabled=1" \
  "実行する|checked=0|enabled=1" "ネットワークアダプタ|checked=0|enabled=1"
check de_DE.UTF-8 de "title=Tavrino" "Home|checked=0|enabled=1" "Run|checked=0|enabled=1" \
  "Network Adapter|checked=0|enabled=1"

# The tag line and the version label follow the language too.
APP_LANG=ko_KR.UTF-8
app_start
win=$(app_window 60)
[ -n "$win" ] || app_fail "ko: no window for the tag line"
window=$(app_probe)
grep -qE '^<C><FC:clGray>(<B>게임 반응 속도</B>를 손쉽게 향상 시킵니다\.|최적화된 네트워크로 <B>지연 시간을 최소화</B>합니다\.|간편한 설정으로 <B>게임 속도와 안정성</B>을 동시에 개선합니다\.)</FC></C>\|' <<<"$window" &&
  app_ok "ko: a Korean tag line" || app_fail "ko: no Korean tag line"
grep -qE '^버전: [0-9]+\.[0-9]+\.[0-9]+\.[0-9]+\|' <<<"$window" &&
  app_ok "ko: Korean version label" || app_fail "ko: no Korean version label"
app_close
app_wait_exit 10
app_finish
