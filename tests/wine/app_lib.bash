# The real Tavrino.exe under Wine, for the app_*.sh tests: each script gets a prefix of its
# own (a copy of the build's), a virtual display of its own and a network namespace of its own
# (with one IPv4-only interface as the program's adapter, or with loopback only). Screenshots
# go to $BUILD_DIR/screenshots/app.
#
# Sourced by the scripts; they call app_setup first.

set -euo pipefail
: "${SOURCE_DIR:?}" "${BUILD_DIR:?}" "${TAVRINO_EXE:?}" "${WINEPREFIX:?}" "${WINE_TESTS_EXE:?}"
source "$SOURCE_DIR/scripts/common.sh"  # start_display, stop_display

APP_NAME=$(basename "$0" .sh)
APP_SHOTS="$BUILD_DIR/screenshots/app"
APP_LANG=en_US.UTF-8
APP_NS=
APP_PEER=
APP_PID=
APP_FAILED=0
mkdir -p "$APP_SHOTS"

app_fail() { echo "FAIL: $*"; APP_FAILED=1; }
app_ok() { echo "ok: $*"; }
app_expect() {  # what got expected
  if [ "$2" = "$3" ]; then app_ok "$1: $2"; else app_fail "$1: '$2', expected '$3'"; fi
}

app_cleanup() {
  set +e
  [ -n "$APP_PID" ] && kill "$APP_PID" 2>/dev/null
  [ -n "$APP_SERVICE" ] && kill "$APP_SERVICE" 2>/dev/null
  app_wine wineserver -k 2>/dev/null
  [ -n "$APP_NS" ] && ip netns del "$APP_NS" 2>/dev/null
  [ -n "$APP_PEER" ] && ip netns del "$APP_PEER" 2>/dev/null
  stop_display
  # The prefix copy is this script's alone (over a gigabyte with the 32-bit loader installed).
  [[ "$WINEPREFIX" == "$BUILD_DIR/app-prefix-"* ]] && rm -rf "$WINEPREFIX"
  return 0
}

# Runs a command with the script's prefix, display and language, inside its namespace (after
# app_setup); app_wine_timeout ends it after the given seconds.
app_wine() { app_wine_timeout 0 "$@"; }
app_wine_timeout() {
  local seconds=$1
  shift
  local envs=(env WINEPREFIX="$WINEPREFIX" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    DISPLAY="${DISPLAY:-}" LANG="$APP_LANG" LC_ALL="$APP_LANG")
  local ns=()
  [ -n "$APP_NS" ] && ns=(ip netns exec "$APP_NS")
  timeout "$seconds" "${ns[@]}" "${envs[@]}" "$@"
}

# network: loopback (a namespace with loopback only: no adapter) or adapter (a namespace with
# one veth). Either way nothing outside the namespace is reached, and nothing answers on its
# loopback unless the script starts app_service.
app_setup() {
  local network=${1:-adapter}
  [ "$(id -u)" -eq 0 ] || { echo "skipped: network namespaces need root"; exit 77; }
  trap app_cleanup EXIT
  "$SOURCE_DIR/cmake/wine-prefix.sh" "$BUILD_DIR/app-prefix-$APP_NAME"
  export WINEPREFIX="$BUILD_DIR/app-prefix-$APP_NAME"
  # In a Korean locale Wine substitutes "Gulim" for the dialog font; link it to the CJK font
  # as the prefix links the other UI faces, or Korean captions show as boxes.
  app_wine "$SOURCE_DIR/cmake/wine-exec.sh" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' \
    /v Gulim /t REG_MULTI_SZ /d 'wqy-microhei.ttc,WenQuanYi Micro Hei' /f >/dev/null 2>&1
  app_wine wineserver -w
  start_display
  APP_NS="tavrino-app-$$"
  ip netns add "$APP_NS"
  ip -n "$APP_NS" link set lo up
  ip netns exec "$APP_NS" sysctl -qw net.ipv6.conf.all.disable_ipv6=1 net.ipv6.conf.default.disable_ipv6=1
  if [ "$network" = adapter ]; then
    APP_PEER="tavrino-app-peer-$$"
    ip netns add "$APP_PEER"
    ip link add "tae$$" type veth peer name "tap$$"
    ip link set "tae$$" netns "$APP_NS"
    ip link set "tap$$" netns "$APP_PEER"
    ip -n "$APP_NS" addr add 192.168.78.2/24 dev "tae$$"
    ip -n "$APP_NS" link set "tae$$" up
    ip -n "$APP_PEER" addr add 192.168.78.1/24 dev "tap$$"
    ip -n "$APP_PEER" link set "tap$$" up
  fi
}

# A public-address endpoint on the namespace's loopback, at the port the win64 build asks:
# "/myip" answers with the quoted key ip, everything else (the update check) with nothing.
APP_SERVICE=
app_service() {
  ip netns exec "$APP_NS" python3 -c '
import http.server
class H(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        body = b"{\"ip\":\"192.168.78.2\"}" if self.path.startswith("/myip") else b""
        self.send_response(200)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)
    def log_message(self, *a):
        pass
http.server.HTTPServer(("127.0.0.1", 18080), H).serve_forever()
' &
  APP_SERVICE=$!
  sleep 0.5
}

