#!/bin/bash
# Builds what is missing and starts Tavrino.exe (the x86_64 build: this machine runs no 32-bit
# programs) under Wine, with the reference services of services/ answering the update check
# and the probe on 127.0.0.1:18080. As root it runs the program in a network namespace of its
# own whose one IPv4-only interface is the active adapter, so that Run works as on a PC.
# Without a display it uses a virtual one, takes a screenshot once the window is up, and
# closes the program.
set -euo pipefail
source "$(dirname "$0")/common.sh"
source "$TOP/scripts/netns.bash"
cd "$TOP"
ensure_packages
ensure_locales
build_preset win64 Tavrino >/dev/null

run_dir="$TOP/build/run"
mkdir -p "$run_dir"
export WINEPREFIX="$run_dir/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
"$TOP/cmake/wine-prefix.sh"

virtual=0
in_ns() { if [ -n "$NETNS" ]; then ip netns exec "$NETNS" "$@"; else "$@"; fi; }
cleanup() {
  set +e
  [ -n "${app:-}" ] && kill "$app" 2>/dev/null
  in_ns wineserver -k 2>/dev/null
  in_ns "$TOP/services/stop.sh" "$run_dir/services" >/dev/null 2>&1
  netns_delete
  [ "$virtual" -eq 1 ] && stop_display
  return 0
}
trap cleanup EXIT

if [ "$(id -u)" -eq 0 ]; then
  netns_create adapter
  echo "Tavrino runs in the network namespace $NETNS: its active adapter is eth0 ($NETNS_ADAPTER_IP)."
else
  echo "Not root: Tavrino runs in this machine's own network, where Wine lists an interface's IPv6" \
    "address before its IPv4 one. The program then finds no adapter whose first address matches" \
    "the local IPv4 address, shows \"Unknown\", and Run reports that there are no active networks." \
    "Run this command as root to give it an adapter of its own in a network namespace."
fi
in_ns "$TOP/services/start.sh" 18080 "$run_dir/services" >/dev/null
echo "The reference services answer on http://127.0.0.1:18080 (update check and probe)."

if [ -z "${DISPLAY:-}" ]; then
  virtual=1
  start_display
  echo "No display: Tavrino runs on the virtual display $DISPLAY."
fi

in_ns env DISPLAY="$DISPLAY" "$TOP/cmake/wine-exec.sh" "$TOP/build/win64/Tavrino.exe" &
app=$!
shot="$run_dir/screenshot.png"
for _ in $(seq 150); do
  xdotool search --onlyvisible --name '^Tavrino$' >/dev/null 2>&1 && break
  sleep 0.2
done
sleep 2
import -window root "$shot" && echo "Screenshot of the window: $shot"
if [ "$virtual" -eq 0 ]; then
  echo "Tavrino is running; close its window to end."
  wait "$app" || true
fi
app=
