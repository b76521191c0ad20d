#!/bin/bash
# The user's language: Korean, English, Japanese, Chinese and French user locales show the
# catalogue's captions on the header buttons and the run button, German (which the catalogue
# lacks) the English ones; the check boxes read the same in all. The captions are drawn with
# the script's glyphs, not with empty boxes. In Korean the tag line is one of the catalogue's
# Korean ones and the version label reads "버전: " and the program's version.
source "$SOURCE_DIR/tests/e2e/lib.bash"
e2e_setup adapter
catalogue="$SOURCE_DIR/resources/Translate.txt"
own=$(sed -n 's/^TAVRINO_VERSION:STRING=//p' "$BUILD_DIR/CMakeCache.txt")
[ -n "$own" ] || own=1.5.6.0
# The catalogue's texts in one language ($2) for the Korean source texts that match the
# pattern $1 (blocks of ko= ... lines). The awk reads to the end: had it left early, the
# commands feeding it could die of a broken pipe, which fails the pipeline.
texts() {
  sed '1s/^\xEF\xBB\xBF//' "$catalogue" | tr -d '\r' |
    awk -v src="$1" -v want="$2=" 'index($0, "ko=") == 1 { inblock = (substr($0, 4) ~ src) }
      inblock && index($0, want) == 1 { print substr($0, length(want) + 1) }'
}
caption() { texts "^$1\$" "$2" | head -1; }
# locale, the catalogue's language it must show
while read -r locale lang; do
  E2E_LANG=$locale
  title=$(caption Tavrino "$lang")
  e2e_in_ns "$SOURCE_DIR/cmake/wine-exec.sh" "$TAVRINO_EXE" &
  E2E_APP_PID=$!
  e2e_wait_window "^$title\$" 30 >/dev/null || e2e_fail "no main window titled '$title' ($locale)"
  e2e_wait_ready "$title" 60 || e2e_fail "the main window titled '$title' did not answer the probe ($locale)"
  ui=$(e2e_ui "$title")
  for src in 처음화면 환경설정 실행하기; do
    want=$(caption "$src" "$lang")
    [ -n "$want" ] || e2e_fail "the catalogue has no $lang text for $src"
    awk -F'|' -v t="$want" '$3 == t { f = 1 } END { exit !f }' <<<"$ui" || e2e_fail "no '$want' ($locale)"
  done
  awk -F'|' '$3 == "TcpNoDelay" { f = 1 } END { exit !f }' <<<"$ui" || e2e_fail "no TcpNoDelay box ($locale)"
  shot=$(e2e_shot "languages_${locale%%.*}")
  e2e_expect_glyphs "$shot" "the Config caption ($locale)" $(e2e_client_box 94 16 62 22)
  e2e_expect_glyphs "$shot" "the Run caption ($locale)" $(e2e_client_box 182 322 150 56)
  echo "ok: $locale: $(caption 처음화면 "$lang"), $(caption 환경설정 "$lang"), $(caption 실행하기 "$lang"), drawn with glyphs ($shot)"
  if [ "$lang" = ko ]; then
    tagline=$(awk -F'|' 'NR == FNR { t["<C><FC:clGray>" $0 "</FC></C>"] = 1; next } ($3 in t) { print $3 }' \
      <(texts '<B>' ko) - <<<"$ui")
    [ -n "$tagline" ] || e2e_fail "no Korean tag line of the catalogue: $(awk -F'|' '$3 ~ /<C>/ { print $3 }' <<<"$ui")"
    grep -qF "|버전: $own|" <<<"$ui" || e2e_fail "no version label '버전: $own': $(awk -F'|' '$3 ~ /[0-9]\./ { print $3 }' <<<"$ui")"
    echo "ok: $locale: tag line $tagline, version label '버전: $own'"
  fi
  kill "$E2E_APP_PID" 2>/dev/null || true
  e2e_in_ns wineserver -k 2>/dev/null || true
  wait "$E2E_APP_PID" 2>/dev/null || true
  E2E_APP_PID=
done <<'TABLE'
ko_KR.UTF-8 ko
en_US.UTF-8 en
ja_JP.UTF-8 ja
zh_CN.UTF-8 zh
fr_FR.UTF-8 fr
de_DE.UTF-8 en
TABLE