# Starts the program in the background; APP_PID is wine's process.
app_start() {
  app_wine "$SOURCE_DIR/cmake/wine-exec.sh" "$TAVRINO_EXE" &
  APP_PID=$!
}

# The X window of the main window, once it is there (empty after the timeout).
app_window() {
  local timeout=${1:-30} id=
  for _ in $(seq $((timeout * 10))); do
    id=$(xdotool search --onlyvisible --name '^Tavrino$' 2>/dev/null | head -1 || true)
    [ -n "$id" ] && break
    sleep 0.1
  done
  if [ -z "$id" ]; then
    # What the screen showed instead, for the failure that follows (on standard error: the
    # callers take the window from standard output).
    import -display "$DISPLAY" -window root "$APP_SHOTS/$APP_NAME-no-window.png" 2>/dev/null &&
      echo "no main window; the screen: $APP_SHOTS/$APP_NAME-no-window.png" >&2
  fi
  echo "$id"
}

app_window_count() {
  xdotool search --onlyvisible --name '^Tavrino$' 2>/dev/null | wc -l
}

# Waits for the program to end and sets APP_RC to its exit code, or to "running" after the
# timeout (not in a subshell: only this shell can wait for the program).
APP_RC=
app_wait_exit() {
  local timeout=$1
  APP_RC=running
  for _ in $(seq $((timeout * 10))); do
    if ! kill -0 "$APP_PID" 2>/dev/null; then
      APP_RC=0
      wait "$APP_PID" || APP_RC=$?
      APP_PID=
      return
    fi
    sleep 0.1
  done
}

# Clicks at a point of the main window's client area.
app_click() {
  local id=$1 x=$2 y=$3
  xdotool mousemove --window "$id" "$x" "$y" click 1
  sleep 0.5
}

# Screenshot of the main window alone: $APP_SHOTS/<script>-<name>.png.
app_shot() {
  local id=$1 name=$2
  sleep 0.7
  import -display "$DISPLAY" -window "$id" "$APP_SHOTS/$APP_NAME-$name.png"
  echo "screenshot: $APP_SHOTS/$APP_NAME-$name.png"
}

# The main window read from outside (AppProbeTest.cpp): "title=..." and one
# "<text>|checked=<0/1>|enabled=<0/1>" line per child window with a text.
app_probe() {
  local file="$BUILD_DIR/app-probe-$APP_NAME.txt"
  rm -f "$file"
  app_wine_timeout 60 env TAVRINO_APP_PROBE="Z:$file" "$SOURCE_DIR/cmake/wine-exec.sh" "${WINE_TESTS_EXE:?}" \
    --gtest_filter=AppProbe.WriteTheMainWindowsTexts >/dev/null 2>&1 || true
  # Nothing when the probe wrote nothing: the caller's checks of the lines then say so.
  [ ! -f "$file" ] || tr -d '\r' <"$file"
}
# Waits until the probe shows a window whose text matches the extended regular expression $1
# whole (the run button's caption, say "Running|실행중"), for at most $2 seconds; false if it
# never did. The stored status is no sign that the window settled: it is stored as soon as the
# values are written, before the wait for the internet.
app_wait_caption() {
  local t=$SECONDS
  while [ $((SECONDS - t)) -lt "$2" ]; do
    grep -qE "^($1)\|" <<<"$(app_probe)" && return 0
    sleep 0.3
  done
  return 1
}
# Closes the main window as its title-bar button does.
app_close() {
  app_wine_timeout 60 env TAVRINO_APP_CLOSE=1 "$SOURCE_DIR/cmake/wine-exec.sh" "$WINE_TESTS_EXE" \
    --gtest_filter=AppProbe.CloseTheMainWindow >/dev/null 2>&1 || app_fail "could not close the window"
}
# Expects a line of the probe's output, whole.
app_expect_line() {
  if grep -qxF -- "$2" <<<"$3"; then app_ok "$1: $2"; else app_fail "$1: no line '$2'"; fi
}

# A REG_DWORD as reg.exe prints it ("0x1"), or empty when the value is missing.
app_dword() {
  { app_wine "$SOURCE_DIR/cmake/wine-exec.sh" reg query "$1" /v "$2" 2>/dev/null || true; } | tr -d '\r' |
    awk -v n="$2" '$1 == n && $2 == "REG_DWORD" { print $3 }'
}
app_put_dword() {
  app_wine "$SOURCE_DIR/cmake/wine-exec.sh" reg add "$1" /v "$2" /t REG_DWORD /d "$3" /f >/dev/null 2>&1
}

app_finish() {
  [ "$APP_FAILED" -eq 0 ] && echo "passed" || echo "failed"
  exit "$APP_FAILED"
}

# Client coordinates of the controls the tests click (logical pixels at 96 DPI; the accent
# strip moves everything below the window's top edge down by 2 pixels).
APP_RUN_X=257
APP_RUN_Y=350
APP_CONFIG_X=125
APP_CONFIG_Y=27
APP_SETTINGS=HKCU\\Software\\Tavrino
