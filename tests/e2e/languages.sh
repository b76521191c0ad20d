#!/bin/bash
# The user's language: Korean, English, Japanese and French user locales show the catalogue's
# captions on the header buttons and the run button; the check boxes read the same in all.
source "$SOURCE_DIR/tests/e2e/lib.bash"
e2e_setup adapter
catalogue="$SOURCE_DIR/resources/Translate.txt"
# The catalogue's text for a Korean source text in one language (blocks of ko= ... lines). The
# awk reads to the end: had it left early, the commands feeding it could die of a broken pipe,
# which fails the pipeline.
caption() {
  sed '1s/^\xEF\xBB\xBF//' "$catalogue" | tr -d '\r' |
    awk -v src="ko=$1" -v want="$2=" 'index($0, "ko=") == 1 { inblock = ($0 == src) }
      !found && inblock && index($0, want) == 1 { print substr($0, length(want) + 1); found = 1 }'
}
for lang in ko en ja fr; do
  case $lang in ko) E2E_LANG=ko_KR.UTF-8 ;; en) E2E_LANG=en_US.UTF-8 ;; ja) E2E_LANG=ja_JP.UTF-8 ;; fr) E2E_LANG=fr_FR.UTF-8 ;; esac
  title=$(caption Tavrino "$lang")
  e2e_in_ns "$SOURCE_DIR/cmake/wine-exec.sh" "$TAVRINO_EXE" &
  E2E_APP_PID=$!
  e2e_wait_window "^$title\$" 30 >/dev/null || e2e_fail "no main window titled '$title' ($lang)"
  e2e_wait_ready "$title" 30 || e2e_fail "the main window titled '$title' did not answer the probe ($lang)"
  ui=$(e2e_ui "$title")
  for src in 처음화면 환경설정 실행하기; do
    want=$(caption "$src" "$lang")
    [ -n "$want" ] || e2e_fail "the catalogue has no $lang text for $src"
    awk -F'|' -v t="$want" '$3 == t { f = 1 } END { exit !f }' <<<"$ui" || e2e_fail "no '$want' ($lang)"
  done
  awk -F'|' '$3 == "TcpNoDelay" { f = 1 } END { exit !f }' <<<"$ui" || e2e_fail "no TcpNoDelay box ($lang)"
  shot=$(e2e_shot "languages_$lang")
  echo "ok: $lang locale: $(caption 처음화면 "$lang"), $(caption 환경설정 "$lang"), $(caption 실행하기 "$lang") ($shot)"
  kill "$E2E_APP_PID" 2>/dev/null || true
  e2e_in_ns wineserver -k 2>/dev/null || true
  wait "$E2E_APP_PID" 2>/dev/null || true
  E2E_APP_PID=
done
