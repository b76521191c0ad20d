#!/bin/bash
# Screenshots of the update notice as a person sees it: plain, "hold" and "note", in English and
# in Korean, at 96 and at 144 DPI. The Wine tests of the notice (which also check its geometry
# at the display's DPI) pause at each notice while this script photographs it. Each DPI has a
# copy of the build's prefix, in which Wine draws the window frames itself (the test prefixes
# hand no window to a window manager), so that the title bar shows without one. The pictures
# are left under BUILD_DIR/shots/notice-<dpi>.
set -euo pipefail
: "${SOURCE_DIR:?}" "${BUILD_DIR:?}" "${WINE_TESTS_EXE:?}"
if [ -z "${DISPLAY:-}" ]; then
  exec "$SOURCE_DIR/cmake/with-display.sh" bash "$0" "$@"
fi
export WINEDEBUG=-all

# A copy of the build's prefix for each DPI (an overlay as root: made at once), dropped when
# the case ends.
copies=()
trap 'for c in "${copies[@]}"; do "$SOURCE_DIR/cmake/wine-prefix.sh" --drop "$c"; done' EXIT
prepare_prefix() {  # DIR DPI
  copies+=("$1")
  WINEPREFIX="$BUILD_DIR/wineprefix" "$SOURCE_DIR/cmake/wine-prefix.sh" "$1"
  export WINEPREFIX=$1
  "$SOURCE_DIR/cmake/wine-exec.sh" reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1
  "$SOURCE_DIR/cmake/wine-exec.sh" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$2" /f >/dev/null 2>&1
  # Wine reads LogPixels when its server starts.
  timeout 60 wineserver -w || { echo "FAIL: the Wine server of $1 did not end within 60 s"; exit 1; }
}

for dpi in 96 144; do
  shots="$BUILD_DIR/shots/notice-$dpi"
  rm -rf "$shots"
  mkdir -p "$shots"
  prepare_prefix "$BUILD_DIR/shots/prefix-$dpi" "$dpi"
  TAVRINO_NOTICE_SHOTS=$("$SOURCE_DIR/cmake/wine-exec.sh" winepath -w "$shots")
  export TAVRINO_NOTICE_SHOTS
  "$SOURCE_DIR/cmake/wine-run.sh" "$WINE_TESTS_EXE" --gtest_filter='Styles/NoticeLook.*' \
    >"$shots/tests.log" 2>&1 &
  tests=$!
  began=$SECONDS
  while kill -0 "$tests" 2>/dev/null; do
    if [ $((SECONDS - began)) -gt 300 ]; then
      kill "$tests" 2>/dev/null || true
      echo "FAIL: the notice tests at $dpi DPI did not end within 300 s"
      exit 1
    fi
    for ready in "$shots"/*.ready; do
      [ -e "$ready" ] || continue
      name=$(basename "$ready" .ready)
      [ -e "$shots/$name.done" ] && continue
      read -r left top right bottom < <(tr -d '\r' <"$ready")
      import -window root -crop "$((right - left))x$((bottom - top))+$left+$top" +repage \
        "$shots/$name.png"
      touch "$shots/$name.done"
    done
    sleep 0.1
  done
  status=0
  wait "$tests" || status=$?
  wineserver -k 2>/dev/null || true
  grep -E '^\[  (PASSED|FAILED) |Failure|Expected|Which is' "$shots/tests.log" || true
  [ "$status" -eq 0 ] || { echo "the notice tests failed at $dpi DPI"; exit 1; }
  for name in plain_en plain_ko hold_en hold_ko note_en note_ko; do
    png="$shots/$name.png"
    [ -s "$png" ] || { echo "no screenshot $png"; exit 1; }
    # A rendered notice has many colours (text, icon, buttons), not an empty or black frame.
    colours=$(convert "$png" -format '%k' info:)
    [ "$colours" -gt 20 ] || { echo "$png shows almost nothing ($colours colours)"; exit 1; }
    # The light-grey separator runs across the notices that have one.
    case "$name" in
      plain_*) ;;
      *) grey=$(convert "$png" -depth 8 txt:- | grep -c '#CCCCCC' || true)
         [ "$grey" -gt 100 ] || { echo "$png: no separator"; exit 1; } ;;
    esac
    # The link is blue and underlined: its underline is a run of pure blue pixels.
    case "$name" in
      note_*) blue=$(convert "$png" -depth 8 txt:- | grep -c '#0000FF' || true)
              [ "$blue" -gt 50 ] || { echo "$png: no blue underlined link"; exit 1; } ;;
    esac
    echo "screenshot: $png"
  done
done
