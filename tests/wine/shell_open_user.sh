#!/bin/bash
# Web addresses are opened by the desktop's shell, with the user's rights, not by the elevated
# program: Wine's browser launcher (winebrowser) is pointed at a script of this test's that logs
# each address with the opener mark of the environment it was started with, and the Wine test
# program tells a browser started by the desktop process from one started by itself.
set -euo pipefail
: "${SOURCE_DIR:?}" "${BUILD_DIR:?}" "${WINEPREFIX:?}" "${WINE_TESTS_EXE:?}"
if [ -z "${DISPLAY:-}" ]; then
  exec "$SOURCE_DIR/cmake/with-display.sh" bash "$0" "$@"
fi
export WINEDEBUG=-all
work="$BUILD_DIR/shell-open-user-$$"
cleanup() {
  set +e
  WINEPREFIX="$work/prefix" wineserver -k 2>/dev/null
  "$SOURCE_DIR/cmake/wine-prefix.sh" --drop "$work/prefix"  # an overlay mount: unmounted first
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; exit 1; }

# A prefix of this test's own: its browser setting must not reach other tests.
"$SOURCE_DIR/cmake/wine-prefix.sh" "$work/prefix"
export WINEPREFIX="$work/prefix"

log="$work/opened.log"
: >"$log"
cat >"$work/browser.sh" <<SCRIPT
#!/bin/sh
printf '%s|%s\n' "\${TAVRINO_OPENER:-}" "\$*" >>"$log"
SCRIPT
chmod +x "$work/browser.sh"
# The desktop process (explorer.exe /desktop) is started by the first program with a window:
# here one without the mark, which stays open while the tests run. It starts first, so that
# the prefix's Wine server stays up from here on: a program started while the server of one
# that had just ended was shutting its desktop down would get that dying desktop.
"$SOURCE_DIR/cmake/wine-exec.sh" notepad >/dev/null 2>&1 &
for _ in $(seq 100); do
  xdotool search --name 'Notepad' >/dev/null 2>&1 && break
  sleep 0.2
done
xdotool search --name 'Notepad' >/dev/null 2>&1 || fail "the desktop did not start"
"$SOURCE_DIR/cmake/wine-exec.sh" reg add 'HKCU\Software\Wine\WineBrowser' /v Browsers /d "$work/browser.sh" /f >/dev/null

out="$work/out.txt"
TAVRINO_OPENER=program TAVRINO_BROWSER_LOG=$("$SOURCE_DIR/cmake/wine-exec.sh" winepath -w "$log") \
  "$SOURCE_DIR/cmake/wine-run.sh" "$WINE_TESTS_EXE" --gtest_filter='DesktopShellOpen.*' >"$out" 2>&1 \
  || { cat "$out"; echo "browser log:"; cat "$log"; fail "DesktopShellOpen"; }
grep -q '^\[  PASSED  \] 2 tests\.' "$out" && ! grep -q 'SKIPPED' "$out" \
  || { cat "$out"; fail "the tests did not run"; }
sed 's/^/browser started: /' "$log"
echo "ok: the desktop process starts the browser; ftp and file addresses are not opened"
