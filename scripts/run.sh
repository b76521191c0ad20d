#!/bin/bash
# Builds what is missing and starts Tavrino.exe (the x86_64 build; this machine runs no 32-bit
# programs) under Wine, with the reference services on loopback. Without a display it uses a
# virtual one, takes a screenshot once the window is up, and closes the program.
set -euo pipefail
source "$(dirname "$0")/common.sh"
cd "$TOP"
ensure_packages
ensure_locales
build_preset win64 >/dev/null

run_dir="$TOP/build/run"
mkdir -p "$run_dir"
export WINEPREFIX="$run_dir/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
"$TOP/cmake/wine-prefix.sh"

virtual=0
cleanup() {
  [ -x "$TOP/services/stop.sh" ] && "$TOP/services/stop.sh" "$run_dir/services" >/dev/null 2>&1 || true
  [ "$virtual" -eq 1 ] && { wineserver -k 2>/dev/null || true; stop_display; }
  return 0
}
trap cleanup EXIT

if [ -x "$TOP/services/start.sh" ]; then
  "$TOP/services/start.sh" 18080 "$run_dir/services" >/dev/null
  echo "Reference services listen on http://127.0.0.1:18080 (the update check and the probe)."
fi

if [ -z "${DISPLAY:-}" ]; then
  virtual=1
  start_display
  echo "No display: Tavrino runs on the virtual display $DISPLAY."
fi

wine "$TOP/build/win64/Tavrino.exe" &
app=$!
shot="$run_dir/screenshot.png"
for _ in $(seq 100); do
  xdotool search --name '^Tavrino' >/dev/null 2>&1 && break
  sleep 0.2
done
sleep 2
import -window root "$shot" && echo "Screenshot of the window: $shot"
if [ "$virtual" -eq 1 ]; then
  kill "$app" 2>/dev/null || true
else
  echo "Tavrino is running; close its window to end."
  wait "$app" || true
fi
