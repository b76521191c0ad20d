#!/bin/bash
# The main window at 144 DPI: a copy of the build's prefix with Wine's LogPixels at 144, in which the
# layout test must find the window laid out for 144 DPI (every control scaled by 1.5).
set -eu
: "${BUILD_DIR:?}" "${SOURCE_DIR:?}" "${WINE_TESTS_EXE:?}"
# All of Wine's work here runs on one display: when the prefix was made and reg.exe run without
# one, the test program that followed on a display of its own could not create its window.
if [ -z "${DISPLAY:-}" ]; then
  exec "$SOURCE_DIR/cmake/with-display.sh" bash "$0" "$@"
fi
export WINEDEBUG=-all
# A copy of the build's prefix (an overlay as root: made at once), dropped when the case ends.
copy="$BUILD_DIR/wineprefix-dpi144"
trap '"$SOURCE_DIR/cmake/wine-prefix.sh" --drop "$copy"' EXIT
WINEPREFIX="$BUILD_DIR/wineprefix" "$SOURCE_DIR/cmake/wine-prefix.sh" "$copy"
export WINEPREFIX=$copy
"$SOURCE_DIR/cmake/wine-exec.sh" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f >/dev/null 2>&1
# Wine reads LogPixels when its server starts.
timeout 60 wineserver -w || { echo "FAIL: the prefix's Wine server did not end within 60 s after the DPI was set"; exit 1; }
TAVRINO_EXPECT_DPI=144 TAVRINO_SHOTS_DIR="$("$SOURCE_DIR/cmake/wine-exec.sh" winepath -w "$BUILD_DIR" 2>/dev/null)\\shots-dpi144" \
  "$SOURCE_DIR/cmake/wine-run.sh" "$WINE_TESTS_EXE" \
  --gtest_filter='MainWindowTest.ClientAreaAndEveryControlWhereTheLayoutPutsIt:MainWindowTest.ScreenshotsOfBothPagesAndOfTheRunButtonsLooks'
